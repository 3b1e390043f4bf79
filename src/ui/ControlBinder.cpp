#include "ui/ControlBinder.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>

#include "ui/CollapsePanel.h"
#include "ui/CopyAnimation.h"
#include "ui/Pictures.h"
#include "ui/QtPoster.h"

namespace tagmora {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QStringList QList(const std::vector<std::string>& items) {
  QStringList list;
  list.reserve(static_cast<qsizetype>(items.size()));
  for (const auto& item : items) list.push_back(Q(item));
  return list;
}

// The tab widget a page sits in (pages live in its inner stack).
QTabWidget* TabWidgetOf(QWidget* page) {
  QWidget* stack = page->parentWidget();
  if (!qobject_cast<QStackedWidget*>(stack)) return nullptr;
  return qobject_cast<QTabWidget*>(stack->parentWidget());
}

void ApplyToAction(QAction* action, const Control& control, ControlProperty property) {
  switch (property) {
    case ControlProperty::Caption: action->setText(Q(control.Caption())); break;
    case ControlProperty::Hint: action->setToolTip(Q(control.Hint())); break;
    case ControlProperty::Enabled: action->setEnabled(control.Enabled()); break;
    case ControlProperty::Visible: action->setVisible(control.Visible()); break;
    case ControlProperty::Checked: action->setChecked(control.Checked()); break;
    default: break;
  }
}

void ApplyToPage(QWidget* page, QTabWidget* tabs, const Control& control,
                 ControlProperty property) {
  const int index = tabs->indexOf(page);
  switch (property) {
    case ControlProperty::Caption: tabs->setTabText(index, Q(control.Caption())); break;
    case ControlProperty::Hint: tabs->setTabToolTip(index, Q(control.Hint())); break;
    case ControlProperty::Enabled: tabs->setTabEnabled(index, control.Enabled()); break;
    case ControlProperty::Visible: tabs->setTabVisible(index, control.Visible()); break;
    case ControlProperty::Image: tabs->setTabIcon(index, PagePicture(control.Image())); break;
    default: break;
  }
}

void ApplyToWidget(QWidget* widget, const Control& control, ControlProperty property) {
  switch (property) {
    case ControlProperty::Hint:
      widget->setToolTip(Q(control.Hint()));
      return;
    case ControlProperty::Enabled:
      widget->setEnabled(control.Enabled());
      return;
    case ControlProperty::Visible:
      // A widget of a window not shown yet only takes the flag.
      widget->setVisible(control.Visible());
      return;
    default: break;
  }
  if (auto* panel = qobject_cast<TCollapsePanel*>(widget)) {
    if (property == ControlProperty::Caption) panel->SetHeaderCaption(Q(control.Caption()));
    if (property == ControlProperty::Checked) panel->SetCollapsed(control.Checked());
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    if (property == ControlProperty::Caption) button->setText(Q(control.Caption()));
    if (property == ControlProperty::Checked && button->isCheckable())
      button->setChecked(control.Checked());
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    const bool position = property == ControlProperty::Items || property == ControlProperty::Index;
    if (property == ControlProperty::Items) {
      combo->clear();
      combo->addItems(QList(control.Items()));
    }
    if (position) combo->setCurrentIndex(control.Index());
    // Choosing no entry clears an editable box's text; the model's text stays.
    if (combo->isEditable() &&
        (property == ControlProperty::Text || (position && control.Index() < 0)))
      combo->setEditText(Q(control.Text()));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (property == ControlProperty::Text && edit->text() != Q(control.Text()))
      edit->setText(Q(control.Text()));
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) {
    if (property == ControlProperty::Text && memo->toPlainText() != Q(control.Text()))
      memo->setPlainText(Q(control.Text()));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (property == ControlProperty::Caption) label->setText(Q(control.Caption()));
  } else if (auto* animation = qobject_cast<CopyAnimation*>(widget)) {
    if (property == ControlProperty::Checked) animation->SetPlaying(control.Checked());
  } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    if (property == ControlProperty::Index && control.Index() >= 0 &&
        control.Index() < tabs->count())
      tabs->setCurrentIndex(control.Index());
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    if (property == ControlProperty::Caption) group->setTitle(Q(control.Caption()));
  } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
    if (property == ControlProperty::Index) bar->setValue(control.Index());
  } else if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
    if (property == ControlProperty::Index) slider->setValue(control.Index());
  }
}

constexpr ControlProperty kAllProperties[] = {
    ControlProperty::Items,   ControlProperty::Caption, ControlProperty::Hint,
    ControlProperty::Enabled, ControlProperty::Visible, ControlProperty::Checked,
    ControlProperty::Index,   ControlProperty::Text,    ControlProperty::Image};

}  // namespace

