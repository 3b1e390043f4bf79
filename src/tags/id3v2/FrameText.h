#pragma once
// The text inside ID3v2 frames: the encoding byte, terminated strings, and
// the conversion to and from UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

namespace tagmora::id3v2 {

enum Encoding : uint8_t { kLatin1 = 0, kUtf16 = 1, kUtf16BE = 2, kUtf8 = 3 };

// Bytes of one terminator in an encoding.
size_t TerminatorSize(uint8_t encoding);

// Splits off the first terminated string of `bytes` (without its
// terminator) and advances `bytes` past the terminator. Without a
// terminator the whole rest is taken.
std::string_view TakeString(std::string_view& bytes, uint8_t encoding);

// Decodes one string. An unknown encoding reads as Latin-1 text;
// single-byte text is Windows-1252, of which ISO-8859-1 is a part.
std::string Decode(std::string_view bytes, uint8_t encoding);

// Decodes every terminated value of `bytes` and joins the non-empty ones
// with "/", the separator version 2.3 uses for several values.
std::string DecodeValues(std::string_view bytes, uint8_t encoding);

// The encoding a write uses for text: Latin-1 when it holds every
// character so that it reads back the same, else UTF-16 with a byte-order mark.
uint8_t EncodingFor(std::string_view text);
std::string Encode(std::string_view text, uint8_t encoding);
std::string Terminator(uint8_t encoding);

// Leading and trailing characters 0 to 32 removed.
std::string_view Trim(std::string_view text);

}  // namespace tagmora::id3v2
