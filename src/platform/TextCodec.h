#pragma once
// Text is UTF-8 inside the program; these convert at the file boundary and
// count characters as Unicode code points.

#include <cstddef>
#include <string>
#include <string_view>

namespace tagmora {

// Single-byte tag text. Windows-1252 holds ISO-8859-1's printable range;
// its five unassigned bytes decode to the C1 code points of the same value
// so that any byte sequence survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);
// Characters that Windows-1252 cannot hold become '?'.
std::string Utf8ToCp1252(std::string_view text);

std::string Latin1ToUtf8(std::string_view bytes);
// Characters above U+00FF become '?'.
std::string Utf8ToLatin1(std::string_view text);
// True when every character is in ISO-8859-1 (U+0000 to U+00FF).
bool IsLatin1(std::string_view text);

// UTF-16 with an optional byte-order mark; without one, bigEndian decides.
// Unpaired surrogates become U+FFFD. An odd last byte is ignored.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian = false);
// UTF-16 little endian, preceded by the mark FF FE when withBom.
std::string Utf8ToUtf16(std::string_view text, bool withBom = true);

// Makes text valid UTF-8: a byte that does not start a well-formed
// sequence is read as a Windows-1252 character.
std::string SanitizeUtf8(std::string_view text);
// True when every byte belongs to a well-formed UTF-8 sequence.
bool IsValidUtf8(std::string_view text);

// Number of code points.
size_t Utf8Length(std::string_view text);
// The first count code points.
std::string Utf8Left(std::string_view text, size_t count);

// Decodes the code point at text[pos] and advances pos; malformed input
// yields the Windows-1252 reading of one byte.
char32_t NextCodePoint(std::string_view text, size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);

// Letter case of ASCII letters only, whatever the user's locale: INI keys,
// genre names, M3U lines and the ".mp3" of file names compare this way.
// Inline: the case-blind searches call it for every character they compare.
inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);
bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view part);

}  // namespace tagmora
