#include "ui/MpegInfoPanel.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "editing/TagEditorModel.h"
#include "ui/TagEditorPage.h"

namespace tagmora {

namespace {
constexpr int kRowsPerColumn = 7;
constexpr int kBoxWidth = 130;
constexpr int kMaxWidth = 600;
}  // namespace

MpegInfoPanel::MpegInfoPanel(QWidget* parent) : QGroupBox(parent) {
  setObjectName(QStringLiteral("GroupFileInfo"));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(3);
  for (size_t i = 0; i < kMpegFields.size(); ++i) {
    const int row = static_cast<int>(i) % kRowsPerColumn;
    const int column = static_cast<int>(i) / kRowsPerColumn * 2;
    auto [label, box] = MakeField(kMpegFields[i], this);
    auto* edit = static_cast<QLineEdit*>(box);
    edit->setReadOnly(true);
    edit->setMinimumWidth(kBoxWidth);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1);
  }
  auto* path = new QLineEdit(this);
  path->setObjectName(QStringLiteral("EditPath2"));
  path->setReadOnly(true);
  grid->addWidget(path, kRowsPerColumn, 0, 1, 4);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  setMaximumWidth(kMaxWidth);
}

MpegInfoPanel* MpegInfoPanel::PlaceOn(QWidget* playerPage) {
  auto* row = qobject_cast<QBoxLayout*>(playerPage->layout());
  if (!row) {
    row = new QHBoxLayout(playerPage);
    row->setContentsMargins(4, 4, 4, 4);
  }
  auto* panel = new MpegInfoPanel(playerPage);
  row->addWidget(panel, 1, Qt::AlignTop | Qt::AlignLeft);
  return panel;
}

}  // namespace tagmora
