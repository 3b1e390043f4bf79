#include "tags/ID3v2.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"
#include "tags/id3v2/TagParser.h"

namespace tagmora {
namespace {

using namespace test;
using namespace std::string_literals;

const std::string kAudio = std::string("\xff\xfb\x90\x64", 4) + std::string(3000, '\x5a');

std::string MakeFile(const TempDir& dir, const std::string& tag, const std::string& name = "a.mp3") {
  std::string path = dir / name;
  WriteFile(path, tag + kAudio);
  return path;
}

// The frames of the file's tag, in their 2.3 form.
std::vector<id3v2::Frame> FramesOf(const std::string& path) {
  std::string bytes = ReadFile(path);
  id3v2::Header h = id3v2::ParseHeader(reinterpret_cast<const unsigned char*>(bytes.data()));
  EXPECT_TRUE(h.present);
  return id3v2::ParseFrames(h, std::string_view(bytes).substr(10, size_t(h.size) - 10));
}

std::string AfterTag(const std::string& path) {
  std::string bytes = ReadFile(path);
  id3v2::Header h = id3v2::ParseHeader(reinterpret_cast<const unsigned char*>(bytes.data()));
  return h.present ? bytes.substr(size_t(h.size)) : bytes;
}

// A tag as a full rewrite writes it: the frames, then the padding.
std::string Written(const std::string& frames) {
  return Tag(3, frames, size_t(TID3v2::PaddingFor(int64_t(frames.size()))));
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  EXPECT_EQ(::stat(path.c_str(), &st), 0);
  return st.st_mode & 07777;
}

void SetAll(TID3v2& t) {
  t.SetTitle("Title");
  t.SetArtist("Artist");
  t.SetAlbum("Album");
  t.SetTrack(7);
  t.SetYear("2001");
  t.SetGenre("Rock");
  t.SetComment("Comment");
  t.SetComposer("Composer");
  t.SetEncoder("Encoder");
  t.SetCopyright("Copyright");
  t.SetLanguage("eng");
  t.SetURL("http://u/");
}

TEST(ID3v2Write, TwelveFramesInOrderWithExactBytes) {
  TempDir dir;
  std::string path = MakeFile(dir, "");
  TID3v2 t;
  SetAll(t);
  ASSERT_TRUE(t.WriteTag(path));
  std::string expected =
      TextFrame("TIT2", "Title") + TextFrame("TPE1", "Artist") + TextFrame("TALB", "Album") +
      TextFrame("TRCK", "7") + TextFrame("TYER", "2001") + TextFrame("TCON", "Rock") +
      Frame("COMM", std::string("\0eng\0Comment", 12)) + TextFrame("TCOM", "Composer") +
      TextFrame("TENC", "Encoder") + TextFrame("TCOP", "Copyright") +
      TextFrame("TLAN", "eng") + Frame("WXXX", std::string("\0\0http://u/", 11));
  EXPECT_TRUE(ReadFile(path) == Written(expected) + kAudio);

  TID3v2 back;
  ASSERT_TRUE(back.ReadTag(path));
  EXPECT_EQ(back.Title(), "Title");
  EXPECT_EQ(back.Track(), 7);
  EXPECT_EQ(back.URL(), "http://u/");
  EXPECT_EQ(back.Size(), int32_t(Written(expected).size()));
}

TEST(ID3v2Write, EmptyFieldsAndSizes) {
  TempDir dir;
  std::string old = TextFrame("TIT2", "Old");
  std::string path = MakeFile(dir, Tag(3, old));
  TID3v2 empty;
  ASSERT_TRUE(empty.WriteTag(path));
  // In place: the old frame's bytes become padding.
  EXPECT_TRUE(ReadFile(path) == Tag(3, "", old.size()) + kAudio);

  // Frames totalling 20000 bytes, and their padding: 1 KiB and 1/64 of them.
  EXPECT_EQ(TID3v2::PaddingFor(20000), 1024 + 312);
  TID3v2 big;
  big.SetTitle(std::string(20000 - 11, 't'));
  ASSERT_TRUE(big.WriteTag(path));
  std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.substr(6, 4), std::string("\0\x01\x26\x58", 4));
  TID3v2 back;
  ASSERT_TRUE(back.ReadTag(path));
  EXPECT_EQ(back.Size(), 20010 + 1336);
  EXPECT_EQ(back.Title().size(), 20000u - 11);
  EXPECT_TRUE(AfterTag(path) == kAudio);
}

TEST(ID3v2Write, TextOutsideLatin1IsUtf16) {
  TempDir dir;
  std::string path = MakeFile(dir, "");
  TID3v2 t;
  t.SetTitle("Gr\u00fc\u00dfe \u65e5\u672c");
  t.SetArtist("Caf\u00e9");
  t.SetComment("\u20ac 5");
  ASSERT_TRUE(t.WriteTag(path));
  auto frames = FramesOf(path);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].data.substr(0, 3), "\x01\xff\xfe");
  EXPECT_EQ(frames[1].data, "\0Caf\xe9"s);
  EXPECT_EQ(frames[2].data.substr(0, 8), "\x01" "eng\xff\xfe\0\0"s);
  TID3v2 back;
  ASSERT_TRUE(back.ReadTag(path));
  EXPECT_EQ(back.Title(), "Gr\u00fc\u00dfe \u65e5\u672c");
  EXPECT_EQ(back.Artist(), "Caf\u00e9");
  EXPECT_EQ(back.Comment(), "\u20ac 5");

  // U+0080 to U+009F would read back as other Windows-1252 characters;
  // a URL's characters beyond Latin-1 are percent-encoded.
  TID3v2 c1;
  c1.SetTitle("a\u0080b");
  c1.SetURL("http://x/\u00e9\u65e5");
  ASSERT_TRUE(c1.WriteTag(path));
  ASSERT_TRUE(back.ReadTag(path));
  EXPECT_EQ(back.Title(), "a\u0080b");
  EXPECT_EQ(back.URL(), "http://x/\u00e9%E6%97%A5");
}

