#include "ui/MultiMovePage.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "jobs/MultiMoveModel.h"
#include "ui/FilePageParts.h"
#include "ui/PreviewDialog.h"

namespace tagmora {

MultiMovePage::MultiMovePage(MainWindowModel& window, QWidget* page)
    : QWidget(page), model_(std::make_unique<MultiMoveModel>(window)) {
  setObjectName(QStringLiteral("MultiMove"));
  auto* group = Named(new QGroupBox(this), "GroupMultiMove");

  auto* baseRow = new QHBoxLayout;
  baseRow->addWidget(Named(new QLabel(group), "LabelBaseFolder"));
  // An empty box proposes the first file's folder when it gets the focus.
  QLineEdit* base = AddFolderRow(baseRow, "EditBaseFolder", "ButtonChooseBaseFolder", group);
  base->installEventFilter(this);

  auto* right = new QVBoxLayout;
  right->addLayout(baseRow);
  right->addWidget(RadioBox("GroupMovePriority", {"RadioPriority1", "RadioPriority2"}, true, group),
                   0, Qt::AlignLeft);
  right->addWidget(Named(new QCheckBox(group), "CheckBoxCreateOnly"));
  right->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (const char* button : {"ButtonMovePreview", "ButtonMoveStart"})
    buttons->addWidget(Named(new QPushButton(group), button));
  right->addLayout(buttons);

  auto* layout = new QHBoxLayout(group);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->addWidget(RadioBox("GroupFolderBy",
                             {kFolderByChoices[0].radio, kFolderByChoices[1].radio,
                              kFolderByChoices[2].radio, kFolderByChoices[3].radio},
                             false, group),
                    0, Qt::AlignTop);
  layout->addSpacing(8);
  layout->addLayout(right, 1);
  PlaceSettingsAndProgress(this, group, kMovePanel);
  preview_ = new PreviewDialog(model_->Previewer(), this);

  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->addWidget(this);
}

MultiMovePage::~MultiMovePage() { delete preview_; }

bool MultiMovePage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) model_->BaseFolderFocused();
  return QWidget::eventFilter(watched, event);
}

}  // namespace tagmora
