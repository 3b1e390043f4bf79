#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "UiTestMain.h"
#include "ui/QtPoster.h"
#include "ui/QtUserInteraction.h"

using namespace tagmora;

namespace {

bool OnGuiThread() { return QThread::currentThread() == qApp->thread(); }

// Runs check on the modal box or dialog once it is up.
template <typename Widget>
void WhenModal(std::function<void(Widget*)> check) {
  QTimer::singleShot(0, [check] {
    QTRY_VERIFY(qobject_cast<Widget*>(QApplication::activeModalWidget()));
    check(qobject_cast<Widget*>(QApplication::activeModalWidget()));
  });
}

}  // namespace

class QtSeamsTest : public QObject {
  Q_OBJECT

 private slots:
  void postedWorkRunsOnTheUserInterfaceThreadInOrder() {
    QtPoster poster;
    QVERIFY(poster.OnUserInterfaceThread());
    std::vector<int> seen;
    std::atomic<bool> elsewhere{false};
    std::thread worker([&] {
      if (poster.OnUserInterfaceThread()) elsewhere = true;
      for (int i = 0; i < 100; ++i)
        poster.Post([&seen, &elsewhere, i] {
          if (!OnGuiThread()) elsewhere = true;
          seen.push_back(i);
        });
    });
    worker.join();
    QVERIFY(seen.empty());  // never in place
    QTRY_COMPARE(seen.size(), size_t(100));
    for (int i = 0; i < 100; ++i) QCOMPARE(seen[size_t(i)], i);
    QVERIFY(!elsewhere);
  }

  void laterWorkRunsWhileEarlierWorkWaitsInALoopOfItsOwn() {
    QtPoster poster;
    bool later = false;
    bool seenInside = false;
    std::thread worker([&] {
      // As a "Finish" box waits for the user while other reports go on.
      poster.Post([&] { seenInside = QTest::qWaitFor([&] { return later; }, 5000); });
      poster.Post([&] { later = true; });
    });
    worker.join();
    QTRY_VERIFY(later);
    QVERIFY(seenInside);
  }

  void delayedWorkFromAWorkerWaitsItsTime() {
    QtPoster poster;
    QElapsedTimer clock;
    clock.start();
    qint64 ranAfter = -1;
    bool onGui = false;
    std::thread worker([&] {
      poster.PostDelayed(50, [&] {
        ranAfter = clock.elapsed();
        onGui = OnGuiThread();
      });
    });
    worker.join();
    QTRY_VERIFY(ranAfter >= 0);
    QVERIFY(ranAfter >= 45);
    QVERIFY(onGui);
  }

  void workOfAGonePosterNeverRuns() {
    bool ran = false;
    {
      QtPoster poster;
      poster.Post([&] { ran = true; });
      poster.PostDelayed(1, [&] { ran = true; });
    }
    QTest::qWait(30);
    QVERIFY(!ran);
  }

  void messageBoxesShowCaptionIconTextAndButtons() {
    QtUserInteraction user;
    WhenModal<QMessageBox>([](QMessageBox* box) {
      QCOMPARE(box->windowTitle(), QStringLiteral("Clear list ?"));
      QCOMPARE(box->text(), QStringLiteral("This will clear the errors list! Continue?"));
      QCOMPARE(box->icon(), QMessageBox::Question);
      QCOMPARE(box->standardButtons(),
               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box->button(QMessageBox::Yes)->click();
    });
    QCOMPARE(user.Show({"Clear list ?", "This will clear the errors list! Continue?",
                        MessageIcon::Question, MessageButtons::YesNoCancel}),
             MessageAnswer::Yes);

    WhenModal<QMessageBox>([](QMessageBox* box) {
      QCOMPARE(box->icon(), QMessageBox::Warning);
      QCOMPARE(box->text(), QStringLiteral("Cannot read\n\rFile: /m/a.mp3"));
      QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(user.Show({"Error", "Cannot read\n\rFile: /m/a.mp3", MessageIcon::Warning,
                        MessageButtons::Ok}),
             MessageAnswer::Ok);

    WhenModal<QMessageBox>([](QMessageBox* box) {
      QCOMPARE(box->icon(), QMessageBox::Critical);
      QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(user.Show({"Errors NOT Saved", "Error: x", MessageIcon::Error,
                        MessageButtons::YesNoCancel}),
             MessageAnswer::Cancel);
  }

  void saveDialogAddsTheDefaultSuffix() {
    QTemporaryDir dir;
    QtUserInteraction user;
    WhenModal<QFileDialog>([&dir](QFileDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Save list"));
      QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("M3U Files(*.m3u)")});
      QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
      dialog->selectFile(dir.path() + QStringLiteral("/mine"));
      static_cast<QDialog*>(dialog)->accept();
    });
    FileDialog save;
    save.title = "Save list";
    save.filterName = "M3U Files(*.m3u)";
    save.filterPattern = "*.m3u";
    save.folder = dir.path().toStdString();
    save.defaultSuffix = "m3u";
    const std::optional<std::string> chosen = user.SaveFile(save);
    QVERIFY(chosen);
    QCOMPARE(QString::fromStdString(*chosen), dir.path() + QStringLiteral("/mine.m3u"));

    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!user.SaveFile(save));
  }

  void openDialogAnswersTheChosenFiles() {
    QTemporaryDir dir;
    for (const char* name : {"a.mp3", "B.MP3"}) {
      QFile file(dir.filePath(QString::fromLatin1(name)));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QtUserInteraction user;
    WhenModal<QFileDialog>([](QFileDialog* dialog) {
      QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFiles);
      QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("Mp3 Files (*.mp3)")});
      dialog->selectFile(QStringLiteral("\"a.mp3\" \"B.MP3\""));
      static_cast<QDialog*>(dialog)->accept();
    });
    FileDialog open;
    open.title = "Open Mp3 File";
    open.filterName = "Mp3 Files";
    open.filterPattern = "*.mp3";
    open.folder = dir.path().toStdString();
    open.multiSelect = true;
    const std::vector<std::string> chosen = user.OpenFiles(open);
    QCOMPARE(chosen.size(), size_t(2));
    QCOMPARE(QString::fromStdString(chosen[0]), dir.filePath("a.mp3"));
    QCOMPARE(QString::fromStdString(chosen[1]), dir.filePath("B.MP3"));
  }

  void shellTargetsBecomeAddresses() {
    QCOMPARE(ShellUrl("/home/ann/Errors_07.12.2025.txt"),
             QUrl::fromLocalFile(QStringLiteral("/home/ann/Errors_07.12.2025.txt")));
    QCOMPARE(ShellUrl("/music/a #1.mp3").toLocalFile(), QStringLiteral("/music/a #1.mp3"));
    QCOMPARE(ShellUrl("mailto:tagmora@tagmora.org").scheme(), QStringLiteral("mailto"));
    QCOMPARE(ShellUrl("https://tagmora.org/forum").host(), QStringLiteral("tagmora.org"));
  }
};

TAGMORA_UI_TEST(QtSeamsTest);
#include "QtSeamsTest.moc"
