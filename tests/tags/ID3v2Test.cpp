#include "tags/ID3v2.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using namespace test;

const std::string kAudio = std::string("\xff\xfb\x90\x64", 4) + std::string(2000, '\x55');

// A file holding `tag` followed by stand-in audio.
std::string MakeFile(const TempDir& dir, const std::string& tag, const std::string& name = "a.mp3") {
  std::string path = dir / name;
  WriteFile(path, tag + kAudio);
  return path;
}

TID3v2 Read(const std::string& path) {
  TID3v2 tag;
  EXPECT_TRUE(tag.ReadTag(path));
  return tag;
}

std::string Utf16(const std::string& utf8Bytes) {  // ASCII only, with a BOM
  std::string out = "\xff\xfe";
  for (char c : utf8Bytes) out += {c, '\0'};
  return out;
}

TEST(ID3v2Read, SameFieldsFromVersions22_23_24) {
  TempDir dir;
  for (int v : {2, 3, 4}) {
    bool v22 = v == 2;
    std::string frames =
        TextFrame(v22 ? "TT2" : "TIT2", "Title", v) + TextFrame(v22 ? "TP1" : "TPE1", "Artist", v) +
        TextFrame(v22 ? "TAL" : "TALB", "Album", v) + TextFrame(v22 ? "TRK" : "TRCK", "3/11", v) +
        TextFrame(v22 ? "TYE" : v == 4 ? "TDRC" : "TYER", "1999", v) +
        TextFrame(v22 ? "TCO" : "TCON", "(17)", v) +
        Frame(v22 ? "COM" : "COMM", std::string("\0eng\0Said", 9), v) +
        TextFrame(v22 ? "TCM" : "TCOM", "Composer", v) + TextFrame(v22 ? "TEN" : "TENC", "Enc", v) +
        TextFrame(v22 ? "TCR" : "TCOP", "Copy", v) + TextFrame(v22 ? "TLA" : "TLAN", "eng", v) +
        Frame(v22 ? "WXX" : "WXXX", std::string("\0\0http://x/", 11), v);
    TID3v2 t = Read(MakeFile(dir, Tag(v, frames, 32), "v" + std::to_string(v)));
    SCOPED_TRACE(v);
    EXPECT_TRUE(t.Exists());
    EXPECT_EQ(t.VersionId(), v);
    EXPECT_EQ(t.Title(), "Title");
    EXPECT_EQ(t.Artist(), "Artist");
    EXPECT_EQ(t.Album(), "Album");
    EXPECT_EQ(t.Track(), 3);
    EXPECT_EQ(t.Year(), "1999");
    EXPECT_EQ(t.Genre(), "Rock");
    EXPECT_EQ(t.Comment(), "Said");
    EXPECT_EQ(t.Composer(), "Composer");
    EXPECT_EQ(t.Encoder(), "Enc");
    EXPECT_EQ(t.Copyright(), "Copy");
    EXPECT_EQ(t.Language(), "eng");
    EXPECT_EQ(t.URL(), "http://x/");
  }
}

TEST(ID3v2Read, TextEncodings) {
  TempDir dir;
  std::string frames =
      Frame("TIT2", std::string("\x01\xff\xfe" "G\0r\0\xfc\0\xe5\x65", 11)) +      // UTF-16 LE, 'Grü日'
      Frame("TPE1", std::string("\x01\xfe\xff\0B\0E", 7)) +                       // UTF-16 BE with BOM
      Frame("TALB", std::string("\x00" "Caf\xe9 \x80", 7));                       // Windows-1252
  TID3v2 t = Read(MakeFile(dir, Tag(3, frames)));
  EXPECT_EQ(t.Title(), "Gr\u00fc\u65e5");
  EXPECT_EQ(t.Artist(), "BE");
  EXPECT_EQ(t.Album(), "Caf\u00e9 \u20ac");

  std::string frames24 = Frame("TIT2", std::string("\x03" "\xc3\xa4\0b\0", 6), 4) +   // UTF-8, two values
                         Frame("TPE1", std::string("\x02\0X\0Y", 5), 4);  // UTF-16BE
  TID3v2 t24 = Read(MakeFile(dir, Tag(4, frames24), "b.mp3"));
  EXPECT_EQ(t24.Title(), "\u00e4/b");
  EXPECT_EQ(t24.Artist(), "XY");
}

