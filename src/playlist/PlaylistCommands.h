#pragma once
// The user's playlist commands behind the buttons, the menus and the keys
// that need a dialog or report a failure: adding files, the list commands
// "Load List", "Append List", "Save List", and files and folders dropped
// from a file manager.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Poster.h"

namespace tagmora {

class ErrorList;
class Playlist;
class UserInteraction;

class PlaylistCommands {
 public:
  PlaylistCommands(Playlist& playlist, ErrorList& errors, UserInteraction& user, Poster& poster)
      : playlist_(playlist), errors_(errors), user_(user), poster_(poster) {}
  ~PlaylistCommands();
  PlaylistCommands(const PlaylistCommands&) = delete;
  PlaylistCommands& operator=(const PlaylistCommands&) = delete;

  void AddFiles();
  void LoadList();
  void AppendList();
  void SaveList();

  // Paths dropped on the playlist, in the order given: an MP3 file is
  // added as it is, a folder as "Add Folder(s)" with subfolders adds it.
  // Folders are walked on a worker, one drop after the other, and the
  // files reach the list through the poster.
  void AddDropped(std::vector<std::string> paths);
  // Stops the walks of every drop not yet added and waits for the worker.
  void StopDrops();

 private:
  void ReadList(bool clearFirst);
  void DropWorker();

  Playlist& playlist_;
  ErrorList& errors_;
  UserInteraction& user_;
  Poster& poster_;

  std::mutex dropMutex_;
  std::condition_variable dropWake_;
  std::deque<std::vector<std::string>> drops_;
  std::atomic<bool> stopDrops_{false};
  bool dropWorkerDone_ = false;
  std::thread dropWorker_;
  PostGuard guard_;
};

}  // namespace tagmora