void ControlBinder::Apply(QObject* target, const Control& control, ControlProperty property) {
  AssertUserInterfaceThread();
  const QSignalBlocker blocker(target);
  if (auto* action = qobject_cast<QAction*>(target)) {
    ApplyToAction(action, control, property);
    return;
  }
  auto* widget = qobject_cast<QWidget*>(target);
  if (!widget) return;
  if (control.Kind() == ControlKind::TabSheet) {
    if (QTabWidget* tabs = TabWidgetOf(widget)) ApplyToPage(widget, tabs, control, property);
    return;
  }
  // Only the properties a control's kind carries are shown, so that an
  // unset default (index -1, empty caption) never overwrites the form.
  switch (control.Kind()) {
    case ControlKind::Button:
    case ControlKind::Label:
    case ControlKind::Group:
      if (property == ControlProperty::Checked || property == ControlProperty::Index ||
          property == ControlProperty::Text || property == ControlProperty::Items)
        return;
      break;
    case ControlKind::Edit:
      if (property == ControlProperty::Caption) return;
      break;
    case ControlKind::PageControl:
      if (property == ControlProperty::Caption) return;
      break;
    default: break;
  }
  if (property == ControlProperty::Caption && control.Caption().empty() &&
      control.Kind() != ControlKind::Label)
    return;
  ApplyToWidget(widget, control, property);
}

ControlBinder::ControlBinder(ControlSet& controls, QObject* root, QObject* parent)
    : QObject(parent), controls_(controls) {
  for (Control* control : controls.All()) {
    const QString name = Q(control->Name());
    QObject* target = root->objectName() == name ? root : root->findChild<QObject*>(name);
    if (!target) {
      unbound_.push_back(control->Name());
      continue;
    }
    Bind(*control, target);
  }
  watch_ = controls.Watch([this](Control& control, ControlProperty property) {
    Changed(control, property);
  });
}

ControlBinder::~ControlBinder() { controls_.Unwatch(watch_); }

QObject* ControlBinder::Bound(const std::string& name) const {
  return bound_.value(Q(name)).data();
}

std::vector<std::string> ControlBinder::Unbound() const { return unbound_; }

void ControlBinder::Changed(Control& control, ControlProperty property) {
  QObject* target = bound_.value(Q(control.Name())).data();
  if (target) Apply(target, control, property);
}

void ControlBinder::Bind(Control& control, QObject* target) {
  bound_.insert(Q(control.Name()), target);
  for (ControlProperty property : kAllProperties) Apply(target, control, property);

  Control* c = &control;
  // After the model has run a user's command, the widget shows the model's
  // state again, whatever the widget did on its own.
  auto resync = [target, c] { Apply(target, *c, ControlProperty::Checked); };

  if (auto* action = qobject_cast<QAction*>(target)) {
    connect(action, &QAction::triggered, this, [c, resync] {
      c->Click();
      resync();
    });
    return;
  }
  if (auto* panel = qobject_cast<TCollapsePanel*>(target)) {
    // The panel's owner hears the header click first; then the panel folds
    // or unfolds itself and the model takes the new state.
    connect(panel, &TCollapsePanel::HeaderClick, this, [c] { c->Click(); });
    connect(panel, &TCollapsePanel::CollapsedChanged, this,
            [c](bool collapsed) { c->SetChecked(collapsed); });
    return;
  }
  if (auto* button = qobject_cast<QAbstractButton*>(target)) {
    connect(button, &QAbstractButton::clicked, this, [c, button, resync] {
      if (c->Kind() == ControlKind::CheckBox || c->Kind() == ControlKind::RadioButton) {
        c->SetChecked(button->isChecked());
      } else {
        c->Click();
      }
      resync();
    });
    return;
  }
  if (auto* combo = qobject_cast<QComboBox*>(target)) {
    connect(combo, &QComboBox::activated, this, [c](int index) { c->SetIndex(index); });
    if (combo->isEditable())
      connect(combo, &QComboBox::editTextChanged, this,
              [c](const QString& text) { c->SetText(text.toStdString()); });
    return;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(target)) {
    connect(edit, &QLineEdit::textEdited, this,
            [c](const QString& text) { c->SetText(text.toStdString()); });
    return;
  }
  if (auto* memo = qobject_cast<QPlainTextEdit*>(target)) {
    connect(memo, &QPlainTextEdit::textChanged, this,
            [c, memo] { c->SetText(memo->toPlainText().toStdString()); });
    return;
  }
  if (auto* tabs = qobject_cast<QTabWidget*>(target)) {
    connect(tabs, &QTabWidget::currentChanged, this, [c](int index) {
      if (c->Index() != index) c->SetIndex(index);
    });
    return;
  }
  if (auto* slider = qobject_cast<QAbstractSlider*>(target)) {
    // The user's move: the model takes the position, then its command
    // acts on it.
    connect(slider, &QAbstractSlider::valueChanged, this, [c](int position) {
      if (c->Index() == position) return;
      c->SetIndex(position);
      c->Click();
    });
    return;
  }
}

}  // namespace tagmora
