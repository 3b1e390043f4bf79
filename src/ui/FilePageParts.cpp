#include "ui/FilePageParts.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "jobs/JobPanel.h"
#include "ui/ProgressPanel.h"

namespace tagmora {

QGroupBox* RadioBox(const char* name, std::initializer_list<const char*> radios, bool across,
                    QWidget* parent) {
  auto* box = Named(new QGroupBox(parent), name);
  QBoxLayout* layout = across ? static_cast<QBoxLayout*>(new QHBoxLayout(box))
                              : static_cast<QBoxLayout*>(new QVBoxLayout(box));
  layout->setContentsMargins(8, 2, 8, 4);
  layout->setSpacing(across ? 16 : 2);
  for (const char* radio : radios) layout->addWidget(Named(new QRadioButton(box), radio));
  if (across) layout->addStretch(1);
  return box;
}

QLineEdit* AddFolderRow(QBoxLayout* row, const char* edit, const char* button, QWidget* parent) {
  auto* box = Named(new QLineEdit(parent), edit);
  auto* choose = Named(new QPushButton(parent), button);
  choose->setFixedWidth(choose->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 18);
  row->addWidget(box, 1);
  row->addWidget(choose);
  return box;
}

QGroupBox* PlaceSettingsAndProgress(QWidget* page, QGroupBox* settings,
                                    const JobPanelNames& panel) {
  // The model shows one of the two at a time.
  auto* layout = new QGridLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  QGroupBox* progress = MakeProgressPanel(panel, page);
  layout->addWidget(settings, 0, 0);
  layout->addWidget(progress, 0, 0);
  return progress;
}

}  // namespace tagmora
