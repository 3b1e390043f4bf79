#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include <memory>
#include <thread>

#include "UiTestMain.h"
#include "app/Control.h"
#include "ui/ControlBinder.h"
#include "ui/Pictures.h"
#include "ui/QtPoster.h"

using namespace tagmora;

namespace {

// A small form of one widget per kind, named after its control.
struct Form {
  QWidget window;
  QPushButton* button;
  QCheckBox* check;
  QRadioButton* radioX;
  QRadioButton* radioY;
  QComboBox* combo;
  QLineEdit* edit;
  QLabel* label;
  QGroupBox* group;
  QTabWidget* pages;
  QAction* item;

  Form() {
    auto* layout = new QVBoxLayout(&window);
    const auto add = [&](auto* widget, const char* name) {
      widget->setObjectName(QString::fromLatin1(name));
      layout->addWidget(widget);
      return widget;
    };
    button = add(new QPushButton(QStringLiteral("designed"), &window), "ButtonGo");
    check = add(new QCheckBox(&window), "CheckBoxA");
    radioX = add(new QRadioButton(&window), "RadioX");
    radioY = add(new QRadioButton(&window), "RadioY");
    combo = add(new QComboBox(&window), "ComboBoxC");
    edit = add(new QLineEdit(&window), "EditE");
    label = add(new QLabel(&window), "LabelL");
    group = add(new QGroupBox(&window), "GroupBoxG");
    pages = add(new QTabWidget(&window), "PageControl1");
    for (const char* name : {"TabSheetOne", "TabSheetTwo"}) {
      auto* page = new QWidget;
      page->setObjectName(QString::fromLatin1(name));
      pages->addTab(page, QString());
    }
    item = new QAction(&window);
    item->setObjectName(QStringLiteral("Item1"));
    item->setCheckable(true);
    window.addAction(item);
  }
};

}  // namespace

class ControlBinderTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QtPoster> poster;
  std::unique_ptr<ControlSet> set;
  std::unique_ptr<Form> form;
  std::string ran;

 private slots:
  void init() {
    poster = std::make_unique<QtPoster>();
    set = std::make_unique<ControlSet>(*poster);
    ran.clear();
    set->Add("ButtonGo", ControlKind::Button).OnClick([this] { ran += "go "; });
    Control& check = set->Add("CheckBoxA", ControlKind::CheckBox, "Replace ID3v1");
    check.OnClick([this] { ran += "check "; });
    set->Add("RadioX", ControlKind::RadioButton, "X", "g").SetChecked(true);
    set->Add("RadioY", ControlKind::RadioButton, "Y", "g").OnClick([this] { ran += "y "; });
    Control& combo = set->Add("ComboBoxC", ControlKind::ComboBox);
    combo.SetItems({"none", "Upper", "Lower"});
    combo.SetIndex(1);
    set->Add("EditE", ControlKind::Edit).SetText("%artist%");
    set->Add("LabelL", ControlKind::Label, "0 %");
    set->Add("GroupBoxG", ControlKind::Group, "  Options  ").SetEnabled(false);
    set->Add("PageControl1", ControlKind::PageControl).SetIndex(1);
    set->Add("TabSheetOne", ControlKind::TabSheet, "First").SetImage(0);
    set->Add("TabSheetTwo", ControlKind::TabSheet, "Second").SetImage(5);
    // A check item whose command refuses to change anything.
    set->Add("Item1", ControlKind::MenuItem, "Beep on error").OnClick([this] { ran += "item "; });
    set->Add("NotBuiltYet", ControlKind::Button, "Later");
    form = std::make_unique<Form>();
  }

  void cleanup() {
    form.reset();
    set.reset();
    poster.reset();
  }

  void showsTheModelWhenBound() {
    ControlBinder binder(*set, &form->window);
    QCOMPARE(form->button->text(), QStringLiteral("designed"));  // no caption in the model
    QCOMPARE(form->check->text(), QStringLiteral("Replace ID3v1"));
    QVERIFY(form->radioX->isChecked() && !form->radioY->isChecked());
    QCOMPARE(form->combo->count(), 3);
    QCOMPARE(form->combo->currentIndex(), 1);
    QCOMPARE(form->edit->text(), QStringLiteral("%artist%"));
    QCOMPARE(form->label->text(), QStringLiteral("0 %"));
    QCOMPARE(form->group->title(), QStringLiteral("  Options  "));
    QVERIFY(!form->group->isEnabled());
    QCOMPARE(form->pages->currentIndex(), 1);
    QCOMPARE(form->pages->tabText(0), QStringLiteral("First"));
    QCOMPARE(form->pages->tabIcon(1).pixmap(16).toImage(), PagePicture(5).pixmap(16).toImage());
    QCOMPARE(form->item->text(), QStringLiteral("Beep on error"));
    QCOMPARE(binder.Unbound(), (std::vector<std::string>{"NotBuiltYet"}));
    QCOMPARE(binder.Bound("EditE"), static_cast<QObject*>(form->edit));
  }

  void followsChangesMadeOnAWorkerThread() {
    ControlBinder binder(*set, &form->window);
    std::thread worker([this] {
      (*set)["LabelL"].SetCaption("42 %");
      (*set)["ButtonGo"].SetEnabled(false);
      (*set)["TabSheetTwo"].SetImage(6);
      (*set)["GroupBoxG"].SetVisible(false);
    });
    worker.join();
    QTRY_COMPARE(form->label->text(), QStringLiteral("42 %"));
    QVERIFY(!form->button->isEnabled());
    QVERIFY(form->group->isHidden());
    QCOMPARE(form->pages->tabIcon(1).pixmap(16).toImage(), PagePicture(6).pixmap(16).toImage());
  }

  void sendsTheUsersActionsToTheModel() {
    form->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form->window));
    ControlBinder binder(*set, &form->window);

    QTest::mouseClick(form->button, Qt::LeftButton);
    form->check->click();
    QVERIFY((*set)["CheckBoxA"].Checked());
    form->radioY->click();
    QVERIFY((*set)["RadioY"].Checked());
    QVERIFY(!(*set)["RadioX"].Checked());
    QVERIFY(!form->radioX->isChecked());
    QCOMPARE(ran, std::string("go check y "));

    form->combo->setFocus();
    QTest::keyClick(form->combo, Qt::Key_Down);
    QCOMPARE((*set)["ComboBoxC"].Index(), 2);

    form->edit->clear();
    QTest::keyClicks(form->edit, "%title%");
    QCOMPARE((*set)["EditE"].Text(), std::string("%title%"));

    QTest::mouseClick(form->pages->tabBar(), Qt::LeftButton, {},
                      form->pages->tabBar()->tabRect(0).center());
    QCOMPARE((*set)["PageControl1"].Index(), 0);
  }

  void aMenuItemShowsTheModelsCheckMarkAfterItsCommand() {
    ControlBinder binder(*set, &form->window);
    QVERIFY(!form->item->isChecked());
    form->item->trigger();  // Qt would tick it; the command did not
    QCOMPARE(ran, std::string("item "));
    QVERIFY(!form->item->isChecked());
    (*set)["Item1"].SetChecked(true);
    QVERIFY(form->item->isChecked());
  }

  void modelChangesDoNotComeBackAsCommands() {
    ControlBinder binder(*set, &form->window);
    (*set)["CheckBoxA"].SetChecked(true);  // runs the command once, as a load would
    (*set)["PageControl1"].SetIndex(0);
    (*set)["EditE"].SetText("x");
    QCOMPARE(form->check->isChecked(), true);
    QCOMPARE(form->pages->currentIndex(), 0);
    QCOMPARE(form->edit->text(), QStringLiteral("x"));
    QCOMPARE(ran, std::string("check "));
  }

  void stopsWatchingWhenGone() {
    auto binder = std::make_unique<ControlBinder>(*set, &form->window);
    binder.reset();
    (*set)["LabelL"].SetCaption("after");
    QCOMPARE(form->label->text(), QStringLiteral("0 %"));
  }
};

TAGMORA_UI_TEST(ControlBinderTest);
#include "ControlBinderTest.moc"
