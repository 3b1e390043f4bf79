#include "app/MainWindowModel.h"

#include <algorithm>
#include <utility>

#include "app/PlayerControls.h"
#include "app/Settings.h"
#include "platform/Journal.h"
#include "playlist/AddFoldersModel.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistCommands.h"
#include "tags/GenreNames.h"

namespace tagmora {

const std::vector<MenuEntry>& MenuTable() {
  static const std::vector<MenuEntry> table = {
      {"PlayList", "Add", "AddFile1", "Add File(s)", "", false},
      {"PlayList", "Add", "AddFolder1", "Add Folder(s)", "", false},
      {"PlayList", "Remove", "RemoveSelected1", "Remove Selected", "", false},
      {"PlayList", "Remove", "RemoveAll1", "Remove All", "", false},
      {"PlayList", "Select", "SelectAll2", "Select All", "", false},
      {"PlayList", "Select", "SelectNone2", "Select None", "", false},
      {"PlayList", "Select", "Invertselection2", "Invert selection", "", false},
      {"PlayList", "Sort", "Sortbypathandfilename2", "Sort by path and file name", "", false},
      // Bound by the undo's model; every job's progress panel clicks it too.
      {"Edit", "", "UndoLastBatchJob1", "Undo Last Batch Job\u2026", "", false},
      {"PlayBack", "", "Preview1", "Previou", "", false},
      {"PlayBack", "", "Play1", "Play", "", false},
      {"PlayBack", "", "Pause1", "Pause", "", false},
      {"PlayBack", "", "Stop1", "Stop", "", false},
      {"PlayBack", "", "Next1", "Next", "", false},
      {"View", "", "Options1", "Options", "", false},
      {"Errors", "", "ClearErrors1", "Clear Errors List", "", false},
      {"Errors", "", "SaveErrors2", "Save Errors", "", false},
      {"Errors", "", "-", "", "", false},
      {"Errors", "", "FlashErrorsTabonerror1", "Flash Errors Tab on error", "", true},
      {"Errors", "", "Beeponerror1", "Beep on error", "", true},
      {"Help", "", "Whatsnew1", "What's new", "", false},
      {"Help", "Online", "Submitabug1", "Submit a bug", "", false},
      {"Help", "Online", "Checkforupdates1", "Check for updates", "", false},
      {"Help", "Online", "Forum1", "Forum", "", false},
      {"Help", "", "About1", "About", "", false},
      {"PopupAdd", "", "File1", "Add File(s)", "Ins", false},
      {"PopupAdd", "", "Folder1", "Add Folder(s)", "", false},
      {"PopupRemove", "", "Selected1", "Remove Selected", "Del", false},
      {"PopupRemove", "", "All1", "Remove All", "", false},
      {"PopupSelect", "", "Selectall1", "Select All", "", false},
      {"PopupSelect", "", "SelectNone1", "Select None", "", false},
      {"PopupSelect", "", "Invertselection1", "Invert selection", "", false},
      {"PopupSort", "", "Sortbypathandfilename1", "Sort by path and file name", "", false},
      {"PopupList", "", "Load1", "Load List", "", false},
      {"PopupList", "", "AppendList1", "Append List", "", false},
      {"PopupList", "", "SaveList1", "Save List", "", false},
      {"PopupList", "", "ClearList1", "Clear List", "", false},
      {"PopupErrors", "", "SaveErrors1", "Save Errors", "", false},
      {"PopupErrors", "", "ClearErrors2", "Clear Errors", "", false},
      // The tag editor page's menus ("&&" shows one ampersand).
      {"PopupMenuAutoComplete", "", "CompleteID3v1ID3v21", "Complete ID3v1 && ID3v2", "", false},
      {"PopupMenuAutoComplete", "", "-", "", "", false},
      {"PopupMenuAutoComplete", "", "CompleteID3v11", "Complete ID3v1", "", false},
      {"PopupMenuAutoComplete", "", "CompleteID3v21", "Complete ID3v2", "", false},
      {"PopupMenuAutoComplete", "", "-", "", "", false},
      {"PopupMenuAutoComplete", "", "Completeonlyiftheyaremissing1",
       "Complete only if they are missing", "", true},
      {"PopupMenuRemoveID3Tag", "", "RemoveID3v1ID3v2Tag1", "Remove ID3v1 && ID3v2 Tag", "", false},
      {"PopupMenuRemoveID3Tag", "", "-", "", "", false},
      {"PopupMenuRemoveID3Tag", "", "RemoveID3v1Tag1", "Remove ID3v1 Tag", "", false},
      {"PopupMenuRemoveID3Tag", "", "RemoveID3v2Tag1", "Remove ID3v2 Tag", "", false},
      // The multi-tagger page's menus.
      {"PopupMenuDefaultSettings", "", "ID3Fields1", "ID3 Fields", "", false},
      {"PopupMenuDefaultSettings", "", "AutoComplete1", "Auto Complete", "", false},
      {"PopupMenuDefaultSettings", "", "StringFormat1", "String Format", "", false},
      {"PopupMenuDefaultSettings", "", "SearchandReplace1", "Search and Replace", "", false},
      {"PopupMenuDefaultSettings", "", "Options2", "Options", "", false},
      {"PopupMenuDefaultSettings", "", "-", "", "", false},
      {"PopupMenuDefaultSettings", "", "AllSettings1", "All Settings", "", false},
      {"PopupMenuremoveTags", "", "RemoveID3v1ID3v2Tags1", "Remove All ID3v1 && ID3v2 Tags", "",
       false},
      {"PopupMenuremoveTags", "", "RemoveID3v1Tags1", "Remove only ID3v1 Tags", "", false},
      {"PopupMenuremoveTags", "", "RemoveID3v2Tags1", "Remove only ID3v2 Tags", "", false},
      // The search-and-replace list's menu; its keys are the list's own.
      {"PopupMenuSR", "", "Add1", "Add", "", false},
      {"PopupMenuSR", "", "Remove1", "Remove", "", false},
      {"PopupMenuSR", "", "Edit1", "Edit", "", false},
      {"PopupMenuSR", "", "-", "", "", false},
      {"PopupMenuSR", "", "MoveUp1", "Move Up", "", false},
      {"PopupMenuSR", "", "MoveDown1", "Move Down", "", false},
  };
  return table;
}

MainWindowModel::MainWindowModel(UserInteraction& user, Poster& poster, std::string programFolder,
                                 std::string settingsFolder)
    : user_(user),
      poster_(poster),
      programFolder_(std::move(programFolder)),
      settingsFolder_(std::move(settingsFolder)),
      controls_(poster),
      options_(poster) {
  CreateControls();
  errors_ = std::make_unique<ErrorList>(user_, poster_, controls_);
  playlist_ = std::make_unique<Playlist>(poster_);
  playlistCommands_ = std::make_unique<PlaylistCommands>(*playlist_, *errors_, user_, poster_);
  addFolders_ = std::make_unique<AddFoldersModel>(*playlist_, *errors_, poster_);
  addFolders_->SetRememberedFolder(programFolder_ + "/");
  BindCommands();
  // The start-up timer: runs once the message loop has started.
  poster_.PostDelayed(1, guard_.Wrap([this] { StartUp(); }));
}

MainWindowModel::~MainWindowModel() = default;

std::string MainWindowModel::SettingsPath() const {
  return settingsFolder_ + "/" + kSettingsFileName;
}

std::string MainWindowModel::PlaylistPath() const {
  return settingsFolder_ + "/" + kPlaylistFileName;
}

void MainWindowModel::CreateControls() {
  // The window as designed; resizing applies the layout rules from here.
  layout_.playlistGroup = {0, 0, kInitialWidth, kInitialHeight - kPageControlHeight};
  layout_.pageControl = {0, kInitialHeight - kPageControlHeight, kInitialWidth,
                         kPageControlHeight};
  controls_.Add("PageControl1", ControlKind::PageControl).SetIndex(0);
  for (const PageInfo& page : kPages)
    controls_.Add(page.name, ControlKind::TabSheet, page.caption).SetImage(page.picture);
  controls_.Add("GroupBoxPlayList", ControlKind::Group, "  PlayList  ");
  for (const ButtonMenu& button : kPlaylistButtons)
    controls_.Add(button.button, ControlKind::Button, button.caption).SetHint(button.hint);
  for (const MenuEntry& entry : MenuTable()) {
    if (std::string_view(entry.name) == "-") continue;
    Control& item = controls_.Add(entry.name, ControlKind::MenuItem, entry.caption);
    if (entry.checkable) item.SetChecked(true);
  }
  controls_.Add("ButtonSaveErrors", ControlKind::Button, "Save Errors");
  controls_.Add("ButtonClearErrors", ControlKind::Button, "Clear Errors");
  // Entry k + 1 of a genre list is genre k.
  std::vector<std::string> genres{""};
  for (std::string_view name : GenreNames) genres.emplace_back(name);
  for (const char* name : {"ComboGenrev1", "ComboGenrev2", "ComboGenreAll"})
    controls_.Add(name, ControlKind::ComboBox).SetItems(genres);
  for (const auto& [name, caption] : kOptionPanels)
    controls_.Add(name, ControlKind::Panel, caption).SetChecked(true);
  const auto addBoxes = [this](const auto& boxes) {
    for (const OptionBox& box : boxes) {
      Control& control = controls_.Add(box.name, ControlKind::CheckBox, box.caption);
      control.SetChecked(box.checked);
      control.SetHint(box.hint);
    }
  };
  addBoxes(kMultiTaggerOptions);
  addBoxes(kAutoCompleteKept);
  for (const auto& [name, text] : kFileSeparators)
    controls_.Add(name, ControlKind::Edit).SetText(text);
  const std::vector<std::string> entries(kCaseFormatEntries.begin(), kCaseFormatEntries.end());
  for (const FormatBox& box : kStringFormatBoxes) {
    Control& combo = controls_.Add(box.combo, ControlKind::ComboBox);
    combo.SetItems(entries);
    combo.SetIndex(0);
  }
  for (const RadioOption& radio : kMultiRenameOptions) {
    Control& control =
        controls_.Add(radio.name, ControlKind::RadioButton, radio.caption, radio.group);
    control.SetChecked(radio.checked);
    control.SetHint(radio.hint);
  }
  controls_.Add("EditAdd", ControlKind::Edit).SetText(kDefaultAddedText);

  options_.Add("CheckBoxFlash", ControlKind::CheckBox, "Flash Errors Tab on error")
      .SetChecked(true);
  options_.Add("CheckBoxBeep", ControlKind::CheckBox, "Beep on error").SetChecked(true);
  options_.Add("CheckBoxShowPlayer", ControlKind::CheckBox,
               "Show the MP3 Player on doubleclick on the playlist");
  options_.Add(kKeepMtimeCheckBox, ControlKind::CheckBox, "Keep the files' modification time");
  AddPlayerControls(controls_, options_);
}

void MainWindowModel::SetAlertOption(const char* menuItem, const char* checkBox, bool checked) {
  controls_[menuItem].SetChecked(checked);
  options_[checkBox].SetChecked(checked);
}

void MainWindowModel::BindCommands() {
  auto on = [this](std::initializer_list<const char*> names, std::function<void()> command) {
    for (const char* name : names) controls_[name].OnClick(command);
  };
  Playlist& list = *playlist_;
  PlaylistCommands& commands = *playlistCommands_;
  on({"AddFile1", "File1"}, [&commands] { commands.AddFiles(); });
  on({"AddFolder1", "Folder1"}, [this] {
    if (showAddFolders_) showAddFolders_();
  });
  on({"RemoveSelected1", "Selected1"}, [&list] { list.RemoveSelected(); });
  on({"RemoveAll1", "All1", "ClearList1"}, [&list] { list.Clear(); });
  on({"SelectAll2", "Selectall1"}, [&list] { list.SelectAll(); });
  on({"SelectNone2", "SelectNone1"}, [&list] { list.SelectNone(); });
  on({"Invertselection2", "Invertselection1"}, [&list] { list.InvertSelection(); });
  on({"Sortbypathandfilename2", "Sortbypathandfilename1"}, [&list] { list.Sort(); });
  on({"Load1"}, [&commands] { commands.LoadList(); });
  on({"AppendList1"}, [&commands] { commands.AppendList(); });
  on({"SaveList1"}, [&commands] { commands.SaveList(); });

  on({"Preview1"}, [this] { if (player_) player_->Previous(); });
  on({"Play1"}, [this] { if (player_) player_->Play(); });
  on({"Pause1"}, [this] { if (player_) player_->Pause(); });
  on({"Stop1"}, [this] { if (player_) player_->Stop(); });
  on({"Next1"}, [this] { if (player_) player_->Next(); });

  on({"Options1"}, [this] { if (showOptions_) showOptions_(); });
  on({"About1"}, [this] { if (showAbout_) showAbout_(); });
  on({"Whatsnew1"}, [this] { user_.OpenWithShell(programFolder_ + "/history.txt"); });
  on({"Submitabug1", "Forum1"},
     [this] { user_.OpenWithShell(std::string("https://") + kForumAddress); });
  on({"Checkforupdates1"}, [this] { user_.OpenWithShell(std::string("https://") + kWebAddress); });

  // The grid's "Clear Errors" clears like the page's button.
  on({"ClearErrors1", "ButtonClearErrors", "ClearErrors2"}, [this] { errors_->ClearCommand(); });
  on({"SaveErrors2", "SaveErrors1", "ButtonSaveErrors"},
     [this] { errors_->SaveCommand(programFolder_); });

  // Each alert option has a twin in the options dialog; either sets both.
  on({"FlashErrorsTabonerror1"}, [this] {
    SetAlertOption("FlashErrorsTabonerror1", "CheckBoxFlash",
                   !controls_["FlashErrorsTabonerror1"].Checked());
  });
  on({"Beeponerror1"}, [this] {
    SetAlertOption("Beeponerror1", "CheckBoxBeep", !controls_["Beeponerror1"].Checked());
  });
  options_["CheckBoxFlash"].OnClick([this] {
    controls_["FlashErrorsTabonerror1"].SetChecked(options_["CheckBoxFlash"].Checked());
  });
  options_["CheckBoxBeep"].OnClick([this] {
    controls_["Beeponerror1"].SetChecked(options_["CheckBoxBeep"].Checked());
  });

  // The accordion: a header click folds the other panels first; the
  // clicked panel then folds or unfolds itself.
  for (const auto& [name, caption] : kOptionPanels) {
    controls_[name].OnClick([this, clicked = std::string(name)] {
      for (const auto& [other, otherCaption] : kOptionPanels)
        if (clicked != other) controls_[other].SetChecked(true);
    });
  }
}

void MainWindowModel::StartUp() {
  if (started_) return;
  started_ = true;
  auto started = startedHandler_;
  // The client takes the width of the page control.
  Resize(layout_.pageControl.width, layout_.clientHeight);
  errors_->SetFlashErrorState(-1);
  for (const RecoveryReport& report : RecoverJournal())
    if (report.ConcernsUser()) errors_->AddError(report.message, report.path, false);
  loadingSettings_ = true;
  LoadSettings(*this);
  loadingSettings_ = false;
  if (!pendingOpen_.empty()) OpenPaths(std::exchange(pendingOpen_, {}));
  if (started) started();
}

void MainWindowModel::OpenPaths(std::vector<std::string> paths) {
  if (closed_) return;
  // Loading the saved playlist empties the list first.
  if (!started_) {
    pendingOpen_.insert(pendingOpen_.end(), paths.begin(), paths.end());
    return;
  }
  playlistCommands_->AddOpened(std::move(paths), [this] { PlaylistClick(); });
}

WriteOptions MainWindowModel::FileWriteOptions() {
  return {options_[kKeepMtimeCheckBox].Checked()};
}

void MainWindowModel::Resize(int clientWidth, int clientHeight) {
  if (clientWidth == layout_.clientWidth && clientHeight == layout_.clientHeight) return;
  layout_.clientWidth = clientWidth;
  layout_.clientHeight = clientHeight;
  Rect& group = layout_.playlistGroup;
  Rect& pages = layout_.pageControl;
  pages.height = kPageControlHeight;
  group.x = 0;
  group.y = 0;
  group.height = std::max(kPlaylistGroupMinHeight, clientHeight - pages.height);
  // Narrower than the page control, the playlist keeps its last width.
  if (clientWidth >= pages.width) group.width = clientWidth - 4;
  pages.x = 0;
  pages.y = group.y + group.height;
  pages.width = std::max(kPageControlMinWidth, clientWidth - 4);
}

int MainWindowModel::PathColumnWidth(int gridClientWidth) {
  return gridClientWidth - kErrorColumns[0].width - kErrorColumns[1].width -
         kErrorColumns[2].width - 5;
}

void MainWindowModel::Close() {
  if (closed_) return;
  closed_ = true;
  for (auto& flag : stopFlags_) flag.store(-1);
  addFolders_->Closed();
  addFolders_->WaitForWorker();
  playlistCommands_->StopDrops();
  // Copies: a step may take itself back.
  std::vector<std::function<void()>> steps;
  for (auto& [id, step] : closingSteps_) steps.push_back(step);
  for (auto& step : steps) step();
  // Settings never loaded must not be saved over the user's file with
  // the window's defaults and an empty list.
  if (started_) SaveSettings(*this);
}

int MainWindowModel::AddClosingStep(std::function<void()> step) {
  int id = nextClosingStep_++;
  closingSteps_.emplace(id, std::move(step));
  return id;
}

void MainWindowModel::RemoveClosingStep(int id) { closingSteps_.erase(id); }

void MainWindowModel::PlayFocused() {
  if (player_) player_->Play();
  if (options_["CheckBoxShowPlayer"].Checked()) controls_["PageControl1"].SetIndex(kPlayerPage);
}

void MainWindowModel::ShowErrorsPage() { controls_["PageControl1"].SetIndex(kErrorsPage); }

}  // namespace tagmora
