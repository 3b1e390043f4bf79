// The rule editor and the rule list as a user drives them: keys in the
// list open the editor, its checks and question keep it open, "New"
// appends and "Save" keeps the rule's place.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

#include "UiTestMain.h"
#include "app/Fakes.h"
#include "jobs/MultiTaggerModel.h"
#include "jobs/SearchReplaceList.h"
#include "support/TestSupport.h"
#include "ui/FormSearchAndReplace.h"
#include "ui/QtPoster.h"
#include "ui/RuleListView.h"

using namespace tagmora;

class FormSearchAndReplaceTest : public QObject {
  Q_OBJECT

  test::TempDir dir;
  QtPoster poster;
  test::FakeUser user;
  std::unique_ptr<MainWindowModel> window;
  std::unique_ptr<MultiTaggerModel> page;
  std::unique_ptr<TFormSearchAndReplace> dialog;
  std::unique_ptr<RuleListView> view;

  template <typename T>
  T* Find(const char* name) {
    return test::FindWidget<T>(dialog.get(), name);
  }
  // Runs steps inside the editor's modal loop, which key opens; the
  // dialog is closed afterwards if the steps left it open.
  void InEditor(Qt::Key key, std::function<void()> steps) {
    QTimer::singleShot(0, dialog.get(), [this, steps] {
      steps();
      if (dialog->isVisible()) dialog->reject();
    });
    QTest::keyClick(view.get(), key);
  }
  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const MessageBox& box : user.boxes) texts.push_back(box.caption + ": " + box.text);
    return texts;
  }

 private slots:
  void init() {
    window = std::make_unique<MainWindowModel>(user, poster, dir.Path(), dir.Path());
    page = std::make_unique<MultiTaggerModel>(*window);
    dialog = std::make_unique<TFormSearchAndReplace>(page->SearchReplace().Editor());
    view = std::make_unique<RuleListView>(page->SearchReplace());
    page->SearchReplace().SetShowEditorHandler([this] { dialog->ShowModal(); });
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
  }
  void cleanup() {
    view.reset();
    dialog.reset();
    page.reset();
    window.reset();
    user.boxes.clear();
  }

  void newRuleIsCheckedThenAppended() {
    bool closedBySave = false;
    user.answers = {MessageAnswer::No};
    InEditor(Qt::Key_Insert, [&] {
      QCOMPARE(Find<QPushButton>("ButtonSave")->text(), QStringLiteral("New"));
      QVERIFY(Find<QCheckBox>("CheckBoxEnabled")->isChecked());
      auto* save = Find<QPushButton>("ButtonSave");
      QTest::mouseClick(save, Qt::LeftButton);
      QTest::keyClicks(Find<QLineEdit>("EditSearchFor"), "abc");
      QTest::mouseClick(save, Qt::LeftButton);
      QTest::mouseClick(Find<QCheckBox>("CheckBoxArtist"), Qt::LeftButton);
      QCOMPARE(Find<QLineEdit>("EditSearchIn")->text(), QStringLiteral("Artist "));
      QTest::mouseClick(save, Qt::LeftButton);  // answered No: stays open
      QVERIFY(dialog->isVisible());
      QTest::keyClicks(Find<QLineEdit>("EditReplaceWith"), "x");
      QTest::mouseClick(save, Qt::LeftButton);
      closedBySave = !dialog->isVisible();
    });
    QVERIFY(closedBySave);
    const std::string caption = "Search And Replace Item: ";
    QCOMPARE(BoxTexts(), (std::vector<std::string>{
                             caption + "SearchFor string is empty!",
                             caption + "Check at least one field!",
                             caption + "\"Replace with\" string is empty! \"Search For\" string "
                                       "will be cleared if found! Continue ?"}));
    QCOMPARE(user.boxes[0].icon, MessageIcon::Warning);
    QCOMPARE(user.boxes[2].buttons, MessageButtons::YesNoCancel);
    QCOMPARE(window->Rules(),
             (std::vector<SearchReplaceRule>{{true, {"abc", "x", "Artist "}}}));
    QCOMPARE(view->model()->rowCount(), 1);
  }

  void savedRuleKeepsItsPlace() {
    window->Rules() = {{true, {"a", "1", "Title"}}, {false, {"b", "2", "Album Comment"}},
                       {true, {"c", "3", "Title"}}};
    window->RulesChanged();
    const QRect middle = view->visualRect(view->model()->index(1, 2));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, middle.center());
    QCOMPARE(page->SearchReplace().Selected(), 1);
    InEditor(Qt::Key_Return, [&] {
      QCOMPARE(Find<QPushButton>("ButtonSave")->text(), QStringLiteral("Save"));
      QVERIFY(!Find<QCheckBox>("CheckBoxEnabled")->isChecked());
      QVERIFY(Find<QCheckBox>("CheckBoxComment")->isChecked());
      Find<QLineEdit>("EditSearchFor")->clear();
      QTest::keyClicks(Find<QLineEdit>("EditSearchFor"), "B2");
      QTest::mouseClick(Find<QPushButton>("ButtonSave"), Qt::LeftButton);
    });
    QCOMPARE(window->Rules()[1], (SearchReplaceRule{false, {"B2", "2", "Album Comment "}}));
    QCOMPARE(window->Rules().size(), size_t(3));
    QCOMPARE(view->selectionModel()->currentIndex().row(), 1);
    QVERIFY(user.boxes.empty());
  }
};

TAGMORA_UI_TEST(FormSearchAndReplaceTest);
#include "FormSearchAndReplaceTest.moc"
