#include "editing/TrackNumber.h"

#include <charconv>
#include <string_view>

namespace tagmora {

TrackNumber ParseTrackNumber(const std::string& text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return {true, 0, ""};
  size_t end = text.find_last_not_of(' ');
  std::string_view digits = std::string_view(text).substr(begin, end - begin + 1);
  long value = 0;
  auto [rest, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc::result_out_of_range ||
      (error == std::errc() && rest == digits.data() + digits.size() &&
       (value < 0 || value > 255)))
    return {false, 0, "'" + text + "' is not a valid track number (0 to 255)"};
  if (error != std::errc() || rest != digits.data() + digits.size())
    return {false, 0, "'" + text + "' is not a valid integer value"};
  return {true, static_cast<uint8_t>(value), ""};
}

}  // namespace tagmora
