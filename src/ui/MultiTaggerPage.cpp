#include "ui/MultiTaggerPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#include "app/MainWindowModel.h"
#include "jobs/JobPanel.h"
#include "jobs/UnitThreadUpdate.h"
#include "ui/CollapsePanel.h"
#include "ui/ProgressPanel.h"
#include "ui/StepPanels.h"

namespace tagmora {

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// The option panels: an accordion in a column of their own.
constexpr int kPanelCollapseSpeed = 8;
constexpr int kPanelHeaderWidth = 334;
// The field boxes stand in two columns of this many rows.
constexpr int kFieldRows = 6;

// The switches of the processing steps, by panel; the "Options" panel
// takes the window's option boxes.
constexpr std::pair<const char*, const char*> kStepSwitches[] = {
    {"CollapsePanelAutocomplete", "CheckBoxACEnabled"},
    {"CollapsePanelAutocomplete", "CheckGetTitle"},
    {"CollapsePanelAutocomplete", "CheckGetArtist"},
    {"CollapsePanelStringFormat", "CheckBoxSFEnabled"},
    {"CollapsePanelSearchReplace", "CheckBoxSREnabled"},
};

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(Q(name));
  return widget;
}

// A template box looks like a button face while it is disabled and like an
// ordinary box while enabled, whatever the style draws a disabled box with.
class ButtonFaceWhenDisabled : public QObject {
 public:
  explicit ButtonFaceWhenDisabled(QWidget* box) : QObject(box) {
    Apply(box);
    box->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // A new desktop palette brings a new button face.
    if (event->type() == QEvent::PaletteChange) Apply(static_cast<QWidget*>(watched));
    return false;
  }

 private:
  static void Apply(QWidget* box) {
    QPalette palette = box->palette();
    const QColor face = palette.color(QPalette::Active, QPalette::Button);
    constexpr QPalette::ColorRole kBackgrounds[] = {QPalette::Base, QPalette::Window};
    if (std::all_of(std::begin(kBackgrounds), std::end(kBackgrounds),
                    [&](auto role) { return palette.color(QPalette::Disabled, role) == face; }))
      return;  // set already: the change this makes comes back here
    for (QPalette::ColorRole role : kBackgrounds) palette.setColor(QPalette::Disabled, role, face);
    box->setPalette(palette);
  }
};

// A panel unfolds to the height its controls need, measured again when
// they change: the binder gives labels and group boxes their captions only
// after the page is built.
class FitToBody : public QObject {
 public:
  explicit FitToBody(TCollapsePanel* panel) : QObject(panel), panel_(panel) {
    panel->Body()->installEventFilter(this);
    Fit();
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::LayoutRequest) Fit();
    return false;
  }

 private:
  void Fit() {
    panel_->SetPanelHeight(panel_->HeaderHeight() + 2 * panel_->frameWidth() +
                           panel_->Body()->layout()->sizeHint().height());
  }

  TCollapsePanel* panel_;
};

QWidget* TemplateBox(const MultiTagField& field, QWidget* parent) {
  QWidget* box;
  if (Q(field.templateBox).startsWith(QLatin1String("Combo"))) {
    // A template or a genre name from the list.
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    box = combo;
  } else {
    auto* edit = new QLineEdit(parent);
    if (field.maxLength > 0) edit->setMaxLength(field.maxLength);
    box = edit;
  }
  new ButtonFaceWhenDisabled(box);
  return Named(box, field.templateBox);
}

