#include "ui/PreviewDialog.h"

#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "jobs/PreviewModel.h"
#include "ui/ControlBinder.h"
#include "ui/FilePageParts.h"
#include "ui/QtPoster.h"

namespace tagmora {

namespace {

constexpr const char* kHeaders[] = {"File", "Change"};
constexpr int kFileColumnWidth = 300;

}  // namespace

PreviewTable::PreviewTable(PreviewModel& preview, QObject* parent)
    : QAbstractTableModel(parent), preview_(preview) {
  QPointer<PreviewTable> self(this);
  preview_.SetRowsHandler([self] {
    if (self) self->Reconcile();
  });
}

int PreviewTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int PreviewTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant PreviewTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const PreviewRow row = preview_.Row(size_t(index.row()));
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return QString::fromStdString(index.column() == 0 ? row.file : row.change);
    case Qt::ForegroundRole:
      // An error shows in the colour that says so, whatever the style.
      return row.error ? QVariant(QBrush(QColor(0xB0, 0x00, 0x20))) : QVariant();
    default: return {};
  }
}

QVariant PreviewTable::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section > 1)
    return {};
  return QString::fromLatin1(kHeaders[section]);
}

void PreviewTable::Reconcile() {
  AssertUserInterfaceThread();
  const int count = int(preview_.RowCount());
  if (count < rows_) {
    beginResetModel();
    rows_ = count;
    endResetModel();
  } else if (count > rows_) {
    beginInsertRows({}, rows_, count - 1);
    rows_ = count;
    endInsertRows();
  }
}

QWidget* MakePreviewPane(PreviewModel& preview, QWidget* parent) {
  auto* pane = new QWidget(parent);
  auto* title = Named(new QLabel(pane), "LabelPreviewJob");
  title->setTextFormat(Qt::PlainText);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);

  auto* view = Named(new QTableView(pane), "TablePreview");
  view->setModel(new PreviewTable(preview, view));
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setTextElideMode(Qt::ElideMiddle);
  view->setWordWrap(false);
  view->verticalHeader()->hide();
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setStretchLastSection(true);
  view->horizontalHeader()->setHighlightSections(false);
  view->setColumnWidth(0, kFileColumnWidth);

  auto* progress = new QHBoxLayout;
  progress->addWidget(Named(new QLabel(pane), "LabelPreviewFiles"));
  auto* bar = Named(new QProgressBar(pane), "ProgressBarPreview");
  bar->setRange(0, 100);
  progress->addWidget(bar, 1);

  auto* summary = Named(new QLabel(pane), "LabelPreviewSummary");
  summary->setTextFormat(Qt::PlainText);
  summary->setWordWrap(true);

  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(title);
  layout->addWidget(view, 1);
  layout->addLayout(progress);
  layout->addWidget(summary);
  return pane;
}

PreviewDialog::PreviewDialog(PreviewModel& preview, QWidget* parent)
    : QDialog(parent), preview_(preview) {
  setObjectName(QStringLiteral("FormPreview"));
  setWindowTitle(QStringLiteral("Preview"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Named(new QPushButton(this), "ButtonPreviewStop"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakePreviewPane(preview, this), 1);
  layout->addLayout(buttons);
  new ControlBinder(preview.Controls(), this, this);

  FollowModel(preview, this);
  resize(720, 420);
}

PreviewDialog::~PreviewDialog() = default;

void PreviewDialog::reject() {
  // Escape and the window's close button act as the dialog's own button:
  // a running preview is cancelled and stays to show what it went through.
  preview_.StopCommand();
}

}  // namespace tagmora
