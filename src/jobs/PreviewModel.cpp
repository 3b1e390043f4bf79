#include "jobs/PreviewModel.h"

#include "app/MainWindowModel.h"
#include "jobs/JobDisk.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

constexpr int kShowIntervalMs = 100;

// The summary as one text box shows it: the message box's carriage
// returns would show as extra lines.
std::string WithoutReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

}  // namespace

PreviewModel::PreviewModel(MainWindowModel& window)
    : window_(window), controls_(window.Posts()), runner_(cancel_, stopTimer_) {
  controls_.Add("LabelPreviewJob", ControlKind::Label);
  controls_.Add("LabelPreviewFiles", ControlKind::Label, FileCounterText(0, 0));
  controls_.Add("ProgressBarPreview", ControlKind::ProgressBar).SetIndex(0);
  controls_.Add("LabelPreviewSummary", ControlKind::Label);
  controls_.Add("ButtonPreviewStop", ControlKind::Button, "Close")
      .OnClick([this] { StopCommand(); });
}

PreviewModel::~PreviewModel() {
  runner_.Cancel();
  runner_.Wait();
}

void PreviewModel::Run(const std::string& title, const Maker& make, std::unique_ptr<Playlist> own) {
  runner_.Cancel();
  runner_.Wait();
  auto disk = std::make_unique<PreviewDisk>(*this);
  PreviewQuestions ask;
  JobStart start = make(*disk, ask);
  if (!start.job) {
    if (!start.stop.message.empty())
      window_.Errors().AddError(start.stop.message, start.stop.path, true);
    return;
  }
  Playlist& playlist = own ? *own : window_.PlayList();
  if (playlist.Count() == 0) {
    window_.Errors().AddError(kEmptyPlaylist, "", true);
    return;
  }
  {
    std::lock_guard lock(mutex_);
    table_.clear();
    progress_ = {};
    summary_.clear();
    ended_ = cancelled_ = false;
  }
  controls_["LabelPreviewJob"].SetCaption(title);
  controls_["LabelPreviewSummary"].SetCaption("");
  controls_["ButtonPreviewStop"].SetCaption("Cancel");
  if (rows_) rows_();
  Show();
  if (show_) show_();
  job_ = std::move(start.job);
  disk_ = std::move(disk);
  own_ = std::move(own);
  runner_.Start(*job_, own_ ? *own_ : playlist, *this, *disk_);
}

void PreviewModel::StopCommand() {
  if (runner_.Running()) {
    runner_.Cancel();
    return;
  }
  if (hide_) hide_();
}

void PreviewModel::Cancel() {
  runner_.Cancel();
  runner_.Wait();
}

size_t PreviewModel::RowCount() const {
  std::lock_guard lock(mutex_);
  return table_.size();
}

PreviewRow PreviewModel::Row(size_t index) const {
  std::lock_guard lock(mutex_);
  return index < table_.size() ? table_[index] : PreviewRow{};
}

std::string PreviewModel::SummaryText() const {
  std::lock_guard lock(mutex_);
  return summary_;
}

void PreviewModel::AddRow(PreviewRow row) {
  {
    std::lock_guard lock(mutex_);
    table_.push_back(std::move(row));
  }
  Post();
}

void PreviewModel::ErrorAdded(const std::string& message, const std::string& path) {
  AddRow({path, message, true});
}

void PreviewModel::Changed(const FileChange& change) { AddRow({change.path, change.Text()}); }

void PreviewModel::Progress(const JobProgress& progress) {
  {
    std::lock_guard lock(mutex_);
    progress_ = progress;
  }
  Post();
}

void PreviewModel::Summary(const std::string& text, int) {
  std::lock_guard lock(mutex_);
  summary_ = "At its end the run would report:\n" + WithoutReturns(text);
}

void PreviewModel::Finished(const JobOutcome& outcome) {
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
    cancelled_ = outcome.cancelled;
  }
  window_.Posts().Post(guard_.Wrap([this] { Show(); }));
}

void PreviewModel::Post() {
  {
    std::lock_guard lock(mutex_);
    if (posted_) return;
    posted_ = true;
  }
  window_.Posts().PostDelayed(kShowIntervalMs, guard_.Wrap([this] { Show(); }));
}

void PreviewModel::Show() {
  JobProgress progress;
  std::string summary;
  bool ended, cancelled;
  {
    std::lock_guard lock(mutex_);
    posted_ = false;
    progress = progress_;
    summary = summary_;
    ended = ended_;
    cancelled = cancelled_;
  }
  controls_["LabelPreviewFiles"].SetCaption(FileCounterText(progress.index, progress.count));
  controls_["ProgressBarPreview"].SetIndex(progress.percent);
  if (ended) {
    controls_["LabelPreviewSummary"].SetCaption(
        cancelled ? "Preview cancelled: the rows show the files it went through." : summary);
    controls_["ButtonPreviewStop"].SetCaption("Close");
  }
  if (rows_) rows_();
}

}  // namespace tagmora
