#include "jobs/Templates.h"

#include <algorithm>
#include <array>
#include <exception>

#include "platform/TextCodec.h"

namespace tagmora {

namespace {

std::string Decimal(uint8_t number) { return std::to_string(number); }

// The first occurrence of needle (not empty) in haystack from pos;
// without caseSensitive only A to Z fold, so no position moves. Only the
// places that hold the needle's first letter in either case are compared:
// the search-and-replace rules run this over every field of every file.
size_t Find(std::string_view haystack, std::string_view needle, size_t pos, bool caseSensitive) {
  if (caseSensitive) return haystack.find(needle, pos);
  const char lower = AsciiLower(needle[0]);
  const char upper = lower >= 'a' && lower <= 'z' ? char(lower - 'a' + 'A') : lower;
  for (; pos + needle.size() <= haystack.size(); ++pos) {
    if (haystack[pos] != lower && haystack[pos] != upper) continue;
    if (EqualsIgnoringAsciiCase(haystack.substr(pos, needle.size()), needle)) return pos;
  }
  return std::string_view::npos;
}

}  // namespace

int ReplaceAll(std::string_view source, std::string_view search, std::string_view replacement,
               bool caseSensitive, std::string& result) {
  if (source.empty() || search.empty()) return kReplaceEmpty;
  size_t found = Find(source, search, 0, caseSensitive);
  if (found == std::string_view::npos) return kReplaceNotFound;
  // Built front to back: the text left of the search start never changes
  // again, so it is copied once instead of shifted at every replacement.
  std::string out;
  size_t copied = 0;
  int passes = 0;
  try {
    while (found != std::string_view::npos) {
      out.append(source, copied, found - copied);
      out.append(replacement);
      copied = found + search.size();
      if (++passes >= kReplacePassMax) {
        out.append(source, copied);
        result = std::move(out);
        return kReplacePassLimit;
      }
      found = Find(source, search, copied, caseSensitive);
    }
    out.append(source, copied);
  } catch (const std::exception&) {
    out.append(source, copied);
    result = std::move(out);
    return kReplaceFailed;
  }
  result = std::move(out);
  return kReplaceDone;
}

int ExpandTemplate(std::string_view pattern, std::string& result, const IDv1Tag& v1,
                   const IDv2Tag& v2, int context) {
  try {
    const bool first = context == 1;
    const auto plain = [first](std::string_view one, std::string_view two) {
      return first ? one : two;
    };
    const std::string track1 = Decimal(v1.Track), track2 = Decimal(v2.Track);
    // The order matters: a value naming a later variable is expanded again.
    const std::array<std::pair<std::string_view, std::string_view>, 26> variables = {{
        {"%title%", plain(v1.Title, v2.Title)},
        {"%artist%", plain(v1.Artist, v2.Artist)},
        {"%album%", plain(v1.Album, v2.Album)},
        {"%comment%", plain(v1.Comment, v2.Comment)},
        {"%year%", plain(v1.Year, v2.Year)},
        {"%genre%", plain(v1.Genre, v2.Genre)},
        {"%track%", plain(track1, track2)},
        {"%composer%", plain({}, v2.Composer)},
        {"%encoder%", plain({}, v2.Encoder)},
        {"%copyright%", plain({}, v2.Copyright)},
        {"%language%", plain({}, v2.Language)},
        {"%url%", plain({}, v2.URL)},
        {"%title1%", v1.Title},
        {"%title2%", v2.Title},
        {"%artist1%", v1.Artist},
        {"%artist2%", v2.Artist},
        {"%album1%", v1.Album},
        {"%album2%", v2.Album},
        {"%year1%", v1.Year},
        {"%year2%", v2.Year},
        {"%comment1%", v1.Comment},
        {"%comment2%", v2.Comment},
        {"%track1%", track1},
        {"%track2%", track2},
        {"%genre1%", v1.Genre},
        {"%genre2%", v2.Genre},
    }};
    result.assign(pattern);
    for (const auto& [name, value] : variables) {
      // Every name holds a '%': a text without one has nothing left to expand.
      if (result.find('%') == std::string::npos) break;
      std::string source = std::move(result);
      int code = ReplaceAll(source, name, value, false, result);
      if (code == kReplaceNotFound || code == kReplaceEmpty) result = std::move(source);
    }
    return kReplaceDone;
  } catch (const std::exception&) {
    return kExpandFailed;
  }
}

std::string ReplaceErrorText(int code) {
  switch (code) {
    case kReplaceDone: return "";
    case kReplaceNotFound: return "Search string not found";
    case kReplacePassLimit: return "Search times reach the max. value (infinite repeatition?)";
    case kReplaceFailed: return "Could not replace the string";
    case kReplaceEmpty: return "String is null";
    case kExpandFailed: return "Could not replace the variables";
    default: return "Unknown error";
  }
}

}  // namespace tagmora
