#include "jobs/MultiTaggerModel.h"

#include "app/MainWindowModel.h"
#include "jobs/SearchReplaceList.h"
#include "jobs/Templates.h"
#include "jobs/UnitThreadRemoveTags.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

// The switches of the processing steps in the option panels.
constexpr PageButton kStepBoxes[] = {
    {"CheckBoxACEnabled", "Enabled", ""},
    {"CheckGetTitle", "Get the Title",
     "Replace the Title from ID3 Tag with the song title from the file name"},
    {"CheckGetArtist", "Get the Artist",
     "Replace the Artist from ID3 Tag with the song artist from the file name"},
    {"CheckBoxSFEnabled", "Enabled", ""},
    {"CheckBoxSREnabled", "Enabled", "Enable Search and Replace"},
    // "If NO separator found": complete the fields with the file name.
    {"CheckBoxCompleteTitleAnyway", "the Title", ""},
    {"CheckBoxMissingTitleAnyway", "Only if is missing", ""},
    {"CheckBoxCompleteArtistAnyway", "the Artist", ""},
    {"CheckBoxMissingArtistAnyway", "Only if is missing", ""},
};

// The option panels' texts.
constexpr std::pair<const char*, const char*> kPanelLabels[] = {
    {"LabelACInfo", "From file names such as: Artist - Title.mp3"},
    {"LabelOr", "or"},
    {"LabelCompleteFileName", "Complete the fields with the file name"},
    {"LabelSFInfo", "Change your ID3 Tag's fields to uppercase, lowercase or combined"},
    {"LabelSRInfo", "Search and Replace strings in ID3 Tag fields"},
};
constexpr std::pair<const char*, const char*> kPanelGroups[] = {
    {"GroupBoxSeparators", " Separators "},
    {"GroupBoxNoSeparator", " If NO separator found "},
};

// What the auto-complete panel's "Enabled" switches with its own state.
constexpr const char* kAutoCompleteFollowers[] = {
    "CheckGetTitle",      "CheckGetArtist",        "GroupBoxSeparators",
    "EditFileSeparator1", "EditFileSeparator2",    "LabelOr",
    "LabelCompleteFileName", "CheckBoxCompleteTitleAnyway", "CheckBoxCompleteArtistAnyway"};
// Each "Only if is missing" box is live while the panel and its own
// switch are on.
constexpr std::pair<const char*, const char*> kMissingBoxes[] = {
    {"CheckBoxMissingTitle", "CheckGetTitle"},
    {"CheckBoxMissingArtist", "CheckGetArtist"},
    {"CheckBoxMissingTitleAnyway", "CheckBoxCompleteTitleAnyway"},
    {"CheckBoxMissingArtistAnyway", "CheckBoxCompleteArtistAnyway"},
};

// A field box checked takes its field from the template, so the matching
// "Get" box of the auto-complete panel goes off.
constexpr std::pair<MultiField, const char*> kExclusiveWithGet[] = {
    {kFieldTitle, "CheckGetTitle"}, {kFieldArtist, "CheckGetArtist"}};

constexpr const char* kPopupDefaults = "PopupMenuDefaultSettings";
constexpr const char* kPopupRemoveTags = "PopupMenuremoveTags";

}  // namespace

MultiTaggerModel::MultiTaggerModel(MainWindowModel& window)
    : window_(window), controls_(window.Controls()), preview_(window) {
  CreateControls();
  update_ = std::make_unique<JobPanel>(window_, kUpdatePanel);
  removeTags_ = std::make_unique<JobPanel>(window_, kRemoveTagsPanel);
  update_->SetAfterFinish([this] { DisableSettings(); });
  rules_ = std::make_unique<SearchReplaceList>(window_);
  BindCommands();
  AutoCompleteEnabling();
  StringFormatEnabling();
}

MultiTaggerModel::~MultiTaggerModel() {
  // The runs end before the page they report to.
  update_.reset();
  removeTags_.reset();
  rules_.reset();
  preview_.Cancel();
  for (const std::string& name : bound_) C(name).OnClick({});
}

Control& MultiTaggerModel::C(const std::string& name) { return controls_[name]; }

void MultiTaggerModel::Bind(const std::string& name, std::function<void()> command) {
  C(name).OnClick(std::move(command));
  bound_.push_back(name);
}

