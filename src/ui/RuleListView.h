#pragma once
// "ListViewSR": the search-and-replace rules as a table with a check box
// per row, drawn from the page's rule list, whose index is the selected
// row. Insert, Delete, Enter, a double-click, the context menu and the
// "Enabled" column's header run the list's commands.

#include <QTableView>

namespace tagmora {

class SearchReplaceList;

class RuleListView : public QTableView {
  Q_OBJECT

 public:
  // The context menu is the window's "PopupMenuSR".
  explicit RuleListView(SearchReplaceList& list, QWidget* parent = nullptr);
  ~RuleListView() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Shows the list's selected row.
  void ShowSelection();

  SearchReplaceList& list_;
  int watch_ = 0;
  bool showing_ = false;
};

}  // namespace tagmora
