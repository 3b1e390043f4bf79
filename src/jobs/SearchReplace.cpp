#include "jobs/SearchReplace.h"

#include <type_traits>

#include "editing/TrackNumber.h"
#include "jobs/Templates.h"
#include "platform/TextCodec.h"

namespace tagmora {

namespace {

// The passes' fields in the order each rule works on them.
constexpr MultiField kFieldOrder[] = {kFieldTitle,    kFieldArtist,    kFieldAlbum,
                                      kFieldComment,  kFieldYear,      kFieldGenre,
                                      kFieldTrack,    kFieldComposer,  kFieldEncoder,
                                      kFieldCopyright, kFieldLanguage, kFieldURL};

}  // namespace

std::vector<SearchReplaceRule> DefaultRules() {
  // Web-site addresses that download sites stamp into tags, and the
  // blanks that file-name habits replace.
  const auto rule = [](const char* search, const char* replacement, const char* searchIn) {
    return SearchReplaceRule{false, {search, replacement, searchIn}};
  };
  return {
      rule("www.example.com", "", "Title Artist"),
      rule("www.example.org", "", "Title Artist Comment"),
      rule("www.example.net", "", "Comment"),
      rule("https://music.example.com", "", "Title Artist Comment"),
      rule("mp3.example.org", "", "Comment"),
      rule("songs.example.net", "", "Comment"),
      rule("downloads.example.com", "", "Comment"),
      rule("%20", " ", "Title Artist"),
      rule("_", " ", "Title Artist"),
  };
}

std::string SearchInText(const std::array<bool, kMultiFieldCount>& chosen) {
  std::string text;
  for (int field = 0; field < kMultiFieldCount; ++field)
    if (chosen[field]) text.append(kMultiTagFields[field].caption).append(" ");
  return text;
}

bool SearchesIn(const std::string& searchIn, MultiField field) {
  return ContainsIgnoringAsciiCase(searchIn, kMultiTagFields[field].caption);
}

RuleSet::RuleSet(const std::vector<SearchReplaceRule>& rules) {
  for (const SearchReplaceRule& rule : rules) {
    // An empty search never matches; such a rule only comes from an
    // edited settings file.
    if (!rule.checked || rule.Text(kSearchFor).empty()) continue;
    Rule compiled{rule.Text(kSearchFor), rule.Text(kReplaceWith), {}};
    for (int field = 0; field < kMultiFieldCount; ++field)
      compiled.fields[field] = SearchesIn(rule.Text(kSearchIn), MultiField(field));
    rules_.push_back(std::move(compiled));
  }
}

bool RuleSet::Replace(const Rule& rule, const std::string& text, std::string& result) {
  return ReplaceAll(text, rule.search, rule.replacement, false, result) == kReplaceDone;
}

void RuleSet::ReplaceTrack(const Rule& rule, uint8_t& track) {
  std::string result;
  if (!Replace(rule, std::to_string(track), result)) return;
  // A result that is no track number (text, blank, above 255) is dropped
  // silently: 300 must not become 44.
  if (result.find_first_not_of(' ') == std::string::npos) return;
  if (TrackNumber number = ParseTrackNumber(result); number.valid) track = number.value;
}

template <typename Tag>
void RuleSet::ApplyTo(Tag& tag) const {
  constexpr bool v1 = std::is_same_v<Tag, IDv1Tag>;
  std::string result;
  for (const Rule& rule : rules_) {
    for (MultiField field : kFieldOrder) {
      if (!rule.fields[field]) continue;
      if (field == kFieldTrack) {
        ReplaceTrack(rule, tag.Track);
        continue;
      }
      std::string* text = FieldText(tag, field);
      if constexpr (v1) {
        // ID3v1 keeps its genre as a number, found again from the name.
        if (field == kFieldGenre) text = &tag.Genre;
      }
      if (!text || !Replace(rule, *text, result)) continue;
      if constexpr (v1) {
        if (field == kFieldGenre) tag.GenreId = GenreIdOfText(result);
        else result = Utf8Left(result, field == kFieldYear ? 4 : 30);
      }
      *text = std::move(result);
    }
  }
}

void RuleSet::Apply(IDv1Tag& v1) const { ApplyTo(v1); }

void RuleSet::Apply(IDv2Tag& v2) const { ApplyTo(v2); }

}  // namespace tagmora
