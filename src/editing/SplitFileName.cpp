#include "editing/SplitFileName.h"

#include <cwctype>

#include "platform/TextCodec.h"

namespace tagmora {

namespace {

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

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
std::string Encode(std::string_view text) { return std::string(text); }

// The system's mapping, as the user's locale gives it.
template <typename Char>
Char Upper(Char c) {
  if (c >= 'a' && c <= 'z') return Char(c - 'a' + 'A');
  if (c < 0x80) return c;
  return static_cast<Char>(std::towupper(static_cast<wint_t>(c)));
}

template <typename Char>
size_t FindIgnoringCase(std::basic_string_view<Char> text, std::basic_string_view<Char> separator) {
  if (separator.size() > text.size()) return std::basic_string_view<Char>::npos;
  for (size_t at = 0; at + separator.size() <= text.size(); ++at) {
    size_t i = 0;
    while (i < separator.size() && Upper(text[at + i]) == Upper(separator[i])) ++i;
    if (i == separator.size()) return at;
  }
  return std::basic_string_view<Char>::npos;
}

template <typename Char>
std::basic_string_view<Char> Trim(std::basic_string_view<Char> text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] <= 32) ++begin;
  while (end > begin && text[end - 1] <= 32) --end;
  return text.substr(begin, end - begin);
}

// The split over characters: bytes for an ASCII name (most are), code
// points otherwise.
template <typename Char>
std::string Split(std::basic_string_view<Char> name, std::basic_string_view<Char> sep,
                  const std::string& separator, std::string& artist, std::string& title) {
  const size_t k = FindIgnoringCase(name, sep);
  if (k == name.npos) return kSplitNoSeparator;
  // Blanking the occurrence and searching again also catches overlapping
  // ones: " - " is found twice in "A - - B.mp3".
  std::basic_string<Char> rest(name.substr(k));
  rest.replace(0, sep.size(), sep.size(), Char(' '));
  if (FindIgnoringCase<Char>(rest, sep) != name.npos)
    return "Multiple separator \"" + separator + "\"";

  const size_t titleBegin = k + sep.size();
  const size_t titleEnd = name.size() >= 4 ? name.size() - 4 : 0;
  const auto foundTitle = titleBegin < titleEnd
                              ? Trim(name.substr(titleBegin, titleEnd - titleBegin))
                              : std::basic_string_view<Char>();
  const auto foundArtist = Trim(name.substr(0, k));
  if (foundTitle.empty()) return kSplitNullTitle;
  if (foundArtist.empty()) return kSplitNullArtist;
  artist = Encode(foundArtist);
  title = Encode(foundTitle);
  return "OK";
}

}  // namespace

std::string FileNameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SplitFileName(const std::string& path, const std::string& separator,
                          std::string& artist, std::string& title) {
  if (separator.empty()) return "Invalid separator \"" + separator + "\" ";
  const size_t slash = path.rfind('/');
  const std::string_view name =
      std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
  if (IsAscii(name) && IsAscii(separator))
    return Split<char>(name, separator, separator, artist, title);
  const std::u32string wideName = Decode(name), wideSeparator = Decode(separator);
  return Split<char32_t>(wideName, wideSeparator, separator, artist, title);
}

}  // namespace tagmora
