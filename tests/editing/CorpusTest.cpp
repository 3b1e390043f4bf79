// Every file of the shared corpus read through the tag access layer and
// compared with python3-mutagen's reading (tests/editing/mutagen_reading.py
// applies the program's rules to mutagen's frames), then rewritten with
// one field changed: every other frame and the audio must survive.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <sys/stat.h>

#include "editing/TagAccess.h"
#include "tags/GenreNames.h"
#include "support/TagBytes.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace tagmora {
namespace {

using test::ReadFile;
using test::ShellQuote;
using test::TempDir;

struct Reading {
  std::map<std::string, std::string> fields;  // "v2.title" -> escaped value
  std::vector<std::string> frames;            // the frames beside the twelve
  bool framesReadable = true;
};

std::string Escape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += char(c);
    }
  }
  return out;
}

// mutagen cuts ID3v1 texts at the first zero byte and strips blanks at
// both ends; the program keeps both. Compare what both can see.
std::string AsMutagenSeesV1(const std::string& text) {
  std::string cut = text.substr(0, text.find('\0'));
  size_t b = cut.find_first_not_of(" \t\n\r\f\v");
  size_t e = cut.find_last_not_of(" \t\n\r\f\v");
  return b == std::string::npos ? "" : cut.substr(b, e - b + 1);
}

std::map<std::string, std::string> TagmoraFields(const std::string& status, const IDv1Tag& v1,
                                                 const IDv2Tag& v2) {
  auto n = [](int value) { return std::to_string(value); };
  auto t = [](const std::string& text) { return Escape(text); };
  auto t1 = [](const std::string& text) { return Escape(AsMutagenSeesV1(text)); };
  return {
      {"status", status},
      {"v1.exists", n(v1.Exists)}, {"v1.version_id", n(v1.VersionId)},
      {"v1.title", t1(v1.Title)}, {"v1.artist", t1(v1.Artist)}, {"v1.album", t1(v1.Album)},
      {"v1.year", t1(v1.Year)}, {"v1.comment", t1(v1.Comment)}, {"v1.track", n(v1.Track)},
      {"v1.genre_id", n(v1.GenreId)},
      {"v2.exists", n(v2.Exists)}, {"v2.version_id", n(v2.VersionId)}, {"v2.size", n(v2.Size)},
      {"v2.title", t(v2.Title)}, {"v2.artist", t(v2.Artist)}, {"v2.album", t(v2.Album)},
      {"v2.track", n(v2.Track)}, {"v2.year", t(v2.Year)}, {"v2.genre", t(v2.Genre)},
      {"v2.comment", t(v2.Comment)}, {"v2.composer", t(v2.Composer)},
      {"v2.encoder", t(v2.Encoder)}, {"v2.copyright", t(v2.Copyright)},
      {"v2.language", t(v2.Language)}, {"v2.url", t(v2.URL)},
  };
}

