#include "playlist/M3U.h"

#include <sys/stat.h>

#include "app/Fakes.h"
#include "playlist/Playlist.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

class M3UTest : public ::testing::Test {
 protected:
  std::string Read(const std::string& bytes, bool clearFirst = true) {
    test::WriteFile(dir / "list.m3u", bytes);
    return ReadM3U(dir / "list.m3u", list, clearFirst);
  }

  test::TempDir dir;
  test::FakePoster poster;
  Playlist list{poster};
};

TEST_F(M3UTest, RoundTripKeepsItemsAndWritesCrlfLines) {
  std::vector<std::string> items = {"/m/b.mp3", "relative/a.mp3", "/m/b.mp3",
                                    "/m/\xC3\xA9t\xC3\xA9 #1.mp3"};
  list.AppendAll(items);
  EXPECT_EQ(WriteM3U(dir / "out.m3u", list), "OK");
  EXPECT_EQ(test::ReadFile(dir / "out.m3u"),
            "#EXTM3U\r\n/m/b.mp3\r\nrelative/a.mp3\r\n/m/b.mp3\r\n/m/\xC3\xA9t\xC3\xA9 #1.mp3\r\n");
  list.Append("other");
  EXPECT_EQ(ReadM3U(dir / "out.m3u", list, true), "OK");
  EXPECT_EQ(list.Items(), items);

  Playlist empty(poster);
  EXPECT_EQ(WriteM3U(dir / "empty.m3u", empty), "OK");
  EXPECT_EQ(test::ReadFile(dir / "empty.m3u"), "#EXTM3U\r\n");
}

TEST_F(M3UTest, RefusesFilesWithoutTheExactHeaderAndLeavesTheList) {
  list.Append("kept");
  for (std::string bytes : {"#EXTM3U \r\n/a.mp3\r\n", "#extm3u\n/a.mp3\n", "\n#EXTM3U\n/a.mp3\n",
                            "", "\xEF\xBB\xBF#EXTM3U\n", " #EXTM3U\n"}) {
    EXPECT_EQ(Read(bytes), dir / "list.m3u" + " is not a valid M3U file!") << bytes;
    EXPECT_EQ(list.Items(), std::vector<std::string>{"kept"});
  }
}

TEST_F(M3UTest, HeaderAloneEmptiesTheListOnlyWhenAskedTo) {
  list.Append("kept");
  EXPECT_EQ(Read("#EXTM3U\r\n", false), "OK");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(Read("#EXTM3U"), "OK");
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(M3UTest, DropsOnlyExtinfLinesAndKeepsEveryOtherLineAsItIs) {
  EXPECT_EQ(Read("#EXTM3U\r\n"
                 "#EXTINF:123,Artist - Title\r\n"
                 "/m/a.mp3\n"
                 "  #extinf:5,lower case, after blanks\r\n"
                 "#EXTVLCOPT:x\r\n"
                 "\r\n"
                 "  relative/b.mp3  \n"
                 "old mac\rline\r\n"
                 "last without line end"),
            "OK");
  EXPECT_EQ(list.Items(),
            (std::vector<std::string>{"/m/a.mp3", "#EXTVLCOPT:x", "", "  relative/b.mp3  ",
                                      "old mac", "line", "last without line end"}));
}

TEST_F(M3UTest, EveryStatusText) {
  for (const std::string& name : {std::string("/m/folder/"), std::string("")}) {
    EXPECT_EQ(ReadM3U(name, list, true), "FileName is invalid!");
    EXPECT_EQ(WriteM3U(name, list), "FileName is invalid!");
  }
  EXPECT_EQ(ReadM3U(dir / "missing.m3u", list, true), "FileName does NOT exists!");
  EXPECT_EQ(ReadM3U(dir.Path(), list, true), "FileName does NOT exists!");
  EXPECT_EQ(WriteM3U(dir / "no/such/list.m3u", list),
            "File not found. No such file or directory.File: " + dir / "no/such/list.m3u");
  // A write that fails leaves the list it was to replace whole.
  test::WriteFile(dir / "kept.m3u", "#EXTM3U\r\n/old.mp3\r\n");
  ASSERT_EQ(::mkdir((dir / "kept.m3u.new").c_str(), 0755), 0);
  EXPECT_NE(WriteM3U(dir / "kept.m3u", list), "OK");
  EXPECT_EQ(test::ReadFile(dir / "kept.m3u"), "#EXTM3U\r\n/old.mp3\r\n");
  EXPECT_EQ(FileNamePart("/m/list.m3u"), "list.m3u");
  EXPECT_EQ(FileNamePart("list.m3u"), "list.m3u");
}

}  // namespace
}  // namespace tagmora
