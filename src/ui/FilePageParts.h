#pragma once
// The parts the "Multi Rename Tool" and "Multi Move Tool" pages share: a
// box of radio buttons, a folder box with its chooser button, and the page
// that shows either the settings or the job's progress panel in one place.
// Each widget is named after its control, for the window's binder.

#include <QString>

#include <initializer_list>

class QBoxLayout;
class QGroupBox;
class QLineEdit;
class QWidget;

namespace tagmora {

struct JobPanelNames;

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromUtf8(name));
  return widget;
}

// A titled box of radio buttons, side by side or one below the other.
QGroupBox* RadioBox(const char* name, std::initializer_list<const char*> radios, bool across,
                    QWidget* parent);
// The folder box and its "..." button in a row.
QLineEdit* AddFolderRow(QBoxLayout* row, const char* edit, const char* button, QWidget* parent);
// Fills page (a tab sheet) with the settings and, in the same place, the
// job's progress panel; answers the progress panel.
QGroupBox* PlaceSettingsAndProgress(QWidget* page, QGroupBox* settings, const JobPanelNames& panel);

}  // namespace tagmora
