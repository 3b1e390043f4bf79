// The "Multi Tagger" page as a user sees and drives it: the page at rest,
// and an update run over generated files and one missing path, with its
// progress panel, priority slider, summary and errors.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>

#include <memory>

#include "WindowFixture.h"
#include "editing/TagAccess.h"
#include "jobs/UnitThreadUpdate.h"
#include "playlist/Playlist.h"
#include "ui/CollapsePanel.h"

using namespace tagmora;

class MultiTaggerPageTest : public QObject, test::WindowFixture {
  Q_OBJECT

  QWidget* Page() { return Find<QWidget>("TabSheetMultiTag"); }
  // Whether a panel's least height and width fit the page.
  bool Fits(const char* name) {
    const QSize least = Find<QWidget>(name)->minimumSizeHint();
    return least.height() <= Page()->height() && least.width() <= Page()->width();
  }

 private slots:
  void init() {
    CreateWindow();
    QVERIFY(Shown());
  }
  void cleanup() { DestroyWindow(); }

  void pageAtRest() {
    QVERIFY(Find<QGroupBox>("GroupBoxMulti")->isVisible());
    QVERIFY(Find<QGroupBox>("GroupUpdate")->isHidden());
    for (const char* name : {"GroupBoxMulti", "GroupUpdate", "GroupRemoveTags"})
      QVERIFY2(Fits(name), name);
    // The tallest panel open holds its controls and stays on the page.
    auto* options = Find<TCollapsePanel>("CollapsePanelOptions");
    QTest::mouseClick(options->Header(), Qt::LeftButton);
    QTRY_VERIFY(!options->Animating());
    auto* variables = Find<QPushButton>("ButtonVariablesInfo");
    QVERIFY(variables->mapTo(options, QPoint(0, variables->height())).y() <= options->height());
    QVERIFY(options->mapTo(Page(), QPoint(0, options->height())).y() <= Page()->height());

    for (const auto& [name, popup] :
         {std::pair{"ButtonDefaultSettings", "PopupMenuDefaultSettings"},
          std::pair{"ButtonRemoveTags", "PopupMenuremoveTags"}}) {
      auto* button = Find<QPushButton>(name);
      QMenu* menu = window->PopupMenu(QString::fromLatin1(popup));
      QTest::mouseClick(button, Qt::LeftButton);
      QTRY_VERIFY(menu->isVisible());
      QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
      menu->hide();
    }

    // A template box shows the button face while its field is off, in
    // every style and after the desktop's palette changed.
    QPalette desktop = QApplication::palette();
    desktop.setColor(QPalette::Button, QColor(200, 170, 90));
    QApplication::setPalette(desktop);
    QCoreApplication::processEvents();  // the widgets hear of it from the queue
    for (const auto& [box, field] : {std::pair{"EditTitleAll", "CheckBoxTitleAll"},
                                     std::pair{"ComboGenreAll", "CheckBoxGenreAll"}}) {
      auto* widget = Find<QWidget>(box);
      const auto background = [widget] {
        return widget->grab().toImage().pixelColor(widget->width() / 2, widget->height() / 2);
      };
      for (const QString& key : QStyleFactory::keys()) {
        std::unique_ptr<QStyle> style(QStyleFactory::create(key));
        widget->setStyle(style.get());
        QCOMPARE(background(), desktop.color(QPalette::Button));
        Find<QCheckBox>(field)->click();
        QCOMPARE(background(), desktop.color(QPalette::Base));
        Find<QCheckBox>(field)->click();
        widget->setStyle(nullptr);
      }
    }
    QApplication::setPalette(QPalette());

    // A genre picked from the list gives way to the default template.
    Find<QCheckBox>("CheckBoxGenreAll")->click();
    auto* genre = Find<QComboBox>("ComboGenreAll");
    QCOMPARE(genre->currentText(), QStringLiteral("%genre%"));
    QTest::keyClick(genre, Qt::Key_Down);
    QCOMPARE(model->Controls()["ComboGenreAll"].Text(), genre->currentText().toStdString());
    QVERIFY(genre->currentText() != QStringLiteral("%genre%"));
    Find<QAction>("ID3Fields1")->trigger();
    QCOMPARE(genre->currentText(), QStringLiteral("%genre%"));
  }

