#include "cli/Json.h"

#include <cstdio>

#include "platform/TextCodec.h"

namespace tagmora::cli {

Json JsonText(std::string_view text) { return SanitizeUtf8(text); }

std::string JsonLine(const Json& value) {
  const std::string dumped = value.dump(-1, ' ', false, Json::error_handler_t::replace);
  // The dump escapes C0 already; DEL and the C1 range (C2 80 to C2 9F in
  // UTF-8) can only stand inside strings there, so they are escaped here.
  std::string out;
  out.reserve(dumped.size());
  for (size_t i = 0; i < dumped.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(dumped[i]);
    unsigned code = 0x100;
    if (c == 0x7F) {
      code = c;
    } else if (c == 0xC2 && i + 1 < dumped.size()) {
      const unsigned char next = static_cast<unsigned char>(dumped[i + 1]);
      if (next >= 0x80 && next <= 0x9F) {
        code = next;
        ++i;
      }
    }
    if (code == 0x100) {
      out += dumped[i];
      continue;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", code);
    out += escape;
  }
  return out;
}

}  // namespace tagmora::cli
