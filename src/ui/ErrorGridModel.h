#pragma once
// The error list as the grid of the "Errors" page: the column headers, one
// row per entry and the empty row that always ends the grid.

#include <QAbstractTableModel>
#include <QTimer>

#include <cstdint>

#include "app/ErrorList.h"

class QTableView;

namespace tagmora {

class ErrorGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ErrorGridModel(ErrorList& errors, QObject* parent = nullptr);
  ~ErrorGridModel() override;

  // Shows the grid in the view; each new entry selects the last row and
  // scrolls to it.
  void Attach(QTableView* view);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  void Reconcile();

  ErrorList& errors_;
  int watch_ = 0;
  int entries_ = 0;  // entries the view has been told of
  uint64_t clears_ = 0;
  QTableView* view_ = nullptr;
  QTimer growth_;  // takes in the entries that arrived together
};

}  // namespace tagmora
