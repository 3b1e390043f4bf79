#include "cli/JobCommands.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <unistd.h>

#include "cli/Json.h"
#include "jobs/BatchJob.h"
#include "jobs/JobDisk.h"
#include "jobs/UnitThreadUndo.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "playlist/M3U.h"
#include "playlist/Playlist.h"

namespace tagmora::cli {

namespace {

// Set by SIGINT and SIGTERM: the run stops as the Cancel button stops it.
std::atomic<int32_t> cancelRequested{0};
std::atomic<int32_t> stopTimer{0};
static_assert(std::atomic<int32_t>::is_always_lock_free);

extern "C" void OnStopSignal(int) { cancelRequested.store(-1); }

class SignalsCancel {
 public:
  SignalsCancel() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i) ::sigaction(kSignals[i], &action, &old_[i]);
  }
  ~SignalsCancel() {
    for (int i = 0; i < 2; ++i) ::sigaction(kSignals[i], &old_[i], nullptr);
  }

 private:
  static constexpr int kSignals[2] = {SIGINT, SIGTERM};
  struct sigaction old_[2];
};

// The kinds of change as the JSON lines name them.
const char* KindName(FileChange::Kind kind) {
  switch (kind) {
    case FileChange::Kind::Tag: return "tag";
    case FileChange::Kind::Move: return "move";
    case FileChange::Kind::Folder: return "create folder";
    case FileChange::Kind::Trash: return "trash";
    case FileChange::Kind::Restore: return "restore";
    case FileChange::Kind::RemoveFolder: return "remove folder";
  }
  return "";
}

Json ChangeJson(const FileChange& change) {
  Json line = {{"change", KindName(change.kind)}, {"path", JsonText(change.path)}};
  if (change.kind == FileChange::Kind::Move) line["to"] = JsonText(change.target);
  if (change.kind != FileChange::Kind::Tag) return line;
  line["tag"] = change.tag;
  if (change.created) line["created"] = true;
  if (change.removed) line["removed"] = true;
  if (change.fields.empty()) return line;
  Json fields = Json::object();
  for (const FileChange::Field& field : change.fields)
    fields[field.name] = Json::array({JsonText(field.before), JsonText(field.after)});
  line["fields"] = fields;
  return line;
}

// A run without a user-interface thread: changes need telling nobody.
struct NoPoster : Poster {
  void Post(std::function<void()> work) override { work(); }
  void PostDelayed(int, std::function<void()> work) override { work(); }
  bool OnUserInterfaceThread() const override { return true; }
};

// Prints what a run reports; called from the worker and the time thread.
class PrintedReports : public JobReports {
 public:
  PrintedReports(Playlist& playlist, const JobRun& run)
      : playlist_(playlist), json_(run.json), dry_(run.dryRun),
        progressLine_(!run.json && ::isatty(2)) {}

  void ErrorAdded(const std::string& message, const std::string& path) override {
    std::lock_guard lock(mutex_);
    if (json_) {
      Line({{"error", JsonText(message)}, {"path", JsonText(path)}});
      return;
    }
    ClearProgress();
    std::string text = path.empty() ? message : path + ": " + message;
    std::fprintf(stderr, "%s\n", SanitizeUtf8(text).c_str());
  }
  // A real run prints its changes as JSON lines; a dry run prints them
  // always, since they are what it is for.
  void Changed(const FileChange& change) override {
    if (!json_ && !dry_) return;
    std::lock_guard lock(mutex_);
    if (json_) {
      Line(ChangeJson(change));
      return;
    }
    ClearProgress();
    std::printf("%s\n", SanitizeUtf8(change.path + ": " + change.Text()).c_str());
  }
  void EntrySelected(int index) override { playlist_.SetSelected(index, true); }
  void EntryReplaced(int index, const std::string& text) override {
    playlist_.SetItem(index, text);
  }
  void Progress(const JobProgress& progress) override {
    if (!progressLine_ || progress.count == 0) return;
    std::lock_guard lock(mutex_);
    // Ten times a second is plenty for a terminal.
    const int64_t now = MonotonicMs();
    if (now - lastShown_ < 100 && progress.percent < 100) return;
    lastShown_ = now;
    std::fprintf(stderr, "\r%s  %d %%  errors: %d  %s ",
                 FileCounterText(progress.index, progress.count).c_str(), progress.percent,
                 progress.errors, FormatElapsed(progress.elapsedMs).c_str());
    shown_ = true;
  }
  void Summary(const std::string& text, int) override {
    std::lock_guard lock(mutex_);
    summary_ = text;
  }
  void Finished(const JobOutcome& outcome) override {
    std::lock_guard lock(mutex_);
    ClearProgress();
    outcome_ = outcome;
  }

  void PrintEnd(const BatchJob& job) {
    std::lock_guard lock(mutex_);
    if (!json_) {
      if (!outcome_.cancelled) std::printf("%s\n", summary_.c_str());
      return;
    }
    Json selected = Json::array();
    Json entries = Json::array();
    for (int i = 0; i < playlist_.Count(); ++i) {
      if (playlist_.IsSelected(i)) selected.push_back(i);
      entries.push_back(JsonText(playlist_.Item(i)));
    }
    Json last = {{"summary", outcome_.cancelled ? Json(nullptr) : JsonText(summary_)},
                 {"cancelled", outcome_.cancelled},
                 {"processed", outcome_.processed},
                 {"errors", outcome_.errors},
                 {"selected", selected},
                 {"playlist", entries}};
    for (const auto& [name, value] : job.Counters()) last[name] = value;
    Line(last);
  }
  const JobOutcome& Outcome() const { return outcome_; }

