#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/UniqueFd.h"

namespace tagmora {

namespace {

bool StatOf(const std::string& path, struct stat& st) {
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

// The folder part of a path, for the syscalls that open a folder.
std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Flushes a folder's entries, so that a name placed there survives a crash
// before the old one is removed.
void FlushFolder(const std::string& folder) {
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) ::fsync(fd.Get());
}

// Renames within one file system without replacing; EXDEV across.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // The file system cannot refuse a replacement itself: a hard link
  // fails when the target exists, which gives the same guarantee.
  struct stat st;
  if (::lstat(from.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    if (::unlink(from.c_str()) == 0) return true;
    return RemoveAfterFailure(to);
  }
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// Copies a regular file to another file system and removes the source
// once the copy is on disk under its new name. The copy is made nameless
// (or under a temporary name where the file system cannot) and only named
// when whole, so at any moment the file is whole under one of its names.
bool CopyThenDelete(const std::string& from, const std::string& to, bool replace) {
  struct stat st;
  if (::lstat(from.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) {
    errno = EXDEV;
    return false;
  }
  struct stat target;
  if (!replace && ::lstat(to.c_str(), &target) == 0) {
    errno = EEXIST;
    return false;
  }
  // A source that cannot be removed afterwards is not worth a copy.
  if (::access(FolderOf(from).c_str(), W_OK) != 0) return false;
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in) return false;
  const mode_t mode = st.st_mode & 07777;
  std::string temp;  // empty while the copy has no name
  UniqueFd out(::open(FolderOf(to).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
  if (!out) {
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    temp = to + ".tagmora-part";
    out.Reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (!out) return false;
  }
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(in.Get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return RemoveAfterFailure(out, temp);
    }
    if (n == 0) break;
    if (!WriteAll(out.Get(), buffer, size_t(n))) return RemoveAfterFailure(out, temp);
  }
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(out.Get(), times);
  ::fchmod(out.Get(), mode);
  if (::fsync(out.Get()) != 0) return RemoveAfterFailure(out, temp);
  if (temp.empty()) {
    // A nameless file gets its name through its descriptor; the link
    // fails when the target exists, so nothing is replaced.
    temp = replace ? to + ".tagmora-part" : to;
    std::string self = "/proc/self/fd/" + std::to_string(out.Get());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) != 0)
      return RemoveAfterFailure(out, "");
  }
  if (::close(out.Release()) != 0) return RemoveAfterFailure(temp);
  if (temp != to) {
    const bool placed = replace ? ::rename(temp.c_str(), to.c_str()) == 0
                                : RenameNoReplace(temp, to);
    if (!placed) return RemoveAfterFailure(temp);
  }
  FlushFolder(FolderOf(to));
  if (::unlink(from.c_str()) != 0) return replace ? false : RemoveAfterFailure(to);
  return true;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return StatOf(path, st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return StatOf(path, st) && S_ISDIR(st.st_mode);
}

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  std::string folder(4096, '\0');
  while (!::getcwd(folder.data(), folder.size())) {
    if (errno != ERANGE) return path;
    folder.resize(folder.size() * 2);
  }
  folder.resize(std::strlen(folder.c_str()));
  if (path.empty()) return folder;
  return std::filesystem::path(folder + "/" + path).lexically_normal().string();
}

bool IsReadOnly(const std::string& path) {
  struct stat st;
  return StatOf(path, st) && !(st.st_mode & S_IWUSR);
}

bool SetReadOnly(const std::string& path) {
  struct stat st;
  if (!StatOf(path, st)) return false;
  return ::chmod(path.c_str(), st.st_mode & 07777 & ~(S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool ClearAttributes(const std::string& path) {
  struct stat st;
  if (!StatOf(path, st)) return false;
  if (st.st_mode & S_IWUSR) return true;
  return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

int FileMode(const std::string& path) {
  struct stat st;
  return StatOf(path, st) ? int(st.st_mode & 07777) : -1;
}

bool SetFileMode(const std::string& path, int mode) {
  return ::chmod(path.c_str(), mode_t(mode & 07777)) == 0;
}

bool DeleteFile(const std::string& path) {
  return !path.empty() && ::unlink(path.c_str()) == 0;
}

bool CreateFolder(const std::string& path) {
  return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool MoveFile(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) {
    errno = ENOENT;
    return false;
  }
  if (RenameNoReplace(from, to)) return true;
  if (errno != EXDEV) return false;
  return CopyThenDelete(from, to, false);
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) {
    errno = ENOENT;
    return false;
  }
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  return CopyThenDelete(from, to, true);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return StatOf(a, first) && StatOf(b, second) && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

bool IsPlainName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) {
    errno = EINVAL;
    return false;
  }
  return true;
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  if (!StatOf(path, st) || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
}

bool WriteAll(int fd, const void* data, size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, at, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    at += n;
    size -= size_t(n);
  }
  return true;
}

int ReadWholeFile(const std::string& path, std::string& bytes) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return errno;
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return ::close(fd.Release()) == 0 ? 0 : errno;
}

int WriteWholeFile(const std::string& path, std::string_view bytes) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd || !WriteAll(fd.Get(), bytes.data(), bytes.size())) return errno;
  return ::close(fd.Release()) == 0 ? 0 : errno;
}

int ReplaceWholeFile(const std::string& path, std::string_view bytes, bool flush) {
  struct stat old;
  bool existed = ::stat(path.c_str(), &old) == 0;
  std::string temp = path + ".new";
  UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd) return errno;
  // An existing file keeps its bits whatever the umask says.
  bool ok = WriteAll(fd.Get(), bytes.data(), bytes.size()) &&
            (!existed || ::fchmod(fd.Get(), old.st_mode & 07777) == 0) &&
            (!flush || ::fsync(fd.Get()) == 0) &&
            ::close(fd.Release()) == 0 && ::rename(temp.c_str(), path.c_str()) == 0;
  if (ok) return 0;
  int error = errno;
  RemoveAfterFailure(fd, temp);
  return error;
}

bool RemoveAfterFailure(UniqueFd& fd, const std::string& path) {
  int saved = errno;
  fd.Reset();
  ::unlink(path.c_str());
  errno = saved;
  return false;
}

bool RemoveAfterFailure(const std::string& path) {
  UniqueFd none;
  return RemoveAfterFailure(none, path);
}

std::string SystemErrorText() { return SystemErrorText(errno); }

std::string SystemErrorText(int error) {
  char buffer[256];
  // The GNU strerror_r may return a static text instead of filling buffer.
  const char* text = ::strerror_r(error, buffer, sizeof buffer);
  std::string result = text ? text : "";
  while (!result.empty()) {
    char c = result.back();
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '.')
      result.pop_back();
    else
      break;
  }
  return result;
}

uint32_t GetTickCount() { return static_cast<uint32_t>(MonotonicMs()); }

int64_t MonotonicMs() {
  struct timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int CurrentThreadId() { return int(::syscall(SYS_gettid)); }

bool SetThreadNice(int threadId, int nice) {
  // On Linux a thread id names one thread for setpriority.
  return ::setpriority(PRIO_PROCESS, id_t(threadId), nice) == 0;
}

}  // namespace tagmora
