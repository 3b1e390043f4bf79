#include "platform/IniFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "platform/UniqueFd.h"

namespace tagmora {

namespace {

std::string_view Trim(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// "[name]" gives name.
bool SectionOf(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

// "key=value" gives both; comment lines give nothing.
bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return false;
  size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return false;
  key = Trim(trimmed.substr(0, equals));
  value = Trim(trimmed.substr(equals + 1));
  return !key.empty();
}

std::string DecodeValue(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

// One line per value: line breaks become blanks. Blanks at either end
// would be lost to every reader, so such a value goes in quotes; so does
// a quoted one, whose quotes a reader would otherwise take away.
std::string EncodeValue(const std::string& value) {
  std::string text = value;
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  bool quote = !text.empty() && (text.front() == ' ' || text.front() == '\t' ||
                                 text.back() == ' ' || text.back() == '\t' ||
                                 (text.size() >= 2 && text.front() == '"' && text.back() == '"'));
  return quote ? '"' + text + '"' : text;
}

// The file's lines without their line ends; false when it cannot be read
// (a missing file reads as empty).
bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  std::string bytes;
  if (int error = ReadWholeFile(path, bytes)) return error == ENOENT;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = end + 1;
  }
  return true;
}

// A failed write leaves the old file whole. Each key is one write, so the
// file is not flushed every time; the rename keeps it old or new.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append("\n");
  return ReplaceWholeFile(path, bytes, false) == 0;
}

// Lines [begin, end) of the section's body; false when it is missing.
bool FindSection(const std::vector<std::string>& lines, const std::string& section,
                 size_t& begin, size_t& end) {
  std::string_view name;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!SectionOf(lines[i], name) || !EqualsIgnoringAsciiCase(name, section)) continue;
    begin = i + 1;
    end = begin;
    while (end < lines.size() && !SectionOf(lines[end], name)) ++end;
    return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> IniFile::Read(const std::string& section,
                                         const std::string& key) const {
  std::vector<std::string> lines;
  if (!ReadLines(path_, lines)) return std::nullopt;
  size_t begin, end;
  if (!FindSection(lines, section, begin, end)) return std::nullopt;
  std::string_view name, value;
  for (size_t i = begin; i < end; ++i)
    if (KeyOf(lines[i], name, value) && EqualsIgnoringAsciiCase(name, key))
      return DecodeValue(value);
  return std::nullopt;
}

bool IniFile::Write(const std::string& section, const std::string& key,
                    const std::string& value) {
  std::vector<std::string> lines;
  if (!ReadLines(path_, lines)) return false;
  std::string line = key + "=" + EncodeValue(value);
  size_t begin, end;
  if (!FindSection(lines, section, begin, end)) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + section + "]");
    lines.push_back(line);
    return WriteLines(path_, lines);
  }
  std::string_view name, old;
  for (size_t i = begin; i < end; ++i) {
    if (KeyOf(lines[i], name, old) && EqualsIgnoringAsciiCase(name, key)) {
      if (lines[i] == line) return true;
      lines[i] = line;
      return WriteLines(path_, lines);
    }
  }
  // After the section's last line that is not blank.
  size_t at = end;
  while (at > begin && Trim(lines[at - 1]).empty()) --at;
  lines.insert(lines.begin() + static_cast<long>(at), line);
  return WriteLines(path_, lines);
}

bool IniFile::DeleteKey(const std::string& section, const std::string& key) {
  std::vector<std::string> lines;
  if (!ReadLines(path_, lines)) return false;
  size_t begin, end;
  if (!FindSection(lines, section, begin, end)) return true;
  std::string_view name, value;
  bool removed = false;
  for (size_t i = end; i-- > begin;) {
    if (KeyOf(lines[i], name, value) && EqualsIgnoringAsciiCase(name, key)) {
      lines.erase(lines.begin() + static_cast<long>(i));
      removed = true;
    }
  }
  return !removed || WriteLines(path_, lines);
}

}  // namespace tagmora
