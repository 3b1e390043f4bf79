#include "platform/TextCodec.h"

#include <algorithm>
#include <array>

namespace tagmora {

namespace {

// Windows-1252 bytes 0x80-0x9F; the unassigned ones map to themselves.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Cp1252ToCodePoint(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kCp1252High[b - 0x80];
  return b;
}

int CodePointToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
  for (size_t i = 0; i < kCp1252High.size(); ++i)
    if (kCp1252High[i] == cp) return int(0x80 + i);
  return -1;
}

// Length of a well-formed UTF-8 sequence at text[pos], or 0.
size_t SequenceLength(std::string_view text, size_t pos) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char b0 = byte(pos);
  if (b0 < 0x80) return 1;
  size_t len;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) { len = 2; min = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { len = 3; min = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { len = 4; min = 0x10000; }
  else return 0;
  if (pos + len > text.size()) return 0;
  char32_t cp = b0 & (0x7F >> len);
  for (size_t i = 1; i < len; ++i) {
    unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

char32_t NextCodePoint(std::string_view text, size_t& pos) {
  size_t len = SequenceLength(text, pos);
  auto b0 = static_cast<unsigned char>(text[pos]);
  if (len == 0) {
    ++pos;
    return Cp1252ToCodePoint(b0);
  }
  char32_t cp = len == 1 ? b0 : b0 & (0x7F >> len);
  for (size_t i = 1; i < len; ++i)
    cp = (cp << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
  pos += len;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    int b = CodePointToCp1252(NextCodePoint(text, pos));
    out += b < 0 ? '?' : char(b);
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

std::string Utf8ToLatin1(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    char32_t cp = NextCodePoint(text, pos);
    out += cp > 0xFF ? '?' : char(cp);
  }
  return out;
}

bool IsLatin1(std::string_view text) {
  for (size_t pos = 0; pos < text.size();)
    if (NextCodePoint(text, pos) > 0xFF) return false;
  return true;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  size_t pos = 0;
  if (bytes.size() >= 2) {
    auto b0 = static_cast<unsigned char>(bytes[0]);
    auto b1 = static_cast<unsigned char>(bytes[1]);
    if (b0 == 0xFF && b1 == 0xFE) { bigEndian = false; pos = 2; }
    else if (b0 == 0xFE && b1 == 0xFF) { bigEndian = true; pos = 2; }
  }
  auto unit = [&](size_t i) -> char16_t {
    auto a = static_cast<unsigned char>(bytes[i]);
    auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a);
  };
  std::string out;
  out.reserve(bytes.size());
  while (pos + 1 < bytes.size()) {
    char32_t u = unit(pos);
    pos += 2;
    if (u >= 0xD800 && u <= 0xDBFF && pos + 1 < bytes.size()) {
      char32_t low = unit(pos);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        pos += 2;
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t(0xFFFD) : u);
  }
  return out;
}

std::string Utf8ToUtf16(std::string_view text, bool withBom) {
  std::string out;
  out.reserve(text.size() * 2 + 2);
  auto put = [&](char16_t u) {
    out += char(u & 0xFF);
    out += char(u >> 8);
  };
  if (withBom) put(0xFEFF);
  for (size_t pos = 0; pos < text.size();) {
    char32_t cp = NextCodePoint(text, pos);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(char16_t(0xD800 + (cp >> 10)));
      put(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      put(char16_t(cp));
    }
  }
  return out;
}

std::string SanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) AppendUtf8(out, NextCodePoint(text, pos));
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t pos = 0, len; pos < text.size(); pos += len)
    if ((len = SequenceLength(text, pos)) == 0) return false;
  return true;
}

size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (size_t pos = 0; pos < text.size(); ++count) NextCodePoint(text, pos);
  return count;
}

std::string Utf8Left(std::string_view text, size_t count) {
  size_t pos = 0;
  for (size_t n = 0; n < count && pos < text.size(); ++n) NextCodePoint(text, pos);
  return std::string(text.substr(0, pos));
}

namespace {
bool SameIgnoringAsciiCase(char a, char b) { return AsciiLower(a) == AsciiLower(b); }
}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameIgnoringAsciiCase);
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(), SameIgnoringAsciiCase) !=
         text.end();
}

}  // namespace tagmora
