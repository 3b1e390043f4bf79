// The "Multi Rename Tool" and "Multi Move Tool" pages in the window: a run
// goes from the start button to "Finish" with its summary and the failed
// file selected in the playlist.

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <filesystem>

#include "WindowFixture.h"
#include "editing/TagAccess.h"
#include "platform/FileSystem.h"
#include "playlist/Playlist.h"
#include "ui/CopyAnimation.h"

using namespace tagmora;

class FilePagesTest : public QObject, test::WindowFixture {
  Q_OBJECT

  std::string Path(const char* name) { return dir->Path() + "/" + name; }

  // The playlist holds "x.mp3" with the artist A and the title T, and
  // "none.mp3" without tags; the page is shown.
  void Open(int page) {
    test::MakeMp3(Path("x.mp3"), 0.1);
    test::MakeMp3(Path("none.mp3"), 0.1);
    IDv2Tag tag{true, 0, 0, "T", "A", "", 0, "", "", "", "", "", "", "", ""};
    QCOMPARE(WriteID3v2Tag(Path("x.mp3"), tag), std::string(kStatusOK));
    model->PlayList().AppendAll({Path("x.mp3"), Path("none.mp3")});
    Find<QTabWidget>("PageControl1")->setCurrentIndex(page);
  }

  // Starts, answers every question Yes, and waits for "Finish".
  void Run(const char* start, const char* stop, const char* link, const char* summary) {
    user->answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    QTest::mouseClick(Find<QPushButton>(start), Qt::LeftButton);
    auto* finish = Find<QPushButton>(stop);
    QTRY_COMPARE(finish->text(), QStringLiteral("Finish"));
    QTRY_COMPARE(QString::fromStdString(user->boxes.back().caption), QStringLiteral("Finish"));
    QCOMPARE(QString::fromStdString(user->boxes.back().text), QString::fromUtf8(summary));
    QTRY_VERIFY(Find<QWidget>(link)->isVisible());
    auto* list = Find<QListView>("ListBoxPlayList");
    QTRY_COMPARE(list->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(list->selectionModel()->selectedRows().front().row(), 1);
    QTest::mouseClick(finish, Qt::LeftButton);
    QTRY_VERIFY(!finish->isVisible());
  }

 private slots:
  void init() {
    CreateWindow();
    QVERIFY(Shown());
  }
  void cleanup() { DestroyWindow(); }

  void renamePageRunsToItsSummary() {
    Open(kRenamePage);
    Run("ButtonRenameStart", "ButtonStopRename", "LabelShowRenameErrors",
        "Processed 2 files with 1 errors!\n\r\n\r1 files renamed.\n\r\n\r"
        "Selected files from playlist have errors!");
    QVERIFY(FileExists(Path("A - T.mp3")));
    QVERIFY(!Find<CopyAnimation>("AnimateRename")->Playing());
    QVERIFY(Find<QWidget>("GroupMultiRename")->isVisible());
  }

  void movePageRunsToItsSummary() {
    Open(kMovePage);
    // An empty base folder proposes the first file's when it gets the focus.
    QTest::mouseClick(Find<QLineEdit>("EditBaseFolder"), Qt::LeftButton);
    QTRY_COMPARE(Find<QLineEdit>("EditBaseFolder")->text().toStdString(), Path(""));
    std::filesystem::create_directory(Path("out"));
    user->folderAnswers = {Path("out")};
    QTest::mouseClick(Find<QPushButton>("ButtonChooseBaseFolder"), Qt::LeftButton);
    QTRY_COMPARE(Find<QLineEdit>("EditBaseFolder")->text().toStdString(), Path("out/"));
    Run("ButtonMoveStart", "ButtonStopMove", "LabelShowMoveErrors",
        "Processed 2 files with 1 errors!\n\r\n\r1 folders created.\n\r1 files moved.\n\r\n\r"
        "Selected files from playlist have errors!");
    QVERIFY(FileExists(Path("out/A/x.mp3")));
  }
};

TAGMORA_UI_TEST(FilePagesTest);

#include "FilePagesTest.moc"
