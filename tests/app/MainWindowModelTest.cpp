#include "app/MainWindowModel.h"

#include <set>

#include "app/Fakes.h"
#include "platform/Journal.h"
#include "playlist/AddFoldersModel.h"
#include "playlist/Playlist.h"
#include "support/TestSupport.h"
#include "tags/GenreNames.h"

namespace tagmora {
namespace {

using test::FakePoster;
using test::FakeUser;

class MainWindowModelTest : public ::testing::Test {
 protected:
  MainWindowModelTest() : model(user, poster, dir.Path(), dir.Path()) {}
  Control& Main(const std::string& name) { return model.Controls()[name]; }

  test::TempDir dir;
  FakeUser user;
  FakePoster poster;
  MainWindowModel model;
};

class RecordingPlayer : public PlayerCommands {
 public:
  void Play() override { calls += "play "; }
  void Pause() override { calls += "pause "; }
  void Stop() override { calls += "stop "; }
  void Next() override { calls += "next "; }
  void Previous() override { calls += "previous "; }
  bool TrackOpen() const override { return false; }
  std::string TrackFile() const override { return {}; }
  int64_t PositionMs() const override { return 0; }
  void Seek(int64_t) override {}
  std::string calls;
};

TEST_F(MainWindowModelTest, StartUpRunsOnceFromItsTimer) {
  EXPECT_FALSE(model.Started());
  poster.Advance(1);
  EXPECT_TRUE(model.Started());
  EXPECT_EQ(model.Errors().FlashErrorState(), -1);
  // A first run: first page, empty playlist, the table's defaults.
  EXPECT_EQ(Main("PageControl1").Index(), 0);
  EXPECT_EQ(model.PlayList().Count(), 0);
  EXPECT_TRUE(Main("FlashErrorsTabonerror1").Checked());
  EXPECT_EQ(model.AddFolders().RememberedFolder(), dir.Path() + "/");
  EXPECT_EQ(poster.PendingTimers(), 0u);
}

TEST_F(MainWindowModelTest, StartUpFinishesInterruptedWritesIntoTheErrorList) {
  // Two writes a crash stopped halfway; the second file changed since.
  for (const char* name : {"a.mp3", "b.mp3"}) {
    test::WriteFile(dir / name, std::string(4000, 'o'));
    test::StopWriteAt(WriteStage::HalfWritten, [&] {
      InputFile file;
      file.OpenForUpdate(dir / name);
      ChangeInPlace(file, 0, std::string(100, 'n'), -1);
    });
  }
  test::WriteFile(dir / "b.mp3", "changed");
  poster.Advance(1);
  EXPECT_EQ(test::ReadFile(dir / "a.mp3"), std::string(4000, 'o'));
  std::set<std::string> entries;
  for (const ErrorEntry& entry : model.Errors().Entries()) entries.insert(entry.message + entry.path);
  EXPECT_EQ(entries, (std::set<std::string>{
                         "Interrupted tag write undone: " + dir / "a.mp3",
                         "Interrupted tag write not undone, the file changed since: " + dir / "b.mp3"}));
  EXPECT_TRUE(user.boxes.empty());
}

TEST_F(MainWindowModelTest, ClosingStopsEveryJobAndSavesOnce) {
  poster.Advance(1);
  model.Close();
  for (int flag = 0; flag < MainWindowModel::kStopFlagCount; ++flag)
    EXPECT_EQ(model.Stop(MainWindowModel::StopFlag(flag)).load(), -1);
  EXPECT_EQ(test::ReadFile(dir / "playlist.m3u"), "#EXTM3U\r\n");
  EXPECT_NE(test::ReadFile(dir / "settings.ini"), "");
  test::WriteFile(dir / "playlist.m3u", "kept");
  model.Close();
  EXPECT_EQ(test::ReadFile(dir / "playlist.m3u"), "kept");
}

TEST_F(MainWindowModelTest, AClosingBeforeStartUpLeavesTheUsersFilesAlone) {
  test::WriteFile(dir / "settings.ini", "[Form1]\nActivePage=2\n");
  test::WriteFile(dir / "playlist.m3u", "#EXTM3U\r\n/m/a.mp3\r\n");
  int started = 0;
  model.SetStartedHandler([&] { ++started; });
  model.Close();
  EXPECT_EQ(test::ReadFile(dir / "settings.ini"), "[Form1]\nActivePage=2\n");
  EXPECT_EQ(test::ReadFile(dir / "playlist.m3u"), "#EXTM3U\r\n/m/a.mp3\r\n");
  EXPECT_EQ(model.Stop(MainWindowModel::CancelUpdate).load(), -1);
  poster.Advance(1);
  EXPECT_EQ(started, 1);
  EXPECT_EQ(Main("PageControl1").Index(), 2);
}

TEST_F(MainWindowModelTest, LayoutFollowsTheRules) {
  const MainLayout& layout = model.Layout();
  model.Resize(1000, 700);
  EXPECT_EQ(layout.playlistGroup, (Rect{0, 0, 996, 406}));
  EXPECT_EQ(layout.pageControl, (Rect{0, 406, 996, 294}));
  // Narrower than the page control: the playlist keeps its last width,
  // the page control its minimum.
  model.Resize(600, 400);
  EXPECT_EQ(layout.playlistGroup, (Rect{0, 0, 996, 200}));
  EXPECT_EQ(layout.pageControl, (Rect{0, 200, 790, 294}));
  model.Resize(795, 600);  // wider than the page control again
  EXPECT_EQ(layout.playlistGroup.width, 791);
  EXPECT_EQ(layout.pageControl.width, 791);
}

TEST_F(MainWindowModelTest, StartUpGivesTheClientThePageControlsWidth) {
  model.Resize(1000, 700);
  poster.Advance(1);
  EXPECT_EQ(model.Layout().clientWidth, 996);
  EXPECT_EQ(model.Layout().pageControl.width, 992);
}

TEST_F(MainWindowModelTest, PlayingTheFocusedItemShowsThePlayerPageWhenAsked) {
  RecordingPlayer player;
  model.SetPlayer(&player);
  model.PlayFocused();
  EXPECT_EQ(player.calls, "play ");
  EXPECT_EQ(Main("PageControl1").Index(), 0);
  model.OptionsControls()["CheckBoxShowPlayer"].Click();
  model.PlayFocused();
  EXPECT_EQ(Main("PageControl1").Index(), kPlayerPage);
  for (const char* item : {"Preview1", "Pause1", "Stop1", "Next1"}) Main(item).Click();
  EXPECT_EQ(player.calls, "play play previous pause stop next ");
  // Without a player the commands do nothing.
  model.SetPlayer(nullptr);
  Main("Play1").Click();
  model.PlayFocused();
}

TEST_F(MainWindowModelTest, ShellItemsHandTheirTargetToTheShell) {
  Main("Whatsnew1").Click();
  Main("Forum1").Click();
  Main("Checkforupdates1").Click();
  EXPECT_EQ(user.opened, (std::vector<std::string>{dir / "history.txt", "https://tagmora.org/forum",
                                                   "https://tagmora.org"}));
  int shown = 0;
  model.SetShowAboutHandler([&] { ++shown; });
  model.SetShowOptionsHandler([&] { shown += 10; });
  model.SetShowAddFoldersHandler([&] { shown += 100; });
  Main("About1").Click();
  Main("Options1").Click();
  Main("Folder1").Click();
  Main("AddFolder1").Click();
  EXPECT_EQ(shown, 211);
}

TEST_F(MainWindowModelTest, GenreListsStartWithAnEmptyEntry) {
  for (const char* name : {"ComboGenrev1", "ComboGenrev2", "ComboGenreAll"}) {
    std::vector<std::string> items = Main(name).Items();
    ASSERT_EQ(items.size(), size_t(kGenreCount + 1)) << name;
    EXPECT_EQ(items[0], "");
    EXPECT_EQ(items[1], "Blues");
    EXPECT_EQ(items[kGenreCount], GenreName(kGenreCount - 1));
  }
}

}  // namespace
}  // namespace tagmora
