#include "editing/TagAccess.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/FileSystem.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::ReadFile;
using test::Tag;
using test::TempDir;
using test::TextFrame;
using test::V1Record;
using test::WriteFile;

const std::string kAudio(2000, '\x55');

IDv1Tag FilledV1() {
  IDv1Tag v1;
  v1.Exists = true;
  v1.VersionId = 2;
  v1.Title = "caller's title";
  v1.Track = 9;
  v1.GenreId = 3;
  v1.Genre = "Dance";
  return v1;
}

IDv2Tag FilledV2() {
  IDv2Tag v2;
  v2.Exists = true;
  v2.VersionId = 3;
  v2.Size = 77;
  v2.Title = "caller's title";
  v2.URL = "http://caller/";
  return v2;
}

TEST(TagAccess, MissingFilesAndFoldersLeaveTheRecordsAsPassed) {
  TempDir dir;
  ASSERT_TRUE(CreateFolder(dir / "x.mp3"));
  for (const std::string& path : {dir / "missing.mp3", dir / "x.mp3"}) {
    IDv1Tag v1 = FilledV1();
    IDv2Tag v2 = FilledV2();
    EXPECT_EQ(ReadTags(path, v1, v2), "File does NOT exist");
    EXPECT_EQ(v1, FilledV1());
    EXPECT_EQ(v2, FilledV2());
    EXPECT_EQ(WriteID3v1Tag(path, FilledV1()), "File does NOT exist");
    EXPECT_EQ(WriteID3v2Tag(path, FilledV2()), "File does NOT exist");
  }
  EXPECT_TRUE(DirectoryExists(dir / "x.mp3"));
  EXPECT_FALSE(FileExists(dir / "missing.mp3"));
}

// Short, broken and untagged files: the read names the tag that failed and
// clears the records; a failed write or a remove of a missing tag changes
// nothing.
TEST(TagAccess, StatusesOfShortAndUntaggedFiles) {
  TempDir dir;
  std::string path = dir / "a.mp3";
  struct Case {
    std::string bytes;
    const char* status;
    bool hasV2;
  } cases[] = {
      {"", "Error reading ID3v2 Tag: ", false},  // both fail: the ID3v2 text wins
      {std::string("ID3\x03\x00", 5), "Error reading ID3v2 Tag: ", false},
      {std::string(100, 'x'), "Error reading ID3v1 Tag: ", false},
      {Tag(3, TextFrame("TIT2", "Short")), "Error reading ID3v1 Tag: ", true},
      {kAudio, "OK", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.size());
    WriteFile(path, c.bytes);
    IDv1Tag v1 = FilledV1();
    IDv2Tag v2 = FilledV2();
    EXPECT_EQ(ReadTags(path, v1, v2), c.status);
    EXPECT_EQ(v1, IDv1Tag{});  // the cleared values of the failed reader
    // A file too short for ID3v1 still reads its ID3v2 tag.
    EXPECT_EQ(v2.Title, c.hasV2 ? "Short" : "");
    EXPECT_TRUE(c.hasV2 || v2 == IDv2Tag{});

    bool tooShort = c.bytes.size() < 128;
    EXPECT_EQ(WriteID3v1Tag(path, IDv1Tag{}), tooShort ? "Error writing ID3v1 Tag: " : "OK");
    if (tooShort) {
      EXPECT_EQ(WriteID3v1Tag(path, FilledV1()), "Error writing ID3v1 Tag: ");
    }
    // The ID3v2 remover answers false when there is nothing to remove.
    if (!c.hasV2) {
      EXPECT_EQ(WriteID3v2Tag(path, IDv2Tag{}), "Error writing ID3v2 Tag: ");
    }
    EXPECT_EQ(ReadFile(path), c.bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()), {}), 1) << "no temporary file stays";
  }
}

TEST(TagAccess, BothTagsReadIntoTheRecords) {
  TempDir dir;
  std::string frames = TextFrame("TIT2", "V2 Title") + TextFrame("TRCK", "4/9") +
                       TextFrame("TCON", "(17)");
  WriteFile(dir / "a.mp3", Tag(3, frames, 50) + kAudio +
                               V1Record("V1 Title", "", "", "1999", "", 0, 5, 13));
  IDv1Tag v1;
  IDv2Tag v2;
  ASSERT_EQ(ReadTags(dir / "a.mp3", v1, v2), "OK");
  EXPECT_TRUE(v1.Exists);
  EXPECT_EQ(v1.VersionId, 2);
  EXPECT_EQ(v1.Title, "V1 Title");
  EXPECT_EQ(v1.Year, "1999");
  EXPECT_EQ(v1.Track, 5);
  EXPECT_EQ(v1.Genre, "Pop");
  EXPECT_TRUE(v2.Exists);
  EXPECT_EQ(v2.VersionId, 3);
  EXPECT_EQ(v2.Size, int32_t(10 + frames.size() + 50));
  EXPECT_EQ(v2.Title, "V2 Title");
  EXPECT_EQ(v2.Track, 4);
  EXPECT_EQ(v2.Genre, "Rock");
}

// Rewritten (no tag yet) and in place, ID3v1 and ID3v2: the option keeps the time.
TEST(TagAccess, KeepingTheModificationTime) {
  TempDir dir;
  const std::string path = dir / "a.mp3";
  const struct timespec old[2] = {{1000000000, 0}, {1000000000, 123}};
  for (bool keep : {true, false}) {
    WriteFile(path, kAudio);
    for (const char* title : {"rewritten", "in place"}) {
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
      IDv2Tag v2 = FilledV2();
      v2.Title = title;
      ASSERT_EQ(WriteID3v1Tag(path, FilledV1(), {keep}), "OK");
      ASSERT_EQ(WriteID3v2Tag(path, v2, {keep}), "OK");
      struct stat st;
      ASSERT_EQ(::stat(path.c_str(), &st), 0);
      EXPECT_EQ(st.st_mtim.tv_sec == old[1].tv_sec && st.st_mtim.tv_nsec == old[1].tv_nsec, keep);
    }
  }
}

TEST(TagAccess, TheRecordsExistsFieldDecidesWriteOrRemove) {
  TempDir dir;
  WriteFile(dir / "a.mp3", kAudio + V1Record("Old"));
  IDv1Tag v1;
  v1.Exists = true;
  v1.VersionId = 1;      // plays no part
  v1.Genre = "Ignored";  // only GenreId is written
  v1.GenreId = 17;
  v1.Title = std::string(35, 'T');
  ASSERT_EQ(WriteID3v1Tag(dir / "a.mp3", v1), "OK");
  IDv1Tag back;
  IDv2Tag v2;
  ASSERT_EQ(ReadTags(dir / "a.mp3", back, v2), "OK");
  EXPECT_EQ(back.Title, std::string(30, 'T'));
  EXPECT_EQ(back.Genre, "Rock");
  EXPECT_EQ(ReadFile(dir / "a.mp3").size(), kAudio.size() + 128);

  v1.Exists = false;
  ASSERT_EQ(WriteID3v1Tag(dir / "a.mp3", v1), "OK");
  EXPECT_EQ(ReadFile(dir / "a.mp3"), kAudio);
}

}  // namespace
}  // namespace tagmora
