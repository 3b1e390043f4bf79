#pragma once
// Binds the widgets and actions of a window to the controls of its model by
// name: each object whose objectName is a control's name shows that
// control's state, and the user's clicks, checks, choices and edits go back
// to the control. One mechanism for every widget instead of glue per widget.

#include <QHash>
#include <QObject>
#include <QPointer>

#include <string>
#include <vector>

#include "app/Control.h"

namespace tagmora {

class ControlBinder : public QObject {
  Q_OBJECT

 public:
  // Binds every control of the set to the object of the same name below
  // root (root included). Controls whose widgets do not exist yet stay
  // unbound.
  ControlBinder(ControlSet& controls, QObject* root, QObject* parent = nullptr);
  ~ControlBinder() override;

  QObject* Bound(const std::string& name) const;
  std::vector<std::string> Unbound() const;

  // Shows one property of a control in its widget.
  static void Apply(QObject* target, const Control& control, ControlProperty property);

 private:
  void Bind(Control& control, QObject* target);
  void Changed(Control& control, ControlProperty property);

  ControlSet& controls_;
  QHash<QString, QPointer<QObject>> bound_;
  std::vector<std::string> unbound_;
  int watch_ = 0;
};

}  // namespace tagmora
