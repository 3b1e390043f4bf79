#include "editing/SplitFileName.h"

#include <cwctype>

#include "platform/TextCodec.h"

namespace tagmora {

namespace {

std::u32string Decode(std::string_view text) {
  std::u32string out;
  for (size_t pos = 0; pos < text.size();) out.push_back(NextCodePoint(text, pos));
  return out;
}

std::string Encode(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

// The system's mapping, as the user's locale gives it.
char32_t Upper(char32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
  return static_cast<char32_t>(std::towupper(static_cast<wint_t>(c)));
}

size_t FindIgnoringCase(std::u32string_view text, std::u32string_view separator) {
  if (separator.size() > text.size()) return std::u32string::npos;
  for (size_t at = 0; at + separator.size() <= text.size(); ++at) {
    size_t i = 0;
    while (i < separator.size() && Upper(text[at + i]) == Upper(separator[i])) ++i;
    if (i == separator.size()) return at;
  }
  return std::u32string::npos;
}

std::u32string Trim(std::u32string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] <= 32) ++begin;
  while (end > begin && text[end - 1] <= 32) --end;
  return std::u32string(text.substr(begin, end - begin));
}

}  // namespace

std::string FileNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SplitFileName(const std::string& path, const std::string& separator,
                          std::string& artist, std::string& title) {
  if (separator.empty()) return "Invalid separator \"" + separator + "\" ";
  const std::u32string name = Decode(FileNameOf(path));
  const std::u32string sep = Decode(separator);

  const size_t k = FindIgnoringCase(name, sep);
  if (k == std::u32string::npos) return kSplitNoSeparator;
  // Blanking the occurrence and searching again also catches overlapping
  // ones: " - " is found twice in "A - - B.mp3".
  std::u32string rest = name.substr(k);
  rest.replace(0, sep.size(), sep.size(), U' ');
  if (FindIgnoringCase(rest, sep) != std::u32string::npos)
    return "Multiple separator \"" + separator + "\"";

  const size_t titleBegin = k + sep.size();
  const size_t titleEnd = name.size() >= 4 ? name.size() - 4 : 0;
  const std::u32string foundTitle =
      titleBegin < titleEnd ? Trim(std::u32string_view(name).substr(titleBegin, titleEnd - titleBegin))
                            : std::u32string();
  const std::u32string foundArtist = Trim(std::u32string_view(name).substr(0, k));
  if (foundTitle.empty()) return kSplitNullTitle;
  if (foundArtist.empty()) return kSplitNullArtist;
  artist = Encode(foundArtist);
  title = Encode(foundTitle);
  return "OK";
}

}  // namespace tagmora
