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

// Copies a regular file to a new target, which must not exist, and removes
// the source once the copy is on disk.
bool CopyThenDelete(const std::string& from, const std::string& to) {
  struct stat st;
  if (::lstat(from.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) {
    errno = EXDEV;
    return false;
  }
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in) return false;
  UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                      st.st_mode & 07777));
  if (!out) return false;
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(in.Get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return RemoveAfterFailure(out, to);
    }
    if (n == 0) break;
    if (!WriteAll(out.Get(), buffer, size_t(n))) return RemoveAfterFailure(out, to);
  }
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(out.Get(), times);
  if (::fsync(out.Get()) != 0 || ::close(out.Release()) != 0 || ::unlink(from.c_str()) != 0)
    return RemoveAfterFailure(out, to);
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
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno == EINVAL || errno == ENOSYS) {
    // The file system cannot refuse a replacement itself: a hard link
    // fails when the target exists, which gives the same guarantee.
    struct stat st;
    if (::lstat(from.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
      if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno != EXDEV) return false;
      } else {
        if (::unlink(from.c_str()) == 0) return true;
        return RemoveAfterFailure(to);
      }
    } else if (::lstat(to.c_str(), &st) == 0) {
      errno = EEXIST;
      return false;
    } else if (::rename(from.c_str(), to.c_str()) == 0) {
      return true;
    }
  }
  if (errno != EXDEV) return false;
  return CopyThenDelete(from, to);
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
