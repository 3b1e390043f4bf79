#pragma once
// The main window model: creation and start-up, the pages, menus and
// pop-up menus with their commands, the layout rules, the options dialog's
// controls, the stop flags of the batch jobs, and closing.

#include <array>
#include <functional>
#include <map>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Control.h"
#include "app/ErrorList.h"
#include "app/Poster.h"
#include "app/SearchReplaceRule.h"
#include "app/UserInteraction.h"
#include "platform/WriteOptions.h"

namespace tagmora {

// The options dialog's check box "Keep the files' modification time": every
// tag write of the window (the editor's Save, the single-file commands, the
// batch jobs) takes it through FileWriteOptions().
inline constexpr const char* kKeepMtimeCheckBox = "CheckBoxKeepMtime";

class Playlist;
class PlaylistCommands;
class AddFoldersModel;

struct PageInfo {
  const char* name;     // the tab sheet's control name
  const char* caption;
  int picture;          // index into the page pictures 0..6
};
// The pages of "PageControl1" in order.
inline constexpr std::array<PageInfo, 6> kPages = {{
    {"TabSheetMultiTag", "Multi Tagger", 0},
    {"TabSheetId3", "ID3 Tags", 4},
    {"TabSheet2", "Multi Rename Tool", 1},
    {"TabSheet6", "Multi Move Tool", 2},
    {"TabSheetMp3PlayerInfo", "Mp3 Player - MPEG info", 3},
    {"TabSheetErrors", "Errors", 5},
}};
inline constexpr int kId3Page = 1;
inline constexpr int kRenamePage = 2;
inline constexpr int kMovePage = 3;
inline constexpr int kPlayerPage = 4;
inline constexpr int kErrorsPage = 5;

// One item of the main menu or of a pop-up menu. The view builds the menus
// from this table and binds each item to the control of the same name.
struct MenuEntry {
  const char* menu;     // a main menu's caption, or a pop-up menu's name
  const char* submenu;  // caption of the submenu it sits under, or ""
  const char* name;     // control name; "-" for a separator
  const char* caption;
  const char* shortcut;  // key sequence text ("Ins", "Del") or ""
  bool checkable;
};
// Main menu first (in menu order), then the pop-up menus.
const std::vector<MenuEntry>& MenuTable();
// The pop-up menu each playlist button opens below itself.
struct ButtonMenu {
  const char* button;
  const char* caption;
  const char* hint;
  const char* popup;
};
inline constexpr std::array<ButtonMenu, 5> kPlaylistButtons = {{
    {"ButtonAdd", "Add", "Add files or folders", "PopupAdd"},
    {"ButtonRemove", "Remove", "Remove files", "PopupRemove"},
    {"ButtonSel", "Select", "Selection options", "PopupSelect"},
    {"ButtonSort", "Sort", "Sort options", "PopupSort"},
    {"ButtonList", "List", "List options", "PopupList"},
}};

// The four option panels of the multi-tagger page, an accordion.
inline constexpr std::array<std::pair<const char*, const char*>, 4> kOptionPanels = {{
    {"CollapsePanelAutocomplete", "Auto complete"},
    {"CollapsePanelStringFormat", "String format"},
    {"CollapsePanelSearchReplace", "Search and Replace"},
    {"CollapsePanelOptions", "Options"},
}};

// The check boxes of the multi-tagger page's "Options" panel. The window
// holds them, since the settings file keeps them; the page's model gives
// them their commands.
struct OptionBox {
  const char* name;
  const char* caption;
  bool checked;
  const char* hint;
};
inline constexpr std::array<OptionBox, 4> kMultiTaggerOptions = {{
    {"CheckBoxID3v1", "Replace ID3v1", true, ""},
    {"CheckBoxID3v2", "Replace ID3v2 (slower)", false, ""},
    {"CheckReadOnly", "try to write to ReadOnly files also", true,
     "If the file is ReadOnly, program will try to temporary remove the attribute and update "
     "the file"},
    {"CheckBoxDisableSettings", "disable Settings after the update process complets", true, ""},
}};

// The auto-complete boxes of the multi-tagger page that the settings file
// keeps; the page's model gives them their enabling.
inline constexpr std::array<OptionBox, 2> kAutoCompleteKept = {{
    {"CheckBoxMissingTitle", "Only if is missing", true, ""},
    {"CheckBoxMissingArtist", "Only if is missing", true, ""},
}};

// The auto-complete separators with their defaults. The window holds them:
// the tag editor's complete commands split file names with them too.
inline constexpr std::array<std::pair<const char*, const char*>, 2> kFileSeparators = {{
    {"EditFileSeparator1", " - "}, {"EditFileSeparator2", "_-_"}}};
inline constexpr int kFileSeparatorMaxLength = 10;

// The string-format boxes of the multi-tagger page with their labels and
// the entries each offers; the settings file keeps the chosen entries.
struct FormatBox {
  const char* combo;
  const char* label;
  const char* caption;
};
inline constexpr std::array<FormatBox, 6> kStringFormatBoxes = {{
    {"ComboBoxTitleFormat", "LabelSFTitle", "Title"},
    {"ComboBoxArtistFormat", "LabelSFArtist", "Artist"},
    {"ComboBoxAlbumFormat", "LabelSFAlbum", "Album"},
    {"ComboBoxCommentFormat", "LabelSFComment", "Comment"},
    {"ComboBoxComposerFormat", "LabelSFComposer", "Composer"},
    {"ComboBoxEncoderFormat", "LabelSFEncoder", "Encoder"},
}};
inline constexpr std::array<const char*, 5> kCaseFormatEntries = {
    "Unchanged", "All lowercase", "All UPPERCASE", "First letter uppercase",
    "First of each word uppercase"};
// The rename page's options that the settings file keeps, held by the
// window like the multi-tagger's; the page's model gives them their
// commands. A group that loads with every button off falls back to its
// last one: of the policies, the one the settings file has no key for.
struct RadioOption {
  const char* name;
  const char* caption;
  const char* group;  // the name of the box around the group
  bool checked;
  const char* hint;
};
inline constexpr std::array<RadioOption, 6> kMultiRenameOptions = {{
    {"RadioID3v1Priority", "ID3v1", "GroupRenamePriority", false,
     "If checked, the ID3v1 Tag will be readed first"},
    {"RadioID3v2Priority", "ID3v2", "GroupRenamePriority", true,
     "If checked, the ID3v2 Tag will be readed first"},
    {"RadioDontReplace", "Don't replace, skip the file", "GroupIfExists", false, ""},
    {"RadioReplace", "Replace the old file with the new one", "GroupIfExists", false, ""},
    {"RadioAdd", "Add this text to the begining of the new file name", "GroupIfExists", true, ""},
    {"RadioDelete", "Delete the new file !!!", "GroupIfExists", false, ""},
}};
// "EditAdd": the prefix "Add this text ..." puts before a taken name.
inline constexpr const char* kDefaultAddedText = "_copy_";

// Geometry of the main window in pixels; the view applies it.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};
struct MainLayout {
  int clientWidth = 800;
  int clientHeight = 590;
  Rect playlistGroup;  // "GroupBoxPlayList"
  Rect pageControl;    // "PageControl1"
};
inline constexpr int kInitialWidth = 800;
inline constexpr int kInitialHeight = 590;
inline constexpr int kPageControlHeight = 294;
inline constexpr int kPageControlMinWidth = 790;
inline constexpr int kPlaylistGroupMinHeight = 200;

// The product's pages, handed to the shell with the "https://" prefix.
inline constexpr const char* kWebAddress = "tagmora.org";
inline constexpr const char* kForumAddress = "tagmora.org/forum";
inline constexpr const char* kContactAddress = "tagmora@tagmora.org";  // mailto:
// The about box's version text.
inline constexpr const char* kVersionText = "Version 0.1.0, released 7 December 2026";

// What the playlist's Enter and double-click start; the player fills it.
class PlayerCommands {
 public:
  virtual ~PlayerCommands() = default;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  virtual void Next() = 0;
  virtual void Previous() = 0;
  // What the single-file commands ask before they change a file: whether a
  // track is open, which file, and where playback stands, to resume there.
  virtual bool TrackOpen() const = 0;
  virtual std::string TrackFile() const = 0;
  virtual int64_t PositionMs() const = 0;
  virtual void Seek(int64_t ms) = 0;
  // Start-up, once the "Sound" keys are applied: the "Sound" page shows the
  // chosen mixer line and the volume knob takes its volume.
  virtual void SoundSettingsLoaded() {}
};

class MainWindowModel {
 public:
  // settingsFolder holds "settings.ini" and "playlist.m3u" (see
  // SettingsFolder() in app/Settings.h); programFolder is where
  // "history.txt" lives and where the report dialog opens.
  MainWindowModel(UserInteraction& user, Poster& poster, std::string programFolder,
                  std::string settingsFolder);
  ~MainWindowModel();
  MainWindowModel(const MainWindowModel&) = delete;
  MainWindowModel& operator=(const MainWindowModel&) = delete;

