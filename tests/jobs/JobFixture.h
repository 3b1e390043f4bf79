#pragma once
// Runs a job's real runner over files in a temporary folder and records
// what the run reports, in order.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/Fakes.h"
#include "editing/TagAccess.h"
#include "jobs/BatchJob.h"
#include "jobs/JobDisk.h"
#include "playlist/Playlist.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

namespace tagmora::test {

// What a run reported, in order.
struct Recorded {
  std::vector<std::string> errors;  // "message | path"
  std::vector<int> selected;
  std::vector<std::string> files;   // the progress outputs, as shown
  std::vector<std::string> changes;  // "path: change"
  std::string summary;
  JobOutcome outcome;
};

class RecordingReports : public JobReports, public Recorded {
 public:
  void ErrorAdded(const std::string& message, const std::string& path) override {
    std::lock_guard lock(mutex);
    errors.push_back(path.empty() ? message : message + " | " + path);
  }
  void EntrySelected(int index) override {
    std::lock_guard lock(mutex);
    selected.push_back(index);
  }
  void EntryReplaced(int, const std::string&) override {}
  void Changed(const FileChange& change) override {
    std::lock_guard lock(mutex);
    changes.push_back(change.path + ": " + change.Text());
  }
  void Progress(const JobProgress& progress) override {
    std::lock_guard lock(mutex);
    if (progress.count == 0) return;
    // The time thread repeats the state between files.
    std::string shown = FileCounterText(progress.index, progress.count) + " " +
                        std::to_string(progress.percent) + " %";
    if (files.empty() || files.back() != shown) files.push_back(shown);
  }
  void Summary(const std::string& text, int) override { summary = text; }
  void Finished(const JobOutcome& done) override { outcome = done; }

  std::mutex mutex;
};

// A job whose files end only when the test lets them, to stop a run at a
// known place.
class GatedJob : public BatchJob {
 public:
  bool HasElapsedTime() const override { return true; }
  void ProcessFile(JobFile& file) override {
    std::unique_lock lock(mutex_);
    started.push_back(file.Index());
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_ > int(done.size()); });
    done.push_back(file.Index());
  }
  std::string Summary(int count, int) const override { return std::to_string(count) + " done"; }

  // Lets n more files end.
  void Open(int n) {
    std::lock_guard lock(mutex_);
    open_ += n;
    changed_.notify_all();
  }
  void WaitStarted(int n) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return int(started.size()) >= n; });
  }
  std::vector<int> Started() {
    std::lock_guard lock(mutex_);
    return started;
  }
  std::vector<int> Done() {
    std::lock_guard lock(mutex_);
    return done;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int open_ = 0;
  std::vector<int> started, done;
};

// The disk a test run goes through: the real one recording in an undo
// journal, the real one without (an undo's own run), or the preview.
enum class TestDisk { Journal, Plain, Preview };

// A job run to its end over paths.
inline void RunToEnd(BatchJob& job, const std::vector<std::string>& paths,
                     RecordingReports& reports, TestDisk kind = TestDisk::Journal) {
  FakePoster poster;
  Playlist playlist(poster);
  for (const std::string& path : paths) playlist.Append(path);
  std::atomic<int32_t> cancel{0}, stopTimer{0};
  std::unique_ptr<JobDisk> disk;
  if (kind == TestDisk::Preview)
    disk = std::make_unique<PreviewDisk>(reports);
  else
    disk = std::make_unique<RealDisk>(
        reports, kind == TestDisk::Journal ? std::make_unique<UndoJournal>("test") : nullptr);
  JobRunner runner(cancel, stopTimer);
  runner.Start(job, playlist, reports, *disk);
  runner.Wait();
}

}  // namespace tagmora::test
