// The option panels of the multi-tagger page: their enabling, their
// default commands, the options a run takes from them, and what the
// settings file keeps of them.

#include "jobs/SearchReplace.h"
#include "jobs/StepsFixture.h"

namespace tagmora {
namespace {

using Program = test::PageProgram;

std::vector<bool> Enabled(Program& p, std::initializer_list<const char*> names) {
  std::vector<bool> enabled;
  for (const char* name : names) enabled.push_back(p.C(name).Enabled());
  return enabled;
}

TEST(MultiTaggerPanelsTest, SwitchesEnableTheirControlsAndDefaultsResetThem) {
  test::TempDir dir;
  Program p(dir.Path());
  const auto autoComplete = {"CheckGetTitle", "EditFileSeparator2", "LabelOr",
                             "CheckBoxCompleteArtistAnyway", "CheckBoxMissingTitle",
                             "CheckBoxMissingArtistAnyway"};
  EXPECT_EQ(Enabled(p, autoComplete), std::vector<bool>(6, false));
  p.C("CheckBoxACEnabled").Click();
  EXPECT_EQ(Enabled(p, autoComplete), (std::vector<bool>{true, true, true, true, false, false}));
  p.C("CheckBoxTitleAll").Click();
  p.C("CheckGetTitle").Click();
  p.C("CheckBoxCompleteArtistAnyway").Click();
  EXPECT_EQ(Enabled(p, autoComplete), std::vector<bool>(6, true));
  EXPECT_FALSE(p.C("CheckBoxTitleAll").Checked());
  EXPECT_FALSE(p.C("ComboBoxEncoderFormat").Enabled() || p.C("LabelSFTitle").Enabled());
  p.C("CheckBoxSFEnabled").Click();
  EXPECT_TRUE(p.C("ComboBoxEncoderFormat").Enabled() && p.C("LabelSFTitle").Enabled());

  p.C("EditFileSeparator1").SetText("~");
  p.C("CheckBoxMissingTitle").Click();
  p.C("ComboBoxArtistFormat").SetIndex(4);
  p.C("CheckBoxSREnabled").Click();
  UpdateOptions options = p.page.CurrentUpdateOptions();
  EXPECT_TRUE(options.autoComplete.Runs() && options.autoComplete.fallbackArtist &&
              options.autoComplete.fallbackArtistIfMissing);
  EXPECT_FALSE(options.autoComplete.titleIfMissing || options.autoComplete.getArtist);
  EXPECT_EQ(options.autoComplete.separator1, "~");
  EXPECT_EQ(options.stringFormat.formats[1], CaseFormat::EachWord);
  EXPECT_TRUE(options.stringFormat.enabled && options.searchReplace);

  p.C("AllSettings1").Click();
  for (const char* off : {"CheckBoxACEnabled", "CheckGetTitle", "CheckBoxCompleteArtistAnyway",
                          "CheckBoxSFEnabled", "CheckBoxSREnabled"})
    EXPECT_FALSE(p.C(off).Checked()) << off;
  EXPECT_TRUE(p.C("CheckBoxMissingArtistAnyway").Checked());
  EXPECT_FALSE(p.C("CheckBoxMissingTitle").Checked());  // kept
  EXPECT_EQ(p.C("EditFileSeparator1").Text(), " - ");
  EXPECT_EQ(p.C("ComboBoxArtistFormat").Index(), 0);
  EXPECT_EQ(Enabled(p, autoComplete), std::vector<bool>(6, false));
  EXPECT_EQ(p.window.Rules(), DefaultRules());
}

TEST(MultiTaggerPanelsTest, TheSettingsFileKeepsThePanelsAndTheRules) {
  test::TempDir dir;
  const char* combos[] = {"ComboBoxTitleFormat",   "ComboBoxArtistFormat",
                          "ComboBoxAlbumFormat",   "ComboBoxCommentFormat",
                          "ComboBoxComposerFormat", "ComboBoxEncoderFormat"};
  const std::vector<int> chosen = {1, 2, 3, 4, -1, 2};
  std::vector<SearchReplaceRule> rules = DefaultRules();
  rules[8].checked = true;
  rules.push_back({false, {"  lead", "trail  ", "\"Title\""}});
  {
    Program first(dir.Path());
    first.poster.Advance(1);
    first.C("CheckBoxMissingTitle").Click();
    first.C("CheckBoxMissingArtist").Click();
    for (size_t i = 0; i < chosen.size(); ++i) first.C(combos[i]).SetIndex(chosen[i]);
    first.window.Rules() = rules;
    first.window.Close();
  }
  EXPECT_NE(test::ReadFile(dir / "settings.ini").find("Item8String1=\" \"\n"), std::string::npos);
  Program second(dir.Path());
  second.poster.Advance(1);
  EXPECT_FALSE(second.C("CheckBoxMissingTitle").Checked() ||
               second.C("CheckBoxMissingArtist").Checked());
  EXPECT_FALSE(second.C("CheckBoxMissingTitle").Enabled());
  for (size_t i = 0; i < chosen.size(); ++i) EXPECT_EQ(second.C(combos[i]).Index(), chosen[i]);
  EXPECT_EQ(second.window.Rules(), rules);
  IDv1Tag v1;
  v1.Title = "My_Song";
  RuleSet(second.window.Rules()).Apply(v1);
  EXPECT_EQ(v1.Title, "My Song");

  // A text with a line break reads as the file holds it; the keys after
  // it still apply, and the next save writes it on one line.
  test::WriteFile(dir / "settings.ini",
                  "[SearchAndReplace]\nItemsCount=2\nItemsStringsCount=3\nItem0Checked=1\n"
                  "Item0String0=a\rb\nItem0String1=x\nItem0String2=Title\nItem1Checked=1\n"
                  "[AutoComplete]\nCompleteArtistIfMissing=0\n");
  Program third(dir.Path());
  third.poster.Advance(1);
  ASSERT_EQ(third.window.Rules().size(), 2u);
  EXPECT_EQ(third.window.Rules()[0], (SearchReplaceRule{true, {"a\rb", "x", "Title"}}));
  EXPECT_FALSE(third.C("CheckBoxMissingArtist").Checked());
  third.window.Close();
  EXPECT_NE(test::ReadFile(dir / "settings.ini").find("Item0String0=a b\nItem0String1=x\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tagmora
