#pragma once
// One search-and-replace rule as the multi-tagger's list keeps it and the
// settings file stores it: its check mark and its texts. A rule read from
// an older settings file may carry more or fewer than three texts.

#include <cstddef>
#include <string>
#include <vector>

namespace tagmora {

// The texts of a rule by position.
enum RuleText : size_t { kSearchFor, kReplaceWith, kSearchIn, kRuleTextCount };

struct SearchReplaceRule {
  bool checked = false;
  std::vector<std::string> texts;
  bool operator==(const SearchReplaceRule&) const = default;

  // Text j, or "" when the rule has fewer texts.
  const std::string& Text(size_t j) const {
    static const std::string none;
    return j < texts.size() ? texts[j] : none;
  }
};

}  // namespace tagmora
