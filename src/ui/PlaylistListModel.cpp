#include "ui/PlaylistListModel.h"

#include <QListView>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

#include "ui/QtPoster.h"

namespace tagmora {

void PlaylistView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles) {
  if (!uniformItemSizes() || !model() || bottomRight.row() >= model()->rowCount() - 1) {
    QListView::dataChanged(topLeft, bottomRight, roles);
    return;
  }
  QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

PlaylistListModel::PlaylistListModel(Playlist& playlist, QObject* parent)
    : QAbstractListModel(parent), playlist_(playlist), rows_(playlist.Count()) {
  selectionTimer_.setSingleShot(true);
  selectionTimer_.setInterval(0);
  connect(&selectionTimer_, &QTimer::timeout, this,
          [this] { ShowSelection(dirtyFirst_, dirtyLast_); });
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
      selectionTimer_.stop();
      ShowSelection();
      ShowFocus();
      return;
    case PlaylistChange::Kind::Inserted: {
      // Items only ever go to the end; the count says how many are new.
      const int count = playlist_.Count();
      if (count < rows_) return Changed({PlaylistChange::Kind::Reset});
      if (count == rows_) return;
      beginInsertRows({}, rows_, count - 1);
      rows_ = count;
      endInsertRows();
      return;
    }
    case PlaylistChange::Kind::Changed: {
      const int last = std::min(rows_, change.first + change.count) - 1;
      if (last < change.first) return;
      emit dataChanged(index(change.first), index(last));
      // A job marks its failed files one by one: the view catches up once
      // for all the marks that arrived together.
      dirtyFirst_ = selectionTimer_.isActive() ? std::min(dirtyFirst_, change.first) : change.first;
      dirtyLast_ = selectionTimer_.isActive() ? std::max(dirtyLast_, last) : last;
      if (!selectionTimer_.isActive()) selectionTimer_.start();
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
    if (first_ >= 0 && row == last_ + 1) {
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

// Up to this many differing rows are changed one by one; beyond, the
// view's selection is built anew, since Qt compares selections range by
// range and a selection of many ranges makes each small change costly.
constexpr int kRowByRowLimit = 64;

// The flags of rows first to last from a list of (first, last) ranges.
std::vector<char> Flags(int first, int last, const std::vector<std::pair<int, int>>& ranges) {
  std::vector<char> flags(static_cast<size_t>(last - first + 1), 0);
  for (const auto& [from, to] : ranges)
    for (int row = std::max(from, first); row <= std::min(to, last); ++row)
      flags[static_cast<size_t>(row - first)] = 1;
  return flags;
}

}  // namespace

void PlaylistListModel::ShowSelection() { ShowSelection(0, rows_ - 1); }

void PlaylistListModel::ShowSelection(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, rows_ - 1);
  if (!view_ || first > last) return;
  QItemSelectionModel* selection = view_->selectionModel();
  std::vector<char> wanted;
  if (last - first < kRowByRowLimit) {
    for (int row = first; row <= last; ++row) wanted.push_back(playlist_.IsSelected(row));
  } else {
    wanted = Flags(first, last, playlist_.SelectedRanges());
  }
  std::vector<std::pair<int, int>> shownRanges;
  for (const QItemSelectionRange& range : selection->selection())
    shownRanges.emplace_back(range.top(), range.bottom());
  const std::vector<char> shown = Flags(first, last, shownRanges);

  // Rows whose flag differs are the only ones touched: rewriting a
  // selection the user is still extending with Shift would commit it.
  RowRuns add(*this), remove(*this);
  int differing = 0;
  for (int row = first; row <= last; ++row) {
    const size_t i = static_cast<size_t>(row - first);
    if (wanted[i] == shown[i]) continue;
    (wanted[i] ? add : remove).Add(row);
    ++differing;
  }
  if (differing == 0) return;
  syncing_ = true;
  if (differing <= kRowByRowLimit) {
    const QItemSelection toRemove = remove.Take();
    const QItemSelection toAdd = add.Take();
    if (!toRemove.isEmpty()) selection->select(toRemove, QItemSelectionModel::Deselect);
    if (!toAdd.isEmpty()) selection->select(toAdd, QItemSelectionModel::Select);
  } else {
    RowRuns all(*this);
    for (const auto& [from, to] : playlist_.SelectedRanges())
      for (int row = std::max(from, 0); row <= to && row < rows_; ++row) all.Add(row);
    const QModelIndex current = selection->currentIndex();
    selection->reset();  // quietly: comparing the old selection is the slow part
    selection->select(all.Take(), QItemSelectionModel::Select);
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    view_->viewport()->update();
  }
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
