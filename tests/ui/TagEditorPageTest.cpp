// The "ID3 Tags" page as a user drives it: a click on a playlist item, an
// edit, Save, and the file read back by tagmora-cli.

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <memory>

#include "WindowFixture.h"
#include "editing/TagAccess.h"
#include "playlist/Playlist.h"
#include "support/JsonReader.h"

using namespace tagmora;

class TagEditorPageTest : public QObject, test::WindowFixture {
  Q_OBJECT

  // A song with an ID3v2 tag, shown by a click on its playlist item.
  std::string ClickSong() {
    const std::string song = *dir / "Band - Song.mp3";
    test::MakeMp3(song);
    IDv2Tag v2;
    v2.Exists = true;
    v2.Title = "Old Title";
    if (WriteID3v2Tag(song, v2) != "OK") qWarning("cannot tag %s", song.c_str());
    model->PlayList().AppendAll(std::vector<std::string>{*dir / "other.mp3", song});
    auto* list = Find<QListView>("ListBoxPlayList");
    if (!QTest::qWaitFor([list] { return list->model()->rowCount() == 2; })) return {};
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    Find<QTabWidget>("PageControl1")->setCurrentIndex(kId3Page);
    return song;
  }

 private slots:
  void init() {
    CreateWindow();
    QVERIFY(Shown());
  }
  void cleanup() { DestroyWindow(); }

  void clickEditSaveAndReadBack() {
    const std::string song = ClickSong();
    QVERIFY(!song.empty());
    QCOMPARE(Find<QLineEdit>("EditPath")->text().toStdString(), song);
    QCOMPARE(Find<QLineEdit>("EditPath2")->text().toStdString(), song);
    QVERIFY(Find<QCheckBox>("CheckHasTagv2")->isChecked());
    QVERIFY(!Find<QLineEdit>("EditTitlev1")->isEnabled());
    QCOMPARE(Find<QLineEdit>("EditTitlev1")->maxLength(), 30);
    QCOMPARE(Find<QLineEdit>("EditValidMPEG")->text(), QStringLiteral("Yes"));

    auto* title = Find<QLineEdit>("EditTitlev2");
    QCOMPARE(title->text(), QStringLiteral("Old Title"));
    title->selectAll();
    QTest::keyClicks(title, "New Title");
    auto* comment = Find<QPlainTextEdit>("MemoCommentv2");
    comment->setFocus();
    QTest::keyClicks(comment, "two");
    QTest::keyClick(comment, Qt::Key_Return);
    QTest::keyClicks(comment, "lines");
    QTest::mouseClick(Find<QPushButton>("ButtonSave"), Qt::LeftButton);
    QVERIFY(model->Errors().Entries().empty());

    auto info = test::RunCommand(test::ShellQuote(test::CliPath()) + " info " + test::ShellQuote(song));
    QCOMPARE(info.exitCode, 0);
    const test::Json read = test::ParseJson(info.output);
    QCOMPARE(read["id3v2"]["title"].string, std::string("New Title"));
    QCOMPARE(read["id3v2"]["comment"].string, std::string("two\nlines"));
    QCOMPARE(read["id3v1"]["exists"].boolean, false);
  }
};

TAGMORA_UI_TEST(TagEditorPageTest);
#include "TagEditorPageTest.moc"