TEST(ID3v2Read, UnsynchronisationAndExtendedHeaders) {
  TempDir dir;
  // Tag-level unsynchronisation in 2.3: FF 00 becomes FF again.
  std::string title = std::string("\0\xff\x00\xe0x", 5);
  std::string tag23 = std::string("ID3\x03\x00\x80", 6) + SyncSafe32(10 + 5) + "TIT2" + BigEndian32(4) + std::string(2, '\0') + title;
  EXPECT_EQ(Read(MakeFile(dir, tag23, "u23")).Title(), "\u00ff\u00e0x");

  // Frame-level in 2.4, with a data length indicator.
  std::string data24 = SyncSafe32(4) + std::string("\0\xff\x00\xe0x", 5);
  std::string tag24 = Tag(4, Frame("TIT2", data24, 4, 0x0003));
  EXPECT_EQ(Read(MakeFile(dir, tag24, "u24")).Title(), "\u00ff\u00e0x");

  // Extended headers: 2.3 counts its size without the size bytes, 2.4 with.
  std::string ext23 = BigEndian32(6) + std::string(6, '\0');
  EXPECT_EQ(Read(MakeFile(dir, Tag(3, ext23 + TextFrame("TIT2", "E3"), 0, 0x40), "e23")).Title(), "E3");
  std::string ext24 = SyncSafe32(6) + std::string("\x01\x00", 2);
  EXPECT_EQ(Read(MakeFile(dir, Tag(4, ext24 + TextFrame("TIT2", "E4", 4), 0, 0x40), "e24")).Title(), "E4");
  // The flag without the header: frames follow at once.
  EXPECT_EQ(Read(MakeFile(dir, Tag(4, TextFrame("TIT2", "NoExt", 4), 0, 0x40), "e0")).Title(), "NoExt");
}

TEST(ID3v2Read, PlainSizesInVersion24) {
  // Some writers put plain 32-bit sizes in 2.4 tags; 200 is not sync-safe.
  TempDir dir;
  std::string picture = std::string("\0image/png\0\x03\0", 14) + std::string(186, 'p');
  std::string apic = "APIC" + BigEndian32(200) + std::string(2, '\0') + picture;
  std::string tag = Tag(4, apic + TextFrame("TIT2", "After picture", 4), 16);
  EXPECT_EQ(Read(MakeFile(dir, tag)).Title(), "After picture");
}

TEST(ID3v2Read, TrackTexts) {
  TempDir dir;
  const std::pair<std::string, int> cases[] = {
      {"3/12", 3}, {" 7 ", 7}, {"A1", 0}, {"300", 44}, {"05/09", 5}, {"-1", 255},
      {"", 0},     {"/5", 0},  {"99999999999", 0}, {"+4", 4}, {"1 2", 0}};
  for (const auto& [text, track] : cases) {
    TID3v2 t = Read(MakeFile(dir, Tag(3, TextFrame("TRCK", text))));
    EXPECT_EQ(t.Track(), track) << "'" << text << "'";
  }
}

TEST(ID3v2Read, GenreTexts) {
  TempDir dir;
  const std::pair<std::string, std::string> cases[] = {
      {"(17)Rock", "Rock"},     {"(13)", "Pop"},          {"13", "Pop"},
      {"(13)Pop", "Pop"},       {"Rock (live)", "Rock (live)"}, {"(17)(18)", "Rock"},
      {"(200)", "(200)"},       {"200", "200"},           {"(RX)", "Remix"},
      {"((Not a ref)", "((Not a ref)"}, {"Synthpop", "Synthpop"}, {"(17) Rock ", "Rock"},
      {"(17)13", "Pop"},        {"(17)(abc)", "(abc)"},   {"()", "()"},
      {"", ""}};
  for (const auto& [text, genre] : cases) {
    TID3v2 t = Read(MakeFile(dir, Tag(3, TextFrame("TCON", text))));
    EXPECT_EQ(t.Genre(), genre) << "'" << text << "'";
  }
  // Several values of a 2.4 tag each resolve.
  TID3v2 t = Read(MakeFile(dir, Tag(4, Frame("TCON", std::string("\x00" "17\0Jazz", 8), 4))));
  EXPECT_EQ(t.Genre(), "Rock/Jazz");
}

