#include "tags/MPEGaudio.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "platform/InputFile.h"
#include "support/JsonReader.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::BigEndian32;
using test::TempDir;
using test::WriteFile;

// The fields of a 4-byte frame header; the default is MPEG 1 Layer III,
// 128 kbit/s, 44100 Hz, joint stereo, original.
struct Header {
  uint8_t version = 3, layer = 1;
  bool crc = false;
  uint8_t bitRate = 9, sampleRate = 0;
  bool padding = false;
  uint8_t mode = 1;
  bool copyright = false, original = true;
  uint8_t emphasis = 0;
};

std::string HeaderBytes(const Header& h) {
  return {char(0xFF), char(0xE0 | h.version << 3 | h.layer << 1 | (h.crc ? 0 : 1)),
          char(h.bitRate << 4 | h.sampleRate << 2 | (h.padding ? 2 : 0)),
          char(h.mode << 6 | (h.copyright ? 8 : 0) | (h.original ? 4 : 0) | h.emphasis)};
}

// count frames of length bytes: the header, then filler.
std::string Frames(const Header& h, int length, int count, char filler = 0x11) {
  std::string frame = HeaderBytes(h) + std::string(size_t(length - 4), filler);
  std::string out;
  for (int i = 0; i < count; ++i) out += frame;
  return out;
}

void Put(std::string& bytes, size_t at, const std::string& part) {
  bytes.replace(at, part.size(), part);
}

std::string XingHeader(uint32_t frames, uint32_t bytes, const std::string& vendor = "LAME3.98") {
  std::string h = "Xing" + BigEndian32(15) + BigEndian32(frames) + BigEndian32(bytes) +
                  std::string(100, '\x01') + BigEndian32(57) + vendor;
  return h + std::string(h.size() < 128 ? 128 - h.size() : 0, '\0');
}

std::string VBRIHeader(uint32_t frames, uint32_t bytes, uint8_t scale) {
  return "VBRI" + std::string{0, 1, 0x04, 0x62, 0, char(scale)} + BigEndian32(bytes) +
         BigEndian32(frames) + std::string(8, '\0');
}

// An empty ID3v2 tag of size bytes, header included.
std::string ID3v2Tag(int size) { return test::Tag(3, "", size_t(size - 10)); }

std::string ID3v1Tag() { return test::V1Record(""); }

class MPEGaudioTest : public ::testing::Test {
 protected:
  bool Read(const std::string& bytes) {
    WriteFile(path, bytes);
    return mpeg.ReadInfo(path);
  }

  TempDir dir;
  std::string path = dir / "a.mp3";
  TMPEGaudio mpeg;
};

void ExpectCleared(const TMPEGaudio& m) {
  EXPECT_FALSE(m.Frame().Found);
  EXPECT_EQ(m.FileLength(), 0);
  EXPECT_EQ(m.Frame().Size, 0);
  EXPECT_FALSE(m.VBR().Found);
  EXPECT_FALSE(m.ID3v1().Exists());
  EXPECT_EQ(m.Version() + m.Layer() + m.ChannelMode() + m.Emphasis() + m.Encoder(),
            "MPEG ?Layer ?UnknownUnknownUnknown");
  EXPECT_EQ(m.BitRate() + m.SampleRate() + m.Frames(), 0);
  EXPECT_EQ(m.Duration(), 0);
  EXPECT_FALSE(m.Valid());
}

