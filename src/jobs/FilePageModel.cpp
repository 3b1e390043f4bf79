#include "jobs/FilePageModel.h"

#include <cstdlib>

#include "app/MainWindowModel.h"
#include "playlist/Playlist.h"

namespace tagmora {

FilePageModel::FilePageModel(MainWindowModel& window, const JobPanelNames& panel)
    : window_(window),
      controls_(window.Controls()),
      panel_(std::make_unique<JobPanel>(window, panel)) {}

FilePageModel::~FilePageModel() {
  // The run ends before the page it reports to.
  panel_.reset();
  for (const std::string& name : bound_) C(name).OnClick({});
}

void FilePageModel::Bind(const std::string& name, std::function<void()> command) {
  C(name).OnClick(std::move(command));
  bound_.push_back(name);
}

void FilePageModel::AddFolderBox(const char* edit, const char* hint, const char* button) {
  controls_.Add(edit, ControlKind::Edit).SetHint(hint);
  controls_.Add(button, ControlKind::Button, "...").SetHint("Choose the folder");
  Bind(button, [this, edit] { ChooseFolder(edit); });
}

void FilePageModel::FillFromFirstItem(const char* edit) {
  std::string first;
  if (window_.PlayList().TryItem(0, first)) C(edit).SetText(FolderPart(first));
}

void FilePageModel::ChooseFolder(const char* edit) {
  FileDialog dialog;
  dialog.title = "Choose the folder";
  const std::string typed = C(edit).Text();
  if (!typed.empty()) {
    dialog.folder = TypedFolder(typed);
  } else if (std::string first; window_.PlayList().TryItem(0, first)) {
    dialog.folder = FolderPart(first);
  } else if (const char* home = std::getenv("HOME")) {
    dialog.folder = home;
  }
  if (auto chosen = window_.User().ChooseFolder(dialog)) C(edit).SetText(TypedFolder(*chosen));
}

void FilePageModel::Start(const char* edit, const std::string& folder,
                          std::optional<StartStop> stop, std::unique_ptr<BatchJob> job) {
  if (!folder.empty()) C(edit).SetText(folder);
  if (!stop) {
    panel_->Start(std::move(job));
  } else if (!stop->message.empty()) {
    window_.Errors().AddError(stop->message, stop->path, true);
  }
}

}  // namespace tagmora
