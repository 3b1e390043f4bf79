#include "ui/StepPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/MainWindowModel.h"
#include "jobs/SearchReplaceList.h"
#include "ui/RuleListView.h"

namespace tagmora {

namespace {

// Pairs of boxes that share a row: a switch and its "Only if is missing".
constexpr std::pair<const char*, const char*> kCompleteRows[] = {
    {"CheckGetTitle", "CheckBoxMissingTitle"}, {"CheckGetArtist", "CheckBoxMissingArtist"}};
constexpr std::pair<const char*, const char*> kFallbackRows[] = {
    {"CheckBoxCompleteTitleAnyway", "CheckBoxMissingTitleAnyway"},
    {"CheckBoxCompleteArtistAnyway", "CheckBoxMissingArtistAnyway"}};
// The tool buttons' faces, in the order of kRuleButtons.
constexpr const char* kRuleButtonFaces[] = {"+", "\u2212", "\u270E", "\u25B2", "\u25BC", "\u2611"};
constexpr int kSeparatorWidth = 64;
constexpr int kRuleListHeight = 110;

QVBoxLayout* Column(QWidget* body) {
  auto* column = qobject_cast<QVBoxLayout*>(body->layout());
  return column ? column : new QVBoxLayout(body);
}

// The widget of that name in the body, taken out of the column to be
// placed anew, or a new one.
template <typename W>
W* Take(QWidget* body, const char* name) {
  const QString objectName = QString::fromLatin1(name);
  W* widget = body->findChild<W*>(objectName);
  if (widget) {
    Column(body)->removeWidget(widget);
  } else {
    widget = new W(body);
    widget->setObjectName(objectName);
  }
  return widget;
}

QLabel* Explanation(QWidget* body, const char* name) {
  QLabel* label = Take<QLabel>(body, name);
  label->setWordWrap(true);
  return label;
}

QGridLayout* BoxRows(QWidget* body, const std::pair<const char*, const char*> (&rows)[2]) {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  for (int row = 0; row < 2; ++row) {
    grid->addWidget(Take<QCheckBox>(body, rows[row].first), row, 0);
    grid->addWidget(Take<QCheckBox>(body, rows[row].second), row, 1);
  }
  grid->setColumnStretch(2, 1);
  return grid;
}

}  // namespace

void FillAutoCompleteBody(QWidget* body) {
  QVBoxLayout* column = Column(body);
  column->addWidget(Take<QLabel>(body, "LabelACInfo"));
  column->addWidget(Take<QCheckBox>(body, "CheckBoxACEnabled"));
  column->addLayout(BoxRows(body, kCompleteRows));

  QGroupBox* separators = Take<QGroupBox>(body, "GroupBoxSeparators");
  auto* row = new QHBoxLayout(separators);
  row->setContentsMargins(6, 2, 6, 4);
  for (const char* name : {kFileSeparators[0].first, "LabelOr", kFileSeparators[1].first}) {
    if (name[0] == 'L') {
      row->addWidget(Take<QLabel>(body, name));
      continue;
    }
    auto* edit = Take<QLineEdit>(body, name);
    edit->setParent(separators);
    edit->setMaxLength(kFileSeparatorMaxLength);
    edit->setFixedWidth(kSeparatorWidth);
    row->addWidget(edit);
  }
  row->addStretch(1);
  column->addWidget(separators);

  QGroupBox* fallback = Take<QGroupBox>(body, "GroupBoxNoSeparator");
  auto* rows = new QVBoxLayout(fallback);
  rows->setContentsMargins(6, 2, 6, 4);
  rows->addWidget(Take<QLabel>(body, "LabelCompleteFileName"));
  rows->addLayout(BoxRows(body, kFallbackRows));
  column->addWidget(fallback);
}

void FillStringFormatBody(QWidget* body) {
  QVBoxLayout* column = Column(body);
  column->addWidget(Explanation(body, "LabelSFInfo"));
  column->addWidget(Take<QCheckBox>(body, "CheckBoxSFEnabled"));
  auto* grid = new QGridLayout;
  int row = 0;
  for (const FormatBox& box : kStringFormatBoxes) {
    grid->addWidget(Take<QLabel>(body, box.label), row, 0);
    grid->addWidget(Take<QComboBox>(body, box.combo), row++, 1);
  }
  grid->setColumnStretch(1, 1);
  column->addLayout(grid);
}

void FillSearchReplaceBody(QWidget* body, SearchReplaceList& rules) {
  QVBoxLayout* column = Column(body);
  column->addWidget(Explanation(body, "LabelSRInfo"));
  auto* row = new QHBoxLayout;
  row->addWidget(Take<QCheckBox>(body, "CheckBoxSREnabled"));
  row->addStretch(1);
  for (size_t i = 0; i < std::size(kRuleButtons); ++i) {
    auto* button = Take<QToolButton>(body, kRuleButtons[i].name);
    button->setText(QString::fromUtf8(kRuleButtonFaces[i]));
    row->addWidget(button);
  }
  column->addLayout(row);
  auto* list = new RuleListView(rules, body);
  list->setMinimumHeight(kRuleListHeight);
  column->addWidget(list);
}

}  // namespace tagmora