QGroupBox* BuildFields(QWidget* parent) {
  auto* group = Named(new QGroupBox(parent), "GroupBoxFields");
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(6, 2, 6, 4);
  grid->setHorizontalSpacing(5);
  grid->setVerticalSpacing(3);
  for (int i = 0; i < kMultiFieldCount; ++i) {
    const MultiTagField& field = kMultiTagFields[size_t(i)];
    const int row = i % kFieldRows;
    const int column = i / kFieldRows * 2;
    grid->addWidget(Named(new QCheckBox(group), field.checkBox), row, column);
    grid->addWidget(TemplateBox(field, group), row, column + 1);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  return group;
}

// The option panels, each with a column of controls that later steps add
// to; a panel unfolds to the height its controls need.
QScrollArea* BuildOptionPanels(QWidget* parent, SearchReplaceList& rules) {
  auto* scroll = Named(new QScrollArea(parent), "ScrollBoxMultiTag");
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFixedWidth(kPanelHeaderWidth + 2 +
                        scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  auto* box = new QWidget;
  auto* stack = new QVBoxLayout(box);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);
  QHash<QString, QVBoxLayout*> bodies;
  for (const auto& [name, caption] : kOptionPanels) {
    auto* panel = Named(new TCollapsePanel(box), name);
    panel->SetHeaderCaption(Q(caption));
    panel->SetCollapseSpeed(kPanelCollapseSpeed);
    auto* body = new QVBoxLayout(panel->Body());
    body->setContentsMargins(8, 4, 8, 4);
    body->setSpacing(2);
    bodies.insert(Q(name), body);
    stack->addWidget(panel);
  }
  const auto put = [&bodies](const char* panel, QWidget* control) {
    QVBoxLayout* body = bodies.value(Q(panel));
    control->setParent(body->parentWidget());
    body->addWidget(control, 0, Qt::AlignLeft);
  };
  for (const auto& [panel, control] : kStepSwitches) put(panel, Named(new QCheckBox, control));
  const char* optionsPanel = kOptionPanels.back().first;
  for (const OptionBox& option : kMultiTaggerOptions)
    put(optionsPanel, Named(new QCheckBox, option.name));
  put(optionsPanel, Named(new QPushButton, "ButtonVariablesInfo"));
  // The step panels place their other controls around the switches.
  const auto body = [&bodies](size_t panel) {
    return bodies.value(Q(kOptionPanels[panel].first))->parentWidget();
  };
  FillAutoCompleteBody(body(0));
  FillStringFormatBody(body(1));
  FillSearchReplaceBody(body(2), rules);
  for (TCollapsePanel* panel : box->findChildren<TCollapsePanel*>()) new FitToBody(panel);
  stack->addStretch(1);
  scroll->setWidget(box);
  // The panels sit on the page itself, not on a grey box of their own.
  box->setAutoFillBackground(false);
  scroll->viewport()->setAutoFillBackground(false);
  return scroll;
}

QGroupBox* BuildSettings(QWidget* parent, SearchReplaceList& rules) {
  auto* group = Named(new QGroupBox(parent), "GroupBoxMulti");
  const auto button = [group](const char* name) { return Named(new QPushButton(group), name); };
  // Two rows, so that the field boxes keep their width: the run's
  // buttons on the left, the menus' on the right.
  auto* buttons = new QGridLayout;
  buttons->setVerticalSpacing(2);
  buttons->addWidget(button("ButtonUpdateAllTags"), 0, 0);
  buttons->addWidget(button("ButtonPreviewUpdate"), 1, 0);
  buttons->setColumnStretch(1, 1);
  buttons->addWidget(button("ButtonDefaultSettings"), 0, 2);
  buttons->addWidget(button("ButtonRemoveTags"), 1, 2);
  auto* left = new QVBoxLayout;
  left->setSpacing(4);
  left->addWidget(BuildFields(group));
  left->addLayout(buttons);
  left->addStretch(1);

  auto* layout = new QHBoxLayout(group);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->addLayout(left, 1);
  layout->addWidget(BuildOptionPanels(group, rules));
  return group;
}

}  // namespace

MultiTaggerPage::MultiTaggerPage(QWidget* page, SearchReplaceList& rules) : QWidget(page) {
  setObjectName(QStringLiteral("MultiTagger"));
  // The settings and the two progress panels share one place; the model
  // shows one of them at a time.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(BuildSettings(this, rules), 0, 0);
  for (const JobPanelNames* names : {&kUpdatePanel, &kRemoveTagsPanel})
    layout->addWidget(MakeProgressPanel(*names, this), 0, 0);

  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->addWidget(this);
}

}  // namespace tagmora
