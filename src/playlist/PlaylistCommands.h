#pragma once
// The user's playlist commands behind the buttons, the menus and the keys
// that need a dialog or report a failure: adding files, the list commands
// "Load List", "Append List", "Save List", and files, folders and
// playlists dropped from a file manager or handed to the program.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
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
  // added as it is, a folder as "Add Folder(s)" with subfolders adds it,
  // a playlist ("*.m3u", "*.m3u8") with its entries. Folders are walked on
  // a worker, one drop after the other, and the files reach the list
  // through the poster.
  void AddDropped(std::vector<std::string> paths);
  // Paths handed to the program from outside (its command line, a second
  // start), added as a drop is; a path that is none of the three is
  // reported, and the first item added takes the focus, then focused runs.
  void AddOpened(std::vector<std::string> paths, std::function<void()> focused);
  // Stops the walks of every drop not yet added and waits for the worker.
  void StopDrops();

 private:
  struct Drop {
    std::vector<std::string> paths;
    bool opened = false;
    std::function<void()> focused;
  };
  void ReadList(bool clearFirst);
  void Enqueue(Drop drop);
  void DropWorker();
  // The items the drop adds, in order; false when the walk was stopped.
  bool Collect(const Drop& drop, std::vector<std::string>& files);

  Playlist& playlist_;
  ErrorList& errors_;
  UserInteraction& user_;
  Poster& poster_;

  std::mutex dropMutex_;
  std::condition_variable dropWake_;
  std::deque<Drop> drops_;
  std::atomic<bool> stopDrops_{false};
  bool dropWorkerDone_ = false;
  std::thread dropWorker_;
  PostGuard guard_;
};

}  // namespace tagmora
