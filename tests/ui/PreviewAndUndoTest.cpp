// The safety net in the window: "Preview..." shows what the rename job
// would do and changes nothing; after the run, the progress panel's undo
// button opens "Undo Last Batch Job", whose Yes puts the file back.

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "WindowFixture.h"
#include "editing/TagAccess.h"
#include "jobs/UnitThreadRename.h"
#include "playlist/Playlist.h"

using namespace tagmora;

class PreviewAndUndoTest : public QObject, test::WindowFixture {
  Q_OBJECT

  std::string Path(const char* name) { return dir->Path() + "/" + name; }
  QString Cell(QTableView* table, int row, int column) {
    return table->model()->index(row, column).data().toString();
  }
  // For a person to look at: TAGMORA_SHOTS names a folder for pictures.
  void Shoot(QWidget* widget, const char* name) {
    if (const QByteArray shots = qgetenv("TAGMORA_SHOTS"); !shots.isEmpty())
      widget->grab().save(QString::fromUtf8(shots) + "/" + name + ".png");
  }

 private slots:
  void init() {
    CreateWindow();
    QVERIFY(Shown());
    test::MakeMp3(Path("x.mp3"), 0.1);
    test::MakeMp3(Path("none.mp3"), 0.1);
    IDv2Tag tag{true, 0, 0, "T", "A", "", 0, "", "", "", "", "", "", "", ""};
    QCOMPARE(WriteID3v2Tag(Path("x.mp3"), tag), std::string(kStatusOK));
    model->PlayList().AppendAll({Path("x.mp3"), Path("none.mp3")});
    Find<QTabWidget>("PageControl1")->setCurrentIndex(kRenamePage);
  }
  void cleanup() { DestroyWindow(); }

  void previewThenRunThenUndo() {
    const auto before = test::Snapshot(dir->Path());
    QTest::mouseClick(Find<QPushButton>("ButtonRenamePreview"), Qt::LeftButton);
    // Each job page has a preview of its own.
    auto* preview = test::FindWidget<QDialog>(Find<QWidget>("MultiRename"), "FormPreview");
    QTRY_VERIFY(preview->isVisible());
    auto* close = test::FindWidget<QPushButton>(preview, "ButtonPreviewStop");
    QTRY_COMPARE(close->text(), QStringLiteral("Close"));
    auto* table = preview->findChild<QTableView*>(QStringLiteral("TablePreview"));
    QTRY_COMPARE(table->model()->rowCount(), 2);
    QCOMPARE(Cell(table, 0, 1), QString::fromStdString("\u2192 " + Path("A - T.mp3")));
    QCOMPARE(Cell(table, 1, 0), QString::fromStdString(Path("none.mp3")));
    QCOMPARE(Cell(table, 1, 1), QStringLiteral("NO ID3v1 or ID3v2 Tag found"));
    QVERIFY(table->model()->index(1, 1).data(Qt::ForegroundRole).isValid());
    QCOMPARE(preview->findChild<QLabel*>(QStringLiteral("LabelPreviewSummary"))->text(),
             QStringLiteral("At its end the run would report:\n"
                            "Processed 2 files with 1 errors!\n\n1 files renamed.\n\n"
                            "Selected files from playlist have errors!"));
    QVERIFY(preview->frameGeometry().width() <= kInitialWidth &&
            preview->frameGeometry().height() <= kInitialHeight);
    Shoot(preview, "preview");
    QCOMPARE(test::Snapshot(dir->Path()), before);
    QTest::mouseClick(close, Qt::LeftButton);
    QTRY_VERIFY(!preview->isVisible());
    QVERIFY(user->boxes.empty());

    user->answers = {MessageAnswer::Yes};
    QTest::mouseClick(Find<QPushButton>("ButtonRenameStart"), Qt::LeftButton);
    auto* undoButton = Find<QPushButton>("ButtonUndoRename");
    QTRY_VERIFY(undoButton->isVisible());
    QCOMPARE(model->PlayList().Item(0), Path("A - T.mp3"));
    Shoot(window.get(), "finished");

    QTest::mouseClick(undoButton, Qt::LeftButton);
    auto* undo = Find<QDialog>("FormUndo");
    QTRY_VERIFY(undo->isVisible());
    auto* list = undo->findChild<QTableView*>(QStringLiteral("TablePreview"));
    QTRY_COMPARE(list->model()->rowCount(), 1);
    QCOMPARE(Cell(list, 0, 1), QString::fromStdString("\u2192 " + Path("x.mp3")));
    QVERIFY(Find<QLabel>("LabelUndoJob")->text().startsWith(QStringLiteral("Undo Rename files of ")));
    Shoot(undo, "undo");
    QTest::mouseClick(Find<QPushButton>("ButtonUndoYes"), Qt::LeftButton);
    auto* finish = Find<QPushButton>("ButtonStopUndo");
    QTRY_COMPARE(finish->text(), QStringLiteral("Finish"));
    QTRY_COMPARE(QString::fromStdString(user->boxes.back().text),
                 QStringLiteral("Processed 1 changes with NO errors!\n\r\n\r1 changes taken back."));
    QTest::mouseClick(finish, Qt::LeftButton);
    QTRY_VERIFY(!undo->isVisible());
    QCOMPARE(test::Snapshot(dir->Path()), before);
    QCOMPARE(model->PlayList().Item(0), Path("x.mp3"));

    // Nothing is left to take back now.
    Find<QAction>("UndoLastBatchJob1")->trigger();
    QTRY_COMPARE(QString::fromStdString(user->boxes.back().text),
                 QStringLiteral("There is no batch job left to undo!"));
  }
};

TAGMORA_UI_TEST(PreviewAndUndoTest);

#include "PreviewAndUndoTest.moc"
