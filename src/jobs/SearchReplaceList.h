#pragma once
// The "Search and Replace" panel of the multi-tagger page: the rule list
// "ListViewSR" (its index is the selected row, -1 for none) with its tool
// buttons, its context menu "PopupMenuSR" and its keys, and the rule
// editor they open. The rules themselves are the window's, which the
// settings file keeps.

#include <functional>
#include <string>
#include <vector>

#include "app/MainWindowModel.h"
#include "jobs/SearchReplaceEditor.h"

namespace tagmora {

// The panel's tool buttons with their hints.
struct ToolButton {
  const char* name;
  const char* hint;
};
inline constexpr ToolButton kRuleButtons[] = {
    {"ButtonSRAdd", "Add item"},
    {"ButtonSRRemove", "Remove selected item"},
    {"ButtonSREdit", "Edit selected item"},
    {"ButtonSRMoveUp", "Move up selected item"},
    {"ButtonSRMoveDown", "Move down selected item"},
    {"ButtonSRSelectAll", "Select/Unselect All"},
};
inline constexpr const char* kRuleList = "ListViewSR";
// The list's columns; the first shows each rule's check mark only.
inline constexpr const char* kRuleColumns[] = {"Enabled", "Search for", "Replace with",
                                               "Search in"};

class SearchReplaceList {
 public:
  // Adds the panel's controls to the window's and binds them and the
  // panel's "Enabled" box.
  explicit SearchReplaceList(MainWindowModel& window);
  ~SearchReplaceList();
  SearchReplaceList(const SearchReplaceList&) = delete;
  SearchReplaceList& operator=(const SearchReplaceList&) = delete;

  const std::vector<SearchReplaceRule>& Rules() const { return window_.Rules(); }
  // The window's controls, where "ListViewSR" keeps the selected row.
  ControlSet& Controls() { return controls_; }
  // Told whenever the rules change: the view draws them again.
  void SetChangedHandler(std::function<void()> changed) {
    window_.SetRulesChangedHandler(std::move(changed));
  }
  SearchReplaceEditor& Editor() { return editor_; }
  // The view shows the editor modally; it returns once the dialog closed.
  void SetShowEditorHandler(std::function<void()> show) { showEditor_ = std::move(show); }

  int Selected();
  // The user's choice of a row (-1 for none).
  void Select(int row);
  // The check box of a row.
  void SetRuleChecked(int row, bool checked);

  // The commands: Add (Insert key), Edit (Enter key, double-click),
  // Remove (Delete key), the moves, and Select/Unselect All (also the
  // "Enabled" column's header).
  void Add();
  void Edit();
  void Remove();
  void MoveUp();
  void MoveDown();
  void SelectAll();
  // Before the context menu opens: the commands on a row need one.
  void ContextMenuOpening();
  // The "Search and Replace" default command.
  void Defaults();

 private:
  Control& C(const std::string& name) { return controls_[name]; }
  void Bind(const std::string& name, std::function<void()> command);
  void EnabledClicked();
  void Saved(const SearchReplaceRule& rule, bool adding);
  // Swaps the selected rule with its neighbour at the offset.
  void Move(int offset);

  MainWindowModel& window_;
  ControlSet& controls_;
  SearchReplaceEditor editor_;
  std::function<void()> showEditor_;
  std::vector<std::string> bound_;
};

}  // namespace tagmora
