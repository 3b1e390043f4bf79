#pragma once
// The playlist as a Qt list model, so that a QListView shows and selects a
// hundred thousand items smoothly. The playlist's own selection flags and
// focus are the truth; this keeps the view's selection and current item in
// step with them both ways, and takes dropped files and folders.

#include <QAbstractListModel>
#include <QItemSelection>
#include <QListView>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "playlist/Playlist.h"

namespace tagmora {

// The playlist's list view. Its rows share one size, which Qt measures on
// the last row, so a new text or mark on another row only repaints it:
// Qt's list lays out every row again after any change, and a job marking
// its failed files in a long list would have it do so many times a second.
class PlaylistView : public QListView {
 public:
  using QListView::QListView;

 protected:
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles) override;
};

class PlaylistListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit PlaylistListModel(Playlist& playlist, QObject* parent = nullptr);
  ~PlaylistListModel() override;

  // Shows the model in the view and follows its selection and current item.
  void Attach(QListView* view);
  // Receives the local paths of files and folders dropped on the list.
  void SetDropHandler(std::function<void(std::vector<std::string>)> handler) {
    dropHandler_ = std::move(handler);
  }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  Qt::DropActions supportedDropActions() const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 private:
  void Changed(const PlaylistChange& change);
  // Brings the view's selection in line with the playlist's flags, for
  // every row or for rows first to last.
  void ShowSelection();
  void ShowSelection(int first, int last);
  void ShowFocus();
  void ViewSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  void ViewCurrentChanged(const QModelIndex& current);

  Playlist& playlist_;
  int watch_ = 0;
  // The rows the view knows of; follows the playlist's notifications, so
  // that it always matches what the view has been told.
  int rows_ = 0;
  QPointer<QListView> view_;
  bool syncing_ = false;
  QTimer selectionTimer_;
  int dirtyFirst_ = 0;  // the rows whose flags changed since the last catch-up
  int dirtyLast_ = -1;
  std::function<void(std::vector<std::string>)> dropHandler_;
};

}  // namespace tagmora
