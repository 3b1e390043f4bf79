#include "playlist/FolderWalk.h"

#include <algorithm>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

#include "platform/TextCodec.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

struct Listing {
  std::vector<std::string> folders;
  std::vector<std::string> files;
};

void SortByName(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(PlaylistSortKey(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  names.clear();
  for (auto& [key, name] : keyed) names.push_back(std::move(name));
}

// The subfolders (hidden ones too) and the MP3 files (hidden ones not) of
// one folder, each sorted by name. A folder that cannot be read lists
// nothing: one unreadable folder must not spoil a whole walk.
Listing List(const std::string& folder, bool wantFolders, bool wantFiles) {
  Listing listing;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return listing;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isFolder = entry->d_type == DT_DIR;
    bool isFile = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat st;
      if (::stat(JoinPath(folder, name).c_str(), &st) != 0) continue;
      isFolder = S_ISDIR(st.st_mode);
      isFile = S_ISREG(st.st_mode);
    }
    if (isFolder && wantFolders) listing.folders.push_back(std::move(name));
    else if (isFile && wantFiles && name[0] != '.' &&
             EndsWithIgnoringAsciiCase(name, ".mp3"))
      listing.files.push_back(std::move(name));
  }
  ::closedir(dir);
  SortByName(listing.folders);
  SortByName(listing.files);
  return listing;
}

// Identifies a folder however it was reached.
bool FolderId(const std::string& path, std::pair<dev_t, ino_t>& id) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  id = {st.st_dev, st.st_ino};
  return true;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool WalkFolders(const std::string& root, std::vector<std::string>& folders,
                 const std::atomic<bool>& stop) {
  std::set<std::pair<dev_t, ino_t>> seen;
  std::pair<dev_t, ino_t> id;
  if (FolderId(root, id)) seen.insert(id);
  // Each level keeps its remaining subfolders, last one first, so that
  // popping gives them in order: depth first, a folder before its own.
  std::vector<std::vector<std::string>> pending;
  auto push = [&](const std::string& folder) {
    std::vector<std::string> children;
    for (std::string& name : List(folder, true, false).folders)
      children.push_back(JoinPath(folder, name));
    std::reverse(children.begin(), children.end());
    pending.push_back(std::move(children));
  };
  if (stop.load()) return false;
  push(root);
  while (!pending.empty()) {
    if (pending.back().empty()) {
      pending.pop_back();
      continue;
    }
    if (stop.load()) return false;
    std::string folder = std::move(pending.back().back());
    pending.back().pop_back();
    // A link back up the tree would make the walk endless.
    if (FolderId(folder, id) && !seen.insert(id).second) continue;
    folders.push_back(folder);
    push(folder);
  }
  return true;
}

std::vector<std::string> Mp3FilesOf(const std::string& folder) {
  return List(folder, false, true).files;
}

FolderCount CountFolder(const std::string& root, bool recurse, const std::atomic<bool>& stop) {
  FolderCount count;
  std::vector<std::string> folders{root};
  if (recurse && !WalkFolders(root, folders, stop)) {
    count.stopped = true;
    return count;
  }
  for (const std::string& folder : folders) {
    if (stop.load()) return FolderCount{true, 0, 0};
    count.files += Mp3FilesOf(folder).size();
  }
  count.folders = folders.size();
  return count;
}

FolderFiles CollectFolder(const std::string& root, bool recurse, const std::atomic<bool>& stop) {
  FolderFiles result;
  std::vector<std::string> folders{root};
  if (recurse && !WalkFolders(root, folders, stop)) {
    result.stopped = true;
    return result;
  }
  for (const std::string& folder : folders) {
    if (stop.load()) return FolderFiles{true, {}};
    for (const std::string& name : Mp3FilesOf(folder))
      result.paths.push_back(JoinPath(folder, name));
  }
  return result;
}

}  // namespace tagmora