TEST(ID3v2Write, KeepsEveryOtherFrameInOrder) {
  TempDir dir;
  std::string apic = Frame("APIC", std::string("\0image/png\0\x03\0", 14) + std::string(5000, '\x89'));
  std::string txxx = Frame("TXXX", std::string("\0key\0value", 10), 3, 0x4000);
  std::string commDesc = Frame("COMM", std::string("\0engiTunNORM\0 00", 16));
  std::string wxxxDesc = Frame("WXXX", std::string("\0Home\0http://h/", 15));
  std::string priv = Frame("PRIV", std::string("owner\0\xff\xfe\x00", 9));
  std::string tag = Tag(3, TextFrame("TIT2", "Old") + apic + txxx + commDesc +
                               Frame("COMM", std::string("\0eng\0Mine", 9)) + wxxxDesc + priv, 500);
  std::string path = MakeFile(dir, tag);
  TID3v2 t;
  ASSERT_TRUE(t.ReadTag(path));
  EXPECT_EQ(t.Comment(), "Mine");
  t.SetTitle("New");
  ASSERT_TRUE(t.WriteTag(path));
  std::string expected = TextFrame("TIT2", "New") +
                         Frame("COMM", std::string("\0eng\0Mine", 9)) + apic + txxx +
                         commDesc + wxxxDesc + priv;
  EXPECT_TRUE(ReadFile(path) == Tag(3, expected, 500) + kAudio);
}

TEST(ID3v2Write, Version24BecomesVersion23) {
  TempDir dir;
  std::string frames =
      Frame("TIT2", std::string("\x03" "T\xc3\xbc", 4), 4) +
      Frame("TDRC", std::string("\x03" "2006-05-04", 11), 4) +
      Frame("TXXX", std::string("\x03" "k\0\xe6\x97\xa5", 6), 4) +  // UTF-8 becomes UTF-16
      Frame("TPE2", std::string("\x03" "plain", 6), 4, 0x1000) +    // read-only flag moves
      Frame("PRIV", SyncSafe32(3) + "o\0x"s, 4, 0x0001) +              // length indicator goes
      Frame("TSOP", std::string("\x00" "Sort", 5), 4);
  std::string path = MakeFile(dir, Tag(4, frames));
  TID3v2 t;
  ASSERT_TRUE(t.ReadTag(path));
  EXPECT_EQ(t.Year(), "2006-05-04");
  ASSERT_TRUE(t.WriteTag(path));

  std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes[3], 3);
  auto out = FramesOf(path);
  ASSERT_EQ(out.size(), 6u);
  EXPECT_EQ(out[0].id, "TIT2");
  EXPECT_EQ(out[0].data, "\0T\xfc"s);
  EXPECT_EQ(out[1].id, "TYER");
  EXPECT_EQ(out[1].data, "\0" "2006-05-04"s);
  EXPECT_EQ(out[2].id, "TXXX");
  EXPECT_EQ(out[2].data, "\x01\xff\xfek\0\0\0\xff\xfe\xe5\x65"s);
  EXPECT_EQ(out[3].id, "TPE2");
  EXPECT_EQ(out[3].status, 0x20);
  EXPECT_EQ(out[3].data, "\0plain"s);
  EXPECT_EQ(out[4].id, "PRIV");
  EXPECT_EQ(out[4].format, 0);
  EXPECT_EQ(out[4].data, "o\0x"s);
  EXPECT_EQ(out[5].id, "TSOP");
  EXPECT_TRUE(AfterTag(path) == kAudio);
}