TEST(ID3v2Read, CommentAndUrlAreTheFramesWithoutDescription) {
  TempDir dir;
  std::string frames = Frame("COMM", std::string("\0eng", 4) + "iTunNORM" + '\0' + " 0000") +
                       Frame("COMM", std::string("\x01" "eng", 4) + Utf16("") + std::string(2, '\0') + Utf16("Mine")) +
                       Frame("COMM", std::string("\0deu\0Second", 11)) +
                       Frame("WXXX", std::string("\0Home\0http://home/", 18)) +
                       Frame("WXXX", std::string("\0\0http://mine/", 14));
  TID3v2 t = Read(MakeFile(dir, Tag(3, frames)));
  EXPECT_EQ(t.Comment(), "Mine");
  EXPECT_EQ(t.URL(), "http://mine/");
  // Only described frames: no comment, no URL.
  TID3v2 none = Read(MakeFile(dir, Tag(3, Frame("COMM", std::string("\0engD\0T", 7))), "b"));
  EXPECT_EQ(none.Comment(), "");
}

TEST(ID3v2Read, HeaderCases) {
  TempDir dir;
  WriteFile(dir / "five", std::string("ID3\x03\x00", 5));
  TID3v2 t;
  EXPECT_FALSE(t.ReadTag(dir / "five"));
  EXPECT_FALSE(t.ReadTag(dir / "missing"));
  EXPECT_FALSE(t.ReadTag(dir.Path()));

  TID3v2 none = Read(MakeFile(dir, "", "none"));
  EXPECT_FALSE(none.Exists());
  EXPECT_EQ(none.VersionId(), 0);
  EXPECT_EQ(none.Size(), 0);

  TID3v2 empty = Read(MakeFile(dir, Tag(3, ""), "empty"));
  EXPECT_TRUE(empty.Exists());
  EXPECT_EQ(empty.Size(), 10);

  // Only offset 0 counts.
  TID3v2 late = Read(MakeFile(dir, std::string(1, '\0') + Tag(3, TextFrame("TIT2", "x")), "late"));
  EXPECT_FALSE(late.Exists());

  // The size bytes are used whole: 0x80 in the last byte adds 128.
  std::string unmasked = std::string("ID3\x03\x00\x00", 6) + std::string("\0\0\0\x80", 4) + std::string(200, '\0');
  EXPECT_EQ(Read(MakeFile(dir, unmasked, "unmasked")).Size(), 138);

  // A frame running past the tag keeps what is there.
  std::string runs = "TIT2" + BigEndian32(5000) + std::string(2, '\0') + std::string("\0Cut", 4);
  TID3v2 r = Read(MakeFile(dir, Tag(3, runs), "runs"));
  EXPECT_EQ(r.Title(), "Cut");
}

TEST(ID3v2Read, LaterFrameReplacesEarlierAndLongTextsStayWhole) {
  TempDir dir;
  std::string title(400, 'x');
  std::string frames = TextFrame("TIT2", "First") + TextFrame("TIT2", title);
  TID3v2 t = Read(MakeFile(dir, Tag(3, frames)));
  EXPECT_EQ(t.Title(), title);
  // TDRC wins over a TYER beside it in 2.4, in either order.
  TID3v2 y = Read(MakeFile(dir, Tag(4, TextFrame("TDRC", "2005-09-05", 4) + TextFrame("TYER", "1999", 4)), "y"));
  EXPECT_EQ(y.Year(), "2005-09-05");
}

TEST(ID3v2Setters, TrimBothEnds) {
  TID3v2 t;
  t.SetTitle("  \t Title \n\0 ");
  EXPECT_EQ(t.Title(), "Title");
}

}  // namespace
}  // namespace tagmora
