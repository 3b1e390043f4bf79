#include "editing/TagEditorModel.h"

#include <cerrno>
#include <string_view>

#include "app/MainWindowModel.h"
#include "editing/PlayerHold.h"
#include "editing/SingleFileCommands.h"
#include "editing/SplitFileName.h"
#include "editing/TagAccess.h"
#include "editing/TrackNumber.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "playlist/Playlist.h"
#include "tags/GenreNames.h"
#include "tags/MPEGaudio.h"

namespace tagmora {

namespace {

constexpr const char* kHasTag[] = {"", "CheckHasTagv1", "CheckHasTagv2"};
constexpr const char* kPopupAutoComplete = "PopupMenuAutoComplete";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string Number(int value) { return value ? std::to_string(value) : std::string(); }

// The text fields of each record with the box that shows them.
constexpr std::pair<const char*, std::string IDv1Tag::*> kV1Texts[] = {
    {"EditTitlev1", &IDv1Tag::Title}, {"EditArtistv1", &IDv1Tag::Artist},
    {"EditAlbumv1", &IDv1Tag::Album}, {"EditYearv1", &IDv1Tag::Year},
    {"EditCommentv1", &IDv1Tag::Comment}};
constexpr std::pair<const char*, std::string IDv2Tag::*> kV2Texts[] = {
    {"EditTitlev2", &IDv2Tag::Title},         {"EditArtistv2", &IDv2Tag::Artist},
    {"EditAlbumv2", &IDv2Tag::Album},         {"EditYearv2", &IDv2Tag::Year},
    {"ComboGenrev2", &IDv2Tag::Genre},        {"MemoCommentv2", &IDv2Tag::Comment},
    {"EditComposerv2", &IDv2Tag::Composer},   {"EditEncoderv2", &IDv2Tag::Encoder},
    {"EditCopyrightv2", &IDv2Tag::Copyright}, {"EditLanguagev2", &IDv2Tag::Language},
    {"EditURLv2", &IDv2Tag::URL}};

}  // namespace

TagEditorModel::TagEditorModel(MainWindowModel& window)
    : window_(window), controls_(window.Controls()) {
  CreateControls();
  BindCommands();
  files_ = std::make_unique<SingleFileCommands>(*this);
  window_.SetPlaylistClickHandler([this] { LoadFocused(); });
}

TagEditorModel::~TagEditorModel() {
  window_.SetPlaylistClickHandler({});
  // The controls outlive this model: none may run a command into it.
  for (const std::string& name : bound_) C(name).OnClick({});
}

Control& TagEditorModel::C(const std::string& name) { return controls_[name]; }

void TagEditorModel::Bind(const char* name, std::function<void()> command) {
  C(name).OnClick(std::move(command));
  bound_.emplace_back(name);
}

std::string TagEditorModel::Path() const { return controls_["EditPath"].Text(); }

void TagEditorModel::CreateControls() {
  controls_.Add("GroupBoxID3v1", ControlKind::Group, "  ID3v1 Tag  ");
  controls_.Add("GroupBoxID3v2", ControlKind::Group, "  ID3v2 Tag  ");
  controls_.Add("GroupFileInfo", ControlKind::Group, "  MPEG file Info  ");
  controls_.Add("LabelPath", ControlKind::Label, "Path");
  controls_.Add("EditPath", ControlKind::Edit);
  controls_.Add("EditPath2", ControlKind::Edit);
  controls_.Add("CheckHasTagv1", ControlKind::CheckBox, "Has Tag");
  controls_.Add("CheckHasTagv2", ControlKind::CheckBox, "Has Tag");
  const auto addFields = [this](const auto& fields) {
    for (const TagField& field : fields) {
      controls_.Add(field.label, ControlKind::Label, field.caption);
      // The genre lists belong to the window, which fills them.
      if (!StartsWith(field.box, "Combo")) controls_.Add(field.box, ControlKind::Edit);
      if (field.shownOnly) C(field.box).SetEnabled(false);
    }
  };
  addFields(kID3v1Fields);
  addFields(kID3v2Fields);
  addFields(kMpegFields);
  for (const EditorButton& button : kEditorButtons)
    controls_.Add(button.name, ControlKind::Button, button.caption).SetHint(button.hint);
  ApplyEnabling(1);
  ApplyEnabling(2);
}

void TagEditorModel::BindCommands() {
  Bind("CheckHasTagv1", [this] { ApplyEnabling(1); });
  Bind("CheckHasTagv2", [this] { ApplyEnabling(2); });
  Bind("ButtonRefresh", [this] { Refresh(); });
  Bind("ButtonSave", [this] { Save(); });
  Bind("ButtonCopyToID3v2", [this] { CopyToID3v2(); });
  Bind("ButtonCopyFromID3v2", [this] { CopyFromID3v2(); });
  Bind("ButtonAutoComplete", [this] { ShowPopup(kPopupAutoComplete, "ButtonAutoComplete"); });
  Bind("CompleteID3v11", [this] { CompleteID3v1(); });
  Bind("CompleteID3v21", [this] { CompleteID3v2(); });
  Bind("CompleteID3v1ID3v21", [this] {
    CompleteID3v1();
    CompleteID3v2();
  });
  // The menu comes back at once, ready for the next choice.
  Bind("Completeonlyiftheyaremissing1", [this] {
    Control& item = C("Completeonlyiftheyaremissing1");
    item.SetChecked(!item.Checked());
    ShowPopup(kPopupAutoComplete, "ButtonAutoComplete");
  });
}

void TagEditorModel::ShowPopup(const char* popup, const char* button) {
  if (showPopup_) showPopup_(popup, button);
}

void TagEditorModel::ShowPage() { C("PageControl1").SetIndex(kId3Page); }

// A group's fields and their labels are enabled exactly while its
// "Has Tag" box is checked; version and size are only shown.
void TagEditorModel::ApplyEnabling(int version) {
  const bool enabled = C(kHasTag[version]).Checked();
  const auto apply = [&](const auto& fields) {
    for (const TagField& field : fields) {
      if (field.shownOnly) continue;
      C(field.box).SetEnabled(enabled);
      C(field.label).SetEnabled(enabled);
    }
  };
  if (version == 1)
    apply(kID3v1Fields);
  else
    apply(kID3v2Fields);
}

bool TagEditorModel::CommonChecks() {
  ErrorList& errors = window_.Errors();
  if (window_.PlayList().Count() == 0) {
    errors.AddError(kNoFilesMessage, "", true);
    return false;
  }
  const std::string path = Path();
  if (path.empty()) {
    errors.AddError(kSelectFileMessage, "", true);
    return false;
  }
  if (!FileExists(path)) {
    errors.AddError(kFileMissingMessage, path, true);
    return false;
  }
  return true;
}

void TagEditorModel::ClearPage() {
  C("CheckHasTagv1").SetChecked(false);
  C("CheckHasTagv2").SetChecked(false);
  for (const TagField& field : kID3v1Fields)
    if (!StartsWith(field.box, "Combo")) C(field.box).SetText("");
  for (const TagField& field : kID3v2Fields)
    if (!StartsWith(field.box, "Combo")) C(field.box).SetText("");
  C("ComboGenrev1").SetIndex(-1);
  C("ComboGenrev2").SetText("");
}

void TagEditorModel::LoadFocused() {
  ClearPage();
  const Playlist& list = window_.PlayList();
  std::string path;
  if (!list.TryItem(list.Focus(), path)) return;
  C("EditPath").SetText(path);
  C("EditPath2").SetText(path);
  if (!FileExists(path)) {
    // The panel must not go on describing the file shown before.
    ShowMpegInfo("");
    window_.Errors().AddError(kFileMissingMessage, path, true);
    return;
  }
  ShowMpegInfo(path);

  IDv1Tag v1;
  IDv2Tag v2;
  const std::string status = ReadTags(path, v1, v2);
  // Fields left empty by a failed read are explained in the error list.
  if (status != kStatusOK) window_.Errors().AddError(status, path, false);

  C("CheckHasTagv1").SetChecked(v1.Exists);
  C("EditVersionIdv1").SetText(std::to_string(v1.VersionId));
  C("EditTrackv1").SetText(Number(v1.Track));
  for (const auto& [box, field] : kV1Texts) C(box).SetText(v1.*field);
  // Entry k + 1 is genre k; the empty entry means no genre, and a byte
  // that names no genre selects nothing.
  int genre = -1;
  if (v1.GenreId == kNoGenre)
    genre = 0;
  else if (v1.GenreId < kGenreCount)
    genre = v1.GenreId + 1;
  C("ComboGenrev1").SetIndex(genre);

  C("CheckHasTagv2").SetChecked(v2.Exists);
  C("EditVersionIdv2").SetText(std::to_string(v2.VersionId));
  C("EditSizev2").SetText(std::to_string(v2.Size));
  C("EditTrackv2").SetText(Number(v2.Track));
  for (const auto& [box, field] : kV2Texts) C(box).SetText(v2.*field);
}

void TagEditorModel::ShowMpegInfo(const std::string& path) {
  for (const TagField& field : kMpegFields) C(field.box).SetText("");
  if (path.empty()) return;
  ErrorList& errors = window_.Errors();
  if (!FileExists(path)) {
    errors.AddError(kFileMissingMessage, path, false);
    return;
  }
  TMPEGaudio audio;
  errno = 0;
  if (!audio.ReadInfo(path)) {
    // A file too short for a tag fails without a system error; "Success"
    // would tell the user nothing.
    const std::string reason = errno ? SystemErrorText() : std::string();
    errors.AddError("Can not read data from the file! " + reason, path, false);
    return;
  }
  const auto texts = MpegInfoTexts(audio);
  for (size_t i = 0; i < kMpegFields.size(); ++i) C(kMpegFields[i].box).SetText(texts[i]);
}

void TagEditorModel::Refresh() {
  if (CommonChecks()) LoadFocused();
}

std::optional<uint8_t> TagEditorModel::TrackToSave(const char* box) {
  TrackNumber track = ParseTrackNumber(C(box).Text());
  if (track.valid) return track.value;
  window_.User().Show({kProgramName, track.message, MessageIcon::Error, MessageButtons::Ok});
  return std::nullopt;
}

void TagEditorModel::Save() {
  if (!CommonChecks()) return;
  const std::string path = Path();
  const bool hasV1 = C("CheckHasTagv1").Checked();
  const bool hasV2 = C("CheckHasTagv2").Checked();
  // Both track boxes are checked before anything is written, so that a
  // bad number never leaves one tag saved and the other not. A tag that
  // is to be removed does not need its track.
  std::optional<uint8_t> track1 = hasV1 ? TrackToSave("EditTrackv1") : 0;
  if (!track1) return;
  std::optional<uint8_t> track2 = hasV2 ? TrackToSave("EditTrackv2") : 0;
  if (!track2) return;

  PlayerHold hold(window_.Player(), path);
  ErrorList& errors = window_.Errors();
  IDv1Tag v1;
  v1.Exists = hasV1;
  v1.Track = *track1;
  for (const auto& [box, field] : kV1Texts)
    v1.*field = Utf8Left(C(box).Text(), field == &IDv1Tag::Year ? 4 : 30);
  // The empty entry gives 255 (no genre), no selection 254.
  v1.GenreId = static_cast<uint8_t>(C("ComboGenrev1").Index() - 1);
  const WriteOptions options = window_.FileWriteOptions();
  std::string status = WriteID3v1Tag(path, v1, options);
  if (status != kStatusOK) errors.AddError(status, path, true);

  IDv2Tag v2;
  v2.Exists = hasV2;
  v2.Track = *track2;
  for (const auto& [box, field] : kV2Texts) v2.*field = C(box).Text();
  status = WriteID3v2Tag(path, v2, options);
  if (status != kStatusOK && !hasV2) {
    // Removing a tag the file does not have fails, yet the file is as
    // the user asked: no error for every save of a file without one.
    IDv1Tag readV1;
    IDv2Tag readV2;
    if (ReadTags(path, readV1, readV2) == kStatusOK && !readV2.Exists) status = kStatusOK;
  }
  if (status != kStatusOK) errors.AddError(status, path, true);
  hold.Resume();
}

void TagEditorModel::CopyToID3v2() {
  if (!C("CheckHasTagv1").Checked()) {
    window_.Errors().AddError("NO ID3v1 Tag present!", Path(), true);
    return;
  }
  C("CheckHasTagv2").SetChecked(true);
  for (std::string field : {"Track", "Title", "Artist", "Album", "Year"})
    C("Edit" + field + "v2").SetText(C("Edit" + field + "v1").Text());
  const Control& genre = C("ComboGenrev1");
  const std::vector<std::string> genres = genre.Items();
  const int index = genre.Index();
  C("ComboGenrev2").SetText(index >= 0 && index < int(genres.size()) ? genres[index] : "");
  C("MemoCommentv2").SetText(C("EditCommentv1").Text());
  ShowPage();
}

void TagEditorModel::CopyFromID3v2() {
  if (!C("CheckHasTagv2").Checked()) {
    window_.Errors().AddError("NO ID3v2 Tag present!", Path(), true);
    return;
  }
  C("CheckHasTagv1").SetChecked(true);
  C("EditTrackv1").SetText(C("EditTrackv2").Text());
  for (std::string field : {"Title", "Artist", "Album"})
    C("Edit" + field + "v1").SetText(Utf8Left(C("Edit" + field + "v2").Text(), 30));
  C("EditYearv1").SetText(C("EditYearv2").Text());
  const std::string genre = C("ComboGenrev2").Text();
  const std::vector<std::string> genres = C("ComboGenrev1").Items();
  int index = 0;
  for (size_t i = 1; i < genres.size(); ++i)
    if (EqualsIgnoringAsciiCase(genres[i], genre)) {
      index = static_cast<int>(i);
      break;
    }
  C("ComboGenrev1").SetIndex(index);
  C("EditCommentv1").SetText(Utf8Left(C("MemoCommentv2").Text(), 30));
  ShowPage();
}

void TagEditorModel::Complete(int version) {
  if (!CommonChecks()) return;
  const std::string path = Path();
  // The multi-tagger page's separators, as the user set them there.
  std::string separators[2];
  for (int i = 0; i < 2; ++i) separators[i] = C(kFileSeparators[i].first).Text();
  std::string artist, title;
  const std::string first = SplitFileName(path, separators[0], artist, title);
  if (first != kStatusOK) {
    const std::string second = SplitFileName(path, separators[1], artist, title);
    if (second != kStatusOK) {
      window_.Errors().AddError(
          first + " and " + second + (version == 1 ? " in ID3v1" : " in ID3v2"), path, true);
      return;
    }
  }
  if (version == 1) {
    artist = Utf8Left(artist, 30);
    title = Utf8Left(title, 30);
  }
  const std::string v = std::to_string(version);
  C(kHasTag[version]).SetChecked(true);
  const bool onlyMissing = C("Completeonlyiftheyaremissing1").Checked();
  Control& artistBox = C("EditArtistv" + v);
  Control& titleBox = C("EditTitlev" + v);
  if (!onlyMissing || artistBox.Text().empty()) artistBox.SetText(artist);
  if (!onlyMissing || titleBox.Text().empty()) titleBox.SetText(title);
  ShowPage();
}

}  // namespace tagmora
