#include "platform/InputFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace tagmora {

bool InputFile::Open(const std::string& path) {
  fd_.Reset(path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd_) {
    if (path.empty()) errno = ENOENT;
    return false;
  }
  struct stat st;
  if (::fstat(fd_.Get(), &st) != 0) {
    fd_.Reset();
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    fd_.Reset();
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  size_ = st.st_size;
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
