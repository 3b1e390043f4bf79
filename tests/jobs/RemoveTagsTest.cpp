#include "jobs/UnitThreadRemoveTags.h"

#include <sys/stat.h>

#include "JobFixture.h"
#include "platform/FileSystem.h"
#include "support/TagBytes.h"

namespace tagmora {
namespace {

using test::RecordingReports;
using test::TempDir;

// A file with both tags: an ID3v2 title frame, audio bytes and a record.
std::string Tagged(const TempDir& dir, const std::string& name) {
  std::string path = dir / name;
  test::WriteFile(path, test::Tag(3, test::TextFrame("TIT2", "T")) + std::string(600, 'x') +
                            test::V1Record("T"));
  return path;
}

test::Recorded Remove(RemoveTagsOptions options, const std::vector<std::string>& paths,
                     int* removed = nullptr) {
  TThreadRemoveTags job(options);
  RecordingReports reports;
  test::RunToEnd(job, paths, reports);
  if (removed) *removed = job.Counters().front().second;
  return reports;
}

TEST(RemoveTags, EachCommandTakesItsTags) {
  TempDir dir;
  struct Case {
    bool v1, v2;
    bool keepsV1, keepsV2;
  };
  for (const Case c : {Case{true, true, false, false}, Case{true, false, false, true},
                       Case{false, true, true, false}}) {
    std::string path = Tagged(dir, "a.mp3");
    std::string bare = dir / "bare.mp3";
    test::WriteFile(bare, std::string(600, 'x'));
    int removed = 0;
    test::Recorded reports = Remove({c.v1, c.v2, true, {}}, {path, bare}, &removed);
    EXPECT_TRUE(reports.errors.empty());
    EXPECT_EQ(removed, 2);  // a file without tags counts as done
    EXPECT_EQ(test::V1Of(path).Exists, c.keepsV1);
    EXPECT_EQ(test::V2Of(path).Exists, c.keepsV2);
    EXPECT_EQ(reports.summary, "Processed 2 files with NO errors!\n\r\n\r2 ID3 tags removed.");
  }
}

TEST(RemoveTags, ReadOnlyMissingAndFailingFiles) {
  TempDir dir;
  std::string ro = Tagged(dir, "ro.mp3");
  ::chmod(ro.c_str(), 0441);
  std::string missing = dir / "missing.mp3";
  test::Recorded refused = Remove({true, true, false, {}}, {ro, missing});
  EXPECT_EQ(refused.errors, (std::vector<std::string>{"File is ReadOnly | " + ro,
                                                      "File does NOT exist! | " + missing}));
  EXPECT_EQ(refused.selected, (std::vector<int>{0, 1}));
  EXPECT_TRUE(test::V1Of(ro).Exists);

  int removed = 0;
  EXPECT_TRUE(Remove({true, true, true, {}}, {ro}, &removed).errors.empty());
  EXPECT_EQ(removed, 1);
  EXPECT_FALSE(test::V2Of(ro).Exists);
  EXPECT_EQ(FileMode(ro), 0441);

  // A removal the file system refuses is an error, not a removed file.
  // Root passes permission bits, not the immutable flag.
  std::string locked = Tagged(dir, "locked.mp3");
  if (std::system(("chattr +i " + test::ShellQuote(locked) + " 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "no immutable flag on this file system";
  test::Recorded failed = Remove({true, false, true, {}}, {locked}, &removed);
  std::system(("chattr -i " + test::ShellQuote(locked)).c_str());
  ASSERT_EQ(failed.errors.size(), 1u);
  EXPECT_EQ(failed.errors[0].rfind("Error removing ID3v1 Tag: Operation not permitted", 0), 0u)
      << failed.errors[0];
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(failed.selected, std::vector<int>{0});
}

}  // namespace
}  // namespace tagmora
