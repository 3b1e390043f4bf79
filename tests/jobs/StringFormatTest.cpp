// The letter-case conversions and where the update job applies them.

#include "jobs/StringFormat.h"
#include "jobs/StepsFixture.h"

namespace tagmora {
namespace {

TEST(StringFormatTest, ConversionsChangeOnlyAToZ) {
  const struct {
    CaseFormat format;
    const char* text;
    const char* expected;
  } cases[] = {
      {CaseFormat::EachWord, "hello  world", "Hello  World"},
      {CaseFormat::EachWord, "rock-n-roll", "Rock-n-roll"},
      {CaseFormat::EachWord, "(live) version", "(live) Version"},
      {CaseFormat::EachWord, "élan vital\tTWO", "élan Vital\ttwo"},
      {CaseFormat::EachWord, "", ""},
      {CaseFormat::FirstLetter, "THE END", "The end"},
      {CaseFormat::FirstLetter, " leading BLANK", " leading blank"},
      {CaseFormat::FirstLetter, "", ""},
      {CaseFormat::Upper, "café été 1-2!", "CAFé éTé 1-2!"},
      {CaseFormat::Lower, "ÀB ÉCOLE", "Àb École"},
      {CaseFormat::Unchanged, "MiXeD", "MiXeD"},
  };
  for (const auto& row : cases)
    EXPECT_EQ(FormatCase(row.format, row.text), row.expected) << row.text;
  EXPECT_EQ(CaseFormatAt(-1), CaseFormat::Unchanged);
  EXPECT_EQ(CaseFormatAt(5), CaseFormat::Unchanged);
  EXPECT_EQ(CaseFormatAt(4), CaseFormat::EachWord);
}

TEST(StringFormatTest, EachPassFormatsItsOwnFields) {
  test::TempDir dir;
  const std::string path = dir / "song.mp3";
  IDv2Tag v2;
  v2.Exists = true;
  v2.Title = "the title";
  v2.Album = "mIxEd";
  v2.Composer = "bach";
  v2.Encoder = "lame";
  test::MakeTagged(path, {}, v2);
  UpdateOptions options;
  options.templates[kFieldTitle] = "%title2%";
  options.stringFormat.formats.fill(CaseFormat::Upper);
  options.stringFormat.formats[2] = CaseFormat::Unchanged;  // Album

  // The step switched off changes nothing.
  options.replaceV1 = false;
  options.replaceV2 = true;
  test::RunUpdate(options, {path});
  EXPECT_EQ(test::V2Of(path).Title, "the title");

  // ID3v1 has no composer or encoder: the ID3v2 tag stays as it was.
  options.stringFormat.enabled = true;
  options.replaceV1 = true;
  options.replaceV2 = false;
  test::RunUpdate(options, {path});
  EXPECT_EQ(test::V1Of(path).Title, "THE TITLE");
  EXPECT_EQ(test::V2Of(path).Composer, "bach");

  options.replaceV2 = true;
  test::RunUpdate(options, {path});
  v2 = test::V2Of(path);
  EXPECT_EQ((std::vector<std::string>{v2.Title, v2.Album, v2.Composer, v2.Encoder}),
            (std::vector<std::string>{"THE TITLE", "mIxEd", "BACH", "LAME"}));
}

}  // namespace
}  // namespace tagmora
