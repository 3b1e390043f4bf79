#include "editing/SingleFileCommands.h"

#include <cerrno>

#include "app/MainWindowModel.h"
#include "editing/PlayerHold.h"
#include "editing/TagAccess.h"
#include "editing/TagEditorModel.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "playlist/Playlist.h"

namespace tagmora {

SingleFileCommands::SingleFileCommands(TagEditorModel& editor)
    : editor_(editor), window_(editor.Window()) {
  editor_.Bind("ButtonRemoveID3Tag",
               [this] { editor_.ShowPopup("PopupMenuRemoveID3Tag", "ButtonRemoveID3Tag"); });
  editor_.Bind("RemoveID3v1ID3v2Tag1", [this] { RemoveBoth(); });
  editor_.Bind("RemoveID3v1Tag1", [this] { RemoveID3v1(); });
  editor_.Bind("RemoveID3v2Tag1", [this] { RemoveID3v2(); });
  editor_.Bind("ButtonDeleteFile", [this] { Delete(); });
  editor_.Bind("ButtonRename", [this] { RenameMove(); });
}

void SingleFileCommands::RemoveID3v1() { Remove(1); }
void SingleFileCommands::RemoveID3v2() { Remove(2); }

void SingleFileCommands::RemoveBoth() {
  RemoveID3v1();
  RemoveID3v2();
}

void SingleFileCommands::Remove(int version) {
  if (!editor_.CommonChecks()) return;
  const std::string path = editor_.Path();
  const std::string tag = version == 1 ? "ID3v1" : "ID3v2";
  const MessageAnswer answer = window_.User().Show(
      {"Delete " + tag + " Tag?",
       "This will remove your " + tag + " Tag from current file!\nAre you sure you want to delete the " +
           tag + " Tag?",
       MessageIcon::Question, MessageButtons::YesNo});
  if (answer != MessageAnswer::Yes) return;

  PlayerHold hold(window_.Player(), path);
  // A record without a tag removes the tag.
  const std::string status =
      version == 1 ? WriteID3v1Tag(path, IDv1Tag{}, window_.FileWriteOptions())
                   : WriteID3v2Tag(path, IDv2Tag{}, window_.FileWriteOptions());
  if (status == kStatusOK)
    editor_.Refresh();
  else
    window_.Errors().AddError(version == 1 ? "Error removing IDv1 Tag!" : "Error removing IDv2 Tag !",
                              path, true);
  hold.Resume();
}

bool SingleFileCommands::FocusedPath(int& focus, std::string& path) {
  const Playlist& list = window_.PlayList();
  focus = list.Focus();
  if (list.TryItem(focus, path)) return true;
  window_.Errors().AddError(kSelectFileMessage, "", true);
  return false;
}

void SingleFileCommands::Delete() {
  if (!editor_.CommonChecks()) return;
  int focus;
  std::string path;
  if (!FocusedPath(focus, path)) return;
  UserInteraction& user = window_.User();
  if (user.Show({"Delete ?",
                 "Are you sure you want to move the file\n" + path + "\nto the trash ?",
                 MessageIcon::Question, MessageButtons::YesNo}) != MessageAnswer::Yes)
    return;

  // Playback of the deleted file ends for good.
  PlayerHold stop(window_.Player(), path);
  // The trash of the file's own disk, from where a file manager puts it back.
  TrashEntry trashed;
  if (!MoveToTrash(path, trashed)) {
    const std::string reason = SystemErrorText();
    user.Show({"Error deleting...", "Error deleting the file: " + path + ". \n" + reason,
               MessageIcon::Error, MessageButtons::Ok});
    return;
  }
  Playlist& list = window_.PlayList();
  if (list.Item(focus) == path) list.Delete(focus);
}

void SingleFileCommands::RenameMove() {
  Playlist& list = window_.PlayList();
  ErrorList& errors = window_.Errors();
  if (list.Count() == 0) {
    errors.AddError("No files in playlist! Add some!", "", false);
    return;
  }
  int focus;
  std::string from;
  if (!FocusedPath(focus, from)) return;
  if (!FileExists(from)) {
    errors.AddError(kFileMissingMessage, from, true);
    return;
  }
  const std::string to = editor_.Path();
  if (to.empty()) {
    errors.AddError("Invalid file! Check the playlist item and the path of ID3 Tag!", "", true);
    return;
  }
  PlayerHold stop(window_.Player(), from);
  if (!MoveFile(from, to)) {
    errors.AddError("Error moving file!" + SystemErrorText(), from, true);
    return;
  }
  list.SetItem(focus, to);
}

}  // namespace tagmora
