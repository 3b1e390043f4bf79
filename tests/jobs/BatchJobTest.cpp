#include "jobs/BatchJob.h"

#include <thread>

#include "JobFixture.h"
#include "platform/FileSystem.h"

namespace tagmora {
namespace {

using test::GatedJob;
using test::RecordingReports;

TEST(BatchJob, FormatElapsedAndPriorityNames) {
  const std::pair<int64_t, const char*> times[] = {
      {0, "00:00:0"},      {5, "00:00:5"},       {59999, "00:59:999"},
      {83456, "01:23:456"}, {600000, "10:00:0"}, {6005007, "100:05:7"}};
  for (const auto& [ms, text] : times) EXPECT_EQ(FormatElapsed(ms), text) << ms;
  EXPECT_STREQ(PriorityAt(1).name, "Idle");
  EXPECT_STREQ(PriorityAt(7).name, "Time Critical");
  EXPECT_STREQ(PriorityAt(9).name, "Normal");
}

TEST(BatchJob, ProgressCountsFilesFromZero) {
  for (int count : {3, 4}) {
    GatedJob job;
    job.Open(count);
    RecordingReports reports;
    test::RunToEnd(job, std::vector<std::string>(size_t(count), "f.mp3"), reports);
    const std::vector<std::string> expected =
        count == 3 ? std::vector<std::string>{"File : 0 of 3 0 %", "File : 1 of 3 33 %",
                                              "File : 2 of 3 66 %", "File : 3 of 3 100 %"}
                   : std::vector<std::string>{"File : 0 of 4 0 %", "File : 1 of 4 25 %",
                                              "File : 2 of 4 50 %", "File : 3 of 4 75 %",
                                              "File : 4 of 4 100 %"};
    EXPECT_EQ(reports.files, expected);
    EXPECT_EQ(reports.summary, std::to_string(count) + " done");
  }
}

class Run : public ::testing::Test {
 protected:
  Run() : playlist(poster), disk(reports, nullptr), runner(cancel, stopTimer) {
    for (int i = 0; i < 3; ++i) playlist.Append("f" + std::to_string(i));
    startMs = MonotonicMs();
    runner.Start(job, playlist, reports, disk);
    job.WaitStarted(1);
  }
  test::FakePoster poster;
  Playlist playlist;
  std::atomic<int32_t> cancel{0}, stopTimer{0};
  GatedJob job;
  RecordingReports reports;
  RealDisk disk;
  JobRunner runner;
  int64_t startMs = 0;
};

TEST_F(Run, PauseHoldsTheNextFileAndTheClock) {
  runner.Pause();
  const int64_t paused = runner.ElapsedMs();
  job.Open(3);  // the file in hand ends; the next must wait
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_EQ(job.Started(), std::vector<int>{0});
  EXPECT_EQ(runner.ElapsedMs(), paused);
  runner.Resume();
  runner.Wait();
  EXPECT_EQ(job.Done(), (std::vector<int>{0, 1, 2}));
  // The running time leaves the pause out.
  EXPECT_LE(runner.ElapsedMs(), MonotonicMs() - startMs - 250);
}

TEST_F(Run, CancelWhilePausedFinishesTheFileInHandOnly) {
  runner.Pause();
  runner.Cancel();
  job.Open(3);
  runner.Wait();
  EXPECT_EQ(job.Done(), std::vector<int>{0});
  EXPECT_TRUE(reports.outcome.cancelled);
  EXPECT_EQ(reports.outcome.processed, 1);
  EXPECT_EQ(reports.summary, "");
}

}  // namespace
}  // namespace tagmora
