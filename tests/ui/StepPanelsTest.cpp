// The step panels in the window: each unfolds far enough for all its
// controls once the binder has given the captions, and the rule list's
// context menu offers the row commands only on a row.

#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "WindowFixture.h"
#include "ui/CollapsePanel.h"

using namespace tagmora;

class StepPanelsTest : public QObject, test::WindowFixture {
  Q_OBJECT

 private slots:
  void init() {
    CreateWindow();
    QVERIFY(Shown());
  }
  void cleanup() { DestroyWindow(); }

  void panelsShowTheirLastControl() {
    for (const char* name :
         {"CollapsePanelAutocomplete", "CollapsePanelStringFormat", "CollapsePanelSearchReplace"}) {
      auto* panel = Find<TCollapsePanel>(name);
      QTest::mouseClick(panel->Header(), Qt::LeftButton);
      QTRY_VERIFY(!panel->Animating());
      // The controls get all the room they ask for, none is squeezed.
      QVERIFY2(panel->Body()->layout()->sizeHint().height() <= panel->Body()->height(), name);
    }
  }

  void contextMenuOffersRowCommandsOnARow() {
    model->Controls()["SearchandReplace1"].Click();
    model->Controls()["CheckBoxSREnabled"].Click();
    auto* list = Find<QTableView>("ListViewSR");
    auto* menu = Find<QMenu>("PopupMenuSR");
    auto* edit = Find<QAction>("Edit1");
    const auto openMenu = [&](const QPoint& at) {
      emit list->customContextMenuRequested(at);
      QTRY_VERIFY(menu->isVisible());
      menu->hide();
    };
    openMenu(QPoint(1, 1));
    QVERIFY(!edit->isEnabled());
    const QPoint row = list->visualRect(list->model()->index(2, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    openMenu(row);
    QVERIFY(edit->isEnabled());
    QCOMPARE(model->Controls()["ListViewSR"].Index(), 2);
  }
};

TAGMORA_UI_TEST(StepPanelsTest);
#include "StepPanelsTest.moc"
