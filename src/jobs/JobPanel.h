#pragma once
// The window's face of a batch job: the progress panel that takes the
// place of the job's settings panel while it runs, with its pause, cancel,
// priority and "Show me the errors" commands. It turns a run's reports into
// error list entries, playlist selections and progress outputs; the
// outputs reach the controls on the user-interface thread at most about 30
// times a second, the last state always.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "app/MainWindowModel.h"
#include "jobs/BatchJob.h"
#include "jobs/JobDisk.h"

namespace tagmora {

// The controls of one progress panel; null where a job has no such output.
struct JobPanelNames {
  const char* settingsPanel;  // hidden while the job runs
  const char* progressPanel;
  const char* progressCaption;
  const char* fileLabel;
  const char* percentLabel;
  const char* filesLabel;
  const char* timeLabel;
  const char* errorsLabel;
  const char* progressBar;
  const char* prioritySlider;
  const char* priorityLabel;
  const char* errorsLink;
  const char* pauseButton;
  const char* stopButton;
  MainWindowModel::StopFlag cancelFlag;
  MainWindowModel::StopFlag timerFlag;  // kStopFlagCount: the job shows no time
  const char* animation = nullptr;      // plays while the job runs
  const char* undoButton = nullptr;     // "Undo Last Batch Job..." once a run changed files
};

inline constexpr JobPanelNames kUpdatePanel = {
    "GroupBoxMulti", "GroupUpdate", "  Updating ID3 Tags  ", "LabelSaveTitle",
    "LabelSavePercent", "LabelSaveFiles", "LabelSaveTime", "LabelUpdateErrors",
    "ProgressBarSave", "TrackBarPriorityUpdate", "LabelProcessPriorityUpdate",
    "LabelShowUpdateErrors", "ButtonPauseUpdate", "ButtonStopUpdate",
    MainWindowModel::CancelUpdate, MainWindowModel::StopUpdateTimer, nullptr, "ButtonUndoUpdate"};

inline constexpr JobPanelNames kRenamePanel = {
    "GroupMultiRename", "GroupRename", "  Renaming files  ", "LabelRenameTitle",
    "LabelRenamePercent", "LabelRenameFiles", nullptr, "LabelErrorsRename", "ProgressBarRename",
    "TrackBarPriorityRename", "LabelProcessPriorityRename", "LabelShowRenameErrors",
    "ButtonPauseRename", "ButtonStopRename", MainWindowModel::CancelRename,
    MainWindowModel::kStopFlagCount, "AnimateRename", "ButtonUndoRename"};

inline constexpr JobPanelNames kMovePanel = {
    "GroupMultiMove", "GroupMove", "  Moving files  ", "LabelMoveFileName", "LabelMovePercent",
    "LabelMoveFiles", nullptr, "LabelMoveErrors", "ProgressBarMove", "TrackBarPriorityMove",
    "LabelProcessPriorityMove", "LabelShowMoveErrors", "ButtonPauseMove", "ButtonStopMove",
    MainWindowModel::CancelMove, MainWindowModel::kStopFlagCount, nullptr, "ButtonUndoMove"};

inline constexpr JobPanelNames kRemoveTagsPanel = {
    "GroupBoxMulti", "GroupRemoveTags", " Removing ID3 Tags ", "LabelRemoveTagsFileName",
    "LabelRemoveTagsPercent", "LabelRemoveTagsFiles", "LabelRemoveTagsTime",
    "LabelRemoveTagsErrors", "ProgressBarRemoveTags", "TrackBarPriorityRemoveTags",
    "LabelProcessPriorityRemoveTags", "LabelShowRemoveTagsErrors", "ButtonPauseRemoveTags",
    "ButtonStopRemoveTags", MainWindowModel::CancelRemoveTags,
    MainWindowModel::StopRemoveTagsTimer, nullptr, "ButtonUndoRemoveTags"};

// The undo's own panel, in the undo dialog in place of the list of what
// it takes back.
inline constexpr JobPanelNames kUndoPanel = {
    "GroupUndoList", "GroupUndo", "  Taking the changes back  ", "LabelUndoFileName",
    "LabelUndoPercent", "LabelUndoFiles", "LabelUndoTime", "LabelUndoErrors", "ProgressBarUndo",
    "TrackBarPriorityUndo", "LabelProcessPriorityUndo", "LabelShowUndoErrors", "ButtonPauseUndo",
    "ButtonStopUndo", MainWindowModel::CancelUndo, MainWindowModel::StopUndoTimer};

// The menu item that undoes the newest job not yet undone; each panel's
// undo button runs it.
inline constexpr const char* kUndoMenuItem = "UndoLastBatchJob1";
inline constexpr const char* kUndoButtonCaption = "Undo Last Batch Job\u2026";

// The fixed captions beside the outputs.
inline constexpr const char* kElapsedCaption = "Elapsed time:";
inline constexpr const char* kErrorsCaption = "Errors:";
inline constexpr const char* kPriorityCaption = "Process priority:";
inline constexpr const char* kShowErrorsCaption = "Show me the errors";
inline constexpr const char* kFinishCaption = "Finish";
// Shortest time between two showings of the progress outputs.
inline constexpr int kProgressIntervalMs = 33;

class JobPanel : public JobReports {
 public:
  // Adds the panel's controls to the window's, or to controls (the
  // settings panel is the page's), and binds its commands.
  JobPanel(MainWindowModel& window, const JobPanelNames& names, ControlSet* controls = nullptr);
  ~JobPanel() override;
  JobPanel(const JobPanel&) = delete;
  JobPanel& operator=(const JobPanel&) = delete;

