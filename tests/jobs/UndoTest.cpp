// The undo of the tag jobs on real files: each file back byte for byte,
// with its permissions and time; a file changed since is left and
// reported; a write a kill cut in half is put right from the journal.

#include "jobs/UnitThreadUndo.h"

#include <sys/stat.h>

#include "JobFixture.h"
#include "jobs/UnitThreadRemoveTags.h"
#include "jobs/UnitThreadUpdate.h"
#include "platform/FileSystem.h"

namespace tagmora {
namespace {

using test::RecordingReports;
using test::TempDir;
using test::TestDisk;

class UndoTest : public ::testing::Test {
 protected:
  // Files with an ID3v1 tag, an ID3v2 tag, both, none, and a read-only one.
  std::vector<std::string> Files(const TempDir& dir) {
    IDv1Tag v1{true, 2, "One", "A", "", "", "", 3, 17, ""};
    IDv2Tag v2{true, 0, 0, "Two", "B", "", 4, "", "", "", "", "", "", "", ""};
    std::vector<std::string> paths;
    for (const char* name : {"v1.mp3", "v2.mp3", "both.mp3", "none.mp3", "ro.mp3"}) {
      paths.push_back(dir / name);
      test::MakeMp3(paths.back(), 0.1);
      const std::string_view base = name;
      if (base != "v2.mp3" && base != "none.mp3") {
        EXPECT_EQ(WriteID3v1Tag(paths.back(), v1), kStatusOK);
      }
      if (base != "v1.mp3" && base != "none.mp3") {
        EXPECT_EQ(WriteID3v2Tag(paths.back(), v2), kStatusOK);
      }
    }
    ::chmod(paths.back().c_str(), 0444);
    return paths;
  }
  // Takes back the newest job not undone, or previews that.
  test::Recorded UndoLast(bool preview = false) {
    UndoSession session;
    UndoJob job;
    const std::vector<UndoJob> jobs = ListUndoJobs();
    const UndoJob* last = LastJobToUndo(jobs);
    EXPECT_TRUE(last && session.Open(last->folder, job));
    const std::vector<UndoEntry> entries = EntriesToTakeBack(job);
    std::vector<std::string> items;
    for (const UndoEntry& entry : entries) items.push_back(UndoItem(entry));
    TThreadUndo undo(entries, preview ? nullptr : &session);
    RecordingReports reports;
    test::RunToEnd(undo, items, reports, preview ? TestDisk::Preview : TestDisk::Plain);
    return reports;
  }
};

TEST_F(UndoTest, EachTagJobIsTakenBackWhole) {
  UpdateOptions update;
  update.replaceV2 = true;
  update.templates[kFieldTitle] = "%title% again";
  update.templates[kFieldGenre] = "Polka";
  std::unique_ptr<BatchJob> jobs[] = {
      std::make_unique<TThreadUpdate>(update),
      std::make_unique<TThreadRemoveTags>(RemoveTagsOptions{}),
  };
  for (auto& job : jobs) {
    TempDir dir;
    const std::vector<std::string> paths = Files(dir);
    const auto before = test::Snapshot(dir.Path());
    RecordingReports run;
    test::RunToEnd(*job, paths, run);
    ASSERT_TRUE(run.errors.empty()) << run.errors.front();
    const auto after = test::Snapshot(dir.Path());
    ASSERT_NE(after, before);

    // The list of what will be taken back changes nothing.
    const test::Recorded listed = UndoLast(true);
    EXPECT_EQ(listed.changes.size(), run.changes.size());
    EXPECT_TRUE(listed.errors.empty());
    EXPECT_EQ(test::Snapshot(dir.Path()), after);

    const test::Recorded undone = UndoLast();
    EXPECT_TRUE(undone.errors.empty()) << undone.errors.front();
    EXPECT_EQ(undone.changes, listed.changes);
    EXPECT_EQ(test::Snapshot(dir.Path()), before);
  }
}

TEST_F(UndoTest, AFileChangedSinceIsLeftAndReported) {
  TempDir dir;
  const std::vector<std::string> paths = Files(dir);
  UpdateOptions update;
  update.templates[kFieldTitle] = "Job";
  TThreadUpdate job(update);
  RecordingReports run;
  test::RunToEnd(job, paths, run);
  // Retagged by someone else, renamed, and left alone.
  IDv1Tag retag{true, 2, "Theirs", "", "", "", "", 0, 255, ""};
  ASSERT_EQ(WriteID3v1Tag(paths[0], retag), kStatusOK);
  ASSERT_TRUE(MoveFile(paths[2], dir / "moved.mp3"));
  const std::string retagged = test::ReadFile(paths[0]), moved = test::ReadFile(dir / "moved.mp3");

  const test::Recorded undone = UndoLast();
  EXPECT_EQ(undone.errors,
            (std::vector<std::string>{"File does NOT exist | " + paths[2],
                                      std::string(kChangedSince) + " | " + paths[0]}));
  EXPECT_EQ(test::ReadFile(paths[0]), retagged);
  EXPECT_EQ(test::ReadFile(dir / "moved.mp3"), moved);
  EXPECT_EQ(test::V1Of(paths[1]).Title, "");  // the tag the job made is gone again
  EXPECT_EQ(test::V1Of(paths[4]).Title, "One");
  EXPECT_EQ(FileMode(paths[4]), 0444);
}

TEST_F(UndoTest, AWriteAKillCutInHalfIsPutBackFromTheJournal) {
  TempDir dir;
  const std::string path = Files(dir)[1];
  const std::string original = test::ReadFile(path);
  pid_t child = test::StopWriteAt(WriteStage::HalfWritten, [&] {
    RecordingReports reports;
    RealDisk disk(reports, std::make_unique<UndoJournal>("killed"));
    IDv2Tag v2 = test::V2Of(path), changed = v2;
    changed.Title = "Changed in place";
    disk.WriteID3v2Tag(path, v2, changed, {});
  });
  (void)child;
  ASSERT_NE(test::ReadFile(path), original);
  bool undone = false;
  for (const RecoveryReport& report : RecoverJournal())
    undone |= report.outcome == RecoveryReport::Outcome::Undone && report.path == path;
  EXPECT_TRUE(undone);
  EXPECT_EQ(test::ReadFile(path), original);
  ASSERT_FALSE(ListUndoJobs().empty());
  EXPECT_EQ(JobState(ListUndoJobs().front()), "interrupted");
  // The entry it left finds the file as it was: nothing to take back.
  const test::Recorded later = UndoLast();
  EXPECT_TRUE(later.errors.empty());
  EXPECT_TRUE(later.changes.empty());

  // Without an undo journal the write's own record protects it.
  test::StopWriteAt(WriteStage::HalfWritten, [&] {
    RecordingReports reports;
    RealDisk disk(reports, nullptr);
    IDv2Tag v2 = test::V2Of(path), changed = v2;
    changed.Title = "Changed in place";
    disk.WriteID3v2Tag(path, v2, changed, {});
  });
  ASSERT_NE(test::ReadFile(path), original);
  RecoverJournal();
  EXPECT_EQ(test::ReadFile(path), original);
}

}  // namespace
}  // namespace tagmora
