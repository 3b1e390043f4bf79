#pragma once
// "Undo Last Batch Job...": finds the newest kept job with changes left to
// take back, shows in a dialog of its own what the undo will take back (the
// undo run against the preview disk) with the question, and on Yes runs
// the undo on a worker with its progress panel in place of the list. The
// journal stays locked from the question to "Finish".

#include <functional>
#include <memory>
#include <vector>

#include "app/Control.h"
#include "jobs/JobPanel.h"
#include "jobs/PreviewModel.h"
#include "platform/UndoJournal.h"

namespace tagmora {

class MainWindowModel;

class UndoModel {
 public:
  // Binds the menu item, which every progress panel's undo button clicks.
  explicit UndoModel(MainWindowModel& window);
  ~UndoModel();
  UndoModel(const UndoModel&) = delete;
  UndoModel& operator=(const UndoModel&) = delete;

  // The dialog's controls: the question, Yes and No, and the undo's panel.
  ControlSet& Controls() { return controls_; }
  // What the undo will take back.
  PreviewModel& List() { return list_; }
  JobPanel& Panel() { return *panel_; }

  // The menu command.
  void Open();
  void Yes();
  // No, or the dialog closed: a running undo is cancelled, otherwise the
  // dialog goes.
  void Close();

  void SetShowHandler(std::function<void()> show) { show_ = std::move(show); }
  void SetHideHandler(std::function<void()> hide) { hide_ = std::move(hide); }

 private:
  void Tell(const std::string& text);
  std::unique_ptr<Playlist> Items() const;
  void Release();

  MainWindowModel& window_;
  ControlSet controls_;
  PreviewModel list_;
  std::unique_ptr<JobPanel> panel_;
  std::unique_ptr<UndoSession> session_;
  std::vector<UndoEntry> entries_;
  std::function<void()> show_, hide_;
};

}  // namespace tagmora
