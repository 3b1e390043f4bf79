#include "jobs/JobPanel.h"

#include <algorithm>

#include "app/ErrorList.h"
#include "jobs/UnitThreadUndo.h"
#include "platform/FileSystem.h"
#include "playlist/Playlist.h"

namespace tagmora {

JobPanel::JobPanel(MainWindowModel& window, const JobPanelNames& names, ControlSet* controls)
    : window_(window),
      controls_(controls ? *controls : window.Controls()),
      names_(names),
      runner_(window.Stop(names.cancelFlag), names.timerFlag < MainWindowModel::kStopFlagCount
                                                 ? window.Stop(names.timerFlag)
                                                 : noTimer_) {
  const auto label = [this](const char* name, const char* caption) {
    if (name) controls_.Add(name, ControlKind::Label, caption);
  };
  controls_.Add(names.progressPanel, ControlKind::Group, names.progressCaption).SetVisible(false);
  label(names.fileLabel, "FileName");
  label(names.percentLabel, "0 %");
  label(names.filesLabel, "File: 0 of 0");
  label(names.timeLabel, "00:00:000");
  label(names.errorsLabel, "0");
  label(names.priorityLabel, PriorityAt(kNormalPriority).name);
  controls_.Add(names.progressBar, ControlKind::ProgressBar).SetIndex(0);
  controls_.Add(names.prioritySlider, ControlKind::TrackBar).SetIndex(kNormalPriority);
  controls_.Add(names.errorsLink, ControlKind::Button, kShowErrorsCaption).SetVisible(false);
  controls_.Add(names.pauseButton, ControlKind::Button, "Pause");
  controls_.Add(names.stopButton, ControlKind::Button, "Cancel");
  if (names.animation) controls_.Add(names.animation, ControlKind::Animation);
  if (names.undoButton) {
    controls_.Add(names.undoButton, ControlKind::Button, kUndoButtonCaption).SetVisible(false);
    // The same command as the menu item's.
    C(names.undoButton).OnClick([this] {
      if (Control* item = window_.Controls().Find(kUndoMenuItem)) item->Click();
    });
  }

  C(names.pauseButton).OnClick([this] { PauseCommand(); });
  C(names.stopButton).OnClick([this] { StopCommand(); });
  C(names.prioritySlider).OnClick([this] { PriorityCommand(); });
  C(names.errorsLink).OnClick([this] { window_.ShowErrorsPage(); });
  closingStep_ = window_.AddClosingStep([this] { StopAndWait(); });
}

JobPanel::~JobPanel() {
  window_.RemoveClosingStep(closingStep_);
  StopAndWait();
  // The controls outlive this panel: none may run a command into it.
  for (const char* name : {names_.pauseButton, names_.stopButton, names_.prioritySlider,
                           names_.errorsLink, names_.undoButton})
    if (name) C(name).OnClick({});
}

std::unique_ptr<JobDisk> JobPanel::NewDisk(const char* jobName) {
  if (!UndoJournal::CanRecord()) {
    const std::string why = SystemErrorText();
    const MessageAnswer answer = window_.User().Show(
        {kUndoCaption,
         "The undo journal cannot be written in " + UndoFolder() + ": " + why +
             "!\nRun the job without a way to undo it?",
         MessageIcon::Warning, MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes) return nullptr;
    return std::make_unique<RealDisk>(*this, nullptr);
  }
  return std::make_unique<RealDisk>(*this, std::make_unique<UndoJournal>(jobName));
}

bool JobPanel::Start(std::unique_ptr<BatchJob> job, std::unique_ptr<JobDisk> disk,
                     std::unique_ptr<Playlist> own) {
  Playlist& playlist = own ? *own : window_.PlayList();
  if (playlist.Count() == 0) {
    window_.Errors().AddError("No files in the playlist! Add some!", "", true);
    return false;
  }
  runner_.Wait();
  if (PlayerCommands* player = window_.Player()) player->Stop();
  if (!own) playlist.SelectNone();
  C(names_.settingsPanel).SetVisible(false);
  C(names_.progressPanel).SetVisible(true);
  C(names_.progressBar).SetIndex(0);
  C(names_.fileLabel).SetCaption("File Name");
  C(names_.percentLabel).SetCaption("0 %");
  C(names_.filesLabel).SetCaption(FileCounterText(0, 0));
  C(names_.stopButton).SetCaption("Cancel");
  C(names_.pauseButton).SetCaption("Pause");
  C(names_.pauseButton).SetEnabled(true);
  C(names_.prioritySlider).SetEnabled(true);
  C(names_.prioritySlider).SetIndex(kNormalPriority);
  PriorityCommand();
  C(names_.errorsLink).SetVisible(false);
  if (names_.undoButton) C(names_.undoButton).SetVisible(false);
  Animate(true);
  {
    std::lock_guard lock(mutex_);
    shown_ = JobProgress{};
    summaryAnswered_ = false;
    closing_ = false;
    ended_ = false;
  }
  job_ = std::move(job);
  disk_ = std::move(disk);
  own_ = std::move(own);
  changes_ = 0;
  runner_.Start(*job_, own_ ? *own_ : playlist, *this, *disk_);
  return true;
}

void JobPanel::PauseCommand() {
  Control& pause = C(names_.pauseButton);
  if (pause.Caption() == "Pause") {
    runner_.Pause();
    pause.SetCaption("Resume");
  } else {
    runner_.Resume();
    pause.SetCaption("Pause");
  }
}

void JobPanel::StopCommand() {
  Control& stop = C(names_.stopButton);
  if (stop.Caption() == "Cancel") {
    // A paused worker sees the request at once; the pause caption stays.
    runner_.Cancel();
    return;
  }
  C(names_.progressPanel).SetVisible(false);
  C(names_.settingsPanel).SetVisible(true);
  Animate(false);
  stop.SetCaption("Cancel");
  C(names_.pauseButton).SetCaption("Pause");
  C(names_.pauseButton).SetEnabled(true);
  if (afterClose_) afterClose_();
}

void JobPanel::PriorityCommand() {
  const int position = C(names_.prioritySlider).Index();
  C(names_.priorityLabel).SetCaption(PriorityAt(position).name);
  runner_.SetPriority(position);
}

void JobPanel::StopAndWait() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  answered_.notify_all();
  runner_.Cancel();
  runner_.Wait();
  // What the worker posted last may never run now: end the run here.
  if (window_.Posts().OnUserInterfaceThread()) End();
}

void JobPanel::ErrorAdded(const std::string& message, const std::string& path) {
  window_.Errors().AddError(message, path, false);
}

// A run over a playlist of its own reports entries the window does not show.
void JobPanel::EntrySelected(int index) {
  if (!own_) window_.PlayList().SetSelected(index, true);
}

void JobPanel::EntryReplaced(int index, const std::string& text) {
  if (!own_) window_.PlayList().SetItem(index, text);
}

void JobPanel::Changed(const FileChange&) { ++changes_; }

void JobPanel::PathMoved(const std::string& from, const std::string& to) {
  Playlist& playlist = window_.PlayList();
  std::string item;
  for (int i = 0; playlist.TryItem(i, item); ++i)
    if (item == from) playlist.SetItem(i, to);
}

void JobPanel::Progress(const JobProgress& progress) {
  int delay;
  {
    std::lock_guard lock(mutex_);
    shown_ = progress;
    if (showPosted_) return;
    showPosted_ = true;
    delay = int(std::max<int64_t>(0, lastShownMs_ + kProgressIntervalMs - MonotonicMs()));
  }
  window_.Posts().PostDelayed(delay, guard_.Wrap([this] { ShowProgress(); }));
}

void JobPanel::ShowProgress() {
  JobProgress progress;
  {
    std::lock_guard lock(mutex_);
    progress = shown_;
    showPosted_ = false;
    lastShownMs_ = MonotonicMs();
  }
  // Before the first file only the error count is set.
  if (!progress.file.empty() || progress.count > 0) {
    C(names_.fileLabel).SetCaption(progress.file);
    C(names_.percentLabel).SetCaption(std::to_string(progress.percent) + " %");
    C(names_.filesLabel).SetCaption(FileCounterText(progress.index, progress.count));
    C(names_.progressBar).SetIndex(progress.percent);
  }
  C(names_.errorsLabel).SetCaption(std::to_string(progress.errors));
  if (names_.timeLabel) C(names_.timeLabel).SetCaption(FormatElapsed(progress.elapsedMs));
}

void JobPanel::Animate(bool playing) {
  if (names_.animation) C(names_.animation).SetChecked(playing);
}

void JobPanel::Summary(const std::string& text, int errors) {
  window_.Posts().Post(guard_.Wrap([this, text, errors] {
    ShowProgress();
    Animate(false);
    C(names_.pauseButton).SetEnabled(false);
    C(names_.prioritySlider).SetEnabled(false);
    C(names_.stopButton).SetCaption(kFinishCaption);
    if (errors > 0) C(names_.errorsLink).SetVisible(true);
    bool closing;
    {
      std::lock_guard lock(mutex_);
      closing = closing_;
    }
    if (!closing)
      window_.User().Show({kFinishCaption, text, MessageIcon::Information, MessageButtons::Ok});
    {
      std::lock_guard lock(mutex_);
      summaryAnswered_ = true;
    }
    answered_.notify_all();
  }));
  std::unique_lock lock(mutex_);
  answered_.wait(lock, [this] { return summaryAnswered_ || closing_; });
}

void JobPanel::Finished(const JobOutcome& outcome) {
  {
    std::lock_guard lock(mutex_);
    outcome_ = outcome;
  }
  window_.Posts().Post(guard_.Wrap([this] { End(); }));
}

void JobPanel::End() {
  JobOutcome outcome;
  {
    std::lock_guard lock(mutex_);
    if (ended_ || runner_.Running()) return;
    ended_ = true;
    outcome = outcome_;
  }
  ShowProgress();
  C(names_.errorsLabel).SetCaption(std::to_string(outcome.errors));
  Animate(false);
  C(names_.pauseButton).SetEnabled(false);
  C(names_.prioritySlider).SetEnabled(false);
  C(names_.stopButton).SetCaption(kFinishCaption);
  if (names_.undoButton && changes_ > 0) C(names_.undoButton).SetVisible(true);
  if (!outcome.cancelled && afterFinish_) afterFinish_();
}

}  // namespace tagmora