void MultiTaggerModel::CreateControls() {
  controls_.Add("GroupBoxMulti", ControlKind::Group);
  controls_.Add("GroupBoxFields", ControlKind::Group, "ID3 Fields");
  for (const MultiTagField& field : kMultiTagFields) {
    controls_.Add(field.checkBox, ControlKind::CheckBox, field.caption);
    // The genre list belongs to the window, which fills it.
    Control* box = controls_.Find(field.templateBox);
    if (!box) box = &controls_.Add(field.templateBox, ControlKind::Edit);
    box->SetText(field.defaultTemplate);
    box->SetEnabled(false);
  }
  for (const PageButton& button : kMultiTaggerButtons)
    controls_.Add(button.name, ControlKind::Button, button.caption).SetHint(button.hint);
  for (const PageButton& box : kStepBoxes)
    controls_.Add(box.name, ControlKind::CheckBox, box.caption).SetHint(box.hint);
  C("CheckBoxMissingTitleAnyway").SetChecked(true);
  C("CheckBoxMissingArtistAnyway").SetChecked(true);
  for (const auto& [name, caption] : kPanelLabels) controls_.Add(name, ControlKind::Label, caption);
  for (const auto& [name, caption] : kPanelGroups) controls_.Add(name, ControlKind::Group, caption);
  for (const FormatBox& box : kStringFormatBoxes)
    controls_.Add(box.label, ControlKind::Label, box.caption);
}

void MultiTaggerModel::BindCommands() {
  for (int field = 0; field < kMultiFieldCount; ++field)
    Bind(kMultiTagFields[field].checkBox, [this, field] { FieldChecked(MultiField(field)); });
  // One of the two passes always runs.
  for (const auto& [box, other] : {std::pair{"CheckBoxID3v1", "CheckBoxID3v2"},
                                   std::pair{"CheckBoxID3v2", "CheckBoxID3v1"}}) {
    Bind(box, [this, box = box, other = other] {
      if (!C(box).Checked() && !C(other).Checked()) C(box).SetChecked(true);
    });
  }
  Bind("CheckBoxDisableSettings", [this] {
    Control& box = C("CheckBoxDisableSettings");
    // The stored choice comes back without asking again at every start.
    if (box.Checked() || window_.LoadingSettings()) return;
    MessageAnswer answer = window_.User().Show(
        {"Attention",
         "With this option checked you will be sure that no settings are enabled by mistake!\n"
         "Are you sure you will NOT forget any settings enabled?",
         MessageIcon::Warning, MessageButtons::YesNoCancel});
    if (answer != MessageAnswer::Yes) box.SetChecked(true);
  });
  for (const auto& [field, get] : kExclusiveWithGet) {
    Bind(get, [this, field = field, get = get] {
      if (C(get).Checked()) C(kMultiTagFields[field].checkBox).SetChecked(false);
      AutoCompleteEnabling();
    });
  }
  for (const char* box :
       {"CheckBoxACEnabled", "CheckBoxCompleteTitleAnyway", "CheckBoxCompleteArtistAnyway"})
    Bind(box, [this] { AutoCompleteEnabling(); });
  Bind("CheckBoxSFEnabled", [this] { StringFormatEnabling(); });
  Bind("ButtonVariablesInfo", [this] {
    window_.User().Show(
        {kVariablesCaption, kVariablesInfo, MessageIcon::Information, MessageButtons::Ok});
  });
  Bind("ButtonUpdateAllTags", [this] { UpdateAllTags(); });
  Bind("ButtonPreviewUpdate", [this] { PreviewUpdate(); });
  Bind("ButtonDefaultSettings", [this] {
    if (showPopup_) showPopup_(kPopupDefaults, "ButtonDefaultSettings");
  });
  Bind("ButtonRemoveTags", [this] {
    if (showPopup_) showPopup_(kPopupRemoveTags, "ButtonRemoveTags");
  });
  for (int i = 0; i < int(std::size(kRemoveTagsCommands)); ++i)
    Bind(kRemoveTagsCommands[i].menuItem, [this, i] { RemoveTags(i); });
  Bind("ID3Fields1", [this] { DefaultID3Fields(); });
  Bind("AutoComplete1", [this] { DefaultAutoComplete(); });
  Bind("StringFormat1", [this] { DefaultStringFormat(); });
  Bind("SearchandReplace1", [this] { rules_->Defaults(); });
  Bind("Options2", [this] { DefaultOptions(); });
  Bind("AllSettings1", [this] { DefaultAllSettings(); });
}

void MultiTaggerModel::AutoCompleteEnabling() {
  const bool on = C("CheckBoxACEnabled").Checked();
  for (const char* name : kAutoCompleteFollowers) C(name).SetEnabled(on);
  for (const auto& [box, own] : kMissingBoxes) C(box).SetEnabled(on && C(own).Checked());
}

void MultiTaggerModel::StringFormatEnabling() {
  const bool on = C("CheckBoxSFEnabled").Checked();
  for (const FormatBox& box : kStringFormatBoxes) {
    C(box.combo).SetEnabled(on);
    C(box.label).SetEnabled(on);
  }
}

void MultiTaggerModel::FieldChecked(MultiField field) {
  const MultiTagField& row = kMultiTagFields[field];
  const bool checked = C(row.checkBox).Checked();
  C(row.templateBox).SetEnabled(checked);
  if (!checked) return;
  for (const auto& [exclusive, get] : kExclusiveWithGet)
    if (exclusive == field) C(get).SetChecked(false);
}

