#pragma once
// Splits the bytes of an ID3v2 tag of version 2.2, 2.3 or 2.4 into frames,
// each turned into its version 2.3 form: four-letter identifier, 2.3 flags,
// data as 2.3 stores it (unsynchronisation undone, 2.4 additions re-laid).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tagmora::id3v2 {

inline constexpr int kHeaderSize = 10;

struct Header {
  bool present = false;  // starts with "ID3"
  uint8_t major = 0;
  uint8_t revision = 0;
  uint8_t flags = 0;
  // Whole tag with its header. The size bytes are used whole, without
  // masking their top bit, as files of other programs rely on.
  int64_t size = 0;
};

Header ParseHeader(const unsigned char* bytes);

// Version 2.3 format flags (second flag byte).
inline constexpr uint8_t kCompressed = 0x80;
inline constexpr uint8_t kEncrypted = 0x40;
inline constexpr uint8_t kGrouped = 0x20;

struct Frame {
  std::string id;
  uint8_t status = 0;
  uint8_t format = 0;
  std::string data;
};

// The frames of a tag body (the bytes after the header, up to the tag
// size). Parsing stops at the first identifier that does not start with a
// letter A to Z (padding). Version 2.2 frames without a 2.3 counterpart are
// dropped, as is a 2.4 frame that cannot be expressed in 2.3.
// For version 2.3, `unparsed` receives what follows the last frame read,
// without the zero bytes of padding at its end: bytes other programs may
// still read as frames, which a rewrite must not lose. A frame header cut
// by the tag's end is not kept.
std::vector<Frame> ParseFrames(const Header& header, std::string_view body,
                               std::string* unparsed = nullptr);

// Version 2.3 knows only encodings 0 and 1: rewrites the text of a frame
// stored as UTF-16BE or UTF-8 (text frames, COMM, USLT, WXXX, APIC).
void ConvertTo23Encoding(Frame& frame);

std::string UndoUnsynchronisation(std::string_view bytes);

}  // namespace tagmora::id3v2
