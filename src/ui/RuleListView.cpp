#include "ui/RuleListView.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include "jobs/SearchReplaceList.h"
#include "ui/QtPoster.h"

namespace tagmora {

namespace {

constexpr int kColumns = int(std::size(kRuleColumns));
// The last column takes the rest of the width.
constexpr int kColumnWidths[kColumns - 1] = {52, 86, 84};

class RuleTableModel : public QAbstractTableModel {
 public:
  RuleTableModel(SearchReplaceList& list, QObject* parent)
      : QAbstractTableModel(parent), list_(list) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : int(list_.Rules().size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : kColumns;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const SearchReplaceRule& rule = list_.Rules()[size_t(index.row())];
    if (index.column() == 0)
      return role == Qt::CheckStateRole ? QVariant(rule.checked ? Qt::Checked : Qt::Unchecked)
                                         : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    return QString::fromStdString(rule.Text(size_t(index.column() - 1)));
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (index.column() != 0 || role != Qt::CheckStateRole) return false;
    list_.SetRuleChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
    return flags;
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return QString::fromLatin1(kRuleColumns[section]);
  }
  // The rules changed: with as many rows as before, the rows are redrawn
  // in place, so the list keeps where it was scrolled to.
  void Refresh() {
    const int rows = rowCount();
    if (rows == shownRows_) {
      if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, kColumns - 1));
      return;
    }
    beginResetModel();
    shownRows_ = rows;
    endResetModel();
  }

 private:
  SearchReplaceList& list_;
  int shownRows_ = int(list_.Rules().size());
};

}  // namespace

RuleListView::RuleListView(SearchReplaceList& list, QWidget* parent)
    : QTableView(parent), list_(list) {
  setObjectName(QString::fromLatin1(kRuleList));
  auto* rules = new RuleTableModel(list_, this);
  setModel(rules);
  setSelectionBehavior(SelectRows);
  setSelectionMode(SingleSelection);
  setEditTriggers(NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(true);
  for (int column = 0; column < kColumns - 1; ++column) setColumnWidth(column, kColumnWidths[column]);
  // The selection stays visible while another control has the focus.
  QPalette colours = palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
  setPalette(colours);

  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!showing_) list_.Select(current.isValid() ? current.row() : -1);
          });
  connect(this, &QAbstractItemView::doubleClicked, this, [this] { list_.Edit(); });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
    if (section == 0) list_.SelectAll();
  });
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    list_.ContextMenuOpening();
    if (auto* menu = window()->findChild<QMenu*>(QStringLiteral("PopupMenuSR")))
      menu->popup(viewport()->mapToGlobal(at));
  });

  // The rules change as a whole; the row then shown follows the model.
  ControlSet& controls = list_.Controls();
  list_.SetChangedHandler([this, rules] {
    AssertUserInterfaceThread();
    rules->Refresh();
    ShowSelection();
  });
  watch_ = controls.Watch([this](Control& control, ControlProperty property) {
    if (control.Name() == kRuleList && property == ControlProperty::Index) ShowSelection();
  });
  ShowSelection();
}

RuleListView::~RuleListView() {
  list_.SetChangedHandler({});
  list_.Controls().Unwatch(watch_);
}

void RuleListView::ShowSelection() {
  showing_ = true;
  const int row = list_.Selected();
  if (row < 0) {
    clearSelection();
    selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
  } else {
    const QModelIndex index = model()->index(row, 1);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
  }
  showing_ = false;
}

void RuleListView::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    switch (event->key()) {
      case Qt::Key_Insert: list_.Add(); return;
      case Qt::Key_Delete: list_.Remove(); return;
      case Qt::Key_Return:
      case Qt::Key_Enter: list_.Edit(); return;
      default: break;
    }
  }
  QTableView::keyPressEvent(event);
}

}  // namespace tagmora
