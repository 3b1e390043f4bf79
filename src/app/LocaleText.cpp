#include "app/LocaleText.h"

namespace tagmora {

namespace {

std::string Format(const char* format, std::time_t when) {
  std::tm local{};
  ::localtime_r(&when, &local);
  char buffer[128];
  size_t n = std::strftime(buffer, sizeof buffer, format, &local);
  return std::string(buffer, n);
}

}  // namespace

std::string LongTimeText(std::time_t when) { return Format("%X", when); }
std::string ShortDateText(std::time_t when) { return Format("%x", when); }

}  // namespace tagmora
