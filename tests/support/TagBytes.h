#pragma once
// Builds tag bytes directly, for the layouts real taggers write, for files
// that no tool writes (bad sizes, odd layouts) and for the benchmarks' many
// small files. Header-only, without GoogleTest, so the benchmarks use it too.

#include <algorithm>
#include <cstdint>
#include <string>

namespace tagmora::test {

// A 128-byte ID3v1 record from raw field bytes; fields are zero-padded,
// bytes 125 and 126 and the genre byte are set as given.
inline std::string V1Record(const std::string& title, const std::string& artist = "",
                            const std::string& album = "", const std::string& year = "",
                            const std::string& comment = "", int byte125 = 0,
                            int byte126 = 0, int genre = 255) {
  std::string r(128, '\0');
  r.replace(0, 3, "TAG");
  auto put = [&](size_t at, size_t width, const std::string& text) {
    r.replace(at, std::min(width, text.size()), text.substr(0, width));
  };
  put(3, 30, title);
  put(33, 30, artist);
  put(63, 30, album);
  put(93, 4, year);
  put(97, 30, comment);
  if (byte125 >= 0) r[125] = char(byte125);
  if (byte126 >= 0) r[126] = char(byte126);
  r[127] = char(genre);
  return r;
}

inline std::string BigEndian32(uint32_t n) {
  return {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
}

inline std::string SyncSafe32(uint32_t n) {
  return {char((n >> 21) & 0x7F), char((n >> 14) & 0x7F), char((n >> 7) & 0x7F), char(n & 0x7F)};
}

// One ID3v2 frame of the given major version: 2 has 3-letter ids and
// 3-byte sizes, 3 plain 32-bit sizes, 4 sync-safe sizes.
inline std::string Frame(const std::string& id, const std::string& data, int major = 3,
                         uint16_t flags = 0) {
  auto size = uint32_t(data.size());
  if (major == 2) return id + std::string{char(size >> 16), char(size >> 8), char(size)} + data;
  return id + (major == 4 ? SyncSafe32(size) : BigEndian32(size)) +
         std::string{char(flags >> 8), char(flags)} + data;
}

// A text frame in ISO-8859-1 (encoding 0).
inline std::string TextFrame(const std::string& id, const std::string& text, int major = 3) {
  return Frame(id, std::string(1, '\0') + text, major);
}

// A tag header with a sync-safe size counting the frames and the padding
// zero bytes that follow them, and the given header flags.
inline std::string Tag(int major, const std::string& frames, size_t padding = 0,
                       uint8_t flags = 0) {
  return "ID3" + std::string{char(major), '\0', char(flags)} +
         SyncSafe32(uint32_t(frames.size() + padding)) + frames + std::string(padding, '\0');
}

}  // namespace tagmora::test
