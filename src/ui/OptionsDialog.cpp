#include "ui/OptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/MainWindowModel.h"
#include "ui/ControlBinder.h"

namespace tagmora {

namespace {

QWidget* Page(QTabWidget* tabs, const QString& caption, std::initializer_list<const char*> boxes) {
  auto* page = new QWidget(tabs);
  auto* layout = new QVBoxLayout(page);
  for (const char* name : boxes) {
    auto* box = new QCheckBox(page);
    box->setObjectName(QString::fromLatin1(name));
    layout->addWidget(box);
  }
  layout->addStretch(1);
  tabs->addTab(page, caption);
  return page;
}

}  // namespace

OptionsDialog::OptionsDialog(ControlSet& controls, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormOptions"));
  setWindowTitle(QStringLiteral("Options"));
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  setModal(false);

  auto* layout = new QVBoxLayout(this);
  auto* tabs = tabs_ = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("PageControlOptions"));
  Page(tabs, QStringLiteral("Errors"), {"CheckBoxFlash", "CheckBoxBeep"})
      ->setObjectName(QStringLiteral("TabSheetOptionsErrors"));
  Page(tabs, QStringLiteral("Playlist"), {"CheckBoxShowPlayer"})
      ->setObjectName(QStringLiteral("TabSheetOptionsPlaylist"));
  Page(tabs, QStringLiteral("Files"), {kKeepMtimeCheckBox})
      ->setObjectName(QStringLiteral("TabSheetOptionsFiles"));
  layout->addWidget(tabs);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ButtonOptionsOK"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::hide);
  layout->addWidget(buttons);

  binder_ = new ControlBinder(controls, this, this);
  resize(400, 220);
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::InsertPage(int index, QWidget* page, const QString& caption) {
  tabs_->insertTab(index, page, caption);
  tabs_->setCurrentIndex(0);
}

void OptionsDialog::ShowBeside() {
  show();
  raise();
  activateWindow();
}

}  // namespace tagmora
