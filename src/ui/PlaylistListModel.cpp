#include "ui/PlaylistListModel.h"

#include <QListView>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

#include "ui/QtPoster.h"

namespace tagmora {

PlaylistListModel::PlaylistListModel(Playlist& playlist, QObject* parent)
    : QAbstractListModel(parent), playlist_(playlist), rows_(playlist.Count()) {
  watch_ = playlist_.Watch([this](const PlaylistChange& change) { Changed(change); });
}

PlaylistListModel::~PlaylistListModel() { playlist_.Unwatch(watch_); }

void PlaylistListModel::Attach(QListView* view) {
  view_ = view;
  view->setModel(this);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setUniformItemSizes(true);
  view->setDragDropMode(QAbstractItemView::DropOnly);
  view->setAcceptDrops(true);
  view->setDropIndicatorShown(false);
  connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &PlaylistListModel::ViewSelectionChanged);
  connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &PlaylistListModel::ViewCurrentChanged);
  ShowSelection();
  ShowFocus();
}

int PlaylistListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

QVariant PlaylistListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  std::string text;
  if (!index.isValid() || !playlist_.TryItem(index.row(), text)) return {};
  return QString::fromStdString(text);
}

Qt::ItemFlags PlaylistListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QStringList PlaylistListModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

Qt::DropActions PlaylistListModel::supportedDropActions() const {
  return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}

bool PlaylistListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                        const QModelIndex&) const {
  if (!data || !data->hasUrls() || !dropHandler_) return false;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return true;
  return false;
}

bool PlaylistListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                     int column, const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  std::vector<std::string> paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  dropHandler_(std::move(paths));
  // Nothing is moved out of the file manager, whatever the drag offered.
  return false;
}

void PlaylistListModel::Changed(const PlaylistChange& change) {
  AssertUserInterfaceThread();
  switch (change.kind) {
    case PlaylistChange::Kind::Reset:
      beginResetModel();
      rows_ = playlist_.Count();
      endResetModel();
      ShowSelection();
      ShowFocus();
      return;
    case PlaylistChange::Kind::Inserted:
      if (change.count <= 0) return;
      beginInsertRows({}, rows_, rows_ + change.count - 1);
      rows_ += change.count;
      endInsertRows();
      return;
    case PlaylistChange::Kind::Changed: {
      const int last = std::min(rows_, change.first + change.count) - 1;
      if (last >= change.first) emit dataChanged(index(change.first), index(last));
      ShowSelection(change.first, last);
      return;
    }
    case PlaylistChange::Kind::Focus:
      ShowFocus();
      return;
  }
}

namespace {

// Collects rows into runs, so that a selection is a few ranges.
class RowRuns {
 public:
  explicit RowRuns(const QAbstractItemModel& model) : model_(model) {}
  void Add(int row) {
    if (row == last_ + 1 && first_ >= 0) {
      last_ = row;
      return;
    }
    Flush();
    first_ = last_ = row;
  }
  QItemSelection Take() {
    Flush();
    return std::move(selection_);
  }

 private:
  void Flush() {
    if (first_ >= 0) selection_.select(model_.index(first_, 0), model_.index(last_, 0));
    first_ = last_ = -1;
  }
  const QAbstractItemModel& model_;
  QItemSelection selection_;
  int first_ = -1;
  int last_ = -1;
};

// Rows at or above this many are compared through whole-list snapshots.
constexpr int kRowByRowLimit = 256;

}  // namespace

void PlaylistListModel::ShowSelection() { ShowSelection(0, rows_ - 1); }

void PlaylistListModel::ShowSelection(int first, int last) {
  if (!view_) return;
  first = std::max(first, 0);
  last = std::min(last, rows_ - 1);
  if (first > last) return;
  QItemSelectionModel* selection = view_->selectionModel();
  // Only rows whose flag differs are touched: rewriting the whole
  // selection would commit a shift-click range the user is still
  // extending, and would cost a batch job's every failed file a pass over
  // the list.
  const size_t size = static_cast<size_t>(last - first + 1);
  std::vector<char> wanted(size, 0);
  std::vector<char> shown(size, 0);
  if (last - first + 1 < kRowByRowLimit) {
    for (int row = first; row <= last; ++row) {
      wanted[static_cast<size_t>(row - first)] = playlist_.IsSelected(row);
      shown[static_cast<size_t>(row - first)] = selection->isSelected(index(row));
    }
  } else {
    const auto mark = [first, last](std::vector<char>& rows, int from, int to) {
      for (int row = std::max(from, first); row <= std::min(to, last); ++row)
        rows[static_cast<size_t>(row - first)] = 1;
    };
    for (const auto& [from, to] : playlist_.SelectedRanges()) mark(wanted, from, to);
    for (const QItemSelectionRange& range : selection->selection())
      mark(shown, range.top(), range.bottom());
  }
  RowRuns add(*this), remove(*this);
  for (size_t i = 0; i < size; ++i) {
    if (wanted[i] == shown[i]) continue;
    (wanted[i] ? add : remove).Add(first + static_cast<int>(i));
  }
  const QItemSelection toRemove = remove.Take();
  const QItemSelection toAdd = add.Take();
  if (toRemove.isEmpty() && toAdd.isEmpty()) return;
  syncing_ = true;
  if (!toRemove.isEmpty()) selection->select(toRemove, QItemSelectionModel::Deselect);
  if (!toAdd.isEmpty()) selection->select(toAdd, QItemSelectionModel::Select);
  syncing_ = false;
}

void PlaylistListModel::ShowFocus() {
  if (!view_) return;
  const int focus = playlist_.Focus();
  syncing_ = true;
  if (focus >= 0 && focus < rows_)
    view_->selectionModel()->setCurrentIndex(index(focus), QItemSelectionModel::NoUpdate);
  else
    view_->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
  syncing_ = false;
}

void PlaylistListModel::ViewSelectionChanged(const QItemSelection& selected,
                                             const QItemSelection& deselected) {
  if (syncing_) return;
  for (const QItemSelectionRange& range : deselected)
    playlist_.SetSelectedRange(range.top(), range.bottom(), false);
  for (const QItemSelectionRange& range : selected)
    playlist_.SetSelectedRange(range.top(), range.bottom(), true);
}

void PlaylistListModel::ViewCurrentChanged(const QModelIndex& current) {
  if (syncing_) return;
  const int row = current.isValid() ? current.row() : -1;
  if (row != playlist_.Focus()) playlist_.SetFocus(row);
}

}  // namespace tagmora
