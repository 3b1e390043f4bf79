#pragma once
// A file read at absolute offsets with pread so that one open serves
// several readers (tags, stream information); opened for update, the same
// descriptor serves the tag writers from the reading of the old tag to the
// last byte written, so the file that was read is the file that changes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/stat.h>

#include "platform/UniqueFd.h"

namespace tagmora {

class InputFile {
 public:
  // Opens a regular file; fails (errno set) for folders and missing files.
  bool Open(const std::string& path);
  // Opens a regular file for reading and, where the permissions allow it
  // already, writing.
  bool OpenForUpdate(const std::string& path);
  // Before the first write: a read-only file becomes writable for its
  // owner, and the descriptor writable, through the descriptor, never the
  // name. Keeps every other permission bit.
  bool MakeWritable();
  bool IsOpen() const { return static_cast<bool>(fd_); }
  void Close() { fd_.Reset(); }
  int Fd() const { return fd_.Get(); }

  // The size when the file was opened.
  int64_t Size() const { return size_; }
  // Device, inode, permissions and times when the file was opened.
  const struct stat& Status() const { return status_; }

  // Reads up to count bytes at offset; fewer only at the end of the file.
  // Returns the number read, or -1 on an error.
  int64_t ReadAt(void* buffer, size_t count, int64_t offset) const;

 private:
  UniqueFd fd_;
  int64_t size_ = 0;
  struct stat status_ = {};
  bool writable_ = false;
};

}  // namespace tagmora