TEST_F(MPEGaudioTest, FrameLengthsFollowTheStandardForEveryVersionAndLayer) {
  struct Case {
    const char* what;
    Header header;
    int length, bitRate, sampleRate;
  } cases[] = {
      {"MPEG 1 Layer III 128k", {}, 417, 128, 44100},
      {"the same, padded", {.padding = true}, 418, 128, 44100},
      {"MPEG 1 Layer III 320k 32 kHz padded",
       {.bitRate = 14, .sampleRate = 2, .padding = true}, 1441, 320, 32000},
      {"MPEG 1 Layer II 384k 32 kHz padded: the longest frame",
       {.layer = 2, .bitRate = 14, .sampleRate = 2, .padding = true}, 1729, 384, 32000},
      {"MPEG 1 Layer II 192k", {.layer = 2, .bitRate = 10}, 626, 192, 44100},
      {"MPEG 1 Layer I 128k: whole 4-byte slots", {.layer = 3, .bitRate = 4}, 136, 128, 44100},
      {"MPEG 1 Layer I padded by a slot", {.layer = 3, .bitRate = 4, .padding = true}, 140, 128,
       44100},
      {"MPEG 2 Layer III 64k", {.version = 2, .bitRate = 8}, 208, 64, 22050},
      {"MPEG 2 Layer II 64k: 1152 samples", {.version = 2, .layer = 2, .bitRate = 8}, 417, 64,
       22050},
      {"MPEG 2 Layer I 64k: 384 samples", {.version = 2, .layer = 3, .bitRate = 4}, 136, 64,
       22050},
      {"MPEG 2.5 Layer III 16k 8 kHz", {.version = 0, .bitRate = 2, .sampleRate = 2}, 144, 16,
       8000},
      {"MPEG 2.5 Layer III 160k 8 kHz padded",
       {.version = 0, .bitRate = 14, .sampleRate = 2, .padding = true}, 1441, 160, 8000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Read(Frames(c.header, c.length, 3)));
    EXPECT_TRUE(mpeg.Frame().Found);
    EXPECT_EQ(mpeg.Frame().Position, 0);
    EXPECT_EQ(mpeg.Frame().Size, c.length);
    EXPECT_EQ(mpeg.BitRate(), c.bitRate);
    EXPECT_EQ(mpeg.SampleRate(), c.sampleRate);
    // One byte off, the second header is not where the first one says.
    ASSERT_TRUE(Read(Frames(c.header, c.length + 1, 3)));
    EXPECT_FALSE(mpeg.Frame().Found);
  }
}

// No encoder at hand writes Layer I; ffprobe decodes a made stream instead.
TEST_F(MPEGaudioTest, LayerIStreamsAgreeWithFfprobe) {
  for (Header h : {Header{.layer = 3, .bitRate = 4},
                   Header{.version = 2, .layer = 3, .bitRate = 4}}) {
    ASSERT_TRUE(Read(Frames(h, 136, 300, '\0')));
    auto probe = test::RunCommand("ffprobe -v error -f mp3 -count_frames -of json -show_streams " +
                                  test::ShellQuote(path));
    test::Json stream = test::ParseJson(probe.output)["streams"].array.at(0);
    EXPECT_EQ(stream["codec_name"].string, "mp1");
    EXPECT_EQ(mpeg.Layer(), "Layer I");
    EXPECT_EQ(mpeg.SampleRate(), stream["sample_rate"].AsNumber());
    EXPECT_EQ(mpeg.Frames(), stream["nb_read_frames"].AsNumber());
  }
}

TEST_F(MPEGaudioTest, DecodesTheHeaderFieldsAndNamesThem) {
  ASSERT_TRUE(Read(Frames({}, 417, 10)));
  EXPECT_EQ(mpeg.Version(), "MPEG 1");
  EXPECT_EQ(mpeg.Layer(), "Layer III");
  EXPECT_EQ(mpeg.ChannelMode(), "Joint Stereo");
  EXPECT_EQ(mpeg.Emphasis(), "None");
  EXPECT_EQ(mpeg.FileLength(), 4170);
  EXPECT_EQ(mpeg.Frames(), 10);
  EXPECT_DOUBLE_EQ(mpeg.Duration(), 4170 * 8 / 128000.0);
  EXPECT_TRUE(mpeg.Valid());
  EXPECT_FALSE(mpeg.Frame().Xing);  // the filler follows the header

  Header h{.version = 0, .layer = 2, .crc = true, .bitRate = 1, .sampleRate = 1,
           .mode = 3, .copyright = true, .original = false, .emphasis = 3};
  ASSERT_TRUE(Read(Frames(h, 96, 10)));  // 144 * 8000 / 12000
  const MPEGFrame& f = mpeg.Frame();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.Data), 4), HeaderBytes(h));
  EXPECT_EQ(mpeg.Version(), "MPEG 2.5");
  EXPECT_EQ(mpeg.Layer(), "Layer II");
  EXPECT_EQ(mpeg.ChannelMode(), "Mono");
  EXPECT_EQ(mpeg.Emphasis(), "CCIT J.17");
  EXPECT_TRUE(f.ProtectionBit);
  EXPECT_TRUE(f.CopyrightBit);
  EXPECT_FALSE(f.OriginalBit);
  EXPECT_EQ(mpeg.SampleRate(), 12000);
  EXPECT_EQ(mpeg.BitRate(), 8);
}

