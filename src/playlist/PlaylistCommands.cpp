#include "playlist/PlaylistCommands.h"

#include "app/ErrorList.h"
#include "app/UserInteraction.h"
#include "playlist/M3U.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

FileDialog ListDialog(const char* title) {
  FileDialog dialog;
  dialog.title = title;
  dialog.filterName = "M3U Files(*.m3u)";
  dialog.filterPattern = "*.m3u";
  return dialog;
}

}  // namespace

void PlaylistCommands::AddFiles() {
  FileDialog dialog;
  dialog.title = "Open Mp3 File";
  dialog.filterName = "Mp3 Files";
  dialog.filterPattern = "*.mp3";
  dialog.multiSelect = true;
  dialog.mustExist = true;
  playlist_.AppendAll(user_.OpenFiles(dialog));
}

void PlaylistCommands::LoadList() { ReadList(true); }
void PlaylistCommands::AppendList() { ReadList(false); }

void PlaylistCommands::ReadList(bool clearFirst) {
  FileDialog dialog = ListDialog("Load list");
  dialog.mustExist = true;
  std::vector<std::string> chosen = user_.OpenFiles(dialog);
  if (chosen.empty()) return;
  std::string answer = ReadM3U(chosen.front(), playlist_, clearFirst);
  if (answer != "OK") errors_.AddError("Load List Error: " + answer, "", true);
}

void PlaylistCommands::SaveList() {
  if (playlist_.Count() == 0) {
    errors_.AddError("No files in the playlist! Add some!", "", true);
    return;
  }
  FileDialog dialog = ListDialog("Save list");
  dialog.defaultSuffix = "m3u";
  dialog.confirmOverwrite = true;
  std::optional<std::string> chosen = user_.SaveFile(dialog);
  if (!chosen) return;
  if (chosen->empty()) {
    errors_.AddError("File name must be valid!", "", true);
    return;
  }
  std::string name = *chosen;
  std::string part = FileNamePart(name);
  if (!part.empty() && part.find('.') == std::string::npos) name += ".m3u";
  std::string answer = WriteM3U(name, playlist_);
  if (answer != "OK") errors_.AddError("Save List Error: " + answer, "", true);
}

}  // namespace tagmora