UpdateOptions MultiTaggerModel::CurrentUpdateOptions() {
  UpdateOptions options;
  for (int field = 0; field < kMultiFieldCount; ++field) {
    const MultiTagField& row = kMultiTagFields[field];
    if (C(row.checkBox).Checked()) options.templates[field] = C(row.templateBox).Text();
  }
  options.replaceV1 = C("CheckBoxID3v1").Checked();
  options.replaceV2 = C("CheckBoxID3v2").Checked();
  options.writeReadOnly = C("CheckReadOnly").Checked();
  for (const auto& [box, option] : kAutoCompleteBoxes) options.autoComplete.*option = C(box).Checked();
  options.autoComplete.separator1 = C(kFileSeparators[0].first).Text();
  options.autoComplete.separator2 = C(kFileSeparators[1].first).Text();
  options.stringFormat.enabled = C("CheckBoxSFEnabled").Checked();
  for (size_t box = 0; box < kStringFormatBoxes.size(); ++box)
    options.stringFormat.formats[box] = CaseFormatAt(C(kStringFormatBoxes[box].combo).Index());
  options.searchReplace = C("CheckBoxSREnabled").Checked();
  options.rules = window_.Rules();
  options.writes = window_.FileWriteOptions();
  return options;
}

void MultiTaggerModel::UpdateAllTags() {
  MessageAnswer answer =
      window_.User().Show({"Update ID3 Tag(s) ?", "This will update your ID3 Tag! Continue?",
                           MessageIcon::Question, MessageButtons::YesNoCancel});
  if (answer != MessageAnswer::Yes) return;
  if (auto disk = update_->NewDisk(TThreadUpdate::kName))
    update_->Start(std::make_unique<TThreadUpdate>(CurrentUpdateOptions()), std::move(disk));
}

void MultiTaggerModel::PreviewUpdate() {
  preview_.Run(TThreadUpdate::kName, [this](JobDisk&, StartQuestions&) {
    return JobStart{std::make_unique<TThreadUpdate>(CurrentUpdateOptions())};
  });
}

void MultiTaggerModel::RemoveTags(int index) {
  const RemoveTagsCommand& command = kRemoveTagsCommands[index];
  if (window_.PlayList().Count() == 0) {
    window_.Errors().AddError("No files in the playlist! Add some!", "", true);
    return;
  }
  MessageAnswer answer = window_.User().Show({command.questionCaption, command.question,
                                              MessageIcon::Question, MessageButtons::YesNoCancel});
  if (answer != MessageAnswer::Yes) return;
  auto disk = removeTags_->NewDisk(TThreadRemoveTags::kName);
  if (!disk) return;
  Control& panel = C(kRemoveTagsPanel.progressPanel);
  panel.SetCaption(kRemoveTagsPanel.progressCaption);
  panel.SetCaption(command.panelCaption);
  removeTags_->Start(std::make_unique<TThreadRemoveTags>(
                         RemoveTagsOptions{command.removeV1, command.removeV2,
                                           C("CheckReadOnly").Checked(), window_.FileWriteOptions()}),
                     std::move(disk));
}

void MultiTaggerModel::DefaultID3Fields() {
  for (const MultiTagField& field : kMultiTagFields) C(field.checkBox).SetChecked(false);
  for (const MultiTagField& field : kMultiTagFields) C(field.templateBox).SetText(field.defaultTemplate);
  C("ComboGenreAll").SetIndex(-1);
}

void MultiTaggerModel::DefaultAutoComplete() {
  for (const char* box : {"CheckBoxACEnabled", "CheckGetTitle", "CheckGetArtist",
                          "CheckBoxCompleteTitleAnyway", "CheckBoxCompleteArtistAnyway"})
    C(box).SetChecked(false);
  for (const auto& [name, text] : kFileSeparators) C(name).SetText(text);
  C("CheckBoxMissingTitleAnyway").SetChecked(true);
  C("CheckBoxMissingArtistAnyway").SetChecked(true);
}

void MultiTaggerModel::DefaultStringFormat() {
  C("CheckBoxSFEnabled").SetChecked(false);
  for (const FormatBox& box : kStringFormatBoxes) C(box.combo).SetIndex(0);
}

void MultiTaggerModel::DefaultOptions() {
  C("CheckBoxID3v1").SetChecked(true);
  C("CheckBoxID3v2").SetChecked(false);
  C("CheckReadOnly").SetChecked(true);
  C("CheckBoxDisableSettings").SetChecked(true);
}

void MultiTaggerModel::DefaultAllSettings() {
  DefaultID3Fields();
  DefaultAutoComplete();
  DefaultStringFormat();
  rules_->Defaults();
  DefaultOptions();
}

void MultiTaggerModel::DisableSettings() {
  if (!C("CheckBoxDisableSettings").Checked()) return;
  for (const char* step : {"CheckBoxACEnabled", "CheckBoxSFEnabled", "CheckBoxSREnabled"})
    C(step).SetChecked(false);
  for (const MultiTagField& field : kMultiTagFields) C(field.checkBox).SetChecked(false);
}

}  // namespace tagmora
