#include "ui/FormSearchAndReplace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "jobs/MultiTagFields.h"
#include "jobs/SearchReplaceEditor.h"
#include "ui/ControlBinder.h"

namespace tagmora {

namespace {

constexpr int kFieldColumns = 4;

template <typename W>
W* Named(W* widget, const QString& name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace

TFormSearchAndReplace::TFormSearchAndReplace(SearchReplaceEditor& editor, QWidget* parent)
    : QDialog(parent), editor_(editor) {
  setObjectName(QStringLiteral("FormSearchAndReplace"));
  setWindowTitle(QString::fromLatin1(SearchReplaceEditor::kCaption));

  // One-line boxes: a rule's texts never hold a line break.
  auto* texts = new QGridLayout;
  int row = 0;
  for (const char* name : {"SearchFor", "ReplaceWith"}) {
    texts->addWidget(Named(new QLabel(this), QStringLiteral("Label") + name), row, 0);
    texts->addWidget(Named(new QLineEdit(this), QStringLiteral("Edit") + name), row++, 1);
  }

  auto* fields = new QGroupBox(this);
  auto* grid = new QGridLayout(fields);
  for (int field = 0; field < kMultiFieldCount; ++field)
    grid->addWidget(Named(new QCheckBox(fields), QStringLiteral("CheckBox") +
                                                     QString::fromLatin1(kMultiTagFields[field].caption)),
                    field / kFieldColumns, field % kFieldColumns);
  auto* searchIn = Named(new QLineEdit(this), QStringLiteral("EditSearchIn"));
  searchIn->setReadOnly(true);
  auto* searchInRow = new QHBoxLayout;
  searchInRow->addWidget(Named(new QLabel(this), QStringLiteral("LabelSearchIn")));
  searchInRow->addWidget(searchIn, 1);

  auto* save = Named(new QPushButton(this), QStringLiteral("ButtonSave"));
  save->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(Named(new QPushButton(this), QStringLiteral("ButtonCancel")));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Named(new QCheckBox(this), QStringLiteral("CheckBoxEnabled")));
  layout->addLayout(texts);
  layout->addWidget(fields);
  layout->addLayout(searchInRow);
  layout->addLayout(buttons);

  new ControlBinder(editor_.Controls(), this, this);
  editor_.SetCloseHandler([this] { accept(); });
  resize(430, sizeHint().height());
}

TFormSearchAndReplace::~TFormSearchAndReplace() { editor_.SetCloseHandler({}); }

int TFormSearchAndReplace::ShowModal() {
  findChild<QLineEdit*>(QStringLiteral("EditSearchFor"))->setFocus();
  return exec();
}

}  // namespace tagmora
