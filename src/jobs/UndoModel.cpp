#include "jobs/UndoModel.h"

#include <cerrno>

#include "app/MainWindowModel.h"
#include "jobs/UnitThreadUndo.h"
#include "platform/FileSystem.h"
#include "playlist/Playlist.h"

namespace tagmora {

UndoModel::UndoModel(MainWindowModel& window)
    : window_(window), controls_(window.Posts()), list_(window) {
  controls_.Add("GroupUndoList", ControlKind::Group);
  controls_.Add("LabelUndoJob", ControlKind::Label);
  controls_.Add("ButtonUndoYes", ControlKind::Button, "Yes").OnClick([this] { Yes(); });
  controls_.Add("ButtonUndoNo", ControlKind::Button, "No").OnClick([this] { Close(); });
  panel_ = std::make_unique<JobPanel>(window_, kUndoPanel, &controls_);
  panel_->SetAfterClose([this] {
    Release();
    if (hide_) hide_();
  });
  window_.Controls()[kUndoMenuItem].OnClick([this] { Open(); });
}

UndoModel::~UndoModel() {
  window_.Controls()[kUndoMenuItem].OnClick({});
  // The run ends before the journal it marks.
  panel_.reset();
  list_.Cancel();
}

void UndoModel::Tell(const std::string& text) {
  window_.User().Show({kUndoCaption, text, MessageIcon::Information, MessageButtons::Ok});
}

std::unique_ptr<Playlist> UndoModel::Items() const {
  auto items = std::make_unique<Playlist>(window_.Posts());
  std::vector<std::string> paths;
  for (const UndoEntry& entry : entries_) paths.push_back(UndoItem(entry));
  items->AppendAll(std::move(paths));
  return items;
}

void UndoModel::Release() {
  list_.Cancel();
  session_.reset();
  entries_.clear();
}

void UndoModel::Open() {
  // One undo at a time: an open dialog comes to the front.
  if (session_) {
    if (show_) show_();
    return;
  }
  const std::vector<UndoJob> jobs = ListUndoJobs();
  const UndoJob* last = LastJobToUndo(jobs);
  if (!last) return Tell("There is no batch job left to undo!");
  const std::string busy = "The batch job " + DescribeJob(*last) +
                           " is still running, or another undo works on it!\n"
                           "Undo it once it has ended.";
  if (last->live) return Tell(busy);
  auto session = std::make_unique<UndoSession>();
  UndoJob job;
  if (!session->Open(last->folder, job))
    return Tell(errno == EBUSY ? busy
                               : "The undo journal " + last->folder +
                                     " cannot be read: " + SystemErrorText() + "!");
  entries_ = EntriesToTakeBack(job);
  session_ = std::move(session);
  if (entries_.empty()) {
    // A job whose changes all failed, or an undo that stopped after the last one.
    session_->Finish();
    Release();
    return Tell("There is nothing left to take back of " + DescribeJob(job) + "!");
  }
  controls_["LabelUndoJob"].SetCaption("Undo " + DescribeJob(job) +
                                       "? These changes will be taken back:");
  controls_["GroupUndoList"].SetVisible(true);
  controls_[kUndoPanel.progressPanel].SetVisible(false);
  if (show_) show_();
  const std::vector<UndoEntry> entries = entries_;
  list_.Run(job.name, [entries](JobDisk&, StartQuestions&) {
    return JobStart{std::make_unique<TThreadUndo>(entries, nullptr)};
  }, Items());
}

void UndoModel::Yes() {
  if (!session_ || panel_->Running()) return;
  list_.Cancel();
  panel_->Start(std::make_unique<TThreadUndo>(entries_, session_.get()),
                std::make_unique<RealDisk>(*panel_, nullptr), Items());
}

void UndoModel::Close() {
  if (panel_->Running()) {
    panel_->StopCommand();
    return;
  }
  Release();
  if (hide_) hide_();
}

}  // namespace tagmora
