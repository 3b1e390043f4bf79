#pragma once
// "Undo Last Batch Job": the question with the list of what the undo takes
// back, Yes and No; on Yes the undo's progress panel takes the list's
// place until "Finish" closes the dialog.

#include <QDialog>

namespace tagmora {

class UndoModel;

class UndoDialog : public QDialog {
  Q_OBJECT

 public:
  UndoDialog(UndoModel& undo, QWidget* parent);
  ~UndoDialog() override;

 protected:
  void reject() override;

 private:
  UndoModel& undo_;
};

}  // namespace tagmora
