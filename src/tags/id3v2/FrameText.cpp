#include "tags/id3v2/FrameText.h"

#include "platform/TextCodec.h"

namespace tagmora::id3v2 {

size_t TerminatorSize(uint8_t encoding) {
  return encoding == kUtf16 || encoding == kUtf16BE ? 2 : 1;
}

std::string_view TakeString(std::string_view& bytes, uint8_t encoding) {
  size_t step = TerminatorSize(encoding);
  for (size_t i = 0; i + step <= bytes.size(); i += step) {
    if (bytes[i] == 0 && (step == 1 || bytes[i + 1] == 0)) {
      std::string_view value = bytes.substr(0, i);
      bytes.remove_prefix(i + step);
      return value;
    }
  }
  std::string_view value = bytes;
  bytes = {};
  return value;
}

std::string Decode(std::string_view bytes, uint8_t encoding) {
  switch (encoding) {
    case kUtf16: return Utf16ToUtf8(bytes, false);
    case kUtf16BE: return Utf16ToUtf8(bytes, true);
    case kUtf8: return SanitizeUtf8(bytes);
    default: return Cp1252ToUtf8(bytes);
  }
}

std::string DecodeValues(std::string_view bytes, uint8_t encoding) {
  std::string joined;
  while (!bytes.empty()) {
    std::string value = Decode(TakeString(bytes, encoding), encoding);
    if (value.empty()) continue;
    if (!joined.empty()) joined += '/';
    joined += value;
  }
  return joined;
}

uint8_t EncodingFor(std::string_view text) {
  // Single-byte text reads back as Windows-1252, which gives 0x80-0x9F
  // other meanings: those characters need UTF-16.
  for (size_t pos = 0; pos < text.size();) {
    char32_t c = NextCodePoint(text, pos);
    if (c > 0xFF || (c >= 0x80 && c < 0xA0)) return kUtf16;
  }
  return kLatin1;
}

std::string Encode(std::string_view text, uint8_t encoding) {
  switch (encoding) {
    case kUtf16: return Utf8ToUtf16(text, true);
    case kUtf8: return SanitizeUtf8(text);
    case kUtf16BE: {
      std::string le = Utf8ToUtf16(text, false);
      for (size_t i = 0; i + 1 < le.size(); i += 2) std::swap(le[i], le[i + 1]);
      return le;
    }
    default: return Utf8ToLatin1(text);
  }
}

std::string Terminator(uint8_t encoding) { return std::string(TerminatorSize(encoding), '\0'); }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

}  // namespace tagmora::id3v2
