#pragma once
// "TFormOptions": the options dialog, always on top and not modal, with the
// "Errors" page (the twins of the alert menu items), the "Playlist" page and
// the "Files" page; the player adds its "Sound" page in front.

#include <QDialog>

#include <memory>

class QTabWidget;

namespace tagmora {

class ControlBinder;
class ControlSet;

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  OptionsDialog(ControlSet& controls, QWidget* parent = nullptr);
  ~OptionsDialog() override;

  // Shows the dialog beside the main window, or raises it.
  void ShowBeside();
  // A page that brings its own binding, placed at index.
  void InsertPage(int index, QWidget* page, const QString& caption);

 private:
  ControlBinder* binder_ = nullptr;
  QTabWidget* tabs_ = nullptr;
};

}  // namespace tagmora
