#include "ui/AddFoldersDialog.h"

#include <QCheckBox>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "playlist/AddFoldersModel.h"
#include "ui/ControlBinder.h"
#include "ui/QtPoster.h"

namespace tagmora {

namespace {
const QString kTreeName = QStringLiteral("ShellTreeView1");
}

AddFoldersDialog::AddFoldersDialog(AddFoldersModel& model, QWidget* parent)
    : QDialog(parent), model_(model), files_(new QFileSystemModel(this)), tree_(new QTreeView(this)) {
  setObjectName(QStringLiteral("FormOpen"));
  setWindowTitle(QString::fromLatin1(AddFoldersModel::kCaption));

  files_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::Drives);
  files_->setReadOnly(true);
  files_->setRootPath(QStringLiteral("/"));
  tree_->setObjectName(kTreeName);
  tree_->setModel(files_);
  for (int column = 1; column < files_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->setHeaderHidden(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setUniformRowHeights(true);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &AddFoldersDialog::TreeCurrentChanged);
  // The tree loads folders lazily: a remembered folder deep down can only
  // be selected once its parents are there.
  connect(files_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
    if (pending_.isEmpty() || !pending_.startsWith(loaded)) return;
    tree_->scrollTo(files_->index(pending_), QAbstractItemView::PositionAtCenter);
    if (loaded == pending_) pending_.clear();
  });

  auto* recurse = new QCheckBox(this);
  recurse->setObjectName(QStringLiteral("CheckBoxRecurse"));
  auto* count = new QPushButton(this);
  count->setObjectName(QStringLiteral("ButtonCountFiles"));
  count->setMinimumWidth(180);
  auto* ok = new QPushButton(this);
  ok->setObjectName(QStringLiteral("ButtonOK"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("ButtonCancel"));

  auto* row = new QHBoxLayout;
  row->addWidget(recurse);
  row->addStretch(1);
  row->addWidget(count);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(row);
  layout->addLayout(buttons);

  binder_ = new ControlBinder(model_.Controls(), this, this);
  watch_ = model_.Controls().Watch([this](Control& control, ControlProperty property) {
    if (control.Name() == kTreeName.toStdString() && property == ControlProperty::Text)
      SelectInTree(QString::fromStdString(control.Text()));
  });
  model_.SetCloseHandler([this] {
    closing_ = true;
    accept();
    closing_ = false;
  });
  resize(420, 460);
}

AddFoldersDialog::~AddFoldersDialog() {
  model_.SetCloseHandler({});
  model_.Controls().Unwatch(watch_);
}

int AddFoldersDialog::ShowModal() {
  model_.Show();
  SelectInTree(QString::fromStdString(model_.SelectedFolder()));
  return exec();
}

void AddFoldersDialog::reject() {
  // Escape and the window's close button: the model stops any walk.
  if (!closing_) model_.Closed();
  QDialog::reject();
}

void AddFoldersDialog::SelectInTree(const QString& folder) {
  AssertUserInterfaceThread();
  const QModelIndex index = files_->index(folder);
  pending_.clear();
  if (!index.isValid()) return;
  selecting_ = true;
  tree_->setCurrentIndex(index);
  tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
  selecting_ = false;
  pending_ = files_->filePath(index);
}

void AddFoldersDialog::TreeCurrentChanged() {
  if (selecting_) return;
  pending_.clear();
  const QModelIndex current = tree_->currentIndex();
  if (!current.isValid()) return;
  model_.ChooseFolder(files_->filePath(current).toStdString());
}

}  // namespace tagmora
