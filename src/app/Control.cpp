#include "app/Control.h"

#include <stdexcept>

namespace tagmora {

#define TAGMORA_CONTROL_GETTER(Type, Name, field) \
  Type Control::Name() const {                    \
    std::lock_guard lock(owner_.mutex_);          \
    return field;                                 \
  }
TAGMORA_CONTROL_GETTER(std::string, Caption, caption_)
TAGMORA_CONTROL_GETTER(std::string, Hint, hint_)
TAGMORA_CONTROL_GETTER(bool, Enabled, enabled_)
TAGMORA_CONTROL_GETTER(bool, Visible, visible_)
TAGMORA_CONTROL_GETTER(bool, Checked, checked_)
TAGMORA_CONTROL_GETTER(int, Index, index_)
TAGMORA_CONTROL_GETTER(std::string, Text, text_)
TAGMORA_CONTROL_GETTER(std::vector<std::string>, Items, items_)
TAGMORA_CONTROL_GETTER(int, Image, image_)
#undef TAGMORA_CONTROL_GETTER

template <typename T>
void Control::Store(T Control::*field, T value, ControlProperty property) {
  {
    std::lock_guard lock(owner_.mutex_);
    if (this->*field == value) return;
    this->*field = std::move(value);
  }
  owner_.Notify(*this, property);
}

void Control::SetCaption(std::string caption) {
  Store(&Control::caption_, std::move(caption), ControlProperty::Caption);
}
void Control::SetHint(std::string hint) {
  Store(&Control::hint_, std::move(hint), ControlProperty::Hint);
}
void Control::SetEnabled(bool enabled) {
  Store(&Control::enabled_, enabled, ControlProperty::Enabled);
}
void Control::SetVisible(bool visible) {
  Store(&Control::visible_, visible, ControlProperty::Visible);
}
void Control::SetIndex(int index) { Store(&Control::index_, index, ControlProperty::Index); }
void Control::SetText(std::string text) {
  Store(&Control::text_, std::move(text), ControlProperty::Text);
}
void Control::SetItems(std::vector<std::string> items) {
  Store(&Control::items_, std::move(items), ControlProperty::Items);
}
void Control::SetImage(int image) { Store(&Control::image_, image, ControlProperty::Image); }

void Control::SetChecked(bool checked) {
  {
    std::lock_guard lock(owner_.mutex_);
    if (checked_ == checked) return;
    checked_ = checked;
  }
  owner_.Notify(*this, ControlProperty::Checked);
  if (kind_ == ControlKind::RadioButton) {
    if (!checked) return;
    for (Control* other : owner_.All())
      if (other != this && other->kind_ == ControlKind::RadioButton && other->group_ == group_)
        other->SetChecked(false);
    RunCommand();
  } else if (kind_ == ControlKind::CheckBox) {
    RunCommand();
  }
}

void Control::Click() {
  switch (kind_) {
    case ControlKind::CheckBox:
      SetChecked(!Checked());
      break;
    case ControlKind::RadioButton:
      SetChecked(true);
      break;
    default:
      RunCommand();
      break;
  }
}

void Control::RunCommand() const {
  // A copy, so a command may replace the control's command while it runs.
  if (auto command = command_) command();
}

Control& ControlSet::Add(const std::string& name, ControlKind kind, const std::string& caption,
                         const std::string& radioGroup) {
  auto [it, inserted] = controls_.try_emplace(name);
  if (!inserted) throw std::logic_error("control added twice: " + name);
  it->second.reset(new Control(*this, name, kind, radioGroup));
  it->second->caption_ = caption;
  order_.push_back(it->second.get());
  return *it->second;
}

Control* ControlSet::Find(const std::string& name) {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second.get();
}

Control& ControlSet::operator[](const std::string& name) {
  if (Control* control = Find(name)) return *control;
  throw std::out_of_range("no control named " + name);
}

int ControlSet::Watch(Watcher watcher) {
  int id = nextWatcher_++;
  watchers_.emplace(id, std::make_shared<Watcher>(std::move(watcher)));
  return id;
}

void ControlSet::Unwatch(int id) { watchers_.erase(id); }

void ControlSet::Notify(Control& control, ControlProperty property) {
  auto tell = [this, &control, property] {
    // Copies: a watcher may unwatch while it is told.
    std::vector<std::shared_ptr<Watcher>> watchers;
    for (auto& [id, watcher] : watchers_) watchers.push_back(watcher);
    for (auto& watcher : watchers) (*watcher)(control, property);
  };
  if (poster_.OnUserInterfaceThread())
    tell();
  else
    poster_.Post(guard_.Wrap(tell));
}

}  // namespace tagmora
