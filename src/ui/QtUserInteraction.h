#pragma once
// The user-interaction seam on Qt: message boxes, file dialogs, the
// desktop's open action and the beep.

#include <QPointer>
#include <QWidget>

#include "app/UserInteraction.h"

namespace tagmora {

class QtUserInteraction : public UserInteraction {
 public:
  // Boxes and dialogs are owned by the owner window once it is set.
  void SetOwner(QWidget* owner) { owner_ = owner; }

  MessageAnswer Show(const MessageBox& box) override;
  std::vector<std::string> OpenFiles(const FileDialog& dialog) override;
  std::optional<std::string> SaveFile(const FileDialog& dialog) override;
  std::optional<std::string> ChooseFolder(const FileDialog& dialog) override;
  void OpenWithShell(const std::string& target) override;
  void Beep() override;

 private:
  QPointer<QWidget> owner_;
};

// The Qt name filter of a dialog: "Mp3 Files (*.mp3)"; a name that shows
// its pattern already ("M3U Files(*.m3u)") is kept as it is.
QString NameFilter(const FileDialog& dialog);
// What the desktop gets for a target: a local file for a path, else the
// address itself.
QUrl ShellUrl(const std::string& target);

}  // namespace tagmora
