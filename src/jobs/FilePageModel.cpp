#include "jobs/FilePageModel.h"

#include <cstdlib>

#include "app/MainWindowModel.h"
#include "playlist/Playlist.h"

namespace tagmora {

FilePageModel::FilePageModel(MainWindowModel& window, const JobPanelNames& panel,
                             const char* jobName, const char* folderBox, const char* startButton,
                             const char* previewButton)
    : window_(window),
      controls_(window.Controls()),
      jobName_(jobName),
      folderBox_(folderBox),
      panel_(std::make_unique<JobPanel>(window, panel)),
      preview_(window) {
  controls_.Add(startButton, ControlKind::Button, "Start");
  controls_.Add(previewButton, ControlKind::Button, kPreviewCaption)
      .SetHint("What the job would change, without changing anything");
  Bind(startButton, [this] { Start(); });
  Bind(previewButton, [this] { Preview(); });
}

FilePageModel::~FilePageModel() {
  // The runs end before the page they report to.
  panel_.reset();
  preview_.Cancel();
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

JobStart FilePageModel::Make(JobDisk& disk, StartQuestions& ask) {
  std::string folder;
  JobStart start = MakeJob(disk, ask, folder);
  if (!folder.empty()) C(folderBox_).SetText(folder);
  return start;
}

void FilePageModel::Start() {
  std::unique_ptr<JobDisk> disk = panel_->NewDisk(jobName_);
  if (!disk) return;
  BoxQuestions ask(window_.User());
  JobStart start = Make(*disk, ask);
  if (start.job)
    panel_->Start(std::move(start.job), std::move(disk));
  else if (!start.stop.message.empty())
    window_.Errors().AddError(start.stop.message, start.stop.path, true);
}

void FilePageModel::Preview() {
  preview_.Run(jobName_, [this](JobDisk& disk, StartQuestions& ask) { return Make(disk, ask); });
}

}  // namespace tagmora
