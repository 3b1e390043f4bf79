#include "playlist/M3U.h"

#include "app/IoError.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

constexpr std::string_view kHeader = "#EXTM3U";

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

}  // namespace

std::string FileNamePart(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadM3U(const std::string& fileName, Playlist& playlist, bool clearFirst) {
  if (FileNamePart(fileName).empty()) return "FileName is invalid!";
  if (!FileExists(fileName)) return "FileName does NOT exists!";
  std::string bytes;
  if (int error = ReadWholeFile(fileName, bytes)) return FailureText(error, fileName);

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

  // The list being replaced (the saved playlist at closing) stays whole if
  // the write fails.
  if (int error = ReplaceWholeFile(fileName, bytes, true)) return FailureText(error, fileName);
  return "OK";
}

}  // namespace tagmora
