#pragma once
// The "Multi Rename Tool" page: the rename job's options and, in their
// place while a job runs, its progress panel with the copy animation. It
// owns the page's model; each widget is named after its control.

#include <QDialog>
#include <QWidget>

#include <memory>

namespace tagmora {

class ControlSet;
class MainWindowModel;
class MultiRenameModel;

class MultiRenamePage : public QWidget {
  Q_OBJECT

 public:
  // Fills page (the "TabSheet2" sheet).
  MultiRenamePage(MainWindowModel& window, QWidget* page);
  ~MultiRenamePage() override;

  MultiRenameModel& Model() { return *model_; }

 private:
  ControlSet& controls_;
  std::unique_ptr<MultiRenameModel> model_;
  QDialog* preview_ = nullptr;  // shows the model's preview; goes first
  int watch_ = 0;
};

}  // namespace tagmora
