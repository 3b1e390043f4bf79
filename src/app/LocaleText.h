#pragma once
// Times and dates in the user's locale (LC_TIME, set from the environment
// when the program starts).

#include <ctime>
#include <string>

namespace tagmora {

// The locale's time format, e.g. "14:05:09".
std::string LongTimeText(std::time_t when = std::time(nullptr));
// The locale's short date format, e.g. "12/07/25".
std::string ShortDateText(std::time_t when = std::time(nullptr));

}  // namespace tagmora
