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
  // A legacy (Latin-1) file name beside UTF-8 ones comes back byte for byte.
  test::WriteFile(dir / "L\xE9gende.mp3", "");
  test::WriteFile(dir / "\xC3\xA9t\xC3\xA9 #1.mp3", "");
  std::vector<std::string> items = {"/m/b.mp3", dir / "L\xE9gende.mp3", "/m/b.mp3",
                                    dir / "\xC3\xA9t\xC3\xA9 #1.mp3", "http://radio.test/live"};
  list.AppendAll(items);
  EXPECT_EQ(WriteM3U(dir / "out.m3u", list), "OK");
  std::string expected = "#EXTM3U\r\n";
  for (const std::string& item : items) expected += item + "\r\n";
  EXPECT_EQ(test::ReadFile(dir / "out.m3u"), expected);
  list.Append("other");
  EXPECT_EQ(ReadM3U(dir / "out.m3u", list, true), "OK");
  EXPECT_EQ(list.Items(), items);

  Playlist empty(poster);
  EXPECT_EQ(WriteM3U(dir / "empty.m3u", empty), "OK");
  EXPECT_EQ(test::ReadFile(dir / "empty.m3u"), "#EXTM3U\r\n");
}

TEST_F(M3UTest, ReadsThePlaylistsOtherPlayersWrite) {
  const std::string d = dir.Path();
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {"extended.m3u",
       "#EXTM3U\r\n#EXTINF:215,Artist - Title\r\nAlbum/01 a.mp3\r\n#EXTINF:-1,Radio\r\n"
       "http://radio.test/live.mp3\r\n./b.mp3\r\nup/../c.mp3\r\n/m/./d.mp3\r\n",
       {d + "/Album/01 a.mp3", "http://radio.test/live.mp3", d + "/b.mp3", d + "/c.mp3",
        "/m/./d.mp3"}},
      {"plain.m3u", "/m/a.mp3\n/m/b.mp3", {"/m/a.mp3", "/m/b.mp3"}},
      {"bom.m3u", "\xEF\xBB\xBF#EXTM3U\n/m/a.mp3\n", {"/m/a.mp3"}},
      {"vlc.m3u",
       "#EXTM3U\n#PLAYLIST:Mine\n\n#EXTVLCOPT:network-caching=1000\n/m/a.mp3\n \t\n"
       "  #extinf:5,indented\n/m/x #EXTINF: y.mp3\rold mac\r\x1A",
       {"/m/a.mp3", "/m/x #EXTINF: y.mp3", d + "/old mac"}},
      {"addresses.m3u",
       "file:///m/My%20Music/Bj%C3%B6rk%2x.mp3\nfile://localhost/m/a.mp3\nFILE:/m/b.mp3\n"
       "file://server/share/c.mp3\nfile:///m/cut%00.mp3\n",
       {"/m/My Music/Bj\xC3\xB6rk%2x.mp3", "/m/a.mp3", "/m/b.mp3", "file://server/share/c.mp3",
        "file:///m/cut%00.mp3"}},
      {"legacy.m3u", "#EXTM3U\r\nBj\xF6rk/J\xF3ga \x80.mp3\r\n/m/Bj\xC3\xB6rk.mp3\r\n",
       {d + "/Bj\xC3\xB6rk/J\xC3\xB3ga \xE2\x82\xAC.mp3", "/m/Bj\xC3\xB6rk.mp3"}},
      {"raw.m3u8", "Bj\xC3\xB6rk.mp3\n\xE9t\xE9.mp3\n",
       {d + "/Bj\xC3\xB6rk.mp3", d + "/\xE9t\xE9.mp3"}},
  };
  for (const Case& c : cases) {
    test::WriteFile(dir / c.name, c.bytes);
    list.AppendAll({"kept"});
    EXPECT_EQ(ReadM3U(dir / c.name, list, true), "OK") << c.name;
    EXPECT_EQ(list.Items(), c.entries) << c.name;
  }
}

TEST_F(M3UTest, RefusesFilesThatAreNotTextAndLeavesTheList) {
  list.Append("kept");
  // An MP3 picked by mistake, a stray control character, UTF-16.
  for (std::string bytes : {std::string("ID3\x04\0\0\0\0\0\x10", 10),
                            std::string("#EXTM3U\n/a\x01.mp3\n"),
                            std::string("\xFF\xFE#\0E\0", 6)}) {
    EXPECT_EQ(Read(bytes), dir / "list.m3u" + " is not a valid M3U file!");
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
