#include <QAction>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QTreeView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <memory>
#include <thread>

#include "WindowFixture.h"
#include "playlist/AddFoldersModel.h"
#include "playlist/Playlist.h"
#include "ui/CollapsePanel.h"
#include "ui/AboutBox.h"
#include "ui/AddFoldersDialog.h"
#include "ui/OptionsDialog.h"

using namespace tagmora;

namespace {

struct RecordingPlayer : PlayerCommands {
  void Play() override { calls += "play "; }
  void Pause() override {}
  void Stop() override {}
  void Next() override {}
  void Previous() override {}
  bool TrackOpen() const override { return false; }
  std::string TrackFile() const override { return {}; }
  int64_t PositionMs() const override { return 0; }
  void Seek(int64_t) override {}
  std::string calls;
};

// The menu an action sits in, with the menus above it: "PlayList/Add".
QString MenuPath(QAction* action) {
  QStringList path;
  for (QObject* object : action->associatedObjects()) {
    auto* menu = qobject_cast<QMenu*>(object);
    if (!menu) continue;
    for (QMenu* m = menu; m; m = qobject_cast<QMenu*>(m->menuAction()->associatedObjects().value(0))) {
      path.prepend(m->title().isEmpty() ? m->objectName() : m->title());
      if (m->menuAction()->associatedObjects().isEmpty()) break;
    }
    break;
  }
  return path.join(QLatin1Char('/'));
}

}  // namespace

class MainWindowTest : public QObject, test::WindowFixture {
  Q_OBJECT
  Control& Main(const char* name) { return model->Controls()[name]; }

