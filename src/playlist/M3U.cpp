#include "playlist/M3U.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "app/IoError.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "platform/UniqueFd.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

constexpr std::string_view kHeader = "#EXTM3U";

std::string FailureText(int error, const std::string& fileName) {
  return IoErrorDescription(error) + ". " + SystemErrorText(error) + ".File: " + fileName;
}

// Reads the whole file; 0 or the failure's errno.
int ReadAll(const std::string& path, std::string& bytes) {
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

// The next line from pos: ends at LF, CR LF, or a CR alone (old Mac files);
// the line end is not part of it. False at the end of the text.
bool NextLine(std::string_view text, size_t& pos, std::string_view& line) {
  if (pos >= text.size()) return false;
  size_t end = text.find_first_of("\r\n", pos);
  if (end == std::string_view::npos) {
    line = text.substr(pos);
    pos = text.size();
    return true;
  }
  line = text.substr(pos, end - pos);
  pos = end + 1;
  if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  return true;
}

}  // namespace

std::string FileNamePart(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadM3U(const std::string& fileName, Playlist& playlist, bool clearFirst) {
  if (FileNamePart(fileName).empty()) return "FileName is invalid!";
  if (!FileExists(fileName)) return "FileName does NOT exists!";
  std::string bytes;
  if (int error = ReadAll(fileName, bytes)) return FailureText(error, fileName);

  std::string_view text = bytes;
  size_t pos = 0;
  std::string_view line;
  if (!NextLine(text, pos, line) || line != kHeader)
    return fileName + " is not a valid M3U file!";
  if (clearFirst) playlist.Clear();
  std::vector<std::string> items;
  while (NextLine(text, pos, line))
    if (!ContainsIgnoringAsciiCase(line, "#extinf:")) items.emplace_back(line);
  playlist.AppendAll(std::move(items));
  return "OK";
}

std::string WriteM3U(const std::string& fileName, const Playlist& playlist) {
  if (FileNamePart(fileName).empty()) return "FileName is invalid!";
  std::string bytes;
  bytes.append(kHeader).append("\r\n");
  playlist.ForEachItem([&bytes](const std::string& item) { bytes.append(item).append("\r\n"); });

  UniqueFd fd(::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd) return FailureText(errno, fileName);
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FailureText(errno, fileName);
    done += static_cast<size_t>(n);
  }
  if (::close(fd.Release()) != 0) return FailureText(errno, fileName);
  return "OK";
}

}  // namespace tagmora
