#pragma once
// JSON for the tests, parsed by nlohmann-json: the output of ffprobe and the corpus
// notes (one object per line).

#include <string>
#include <string_view>
#include <vector>

namespace tagmora::test {

struct Json {
  enum class Type { Null, Bool, Number, String, Array, Object };
  Type type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<Json> array;
  // An object's members: keys[i] names values[i].
  std::vector<std::string> keys;
  std::vector<Json> values;

  bool IsNull() const { return type == Type::Null; }
  // The member named key; a null value when absent or not an object.
  const Json& operator[](std::string_view key) const;
  // A number, or a string holding one (ffprobe writes "44100").
  double AsNumber() const;
};

// Throws std::runtime_error on malformed text.
Json ParseJson(std::string_view text);

}  // namespace tagmora::test
