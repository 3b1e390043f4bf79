#pragma once
// The JSON lines of tagmora-cli, built with nlohmann-json in key order.

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace tagmora::cli {

using Json = nlohmann::ordered_json;

// A text as a JSON string value. Invalid UTF-8 is read as Windows-1252.
Json JsonText(std::string_view text);
// One line of output. Every control character (C0, DEL and C1) is written
// as an escape, so that a tag's stray bytes never reach a terminal raw.
std::string JsonLine(const Json& value);

}  // namespace tagmora::cli
