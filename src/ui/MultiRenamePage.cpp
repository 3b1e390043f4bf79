#include "ui/MultiRenamePage.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/MainWindowModel.h"
#include "jobs/MultiRenameModel.h"
#include "ui/CopyAnimation.h"
#include "ui/FilePageParts.h"
#include "ui/PreviewDialog.h"

namespace tagmora {

namespace {

constexpr int kSeparatorWidth = 56;
constexpr int kAddTextWidth = 120;

QLabel* Note(const char* name, QWidget* parent) {
  auto* note = Named(new QLabel(parent), name);
  note->setWordWrap(true);
  return note;
}

QGroupBox* BuildSettings(QWidget* parent) {
  auto* group = Named(new QGroupBox(parent), "GroupMultiRename");

  auto* separatorRow = new QHBoxLayout;
  auto* separator = Named(new QLineEdit(group), "EditSeparator");
  separator->setMaxLength(kSeparatorMaxLength);
  separator->setFixedWidth(kSeparatorWidth);
  separatorRow->addWidget(Named(new QLabel(group), "LabelSeparator"));
  separatorRow->addWidget(separator);
  separatorRow->addStretch(1);

  auto* moveRow = new QHBoxLayout;
  moveRow->addWidget(Named(new QCheckBox(group), "CheckMoveTo"));
  AddFolderRow(moveRow, "EditMoveTo", "ButtonChooseMoveTo", group);

  auto* left = new QVBoxLayout;
  left->addWidget(RadioBox("GroupRenamePriority", {"RadioID3v1Priority", "RadioID3v2Priority"},
                           true, group),
                  0, Qt::AlignLeft);
  left->addLayout(separatorRow);
  left->addStretch(1);

  // The prefix box stands beside its button.
  auto* policies = Named(new QGroupBox(group), "GroupIfExists");
  auto* policyLayout = new QVBoxLayout(policies);
  policyLayout->setContentsMargins(8, 2, 8, 4);
  policyLayout->setSpacing(2);
  for (const IfExistsChoice& choice : kIfExistsChoices) {
    auto* row = new QHBoxLayout;
    row->addWidget(Named(new QRadioButton(policies), choice.radio));
    if (choice.policy == IfExists::AddText) {
      auto* addText = Named(new QLineEdit(policies), "EditAdd");
      addText->setMaxLength(kAddTextMaxLength);
      addText->setFixedWidth(kAddTextWidth);
      row->addWidget(addText);
    }
    row->addStretch(1);
    policyLayout->addLayout(row);
  }

  auto* top = new QHBoxLayout;
  top->addLayout(left, 1);
  top->addWidget(policies);

  auto* notes = new QVBoxLayout;
  notes->addWidget(Note("LabelRenameNote", group));
  notes->addWidget(Note("LabelRenameWarning", group));
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(notes, 1);
  for (const char* button : {"ButtonRenamePreview", "ButtonRenameStart"})
    bottom->addWidget(Named(new QPushButton(group), button), 0, Qt::AlignBottom);

  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->addLayout(top);
  layout->addLayout(moveRow);
  layout->addStretch(1);
  layout->addLayout(bottom);
  return group;
}

}  // namespace

MultiRenamePage::MultiRenamePage(MainWindowModel& window, QWidget* page)
    : QWidget(page),
      controls_(window.Controls()),
      model_(std::make_unique<MultiRenameModel>(window)) {
  setObjectName(QStringLiteral("MultiRename"));
  QGroupBox* progress = PlaceSettingsAndProgress(this, BuildSettings(this), kRenamePanel);
  preview_ = new PreviewDialog(model_->Previewer(), this);
  auto* animation = Named(new CopyAnimation(progress), "AnimateRename");
  static_cast<QBoxLayout*>(progress->layout())->insertWidget(0, animation, 0, Qt::AlignHCenter);

  // The prefix box shows the window's colour while its button is chosen
  // and the button face otherwise; it stays editable either way.
  auto* addText = findChild<QLineEdit*>(QStringLiteral("EditAdd"));
  const auto colour = [addText](bool inUse) {
    addText->setStyleSheet(inUse ? QString()
                                 : QStringLiteral("QLineEdit { background: palette(button); }"));
  };
  colour(controls_["EditAdd"].Checked());
  watch_ = controls_.Watch([colour](Control& control, ControlProperty property) {
    if (property == ControlProperty::Checked && control.Name() == "EditAdd")
      colour(control.Checked());
  });

  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->addWidget(this);
}

MultiRenamePage::~MultiRenamePage() {
  controls_.Unwatch(watch_);
  delete preview_;
}

}  // namespace tagmora