TEST_F(MPEGaudioTest, AFrameCountsOnlyWithASecondHeaderOneFrameLater) {
  // A single valid header is not a stream.
  ASSERT_TRUE(Read(HeaderBytes({}) + std::string(4000, '\x11')));
  ExpectCleared(mpeg);

  // Free format (index 0), a bad index and reserved fields never pass.
  for (Header h : {Header{.bitRate = 0}, Header{.bitRate = 15}, Header{.sampleRate = 3},
                   Header{.emphasis = 2}, Header{.version = 1}, Header{.layer = 0}}) {
    ASSERT_TRUE(Read(Frames(h, 417, 8)));
    EXPECT_FALSE(mpeg.Frame().Found);
  }

  // A false sync in the junk before the audio is passed over.
  std::string junk(300, '\x11');
  Put(junk, 100, HeaderBytes({}));
  ASSERT_TRUE(Read(junk + Frames({}, 417, 10)));
  EXPECT_EQ(mpeg.Frame().Position, 300);

  // No frames at all, tags or not: true, and nothing is kept.
  ASSERT_TRUE(Read(std::string(5000, '\x11') + ID3v1Tag()));
  ExpectCleared(mpeg);
}

TEST_F(MPEGaudioTest, TheFirstSearchCoversOneLongestFrame) {
  ASSERT_TRUE(Read(std::string(1729, '\0') + Frames({}, 417, 10)));
  EXPECT_EQ(mpeg.Frame().Position, 1729);

  // A frame that starts later is found only from the middle of the file,
  // and its position is then an offset within that second buffer.
  std::string bytes = ID3v2Tag(30) + std::string(2000, '\0') + Frames({}, 417, 80);
  ASSERT_TRUE(Read(bytes));
  int64_t middle = (int64_t(bytes.size()) - 30) / 2;
  int64_t firstAfterMiddle = 2030 + (middle - 2030 + 416) / 417 * 417;
  EXPECT_TRUE(mpeg.Frame().Found);
  EXPECT_EQ(mpeg.Frame().Position, firstAfterMiddle - middle);
  EXPECT_EQ(mpeg.Frames(), (int64_t(bytes.size()) - 30 - mpeg.Frame().Position) / 417);

  // A first read shorter than the buffer means the file has nothing more.
  ASSERT_TRUE(Read(ID3v2Tag(30) + std::string(2000, '\0') + Frames({}, 417, 3)));
  EXPECT_FALSE(mpeg.Frame().Found);
}

TEST_F(MPEGaudioTest, TheAudioStartsAfterTheID3v2TagAndRunsToTheEnd) {
  std::string bytes = ID3v2Tag(1000) + Frames({}, 417, 20) + ID3v1Tag();
  ASSERT_TRUE(Read(bytes));
  EXPECT_TRUE(mpeg.ID3v2().Exists());
  EXPECT_TRUE(mpeg.ID3v1().Exists());
  EXPECT_EQ(mpeg.Frame().Position, 0);
  // The ID3v1 record is not subtracted.
  EXPECT_EQ(mpeg.Frames(), (20 * 417 + 128) / 417);
  EXPECT_DOUBLE_EQ(mpeg.Duration(), (20 * 417 + 128) * 8 / 128000.0);
}

