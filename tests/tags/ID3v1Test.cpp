#include "tags/ID3v1.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/FileSystem.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::V1Record;
using test::WriteFile;

const std::string kAudio(1000, '\x55');

std::string LastRecord(const std::string& path) {
  std::string bytes = ReadFile(path);
  return bytes.size() < 128 ? "" : bytes.substr(bytes.size() - 128);
}

TID3v1 Read(const std::string& path) {
  TID3v1 tag;
  EXPECT_TRUE(tag.ReadTag(path));
  return tag;
}

TEST(ID3v1, FileWithoutRecordReadsAsCleared) {
  TempDir dir;
  WriteFile(dir / "a.mp3", kAudio);
  TID3v1 tag;
  tag.SetTitle("left over");
  tag.SetTrack(3);
  ASSERT_TRUE(tag.ReadTag(dir / "a.mp3"));
  EXPECT_FALSE(tag.Exists());
  EXPECT_EQ(tag.VersionId(), 1);
  EXPECT_EQ(tag.Title(), "");
  EXPECT_EQ(tag.Track(), 0);
  EXPECT_EQ(tag.GenreId(), 255);
  EXPECT_EQ(tag.Genre(), "");
}

TEST(ID3v1, FilesTooShortForARecordFailEveryOperationAndStayUnchanged) {
  TempDir dir;
  for (size_t size : {0, 3, 5, 100, 127}) {
    SCOPED_TRACE(size);
    // Starts with "TAG" so that a careless reader could take it for a record.
    std::string bytes = ("TAG" + std::string(200, 'x')).substr(0, size);
    WriteFile(dir / "short.mp3", bytes);
    TID3v1 tag;
    tag.SetTitle("Title");
    EXPECT_FALSE(tag.ReadTag(dir / "short.mp3"));
    EXPECT_EQ(tag.Title(), "");  // cleared values after a failed read
    tag.SetTitle("Title");
    EXPECT_FALSE(tag.WriteTag(dir / "short.mp3"));
    EXPECT_FALSE(tag.RemoveTag(dir / "short.mp3"));
    EXPECT_EQ(ReadFile(dir / "short.mp3"), bytes);
  }
  // Exactly 128 bytes is the record alone and works.
  WriteFile(dir / "record.mp3", V1Record("Only"));
  EXPECT_EQ(Read(dir / "record.mp3").Title(), "Only");
  TID3v1 tag;
  EXPECT_TRUE(tag.RemoveTag(dir / "record.mp3"));
  EXPECT_EQ(ReadFile(dir / "record.mp3"), "");
}

struct LayoutCase {
  int byte125, byte126;
  uint8_t version, track;
  const char* comment;
};

TEST(ID3v1, Version11IsDecidedByBytes125And126) {
  const LayoutCase cases[] = {
      {0, 7, 2, 7, "abcdefghijklmnopqrstuvwxyz12"},
      {' ', 'A', 2, 65, "abcdefghijklmnopqrstuvwxyz12"},
      {0, ' ', 2, 32, "abcdefghijklmnopqrstuvwxyz12"},
      {' ', ' ', 1, 0, "abcdefghijklmnopqrstuvwxyz12"},  // trailing blanks trimmed
      {0, 0, 1, 0, "abcdefghijklmnopqrstuvwxyz12"},
      {'X', 'Y', 1, 0, "abcdefghijklmnopqrstuvwxyz12XY"},
      {'X', 0, 1, 0, "abcdefghijklmnopqrstuvwxyz12X"},
      {0, 255, 2, 255, "abcdefghijklmnopqrstuvwxyz12"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.byte125 << "," << c.byte126);
    // 28 characters of comment, then the two bytes under test.
    WriteFile(dir / "a.mp3", kAudio + V1Record("T", "", "", "", "abcdefghijklmnopqrstuvwxyz12",
                                               c.byte125, c.byte126, 17));
    TID3v1 tag = Read(dir / "a.mp3");
    EXPECT_TRUE(tag.Exists());
    EXPECT_EQ(tag.VersionId(), c.version);
    EXPECT_EQ(tag.Track(), c.track);
    EXPECT_EQ(tag.Comment(), c.comment);
    EXPECT_EQ(tag.GenreId(), 17);
    EXPECT_EQ(tag.Genre(), "Rock");
  }
}

