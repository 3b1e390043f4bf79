#pragma once
// What a job would change, as a table: the "Preview" dialog of the job
// pages, and the list of the undo dialog (ui/UndoDialog.h). The pane shows
// a PreviewModel: its title, a row per change or error (errors in the
// error colour), the file counter and progress bar while it runs, and the
// counts of the job's summary once it has ended.

#include <QAbstractTableModel>
#include <QDialog>
#include <QPointer>

class QTableView;

namespace tagmora {

class PreviewModel;

class PreviewTable : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit PreviewTable(PreviewModel& preview, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Takes in the rows that came, or starts again for a new run.
  void Reconcile();

 private:
  PreviewModel& preview_;
  int rows_ = 0;
};

// The pane, bound to the preview's controls.
QWidget* MakePreviewPane(PreviewModel& preview, QWidget* parent);

// The dialog opens and hides when its model says so, and outlives neither.
template <typename Model>
void FollowModel(Model& model, QDialog* dialog) {
  QPointer<QDialog> self(dialog);
  model.SetShowHandler([self] {
    if (!self) return;
    self->open();
    self->raise();
  });
  model.SetHideHandler([self] {
    if (self) self->hide();
  });
}

class PreviewDialog : public QDialog {
  Q_OBJECT

 public:
  // Shown while the preview runs and until it is closed.
  PreviewDialog(PreviewModel& preview, QWidget* parent);
  ~PreviewDialog() override;

 protected:
  void reject() override;

 private:
  PreviewModel& preview_;
};

}  // namespace tagmora