  static constexpr const char* kCaption = "Tagmora";

  // Main window controls: pages, tab sheets, menu items, playlist buttons,
  // panels, genre lists, the error page's buttons.
  ControlSet& Controls() { return controls_; }
  // The options dialog "TFormOptions" ("Options", always on top, not modal).
  ControlSet& OptionsControls() { return options_; }
  // How the window's tag writes treat the files, from the options.
  WriteOptions FileWriteOptions();
  ErrorList& Errors() { return *errors_; }
  Playlist& PlayList() { return *playlist_; }
  PlaylistCommands& PlaylistActions() { return *playlistCommands_; }
  AddFoldersModel& AddFolders() { return *addFolders_; }
  UserInteraction& User() { return user_; }
  Poster& Posts() { return poster_; }

  const std::string& ProgramFolder() const { return programFolder_; }
  const std::string& SettingsFolder() const { return settingsFolder_; }
  std::string SettingsPath() const;
  std::string PlaylistPath() const;

  // The start-up timer's work (posted 1 ms after creation): finishes the
  // tag writes that a crash interrupted (the journal's recovery, each
  // undone or refused write an entry of the error list), then loads the
  // settings and the playlist. Runs once; true once it has run.
  void StartUp();
  bool Started() const { return started_; }
  // Called at the end of StartUp: the view applies the layout and sets up
  // the error grid's columns.
  void SetStartedHandler(std::function<void()> started) { startedHandler_ = std::move(started); }

