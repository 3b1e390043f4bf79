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

PlaylistCommands::~PlaylistCommands() { StopDrops(); }

void PlaylistCommands::AddDropped(std::vector<std::string> paths) {
  if (paths.empty()) return;
  std::lock_guard lock(dropMutex_);
  drops_.push_back(std::move(paths));
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
    std::vector<std::string> paths;
    {
      std::unique_lock lock(dropMutex_);
      dropWake_.wait(lock, [this] { return dropWorkerDone_ || !drops_.empty(); });
      if (dropWorkerDone_) return;
      paths = std::move(drops_.front());
      drops_.pop_front();
    }
    auto files = std::make_shared<std::vector<std::string>>();
    bool stopped = false;
    for (const std::string& path : paths) {
      struct stat st;
      if (::stat(path.c_str(), &st) != 0) continue;
      if (S_ISDIR(st.st_mode)) {
        FolderFiles found = CollectFolder(path, true, stopDrops_);
        if (found.stopped) {
          stopped = true;
          break;
        }
        files->insert(files->end(), found.paths.begin(), found.paths.end());
      } else if (S_ISREG(st.st_mode) && FileNamePart(path).size() > 4 &&
                 EndsWithIgnoringAsciiCase(path, ".mp3")) {
        files->push_back(path);
      }
    }
    if (stopped) return;
    poster_.Post(guard_.Wrap([this, files] {
      if (files->empty()) errors_.AddError("0 files added to playlist", "", false);
      else playlist_.AppendAll(std::move(*files));
    }));
  }
}

}  // namespace tagmora
