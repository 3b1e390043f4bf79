#pragma once
// "TFormOptions": the options dialog, always on top and not modal, with the
// "Errors" page (the twins of the alert menu items) and the "Playlist" page.
// The "Sound" page comes with the player.

#include <QDialog>

#include <memory>

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

 private:
  ControlBinder* binder_ = nullptr;
};

}  // namespace tagmora
