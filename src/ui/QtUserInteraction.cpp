#include "ui/QtUserInteraction.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/QtPoster.h"

namespace tagmora {

namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QString NameFilter(const FileDialog& dialog) {
  const QString name = FromUtf8(dialog.filterName);
  const QString pattern = FromUtf8(dialog.filterPattern);
  if (pattern.isEmpty() || name.endsWith(QLatin1Char(')'))) return name;
  return name + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

QUrl ShellUrl(const std::string& target) {
  if (!target.empty() && target.front() == '/') return QUrl::fromLocalFile(FromUtf8(target));
  return QUrl(FromUtf8(target), QUrl::TolerantMode);
}

MessageAnswer QtUserInteraction::Show(const MessageBox& box) {
  AssertUserInterfaceThread();
  QMessageBox message(QtIcon(box.icon), FromUtf8(box.caption), FromUtf8(box.text),
                      QMessageBox::NoButton, owner_);
  switch (box.buttons) {
    case MessageButtons::Ok:
      message.setStandardButtons(QMessageBox::Ok);
      message.setEscapeButton(QMessageBox::Ok);
      break;
    case MessageButtons::YesNo:
      message.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      message.setEscapeButton(QMessageBox::No);
      break;
    case MessageButtons::YesNoCancel:
      message.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      message.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  switch (message.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default: return MessageAnswer::Ok;
  }
}

std::vector<std::string> QtUserInteraction::OpenFiles(const FileDialog& dialog) {
  AssertUserInterfaceThread();
  QFileDialog files(owner_, FromUtf8(dialog.title), FromUtf8(dialog.folder), NameFilter(dialog));
  files.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.multiSelect)
    files.setFileMode(QFileDialog::ExistingFiles);
  else
    files.setFileMode(dialog.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  std::vector<std::string> chosen;
  if (files.exec() != QDialog::Accepted) return chosen;
  for (const QString& file : files.selectedFiles()) chosen.push_back(file.toStdString());
  return chosen;
}

std::optional<std::string> QtUserInteraction::SaveFile(const FileDialog& dialog) {
  AssertUserInterfaceThread();
  QFileDialog files(owner_, FromUtf8(dialog.title), FromUtf8(dialog.folder), NameFilter(dialog));
  files.setAcceptMode(QFileDialog::AcceptSave);
  files.setFileMode(QFileDialog::AnyFile);
  if (!dialog.defaultSuffix.empty()) files.setDefaultSuffix(FromUtf8(dialog.defaultSuffix));
  files.setOption(QFileDialog::DontConfirmOverwrite, !dialog.confirmOverwrite);
  if (!dialog.proposedName.empty()) files.selectFile(FromUtf8(dialog.proposedName));
  if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty()) return std::nullopt;
  return files.selectedFiles().front().toStdString();
}

std::optional<std::string> QtUserInteraction::ChooseFolder(const FileDialog& dialog) {
  AssertUserInterfaceThread();
  QString folder = QFileDialog::getExistingDirectory(owner_, FromUtf8(dialog.title),
                                                     FromUtf8(dialog.folder));
  if (folder.isEmpty()) return std::nullopt;
  return QFile::encodeName(folder).toStdString();
}

void QtUserInteraction::OpenWithShell(const std::string& target) {
  // The result is not examined: a missing file or browser shows nothing.
  QDesktopServices::openUrl(ShellUrl(target));
}

void QtUserInteraction::Beep() { QApplication::beep(); }

}  // namespace tagmora
