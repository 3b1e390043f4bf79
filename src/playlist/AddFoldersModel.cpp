#include "playlist/AddFoldersModel.h"

#include "app/ErrorList.h"
#include "playlist/FolderWalk.h"
#include "playlist/Playlist.h"

namespace tagmora {

AddFoldersModel::AddFoldersModel(Playlist& playlist, ErrorList& errors, Poster& poster)
    : playlist_(playlist), errors_(errors), poster_(poster), controls_(poster) {
  controls_.Add("ShellTreeView1", ControlKind::Edit);
  controls_.Add("CheckBoxRecurse", ControlKind::CheckBox, "Recurse subfolders").SetChecked(true);
  controls_.Add("ButtonCountFiles", ControlKind::Button, kCountIdleCaption)
      .OnClick([this] { CountClick(); });
  controls_.Add("ButtonOK", ControlKind::Button, "OK").OnClick([this] { OkClick(); });
  controls_.Add("ButtonCancel", ControlKind::Button, "Cancel").OnClick([this] { CancelClick(); });
}

AddFoldersModel::~AddFoldersModel() {
  cancel_.store(true);
  WaitForWorker();
}

void AddFoldersModel::WaitForWorker() {
  if (worker_.joinable()) worker_.join();
}

void AddFoldersModel::StartWorker(std::function<void()> work) {
  // The previous walk has been told to stop; it ends at its next folder.
  WaitForWorker();
  cancel_.store(false);
  worker_ = std::thread(std::move(work));
}

void AddFoldersModel::Show() {
  cancel_.store(true);
  WaitForWorker();
  ++walk_;
  busy_ = false;
  cancel_.store(false);
  controls_["ShellTreeView1"].SetEnabled(true);
  controls_["ButtonOK"].SetEnabled(true);
  controls_["ButtonCountFiles"].SetEnabled(true);
  controls_["ButtonCountFiles"].SetCaption(kCountIdleCaption);
  controls_["ShellTreeView1"].SetText(remembered_);
}

void AddFoldersModel::ChooseFolder(const std::string& folder) {
  if (busy_) return;
  // A count of the old folder must not end up on the new one.
  if (controls_["ButtonCountFiles"].Caption() == kCountRunningCaption) Stop();
  controls_["ShellTreeView1"].SetText(folder);
  controls_["ButtonCountFiles"].SetCaption(kCountIdleCaption);
}

void AddFoldersModel::Stop() {
  cancel_.store(true);
  ++walk_;  // results of the stopped walk are no longer shown
  busy_ = false;
  controls_["ShellTreeView1"].SetEnabled(true);
  controls_["ButtonCountFiles"].SetCaption(kCountIdleCaption);
}

void AddFoldersModel::CountClick() {
  Control& button = controls_["ButtonCountFiles"];
  if (button.Caption() == kCountRunningCaption) {
    Stop();
    return;
  }
  button.SetCaption(kCountRunningCaption);
  const bool recurse = controls_["CheckBoxRecurse"].Checked();
  if (recurse) {
    busy_ = true;
    controls_["ShellTreeView1"].SetEnabled(false);
  }
  const uint64_t walk = ++walk_;
  const std::string folder = SelectedFolder();
  StartWorker([this, walk, folder, recurse] {
    FolderCount count = CountFolder(folder, recurse, cancel_);
    poster_.Post(guard_.Wrap([this, walk, count] {
      if (walk != walk_) return;
      busy_ = false;
      controls_["ShellTreeView1"].SetEnabled(true);
      controls_["ButtonCountFiles"].SetCaption(
          count.stopped ? std::string(kCountIdleCaption)
                        : std::to_string(count.files) + " files, " +
                              std::to_string(count.folders) + " folders");
    }));
  });
}

void AddFoldersModel::OkClick() {
  controls_["ButtonOK"].SetEnabled(false);
  controls_["ButtonCountFiles"].SetEnabled(false);
  Stop();
  const std::string folder = SelectedFolder();
  remembered_ = folder;
  const bool recurse = controls_["CheckBoxRecurse"].Checked();
  if (recurse) {
    busy_ = true;
    controls_["ShellTreeView1"].SetEnabled(false);
  }
  const uint64_t walk = ++walk_;
  StartWorker([this, walk, folder, recurse] {
    auto files = std::make_shared<FolderFiles>(CollectFolder(folder, recurse, cancel_));
    poster_.Post(guard_.Wrap([this, walk, files] {
      // A walk stopped by "Cancel" or by closing adds nothing, even when
      // it ended before it heard of the stop. The dialog is closed then,
      // and may have been shown again since.
      const bool current = walk == walk_;
      size_t added = files->stopped || !current ? 0 : files->paths.size();
      if (added) playlist_.AppendAll(std::move(files->paths));
      else errors_.AddError("0 files added to playlist", "", false);
      if (!current) return;
      busy_ = false;
      controls_["ShellTreeView1"].SetEnabled(true);
      controls_["ButtonOK"].SetEnabled(true);
      controls_["ButtonCountFiles"].SetEnabled(true);
      if (close_) close_();
    }));
  });
}

void AddFoldersModel::CancelClick() {
  Stop();
  controls_["ButtonOK"].SetEnabled(true);
  controls_["ButtonCountFiles"].SetEnabled(true);
  if (close_) close_();
}

void AddFoldersModel::Closed() {
  Stop();
  controls_["ButtonOK"].SetEnabled(true);
  controls_["ButtonCountFiles"].SetEnabled(true);
}

}  // namespace tagmora
