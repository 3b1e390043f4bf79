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
      ShowSelection();
      return;
    }
    case PlaylistChange::Kind::Focus:
      ShowFocus();
      return;
  }
}

void PlaylistListModel::ShowSelection() {
  if (!view_) return;
  const std::vector<std::pair<int, int>> ranges = playlist_.SelectedRanges();
  // Leaves a selection the user is still extending alone when it already
  // says the same: rewriting it would commit the shift-click range.
  std::vector<char> shown(static_cast<size_t>(rows_), 0);
  for (const QItemSelectionRange& range : view_->selectionModel()->selection())
    for (int row = std::max(0, range.top()); row <= range.bottom() && row < rows_; ++row)
      shown[static_cast<size_t>(row)] = 1;
  std::vector<char> wanted(static_cast<size_t>(rows_), 0);
  for (const auto& [first, last] : ranges)
    for (int row = std::max(0, first); row <= last && row < rows_; ++row)
      wanted[static_cast<size_t>(row)] = 1;
  if (shown == wanted) return;

  QItemSelection selection;
  for (const auto& [first, last] : ranges) {
    const int end = std::min(last, rows_ - 1);
    if (first <= end) selection.select(index(first), index(end));
  }
  syncing_ = true;
  view_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
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
