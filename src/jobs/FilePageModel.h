#pragma once
// What the "Multi Rename Tool" and "Multi Move Tool" pages share: their
// controls' commands, a folder box with its chooser button, and the start
// of their job on its progress panel.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jobs/FileJobs.h"
#include "jobs/JobPanel.h"

namespace tagmora {

class FilePageModel {
 public:
  FilePageModel(const FilePageModel&) = delete;
  FilePageModel& operator=(const FilePageModel&) = delete;

  JobPanel& Panel() { return *panel_; }

 protected:
  // Adds the progress panel's controls to the window's.
  FilePageModel(MainWindowModel& window, const JobPanelNames& panel);
  ~FilePageModel();

  Control& C(const std::string& name) { return controls_[name]; }
  void Bind(const std::string& name, std::function<void()> command);
  // A folder box and the "..." button beside it that opens the chooser.
  void AddFolderBox(const char* edit, const char* hint, const char* button);
  // Sets the box to the folder of the first playlist item, if there is one.
  void FillFromFirstItem(const char* edit);
  // The folder box after the start's checks: the folder as it was used.
  // A stop is recorded with its box; otherwise the job starts.
  void Start(const char* edit, const std::string& folder, std::optional<StartStop> stop,
             std::unique_ptr<BatchJob> job);

  MainWindowModel& window_;
  ControlSet& controls_;

 private:
  void ChooseFolder(const char* edit);

  std::unique_ptr<JobPanel> panel_;
  std::vector<std::string> bound_;
};

}  // namespace tagmora