TEST_F(MPEGaudioTest, XingHeaderGivesFramesAverageBitRateAndDuration) {
  std::string bytes = Frames({}, 417, 10, '\0');
  Put(bytes, 36, XingHeader(1000, 1000 * 417 + 500));
  ASSERT_TRUE(Read(bytes));
  EXPECT_TRUE(mpeg.Frame().Xing);
  ASSERT_TRUE(mpeg.VBR().Found);
  EXPECT_EQ(mpeg.VBR().ID, "Xing");
  EXPECT_EQ(mpeg.VBR().Frames, 1000);
  EXPECT_EQ(mpeg.VBR().Bytes, 417500);
  EXPECT_EQ(mpeg.VBR().Scale, 57);
  EXPECT_EQ(mpeg.VBR().VendorId, "LAME3.98");
  EXPECT_EQ(mpeg.Frames(), 1000);
  EXPECT_NEAR(mpeg.Duration(), 26.1224, 0.0001);  // 1000 * 1152 / 44100
  EXPECT_EQ(mpeg.BitRate(), 128);                 // 417.5 * 44100 / 144 / 1000 = 127.9
  EXPECT_EQ(mpeg.EncoderId(), 3);
  EXPECT_EQ(mpeg.Encoder(), "LAME 3.98");
  EXPECT_TRUE(mpeg.Valid());

  // The first frame's padding comes off the average frame length:
  // 419.918 bytes a frame give 128.6 kbit/s, 128.3 without the padding.
  Put(bytes, 36, XingHeader(1000, 419918));
  ASSERT_TRUE(Read(bytes));
  EXPECT_EQ(mpeg.BitRate(), 129);
  Put(bytes, 0, HeaderBytes({.padding = true}));
  Put(bytes, 418, HeaderBytes({}));
  ASSERT_TRUE(Read(bytes));
  EXPECT_EQ(mpeg.Frame().Size, 418);
  EXPECT_EQ(mpeg.BitRate(), 128);
}

