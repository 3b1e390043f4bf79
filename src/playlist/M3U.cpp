#include "playlist/M3U.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/IoError.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "playlist/FolderWalk.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

constexpr std::string_view kHeader = "#EXTM3U";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string FailureText(int error, const std::string& fileName) {
  return IoErrorDescription(error) + ". " + SystemErrorText(error) + ".File: " + fileName;
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

// Text as playlists hold it: tabs and line ends are the only control
// characters, so an MP3 or a picture picked by mistake is refused.
bool IsText(std::string_view bytes) {
  return std::none_of(bytes.begin(), bytes.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
  });
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = AsciiLower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "%20" and its kind become their byte; a "%" without two hex digits stays.
std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    int high = -1, low = -1;
    if (text[i] == '%' && i + 2 < text.size() && (high = HexDigit(text[i + 1])) >= 0 &&
        (low = HexDigit(text[i + 2])) >= 0) {
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// "http://…", "rtsp://…": a scheme of two or more letters, then "://".
bool IsAddress(std::string_view line) {
  const size_t colon = line.find("://");
  if (colon == std::string_view::npos || colon < 2) return false;
  if (!std::isalpha(static_cast<unsigned char>(line[0]))) return false;
  return std::all_of(line.begin(), line.begin() + static_cast<long>(colon), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
  });
}

// The path of "file:///p", "file://localhost/p" or "file:/p"; empty for
// another host, whose files this machine cannot reach, and for a path
// that cannot be one.
std::string FileAddressPath(std::string_view line) {
  std::string_view rest = line.substr(5);  // after "file:"
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return {};
    std::string_view host = rest.substr(0, slash);
    if (!host.empty() && !EqualsIgnoringAsciiCase(host, "localhost")) return {};
    rest.remove_prefix(slash);
  }
  if (!rest.starts_with("/")) return {};
  std::string path = PercentDecoded(rest);
  // "%00" would cut the path short wherever the system reads it.
  return path.find('\0') == std::string::npos ? path : std::string();
}

// One entry line as a full path: file addresses decoded, other addresses
// kept, relative paths joined to the playlist's folder without their "."
// and ".." steps, as a relative address is resolved.
std::string Resolved(std::string_view line, const std::string& folder) {
  if (StartsWithIgnoringAsciiCase(line, "file:")) {
    std::string path = FileAddressPath(line);
    return path.empty() ? std::string(line) : path;
  }
  if (line.starts_with("/") || IsAddress(line)) return std::string(line);
  return std::filesystem::path(JoinPath(folder, std::string(line))).lexically_normal().string();
}

}  // namespace

std::string FileNamePart(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsPlaylistName(const std::string& path) {
  return EndsWithIgnoringAsciiCase(path, ".m3u") || EndsWithIgnoringAsciiCase(path, ".m3u8");
}

std::string ReadM3UEntries(const std::string& fileName, std::vector<std::string>& entries) {
  if (FileNamePart(fileName).empty()) return "FileName is invalid!";
  if (!FileExists(fileName)) return "FileName does NOT exists!";
  std::string bytes;
  if (int error = ReadWholeFile(fileName, bytes)) return FailureText(error, fileName);

  std::string_view text = bytes;
  bool utf8 = EndsWithIgnoringAsciiCase(fileName, ".m3u8");
  if (text.starts_with(kByteOrderMark)) {
    text.remove_prefix(kByteOrderMark.size());
    utf8 = true;
  }
  // DOS editors end a file with Ctrl-Z.
  if (text.ends_with('\x1A')) text.remove_suffix(1);
  if (!IsText(text)) return fileName + " is not a valid M3U file!";

  const std::string playlist = AbsolutePath(fileName);
  const size_t slash = playlist.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : playlist.substr(0, std::max<size_t>(slash, 1));
  size_t pos = 0;
  std::string_view line;
  while (NextLine(text, pos, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line[start] == '#') continue;
    if (utf8 || IsValidUtf8(line)) {
      entries.push_back(Resolved(line, folder));
      continue;
    }
    // Windows-1252, unless the bytes name a file as they stand: a legacy
    // file name that the folder walk added must come back as it was saved.
    std::string asSaved = Resolved(line, folder);
    entries.push_back(FileExists(asSaved) ? std::move(asSaved)
                                          : Resolved(Cp1252ToUtf8(line), folder));
  }
  return "OK";
}

std::string ReadM3U(const std::string& fileName, Playlist& playlist, bool clearFirst) {
  std::vector<std::string> entries;
  std::string answer = ReadM3UEntries(fileName, entries);
  if (answer != "OK") return answer;
  if (clearFirst) playlist.Clear();
  playlist.AppendAll(std::move(entries));
  return "OK";
}

std::string WriteM3U(const std::string& fileName, const Playlist& playlist) {
  if (FileNamePart(fileName).empty()) return "FileName is invalid!";
  std::string bytes;
  bytes.append(kHeader).append("\r\n");
  playlist.ForEachItem([&bytes](const std::string& item) { bytes.append(item).append("\r\n"); });

  // The list being replaced (the saved playlist at closing) stays whole if
  // the write fails.
  if (int error = ReplaceWholeFile(fileName, bytes, true)) return FailureText(error, fileName);
  return "OK";
}

}  // namespace tagmora