TEST(ID3v1, FieldsLoseTrailingPaddingOnlyAndKeepInnerZeroBytes) {
  TempDir dir;
  std::string spaces = "Spaced" + std::string(24, ' ');
  WriteFile(dir / "a.mp3", kAudio + V1Record(spaces, "  Lead\t\n", std::string("A\0B", 3),
                                             "99 \x01", "c", 0, 0, 0));
  TID3v1 tag = Read(dir / "a.mp3");
  EXPECT_EQ(tag.Title(), "Spaced");
  EXPECT_EQ(tag.Artist(), "  Lead");
  EXPECT_EQ(tag.Album(), std::string("A\0B", 3));
  EXPECT_EQ(tag.Year(), "99");
  EXPECT_EQ(tag.Genre(), "Blues");  // genre 0 is a real genre, not "none"
}

TEST(ID3v1, TextIsWindows1252OnDiskAndEveryByteSurvivesARewrite) {
  TempDir dir;
  for (int first = 33; first < 256; first += 30) {
    std::string title;
    for (int b = first; b < std::min(first + 30, 256); ++b) title += char(b);
    WriteFile(dir / "a.mp3", kAudio + V1Record(title, "", "", "", "", 0, 0, 255));
    std::string before = LastRecord(dir / "a.mp3");
    TID3v1 tag = Read(dir / "a.mp3");
    tag.SetTitle(tag.Title());
    ASSERT_TRUE(tag.WriteTag(dir / "a.mp3"));
    EXPECT_EQ(LastRecord(dir / "a.mp3"), before) << "bytes from " << first;
  }
  // € and Ÿ are Windows-1252 bytes, not ISO-8859-1 ones; characters the code
  // page cannot hold become '?', one per character.
  TID3v1 tag;
  tag.SetTitle("\u20AC \u65E5\u672C \U0001F3B5 \u00E9");
  tag.SetArtist("\u0178");
  ASSERT_TRUE(tag.WriteTag(dir / "a.mp3"));
  std::string record = LastRecord(dir / "a.mp3");
  EXPECT_EQ(record.substr(3, 10), std::string("\x80 ?? ? \xE9\0\0\0", 10));
  EXPECT_EQ(record[33], '\x9F');
  EXPECT_EQ(Read(dir / "a.mp3").Title(), "\u20AC ?? ? \u00E9");
}

TEST(ID3v1, SettersTrimTheEndAndCountCharactersNotBytes) {
  TID3v1 tag;
  tag.SetTitle(std::string(40, 'a') + "   ");
  EXPECT_EQ(tag.Title(), std::string(30, 'a'));
  tag.SetArtist("  lead stays \t\n\r");
  EXPECT_EQ(tag.Artist(), "  lead stays");
  std::string e30, e31;
  for (int i = 0; i < 30; ++i) e30 += "\u00E9";
  e31 = e30 + "\u00E9";
  tag.SetAlbum(e31);
  EXPECT_EQ(tag.Album(), e30);  // 30 characters are 60 bytes of UTF-8
  tag.SetComment(std::string(29, 'c') + "\u65E5\u672C");
  EXPECT_EQ(tag.Comment(), std::string(29, 'c') + "\u65E5");  // never half a character
  tag.SetYear("2024-05-01");
  EXPECT_EQ(tag.Year(), "2024");
  tag.SetYear(" 99 ");
  EXPECT_EQ(tag.Year(), " 99");

  TempDir dir;
  WriteFile(dir / "a.mp3", kAudio);
  ASSERT_TRUE(tag.WriteTag(dir / "a.mp3"));
  std::string record = LastRecord(dir / "a.mp3");
  EXPECT_EQ(record.substr(63, 30), std::string(30, '\xE9'));
  EXPECT_EQ(Read(dir / "a.mp3").Album(), e30);
}

