#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "app/MainWindowModel.h"
#include "editing/TagEditorModel.h"
#include "jobs/MultiTaggerModel.h"
#include "jobs/SearchReplaceList.h"
#include "jobs/UndoModel.h"
#include "playlist/AddFoldersModel.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistCommands.h"
#include "ui/AboutBox.h"
#include "ui/AddFoldersDialog.h"
#include "ui/ControlBinder.h"
#include "ui/ErrorGridModel.h"
#include "ui/FormSearchAndReplace.h"
#include "ui/MpegInfoPanel.h"
#include "ui/MultiMovePage.h"
#include "ui/MultiRenamePage.h"
#include "ui/MultiTaggerPage.h"
#include "ui/OptionsDialog.h"
#include "ui/Pictures.h"
#include "ui/PlayerPage.h"
#include "ui/PlaylistListModel.h"
#include "ui/PreviewDialog.h"
#include "ui/QtPoster.h"
#include "ui/RuleListView.h"
#include "ui/SoundOptionsPage.h"
#include "ui/TagEditorPage.h"
#include "ui/UndoDialog.h"

namespace tagmora {

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

bool IsPopupName(const char* menu) { return QString::fromLatin1(menu).startsWith(QLatin1String("Popup")); }

}  // namespace

MainWindow::MainWindow(MainWindowModel& model, QWidget* parent)
    : QMainWindow(parent), model_(model) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(Q(MainWindowModel::kCaption));
  setWindowIcon(ProgramPicture());
  // The pages' controls exist before the binder looks for their widgets.
  editor_ = std::make_unique<TagEditorModel>(model_);
  multiTagger_ = std::make_unique<MultiTaggerModel>(model_);
  undo_ = std::make_unique<UndoModel>(model_);

  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(client_);
  playlistGroup_ = BuildPlaylistBlock(client_);
  pageControl_ = BuildPages(client_);
  BuildMenus();
  client_->installEventFilter(this);

  binders_.push_back(new ControlBinder(model_.Controls(), this, this));

  // The dialogs in the order the program creates its windows.
  addFolders_ = new AddFoldersDialog(model_.AddFolders(), this);
  about_ = new AboutBox([this](const std::string& address) { model_.User().OpenWithShell(address); },
                        this);
  options_ = new OptionsDialog(model_.OptionsControls(), this);
  searchReplace_ = new TFormSearchAndReplace(multiTagger_->SearchReplace().Editor(), this);
  modelDialogs_ = {new PreviewDialog(multiTagger_->Previewer(), this),
                   new UndoDialog(*undo_, this)};

  model_.SetShowOptionsHandler([this] { options_->ShowBeside(); });
  model_.SetShowAboutHandler([this] { about_->ShowModal(); });
  model_.SetShowAddFoldersHandler([this] { addFolders_->ShowModal(); });
  multiTagger_->SearchReplace().SetShowEditorHandler([this] { searchReplace_->ShowModal(); });

  model_.SetStartedHandler([this] { Started(); });
  const auto popupBelow = [this](const std::string& popup, const std::string& button) {
    PopupBelow(QString::fromStdString(popup), findChild<QWidget*>(QString::fromStdString(button)));
  };
  editor_->SetShowPopupHandler(popupBelow);
  multiTagger_->SetShowPopupHandler(popupBelow);

  resize(kInitialWidth, kInitialHeight);
  if (QScreen* screen = this->screen()) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

MainWindow::~MainWindow() {
  // They draw models that end before the window's children do.
  for (QDialog* dialog : modelDialogs_) delete dialog;
  // The rule editor and the rule list draw parts of the page model, which
  // ends before the window's children do.
  multiTagger_->SearchReplace().SetShowEditorHandler({});
  delete searchReplace_;
  delete findChild<RuleListView*>();
  model_.SetShowOptionsHandler({});
  model_.SetShowAboutHandler({});
  model_.SetShowAddFoldersHandler({});
  model_.SetStartedHandler({});
}