TEST_F(MPEGaudioTest, VBRHeaderOffsetsDependOnVersionAndChannels) {
  struct Case {
    const char* what;
    Header header;
    int length, bitRate, xingAt;
  } cases[] = {
      {"MPEG 1 stereo", {}, 417, 128, 36},
      {"MPEG 1 mono", {.mode = 3}, 417, 128, 21},
      {"MPEG 2 stereo", {.version = 2, .bitRate = 8}, 208, 64, 21},
      {"MPEG 2 mono", {.version = 2, .bitRate = 8, .mode = 3}, 208, 64, 13},
      {"MPEG 2.5 mono", {.version = 0, .bitRate = 2, .sampleRate = 2, .mode = 3}, 144, 16, 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = std::string(7, '\0') + Frames(c.header, c.length, 12);
    std::string xing = bytes;
    Put(xing, 7 + size_t(c.xingAt), XingHeader(100, 100 * uint32_t(c.length), ""));
    ASSERT_TRUE(Read(xing));
    EXPECT_EQ(mpeg.VBR().ID, "Xing");
    EXPECT_EQ(mpeg.Frames(), 100);
    EXPECT_EQ(mpeg.EncoderId(), 1);  // no vendor mark
    EXPECT_EQ(mpeg.Encoder(), "Xing");

    // Fraunhofer's header sits 32 bytes after the frame header in every mode.
    std::string vbri = bytes;
    Put(vbri, 7 + 36, VBRIHeader(200, 200 * uint32_t(c.length), 80));
    ASSERT_TRUE(Read(vbri));
    EXPECT_EQ(mpeg.VBR().ID, "VBRI");
    EXPECT_EQ(mpeg.VBR().Frames, 200);
    EXPECT_EQ(mpeg.VBR().Bytes, 200 * c.length);
    EXPECT_EQ(mpeg.VBR().Scale, 80);
    EXPECT_EQ(mpeg.BitRate(), c.bitRate);
    EXPECT_EQ(mpeg.Encoder(), "FhG");

    // "Xing" anywhere else is no header.
    if (c.xingAt != 36) {
      std::string misplaced = bytes;
      Put(misplaced, 7 + 36, XingHeader(100, 100 * uint32_t(c.length)).substr(0, 16));
      ASSERT_TRUE(Read(misplaced));
      EXPECT_FALSE(mpeg.VBR().Found);
    }
  }
}

TEST_F(MPEGaudioTest, ImplausibleVBRCountsNeitherCrashNorWrap) {
  auto readWith = [&](uint32_t frames, uint32_t bytes) {
    std::string file = Frames({}, 417, 10, '\0');
    Put(file, 36, XingHeader(frames, bytes));
    return Read(file);
  };
  // No usable frame count: the stream is measured as constant bit rate.
  for (uint32_t frames : {0u, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(frames);
    ASSERT_TRUE(readWith(frames, 4170));
    EXPECT_TRUE(mpeg.VBR().Found);
    EXPECT_EQ(mpeg.Frames(), 10);
    EXPECT_EQ(mpeg.BitRate(), 128);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), 4170 * 8 / 128000.0);
  }
  // Byte counts far too large or negative give the limits, not a wrapped value.
  ASSERT_TRUE(readWith(1, 0x7FFFFFFF));
  EXPECT_EQ(mpeg.BitRate(), 65535);
  EXPECT_FALSE(mpeg.Valid());
  ASSERT_TRUE(readWith(1000, 0xFFFFFF00));
  EXPECT_EQ(mpeg.BitRate(), 0);
  EXPECT_FALSE(mpeg.Valid());
  ASSERT_TRUE(readWith(0x7FFFFFFF, 0x7FFFFFFF));
  EXPECT_EQ(mpeg.Frames(), 0x7FFFFFFF);
  EXPECT_NEAR(mpeg.Duration(), 2147483647.0 * 1152 / 44100, 1);
  EXPECT_EQ(mpeg.BitRate(), 0);  // one byte a frame
}

TEST_F(MPEGaudioTest, EncoderIsGuessedFromHeaderFlagsWithoutVBRHeader) {
  struct Case {
    const char* what;
    Header header;
    int length;
    char filler;
    int encoder;
  } cases[] = {
      {"nothing special", {.original = false}, 417, 0x11, 2},
      {"original with CRC", {.crc = true}, 417, 0x11, 3},
      {"plain stereo at 160 kbit/s or less", {.mode = 0, .original = false}, 417, 0x11, 4},
      {"plain stereo above 160 kbit/s", {.bitRate = 11, .mode = 0, .original = false}, 626, 0x11,
       2},
      {"copyright and original without CRC", {.copyright = true}, 417, 0x11, 1},
      {"zero bytes after the header, original", {}, 417, 0, 1},
      {"dual channel with CRC after the LAME rule", {.crc = true, .mode = 2}, 417, 0x11, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Read(Frames(c.header, c.length, 10, c.filler)));
    EXPECT_EQ(mpeg.EncoderId(), c.encoder);
  }
  EXPECT_EQ(mpeg.Encoder(), "Shine");
}

