#include "jobs/SearchReplaceEditor.h"

#include "jobs/SearchReplace.h"

namespace tagmora {

namespace {

std::string FieldBox(int field) { return std::string("CheckBox") + kMultiTagFields[field].caption; }

constexpr const char* kTextBoxes[] = {"EditSearchFor", "EditReplaceWith", "EditSearchIn"};

}  // namespace

SearchReplaceEditor::SearchReplaceEditor(Poster& poster, UserInteraction& user)
    : controls_(poster), user_(user) {
  controls_.Add("CheckBoxEnabled", ControlKind::CheckBox, "Enabled");
  controls_.Add("LabelSearchFor", ControlKind::Label, "Search For");
  controls_.Add("LabelReplaceWith", ControlKind::Label, "Replace With");
  controls_.Add("LabelSearchIn", ControlKind::Label, "Search in");
  for (const char* name : kTextBoxes) controls_.Add(name, ControlKind::Edit);
  for (int field = 0; field < kMultiFieldCount; ++field)
    controls_.Add(FieldBox(field), ControlKind::CheckBox, kMultiTagFields[field].caption)
        .OnClick([this] { RebuildSearchIn(); });
  controls_.Add("ButtonSave", ControlKind::Button, kNewCaption).OnClick([this] { Save(); });
  controls_.Add("ButtonCancel", ControlKind::Button, "Cancel").OnClick([this] { Close(); });
}

SearchReplaceEditor::~SearchReplaceEditor() {
  for (Control* control : controls_.All()) control->OnClick({});
}

void SearchReplaceEditor::Reset(const char* saveCaption) {
  C("CheckBoxEnabled").SetChecked(false);
  for (int field = 0; field < kMultiFieldCount; ++field) C(FieldBox(field)).SetChecked(false);
  for (const char* name : kTextBoxes) C(name).SetText("");
  C("ButtonSave").SetCaption(saveCaption);
}

void SearchReplaceEditor::OpenNew() {
  Reset(kNewCaption);
  C("CheckBoxEnabled").SetChecked(true);
}

void SearchReplaceEditor::OpenFor(const SearchReplaceRule& rule) {
  Reset(kSaveCaption);
  C("CheckBoxEnabled").SetChecked(rule.checked);
  for (size_t i = 0; i < std::size(kTextBoxes); ++i) C(kTextBoxes[i]).SetText(rule.Text(i));
  // Checking a box rebuilds the search-in text from the boxes, as a click
  // would; a text naming no field stays as the rule had it.
  for (int field = 0; field < kMultiFieldCount; ++field)
    if (SearchesIn(rule.Text(kSearchIn), MultiField(field))) C(FieldBox(field)).SetChecked(true);
}

bool SearchReplaceEditor::Adding() { return C("ButtonSave").Caption() == kNewCaption; }

void SearchReplaceEditor::RebuildSearchIn() {
  std::array<bool, kMultiFieldCount> chosen{};
  for (int field = 0; field < kMultiFieldCount; ++field)
    chosen[field] = C(FieldBox(field)).Checked();
  C("EditSearchIn").SetText(SearchInText(chosen));
}

void SearchReplaceEditor::Save() {
  std::string message;
  if (C("EditSearchIn").Text().empty()) message = "Check at least one field!";
  if (C("EditSearchFor").Text().empty()) message = "SearchFor string is empty!";
  if (!message.empty()) {
    user_.Show({kCaption, message, MessageIcon::Warning, MessageButtons::Ok});
    return;
  }
  if (C("EditReplaceWith").Text().empty() &&
      user_.Show({kCaption,
                  "\"Replace with\" string is empty! \"Search For\" string will be cleared if "
                  "found! Continue ?",
                  MessageIcon::Question, MessageButtons::YesNoCancel}) != MessageAnswer::Yes)
    return;
  SearchReplaceRule rule{C("CheckBoxEnabled").Checked(), {}};
  for (const char* name : kTextBoxes) rule.texts.push_back(C(name).Text());
  if (saved_) saved_(rule, Adding());
  Close();
}

void SearchReplaceEditor::Close() {
  if (close_) close_();
}

}  // namespace tagmora
