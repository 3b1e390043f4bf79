// The search-and-replace rules: how a pass applies them, and the page's
// rule list with its commands.

#include "jobs/SearchReplace.h"
#include "jobs/SearchReplaceList.h"
#include "jobs/StepsFixture.h"

namespace tagmora {
namespace {

SearchReplaceRule On(const char* search, const char* replacement, const char* searchIn) {
  return {true, {search, replacement, searchIn}};
}

// A field's text after the rules ran over records that hold the input in
// every field.
std::string Applied(const std::vector<SearchReplaceRule>& rules, MultiField field,
                    const std::string& input, bool v2Pass) {
  IDv1Tag v1;
  IDv2Tag v2;
  for (int f = 0; f < kMultiFieldCount; ++f) {
    if (std::string* text = FieldText(v1, MultiField(f))) *text = input;
    if (std::string* text = FieldText(v2, MultiField(f))) *text = input;
  }
  v1.Genre = input;
  v1.Track = v2.Track = static_cast<uint8_t>(std::atoi(input.c_str()));
  RuleSet set(rules);
  if (v2Pass) set.Apply(v2); else set.Apply(v1);
  if (field == kFieldTrack) return std::to_string(v2Pass ? v2.Track : v1.Track);
  if (field == kFieldGenre && !v2Pass) return v1.Genre + "/" + std::to_string(v1.GenreId);
  return v2Pass ? *FieldText(v2, field) : *FieldText(v1, field);
}

TEST(SearchReplaceTest, RulesApplyInOrderToTheFieldsTheyName) {
  const std::string thirty(30, 'a');
  const std::vector<SearchReplaceRule> defaults = [] {
    auto rules = DefaultRules();
    for (SearchReplaceRule& rule : rules) rule.checked = true;
    return rules;
  }();
  const struct {
    std::vector<SearchReplaceRule> rules;
    MultiField field;
    std::string input, expected;
    bool v2Pass = false;
  } cases[] = {
      {{On("x", "y", "Title"), On("y", "z", "Title")}, kFieldTitle, "x", "z"},
      {{On("y", "z", "Title"), On("x", "y", "Title")}, kFieldTitle, "x", "y"},
      {{On("abc", "", "title")}, kFieldTitle, "xABCyabc", "xy"},
      {{On("abc", "x", "Comment")}, kFieldTitle, "abc", "abc"},
      {{On("abc", "x", "Comment")}, kFieldComment, "abc", "x"},
      {{{false, {"abc", "x", "Title"}}}, kFieldTitle, "abc", "abc"},
      {defaults, kFieldTitle, "My_Song", "My Song"},
      {defaults, kFieldAlbum, "My_Song", "My_Song"},
      {defaults, kFieldComment, "see www.example.net", "see "},
      {{On("a", "aa", "Title Year")}, kFieldTitle, thirty, thirty},
      {{On("1", "22", "Year")}, kFieldYear, "1999", "2299"},
      {{On("a", "aa", "Composer")}, kFieldComposer, "a", "aa", true},
      {{On("Rock", "Pop", "Genre")}, kFieldGenre, "Rock", "Pop/13"},
      {{On("Rock", "Nothing", "Genre")}, kFieldGenre, "Rock", "Nothing/254"},
      {{On("1", "2", "Track")}, kFieldTrack, "11", "22"},
      {{On("1", "2", "Track")}, kFieldTrack, "11", "22", true},
      {{On("1", "x", "Track")}, kFieldTrack, "11", "11"},
      {{On("11", "300", "Track")}, kFieldTrack, "11", "11"},
      {{On("11", "", "Track")}, kFieldTrack, "11", "11"},
      {{On("0", "7", "Track")}, kFieldTrack, "0", "7"},
  };
  for (const auto& row : cases)
    EXPECT_EQ(Applied(row.rules, row.field, row.input, row.v2Pass), row.expected)
        << kMultiTagFields[row.field].caption << " " << row.input;
}

// The folder comes first: the window is made in it.
struct Folder {
  test::TempDir dir;
};
struct Page : Folder, test::PageProgram {
  Page() : PageProgram(dir.Path()) {}
  std::vector<std::string> Searches() {
    std::vector<std::string> texts;
    for (const SearchReplaceRule& rule : window.Rules()) texts.push_back(rule.Text(kSearchFor));
    return texts;
  }
  std::vector<bool> Checks() {
    std::vector<bool> checks;
    for (const SearchReplaceRule& rule : window.Rules()) checks.push_back(rule.checked);
    return checks;
  }

