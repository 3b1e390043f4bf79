#pragma once
// Just enough JSON for one object per line: strings, numbers, booleans.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace tagmora::cli {

using JsonValue = std::variant<bool, int64_t, double, std::string>;

// A quoted JSON string. Invalid UTF-8 is read as Windows-1252 first, and
// every control character (C0, DEL and C1) is written as an escape so that
// a tag's stray bytes never reach a terminal raw.
std::string JsonString(std::string_view text);
std::string JsonText(const JsonValue& value);

// Builds one object: {"key":value,...}.
class JsonObject {
 public:
  void Add(std::string_view key, const JsonValue& value);
  void AddRaw(std::string_view key, const std::string& json);
  std::string Text() const { return body_ + "}"; }

 private:
  std::string body_ = "{";
};

}  // namespace tagmora::cli
