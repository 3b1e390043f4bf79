#include "jobs/BatchJob.h"

#include <chrono>
#include <exception>

#include "jobs/JobDisk.h"
#include "platform/FileSystem.h"
#include "playlist/Playlist.h"

namespace tagmora {

const PriorityLevel& PriorityAt(int position) {
  if (position < 1 || position > int(kPriorityLevels.size())) position = kNormalPriority;
  return kPriorityLevels[size_t(position - 1)];
}

std::string FormatElapsed(int64_t ms) {
  if (ms < 0) ms = 0;
  const int64_t tenMinutes = ms / 600000;
  ms -= tenMinutes * 600000;
  const int64_t minutes = ms / 60000;
  ms -= minutes * 60000;
  const int64_t tenSeconds = ms / 10000;
  ms -= tenSeconds * 10000;
  const int64_t seconds = ms / 1000;
  ms -= seconds * 1000;
  return std::to_string(tenMinutes) + std::to_string(minutes) + ":" + std::to_string(tenSeconds) +
         std::to_string(seconds) + ":" + std::to_string(ms);
}

std::string FileCounterText(int index, int count) {
  return "File : " + std::to_string(index) + " of " + std::to_string(count);
}

std::string ProcessedSummary(int count, int errors, const std::string& counts) {
  std::string text = "Processed " + std::to_string(count) + " files with ";
  text += errors ? std::to_string(errors) + " errors!" : std::string("NO errors!");
  text += "\n\r\n\r" + counts;
  if (errors) text += "\n\r\n\rSelected files from playlist have errors!";
  return text;
}

void JobFile::RecordError(const std::string& message) { RecordError(message, path_); }

void JobFile::RecordError(const std::string& message, const std::string& path) {
  reports_.ErrorAdded(message, path);
  reports_.EntrySelected(index_);
  ++errors_;
}

void JobFile::RecordUnselectedError(const std::string& message) {
  reports_.ErrorAdded(message, "");
  ++errors_;
}

void JobFile::ReplaceEntry(const std::string& text) {
  path_ = text;
  reports_.EntryReplaced(index_, text);
}

JobRunner::JobRunner(std::atomic<int32_t>& cancelRequested, std::atomic<int32_t>& stopTimer)
    : cancel_(cancelRequested), stopTimer_(stopTimer) {}

JobRunner::~JobRunner() {
  Cancel();
  Wait();
}

void JobRunner::Start(BatchJob& job, const Playlist& playlist, JobReports& reports,
                      JobDisk& disk) {
  Wait();
  {
    std::lock_guard lock(mutex_);
    paused_ = false;
    startMs_ = MonotonicMs();
    pauseMs_ = 0;
    progress_ = JobProgress{};
  }
  running_ = true;
  if (job.HasElapsedTime()) {
    stopTimer_ = 0;
    timer_ = std::thread([this, &reports] { TimeWork(reports); });
  }
  cancel_ = 0;
  worker_ = std::thread(
      [this, &job, &playlist, &reports, &disk] { Work(job, playlist, reports, disk); });
}

void JobRunner::Work(BatchJob& job, const Playlist& playlist, JobReports& reports,
                     JobDisk& disk) {
  workerTid_ = CurrentThreadId();
  // A choice made before the thread existed applies now.
  if (int nice = nice_.load()) SetThreadNice(workerTid_, nice);
  int errors = 0;
  int processed = 0;
  int count = playlist.Count();
  bool cancelled = false;
  Publish(reports);
  for (int i = 0;; ++i) {
    if (job.CountsEachFile()) count = playlist.Count();
    if (i >= count) break;
    if (!CheckPoint()) {
      cancelled = true;
      break;
    }
    std::string path;
    // An entry removed meanwhile ends the walk, as the end of the list does.
    if (!playlist.TryItem(i, path)) break;
    {
      std::lock_guard lock(mutex_);
      progress_.file = path;
      progress_.index = i;
      progress_.count = count;
      progress_.percent = int(int64_t(i) * 100 / count);
      progress_.errors = errors;
    }
    Publish(reports);
    JobFile file(reports, disk, i, std::move(path), errors);
    try {
      job.ProcessFile(file);
    } catch (const std::exception&) {
      // A failure no job step foresaw costs this file, never the run.
      file.RecordUnselectedError("Unknown error : " + SystemErrorText());
    }
    ++processed;
  }
  // The time stops before the summary shows, and no report of the time
  // thread can arrive after the last one.
  stopTimer_ = -1;
  wake_.notify_all();
  if (timer_.joinable()) timer_.join();
  {
    std::lock_guard lock(mutex_);
    progress_.errors = errors;
    if (!cancelled) {
      progress_.percent = 100;
      progress_.index = count;
      progress_.count = count;
    }
  }
  Publish(reports);
  // The journal is complete before anyone is told the run has ended.
  disk.Ended(cancelled);
  job.Ended(cancelled);
  if (!cancelled) reports.Summary(job.Summary(count, errors), errors);
  workerTid_ = 0;
  running_ = false;
  reports.Finished({cancelled, count, processed, errors});
}

void JobRunner::TimeWork(JobReports& reports) {
  std::unique_lock lock(mutex_);
  while (!stopTimer_.load()) {
    wake_.wait_for(lock, std::chrono::milliseconds(100));
    if (stopTimer_.load()) break;
    if (paused_) continue;
    progress_.elapsedMs = MonotonicMs() - startMs_;
    JobProgress copy = progress_;
    lock.unlock();
    reports.Progress(copy);
    lock.lock();
  }
}

bool JobRunner::CheckPoint() {
  std::unique_lock lock(mutex_);
  // The flags may be set from outside without a notification (closing
  // the window sets them directly); the wait looks at them every 100 ms.
  while (paused_ && !cancel_.load()) wake_.wait_for(lock, std::chrono::milliseconds(100));
  return !cancel_.load();
}

void JobRunner::Publish(JobReports& reports) {
  JobProgress copy;
  {
    std::lock_guard lock(mutex_);
    if (!paused_) progress_.elapsedMs = MonotonicMs() - startMs_;
    copy = progress_;
  }
  reports.Progress(copy);
}

void JobRunner::Pause() {
  std::lock_guard lock(mutex_);
  if (paused_) return;
  paused_ = true;
  pauseMs_ = MonotonicMs();
}

void JobRunner::Resume() {
  {
    std::lock_guard lock(mutex_);
    if (!paused_) return;
    paused_ = false;
    startMs_ += MonotonicMs() - pauseMs_;
  }
  wake_.notify_all();
}

void JobRunner::Cancel() {
  cancel_ = -1;
  wake_.notify_all();
}

void JobRunner::Wait() {
  // The worker joins the time thread itself before its last report.
  if (worker_.joinable()) worker_.join();
}

void JobRunner::SetPriority(int position) {
  const int nice = PriorityAt(position).nice;
  nice_ = nice;
  // A refused raise leaves the worker where it was.
  if (int tid = workerTid_.load()) SetThreadNice(tid, nice);
}

int64_t JobRunner::ElapsedMs() const {
  std::lock_guard lock(mutex_);
  return (paused_ ? pauseMs_ : MonotonicMs()) - startMs_;
}

}  // namespace tagmora
