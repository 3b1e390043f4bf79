// In-place changes stopped at each stage, as a crash would stop them, and
// recovery run after: every file is old or new, whole.

#include "platform/Journal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>

#include "support/TestSupport.h"

namespace tagmora {
namespace {

using namespace test;
using Outcome = RecoveryReport::Outcome;

const std::string kOld = std::string(3000, 'a') + std::string(128, 'v');

// One change of each shape the tag writers make: the ID3v2 region in
// place, an ID3v1 record appended, one cut away.
struct Change {
  const char* name;
  int64_t offset;
  std::string bytes;
  int64_t newSize;
};
const Change kChanges[] = {
    {"in place", 100, std::string(900, 'N'), int64_t(kOld.size())},
    {"appended", int64_t(kOld.size()), std::string(128, 'T'), int64_t(kOld.size()) + 128},
    {"cut", 3000, "", 3000},
};

std::string NewOf(const Change& c) {
  std::string bytes = kOld;
  bytes.resize(size_t(c.newSize), '\0');
  bytes.replace(size_t(c.offset), c.bytes.size(), c.bytes);
  return bytes;
}

void Write(const std::string& path, const Change& c) {
  InputFile file;
  if (!file.OpenForUpdate(path) || !ChangeInPlace(file, c.offset, c.bytes, c.newSize)) ::_exit(4);
}

std::vector<std::string> Records() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(JournalFolder(), ec))
    names.push_back(entry.path().filename().string());
  return names;
}

TEST(Journal, EachCrashPointEndsOldOrNewAfterRecovery) {
  struct Point {
    WriteStage stage;
    Outcome outcome;  // Finished: the new file; Undone: the old one
  } points[] = {{WriteStage::RecordOnDisk, Outcome::Undone},
                {WriteStage::HalfWritten, Outcome::Undone},
                {WriteStage::AllWritten, Outcome::Finished}};
  for (const Change& c : kChanges) {
    for (const Point& p : points) {
      SCOPED_TRACE(std::string(c.name) + " stopped at " + std::to_string(int(p.stage)));
      TempDir dir;
      std::string path = dir / "a.mp3";
      WriteFile(path, kOld);
      StopWriteAt(p.stage, [&] { Write(path, c); });
      auto reports = RecoverJournal();
      ASSERT_EQ(reports.size(), 1u);
      EXPECT_EQ(reports[0].outcome, p.outcome);
      EXPECT_EQ(reports[0].path, path);
      EXPECT_TRUE(ReadFile(path) == (p.outcome == Outcome::Undone ? kOld : NewOf(c)));
      EXPECT_TRUE(RecoverJournal().empty()) << "the record was dropped";
    }
  }
}

// A file that changed since the crash is left alone and reported; a
// damaged record is never applied (the file stays half-written).
TEST(Journal, RecordsThatMustNotBeApplied) {
  const auto record = [] { return JournalFolder() + "/" + Records().at(0); };
  const auto edit = [](const std::string& p, size_t at, char c) {
    std::string bytes = ReadFile(p);
    bytes[at] ^= c;
    WriteFile(p, bytes);
  };
  struct Case {
    const char* what;
    std::function<void(const std::string&)> meddle;
    Outcome outcome;
  } cases[] = {
      {"replaced", [](auto& p) { WriteFile(p + ".new", kOld); std::filesystem::rename(p + ".new", p); },
       Outcome::FileChanged},
      {"grown", [](auto& p) { WriteFile(p, ReadFile(p) + "x"); }, Outcome::FileChanged},
      {"region rewritten", [&](auto& p) { edit(p, 120, 1); }, Outcome::FileChanged},
      {"older time",
       [](auto& p) {
         struct timespec t[2] = {{1, 0}, {1, 0}};
         ::utimensat(AT_FDCWD, p.c_str(), t, 0);
       },
       Outcome::FileChanged},
      {"deleted", [](auto& p) { ::unlink(p.c_str()); }, Outcome::FileChanged},
      {"record cut", [&](auto&) { std::filesystem::resize_file(record(), 100); }, Outcome::Damaged},
      {"record flipped", [&](auto&) { edit(record(), 500, 1); }, Outcome::Damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    std::string path = dir / "a.mp3";
    WriteFile(path, kOld);
    StopWriteAt(WriteStage::HalfWritten, [&] { Write(path, kChanges[0]); });
    std::string damaged = c.outcome == Outcome::Damaged ? record() : path;
    c.meddle(path);
    std::string before = ReadFile(path);
    auto reports = RecoverJournal();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].outcome, c.outcome);
    EXPECT_EQ(reports[0].path, damaged);
    EXPECT_EQ(reports[0].ConcernsUser(), c.outcome == Outcome::FileChanged);
    EXPECT_TRUE(ReadFile(path) == before);
    EXPECT_TRUE(Records().empty());
  }
}

TEST(Journal, ALiveWritersRecordIsNotRecoveredByAnotherProcess) {
  TempDir dir;
  std::string path = dir / "a.mp3";
  WriteFile(path, kOld);
  pid_t writer = StopWriteAt(WriteStage::HalfWritten, [&] { Write(path, kChanges[0]); }, true);
  std::string half = ReadFile(path);
  EXPECT_TRUE(RecoverJournal().empty());
  EXPECT_TRUE(ReadFile(path) == half);
  KillChild(writer);
  auto reports = RecoverJournal();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].outcome, Outcome::Undone);
  EXPECT_TRUE(ReadFile(path) == kOld);
}

TEST(Journal, AKilledRewritesTemporaryFileIsRemoved) {
  TempDir dir;
  std::string path = dir / "a.mp3";
  WriteFile(path, kOld);
  // A file of the pattern that a live process holds stays.
  std::string held = dir / ".a.mp3.tagmora-OTHER1.tmp";
  WriteFile(held, "a live rewrite's");
  UniqueFd lock(::open(held.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(::flock(lock.Get(), LOCK_EX), 0);
  StopWriteAt(WriteStage::TemporaryOnDisk, [&] {
    InputFile file;
    if (!file.OpenForUpdate(path) || !ReplaceFile(file, "new tag", 0)) ::_exit(4);
  });
  ASSERT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
  auto reports = RecoverJournal();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].outcome, Outcome::TempRemoved);
  EXPECT_FALSE(std::filesystem::exists(reports[0].path));
  EXPECT_TRUE(std::filesystem::exists(held));
  EXPECT_TRUE(ReadFile(path) == kOld);
  // Only names of the pattern qualify.
  for (const char* name : {"a.mp3~", ".a.mp3.tagmora-Ab3dE.tmp", "a.mp3.tagmora-Ab3dE9.tmp",
                           ".a.mp3.tagmora-Ab3d_9.tmp", ".a.mp3.tagmora-Ab3dE9.tmp~"})
    EXPECT_FALSE(IsTemporaryName(name)) << name;
}

}  // namespace
}  // namespace tagmora