QWidget* MainWindow::BuildPlaylistBlock(QWidget* parent) {
  auto* group = new QGroupBox(parent);
  group->setObjectName(QStringLiteral("GroupBoxPlayList"));
  group->setMinimumHeight(kPlaylistGroupMinHeight);

  playlist_ = new PlaylistView(group);
  playlist_->setObjectName(QStringLiteral("ListBoxPlayList"));
  playlistModel_ = new PlaylistListModel(model_.PlayList(), this);
  playlistModel_->Attach(playlist_);
  playlistModel_->SetDropHandler([this](std::vector<std::string> paths) {
    model_.PlaylistActions().AddDropped(std::move(paths));
  });
  playlist_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(playlist_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (QMenu* menu = popups_.value(QStringLiteral("PopupRemove")))
      menu->popup(playlist_->viewport()->mapToGlobal(at));
  });
  connect(playlist_, &QAbstractItemView::doubleClicked, this, [this] { model_.PlayFocused(); });
  connect(playlist_, &QAbstractItemView::clicked, this, [this] { model_.PlaylistClick(); });
  playlist_->installEventFilter(this);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(4);
  for (const ButtonMenu& entry : kPlaylistButtons) {
    auto* button = new QPushButton(group);
    button->setObjectName(Q(entry.button));
    button->setMinimumWidth(72);
    // Each button opens its drop-down with the top-left corner at the
    // button's bottom-left corner.
    const QString popup = Q(entry.popup);
    connect(button, &QPushButton::clicked, this, [this, button, popup] { PopupBelow(popup, button); });
    buttons->addWidget(button);
  }
  buttons->addStretch(1);

  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->addWidget(playlist_, 1);
  layout->addLayout(buttons);
  return group;
}

QWidget* MainWindow::BuildPages(QWidget* parent) {
  auto* tabs = new QTabWidget(parent);
  tabs->setObjectName(QStringLiteral("PageControl1"));
  tabs->setIconSize(QSize(16, 16));
  for (const PageInfo& info : kPages) {
    auto* page = new QWidget;
    page->setObjectName(Q(info.name));
    tabs->addTab(page, PagePicture(info.picture), Q(info.caption));
  }
  new MultiTaggerPage(tabs->widget(0), multiTagger_->SearchReplace());
  new TagEditorPage(tabs->widget(kId3Page));
  new MultiRenamePage(model_, tabs->widget(kRenamePage));
  new MultiMovePage(model_, tabs->widget(kMovePage));
  MpegInfoPanel::PlaceOn(tabs->widget(kPlayerPage));
  BuildErrorsPage(tabs->widget(kErrorsPage));
  return tabs;
}

