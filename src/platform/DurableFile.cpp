#include "platform/DurableFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace tagmora {

const std::string& StateFolder() {
  static const std::string folder = [] {
    std::string base;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') {
      base = state;
    } else {
      const char* home = std::getenv("HOME");
      if (!home || home[0] != '/') {
        const passwd* user = ::getpwuid(::getuid());
        home = user && user->pw_dir ? user->pw_dir : "/tmp";
      }
      base = std::string(home) + "/.local/state";
    }
    return base + "/tagmora";
  }();
  return folder;
}

bool WriteAllAt(int fd, std::string_view bytes, int64_t offset) {
  while (!bytes.empty()) {
    ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    bytes.remove_prefix(size_t(n));
    offset += n;
  }
  return true;
}

bool ReadAllAt(int fd, std::string& out, size_t count, int64_t offset) {
  out.resize(count);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd, out.data() + done, count - done, offset + int64_t(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    done += size_t(n);
  }
  out.resize(done);
  return true;
}

bool SyncFolder(const std::string& folder) {
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd && ::fsync(fd.Get()) == 0;
}

bool MakeFolders(const std::string& folder) {
  for (size_t pos = 1; pos != std::string::npos;) {
    pos = folder.find('/', pos + 1);
    if (::mkdir(folder.substr(0, pos).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return true;
}

uint64_t Checksum(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

void PutNumber(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char(value >> (8 * i));
}

void PutBytes(std::string& out, std::string_view bytes) {
  PutNumber(out, bytes.size(), 4);
  out += bytes;
}

uint64_t ByteReader::Number(int bytes) {
  if (rest_.size() < size_t(bytes)) return Fail();
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(rest_[size_t(i)]);
  rest_.remove_prefix(size_t(bytes));
  return value;
}

std::string ByteReader::Bytes(uint64_t count) {
  if (rest_.size() < count) return Fail(), std::string();
  std::string out(rest_.substr(0, count));
  rest_.remove_prefix(count);
  return out;
}

uint64_t ByteReader::Fail() {
  ok_ = false;
  rest_ = {};
  return 0;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::vector<std::string> NamesIn(const std::string& folder,
                                 bool (*wanted)(std::string_view name, std::string_view key),
                                 std::string_view key) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir))
      if (wanted(entry->d_name, key)) names.emplace_back(entry->d_name);
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

UniqueFd Abandoned(const std::string& path, struct stat& st, int flags) {
  UniqueFd fd(::open(path.c_str(), (flags ? flags : O_RDONLY) | O_CLOEXEC | O_NOFOLLOW));
  if (!fd || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(fd.Get(), &st) != 0 ||
      !S_ISREG(st.st_mode) || st.st_nlink == 0)
    fd.Reset();
  return fd;
}

}  // namespace tagmora
