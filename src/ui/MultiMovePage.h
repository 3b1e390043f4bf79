#pragma once
// The "Multi Move Tool" page: the move job's options and, in their place
// while a job runs, its progress panel. It owns the page's model; each
// widget is named after its control.

#include <QDialog>
#include <QWidget>

#include <memory>

namespace tagmora {

class MainWindowModel;
class MultiMoveModel;

class MultiMovePage : public QWidget {
  Q_OBJECT

 public:
  // Fills page (the "TabSheet6" sheet).
  MultiMovePage(MainWindowModel& window, QWidget* page);
  ~MultiMovePage() override;

  MultiMoveModel& Model() { return *model_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::unique_ptr<MultiMoveModel> model_;
  QDialog* preview_ = nullptr;  // shows the model's preview; goes first
};

}  // namespace tagmora
