#pragma once
// The string format of the multi-tagger: the letter case of chosen fields
// changed after the templates. Only the letters A to Z and a to z change;
// every other character, accented letters included, stays as it is.

#include <array>
#include <string>

#include "app/MainWindowModel.h"
#include "jobs/MultiTagFields.h"

namespace tagmora {

// The entries of a format box, in their order.
enum class CaseFormat { Unchanged, Lower, Upper, FirstLetter, EachWord };
// tagmora-cli's names of the entries, in the same order.
inline constexpr std::array<const char*, kCaseFormatEntries.size()> kCaseFormatNames = {
    "unchanged", "lower", "upper", "first", "words"};
// The field each box of kStringFormatBoxes formats.
inline constexpr std::array<MultiField, kStringFormatBoxes.size()> kStringFormatFields = {
    kFieldTitle, kFieldArtist, kFieldAlbum, kFieldComment, kFieldComposer, kFieldEncoder};

// A box's selected entry; no entry (or one the box does not have) is
// "Unchanged".
CaseFormat CaseFormatAt(int index);

struct StringFormatOptions {
  bool enabled = false;  // the panel's "Enabled"
  std::array<CaseFormat, kStringFormatBoxes.size()> formats{};
};

std::string ToLowerCase(std::string text);
std::string ToUpperCase(std::string text);
// Lower case with a capital first character.
std::string CapitalizeFirst(std::string text);
// Lower case with a capital first character and a capital after each blank.
std::string CapitalizeWords(std::string text);
std::string FormatCase(CaseFormat format, std::string text);

// The step in each pass: in ID3v1 Title, Artist, Album and Comment, each
// kept within its 30 characters; in ID3v2 also Composer and Encoder.
void ApplyStringFormat(const StringFormatOptions& options, IDv1Tag& v1);
void ApplyStringFormat(const StringFormatOptions& options, IDv2Tag& v2);

}  // namespace tagmora
