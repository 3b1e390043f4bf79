#include "support/JsonReader.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "platform/TextCodec.h"

namespace tagmora::test {

namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  Json Document() {
    Json value = Value();
    SkipBlanks();
    if (pos_ != text_.size()) Fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at " + std::to_string(pos_));
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }

  char Peek() {
    SkipBlanks();
    if (pos_ >= text_.size()) Fail("unexpected end");
    return text_[pos_];
  }

  bool Consume(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }

  void Expect(char c) {
    if (!Consume(c)) Fail(std::string("expected '") + c + "'");
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  Json Value() {
    Json v;
    if (Consume('{')) {
      v.type = Json::Type::Object;
      if (Consume('}')) return v;
      do {
        v.keys.push_back(String());
        Expect(':');
        v.values.push_back(Value());
      } while (Consume(','));
      Expect('}');
    } else if (Consume('[')) {
      v.type = Json::Type::Array;
      if (Consume(']')) return v;
      do v.array.push_back(Value());
      while (Consume(','));
      Expect(']');
    } else if (Peek() == '"') {
      v.type = Json::Type::String;
      v.string = String();
    } else if (Literal("true")) {
      v.type = Json::Type::Bool;
      v.boolean = true;
    } else if (Literal("false")) {
      v.type = Json::Type::Bool;
    } else if (Literal("null")) {
    } else {
      const char* start = text_.data() + pos_;
      char* end = nullptr;
      std::string number(start, std::min<size_t>(text_.size() - pos_, 64));
      v.number = std::strtod(number.c_str(), &end);
      if (end == number.c_str()) Fail("bad value");
      v.type = Json::Type::Number;
      pos_ += size_t(end - number.c_str());
    }
    return v;
  }

  unsigned Hex4() {
    std::string digits(text_.substr(pos_, 4));
    char* end = nullptr;
    unsigned long value = std::strtoul(digits.c_str(), &end, 16);
    if (digits.size() != 4 || end != digits.c_str() + 4) Fail("bad \\u escape");
    pos_ += 4;
    return unsigned(value);
  }

  std::string String() {
    Expect('"');
    std::string out;
    while (true) {
      if (pos_ >= text_.size()) Fail("unterminated string");
      char c = text_[pos_++];
      if (c == '"') return out;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) Fail("unterminated escape");
      char e = text_[pos_++];
      switch (e) {
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned cp = Hex4();
          if (cp >= 0xD800 && cp < 0xDC00 && Literal("\\u")) {
            unsigned low = Hex4();
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, char32_t(cp));
          break;
        }
        default: out += e;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
};

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

Json ParseJson(std::string_view text) { return Parser(text).Document(); }

}  // namespace tagmora::test
