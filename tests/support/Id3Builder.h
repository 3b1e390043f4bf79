#pragma once
// Builds ID3v2 tags byte by byte, so tests can make the layouts that real
// taggers write, and the broken ones.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace tagmora::test {

std::string SyncSafe(uint32_t size);
std::string BigEndian32(uint32_t size);

// One frame: identifier, data, flags. Version 2 uses 3-letter ids and
// 3-byte sizes; version 4 sync-safe sizes.
std::string Frame(int version, const std::string& id, const std::string& data,
                  uint16_t flags = 0);
// A text frame with encoding byte 0.
std::string TextFrame(int version, const std::string& id, const std::string& text);
// Header (with the given flags) and body; padding zero bytes follow the frames.
std::string Tag(int version, const std::string& frames, uint8_t flags = 0, size_t padding = 0);

}  // namespace tagmora::test
