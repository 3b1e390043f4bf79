#include "ui/ErrorGridModel.h"

#include <QTableView>

#include "ui/QtPoster.h"

namespace tagmora {

namespace {
constexpr int kColumns = 4;
}

ErrorGridModel::ErrorGridModel(ErrorList& errors, QObject* parent)
    : QAbstractTableModel(parent),
      errors_(errors),
      entries_(static_cast<int>(errors.Count())),
      clears_(errors.Clears()) {
  // A job's errors come in bursts: the grid grows, selects and scrolls
  // once for each burst. A cleared list is taken in at once, so that the
  // view never asks for entries that are gone.
  growth_.setSingleShot(true);
  growth_.setInterval(0);
  connect(&growth_, &QTimer::timeout, this, &ErrorGridModel::Reconcile);
  watch_ = errors_.Watch([this] {
    if (errors_.Clears() != clears_ || static_cast<int>(errors_.Count()) < entries_)
      Reconcile();
    else if (!growth_.isActive())
      growth_.start();
  });
}

ErrorGridModel::~ErrorGridModel() { errors_.Unwatch(watch_); }

void ErrorGridModel::Attach(QTableView* view) {
  view_ = view;
  view->setModel(this);
}

int ErrorGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : entries_ + 1;
}

int ErrorGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant ErrorGridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  if (!index.isValid() || index.row() >= entries_) return {};
  const ErrorEntry entry = errors_.Entry(static_cast<size_t>(index.row()));
  const std::string* cells[kColumns] = {&entry.number, &entry.time, &entry.message,
                                        &entry.path};
  return QString::fromStdString(*cells[index.column()]);
}

QVariant ErrorGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal && section >= 0 && section < kColumns)
    return QString::fromLatin1(kErrorColumns[section].header);
  return {};
}

void ErrorGridModel::Reconcile() {
  AssertUserInterfaceThread();
  const int count = static_cast<int>(errors_.Count());
  if (errors_.Clears() != clears_ || count < entries_) {
    beginResetModel();
    clears_ = errors_.Clears();
    entries_ = count;
    endResetModel();
    return;
  }
  if (count == entries_) return;
  const int filled = entries_;
  beginInsertRows({}, entries_ + 1, count);
  entries_ = count;
  endInsertRows();
  // The first new entry went into the old empty row.
  emit dataChanged(index(filled, 0), index(filled, kColumns - 1));
  if (view_) {
    view_->selectRow(entries_);
    view_->scrollToBottom();
  }
}

}  // namespace tagmora