TEST(ID3v2Write, Version22FramesTakeTheir23Names) {
  TempDir dir;
  std::string frames = TextFrame("TT2", "Title", 2) + TextFrame("TP2", "Band", 2) +
                       Frame("PIC", std::string("\0JPG\x03\0", 6) + "jpegdata", 2) +
                       Frame("CRM", "encrypted meta", 2);
  std::string path = MakeFile(dir, Tag(2, frames));
  TID3v2 t;
  ASSERT_TRUE(t.ReadTag(path));
  ASSERT_TRUE(t.WriteTag(path));
  auto out = FramesOf(path);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].id, "TIT2");
  EXPECT_EQ(out[1].id, "TPE2");
  EXPECT_EQ(out[1].data, "\0Band"s);
  EXPECT_EQ(out[2].id, "APIC");
  EXPECT_EQ(out[2].data, "\0image/jpeg\0\x03\0jpegdata"s);
}

TEST(ID3v2Write, TrackTextStaysWhileItsNumberDoes) {
  TempDir dir;
  std::string path = MakeFile(dir, Tag(3, TextFrame("TRCK", "03/12")));
  const size_t frameSize = TextFrame("TRCK", "03/12").size();
  TID3v2 t;
  ASSERT_TRUE(t.ReadTag(path));
  ASSERT_TRUE(t.WriteTag(path));
  EXPECT_EQ(FramesOf(path)[0].data, "\0" "03/12"s);
  t.SetTrack(4);
  ASSERT_TRUE(t.WriteTag(path));
  EXPECT_EQ(FramesOf(path)[0].data, "\0" "4"s);
  t.SetTrack(0);
  ASSERT_TRUE(t.WriteTag(path));
  EXPECT_TRUE(ReadFile(path) == Tag(3, "", frameSize) + kAudio);

  // A text that reads as no number stays too, while the track is 0.
  std::string garbled = MakeFile(dir, Tag(3, TextFrame("TRCK", "A1")), "b.mp3");
  ASSERT_TRUE(t.WriteTag(garbled));
  EXPECT_EQ(FramesOf(garbled)[0].data, "\0A1"s);
}

TEST(ID3v2Write, CommentKeepsItsLanguage) {
  TempDir dir;
  std::string path = MakeFile(dir, Tag(3, Frame("COMM", "\0deu\0Alt"s)));
  TID3v2 t;
  t.SetComment("Neu");
  ASSERT_TRUE(t.WriteTag(path));
  EXPECT_EQ(FramesOf(path)[0].data, "\0deu\0Neu"s);
  // Three zero bytes name no language.
  std::string quirk = MakeFile(dir, Tag(3, Frame("COMM", "\0\0\0\0\0Old"s)), "b.mp3");
  ASSERT_TRUE(t.WriteTag(quirk));
  EXPECT_EQ(FramesOf(quirk)[0].data, "\0eng\0Neu"s);
}

TEST(ID3v2Write, AnEmptiedCommentOrUrlStaysEmpty) {
  // A second frame without a description must not step in when the
  // program's comment or URL is emptied; it is kept as it was.
  TempDir dir;
  std::string second = Frame("COMM", "\0deu\0Zweiter"s) + Frame("WXXX", "\0\0http://2/"s);
  std::string path = MakeFile(
      dir, Tag(3, Frame("COMM", "\0eng\0First"s) + Frame("WXXX", "\0\0http://1/"s) + second));
  TID3v2 t;
  ASSERT_TRUE(t.ReadTag(path));
  EXPECT_EQ(t.Comment(), "First");
  EXPECT_EQ(t.URL(), "http://1/");
  t.SetComment("");
  t.SetURL("");
  ASSERT_TRUE(t.WriteTag(path));
  TID3v2 back;
  ASSERT_TRUE(back.ReadTag(path));
  EXPECT_EQ(back.Comment(), "");
  EXPECT_EQ(back.URL(), "");
  EXPECT_TRUE(ReadFile(path).find(second) != std::string::npos);
  // Alone, an empty comment or URL writes no frame.
  std::string only = Frame("COMM", "\0eng\0Only"s);
  std::string alone = MakeFile(dir, Tag(3, only), "b.mp3");
  ASSERT_TRUE(t.WriteTag(alone));
  EXPECT_TRUE(ReadFile(alone) == Tag(3, "", only.size()) + kAudio);
}

