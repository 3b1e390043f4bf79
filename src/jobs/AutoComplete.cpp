#include "jobs/AutoComplete.h"

#include "editing/SplitFileName.h"
#include "editing/TagAccess.h"
#include "platform/TextCodec.h"

namespace tagmora {

namespace {

// The file name without its last four characters (the extension),
// trimmed of characters 0 to 32.
std::string FallbackName(const std::string& path) {
  const std::string name = FileNameOf(path);
  const size_t length = Utf8Length(name);
  std::string kept = Utf8Left(name, length > 4 ? length - 4 : 0);
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  size_t begin = 0, end = kept.size();
  while (begin < end && blank(kept[begin])) ++begin;
  while (end > begin && blank(kept[end - 1])) --end;
  return kept.substr(begin, end - begin);
}

// One field's value into both records.
void Complete(const std::string& value, bool onlyIfMissing, bool replaceV1, bool replaceV2,
              std::string& v1Field, std::string& v2Field) {
  if (replaceV1 && (!onlyIfMissing || v1Field.empty())) v1Field = Utf8Left(value, 30);
  if (replaceV2 && (!onlyIfMissing || v2Field.empty())) v2Field = value;
}

}  // namespace

std::string CompleteFromFileName(const std::string& path, const AutoCompleteOptions& options,
                                 bool replaceV1, bool replaceV2, IDv1Tag& v1, IDv2Tag& v2) {
  std::string artist, title, error;
  const std::string first = SplitFileName(path, options.separator1, artist, title);
  std::string second = kStatusOK;
  if (first != kStatusOK) {
    second = SplitFileName(path, options.separator2, artist, title);
    if (second != kStatusOK)
      error = first + "(\"" + options.separator1 + "\") and " + second + "(\"" +
              options.separator2 + "\")";
  }
  const bool split = error.empty();
  const bool noSeparator = first == kSplitNoSeparator && second == kSplitNoSeparator;
  // A name that leaves nothing after its extension is dropped gives no
  // value: it must not wipe a field the tag holds.
  const std::string fallback = noSeparator ? FallbackName(path) : std::string();
  const struct {
    bool get;
    const std::string& found;
    bool ifMissing, fallback, fallbackIfMissing;
    std::string& v1Field;
    std::string& v2Field;
  } fields[] = {
      {options.getArtist, artist, options.artistIfMissing, options.fallbackArtist,
       options.fallbackArtistIfMissing, v1.Artist, v2.Artist},
      {options.getTitle, title, options.titleIfMissing, options.fallbackTitle,
       options.fallbackTitleIfMissing, v1.Title, v2.Title},
  };
  for (const auto& field : fields) {
    if (!field.get) continue;
    if (split)
      Complete(field.found, field.ifMissing, replaceV1, replaceV2, field.v1Field, field.v2Field);
    else if (field.fallback && !fallback.empty())
      Complete(fallback, field.fallbackIfMissing, replaceV1, replaceV2, field.v1Field,
               field.v2Field);
  }
  return error;
}

}  // namespace tagmora