  // Files, folders and playlists handed to the program from outside: added
  // to the playlist once the saved one has loaded, the first of them
  // focused and shown as a click on it would show it.
  void OpenPaths(std::vector<std::string> paths);

  // The window was resized to this client size: applies the layout rules.
  void Resize(int clientWidth, int clientHeight);
  const MainLayout& Layout() const { return layout_; }
  // Width of the error grid's "Path" column for the grid's client width.
  static int PathColumnWidth(int gridClientWidth);

  // Closing: tells every job and walk to stop, runs the closing steps
  // (each job waits for its worker), saves the settings and the playlist
  // (unless they were never loaded). Runs once.
  void Close();
  // A step of closing that runs before the settings are saved; the id
  // takes it back.
  int AddClosingStep(std::function<void()> step);
  void RemoveClosingStep(int id);
  // True while LoadSettings applies the stored values.
  bool LoadingSettings() const { return loadingSettings_; }

  // The stop flags of the batch jobs and of the undo; any value but 0
  // means stop.
  enum StopFlag { CancelUpdate, CancelRename, CancelMove, CancelRemoveTags,
                  StopUpdateTimer, StopRemoveTagsTimer, CancelUndo, StopUndoTimer,
                  kStopFlagCount };
  std::atomic<int32_t>& Stop(StopFlag flag) { return stopFlags_[flag]; }

  // The player commands; without a player they do nothing.
  void SetPlayer(PlayerCommands* player) { player_ = player; }
  PlayerCommands* Player() const { return player_; }
  // Enter or double-click in the playlist.
  void PlayFocused();

  // The search-and-replace rules of the multi-tagger page, top to bottom.
  // Whoever changes them calls RulesChanged, which tells the list's view.
  std::vector<SearchReplaceRule>& Rules() { return rules_; }
  void RulesChanged() {
    if (rulesChanged_) rulesChanged_();
  }
  void SetRulesChangedHandler(std::function<void()> changed) { rulesChanged_ = std::move(changed); }

  // The events the view forwards that are not a control's click.
  void ShowErrorsPage();
  void SetShowOptionsHandler(std::function<void()> show) { showOptions_ = std::move(show); }
  void SetShowAboutHandler(std::function<void()> show) { showAbout_ = std::move(show); }
  void SetShowAddFoldersHandler(std::function<void()> show) { showAddFolders_ = std::move(show); }
  // A single click in the playlist (and the player's Next and Previous):
  // the tag editor shows the focused file.
  void PlaylistClick() {
    if (playlistClick_) playlistClick_();
  }
  void SetPlaylistClickHandler(std::function<void()> click) { playlistClick_ = std::move(click); }

 private:
  void CreateControls();
  void BindCommands();
  void SetAlertOption(const char* menuItem, const char* checkBox, bool checked);

  UserInteraction& user_;
  Poster& poster_;
  std::string programFolder_;
  std::string settingsFolder_;
  ControlSet controls_;
  ControlSet options_;
  std::unique_ptr<ErrorList> errors_;
  std::unique_ptr<Playlist> playlist_;
  std::unique_ptr<PlaylistCommands> playlistCommands_;
  std::unique_ptr<AddFoldersModel> addFolders_;
  PlayerCommands* player_ = nullptr;
  std::vector<SearchReplaceRule> rules_;
  MainLayout layout_;
  std::array<std::atomic<int32_t>, kStopFlagCount> stopFlags_{};
  std::function<void()> showOptions_, showAbout_, showAddFolders_, startedHandler_;
  std::function<void()> playlistClick_;
  std::function<void()> rulesChanged_;
  std::map<int, std::function<void()>> closingSteps_;
  int nextClosingStep_ = 1;
  std::vector<std::string> pendingOpen_;
  bool started_ = false;
  bool loadingSettings_ = false;
  bool closed_ = false;
  PostGuard guard_;
};

}  // namespace tagmora