TEST(ID3v2Write, BytesAfterAnUnreadableFrameStay) {
  // Reading stops at an identifier starting with a digit; other programs
  // read on, so a rewrite keeps those bytes behind the frames.
  TempDir dir;
  std::string rest = TextFrame("1BAD", "x") + TextFrame("TPE1", "After");
  std::string path = MakeFile(dir, Tag(3, TextFrame("TIT2", "Before") + rest, 64));
  TID3v2 t;
  ASSERT_TRUE(t.ReadTag(path));
  EXPECT_EQ(t.Artist(), "");
  t.SetTitle("New");
  ASSERT_TRUE(t.WriteTag(path));
  // In place: the frame three bytes shorter leaves three more of padding.
  EXPECT_TRUE(ReadFile(path) == Tag(3, TextFrame("TIT2", "New") + rest, 64 + 3) + kAudio);
}

TEST(ID3v2Write, OldTagGoesWholeWhateverItsLayout) {
  TempDir dir;
  // A 2.4 tag with a footer: the footer goes with it.
  std::string tag24 = Tag(4, TextFrame("TIT2", "F", 4), 0, 0x10);
  std::string footer = "3DI" + tag24.substr(3, 7);
  std::string path = MakeFile(dir, tag24 + footer);
  TID3v2 t;
  t.SetTitle("G");
  ASSERT_TRUE(t.WriteTag(path));
  EXPECT_TRUE(AfterTag(path) == kAudio);

  // A size past the end of the file: the new tag goes in front of everything.
  std::string past = std::string("ID3\x03\x00\x00", 6) + SyncSafe32(100000) + "junk";
  std::string pastPath = MakeFile(dir, past, "past.mp3");
  ASSERT_TRUE(t.WriteTag(pastPath));
  EXPECT_TRUE(ReadFile(pastPath) == Written(TextFrame("TIT2", "G")) + past + kAudio);
  // ... and removing such a tag removes nothing.
  std::string pastPath2 = MakeFile(dir, past, "past2.mp3");
  ASSERT_TRUE(t.RemoveTag(pastPath2));
  EXPECT_TRUE(ReadFile(pastPath2) == past + kAudio);
}

TEST(ID3v2Remove, TakesTheTagAndOnlyTheTag) {
  TempDir dir;
  std::string path = MakeFile(dir, Tag(3, TextFrame("TIT2", "x"), 100));
  TID3v2 t;
  ASSERT_TRUE(t.RemoveTag(path));
  EXPECT_TRUE(ReadFile(path) == kAudio);
  EXPECT_FALSE(t.RemoveTag(path));
  EXPECT_TRUE(ReadFile(path) == kAudio);
  EXPECT_FALSE(t.RemoveTag(dir / "missing"));
  EXPECT_FALSE(t.WriteTag(dir / "missing"));
  EXPECT_FALSE(FileExists(dir / "missing"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(ID3v2Rebuild, KeepsPermissionsOwnerAndLinks) {
  TempDir dir;
  std::string path = MakeFile(dir, "");
  ::chmod(path.c_str(), 0640);
  TID3v2 t;
  t.SetTitle("x");
  ASSERT_TRUE(t.WriteTag(path));
  EXPECT_EQ(ModeOf(path), 0640u);

  // A read-only file is written and loses only its read-only state.
  ::chmod(path.c_str(), 0444);
  ASSERT_TRUE(t.WriteTag(path));
  EXPECT_EQ(ModeOf(path), 0644u);

  // Through a symbolic link the target changes and the link stays.
  std::string link = dir / "link.mp3";
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
  t.SetTitle(std::string(2000, 'L'));  // a full rewrite
  ASSERT_TRUE(t.WriteTag(link));
  struct stat st;
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  TID3v2 back;
  ASSERT_TRUE(back.ReadTag(path));
  EXPECT_EQ(back.Title(), std::string(2000, 'L'));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

// A rewrite that fails leaves the file as it was; one that succeeds leaves
// a user's "a.mp3~" alone. Neither leaves a temporary file.
TEST(ID3v2Rebuild, FailureLeavesTheOriginalAndATildeFileSurvives) {
  TempDir dir;
  std::string tag = Tag(3, TextFrame("TIT2", "Keep"));
  std::string path = MakeFile(dir, tag);
  WriteFile(path + "~", "the user's own backup");
  TID3v2 t;
  t.SetTitle(std::string(2000, 'G'));  // does not fit: a full rewrite
  {
    FileSizeLimit limit(2000);  // the temporary copy cannot be made
    EXPECT_FALSE(t.WriteTag(path));
    EXPECT_FALSE(t.RemoveTag(path));
  }
  EXPECT_TRUE(ReadFile(path) == tag + kAudio);
  ASSERT_TRUE(t.WriteTag(path) && t.RemoveTag(path));
  EXPECT_TRUE(ReadFile(path) == kAudio);
  EXPECT_EQ(ReadFile(path + "~"), "the user's own backup");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

}  // namespace
}  // namespace tagmora
