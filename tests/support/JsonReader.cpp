#include "support/JsonReader.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <stdexcept>

namespace tagmora::test {

namespace {

// nlohmann-json parses; the tests read this plain tree.
Json Convert(const nlohmann::json& from) {
  Json to;
  switch (from.type()) {
    case nlohmann::json::value_t::boolean:
      to.type = Json::Type::Bool;
      to.boolean = from.get<bool>();
      break;
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned:
    case nlohmann::json::value_t::number_float:
      to.type = Json::Type::Number;
      to.number = from.get<double>();
      break;
    case nlohmann::json::value_t::string:
      to.type = Json::Type::String;
      to.string = from.get<std::string>();
      break;
    case nlohmann::json::value_t::array:
      to.type = Json::Type::Array;
      for (const auto& item : from) to.array.push_back(Convert(item));
      break;
    case nlohmann::json::value_t::object:
      to.type = Json::Type::Object;
      for (const auto& [key, value] : from.items()) {
        to.keys.push_back(key);
        to.values.push_back(Convert(value));
      }
      break;
    default:
      break;
  }
  return to;
}

}  // namespace

const Json& Json::operator[](std::string_view key) const {
  static const Json null;
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i] == key) return values[i];
  return null;
}

double Json::AsNumber() const {
  if (type == Type::Number) return number;
  if (type == Type::String) return std::strtod(string.c_str(), nullptr);
  throw std::runtime_error("JSON: not a number");
}

Json ParseJson(std::string_view text) {
  try {
    return Convert(nlohmann::json::parse(text));
  } catch (const nlohmann::json::exception& error) {
    throw std::runtime_error(error.what());
  }
}

}  // namespace tagmora::test