  SearchReplaceList& list = page.SearchReplace();
};

TEST(SearchReplaceTest, TheListsCommandsKeepTheSelectionWhereTheUserExpectsIt) {
  Page p;
  EXPECT_FALSE(p.C("ListViewSR").Enabled() || p.C("ButtonSRMoveUp").Enabled());
  p.C("CheckBoxSREnabled").Click();
  EXPECT_TRUE(p.C("ListViewSR").Enabled() && p.C("ButtonSRMoveUp").Enabled());
  p.C("SearchandReplace1").Click();
  EXPECT_FALSE(p.C("CheckBoxSREnabled").Checked() || p.C("ListViewSR").Enabled());
  EXPECT_EQ(p.Checks(), std::vector<bool>(9, false));
  p.window.Rules() = {On("a", "1", "Title"), On("b", "2", "Title"), On("c", "3", "Title")};

  // Edit the middle rule: it keeps its place and its selection.
  int shown = 0;
  p.list.SetShowEditorHandler([&shown] { ++shown; });
  p.list.Edit();  // nothing selected: no editor
  p.list.Select(1);
  p.C("Edit1").Click();
  EXPECT_EQ(shown, 1);
  ControlSet& editor = p.list.Editor().Controls();
  EXPECT_EQ(editor["EditSearchFor"].Text(), "b");
  EXPECT_EQ(editor["EditSearchIn"].Text(), "Title ");
  editor["EditSearchFor"].SetText("B2");
  editor["ButtonSave"].Click();
  EXPECT_EQ(p.Searches(), (std::vector<std::string>{"a", "B2", "c"}));
  EXPECT_EQ(p.list.Selected(), 1);

  p.C("ButtonSRMoveDown").Click();
  p.C("ButtonSRMoveDown").Click();  // the last stays last
  EXPECT_EQ(p.Searches(), (std::vector<std::string>{"a", "c", "B2"}));
  EXPECT_EQ(p.list.Selected(), 2);
  p.list.Select(0);
  p.C("MoveUp1").Click();
  EXPECT_EQ(p.list.Selected(), 0);

  // Removing asks; the first gone, the new first is selected; the last
  // gone, nothing is.
  p.user.answers = {MessageAnswer::No, MessageAnswer::Yes, MessageAnswer::Yes};
  p.C("ButtonSRRemove").Click();
  p.C("ButtonSRRemove").Click();
  EXPECT_EQ(p.Searches(), (std::vector<std::string>{"c", "B2"}));
  EXPECT_EQ(p.list.Selected(), 0);
  p.list.Select(1);
  p.C("Remove1").Click();
  EXPECT_EQ(p.list.Selected(), -1);
  EXPECT_EQ(p.user.boxes.back().caption, "Remove ?");
  EXPECT_EQ(p.user.boxes.back().text, "Remove item?");

  p.window.Rules() = {On("x", "", "Title"), {false, {"y", "", "Title"}}};
  p.C("ButtonSRSelectAll").Click();
  EXPECT_EQ(p.Checks(), (std::vector<bool>{true, true}));
  p.list.SelectAll();
  EXPECT_EQ(p.Checks(), (std::vector<bool>{false, false}));
}

}  // namespace
}  // namespace tagmora