TEST_F(MPEGaudioTest, EncoderMarkIsSearchedNearTheEndOfTheAudio) {
  auto withMark = [](const std::string& mark, size_t before, bool id3v1) {
    std::string audio = Frames({.original = false}, 417, 20);
    Put(audio, audio.size() - before, mark);
    return audio + (id3v1 ? ID3v1Tag() : "");
  };
  ASSERT_TRUE(Read(withMark("LAME3.97", 8, false)));
  EXPECT_EQ(mpeg.VendorId(), "LAME3.97");
  EXPECT_EQ(mpeg.EncoderId(), 3);
  EXPECT_EQ(mpeg.Encoder(), "LAME 3.97");

  // The search spans two frame lengths and stops before an ID3v1 record.
  ASSERT_TRUE(Read(withMark("LAME3.97", 8 + 2 * 417, true)));
  EXPECT_EQ(mpeg.Encoder(), "LAME 3.97");
  ASSERT_TRUE(Read(withMark("LAME3.97", 8 + 2 * 417 + 1, false)));
  EXPECT_EQ(mpeg.VendorId(), "");
  EXPECT_EQ(mpeg.Encoder(), "FhG");

  ASSERT_TRUE(Read(withMark("GOGO", 100, false)));
  EXPECT_EQ(mpeg.VendorId(), "GOGO");
  EXPECT_EQ(mpeg.Encoder(), "GoGo");

  // Without "n.nn" in characters 5 to 8 no version is shown.
  ASSERT_TRUE(Read(withMark("LAMEv399", 8, false)));
  EXPECT_EQ(mpeg.Encoder(), "LAME");

  // The next file starts afresh.
  ASSERT_TRUE(Read(Frames({.original = false}, 417, 20)));
  EXPECT_EQ(mpeg.VendorId(), "");
  EXPECT_EQ(mpeg.Encoder(), "FhG");
}

TEST_F(MPEGaudioTest, FileShorterThanTheEndSearchStillReads) {
  std::string bytes = Frames({.original = false}, 417, 6);
  Put(bytes, bytes.size() - 20, "LAME3.99");
  ASSERT_TRUE(Read(bytes + ID3v1Tag()));
  EXPECT_TRUE(mpeg.Valid());
  EXPECT_EQ(mpeg.Frames(), (6 * 417 + 128) / 417);
  EXPECT_EQ(mpeg.Encoder(), "LAME 3.99");
}

TEST_F(MPEGaudioTest, UnreadableFilesAnswerFalse) {
  EXPECT_FALSE(mpeg.ReadInfo(dir / "missing.mp3"));
  ExpectCleared(mpeg);
  ::mkdir((dir / "x.mp3").c_str(), 0755);
  EXPECT_FALSE(mpeg.ReadInfo(dir / "x.mp3"));
  // Too short for an ID3v1 record, even with a frame in it.
  EXPECT_FALSE(Read(""));
  EXPECT_FALSE(Read(Frames({.version = 2, .bitRate = 1}, 26, 4)));
  ExpectCleared(mpeg);

  InputFile closed;
  EXPECT_FALSE(mpeg.ReadInfo(closed));
}

TEST_F(MPEGaudioTest, FilesPastTwoGigabytesKeepTheirLength) {
  // A sparse file: the largest ID3v2 size the header can state, frames
  // after it, and the length set to 3 GiB.
  std::string header("ID3\x03\x00\x00\xFF\xFF\xFF\xFF", 10);
  const int64_t tagSize = 255LL * 2097152 + 255 * 16384 + 255 * 128 + 255 + 10;
  const int64_t length = 3LL << 30;
  {
    WriteFile(path, header);
    int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    std::string audio = Frames({}, 417, 10);
    ASSERT_EQ(::pwrite(fd, audio.data(), audio.size(), tagSize), ssize_t(audio.size()));
    ASSERT_EQ(::ftruncate(fd, length), 0);
    ::close(fd);
  }
  InputFile file;  // one open serves tags and stream
  ASSERT_TRUE(file.Open(path));
  ASSERT_TRUE(mpeg.ReadInfo(file));
  EXPECT_EQ(mpeg.ID3v2().Size(), tagSize);
  EXPECT_EQ(mpeg.FileLength(), length);
  EXPECT_EQ(mpeg.Frame().Position, 0);
  EXPECT_EQ(mpeg.Frames(), (length - tagSize) / 417);
  EXPECT_DOUBLE_EQ(mpeg.Duration(), double(length - tagSize) * 8 / 128000);
  EXPECT_TRUE(mpeg.Valid());
}

}  // namespace
}  // namespace tagmora
