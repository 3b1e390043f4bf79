#pragma once
// A job's preview: the job itself, run on a worker against the preview
// disk, which changes nothing. Each change it would make and each error it
// would meet becomes a row of a table, under the counts its summary would
// give. The "Preview..." buttons of the job pages show one; the undo shows
// with one what it will take back.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/Control.h"
#include "jobs/BatchJob.h"
#include "jobs/FileJobs.h"

namespace tagmora {

class MainWindowModel;
class Playlist;

inline constexpr const char* kPreviewCaption = "Preview\u2026";

struct PreviewRow {
  std::string file;    // the file or folder concerned; empty for an error of none
  std::string change;  // what would change, or the error
  bool error = false;
};

class PreviewModel : public JobReports {
 public:
  explicit PreviewModel(MainWindowModel& window);
  ~PreviewModel() override;
  PreviewModel(const PreviewModel&) = delete;
  PreviewModel& operator=(const PreviewModel&) = delete;

  // The preview's own controls: its title, file counter, progress bar,
  // summary and its Cancel/Close button.
  ControlSet& Controls() { return controls_; }

  // The start of a preview: the job that make builds on the preview disk
  // with every question answered Yes, or the stop its checks came to.
  using Maker = std::function<JobStart(JobDisk& disk, StartQuestions& ask)>;
  // Runs the job over the window's playlist, or its own; the view is
  // shown. A stop is recorded as the real start records it, and nothing
  // is shown. A preview still running is cancelled first.
  void Run(const std::string& title, const Maker& make, std::unique_ptr<Playlist> own = nullptr);
  // Cancel while running, Close afterwards.
  void StopCommand();
  void Cancel();
  bool Running() const { return runner_.Running(); }

  size_t RowCount() const;
  PreviewRow Row(size_t index) const;
  // The summary the run ended with ("" until then).
  std::string SummaryText() const;

  // The view: shown when a preview starts, told (on the user-interface
  // thread) when rows came, hidden on Close.
  void SetShowHandler(std::function<void()> show) { show_ = std::move(show); }
  void SetHideHandler(std::function<void()> hide) { hide_ = std::move(hide); }
  void SetRowsHandler(std::function<void()> rows) { rows_ = std::move(rows); }

  // What the run reports.
  void ErrorAdded(const std::string& message, const std::string& path) override;
  void EntrySelected(int) override {}
  void EntryReplaced(int, const std::string&) override {}
  void Changed(const FileChange& change) override;
  void Progress(const JobProgress& progress) override;
  void Summary(const std::string& text, int errors) override;
  void Finished(const JobOutcome& outcome) override;

 private:
  void AddRow(PreviewRow row);
  // Shows the progress and the rows that came, at most ten times a second.
  void Post();
  void Show();

  MainWindowModel& window_;
  ControlSet controls_;
  std::atomic<int32_t> cancel_{0}, stopTimer_{0};
  JobRunner runner_;
  std::unique_ptr<BatchJob> job_;
  std::unique_ptr<JobDisk> disk_;
  std::unique_ptr<Playlist> own_;
  std::function<void()> show_, hide_, rows_;

  mutable std::mutex mutex_;
  std::vector<PreviewRow> table_;
  JobProgress progress_;
  std::string summary_;
  bool ended_ = false, cancelled_ = false, posted_ = false;
  PostGuard guard_;
};

}  // namespace tagmora
