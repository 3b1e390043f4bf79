#include "support/Id3Builder.h"

namespace tagmora::test {

std::string SyncSafe(uint32_t size) {
  return {char((size >> 21) & 0x7F), char((size >> 14) & 0x7F), char((size >> 7) & 0x7F),
          char(size & 0x7F)};
}

std::string BigEndian32(uint32_t size) {
  return {char(size >> 24), char(size >> 16), char(size >> 8), char(size)};
}

std::string Frame(int version, const std::string& id, const std::string& data, uint16_t flags) {
  auto size = uint32_t(data.size());
  if (version == 2) return id + std::string{char(size >> 16), char(size >> 8), char(size)} + data;
  return id + (version == 4 ? SyncSafe(size) : BigEndian32(size)) +
         std::string{char(flags >> 8), char(flags)} + data;
}

std::string TextFrame(int version, const std::string& id, const std::string& text) {
  return Frame(version, id, std::string(1, '\0') + text);
}

std::string Tag(int version, const std::string& frames, uint8_t flags, size_t padding) {
  std::string body = frames + std::string(padding, '\0');
  return std::string("ID3") + char(version) + '\0' + char(flags) +
         SyncSafe(uint32_t(body.size())) + body;
}

}  // namespace tagmora::test
