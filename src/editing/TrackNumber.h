#pragma once
// The track number a user or a template gives as text. Both tags keep the
// track in one byte, so a number outside 0 to 255 is refused rather than
// stored as another track (300 would become 44).

#include <cstdint>
#include <string>

namespace tagmora {

struct TrackNumber {
  bool valid = false;
  uint8_t value = 0;
  std::string message;  // why the text is refused; empty when valid
};

// Blanks around the number are ignored; an empty text is track 0.
TrackNumber ParseTrackNumber(const std::string& text);

}  // namespace tagmora
