// The stream reader against other programs' readings: ffprobe on files
// made here with lame and ffmpeg, and the notes kept with the shared corpus.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "support/JsonReader.h"
#include "support/TestSupport.h"
#include "tags/MPEGaudio.h"

namespace tagmora {
namespace {

namespace fs = std::filesystem;
using test::Json;
using test::ParseJson;
using test::TempDir;

std::string VersionOfSampleRate(int rate) {
  if (rate >= 32000) return "MPEG 1";
  return rate >= 16000 ? "MPEG 2" : "MPEG 2.5";
}

int SamplesPerFrame(const TMPEGaudio& m) {
  if (m.Layer() == "Layer I") return 384;
  return m.Layer() == "Layer III" && m.Version() != "MPEG 1" ? 576 : 1152;
}

struct Probe {
  std::string codec;
  int sampleRate = 0, channels = 0;
  double bitRate = 0, duration = 0;
};

Probe RunFfprobe(const std::string& path) {
  auto result = test::RunCommand("ffprobe -v error -of json -show_streams -show_format " +
                                 test::ShellQuote(path));
  EXPECT_EQ(result.exitCode, 0) << "ffprobe failed on " << path;
  Json json = ParseJson(result.output);
  Probe probe;
  if (json["streams"].array.empty()) return probe;
  const Json& stream = json["streams"].array[0];
  probe.codec = stream["codec_name"].string;
  probe.sampleRate = int(stream["sample_rate"].AsNumber());
  probe.channels = int(stream["channels"].AsNumber());
  probe.bitRate = stream["bit_rate"].AsNumber();
  probe.duration = json["format"]["duration"].AsNumber();
  return probe;
}

struct Encoding {
  const char* name;
  const char* tool;  // "lame" or "ffmpeg"
  const char* args;
  int sampleRate, channels;
  bool vbr;
};

void PrintTo(const Encoding& e, std::ostream* out) { *out << e.name; }

class MPEGaudioFfprobe : public ::testing::TestWithParam<Encoding> {};

TEST_P(MPEGaudioFfprobe, AgreesWithFfprobe) {
  const Encoding& e = GetParam();
  TempDir dir;
  std::string path = dir / "a.mp3";
  if (std::string(e.tool) == "lame") {
    test::MakeMp3(path, 2.0, e.args, e.sampleRate, e.channels);
  } else {
    std::ostringstream cmd;
    cmd << "ffmpeg -v error -y -f lavfi -i sine=f=440:d=2:r=" << e.sampleRate << " -ac "
        << e.channels << " " << e.args << " -f mp2 " << test::ShellQuote(path);
    ASSERT_EQ(std::system(cmd.str().c_str()), 0) << cmd.str();
  }
  Probe probe = RunFfprobe(path);
  TMPEGaudio mpeg;
  ASSERT_TRUE(mpeg.ReadInfo(path));
  ASSERT_TRUE(mpeg.Valid());

  EXPECT_EQ(mpeg.Layer(), probe.codec == "mp3" ? "Layer III" : "Layer II") << probe.codec;
  EXPECT_EQ(mpeg.SampleRate(), probe.sampleRate);
  EXPECT_EQ(mpeg.Version(), VersionOfSampleRate(probe.sampleRate));
  EXPECT_EQ(mpeg.ChannelMode() == "Mono", probe.channels == 1);
  EXPECT_EQ(mpeg.VBR().Found, e.vbr);
  if (e.vbr)
    EXPECT_NEAR(mpeg.BitRate(), probe.bitRate / 1000, probe.bitRate / 1000 * 0.02 + 1);
  else
    EXPECT_EQ(mpeg.BitRate(), std::lround(probe.bitRate / 1000));
  // ffprobe leaves out LAME's Info frame and the encoder's delay.
  double frame = double(SamplesPerFrame(mpeg)) / mpeg.SampleRate();
  EXPECT_NEAR(mpeg.Duration(), probe.duration, 2 * frame);
  EXPECT_NEAR(mpeg.Frames(), probe.duration / frame, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, MPEGaudioFfprobe,
    ::testing::Values(
        Encoding{"Cbr128", "lame", "-b 128", 44100, 2, false},
        Encoding{"Cbr320At48k", "lame", "-b 320", 48000, 2, false},
        Encoding{"Crc", "lame", "-b 128 -p", 44100, 2, false},
        Encoding{"Mono", "lame", "-b 64 -m m", 44100, 1, false},
        Encoding{"DualChannel", "lame", "-b 192 -m d", 32000, 2, false},
        Encoding{"VbrXing", "lame", "-V 2", 44100, 2, true},
        Encoding{"VbrMono", "lame", "-V 5 -m m", 44100, 1, true},
        Encoding{"Abr", "lame", "--abr 96", 44100, 2, true},
        Encoding{"Mpeg2", "lame", "-b 64", 22050, 2, false},
        Encoding{"Mpeg2Mono", "lame", "-b 32 -m m", 16000, 1, false},
        Encoding{"Mpeg2Vbr", "lame", "-V 4", 24000, 2, true},
        Encoding{"Mpeg25", "lame", "-b 16 -m m", 8000, 1, false},
        Encoding{"Mpeg25Stereo", "lame", "-b 32", 11025, 2, false},
        Encoding{"Mpeg25Vbr", "lame", "-V 6", 12000, 2, true},
        Encoding{"Layer2", "ffmpeg", "-c:a mp2 -b:a 192k", 44100, 2, false},
        Encoding{"Layer2Mpeg2", "ffmpeg", "-c:a mp2 -b:a 64k", 22050, 1, false},
        Encoding{"Layer2Mpeg2At16k", "ffmpeg", "-c:a mp2 -b:a 96k", 16000, 2, false}),
    [](const auto& info) { return std::string(info.param.name); });

std::string Text(bool value) { return value ? "true" : "false"; }
std::string Text(const Json& value) {
  if (value.type == Json::Type::Bool) return Text(value.boolean);
  if (value.type == Json::Type::Number) return std::to_string(std::llround(value.number));
  return value.string;
}

// One JSON object per line, keyed by its "file".
std::map<std::string, Json> ReadJsonLines(const std::string& path) {
  std::map<std::string, Json> byFile;
  std::istringstream lines(test::ReadFile(path));
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) {
      Json entry = ParseJson(line);
      byFile[entry["file"].string] = std::move(entry);
    }
  return byFile;
}

// Calls every derived value, so that a sanitizer sees each of them.
void TouchEverything(const TMPEGaudio& m) {
  std::ostringstream out;
  out << m.Version() << m.Layer() << m.BitRate() << m.SampleRate() << m.ChannelMode()
      << m.Emphasis() << m.Frames() << m.Duration() << int(m.EncoderId()) << m.Encoder()
      << m.Valid() << m.FileLength() << m.VendorId() << m.VBR().VendorId;
  EXPECT_FALSE(out.str().empty());
  if (!m.Frame().Found) {
    EXPECT_FALSE(m.Valid());
  }
}

TEST(MPEGaudioCorpus, EveryFileReadsWithoutHarm) {
  TAGMORA_REQUIRE_CORPUS();
  int files = 0;
  for (const char* folder : {"peers", "generated"})
    for (const auto& entry : fs::directory_iterator(test::CorpusDir() + "/" + folder)) {
      if (entry.path().extension() == ".jsonl" || entry.path().extension() == ".md") continue;
      SCOPED_TRACE(entry.path().string());
      TMPEGaudio mpeg;
      mpeg.ReadInfo(entry.path().string());
      TouchEverything(mpeg);
      ++files;
    }
  EXPECT_GT(files, 80);
}

// What the notes and the byte-level oracle state of the generated files.
TEST(MPEGaudioCorpus, GeneratedFilesReadAsTheNotesSay) {
  TAGMORA_REQUIRE_CORPUS();
  std::string folder = test::CorpusDir() + "/generated/";
  auto expected = ReadJsonLines(folder + "expected.jsonl");
  auto oracle = ReadJsonLines(folder + "oracle.jsonl");
  ASSERT_FALSE(expected.empty());
  int compared = 0;
  for (const auto& [file, entry] : expected) {
    SCOPED_TRACE(file);
    TMPEGaudio mpeg;
    bool read = mpeg.ReadInfo(folder + file);
    const Json& raw = oracle[file]["mpeg_raw"];
    const Json& note = entry["expect"]["mpeg"];
    if (note.IsNull() && !raw["found"].boolean) continue;
    ASSERT_TRUE(read);
    ++compared;

    if (note["free_format"].boolean) {
      EXPECT_FALSE(mpeg.Frame().Found);
      EXPECT_FALSE(mpeg.Valid());
      continue;
    }
    ASSERT_TRUE(mpeg.Frame().Found);
    EXPECT_TRUE(mpeg.Valid());
    const MPEGFrame& f = mpeg.Frame();
    std::map<std::string, std::string> ours = {
        {"version", mpeg.Version().substr(5)},
        {"layer", std::to_string(4 - f.LayerId)},
        {"sample_rate", std::to_string(mpeg.SampleRate())},
        {"mode_name", mpeg.ChannelMode()},
        {"crc", Text(f.ProtectionBit)},
        {"copyright", Text(f.CopyrightBit)},
        {"original", Text(f.OriginalBit)},
        {"emphasis", std::to_string(f.EmphasisId)}};
    // The gap file's frame is found by the second search, from the middle of
    // the file, so its offset and padding differ from the oracle's.
    bool firstSearch = note["gap_after_tag"].IsNull();
    if (firstSearch) {
      ours["frame_length"] = std::to_string(f.Size);
      ours["first_frame_offset"] = std::to_string(mpeg.ID3v2().Size() + f.Position);
    }
    for (const Json* stated : {&note, &raw})
      for (const auto& [key, value] : ours)
        if (!(*stated)[key].IsNull()) {
          EXPECT_EQ(value, Text((*stated)[key])) << key;
        }

    // Only a "Xing" header counts as variable bit rate; LAME's "Info" does not.
    bool xing = note["vbr_header"].string == "Xing";
    EXPECT_EQ(mpeg.VBR().Found, xing);
    if (xing) {
      EXPECT_EQ(mpeg.VBR().ID, "Xing");
    } else if (!note["bitrate_kbps"].IsNull()) {
      EXPECT_EQ(mpeg.BitRate(), note["bitrate_kbps"].number);
    }
    if (!note["lame_encoder"].IsNull()) {
      EXPECT_EQ(mpeg.Encoder().substr(0, 7), "LAME 3.");
    }

    const Json& probe = oracle[file]["ffprobe"];
    if (firstSearch && !probe["duration"].IsNull()) {
      double frame = double(SamplesPerFrame(mpeg)) / mpeg.SampleRate();
      // The Info frame and an ID3v1 record count as audio here.
      EXPECT_NEAR(mpeg.Duration(), probe["duration"].number, 2 * frame);
    }
  }
  EXPECT_GE(compared, 30);
}

// VBR headers the peers' fixtures hold where the oracle found the same
// first frame; many are cut short and keep the whole song's counts.
TEST(MPEGaudioCorpus, PeerFilesVBRHeadersMatchTheOracle) {
  TAGMORA_REQUIRE_CORPUS();
  std::string folder = test::CorpusDir() + "/peers/";
  int compared = 0;
  for (const auto& [file, entry] : ReadJsonLines(folder + "oracle.jsonl")) {
    SCOPED_TRACE(file);
    const Json& raw = entry["mpeg_raw"];
    TMPEGaudio mpeg;
    if (!mpeg.ReadInfo(folder + file) || !mpeg.Frame().Found || !raw["found"].boolean) continue;
    if (mpeg.ID3v2().Size() + mpeg.Frame().Position != raw["first_frame_offset"].number) continue;
    ++compared;
    EXPECT_EQ(mpeg.Frame().Size, raw["frame_length"].number);
    const Json& xing = raw["xing"];
    const Json& vbri = raw["vbri"];
    if (!vbri.IsNull() && !vbri.keys.empty()) {
      EXPECT_EQ(mpeg.VBR().ID, "VBRI");
      EXPECT_EQ(mpeg.Frames(), vbri["frames"].number);
      EXPECT_EQ(mpeg.Encoder(), "FhG");
    } else if (xing["tag"].string == "Xing" && xing["at_standard_offset"].boolean) {
      EXPECT_EQ(mpeg.VBR().ID, "Xing");
      EXPECT_EQ(mpeg.VBR().Frames, xing["frames"].number);
    } else {
      EXPECT_FALSE(mpeg.VBR().Found);
    }
  }
  EXPECT_GE(compared, 30);
}

}  // namespace
}  // namespace tagmora
