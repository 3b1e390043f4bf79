#include "ui/UndoDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "jobs/UndoModel.h"
#include "jobs/UnitThreadUndo.h"
#include "ui/ControlBinder.h"
#include "ui/FilePageParts.h"
#include "ui/PreviewDialog.h"
#include "ui/ProgressPanel.h"

namespace tagmora {

UndoDialog::UndoDialog(UndoModel& undo, QWidget* parent) : QDialog(parent), undo_(undo) {
  setObjectName(QStringLiteral("FormUndo"));
  setWindowTitle(QString::fromUtf8(kUndoCaption));

  auto* list = Named(new QGroupBox(this), "GroupUndoList");
  auto* question = Named(new QLabel(list), "LabelUndoJob");
  question->setTextFormat(Qt::PlainText);
  question->setWordWrap(true);
  auto* answers = new QHBoxLayout;
  answers->addStretch(1);
  for (const char* name : {"ButtonUndoYes", "ButtonUndoNo"})
    answers->addWidget(Named(new QPushButton(list), name));
  auto* listLayout = new QVBoxLayout(list);
  listLayout->addWidget(question);
  listLayout->addWidget(MakePreviewPane(undo.List(), list), 1);
  listLayout->addLayout(answers);

  // The model shows one of the two at a time.
  auto* layout = new QGridLayout(this);
  layout->addWidget(list, 0, 0);
  layout->addWidget(MakeProgressPanel(kUndoPanel, this), 0, 0);
  new ControlBinder(undo.Controls(), this, this);
  new ControlBinder(undo.List().Controls(), this, this);

  FollowModel(undo, this);
  resize(720, 440);
}

UndoDialog::~UndoDialog() = default;

void UndoDialog::reject() { undo_.Close(); }

}  // namespace tagmora
