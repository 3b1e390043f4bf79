#pragma once
// The "ID3 Tags" page: the focused playlist item's ID3v1 and ID3v2 fields
// in named controls of the main window, and the commands that save them,
// copy them between the two tags and complete artist and title from the
// file name. Loading a file also fills the "MPEG file Info" panel of the
// player page. Everything runs on the user-interface thread.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editing/MpegInfo.h"

namespace tagmora {

class Control;
class ControlSet;
class MainWindowModel;
class SingleFileCommands;

// A field of the page: its box, the label beside it, how many characters
// the user may type (0: no limit), and whether the box is always disabled
// (version and size). The box's name tells its widget: "Edit" one line,
// "Memo" several lines, "Combo" a genre list.
struct TagField {
  const char* box;
  const char* label;
  const char* caption;
  int maxLength = 0;
  bool shownOnly = false;
};

inline constexpr std::array<TagField, 8> kID3v1Fields = {{
    {"EditVersionIdv1", "LabelVersionIdv1", "Version Id", 0, true},
    {"EditTrackv1", "LabelTrackv1", "Track", 4},
    {"EditTitlev1", "LabelTitlev1", "Title", 30},
    {"EditArtistv1", "LabelArtistv1", "Artist", 30},
    {"EditAlbumv1", "LabelAlbumv1", "Album", 30},
    {"EditYearv1", "LabelYearv1", "Year", 4},
    {"ComboGenrev1", "LabelGenrev1", "Genre"},
    {"EditCommentv1", "LabelCommentv1", "Comment", 30},
}};

inline constexpr std::array<TagField, 14> kID3v2Fields = {{
    {"EditVersionIdv2", "LabelVersionIdv2", "Version Id", 0, true},
    {"EditSizev2", "LabelSizev2", "Size", 0, true},
    {"EditTrackv2", "LabelTrackv2", "Track", 4},
    {"EditTitlev2", "LabelTitlev2", "Title"},
    {"EditArtistv2", "LabelArtistv2", "Artist"},
    {"EditAlbumv2", "LabelAlbumv2", "Album"},
    {"EditYearv2", "LabelYearv2", "Year"},
    {"ComboGenrev2", "LabelGenrev2", "Genre"},
    {"MemoCommentv2", "LabelCommentv2", "Comment"},
    {"EditComposerv2", "LabelComposerv2", "Composer"},
    {"EditEncoderv2", "LabelEncoderv2", "Encoder"},
    {"EditCopyrightv2", "LabelCopyrightv2", "Copyright"},
    {"EditLanguagev2", "LabelLanguagev2", "Language"},
    {"EditURLv2", "LabelURLv2", "URL"},
}};

// The "MPEG file Info" panel's boxes, in the order of MpegInfoTexts.
inline constexpr std::array<TagField, kMpegBoxCount> kMpegFields = {{
    {"EditValidMPEG", "LabelValidMPEG", "Valid MPEG"},
    {"EditFileSize", "LabelFileSize", "FileSize"},
    {"EditMpegType", "LabelMpegType", "Mpeg Type"},
    {"EditBitrate", "LabelBitrate", "Bit rate"},
    {"EditSampleRate", "LabelSampleRate", "Sample rate"},
    {"EditChannels", "LabelChannels", "Channels"},
    {"EditDuration", "LabelDuration", "Duration"},
    {"EditFirstFrame", "LabelFirstFrame", "First frame at"},
    {"EditTotalFrames", "LabelTotalFrames", "Total frames"},
    {"EditCRCProtect", "LabelCRCProtect", "CRC protect"},
    {"EditCopyright", "LabelCopyright", "Copyright"},
    {"EditOriginal", "LabelOriginal", "Original"},
    {"EditEmphasis", "LabelEmphasis", "Emphasis"},
    {"EditEncoder", "LabelEncoder", "Encoder"},
}};

// The page's buttons with caption and hint.
struct EditorButton {
  const char* name;
  const char* caption;
  const char* hint;
};
inline constexpr std::array<EditorButton, 8> kEditorButtons = {{
    {"ButtonCopyToID3v2", "Copy to ID3v2", ""},
    {"ButtonCopyFromID3v2", "Copy from ID3v2", ""},
    {"ButtonRefresh", "Refresh", "Reload ID3 Tag from current file from playlist"},
    {"ButtonSave", "Save", "Save ID3 Tag"},
    {"ButtonAutoComplete", "Auto Complete ...", "Auto complete the ID3 Tag. Click for menu ..."},
    {"ButtonRemoveID3Tag", "Remove ID3Tag...", "Remove ID3 Tag"},
    {"ButtonDeleteFile", "Delete", "Delete the file from hard drive"},
    {"ButtonRename", "Rename/Move", "Rename/Move the file from EditBox as you retyped it"},
}};

// Messages of the page and of the single-file commands.
inline constexpr const char* kNoFilesMessage = "No files in the playlist! Add some!";
inline constexpr const char* kSelectFileMessage = "Select a file from the playlist first!";
inline constexpr const char* kFileMissingMessage = "File does NOT exist!";

class TagEditorModel {
 public:
  // Adds the page's controls to the window's and binds their commands.
  explicit TagEditorModel(MainWindowModel& window);
  ~TagEditorModel();
  TagEditorModel(const TagEditorModel&) = delete;
  TagEditorModel& operator=(const TagEditorModel&) = delete;

  // Shows the playlist's focused item: its tags here, its stream in the
  // MPEG panel. The playlist's single click runs it.
  void LoadFocused();
  // The commands of the page.
  void Refresh();
  void Save();
  void CopyToID3v2();
  void CopyFromID3v2();
  void CompleteID3v1() { Complete(1); }
  void CompleteID3v2() { Complete(2); }

  // Reports the first that fails of: an empty playlist, an empty path, a
  // path that names no file; true when all pass.
  bool CommonChecks();
  // The MPEG panel for a path; its reports show no message box.
  void ShowMpegInfo(const std::string& path);
  // The file the page's commands act on: the text of "EditPath".
  std::string Path() const;

  // Sets a control's command; the commands are taken back when this model
  // ends, since the controls outlive it.
  void Bind(const char* name, std::function<void()> command);
  MainWindowModel& Window() { return window_; }

  // The view opens a pop-up menu under a button's bottom-left corner.
  using PopupHandler = std::function<void(const std::string& popup, const std::string& button)>;
  void SetShowPopupHandler(PopupHandler handler) { showPopup_ = std::move(handler); }
  void ShowPopup(const char* popup, const char* button);

 private:
  void CreateControls();
  void BindCommands();
  Control& C(const std::string& name);
  void ApplyEnabling(int version);
  void ClearPage();
  void ShowPage();
  void Complete(int version);
  // The number in a track box of a group that is to be written; nothing
  // after the refusal was shown.
  std::optional<uint8_t> TrackToSave(const char* box);

  MainWindowModel& window_;
  ControlSet& controls_;
  std::unique_ptr<SingleFileCommands> files_;
  PopupHandler showPopup_;
  std::vector<std::string> bound_;
};

}  // namespace tagmora
