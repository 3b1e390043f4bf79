#pragma once
// A file opened for reading only, read at absolute offsets with pread so
// that one open serves several readers (tags, stream information).

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/UniqueFd.h"

namespace tagmora {

class InputFile {
 public:
  // Opens a regular file; fails (errno set) for folders and missing files.
  bool Open(const std::string& path);
  bool IsOpen() const { return static_cast<bool>(fd_); }
  void Close() { fd_.Reset(); }
  int Fd() const { return fd_.Get(); }

  // The size when the file was opened.
  int64_t Size() const { return size_; }

  // Reads up to count bytes at offset; fewer only at the end of the file.
  // Returns the number read, or -1 on an error.
  int64_t ReadAt(void* buffer, size_t count, int64_t offset) const;

 private:
  UniqueFd fd_;
  int64_t size_ = 0;
};

}  // namespace tagmora
