#include "jobs/Templates.h"

#include <gtest/gtest.h>

namespace tagmora {
namespace {

TEST(Templates, ReplaceAllCodesAndResults) {
  struct Case {
    std::string source, search, replacement;
    bool caseSensitive;
    int code;
    std::string result;  // "untouched" when the call leaves it
  };
  const Case cases[] = {
      {"aaa", "a", "aa", true, kReplaceDone, "aaaaaa"},  // inserted text is not searched
      {"ABC", "b", "-", false, kReplaceDone, "A-C"},
      {"ABC", "b", "-", true, kReplaceNotFound, "untouched"},
      {"xyz", "q", "-", false, kReplaceNotFound, "untouched"},
      {"", "a", "b", false, kReplaceEmpty, "untouched"},
      {"abc", "", "b", false, kReplaceEmpty, "untouched"},
      // Only A to Z fold: É and é stay different, and nothing moves.
      {"\xC3\x89t\xC3\xA9 ETE", "ete", "x", false, kReplaceDone, "\xC3\x89t\xC3\xA9 x"},
      {"a-b-c", "-", "", false, kReplaceDone, "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " / " + c.search);
    std::string result = "untouched";
    EXPECT_EQ(ReplaceAll(c.source, c.search, c.replacement, c.caseSensitive, result), c.code);
    EXPECT_EQ(result, c.result);
  }
  // The pass limit: 31,002 occurrences give 11 with 31,001 replaced.
  std::string result;
  EXPECT_EQ(ReplaceAll(std::string(31002, 'a'), "a", "b", true, result), kReplacePassLimit);
  EXPECT_EQ(result, std::string(31001, 'b') + "a");
  EXPECT_EQ(ReplaceAll(std::string(31000, 'a'), "a", "b", true, result), kReplaceDone);
  EXPECT_EQ(ReplaceErrorText(99), "Unknown error");
  EXPECT_EQ(ReplaceErrorText(kExpandFailed), "Could not replace the variables");
}

TEST(Templates, ExpandTemplateTakesTheTagOfItsContext) {
  IDv1Tag v1;
  v1.Title = "T1";
  v1.Artist = "A1";
  v1.Genre = "Rock";
  v1.Track = 7;
  IDv2Tag v2;
  v2.Title = "%artist%";  // names a later variable: expanded again
  v2.Artist = "A2";
  v2.Composer = "C2";
  v2.Year = "%title%";  // names an earlier one: stays
  IDv2Tag empty;
  struct Case {
    std::string pattern;
    int context;
    std::string expected;
    const IDv2Tag* tag2;
  };
  const Case cases[] = {
      {"%artist% - %title%", 1, "A1 - T1", &v2},
      {"%artist% - %title%", 2, " - ", &empty},  // no fallback to the other tag
      {"%title%", 2, "A2", &v2},
      {"%year%", 2, "%title%", &v2},
      {"%composer%|%composer%", 1, "|", &v2},
      {"%composer%", 2, "C2", &v2},
      {"%title1% %title2%", 1, "T1 %artist%", &v2},  // %artist% came first
      {"%TITLE1% %Title1% %title1", 1, "T1 T1 %title1", &v2},
      {"%track% %track2% %genre1% %other%", 1, "7 0 Rock %other%", &v2},
      {"", 1, "", &v2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    std::string result = "stale";
    EXPECT_EQ(ExpandTemplate(c.pattern, result, v1, *c.tag2, c.context), kReplaceDone);
    EXPECT_EQ(result, c.expected);
  }
}

}  // namespace
}  // namespace tagmora
