// In-place changes stopped at each stage, as a crash would stop them, and
// recovery run after: every file is old or new, whole.

#include "platform/Journal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

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

void Write(const std::string& path, const Change& c, const WriteOptions& options = {}) {
  InputFile file;
  if (!file.OpenForUpdate(path) || !ChangeInPlace(file, c.offset, c.bytes, c.newSize, options))
    ::_exit(4);
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

TEST(Journal, AFinishedChangeDropsItsRecordAndKeepsTheTimeOnRequest) {
  TempDir dir;
  std::string path = dir / "a.mp3";
  for (bool keep : {false, true}) {
    WriteFile(path, kOld);
    struct timespec old[2] = {{1000000000, 0}, {1000000000, 500}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    pid_t child = fork();
    if (child == 0) {
      Write(path, kChanges[0], {keep});
      ::_exit(0);
    }
    int status;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(ReadFile(path) == NewOf(kChanges[0]));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec == 1000000000 && st.st_mtim.tv_nsec == 500, keep);
  }
  EXPECT_TRUE(RecoverJournal().empty()) << "the record was dropped";
  EXPECT_TRUE(Records().empty());
}

TEST(Journal, AFileChangedSinceIsLeftAloneAndReported) {
  struct Meddling {
    const char* what;
    std::function<void(const std::string&)> change;
  } meddlings[] = {
      {"replaced",
       [](const std::string& p) {
         WriteFile(p + ".new", kOld);
         std::filesystem::rename(p + ".new", p);
       }},
      {"grown", [](const std::string& p) { WriteFile(p, ReadFile(p) + "x"); }},
      {"region rewritten",
       [](const std::string& p) {
         std::string bytes = ReadFile(p);
         bytes[120] = 'Z';
         WriteFile(p, bytes);
       }},
      {"older time",
       [](const std::string& p) {
         struct timespec t[2] = {{1, 0}, {1, 0}};
         ::utimensat(AT_FDCWD, p.c_str(), t, 0);
       }},
      {"deleted", [](const std::string& p) { ::unlink(p.c_str()); }},
  };
  for (const auto& m : meddlings) {
    SCOPED_TRACE(m.what);
    TempDir dir;
    std::string path = dir / "a.mp3";
    WriteFile(path, kOld);
    StopWriteAt(WriteStage::HalfWritten, [&] { Write(path, kChanges[0]); });
    m.change(path);
    std::string changed = ReadFile(path);
    auto reports = RecoverJournal();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].outcome, Outcome::FileChanged);
    EXPECT_EQ(reports[0].path, path);
    EXPECT_EQ(reports[0].message, "Interrupted tag write not undone, the file changed since: ");
    EXPECT_TRUE(reports[0].ConcernsUser());
    EXPECT_TRUE(ReadFile(path) == changed);
  }
}

TEST(Journal, ADamagedRecordIsNeverApplied) {
  for (const char* damage : {"cut", "flipped"}) {
    SCOPED_TRACE(damage);
    TempDir dir;
    std::string path = dir / "a.mp3";
    WriteFile(path, kOld);
    StopWriteAt(WriteStage::HalfWritten, [&] { Write(path, kChanges[0]); });
    std::string half = ReadFile(path);
    ASSERT_NE(half, kOld);
    auto names = Records();
    ASSERT_EQ(names.size(), 1u);
    std::string record = JournalFolder() + "/" + names[0];
    std::string bytes = ReadFile(record);
    if (std::string(damage) == "cut")
      bytes.pop_back();
    else
      bytes[bytes.size() / 2] ^= 1;
    WriteFile(record, bytes);
    auto reports = RecoverJournal();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].outcome, Outcome::Damaged);
    EXPECT_EQ(reports[0].path, record);
    EXPECT_FALSE(reports[0].ConcernsUser());
    EXPECT_TRUE(ReadFile(path) == half);
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
  EXPECT_TRUE(IsTemporaryName(std::filesystem::path(reports[0].path).filename().string()));
  EXPECT_FALSE(std::filesystem::exists(reports[0].path));
  EXPECT_TRUE(std::filesystem::exists(held));
  EXPECT_TRUE(ReadFile(path) == kOld);
  EXPECT_TRUE(IsTemporaryName(".a.mp3.tagmora-Ab3dE9.tmp"));
  for (const char* name : {"a.mp3~", ".a.mp3.tagmora-Ab3dE.tmp", "a.mp3.tagmora-Ab3dE9.tmp",
                           ".a.mp3.tagmora-Ab3d_9.tmp", ".a.mp3.tagmora-Ab3dE9.tmp~"})
    EXPECT_FALSE(IsTemporaryName(name)) << name;
}

}  // namespace
}  // namespace tagmora
