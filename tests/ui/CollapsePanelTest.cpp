#include <QEnterEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <stdexcept>
#include <vector>

#include "UiTestMain.h"
#include "ui/CollapsePanel.h"

using tagmora::TCollapsePanel;

namespace {

std::vector<int> Steps(const QSignalSpy& spy) {
  std::vector<int> heights;
  for (const auto& call : spy) heights.push_back(call.at(0).toInt());
  return heights;
}

// from, from + step, ... up to to, then last.
std::vector<int> Range(int from, int to, int step, int last) {
  std::vector<int> out;
  for (int h = from; step > 0 ? h <= to : h >= to; h += step) out.push_back(h);
  out.push_back(last);
  return out;
}

void SendLeave(QWidget* widget) {
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(widget, &leave);
}

void SendEnter(QWidget* widget) {
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QCoreApplication::sendEvent(widget, &enter);
}

}  // namespace

class CollapsePanelTest : public QObject {
  Q_OBJECT

 private slots:
  void headerSitsOnTopOrWhereTheFormPutsIt() {
    QWidget window;
    TCollapsePanel panel(&window);
    panel.resize(336, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(panel.Header()->geometry(), QRect(1, 1, 334, 20));  // inside the bevel
    panel.SetHeaderAlignTop(false);
    panel.SetHeaderLeft(10);
    panel.SetHeaderTop(4);
    panel.SetHeaderWidth(200);
    panel.SetHeaderHeight(24);
    QCOMPARE(panel.Header()->geometry(), QRect(10, 4, 200, 24));
    // A folded panel keeps the header's height and one pixel more.
    panel.SetCollapsed(true);
    QTRY_COMPARE(panel.height(), 25);
  }

  // Each step is a multiple of the speed; the end height is set last.
  void foldAndUnfoldPassThroughTheMultiplesOfTheSpeed() {
    struct Case {
      int height, speed;
      std::vector<int> fold, unfold;
    };
    const Case cases[] = {
        {177, 8, Range(176, 24, -8, 21), Range(24, 176, 8, 177)},
        {30, 1, Range(30, 21, -1, 21), Range(21, 30, 1, 30)},
        {250, 99, {198, 99, 21}, {99, 198, 250}},
    };
    for (const Case& c : cases) {
      TCollapsePanel panel;
      panel.SetPanelHeight(c.height);
      panel.SetCollapseSpeed(c.speed);
      QSignalSpy spy(&panel, &TCollapsePanel::HeightStepped);
      panel.SetCollapsed(true);
      QCOMPARE(Steps(spy), c.fold);
      QCOMPARE(panel.height(), 21);
      QCOMPARE(panel.ExpandedHeight(), c.height);
      spy.clear();
      panel.SetCollapsed(false);
      QCOMPARE(Steps(spy), c.unfold);
      QCOMPARE(panel.height(), c.height);
    }
  }

  void writingTheCurrentStateChangesNothing() {
    TCollapsePanel panel;
    QSignalSpy spy(&panel, &TCollapsePanel::HeightStepped);
    panel.SetCollapsed(false);
    QCOMPARE(spy.count(), 0);
    panel.SetCollapsed(true);
    spy.clear();
    panel.SetCollapsed(true);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(panel.height(), 21);
    QCOMPARE(panel.ExpandedHeight(), 100);
  }

  void speedOutsideOneToNinetyNineIsRefused() {
    TCollapsePanel panel;
    panel.SetCollapseSpeed(8);
    for (int bad : {0, 100, -3}) {
      try {
        panel.SetCollapseSpeed(bad);
        QFAIL("no error for a bad speed");
      } catch (const std::invalid_argument& e) {
        QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("0<Speed<100"));
      }
      QCOMPARE(panel.CollapseSpeed(), 8);
    }
    panel.SetCollapseSpeed(99);
    QCOMPARE(panel.CollapseSpeed(), 99);
  }

  void headerClickCallsTheOwnerFirstThenToggles() {
    TCollapsePanel panel;
    std::vector<bool> seen;
    connect(&panel, &TCollapsePanel::HeaderClick, [&] { seen.push_back(panel.Collapsed()); });
    QTest::mouseClick(panel.Header(), Qt::LeftButton);
    QCOMPARE(panel.Collapsed(), true);
    QTest::mouseClick(panel.Header(), Qt::LeftButton);
    QCOMPARE(panel.Collapsed(), false);
    QCOMPARE(seen, (std::vector<bool>{false, true}));
  }

  void shownPanelFoldsInVisibleSteps() {
    QWidget window;  // a top-level panel would resize its own window
    window.resize(200, 300);
    TCollapsePanel panel(&window);
    panel.SetPanelHeight(177);
    panel.SetCollapseSpeed(8);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy spy(&panel, &TCollapsePanel::HeightStepped);
    panel.SetCollapsed(true);
    QVERIFY(panel.Collapsed());
    QVERIFY(panel.Animating());
    QVERIFY(panel.height() > 21);
    QTRY_COMPARE(panel.height(), 21);
    QCOMPARE(spy.count(), 21);

    // Unfolding half-way through a fold goes back up to the old height.
    panel.SetCollapsed(false);
    QTest::qWait(30);
    panel.SetCollapsed(true);
    panel.SetCollapsed(false);
    QTRY_VERIFY(!panel.Animating());
    QCOMPARE(panel.height(), 177);
  }

  void autoCloseFoldsAfterLeavingUnlessPinned() {
    TCollapsePanel panel;
    panel.SetAutoCloseTime(20);
    panel.SetAutoClose(true);
    QVERIFY(panel.Header()->isCheckable());

    SendLeave(&panel);
    QTRY_VERIFY(panel.Collapsed());

    SendEnter(&panel);
    QVERIFY(!panel.Collapsed());

    // A click on the header pins the panel and neither folds nor unfolds it.
    QTest::mouseClick(panel.Header(), Qt::LeftButton);
    QVERIFY(panel.Pinned());
    QVERIFY(!panel.Collapsed());
    SendLeave(&panel);
    QTest::qWait(60);
    QVERIFY(!panel.Collapsed());

    QTest::mouseClick(panel.Header(), Qt::LeftButton);
    QVERIFY(!panel.Pinned());
    SendLeave(&panel);
    QTRY_VERIFY(panel.Collapsed());

    panel.SetAutoClose(false);
    QVERIFY(!panel.Header()->isCheckable());
  }

  void enteringStopsTheAutoCloseTimer() {
    TCollapsePanel panel;
    panel.SetAutoCloseTime(40);
    panel.SetAutoClose(true);
    SendLeave(&panel);
    SendEnter(&panel);
    QTest::qWait(100);
    QVERIFY(!panel.Collapsed());
  }
};

TAGMORA_UI_TEST(CollapsePanelTest);
#include "CollapsePanelTest.moc"
