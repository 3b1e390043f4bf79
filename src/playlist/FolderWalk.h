#pragma once
// The folder walk of the add-folders dialog: the folders below a chosen one
// in depth-first order (each folder before its subfolders, by name with
// letter case ignored, hidden ones included), and the MP3 files of one
// folder. Runs on a worker thread and stops when asked.

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace tagmora {

// Appends the folders below root (not root itself) to folders. Answers
// false when stop was set before the walk ended. A folder reached twice
// through links is walked once.
bool WalkFolders(const std::string& root, std::vector<std::string>& folders,
                 const std::atomic<bool>& stop);

// The names of the files of folder matching "*.mp3" with letter case
// ignored, without hidden files, sorted by name with letter case ignored.
std::vector<std::string> Mp3FilesOf(const std::string& folder);

// folder + "/" + name, without doubling a trailing "/".
std::string JoinPath(const std::string& folder, const std::string& name);

struct FolderCount {
  bool stopped = false;
  size_t files = 0;
  size_t folders = 0;
};
// The count of the dialog: files and folders an add would take.
FolderCount CountFolder(const std::string& root, bool recurse, const std::atomic<bool>& stop);

// The full paths an add would append, in order; empty and stopped when
// stop was set during the walk.
struct FolderFiles {
  bool stopped = false;
  std::vector<std::string> paths;
};
FolderFiles CollectFolder(const std::string& root, bool recurse, const std::atomic<bool>& stop);

}  // namespace tagmora
