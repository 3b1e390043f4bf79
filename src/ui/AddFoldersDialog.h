#pragma once
// "TFormOpen" ("Open Folder(s)"): a folder tree with hidden folders shown,
// "Recurse subfolders", the file count and OK/Cancel. The dialog model
// walks on a worker thread; this only shows its controls and the tree.

#include <QDialog>

class QFileSystemModel;
class QTreeView;

namespace tagmora {

class AddFoldersModel;
class ControlBinder;

class AddFoldersDialog : public QDialog {
  Q_OBJECT

 public:
  AddFoldersDialog(AddFoldersModel& model, QWidget* parent = nullptr);
  ~AddFoldersDialog() override;

  // Resets the model, selects the remembered folder and runs modally.
  int ShowModal();

 protected:
  void reject() override;

 private:
  void SelectInTree(const QString& folder);
  void TreeCurrentChanged();

  AddFoldersModel& model_;
  QFileSystemModel* files_;
  QTreeView* tree_;
  ControlBinder* binder_ = nullptr;
  int watch_ = 0;
  bool selecting_ = false;
  bool closing_ = false;
  QString pending_;  // a folder to select once its parents are loaded
};

}  // namespace tagmora
