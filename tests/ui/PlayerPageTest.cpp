#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include <memory>

#include "UiTestMain.h"
#include "app/MainWindowModel.h"
#include "player/Player.h"
#include "player/PlayerFakes.h"
#include "player/SoundOptions.h"
#include "playlist/Playlist.h"
#include "ui/MainWindow.h"
#include "ui/OptionsDialog.h"
#include "ui/QtPoster.h"

using namespace tagmora;

class PlayerPageTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<QtPoster> poster;
  std::unique_ptr<test::FakeUser> user;
  std::unique_ptr<MainWindowModel> model;
  std::unique_ptr<test::FakeMedia> media;
  std::unique_ptr<test::FakeMixer> mixer;
  std::unique_ptr<SoundOptions> sound;
  std::unique_ptr<Player> player;
  std::unique_ptr<MainWindow> window;

  template <typename T>
  T* Find(const char* name) {
    return test::FindWidget<T>(window.get(), name);
  }
  // Turns the wheel a notch up over a widget, as the user does: an event
  // the widget ignores goes on to its parents.
  static void WheelUp(QWidget* over) {
    const QPointF at(over->width() / 2.0, over->height() / 2.0);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    // Sent as the window system would; sendEvent() would stop it at the
    // first widget.
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    qApp->notify(over, &wheel);
  }

 private slots:
  void init() {
    dir = std::make_unique<QTemporaryDir>();
    poster = std::make_unique<QtPoster>();
    user = std::make_unique<test::FakeUser>();
    const std::string folder = dir->path().toStdString();
    model = std::make_unique<MainWindowModel>(*user, *poster, folder, folder);
    media = std::make_unique<test::FakeMedia>();
    mixer = std::make_unique<test::FakeMixer>();
    mixer->destinations = test::SampleLines();
    sound = std::make_unique<SoundOptions>(model->OptionsControls(), *mixer);
    player = std::make_unique<Player>(*model, *media, *sound);
    model->SetPlayer(player.get());
    window = std::make_unique<MainWindow>(*model);
    window->AttachPlayer(*player, *sound);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY(model->Started());
    model->Controls()["PageControl1"].SetIndex(kPlayerPage);
  }

  void cleanup() {
    window.reset();
    player.reset();
    sound.reset();
    mixer.reset();
    media.reset();
    model.reset();
    user.reset();
    poster.reset();
    dir.reset();
  }

  void playShowsTheTrackOnlyWithAPlaylist() {
    auto* play = Find<QWidget>("Image_Play");
    auto* track = Find<QLabel>("LabelTrack");
    QVERIFY(play && track);
    QCOMPARE(play->geometry(), QRect(78, 162, 50, 50));
    QTest::mouseClick(play, Qt::LeftButton, {}, QPoint(25, 25));
    QVERIFY(media->opened.empty());
    QCOMPARE(track->text(), QStringLiteral("No Track"));

    model->PlayList().AppendAll({"/music/Northern Lights/01 - Opening.mp3", "/music/b.mp3"});
    QTest::mouseClick(play, Qt::LeftButton, {}, QPoint(25, 25));
    QCOMPARE(track->text(), QStringLiteral("    1. 01 - Opening.mp3 ^ 03:20"));
    QCOMPARE(track->toolTip(), QStringLiteral("/music/Northern Lights/01 - Opening.mp3"));
    QCOMPARE(Find<QLabel>("LabelTime")->text(), QStringLiteral("00:00"));
  }

  void theWheelTurnsTheVolumeOnlyOverThePlayerPage() {
    auto* knob = Find<QWidget>("Image_ScrollVolume");
    const int x = knob->x();
    WheelUp(Find<QWidget>("ImagePlayerBack"));
    QCOMPARE(knob->x(), x + 1);
    QVERIFY(Find<QLabel>("LabelVolumePercent")->isVisible());
    WheelUp(Find<QListView>("ListBoxPlayList"));
    QCOMPARE(knob->x(), x + 1);
  }

  void theSoundPageChoosesTheKnobsLine() {
    auto* line = window->Options()->findChild<QComboBox*>(QStringLiteral("ComboBoxVolume"));
    QVERIFY(line);
    QCOMPARE(line->count(), 3);
    emit line->activated(2);  // "Browser", as the user's choice arrives
    QCOMPARE(model->OptionsControls()["TrackBar"].Index(), 1000);
    WheelUp(Find<QWidget>("ImagePlayerBack"));
    QCOMPARE(mixer->writes.back().connection, 1);
  }
};

TAGMORA_UI_TEST(PlayerPageTest);
#include "PlayerPageTest.moc"
