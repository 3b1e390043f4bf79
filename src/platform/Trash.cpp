#include "platform/Trash.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/DurableFile.h"
#include "platform/FileSystem.h"

namespace tagmora {

namespace {

std::string Home() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  const passwd* user = ::getpwuid(::getuid());
  return user && user->pw_dir ? user->pw_dir : "/";
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A folder of the user's own that is no link: what a trash folder must be.
bool OwnFolder(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

// TRASH with its "files" and "info", made where missing.
bool ReadyTrash(const std::string& trash) {
  for (const std::string& folder : {trash, trash + "/files", trash + "/info"}) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (!OwnFolder(folder)) return false;
  }
  return true;
}

// The mount point of the file system that holds folder.
std::string TopDirectory(const std::string& folder, dev_t device) {
  std::string top = folder;
  while (top != "/") {
    const std::string parent = FolderOf(top);
    struct stat st;
    if (::stat(parent.c_str(), &st) != 0 || st.st_dev != device) break;
    top = parent;
  }
  return top;
}

// The trash for a file of folder, on device; the folder its info paths
// are relative to (empty for absolute paths).
bool TrashFor(const std::string& folder, dev_t device, std::string& trash, std::string& base) {
  const char* data = std::getenv("XDG_DATA_HOME");
  const std::string dataHome =
      data && data[0] == '/' ? std::string(data) : Home() + "/.local/share";
  struct stat st;
  if (MakeFolders(dataHome) && ::stat(dataHome.c_str(), &st) == 0 && st.st_dev == device) {
    trash = dataHome + "/Trash";
    base.clear();
    return ReadyTrash(trash);
  }
  const std::string top = TopDirectory(folder, device);
  const std::string volume = top == "/" ? "" : top;
  const std::string uid = std::to_string(::getuid());
  // An administrator's shared ".Trash" counts only when it is a real
  // folder with the sticky bit; its info files name paths whole.
  const std::string shared = volume + "/.Trash";
  base.clear();
  if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
    trash = shared + "/" + uid;
    if (ReadyTrash(trash)) return true;
  }
  // ".Trash-UID" names them from the volume's top, so that they stay
  // right wherever the volume is mounted next.
  trash = volume + "/.Trash-" + uid;
  base = volume;
  return ReadyTrash(trash);
}

// The path as the info file keeps it: bytes outside the unreserved
// characters of RFC 2396 (and "/") escaped.
std::string Escaped(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
        std::string_view("-_.!~*'()/").find(char(c)) != std::string_view::npos) {
      out += char(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string LocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// "x.mp3", then "x.2.mp3", "x.3.mp3" ...
std::string NameTry(const std::string& name, int attempt) {
  if (attempt == 1) return name;
  const size_t dot = name.rfind('.');
  const bool extension = dot != std::string::npos && dot > 0;
  return (extension ? name.substr(0, dot) : name) + "." + std::to_string(attempt) +
         (extension ? name.substr(dot) : "");
}

}  // namespace

std::string HomeTrash() {
  const char* data = std::getenv("XDG_DATA_HOME");
  return (data && data[0] == '/' ? std::string(data) : Home() + "/.local/share") + "/Trash";
}

bool PrepareTrash(const std::string& path, TrashEntry& entry) {
  entry.original = AbsolutePath(path);
  struct stat st;
  if (::lstat(entry.original.c_str(), &st) != 0) return false;
  const std::string folder = FolderOf(entry.original);
  std::string trash, base;
  if (!TrashFor(folder, st.st_dev, trash, base)) return false;
  const std::string shown =
      base.empty() ? entry.original : entry.original.substr(base.size() + 1);
  const std::string info = "[Trash Info]\nPath=" + Escaped(shown) +
                           "\nDeletionDate=" + LocalTime() + "\n";
  const std::string name = entry.original.substr(entry.original.rfind('/') + 1);
  // The info file made exclusively is the name's reservation.
  for (int attempt = 1; attempt < 10000; ++attempt) {
    const std::string tried = NameTry(name, attempt);
    entry.info = trash + "/info/" + tried + ".trashinfo";
    entry.file = trash + "/files/" + tried;
    UniqueFd fd(::open(entry.info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd) {
      if (errno == EEXIST) continue;
      return false;
    }
    struct stat taken;
    if (::lstat(entry.file.c_str(), &taken) == 0) {
      RemoveAfterFailure(fd, entry.info);
      continue;
    }
    if (!WriteAll(fd.Get(), info.data(), info.size()) || ::fsync(fd.Get()) != 0 ||
        ::close(fd.Release()) != 0)
      return RemoveAfterFailure(fd, entry.info);
    return true;
  }
  errno = EEXIST;
  return false;
}

bool CompleteTrash(const TrashEntry& entry) {
  // Within one file system: the file is in one of its two places at any moment.
  if (::renameat2(AT_FDCWD, entry.original.c_str(), AT_FDCWD, entry.file.c_str(),
                  RENAME_NOREPLACE) != 0 &&
      (errno != EINVAL || ::rename(entry.original.c_str(), entry.file.c_str()) != 0))
    return RemoveAfterFailure(entry.info);
  SyncFolder(FolderOf(entry.file));
  return true;
}

bool MoveToTrash(const std::string& path, TrashEntry& entry) {
  return PrepareTrash(path, entry) && CompleteTrash(entry);
}

bool RestoreFromTrash(const TrashEntry& entry) {
  if (!MoveFile(entry.file, entry.original)) return false;
  ::unlink(entry.info.c_str());
  return true;
}

}  // namespace tagmora
