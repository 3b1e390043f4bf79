#pragma once
// The search-and-replace rules of the multi-tagger: each enabled rule, top
// to bottom, replaces its search text in the fields its search-in text
// names, without regard to the case of A to Z.

#include <array>
#include <string>
#include <vector>

#include "app/SearchReplaceRule.h"
#include "jobs/MultiTagFields.h"

namespace tagmora {

// The list of the "Search and Replace" default command, all disabled.
std::vector<SearchReplaceRule> DefaultRules();

// The search-in text the editor writes: each chosen field's caption and a
// blank, in the order of the fields.
std::string SearchInText(const std::array<bool, kMultiFieldCount>& chosen);
// Whether a field's caption occurs in a search-in text.
bool SearchesIn(const std::string& searchIn, MultiField field);

// The enabled rules of a list, each with its fields found once, applied to
// a pass's record. A rule that finds nothing leaves the field as it was.
class RuleSet {
 public:
  RuleSet() = default;
  explicit RuleSet(const std::vector<SearchReplaceRule>& rules);

  bool Empty() const { return rules_.empty(); }
  // ID3v1: texts kept within 30 characters (the year 4), the genre's
  // number looked up again from its changed name.
  void Apply(IDv1Tag& v1) const;
  void Apply(IDv2Tag& v2) const;

 private:
  struct Rule {
    std::string search;
    std::string replacement;
    std::array<bool, kMultiFieldCount> fields{};
  };
  // The rule's result for a text; false when the text stays.
  static bool Replace(const Rule& rule, const std::string& text, std::string& result);
  // Track through its decimal text: only a number from 0 to 255 is taken.
  static void ReplaceTrack(const Rule& rule, uint8_t& track);
  template <typename Tag>
  void ApplyTo(Tag& tag) const;

  std::vector<Rule> rules_;
};

}  // namespace tagmora
