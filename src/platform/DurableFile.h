#pragma once
// What the journals share to keep their records on disk: positioned reads
// and writes, folders made and flushed, records framed with a checksum,
// and the files a dead process left behind.

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/UniqueFd.h"

namespace tagmora {

// $XDG_STATE_HOME/tagmora (default ~/.local/state/tagmora), read once per
// process; the journals live below it.
const std::string& StateFolder();

bool WriteAllAt(int fd, std::string_view bytes, int64_t offset);
// Reads up to count bytes at offset; fewer only at the end of the file.
bool ReadAllAt(int fd, std::string& out, size_t count, int64_t offset);
// Flushes a folder's entries, so that names made there survive a crash.
bool SyncFolder(const std::string& folder);
// Makes the folder and its missing parents, for the owner alone.
bool MakeFolders(const std::string& folder);

// FNV-1a: enough to tell a torn or cut record from a whole one.
uint64_t Checksum(std::string_view bytes);
// Little-endian numbers of the given width.
void PutNumber(std::string& out, uint64_t value, int bytes);
void PutBytes(std::string& out, std::string_view bytes);  // its length (4 bytes), then it

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : rest_(bytes) {}
  uint64_t Number(int bytes);
  std::string Bytes(uint64_t count);
  std::string Counted() { return Bytes(Number(4)); }  // as PutBytes wrote it
  bool Ok() const { return ok_; }
  size_t Left() const { return rest_.size(); }

 private:
  uint64_t Fail();
  std::string_view rest_;
  bool ok_ = true;
};

bool EndsWith(std::string_view text, std::string_view end);
// The names in a folder that pass the test, sorted.
std::vector<std::string> NamesIn(const std::string& folder,
                                 bool (*wanted)(std::string_view name, std::string_view key),
                                 std::string_view key);
// A file its maker left behind: opened and locked when no live process
// holds it and it still has its name (another recovery may have just
// removed it); otherwise an empty descriptor.
UniqueFd Abandoned(const std::string& path, struct stat& st, int flags = 0);

}  // namespace tagmora
