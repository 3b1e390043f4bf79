#include "platform/InputFile.h"

#include <cerrno>
#include <fcntl.h>

namespace tagmora {

namespace {

// Takes fd when it names a regular file; fails (errno set) otherwise.
bool Adopt(UniqueFd& fd, int opened, struct stat& status, int64_t& size) {
  fd.Reset(opened);
  if (!fd) return false;
  if (::fstat(fd.Get(), &status) != 0) {
    fd.Reset();
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    fd.Reset();
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  size = status.st_size;
  return true;
}

}  // namespace

bool InputFile::Open(const std::string& path) {
  writable_ = false;
  if (path.empty()) {
    fd_.Reset();
    errno = ENOENT;
    return false;
  }
  return Adopt(fd_, ::open(path.c_str(), O_RDONLY | O_CLOEXEC), status_, size_);
}

bool InputFile::OpenForUpdate(const std::string& path) {
  if (path.empty()) return Open(path);
  int opened = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  // A read-only file of the user's is opened for reading until MakeWritable.
  if (opened < 0 && errno == EACCES) return Open(path);
  writable_ = Adopt(fd_, opened, status_, size_);
  return writable_;
}

bool InputFile::MakeWritable() {
  if (!fd_) {
    errno = EBADF;
    return false;
  }
  if (!(status_.st_mode & S_IWUSR)) {
    if (::fchmod(fd_.Get(), (status_.st_mode & 07777) | S_IWUSR) != 0) return false;
    status_.st_mode |= S_IWUSR;
  }
  if (writable_) return true;
  std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
  UniqueFd writable(::open(self.c_str(), O_RDWR | O_CLOEXEC));
  if (!writable) return false;
  fd_ = std::move(writable);
  writable_ = true;
  return true;
}

int64_t InputFile::ReadAt(void* buffer, size_t count, int64_t offset) const {
  if (!fd_ || offset < 0) {
    errno = EBADF;
    return -1;
  }
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd_.Get(), out + done, count - done, offset + int64_t(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += size_t(n);
  }
  return int64_t(done);
}

}  // namespace tagmora
