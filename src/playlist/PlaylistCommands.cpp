#include "playlist/PlaylistCommands.h"

#include <sys/stat.h>

#include "app/ErrorList.h"
#include "app/UserInteraction.h"
#include "platform/TextCodec.h"
#include "playlist/FolderWalk.h"
#include "playlist/M3U.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

// Lists are read in both spellings of the name and written as ".m3u".
FileDialog ListDialog(const char* title, const char* patterns) {
  FileDialog dialog;
  dialog.title = title;
  dialog.filterName = std::string("M3U Files(") + patterns + ")";
  dialog.filterPattern = patterns;
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
  FileDialog dialog = ListDialog("Load list", "*.m3u *.m3u8");
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
  FileDialog dialog = ListDialog("Save list", "*.m3u");
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

PlaylistCommands::~PlaylistCommands() { StopDrops(); }

void PlaylistCommands::AddDropped(std::vector<std::string> paths) {
  Enqueue({std::move(paths), false, {}});
}

void PlaylistCommands::AddOpened(std::vector<std::string> paths, std::function<void()> focused) {
  Enqueue({std::move(paths), true, std::move(focused)});
}

void PlaylistCommands::Enqueue(Drop drop) {
  if (drop.paths.empty()) return;
  std::lock_guard lock(dropMutex_);
  drops_.push_back(std::move(drop));
  if (!dropWorker_.joinable()) {
    stopDrops_.store(false);
    dropWorkerDone_ = false;
    dropWorker_ = std::thread([this] { DropWorker(); });
  }
  dropWake_.notify_one();
}

void PlaylistCommands::StopDrops() {
  {
    std::lock_guard lock(dropMutex_);
    stopDrops_.store(true);
    drops_.clear();
    dropWorkerDone_ = true;
  }
  dropWake_.notify_one();
  if (dropWorker_.joinable()) dropWorker_.join();
}

void PlaylistCommands::DropWorker() {
  for (;;) {
    Drop drop;
    {
      std::unique_lock lock(dropMutex_);
      dropWake_.wait(lock, [this] { return dropWorkerDone_ || !drops_.empty(); });
      if (dropWorkerDone_) return;
      drop = std::move(drops_.front());
      drops_.pop_front();
    }
    auto files = std::make_shared<std::vector<std::string>>();
    if (!Collect(drop, *files)) return;
    poster_.Post(guard_.Wrap([this, files, focused = std::move(drop.focused)] {
      if (files->empty()) {
        errors_.AddError("0 files added to playlist", "", false);
        return;
      }
      const int first = playlist_.Count();
      playlist_.AppendAll(std::move(*files));
      if (!focused) return;
      playlist_.SetFocus(first);
      focused();
    }));
  }
}

bool PlaylistCommands::Collect(const Drop& drop, std::vector<std::string>& files) {
  for (const std::string& path : drop.paths) {
    struct stat st;
    const bool found = ::stat(path.c_str(), &st) == 0;
    if (found && S_ISDIR(st.st_mode)) {
      FolderFiles walked = CollectFolder(path, true, stopDrops_);
      if (walked.stopped) return false;
      files.insert(files.end(), walked.paths.begin(), walked.paths.end());
    } else if (found && S_ISREG(st.st_mode) && IsPlaylistName(path)) {
      std::string answer = ReadM3UEntries(path, files);
      if (answer != "OK") errors_.AddError("Load List Error: " + answer, "", false);
    } else if (found && S_ISREG(st.st_mode) && FileNamePart(path).size() > 4 &&
               EndsWithIgnoringAsciiCase(path, ".mp3")) {
      files.push_back(path);
    } else if (drop.opened) {
      // A drop may hold other files beside the music; a path named on
      // purpose that adds nothing is worth a word.
      errors_.AddError(found ? "Not an MP3 file, folder or playlist" : "File or folder not found",
                       path, false);
    }
  }
  return true;
}

}  // namespace tagmora
