#pragma once
// The batch job framework: one runner walks the playlist on a worker
// thread and runs a job's work for each file; the job is its options, its
// per-file work and its summary. What a run does is told through one small
// interface, which the window shows on a progress panel and tagmora-cli
// prints, so no rule of a run exists twice.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tagmora {

class JobDisk;
class Playlist;
struct FileChange;

// The priority slider's positions 1 to 7, with the nice value each gives
// the worker; any other position behaves as 4.
struct PriorityLevel {
  const char* name;
  int nice;
};
inline constexpr std::array<PriorityLevel, 7> kPriorityLevels = {{
    {"Idle", 19},
    {"Lowest", 10},
    {"Below Normal", 5},
    {"Normal", 0},
    {"Above Normal", -5},
    {"Highest", -10},
    {"Time Critical", -20},
}};
inline constexpr int kNormalPriority = 4;
const PriorityLevel& PriorityAt(int position);

// Elapsed milliseconds as minutes, seconds and milliseconds without
// leading zeros in the last: 83,456 gives "01:23:456".
std::string FormatElapsed(int64_t ms);
// "File : 2 of 5".
std::string FileCounterText(int index, int count);

// The "Finish" text of the jobs that count what they did: "Processed N
// files with ..." and the counts, and a pointer to the selected files when
// there were errors.
std::string ProcessedSummary(int count, int errors, const std::string& counts);

// The progress outputs of a run.
struct JobProgress {
  std::string file;  // the current file's playlist text
  int percent = 0;   // 0 to 100
  int index = 0;     // the file counter: index of count
  int count = 0;
  int errors = 0;
  int64_t elapsedMs = 0;
};

struct JobOutcome {
  bool cancelled = false;
  int count = 0;      // the playlist's entries as the run last counted them
  int processed = 0;  // the files whose work was done
  int errors = 0;
};

// What a run tells its face; called on the run's own threads.
class JobReports {
 public:
  virtual ~JobReports() = default;
  // An error list entry (path empty when no file is concerned).
  virtual void ErrorAdded(const std::string& message, const std::string& path) = 0;
  // A playlist entry is added to the selection (the files that failed).
  virtual void EntrySelected(int index) = 0;
  // A playlist entry's text is replaced (a renamed or moved file).
  virtual void EntryReplaced(int index, const std::string& text) = 0;
  // A change the run made to the disk (or, in a preview, would make).
  virtual void Changed(const FileChange&) {}
  // A file the run put back where it was: every playlist entry that reads
  // from now reads to (an undo's moves).
  virtual void PathMoved(const std::string& /*from*/, const std::string& /*to*/) {}
  virtual void Progress(const JobProgress& progress) = 0;
  // A completed run's summary; returns once the user has seen it.
  virtual void Summary(const std::string& text, int errors) = 0;
  // Last of all, after a completed or a cancelled run.
  virtual void Finished(const JobOutcome& outcome) = 0;
};

// One file in the hands of a job.
class JobFile {
 public:
  int Index() const { return index_; }
  const std::string& Path() const { return path_; }
  // An error list entry for this file (or for another path): the entry is
  // selected and the run's error count goes up.
  void RecordError(const std::string& message);
  void RecordError(const std::string& message, const std::string& path);
  // An error that concerns no file: counted, nothing selected.
  void RecordUnselectedError(const std::string& message);
  void ReplaceEntry(const std::string& text);
  void ReportMoved(const std::string& from, const std::string& to) { reports_.PathMoved(from, to); }
  // Where every change to the disk goes, and what the job reads back of
  // the changes it made.
  JobDisk& Disk() const { return disk_; }

 private:
  friend class JobRunner;
  JobFile(JobReports& reports, JobDisk& disk, int index, std::string path, int& errors)
      : reports_(reports), disk_(disk), index_(index), path_(std::move(path)), errors_(errors) {}
  JobReports& reports_;
  JobDisk& disk_;
  int index_;
  std::string path_;
  int& errors_;
};

class BatchJob {
 public:
  virtual ~BatchJob() = default;
  // The update and remove-tags jobs show their running time.
  virtual bool HasElapsedTime() const = 0;
  // Whether the playlist's count is read afresh before every file (the
  // update job) or once at the start.
  virtual bool CountsEachFile() const { return false; }
  virtual void ProcessFile(JobFile& file) = 0;
  virtual std::string Summary(int count, int errors) const = 0;
  // The run's counters by name, for the command line's last line.
  virtual std::vector<std::pair<std::string, int>> Counters() const { return {}; }
  // After the last file, before the summary.
  virtual void Ended(bool /*cancelled*/) {}
};

// Runs one job at a time on a worker thread, with a second thread that
// reports the running time every 100 ms when the job shows it. The two
// flags belong to the owner (the window's stop flags): any value but 0
// asks the worker to stop before its next file, and the time thread to end.
class JobRunner {
 public:
  JobRunner(std::atomic<int32_t>& cancelRequested, std::atomic<int32_t>& stopTimer);
  ~JobRunner();
  JobRunner(const JobRunner&) = delete;
  JobRunner& operator=(const JobRunner&) = delete;

  // Starts the worker; job, playlist, reports and disk must outlive the
  // run. A run still going is waited for first.
  void Start(BatchJob& job, const Playlist& playlist, JobReports& reports, JobDisk& disk);
  // The worker stops before its next file and the time stands still.
  void Pause();
  void Resume();
  // Asks the worker to stop after the file in hand, paused or not.
  void Cancel();
  // Waits until the worker and the time thread have ended.
  void Wait();
  bool Running() const { return running_.load(); }
  // A priority slider position; applies to the running worker and the
  // next one.
  void SetPriority(int position);
  int64_t ElapsedMs() const;

 private:
  void Work(BatchJob& job, const Playlist& playlist, JobReports& reports, JobDisk& disk);
  void TimeWork(JobReports& reports);
  // Waits while paused; false once a stop is asked.
  bool CheckPoint();
  void Publish(JobReports& reports);

  std::atomic<int32_t>& cancel_;
  std::atomic<int32_t>& stopTimer_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool paused_ = false;
  int64_t startMs_ = 0;  // moved forward by every pause
  int64_t pauseMs_ = 0;  // when the current pause began
  JobProgress progress_;  // guarded by mutex_
  std::atomic<int> nice_{0};
  std::atomic<int> workerTid_{0};
  std::atomic<bool> running_{false};
  std::thread worker_;
  std::thread timer_;
};

}  // namespace tagmora
