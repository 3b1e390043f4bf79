#include "ui/TagEditorPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <string_view>

#include "editing/TagEditorModel.h"

namespace tagmora {

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

bool Starts(const char* name, const char* prefix) { return Q(name).startsWith(Q(prefix)); }

const TagField& FieldOf(const auto& fields, const char* box) {
  for (const TagField& field : fields)
    if (Q(field.box) == Q(box)) return field;
  return fields.front();
}

// Width of a box for four characters (track, year).
constexpr int kShortBoxWidth = 44;
constexpr int kButtonWidth = 112;

// A named group box with a close grid of label and box columns.
std::pair<QGroupBox*, QGridLayout*> Group(const char* name, QWidget* parent) {
  auto* group = new QGroupBox(parent);
  group->setObjectName(Q(name));
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(6, 2, 6, 4);
  grid->setHorizontalSpacing(5);
  grid->setVerticalSpacing(3);
  return {group, grid};
}

QCheckBox* HasTagBox(const char* name, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(Q(name));
  return box;
}

// Puts the field at row, column (label) and column + 1 (box, over span
// columns); short fields keep a narrow box.
void Put(QGridLayout* grid, const TagField& field, int row, int column, int span = 1) {
  auto [label, box] = MakeField(field, grid->parentWidget());
  if (field.maxLength == 4) box->setFixedWidth(kShortBoxWidth);
  grid->addWidget(label, row, column);
  grid->addWidget(box, row, column + 1, 1, span, field.maxLength == 4 ? Qt::AlignLeft : Qt::Alignment());
}

QPushButton* Button(const char* name, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setObjectName(Q(name));
  return button;
}

QGroupBox* BuildID3v1(QWidget* parent) {
  auto [group, grid] = Group("GroupBoxID3v1", parent);
  const auto& f = kID3v1Fields;
  grid->addWidget(HasTagBox("CheckHasTagv1", group), 0, 0, 1, 2);
  Put(grid, FieldOf(f, "EditVersionIdv1"), 0, 2);
  Put(grid, FieldOf(f, "EditTrackv1"), 1, 0);
  Put(grid, FieldOf(f, "EditYearv1"), 1, 2);
  int row = 2;
  for (const char* box : {"EditTitlev1", "EditArtistv1", "EditAlbumv1", "ComboGenrev1", "EditCommentv1"})
    Put(grid, FieldOf(f, box), row++, 0, 3);
  auto* copies = new QHBoxLayout;
  copies->addWidget(Button("ButtonCopyToID3v2", group));
  copies->addWidget(Button("ButtonCopyFromID3v2", group));
  grid->addLayout(copies, row, 0, 1, 4);
  grid->setColumnStretch(3, 1);
  return group;
}

QGroupBox* BuildID3v2(QWidget* parent) {
  auto [group, grid] = Group("GroupBoxID3v2", parent);
  const auto& f = kID3v2Fields;
  auto* head = new QHBoxLayout;
  head->addWidget(HasTagBox("CheckHasTagv2", group));
  head->addStretch(1);
  for (const char* box : {"EditVersionIdv2", "EditSizev2"}) {
    auto [label, edit] = MakeField(FieldOf(f, box), group);
    edit->setFixedWidth(box == std::string_view("EditSizev2") ? 70 : kShortBoxWidth);
    head->addSpacing(10);
    head->addWidget(label);
    head->addWidget(edit);
  }
  grid->addLayout(head, 0, 0, 1, 4);
  // Left: the fields ID3v1 shares; right: the comment and the rest.
  Put(grid, FieldOf(f, "EditTrackv2"), 1, 0);
  int row = 2;
  for (const char* box : {"EditTitlev2", "EditArtistv2", "EditAlbumv2", "EditYearv2", "ComboGenrev2", "EditComposerv2"})
    Put(grid, FieldOf(f, box), row++, 0);
  auto [commentLabel, comment] = MakeField(FieldOf(f, "MemoCommentv2"), group);
  grid->addWidget(commentLabel, 1, 2, Qt::AlignTop);
  grid->addWidget(comment, 1, 3, 3, 1);
  row = 4;
  for (const char* box : {"EditEncoderv2", "EditCopyrightv2", "EditLanguagev2", "EditURLv2"})
    Put(grid, FieldOf(f, box), row++, 2);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  return group;
}

}  // namespace

std::pair<QLabel*, QWidget*> MakeField(const TagField& field, QWidget* parent) {
  QWidget* box;
  if (Starts(field.box, "Combo")) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(Q(field.box).endsWith(QLatin1String("v2")));
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    box = combo;
  } else if (Starts(field.box, "Memo")) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setTabChangesFocus(true);
    box = memo;
  } else {
    auto* edit = new QLineEdit(parent);
    if (field.maxLength > 0) edit->setMaxLength(field.maxLength);
    box = edit;
  }
  box->setObjectName(Q(field.box));
  auto* label = new QLabel(parent);
  label->setObjectName(Q(field.label));
  label->setBuddy(box);
  return {label, box};
}

TagEditorPage::TagEditorPage(QWidget* page) : QWidget(page) {
  setObjectName(QStringLiteral("TagEditor"));
  auto* pathRow = new QHBoxLayout;
  auto* pathLabel = new QLabel(this);
  pathLabel->setObjectName(QStringLiteral("LabelPath"));
  auto* path = new QLineEdit(this);
  path->setObjectName(QStringLiteral("EditPath"));
  pathLabel->setBuddy(path);
  pathRow->addWidget(pathLabel);
  pathRow->addWidget(path, 1);

  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(4);
  for (const char* name : {"ButtonRefresh", "ButtonSave", "ButtonAutoComplete",
                           "ButtonRemoveID3Tag", "ButtonDeleteFile", "ButtonRename"}) {
    QPushButton* button = Button(name, this);
    button->setFixedWidth(kButtonWidth);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);

  auto* groups = new QHBoxLayout;
  groups->setSpacing(4);
  groups->addWidget(BuildID3v1(this), 4);
  groups->addWidget(BuildID3v2(this), 7);
  groups->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 2);
  layout->setSpacing(3);
  layout->addLayout(pathRow);
  layout->addLayout(groups, 1);

  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->addWidget(this);
}

}  // namespace tagmora