// Runs the mutagen helper once over many files.
std::map<std::string, Reading> MutagenReadings(const std::vector<std::string>& files) {
  TempDir scratch;
  std::string genres;
  for (auto name : GenreNames) genres += std::string(name) + "\n";
  test::WriteFile(scratch / "genres", genres);
  std::string command = "/usr/bin/python3 " +
                        ShellQuote(std::string(TAGMORA_SOURCE_DIR) +
                                   "/tests/editing/mutagen_reading.py") +
                        " " + ShellQuote(scratch / "genres");
  for (const auto& f : files) command += " " + ShellQuote(f);
  auto result = test::RunCommand(command);
  EXPECT_EQ(result.exitCode, 0) << "the mutagen helper failed";
  std::map<std::string, Reading> readings;
  std::istringstream lines(result.output);
  std::string line;
  Reading* current = nullptr;
  while (std::getline(lines, line)) {
    if (line.rfind("=== ", 0) == 0) {
      current = &readings[line.substr(4)];
    } else if (current && line.rfind("field\t", 0) == 0) {
      size_t tab = line.find('\t', 6);
      current->fields[line.substr(6, tab - 6)] = line.substr(tab + 1);
    } else if (current && line.rfind("frame\t", 0) == 0) {
      current->frames.push_back(line.substr(6));
    } else if (current && line.rfind("unreadable\t", 0) == 0) {
      current->framesReadable = false;
    }
  }
  return readings;
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const char* folder : {"generated", "peers"}) {
    std::string dir = test::CorpusDir() + "/" + folder;
    if (!fs::is_directory(dir)) continue;
    for (const auto& entry : fs::directory_iterator(dir)) {
      std::string ext = entry.path().extension().string();
      if (entry.is_regular_file() && (ext == ".mp3" || ext == ".mp2" || ext == ".id3"))
        files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Where the program's rule reads less than mutagen, as the corpus notes
// (generated/expected.jsonl) state.
struct RuleDifference {
  const char* file;
  const char* key;
  const char* value;
  const char* why;
};
constexpr RuleDifference kRuleDifferences[] = {
    {"v23-digit-frame-id.mp3", "v2.artist", "",
     "a frame identifier starting with a digit ends the frame loop"},
};

// Compares the keys mutagen could speak for.
void ExpectSameFields(const std::string& file, const std::map<std::string, std::string>& tagmora,
                      const Reading& mutagen) {
  for (auto [key, expected] : mutagen.fields) {
    for (const auto& d : kRuleDifferences)
      if (file == d.file && key == d.key) expected = d.value;
    auto it = tagmora.find(key);
    ASSERT_NE(it, tagmora.end()) << key;
    EXPECT_EQ(it->second, expected) << key;
  }
}

TEST(Corpus, EveryFileReadsAsMutagenReadsIt) {
  TAGMORA_REQUIRE_CORPUS();
  auto files = CorpusFiles();
  ASSERT_GT(files.size(), 50u);
  auto readings = MutagenReadings(files);
  for (const auto& path : files) {
    SCOPED_TRACE(fs::path(path).filename().string());
    IDv1Tag v1;
    IDv2Tag v2;
    std::string status = ReadTags(path, v1, v2);
    ASSERT_TRUE(readings.count(path));
    ExpectSameFields(fs::path(path).filename().string(), TagmoraFields(status, v1, v2),
                     readings[path]);
  }
}

TEST(Corpus, ARewriteChangesOneFieldAndKeepsEverythingElse) {
  TAGMORA_REQUIRE_CORPUS();
  TempDir dir;
  const std::string kNewTitle = "Changed \u2713 title";
  struct Rewrite {
    std::string original, copy;
    IDv1Tag v1;
    IDv2Tag v2;
    std::string audio;
  };
  std::vector<Rewrite> rewrites;
  std::vector<std::string> originals, copies;
  for (const auto& path : CorpusFiles()) {
    if (fs::file_size(path) < 10) continue;  // no header can be read
    Rewrite r{path, dir / fs::path(path).filename().string(), {}, {}, {}};
    test::CopyFile(path, r.copy);
    ReadTags(r.copy, r.v1, r.v2);
    std::string bytes = ReadFile(r.copy);
    r.audio = bytes.substr(size_t(r.v2.Size));
    rewrites.push_back(r);
    originals.push_back(r.original);
    copies.push_back(r.copy);
  }
  auto before = MutagenReadings(originals);

  for (auto& r : rewrites) {
    SCOPED_TRACE(fs::path(r.original).filename().string());
    IDv2Tag changed = r.v2;
    changed.Exists = true;
    changed.Title = kNewTitle;
    EXPECT_EQ(WriteID3v2Tag(r.copy, changed), "OK");
  }
  auto after = MutagenReadings(copies);

  for (auto& r : rewrites) {
    SCOPED_TRACE(fs::path(r.original).filename().string());
    IDv1Tag v1;
    IDv2Tag v2;
    std::string status = ReadTags(r.copy, v1, v2);
    IDv2Tag expected = r.v2;
    expected.Exists = true;
    expected.VersionId = 3;
    expected.Size = v2.Size;
    expected.Title = kNewTitle;
    EXPECT_EQ(v2, expected) << "the program reads back other fields";
    EXPECT_EQ(v1, r.v1);
    // The audio (everything after the tag) is unchanged.
    std::string bytes = ReadFile(r.copy);
    ASSERT_GE(bytes.size(), size_t(v2.Size));
    EXPECT_TRUE(bytes.compare(size_t(v2.Size), std::string::npos, r.audio) == 0)
        << "the bytes after the tag changed";
    // mutagen reads the fields the program wrote.
    const Reading& now = after[r.copy];
    EXPECT_TRUE(now.framesReadable);
    ExpectSameFields(fs::path(r.copy).filename().string(), TagmoraFields(status, v1, v2), now);
    // Every frame beside the twelve is still there, in its order. A
    // version 2.2 tag may lose them; an unreadable one cannot be compared.
    const Reading& then = before[r.original];
    if (r.v2.VersionId != 2 && then.framesReadable) {
      EXPECT_EQ(now.frames, then.frames) << "frames beside the twelve differ";
    }
  }
}

// A change that fits in the tag's padding is made in place; one that grows
// past it rewrites the file, with new padding. mutagen reads both, with
// every frame beside the twelve kept; the audio follows the tag unchanged.
TEST(InPlace, FitsOrRewritesAndMutagenReadsBoth) {
  TempDir dir;
  const std::string path = dir / "a.mp3";
  test::MakeMp3(path);
  const std::string audio = ReadFile(path);
  test::WriteFile(path, test::Tag(3, test::TextFrame("TIT2", "Old") +
                                         test::Frame("APIC", "\0image/png\0\x03\0" + std::string(3000, 'p')) +
                                         test::Frame("PRIV", std::string("me\0xyz", 6)), 300) + audio);
  const auto original = MutagenReadings({path})[path];
  const auto inode = [&] {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  const ino_t before = inode();
  for (const std::string& title : {std::string("A longer title"), std::string(1000, 'G')}) {
    const bool fits = title.size() < 300;
    IDv1Tag v1;
    IDv2Tag v2;
    ASSERT_EQ(ReadTags(path, v1, v2), "OK");
    const int32_t oldSize = v2.Size;
    v2.Title = title;
    ASSERT_EQ(WriteID3v2Tag(path, v2), "OK");
    ASSERT_EQ(ReadTags(path, v1, v2), "OK");
    std::string bytes = ReadFile(path);
    EXPECT_TRUE(bytes.compare(size_t(v2.Size), std::string::npos, audio) == 0);
    const int64_t padding = v2.Size - 1 - int64_t(bytes.find_last_not_of('\0', size_t(v2.Size) - 1));
    EXPECT_EQ(inode() == before, fits);
    EXPECT_EQ(v2.Size == oldSize, fits);
    EXPECT_EQ(padding, fits ? 300 - int64_t(title.size() - 3) : TID3v2::PaddingFor(v2.Size - 10 - padding));
    const Reading now = MutagenReadings({path})[path];
    EXPECT_EQ(now.fields.at("v2.title"), title);
    EXPECT_EQ(now.frames, original.frames);
  }
}

}  // namespace
}  // namespace tagmora
