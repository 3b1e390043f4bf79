#include "cli/JobCommands.h"

#include <csignal>
#include <cstdio>
#include <mutex>
#include <unistd.h>

#include "cli/Json.h"
#include "jobs/BatchJob.h"
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

// Prints what a run reports; called from the worker and the time thread.
class PrintedReports : public JobReports {
 public:
  PrintedReports(Playlist& playlist, bool json)
      : playlist_(playlist), json_(json), progressLine_(!json && ::isatty(2)) {}

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

int RunJob(BatchJob& job, Playlist& playlist, const JobRun& run) {
  if (playlist.Count() == 0) {
    std::fprintf(stderr, "No files in the playlist! Add some!\n");
    return 2;
  }
  PrintedReports reports(playlist, run.json);
  {
    SignalsCancel signals;
    JobRunner runner(cancelRequested, stopTimer);
    runner.Start(job, playlist, reports);
    runner.Wait();
  }
  reports.PrintEnd(job);
  if (!run.savePlaylist.empty()) {
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

}  // namespace tagmora::cli