  void updateRun() {
    std::vector<std::string> paths;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
      paths.push_back(*dir / name);
      test::MakeMp3(paths.back());
    }
    // A missing file whose path is far wider than the window.
    paths.push_back(*dir / "gone" + std::string(400, 'x') + ".mp3");
    model->PlayList().AppendAll(paths);

    Find<QCheckBox>("CheckBoxTitleAll")->click();
    auto* title = Find<QLineEdit>("EditTitleAll");
    title->selectAll();
    QTest::keyClicks(title, "%title%Song");
    user->answers.push_back(MessageAnswer::Yes);
    QTest::mouseClick(Find<QPushButton>("ButtonUpdateAllTags"), Qt::LeftButton);
    QCOMPARE(user->boxes.at(0).caption, std::string("Update ID3 Tag(s) ?"));
    QVERIFY(Find<QGroupBox>("GroupUpdate")->isVisible());
    QVERIFY(Find<QGroupBox>("GroupBoxMulti")->isHidden());

    // Until the event loop runs, the run's end has not reached the panel:
    // the slider is the user's.
    auto* slider = Find<QSlider>("TrackBarPriorityUpdate");
    auto* priority = Find<QLabel>("LabelProcessPriorityUpdate");
    QCOMPARE(priority->text(), QStringLiteral("Normal"));
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(priority->text(), QStringLiteral("Idle"));
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(priority->text(), QStringLiteral("Lowest"));

    auto* stop = Find<QPushButton>("ButtonStopUpdate");
    QTRY_COMPARE(stop->text(), QStringLiteral("Finish"));
    QCOMPARE(user->boxes.back().caption, std::string("Finish"));
    QCOMPARE(user->boxes.back().text, UpdateSummary(4, 1));
    QTRY_VERIFY(!Find<QCheckBox>("CheckBoxTitleAll")->isChecked());
    QCOMPARE(Find<QLabel>("LabelSavePercent")->text(), QStringLiteral("100 %"));
    QCOMPARE(Find<QLabel>("LabelSaveFiles")->text(), QStringLiteral("File : 4 of 4"));
    QCOMPARE(Find<QLabel>("LabelUpdateErrors")->text(), QStringLiteral("1"));
    QCOMPARE(Find<QProgressBar>("ProgressBarSave")->value(), 100);
    QVERIFY(!slider->isEnabled());
    QCOMPARE(Find<QLabel>("LabelSaveTitle")->text().toStdString(), paths.back());
    QVERIFY(Fits("GroupUpdate"));
    IDv1Tag v1;
    IDv2Tag v2;
    ReadTags(paths[0], v1, v2);
    QCOMPARE(v1.Title, std::string("Song"));

    auto* list = Find<QListView>("ListBoxPlayList");
    QTRY_COMPARE(list->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(list->selectionModel()->selectedRows().front().row(), 3);

    auto* link = Find<QPushButton>("LabelShowUpdateErrors");
    QVERIFY(link->isVisible());
    QTest::mouseClick(link, Qt::LeftButton);
    auto* pages = Find<QTabWidget>("PageControl1");
    QCOMPARE(pages->currentIndex(), kErrorsPage);
    pages->setCurrentIndex(0);
    QTest::mouseClick(stop, Qt::LeftButton);
    QVERIFY(Find<QGroupBox>("GroupBoxMulti")->isVisible());
    QVERIFY(Find<QGroupBox>("GroupUpdate")->isHidden());
  }
};

TAGMORA_UI_TEST(MultiTaggerPageTest);
#include "MultiTaggerPageTest.moc"