 private:
  void Line(const Json& value) {
    std::printf("%s\n", JsonLine(value).c_str());
    std::fflush(stdout);
  }
  void ClearProgress() {
    if (!shown_) return;
    std::fprintf(stderr, "\r\033[K");
    shown_ = false;
  }

  Playlist& playlist_;
  const bool json_;
  const bool dry_;
  const bool progressLine_;
  std::mutex mutex_;
  int64_t lastShown_ = 0;
  bool shown_ = false;
  std::string summary_;
  JobOutcome outcome_;
};

}  // namespace

bool ArgumentQuestions::CreateFolder(const std::string& folder) {
  missingFolder_ = folder;
  return createFolder_;
}

void ArgumentQuestions::PrintStop(const StartStop& stop) const {
  std::string text = stop.message.empty()
                         ? missingFolder_ + " does NOT exists! (--create-folder creates it)"
                         : stop.path.empty() ? stop.message : stop.path + ": " + stop.message;
  std::fprintf(stderr, "%s\n", SanitizeUtf8(text).c_str());
}

std::string LoadItems(const std::vector<std::string>& items, Playlist& playlist) {
  for (const std::string& item : items) {
    if (!EndsWithIgnoringAsciiCase(item, ".m3u")) {
      playlist.Append(item);
      continue;
    }
    std::string answer = ReadM3U(item, playlist, false);
    if (answer != "OK") return answer;
  }
  return "OK";
}

namespace {

// Runs a built job to its end; the exit status.
int Execute(BatchJob& job, Playlist& playlist, const JobRun& run, PrintedReports& reports,
            JobDisk& disk) {
  {
    SignalsCancel signals;
    JobRunner runner(cancelRequested, stopTimer);
    runner.Start(job, playlist, reports, disk);
    runner.Wait();
  }
  reports.PrintEnd(job);
  if (!run.savePlaylist.empty() && !run.dryRun) {
    std::string answer = WriteM3U(run.savePlaylist, playlist);
    if (answer != "OK") {
      std::fprintf(stderr, "%s\n", answer.c_str());
      if (!reports.Outcome().cancelled) return 1;
    }
  }
  std::fflush(stdout);
  if (reports.Outcome().cancelled) return 130;
  return reports.Outcome().errors > 0 ? 1 : 0;
}

// The disk of a run: the preview one, or the real one with a new journal.
std::unique_ptr<JobDisk> DiskFor(const JobRun& run, JobReports& reports, const char* jobName) {
  if (run.dryRun) return std::make_unique<PreviewDisk>(reports);
  return std::make_unique<RealDisk>(reports,
                                    jobName ? std::make_unique<UndoJournal>(jobName) : nullptr);
}

}  // namespace

int RunJob(const JobRun& run, const char* jobName, const JobMaker& make) {
  if (!run.dryRun && !UndoJournal::CanRecord()) {
    std::fprintf(stderr, "The undo journal cannot be written in %s: %s\n", UndoFolder().c_str(),
                 SystemErrorText().c_str());
    return 2;
  }
  NoPoster poster;
  Playlist playlist(poster);
  std::string answer = LoadItems(run.items, playlist);
  if (answer != "OK") {
    std::fprintf(stderr, "Load List Error: %s\n", answer.c_str());
    return 2;
  }
  PrintedReports reports(playlist, run);
  std::unique_ptr<JobDisk> disk = DiskFor(run, reports, jobName);
  std::unique_ptr<BatchJob> job = make(playlist, *disk);
  if (!job) return 2;
  if (playlist.Count() == 0) {
    std::fprintf(stderr, "%s\n", kEmptyPlaylist);
    return 2;
  }
  return Execute(*job, playlist, run, reports, *disk);
}

int Undo(const JobRun& run, bool list) {
  const std::vector<UndoJob> jobs = ListUndoJobs();
  if (list) {
    for (const UndoJob& job : jobs) {
      const std::string folder = job.folder.substr(job.folder.rfind('/') + 1);
      if (run.json) {
        std::printf("%s\n", JsonLine({{"job", JsonText(folder)},
                                      {"name", JsonText(job.name)},
                                      {"started", JobTime(job)},
                                      {"changes", job.entries},
                                      {"state", JobState(job)},
                                      {"undone", job.undone}})
                                .c_str());
      } else {
        std::printf("%s  %s  %d changes  %s%s  %s\n", JobTime(job).c_str(), job.name.c_str(),
                    job.entries, JobState(job).c_str(), job.undone ? ", undone" : "",
                    folder.c_str());
      }
    }
    return 0;
  }
  const UndoJob* last = LastJobToUndo(jobs);
  if (!last) {
    std::fprintf(stderr, "There is no batch job left to undo!\n");
    return 2;
  }
  UndoSession session;
  UndoJob job;
  if (last->live || !session.Open(last->folder, job)) {
    std::fprintf(stderr, "%s: %s\n", DescribeJob(*last).c_str(),
                 last->live || errno == EBUSY ? "the job or another undo is still running"
                                              : SystemErrorText().c_str());
    return 2;
  }
  const std::vector<UndoEntry> entries = EntriesToTakeBack(job);
  if (entries.empty()) {
    if (!run.dryRun) session.Finish();
    std::fprintf(stderr, "There is nothing left to take back of %s!\n", DescribeJob(job).c_str());
    return 2;
  }
  NoPoster poster;
  Playlist playlist(poster);
  for (const UndoEntry& entry : entries) playlist.Append(UndoItem(entry));
  if (!run.json) std::fprintf(stderr, "Undo %s\n", DescribeJob(job).c_str());
  PrintedReports reports(playlist, run);
  std::unique_ptr<JobDisk> disk = DiskFor(run, reports, nullptr);
  TThreadUndo undo(entries, run.dryRun ? nullptr : &session);
  return Execute(undo, playlist, run, reports, *disk);
}

}  // namespace tagmora::cli