void MainWindow::BuildErrorsPage(QWidget* page) {
  errorGrid_ = new QTableView(page);
  errorGrid_->setObjectName(QStringLiteral("StringGridErrors"));
  errorModel_ = new ErrorGridModel(model_.Errors(), this);
  errorModel_->Attach(errorGrid_);
  errorGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  errorGrid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  errorGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  errorGrid_->verticalHeader()->hide();
  errorGrid_->verticalHeader()->setDefaultSectionSize(errorGrid_->fontMetrics().height() + 6);
  errorGrid_->horizontalHeader()->setHighlightSections(false);
  errorGrid_->setWordWrap(false);
  errorGrid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(errorGrid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (QMenu* menu = popups_.value(QStringLiteral("PopupErrors")))
      menu->popup(errorGrid_->viewport()->mapToGlobal(at));
  });
  errorGrid_->viewport()->installEventFilter(this);

  auto* save = new QPushButton(page);
  save->setObjectName(QStringLiteral("ButtonSaveErrors"));
  auto* clear = new QPushButton(page);
  clear->setObjectName(QStringLiteral("ButtonClearErrors"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(clear);

  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(errorGrid_, 1);
  layout->addLayout(buttons);
}

void MainWindow::AttachPlayer(Player& player, SoundOptions& sound) {
  // The player group goes first on its page, the MPEG file panel beside it.
  QWidget* page = pageControl_->findChild<QWidget*>(Q(kPages[kPlayerPage].name));
  auto* group = new PlayerPage(player, model_.Controls(), page);
  auto* row = qobject_cast<QBoxLayout*>(page->layout());
  if (!row) {
    row = new QHBoxLayout(page);
    row->setContentsMargins(4, 4, 4, 4);
    row->addStretch(1);
  }
  row->insertWidget(0, group, 0, Qt::AlignTop);
  options_->InsertPage(0, new SoundOptionsPage(sound, model_.OptionsControls()),
                       QStringLiteral("Sound"));
}

void MainWindow::BuildMenus() {
  QHash<QString, QMenu*> menus;
  QHash<QString, QMenu*> submenus;
  for (const MenuEntry& entry : MenuTable()) {
    const QString menuName = Q(entry.menu);
    QMenu* menu = menus.value(menuName);
    if (!menu) {
      if (IsPopupName(entry.menu)) {
        menu = new QMenu(this);
        menu->setObjectName(menuName);
        popups_.insert(menuName, menu);
      } else {
        menu = menuBar()->addMenu(menuName);
        menu->setObjectName(QStringLiteral("Menu") + menuName);
      }
      menus.insert(menuName, menu);
    }
    if (entry.submenu[0] != '\0') {
      const QString key = menuName + QLatin1Char('/') + Q(entry.submenu);
      QMenu* sub = submenus.value(key);
      if (!sub) {
        sub = menu->addMenu(Q(entry.submenu));
        submenus.insert(key, sub);
      }
      menu = sub;
    }
    if (QString::fromLatin1(entry.name) == QLatin1String("-")) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(Q(entry.caption));
    action->setObjectName(Q(entry.name));
    action->setCheckable(entry.checkable);
    if (entry.shortcut[0] != '\0') {
      // Shortcut keys belong to the playlist: they work while it has the
      // focus and are shown in the menu.
      action->setShortcut(QKeySequence(Q(entry.shortcut)));
      action->setShortcutContext(Qt::WidgetShortcut);
      playlist_->addAction(action);
    }
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == client_ && event->type() == QEvent::Resize) {
    ApplyLayout();
  } else if (watched == playlist_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        key->modifiers() == Qt::NoModifier) {
      model_.PlayFocused();
      return true;
    }
  } else if (errorGrid_ && watched == errorGrid_->viewport() && event->type() == QEvent::Resize) {
    FitErrorColumns();
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ApplyLayout() {
  AssertUserInterfaceThread();
  model_.Resize(client_->width(), client_->height());
  const MainLayout& layout = model_.Layout();
  const auto place = [](QWidget* widget, const Rect& r) {
    widget->setGeometry(r.x, r.y, r.width, r.height);
  };
  place(playlistGroup_, layout.playlistGroup);
  place(pageControl_, layout.pageControl);
}

void MainWindow::Started() {
  AssertUserInterfaceThread();
  // The start-up gives the client the page control's width.
  const int width = model_.Layout().clientWidth;
  if (width != client_->width()) resize(width + (this->width() - client_->width()), height());
  // Then the error list gets its column widths.
  for (int column = 0; column < 4; ++column)
    errorGrid_->setColumnWidth(column, kErrorColumns[column].width);
  FitErrorColumns();
}

void MainWindow::FitErrorColumns() {
  errorGrid_->setColumnWidth(3, MainWindowModel::PathColumnWidth(errorGrid_->viewport()->width()));
}

void MainWindow::PopupBelow(const QString& popup, QWidget* widget) {
  QMenu* menu = popups_.value(popup);
  if (menu && widget) menu->popup(widget->mapToGlobal(QPoint(0, widget->height())));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    // Jobs are told to stop and the settings saved; workers that still
    // post are served until they have ended.
    model_.Close();
    options_->close();
  }
  event->accept();
}

}  // namespace tagmora
