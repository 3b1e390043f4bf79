#pragma once
// The named controls of a window model. A control carries the state the
// view shows (caption, hint, enabled, visible, check mark, selected index,
// text, list items, picture) and the command its click runs. The view
// finds each widget's control by objectName and binds the two generically.
//
// State may be read from any thread. Commands and most writes happen on the
// user-interface thread; a write from another thread (a worker's progress
// output) notifies the watchers through the poster, on that thread.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/Poster.h"

namespace tagmora {

class ControlSet;

enum class ControlKind {
  Button,       // click runs the command
  CheckBox,     // check mark; a change runs the command, as a click would
  RadioButton,  // checking one unchecks its group and runs the command
  ComboBox,     // items and the selected index (-1 for none)
  Edit,         // text
  Label,        // caption
  MenuItem,     // click runs the command; the check mark runs nothing
  PageControl,  // index = the active page
  TabSheet,     // caption and picture of one page
  Panel,        // collapsible panel: checked = folded; click = header click
  Group,        // a box around other controls: caption, enabled, visible
  ProgressBar,  // index = the position, 0 to 100
  TrackBar,     // index = the position; a move by the user runs the command
  ListView,     // rows drawn from a model of their own; index = the selected row
  Animation,    // checked = playing
};

enum class ControlProperty { Caption, Hint, Enabled, Visible, Checked, Index, Text, Items, Image };

class Control {
 public:
  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  // The radio group a radio button belongs to; empty otherwise.
  const std::string& RadioGroup() const { return group_; }

  std::string Caption() const;
  std::string Hint() const;
  bool Enabled() const;
  bool Visible() const;
  bool Checked() const;
  int Index() const;
  std::string Text() const;
  std::vector<std::string> Items() const;
  int Image() const;

  // Each writer notifies the watchers only when the value changes.
  void SetCaption(std::string caption);
  void SetHint(std::string hint);
  void SetEnabled(bool enabled);
  void SetVisible(bool visible);
  // Check boxes and radio buttons run their command when the mark changes
  // (radio buttons only when they become checked); menu items and panels
  // run nothing.
  void SetChecked(bool checked);
  void SetIndex(int index);
  void SetText(std::string text);
  void SetItems(std::vector<std::string> items);
  void SetImage(int image);

  // The user's click: runs the command of buttons, menu items and panels;
  // toggles a check box; checks a radio button.
  void Click();
  void OnClick(std::function<void()> command) { command_ = std::move(command); }

 private:
  friend class ControlSet;
  Control(ControlSet& owner, std::string name, ControlKind kind, std::string group)
      : owner_(owner), name_(std::move(name)), kind_(kind), group_(std::move(group)) {}

  template <typename T>
  void Store(T Control::*field, T value, ControlProperty property);
  void RunCommand() const;

  ControlSet& owner_;
  const std::string name_;
  const ControlKind kind_;
  const std::string group_;
  std::function<void()> command_;

  // Guarded by the owner's lock.
  std::string caption_;
  std::string hint_;
  bool enabled_ = true;
  bool visible_ = true;
  bool checked_ = false;
  int index_ = -1;
  std::string text_;
  std::vector<std::string> items_;
  int image_ = -1;
};

// The controls of one window or dialog, by name.
class ControlSet {
 public:
  using Watcher = std::function<void(Control&, ControlProperty)>;

  explicit ControlSet(Poster& poster) : poster_(poster) {}
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;

  Control& Add(const std::string& name, ControlKind kind, const std::string& caption = {},
               const std::string& radioGroup = {});
  // Null when the set has no control of that name.
  Control* Find(const std::string& name);
  // Throws std::out_of_range for an unknown name: a model's own names are
  // fixed, so a miss is a programming error.
  Control& operator[](const std::string& name);
  // In the order they were added.
  const std::vector<Control*>& All() const { return order_; }

  // Watchers are told of every change, always on the user-interface thread.
  int Watch(Watcher watcher);
  void Unwatch(int id);

 private:
  friend class Control;
  void Notify(Control& control, ControlProperty property);

  Poster& poster_;
  mutable std::mutex mutex_;  // guards every control's state
  std::map<std::string, std::unique_ptr<Control>> controls_;
  std::vector<Control*> order_;
  std::map<int, std::shared_ptr<Watcher>> watchers_;
  int nextWatcher_ = 1;
  PostGuard guard_;
};

}  // namespace tagmora
