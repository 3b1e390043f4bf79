#pragma once
// Field templates of the multi-tagger: "%artist% - %title%" and the like,
// expanded for one file and one tag; and the text replacement that the
// templates and the search-and-replace rules share. Pure functions.

#include <string>
#include <string_view>

#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

namespace tagmora {

// Result codes of ReplaceAll and ExpandTemplate.
enum ReplaceResult : int {
  kReplaceDone = 1,
  kReplaceNotFound = 10,
  kReplacePassLimit = 11,
  kReplaceFailed = 12,
  kReplaceEmpty = 13,
  kExpandFailed = 14,
};

// Replacements one call makes at most; a source with more is cut short
// with kReplacePassLimit.
inline constexpr int kReplacePassMax = 31001;

// Replaces every occurrence of search in source, left to right and never
// inside inserted text. Without caseSensitive only A to Z fold. result is
// written for kReplaceDone, kReplacePassLimit and kReplaceFailed only.
int ReplaceAll(std::string_view source, std::string_view search, std::string_view replacement,
               bool caseSensitive, std::string& result);

// Expands the variables of a template for the tag of context 1 (ID3v1) or
// any other (ID3v2): kReplaceDone, or kExpandFailed.
int ExpandTemplate(std::string_view pattern, std::string& result, const IDv1Tag& v1,
                   const IDv2Tag& v2, int context);

std::string ReplaceErrorText(int code);

// The "Variables info" box.
inline constexpr const char* kVariablesCaption = "Variables";
inline constexpr const char* kVariablesInfo =
    "Next variables can be used in ID3 Tag fields:\n"
    "\n"
    "%title%, %title1%, %title2%\n"
    "%artist%, %artist1%, %artist2%\n"
    "%album%, %album1%, %album2%\n"
    "%comment%, %comment1%, %comment2%\n"
    "%year%, %year1%, %year2%\n"
    "%genre%, %genre1%, %genre2%\n"
    "%track%, %track1%, %track2%\n"
    "%composer%\n"
    "%encoder%\n"
    "%copyright%\n"
    "%language%\n"
    "%url%\n"
    "\n"
    "eg: %artist% - %title%";

}  // namespace tagmora
