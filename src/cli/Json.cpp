#include "cli/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/TextCodec.h"

namespace tagmora::cli {

std::string JsonString(std::string_view text) {
  std::string valid = SanitizeUtf8(text);
  std::string out = "\"";
  size_t pos = 0;
  while (pos < valid.size()) {
    size_t start = pos;
    char32_t cp = NextCodePoint(valid, pos);
    switch (cp) {
      case '"': out += "\\\""; continue;
      case '\\': out += "\\\\"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      case '\t': out += "\\t"; continue;
      case '\b': out += "\\b"; continue;
      case '\f': out += "\\f"; continue;
      default: break;
    }
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(cp));
      out += escape;
    } else {
      out.append(valid, start, pos - start);
    }
  }
  return out + "\"";
}

std::string JsonText(const JsonValue& value) {
  struct Writer {
    std::string operator()(bool b) const { return b ? "true" : "false"; }
    std::string operator()(int64_t n) const { return std::to_string(n); }
    std::string operator()(double d) const {
      char buffer[32];
      auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
      std::string text(buffer, result.ptr);
      // JSON has no "inf" or "nan"; a number without a dot reads as integer,
      // which is still a valid JSON number.
      return result.ec == std::errc() && std::isfinite(d) ? text : "null";
    }
    std::string operator()(const std::string& s) const { return JsonString(s); }
  };
  return std::visit(Writer{}, value);
}

void JsonObject::Add(std::string_view key, const JsonValue& value) {
  AddRaw(key, JsonText(value));
}

void JsonObject::AddRaw(std::string_view key, const std::string& json) {
  if (body_.size() > 1) body_ += ',';
  body_ += JsonString(key);
  body_ += ':';
  body_ += json;
}

}  // namespace tagmora::cli
