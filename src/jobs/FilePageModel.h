#pragma once
// What the "Multi Rename Tool" and "Multi Move Tool" pages share: their
// controls' commands, a folder box with its chooser button, and the start
// of their job on its progress panel, or in a preview.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jobs/FileJobs.h"
#include "jobs/JobPanel.h"
#include "jobs/PreviewModel.h"

namespace tagmora {

class FilePageModel {
 public:
  FilePageModel(const FilePageModel&) = delete;
  FilePageModel& operator=(const FilePageModel&) = delete;

  JobPanel& Panel() { return *panel_; }
  PreviewModel& Previewer() { return preview_; }

  // "Start": the checks and questions, then the run.
  void Start();
  // "Preview...": the same job, without a question, against the preview disk.
  void Preview();

 protected:
  // Adds the progress panel's controls to the window's; the start and
  // preview buttons run Start and Preview.
  FilePageModel(MainWindowModel& window, const JobPanelNames& panel, const char* jobName,
                const char* folderBox, const char* startButton, const char* previewButton);
  ~FilePageModel();

  // The page's job as its controls stand, through its start's checks and
  // questions; folder gets the folder box's text as the start used it.
  virtual JobStart MakeJob(JobDisk& disk, StartQuestions& ask, std::string& folder) = 0;

  Control& C(const std::string& name) { return controls_[name]; }
  void Bind(const std::string& name, std::function<void()> command);
  // A folder box and the "..." button beside it that opens the chooser.
  void AddFolderBox(const char* edit, const char* hint, const char* button);
  // Sets the box to the folder of the first playlist item, if there is one.
  void FillFromFirstItem(const char* edit);

  MainWindowModel& window_;
  ControlSet& controls_;

 private:
  void ChooseFolder(const char* edit);
  JobStart Make(JobDisk& disk, StartQuestions& ask);

  const char* jobName_;
  const char* folderBox_;
  std::unique_ptr<JobPanel> panel_;
  PreviewModel preview_;
  std::vector<std::string> bound_;
};

}  // namespace tagmora