  // The playlist view once it shows count items "/m/0.mp3", "/m/1.mp3", ...
  QListView* ListOf(int count) {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) items.push_back("/m/" + std::to_string(i) + ".mp3");
    model->PlayList().AppendAll(items);
    auto* list = Find<QListView>("ListBoxPlayList");
    if (!QTest::qWaitFor([&] { return list->model()->rowCount() == count; }))
      qWarning("the view shows %d rows, not %d", list->model()->rowCount(), count);
    return list;
  }
  static QPoint RowCenter(QListView* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
  }
  static std::vector<int> SelectedRows(QListView* list) {
    std::vector<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedRows())
      rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  void Open() { QVERIFY(Shown()); }

 private slots:
  void init() { CreateWindow(); }
  void cleanup() { DestroyWindow(); }

  void opensWithCaptionSizeAndSixPages() {
    QCOMPARE(window->windowTitle(), QStringLiteral("Tagmora"));
    QCOMPARE(window->size(), QSize(800, 590));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    auto* pages = Find<QTabWidget>("PageControl1");
    QVERIFY(pages);
    const QStringList captions = {"Multi Tagger", "ID3 Tags", "Multi Rename Tool",
                                  "Multi Move Tool", "Mp3 Player - MPEG info", "Errors"};
    QCOMPARE(pages->count(), captions.size());
    for (int i = 0; i < pages->count(); ++i) {
      QCOMPARE(pages->tabText(i), captions[i]);
      QVERIFY(!pages->tabIcon(i).isNull());
    }
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(pages->height(), 294);

    // The start-up timer gives the client the page control's width.
    QTRY_VERIFY(model->Started());
    QTRY_COMPARE(window->centralWidget()->width(), model->Layout().clientWidth);
    auto* group = Find<QWidget>("GroupBoxPlayList");
    QCOMPARE(group->geometry().bottom() + 1, pages->geometry().top());
    QCOMPARE(pages->geometry().bottom() + 1, window->centralWidget()->height());
  }

  void menusCarryTheirCaptions() {
    QStringList titles;
    for (QAction* action : window->menuBar()->actions()) titles << action->text();
    QCOMPARE(titles, (QStringList{"PlayList", "Edit", "PlayBack", "View", "Errors", "Help"}));

    const std::vector<std::tuple<const char*, const char*, const char*>> items = {
        {"AddFile1", "Add File(s)", "PlayList/Add"},
        {"AddFolder1", "Add Folder(s)", "PlayList/Add"},
        {"RemoveSelected1", "Remove Selected", "PlayList/Remove"},
        {"RemoveAll1", "Remove All", "PlayList/Remove"},
        {"SelectAll2", "Select All", "PlayList/Select"},
        {"SelectNone2", "Select None", "PlayList/Select"},
        {"Invertselection2", "Invert selection", "PlayList/Select"},
        {"Sortbypathandfilename2", "Sort by path and file name", "PlayList/Sort"},
        {"UndoLastBatchJob1", "Undo Last Batch Job\u2026", "Edit"},
        {"Preview1", "Previou", "PlayBack"},
        {"Play1", "Play", "PlayBack"},
        {"Pause1", "Pause", "PlayBack"},
        {"Stop1", "Stop", "PlayBack"},
        {"Next1", "Next", "PlayBack"},
        {"Options1", "Options", "View"},
        {"ClearErrors1", "Clear Errors List", "Errors"},
        {"SaveErrors2", "Save Errors", "Errors"},
        {"FlashErrorsTabonerror1", "Flash Errors Tab on error", "Errors"},
        {"Beeponerror1", "Beep on error", "Errors"},
        {"Whatsnew1", "What's new", "Help"},
        {"Submitabug1", "Submit a bug", "Help/Online"},
        {"Checkforupdates1", "Check for updates", "Help/Online"},
        {"Forum1", "Forum", "Help/Online"},
        {"About1", "About", "Help"},
        {"File1", "Add File(s)", "PopupAdd"},
        {"Selected1", "Remove Selected", "PopupRemove"},
        {"Load1", "Load List", "PopupList"},
        {"SaveErrors1", "Save Errors", "PopupErrors"},
    };
    for (const auto& [name, caption, menu] : items) {
      auto* action = Find<QAction>(name);
      QVERIFY2(action, name);
      QCOMPARE(action->text(), QString::fromUtf8(caption));
      QCOMPARE(MenuPath(action), QString::fromUtf8(menu));
    }
    for (const char* name : {"FlashErrorsTabonerror1", "Beeponerror1"}) {
      QVERIFY(Find<QAction>(name)->isCheckable());
      QVERIFY(Find<QAction>(name)->isChecked());
    }
    QCOMPARE(Find<QAction>("File1")->shortcut(), QKeySequence(Qt::Key_Insert));
    QCOMPARE(Find<QAction>("Selected1")->shortcut(), QKeySequence(Qt::Key_Delete));
  }

  void playlistButtonsOpenTheirDropDowns() {
    Open();
    const std::vector<std::tuple<const char*, const char*, const char*, const char*>> buttons = {
        {"ButtonAdd", "Add", "Add files or folders", "PopupAdd"},
        {"ButtonRemove", "Remove", "Remove files", "PopupRemove"},
        {"ButtonSel", "Select", "Selection options", "PopupSelect"},
        {"ButtonSort", "Sort", "Sort options", "PopupSort"},
        {"ButtonList", "List", "List options", "PopupList"}};
    for (const auto& [name, caption, hint, popup] : buttons) {
      auto* button = Find<QPushButton>(name);
      QVERIFY(button);
      QCOMPARE(button->text(), QString::fromUtf8(caption));
      QCOMPARE(button->toolTip(), QString::fromUtf8(hint));
      QMenu* menu = window->PopupMenu(QString::fromUtf8(popup));
      QVERIFY(menu);
      QVERIFY(!menu->isVisible());
      QTest::mouseClick(button, Qt::LeftButton);
      QTRY_VERIFY(menu->isVisible());
      // Top-left corner at the button's bottom-left corner.
      QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
      menu->hide();
    }
  }

  void deleteRemovesTheSelectedItems() {
    Open();
    QListView* list = ListOf(5);
    QCOMPARE(list->model()->rowCount(), 5);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCenter(list, 2));
    QCOMPARE(model->PlayList().SelectedCount(), 2);
    QVERIFY(model->PlayList().IsSelected(1) && model->PlayList().IsSelected(2));
    QCOMPARE(model->PlayList().Focus(), 2);

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(model->PlayList().Items(),
             (std::vector<std::string>{"/m/0.mp3", "/m/3.mp3", "/m/4.mp3"}));
    QTRY_COMPARE(list->model()->rowCount(), 3);
    QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("/m/3.mp3"));
  }

  void shiftClickSelectsARangeThatCanShrink() {
    Open();
    QListView* list = ListOf(10);
    QCOMPARE(list->model()->rowCount(), 10);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCenter(list, 6));
    QCOMPARE(model->PlayList().SelectedRanges(), (std::vector<std::pair<int, int>>{{2, 6}}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCenter(list, 4));
    QCOMPARE(model->PlayList().SelectedRanges(), (std::vector<std::pair<int, int>>{{2, 4}}));
  }

  void failedFilesMarkedByAWorkerShowSelected() {
    Open();
    QListView* list = ListOf(10);
    QCOMPARE(list->model()->rowCount(), 10);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, RowCenter(list, 5));
    // A job clears the selection when it starts, then marks failed files
    // from its own thread.
    model->PlayList().SelectNone();
    std::thread worker([this] {
      model->PlayList().SetSelected(2, true);
      model->PlayList().SetSelected(7, true);
    });
    worker.join();
    QTRY_COMPARE(SelectedRows(list), (std::vector<int>{2, 7}));
  }

  void manyScatteredFlagsShowAsTheyAre() {
    Open();
    QListView* list = ListOf(300);
    QCOMPARE(list->model()->rowCount(), 300);
    list->setCurrentIndex(list->model()->index(10, 0));
    for (int i = 0; i < 300; i += 2) model->PlayList().SetSelected(i, true);
    model->PlayList().InvertSelection();
    std::vector<int> odd;
    for (int i = 1; i < 300; i += 2) odd.push_back(i);
    QTRY_COMPARE(SelectedRows(list), odd);
    // The focus stays where the user put it.
    QCOMPARE(list->currentIndex().row(), 10);
    QCOMPARE(model->PlayList().Focus(), 10);
  }

  void enterAndDoubleClickPlayTheFocusedItem() {
    Open();
    RecordingPlayer player;
    model->SetPlayer(&player);
    QListView* list = ListOf(2);
    QCOMPARE(list->model()->rowCount(), 2);
    const QPoint second = RowCenter(list, 1);
    // A real double-click: press, release, then the double-click event.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(player.calls, std::string("play "));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(player.calls, std::string("play play "));
    model->SetPlayer(nullptr);
  }

  void insertAsksForFilesAndAppendsThem() {
    Open();
    user->openAnswers.push_back({"/music/one.mp3", "/music/two.mp3"});
    auto* list = Find<QListView>("ListBoxPlayList");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Insert);
    QCOMPARE(user->dialogs.size(), size_t(1));
    QCOMPARE(user->dialogs[0].title, std::string("Open Mp3 File"));
    QCOMPARE(model->PlayList().Items(),
             (std::vector<std::string>{"/music/one.mp3", "/music/two.mp3"}));
    QTRY_COMPARE(list->model()->rowCount(), 2);
  }

  void accordionFoldsTheOtherPanels() {
    Open();
    const char* names[] = {"CollapsePanelAutocomplete", "CollapsePanelStringFormat",
                           "CollapsePanelSearchReplace", "CollapsePanelOptions"};
    std::vector<TCollapsePanel*> panels;
    for (const char* name : names) {
      panels.push_back(Find<TCollapsePanel>(name));
      QVERIFY(panels.back());
      QVERIFY(panels.back()->Collapsed());
      QCOMPARE(panels.back()->CollapseSpeed(), 8);
    }
    QCOMPARE(panels[2]->HeaderCaption(), QStringLiteral("Search and Replace"));

    QTest::mouseClick(panels[0]->Header(), Qt::LeftButton);
    QVERIFY(!panels[0]->Collapsed());
    QTRY_VERIFY(!panels[0]->Animating());

    QTest::mouseClick(panels[2]->Header(), Qt::LeftButton);
    QVERIFY(panels[0]->Collapsed());
    QVERIFY(!panels[2]->Collapsed());
    QVERIFY(panels[1]->Collapsed() && panels[3]->Collapsed());
    QTRY_VERIFY(!panels[0]->Animating() && !panels[2]->Animating());
    QCOMPARE(panels[0]->height(), panels[0]->HeaderHeight() + 1);
    QCOMPARE(panels[2]->height(), panels[2]->ExpandedHeight());
    QVERIFY(Main("CollapsePanelAutocomplete").Checked());
    QVERIFY(!Main("CollapsePanelSearchReplace").Checked());

    // A click on the open panel folds it too: all four are folded then.
    QTest::mouseClick(panels[2]->Header(), Qt::LeftButton);
    for (TCollapsePanel* panel : panels) QVERIFY(panel->Collapsed());
  }

  void errorFromAWorkerThreadAppearsInTheGrid() {
    Open();
    auto* grid = Find<QTableView>("StringGridErrors");
    QVERIFY(grid);
    QCOMPARE(grid->model()->rowCount(), 1);  // the empty row
    QStringList headers;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
      headers << grid->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, (QStringList{"No.", "Time", "Error", "Path"}));

    std::thread worker([this] { model->Errors().AddError("Cannot read", "/m/bad.mp3", false); });
    worker.join();
    QTRY_COMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("1"));
    QVERIFY(!grid->model()->index(0, 1).data().toString().isEmpty());
    QCOMPARE(grid->model()->index(0, 2).data().toString(), QStringLiteral("Cannot read"));
    QCOMPARE(grid->model()->index(0, 3).data().toString(), QStringLiteral("/m/bad.mp3"));
    QCOMPARE(grid->model()->index(1, 2).data().toString(), QString());
    // The new last (empty) row is selected.
    QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(grid->selectionModel()->selectedRows().front().row(), 1);
    QVERIFY(user->boxes.empty());
    QTRY_VERIFY(user->beeps == 1);

    // The tab flashes and ends on its normal picture.
    auto* pages = Find<QTabWidget>("PageControl1");
    const qint64 normal = pages->tabIcon(kErrorsPage).cacheKey();
    QTRY_VERIFY(pages->tabIcon(kErrorsPage).cacheKey() != normal);
    QTRY_COMPARE(Main("TabSheetErrors").Image(), kErrorsPicture);
    QTRY_COMPARE(model->Errors().FlashErrorState(), -1);

    // Clearing, after the question, leaves the empty row alone.
    user->answers.push_back(MessageAnswer::Yes);
    QTest::mouseClick(Find<QPushButton>("ButtonClearErrors"), Qt::LeftButton);
    QCOMPARE(user->boxes.back().caption, std::string("Clear list ?"));
    QTRY_COMPARE(grid->model()->rowCount(), 1);
  }

  void pathColumnTakesTheRestOfTheGrid() {
    Open();
    Main("PageControl1").SetIndex(kErrorsPage);
    auto* grid = Find<QTableView>("StringGridErrors");
    QTRY_VERIFY(grid->isVisible());
    window->resize(1000, 700);
    QTRY_COMPARE(grid->columnWidth(3), grid->viewport()->width() - 40 - 70 - 160 - 5);
    QCOMPARE(grid->columnWidth(0), 40);
    QCOMPARE(grid->columnWidth(2), 160);
  }

  void optionCheckBoxesAndMenuItemsAreTwins() {
    Open();
    Find<QAction>("Options1")->trigger();
    auto* options = window->Options();
    QTRY_VERIFY(options->isVisible());
    QCOMPARE(options->windowTitle(), QStringLiteral("Options"));
    QVERIFY(options->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!options->isModal());
    auto* beep = options->findChild<QAbstractButton*>("CheckBoxBeep");
    QVERIFY(beep && beep->isChecked());
    QTest::mouseClick(beep, Qt::LeftButton, {}, QPoint(6, beep->height() / 2));
    QVERIFY(!Find<QAction>("Beeponerror1")->isChecked());
    Find<QAction>("FlashErrorsTabonerror1")->trigger();
    QVERIFY(!options->findChild<QAbstractButton*>("CheckBoxFlash")->isChecked());
    // The option of the tag writes, on the "Files" page.
    auto* keep = options->findChild<QAbstractButton*>(kKeepMtimeCheckBox);
    QVERIFY(keep && !keep->isChecked());
    QCOMPARE(keep->text(), QStringLiteral("Keep the files' modification time"));
    keep->click();
    QVERIFY(model->FileWriteOptions().keepModificationTime);

    model->Errors().AddError("Quiet", "", false);
    QTest::qWait(50);
    QCOMPARE(user->beeps, 0);
    QCOMPARE(Main("TabSheetErrors").Image(), kErrorsPicture);
  }

  void droppedFilesAndFoldersAreAdded() {
    Open();
    QTemporaryDir music;
    const QString root = music.path();
    QDir(root).mkpath("sub");
    for (const QString name : {"x.mp3", "y.txt", "sub/z.MP3"}) {
      QFile file(root + "/" + name);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    auto* list = Find<QListView>("ListBoxPlayList");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(root + "/x.mp3"), QUrl::fromLocalFile(root + "/sub")});
    QVERIFY(list->model()->canDropMimeData(&data, Qt::CopyAction, -1, -1, {}));
    list->model()->dropMimeData(&data, Qt::CopyAction, -1, -1, {});
    QTRY_COMPARE(model->PlayList().Count(), 2);
    QCOMPARE(model->PlayList().Items(),
             (std::vector<std::string>{(root + "/x.mp3").toStdString(),
                                       (root + "/sub/z.MP3").toStdString()}));
  }

  void addFoldersDialogCountsAndAddsAFolderTree() {
    Open();
    QTemporaryDir music;
    const QString root = music.path();
    QDir(root).mkpath(".hidden");
    QDir(root).mkpath("sub");
    for (const QString name : {"a.mp3", "B.MP3", "x.txt", ".hidden/c.mp3", "sub/d.mp3"}) {
      QFile file(root + "/" + name);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    model->AddFolders().SetRememberedFolder(root.toStdString());
    AddFoldersDialog* dialog = window->AddFolders();
    bool checked = false;
    QTimer::singleShot(0, [&] {
      QTRY_VERIFY(dialog->isVisible());
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Open Folder(s)"));
      auto* tree = dialog->findChild<QTreeView*>("ShellTreeView1");
      auto* files = static_cast<QFileSystemModel*>(tree->model());
      QCOMPARE(files->filePath(tree->currentIndex()), root);
      auto* count = dialog->findChild<QPushButton*>("ButtonCountFiles");
      QCOMPARE(count->text(), QStringLiteral("? Files ..."));
      QVERIFY(dialog->findChild<QCheckBox*>("CheckBoxRecurse")->isChecked());
      QTest::mouseClick(count, Qt::LeftButton);
      QTRY_COMPARE(count->text(), QStringLiteral("4 files, 3 folders"));
      // Another folder: the old count goes.
      tree->setCurrentIndex(files->index(root + "/sub"));
      QCOMPARE(count->text(), QStringLiteral("? Files ..."));
      tree->setCurrentIndex(files->index(root));
      checked = true;
      QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
    });
    Find<QAction>("AddFolder1")->trigger();  // modal until OK closes it
    QVERIFY(checked);
    QVERIFY(!dialog->isVisible());
    const std::string r = root.toStdString();
    QCOMPARE(model->PlayList().Items(),
             (std::vector<std::string>{r + "/a.mp3", r + "/B.MP3", r + "/.hidden/c.mp3",
                                       r + "/sub/d.mp3"}));
    QCOMPARE(model->AddFolders().RememberedFolder(), r);

    // Escape closes the dialog and adds nothing.
    QTimer::singleShot(0, [&] {
      QTRY_VERIFY(dialog->isVisible());
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    Find<QAction>("Folder1")->trigger();
    QCOMPARE(model->PlayList().Count(), 4);
  }

  void aboutBoxLinksOpenThroughTheShell() {
    Open();
    QTimer::singleShot(0, [this] {
      for (const char* name : {"LinkLabelWeb", "LinkLabelMail"}) {
        auto* link = window->About()->findChild<QLabel*>(name);
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
      }
      window->About()->accept();
    });
    Find<QAction>("About1")->trigger();
    QCOMPARE(window->About()->windowTitle(), QStringLiteral("About"));
    QCOMPARE(user->opened,
             (std::vector<std::string>{"https://tagmora.org", "mailto:tagmora@tagmora.org"}));
  }
};

TAGMORA_UI_TEST(MainWindowTest);
#include "MainWindowTest.moc"
