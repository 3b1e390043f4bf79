#include "jobs/SearchReplaceList.h"

#include <utility>

#include "jobs/SearchReplace.h"

namespace tagmora {

namespace {

constexpr const char* kRowMenuItems[] = {"Remove1", "Edit1", "MoveUp1", "MoveDown1"};

}  // namespace

SearchReplaceList::SearchReplaceList(MainWindowModel& window)
    : window_(window), controls_(window.Controls()), editor_(window.Posts(), window.User()) {
  controls_.Add(kRuleList, ControlKind::ListView).SetIndex(-1);
  for (const ToolButton& button : kRuleButtons)
    controls_.Add(button.name, ControlKind::Button).SetHint(button.hint);
  using Command = void (SearchReplaceList::*)();
  constexpr std::pair<const char*, Command> kCommands[] = {
      {"ButtonSRAdd", &SearchReplaceList::Add},
      {"ButtonSRRemove", &SearchReplaceList::Remove},
      {"ButtonSREdit", &SearchReplaceList::Edit},
      {"ButtonSRMoveUp", &SearchReplaceList::MoveUp},
      {"ButtonSRMoveDown", &SearchReplaceList::MoveDown},
      {"ButtonSRSelectAll", &SearchReplaceList::SelectAll},
      {"Add1", &SearchReplaceList::Add},
      {"Remove1", &SearchReplaceList::Remove},
      {"Edit1", &SearchReplaceList::Edit},
      {"MoveUp1", &SearchReplaceList::MoveUp},
      {"MoveDown1", &SearchReplaceList::MoveDown},
      {"CheckBoxSREnabled", &SearchReplaceList::EnabledClicked},
  };
  for (const auto& [name, command] : kCommands)
    Bind(name, [this, command = command] { (this->*command)(); });
  EnabledClicked();
  editor_.SetSavedHandler(
      [this](const SearchReplaceRule& rule, bool adding) { Saved(rule, adding); });
}

SearchReplaceList::~SearchReplaceList() {
  for (const std::string& name : bound_) C(name).OnClick({});
}

void SearchReplaceList::Bind(const std::string& name, std::function<void()> command) {
  C(name).OnClick(std::move(command));
  bound_.push_back(name);
}

void SearchReplaceList::EnabledClicked() {
  const bool on = C("CheckBoxSREnabled").Checked();
  C(kRuleList).SetEnabled(on);
  for (const ToolButton& button : kRuleButtons) C(button.name).SetEnabled(on);
}

int SearchReplaceList::Selected() {
  const int row = C(kRuleList).Index();
  return row >= 0 && row < int(Rules().size()) ? row : -1;
}

void SearchReplaceList::Select(int row) {
  C(kRuleList).SetIndex(row >= 0 && row < int(Rules().size()) ? row : -1);
}

void SearchReplaceList::SetRuleChecked(int row, bool checked) {
  if (row < 0 || row >= int(Rules().size()) || Rules()[row].checked == checked) return;
  window_.Rules()[row].checked = checked;
  window_.RulesChanged();
}

void SearchReplaceList::Add() {
  editor_.OpenNew();
  if (showEditor_) showEditor_();
}

void SearchReplaceList::Edit() {
  const int row = Selected();
  if (row < 0) return;
  editor_.OpenFor(Rules()[row]);
  if (showEditor_) showEditor_();
}

void SearchReplaceList::Saved(const SearchReplaceRule& rule, bool adding) {
  std::vector<SearchReplaceRule>& rules = window_.Rules();
  const int row = Selected();
  if (adding || row < 0) {
    rules.push_back(rule);
  } else {
    // The changed rule takes the old one's place and stays selected.
    rules[row] = rule;
  }
  window_.RulesChanged();
}

void SearchReplaceList::Remove() {
  const int row = Selected();
  if (row < 0) return;
  if (window_.User().Show({"Remove ?", "Remove item?", MessageIcon::Question,
                           MessageButtons::YesNoCancel}) != MessageAnswer::Yes)
    return;
  window_.Rules().erase(window_.Rules().begin() + row);
  // The rule that moved up into the place is selected; after the last
  // one nothing is.
  Select(row);
  window_.RulesChanged();
}

void SearchReplaceList::Move(int offset) {
  const int row = Selected();
  const int other = row + offset;
  if (row < 0 || other < 0 || other >= int(Rules().size())) return;
  std::swap(window_.Rules()[row], window_.Rules()[other]);
  Select(other);
  window_.RulesChanged();
}

void SearchReplaceList::MoveUp() { Move(-1); }

void SearchReplaceList::MoveDown() { Move(1); }

void SearchReplaceList::SelectAll() {
  std::vector<SearchReplaceRule>& rules = window_.Rules();
  if (rules.empty()) return;
  bool all = true;
  for (const SearchReplaceRule& rule : rules) all = all && rule.checked;
  for (SearchReplaceRule& rule : rules) rule.checked = !all;
  window_.RulesChanged();
}

void SearchReplaceList::ContextMenuOpening() {
  const bool row = Selected() >= 0;
  for (const char* item : kRowMenuItems) C(item).SetEnabled(row);
  C("Add1").SetEnabled(true);
}

void SearchReplaceList::Defaults() {
  C("CheckBoxSREnabled").SetChecked(false);
  C(kRuleList).SetIndex(-1);
  window_.Rules() = DefaultRules();
  window_.RulesChanged();
}

}  // namespace tagmora