  // The disk a run of the job named changes files through, recording each
  // change in a new undo journal first. When no journal can be written, the
  // person is asked whether to run without one; null when not.
  std::unique_ptr<JobDisk> NewDisk(const char* jobName);
  // The common start: refuses an empty playlist with its box, else stops
  // the player, clears the selection, shows the progress panel and starts
  // the job on the disk. The job walks the window's playlist, or its own
  // (an undo's), whose entries the window's playlist does not show. False
  // when refused.
  bool Start(std::unique_ptr<BatchJob> job, std::unique_ptr<JobDisk> disk,
             std::unique_ptr<Playlist> own = nullptr);
  // The job's own step after a completed run, on the user-interface thread.
  void SetAfterFinish(std::function<void()> step) { afterFinish_ = std::move(step); }
  // What "Finish" does besides showing the settings panel again.
  void SetAfterClose(std::function<void()> step) { afterClose_ = std::move(step); }

  void PauseCommand();
  void StopCommand();
  void PriorityCommand();
  // Closing: the run stops after the file in hand, a summary that waits
  // counts as answered, and the worker is waited for.
  void StopAndWait();
  bool Running() const { return runner_.Running(); }
  const JobRunner& Runner() const { return runner_; }

  // What the run reports.
  void ErrorAdded(const std::string& message, const std::string& path) override;
  void EntrySelected(int index) override;
  void EntryReplaced(int index, const std::string& text) override;
  void Changed(const FileChange& change) override;
  void PathMoved(const std::string& from, const std::string& to) override;
  void Progress(const JobProgress& progress) override;
  void Summary(const std::string& text, int errors) override;
  void Finished(const JobOutcome& outcome) override;

 private:
  Control& C(const char* name) { return controls_[name]; }
  void ShowProgress();
  void Animate(bool playing);
  // EndJob on the user-interface thread; runs once per run.
  void End();

  MainWindowModel& window_;
  ControlSet& controls_;
  const JobPanelNames& names_;
  std::atomic<int32_t> noTimer_{0};  // the runner's time flag for a job without time
  JobRunner runner_;
  std::unique_ptr<BatchJob> job_;
  std::unique_ptr<JobDisk> disk_;
  std::unique_ptr<Playlist> own_;  // the run's own playlist, if it has one
  std::atomic<int> changes_{0};
  std::function<void()> afterFinish_, afterClose_;
  int closingStep_ = 0;

  std::mutex mutex_;
  std::condition_variable answered_;
  JobProgress shown_;          // the outputs waiting to be shown
  bool showPosted_ = false;
  int64_t lastShownMs_ = 0;
  bool summaryAnswered_ = false;
  bool closing_ = false;
  bool ended_ = true;
  JobOutcome outcome_;
  PostGuard guard_;
};

}  // namespace tagmora
