#include "jobs/StringFormat.h"

#include "platform/TextCodec.h"

namespace tagmora {

namespace {

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
// UTF-8 bytes of other characters are 0x80 and above, so working byte by
// byte never touches them.
char Upper(char c) { return IsLower(c) ? char(c - 'a' + 'A') : c; }
char Lower(char c) { return IsUpper(c) ? char(c - 'A' + 'a') : c; }

template <typename Tag>
void Apply(const StringFormatOptions& options, Tag& tag, size_t limit) {
  if (!options.enabled) return;
  for (size_t box = 0; box < kStringFormatFields.size(); ++box) {
    const CaseFormat format = options.formats[box];
    std::string* text = FieldText(tag, kStringFormatFields[box]);
    if (!text || format == CaseFormat::Unchanged) continue;
    *text = FormatCase(format, std::move(*text));
    // A text of no more bytes than the limit has no more characters either.
    if (limit && text->size() > limit) *text = Utf8Left(*text, limit);
  }
}

}  // namespace

CaseFormat CaseFormatAt(int index) {
  if (index < 0 || index >= int(kCaseFormatEntries.size())) return CaseFormat::Unchanged;
  return static_cast<CaseFormat>(index);
}

std::string ToLowerCase(std::string text) {
  for (char& c : text) c = Lower(c);
  return text;
}

std::string ToUpperCase(std::string text) {
  for (char& c : text) c = Upper(c);
  return text;
}

std::string CapitalizeFirst(std::string text) {
  text = ToLowerCase(std::move(text));
  if (!text.empty()) text[0] = Upper(text[0]);
  return text;
}

std::string CapitalizeWords(std::string text) {
  text = CapitalizeFirst(std::move(text));
  // The blank is the only word separator.
  for (size_t i = 1; i < text.size(); ++i)
    if (text[i - 1] == ' ') text[i] = Upper(text[i]);
  return text;
}

std::string FormatCase(CaseFormat format, std::string text) {
  switch (format) {
    case CaseFormat::Lower: return ToLowerCase(std::move(text));
    case CaseFormat::Upper: return ToUpperCase(std::move(text));
    case CaseFormat::FirstLetter: return CapitalizeFirst(std::move(text));
    case CaseFormat::EachWord: return CapitalizeWords(std::move(text));
    default: return text;
  }
}

void ApplyStringFormat(const StringFormatOptions& options, IDv1Tag& v1) { Apply(options, v1, 30); }

void ApplyStringFormat(const StringFormatOptions& options, IDv2Tag& v2) { Apply(options, v2, 0); }

}  // namespace tagmora