TEST(ID3v1, WritingLaysOutTheRecordWithZeroPadding) {
  TempDir dir;
  WriteFile(dir / "a.mp3", kAudio);
  TID3v1 tag;
  tag.SetTitle("Title");
  tag.SetArtist("Artist");
  tag.SetAlbum("Album");
  tag.SetYear("1999");
  tag.SetComment(std::string(30, 'C'));
  tag.SetTrack(12);
  tag.SetGenreId(200);
  ASSERT_TRUE(tag.WriteTag(dir / "a.mp3"));
  std::string bytes = ReadFile(dir / "a.mp3");
  ASSERT_EQ(bytes.size(), kAudio.size() + 128);
  EXPECT_EQ(bytes.substr(0, kAudio.size()), kAudio);
  // A track takes the last two comment bytes: 28 characters, 0, 12.
  EXPECT_EQ(bytes.substr(kAudio.size()),
            V1Record("Title", "Artist", "Album", "1999", std::string(28, 'C'), 0, 12, 200));
  TID3v1 back = Read(dir / "a.mp3");
  EXPECT_EQ(back.VersionId(), 2);
  EXPECT_EQ(back.Comment(), std::string(28, 'C'));
  EXPECT_EQ(back.GenreId(), 200);
  EXPECT_EQ(back.Genre(), "");
  // Writing does not change what the object reports about the file.
  EXPECT_FALSE(tag.Exists());
  EXPECT_EQ(tag.VersionId(), 1);

  // Track 0 gives the version 1.0 layout with all 30 comment bytes.
  back.SetTrack(0);
  back.SetComment(std::string(30, 'D'));
  ASSERT_TRUE(back.WriteTag(dir / "a.mp3"));
  bytes = ReadFile(dir / "a.mp3");
  EXPECT_EQ(bytes.size(), kAudio.size() + 128);  // replaced, not added
  TID3v1 v10 = Read(dir / "a.mp3");
  EXPECT_EQ(v10.VersionId(), 1);
  EXPECT_EQ(v10.Track(), 0);
  EXPECT_EQ(v10.Comment(), std::string(30, 'D'));
}

TEST(ID3v1, OnlyTheLast128BytesCount) {
  TempDir dir;
  std::string older = V1Record("Older");
  // A record followed by other data is not a record.
  WriteFile(dir / "a.mp3", kAudio + older + "trailing data");
  EXPECT_FALSE(Read(dir / "a.mp3").Exists());
  TID3v1 tag;
  tag.SetTitle("New");
  ASSERT_TRUE(tag.WriteTag(dir / "a.mp3"));
  EXPECT_EQ(ReadFile(dir / "a.mp3"), kAudio + older + "trailing data" + V1Record("New"));
  // A second record in front of the last one is neither read nor removed.
  EXPECT_EQ(Read(dir / "a.mp3").Title(), "New");
  ASSERT_TRUE(tag.RemoveTag(dir / "a.mp3"));
  EXPECT_EQ(ReadFile(dir / "a.mp3"), kAudio + older + "trailing data");
}

TEST(ID3v1, ReadOnlyFilesAreWrittenAndLoseTheirReadOnlyState) {
  TempDir dir;
  std::string path = dir / "a.mp3";
  WriteFile(path, kAudio);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  TID3v1 tag;
  EXPECT_TRUE(tag.RemoveTag(path));  // no record: nothing to do, nothing changed
  EXPECT_TRUE(IsReadOnly(path));

  tag.SetTitle("New");
  ASSERT_TRUE(tag.WriteTag(path));
  EXPECT_FALSE(IsReadOnly(path));
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);  // other bits kept
  EXPECT_EQ(ReadFile(path), kAudio + V1Record("New"));

  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  ASSERT_TRUE(tag.RemoveTag(path));
  EXPECT_EQ(ReadFile(path), kAudio);
}

}  // namespace
}  // namespace tagmora
