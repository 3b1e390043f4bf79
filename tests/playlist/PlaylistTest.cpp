#include "playlist/Playlist.h"

#include <atomic>
#include <chrono>
#include <sys/stat.h>
#include <thread>

#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "playlist/PlaylistCommands.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::FakePoster;
using test::FakeUser;

std::vector<bool> Flags(const Playlist& list) {
  std::vector<bool> flags;
  for (int i = 0; i < list.Count(); ++i) flags.push_back(list.IsSelected(i));
  return flags;
}

class PlaylistTest : public ::testing::Test {
 protected:
  FakePoster poster;
  Playlist list{poster};
};

TEST_F(PlaylistTest, RemoveSelectedKeepsTheOthersInOrderAndDuplicatesApart) {
  list.AppendAll({"0", "1", "2", "3", "4"});
  list.SetSelected(1, true);
  list.SetSelected(2, true);
  list.RemoveSelected();
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"0", "3", "4"}));
  EXPECT_EQ(list.SelectedCount(), 0);

  list.Clear();
  list.Append("/m/a.mp3");
  list.Append("/m/a.mp3");
  list.SetSelected(1, true);
  list.RemoveSelected();
  EXPECT_EQ(list.Items(), std::vector<std::string>{"/m/a.mp3"});
  list.Clear();
  list.RemoveSelected();  // an empty list: nothing happens
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(PlaylistTest, FocusStaysOnARealItemWhenItemsGo) {
  list.AppendAll({"a", "b", "c", "d"});
  list.SetFocus(3);
  list.SetSelected(0, true);
  list.SetSelected(3, true);
  list.RemoveSelected();  // the focused item went: the focus is on the last one
  EXPECT_EQ(list.Focus(), 1);
  list.SetFocus(1);
  list.Delete(0);
  EXPECT_EQ(list.Focus(), 0);
  EXPECT_EQ(list.Item(0), "c");
  list.Delete(0);
  EXPECT_EQ(list.Focus(), -1);
  list.SetFocus(5);  // past the end: refused
  EXPECT_EQ(list.Focus(), -1);
}

TEST_F(PlaylistTest, SelectAllThenInvertLeavesNothingSelectedAndTheFocusWhereItWas) {
  list.AppendAll({"a", "b", "c"});
  list.SetFocus(1);
  list.SetSelected(2, true);
  list.SelectAll();
  EXPECT_EQ(Flags(list), (std::vector<bool>{true, true, true}));
  list.InvertSelection();
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_EQ(list.Focus(), 1);
  list.SetSelected(0, true);
  list.InvertSelection();
  EXPECT_EQ(Flags(list), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(list.SelectedRanges(), (std::vector<std::pair<int, int>>{{1, 2}}));
  list.SelectNone();
  EXPECT_TRUE(list.SelectedRanges().empty());
  EXPECT_EQ(list.Focus(), 1);
}

TEST_F(PlaylistTest, SortIgnoresCaseAndKeepsFocusAndSelectionAtThePosition) {
  list.AppendAll({"D:/b.mp3", "c:/A.mp3", "Deleted /m/x.mp3", "C:/B.mp3", "a/z.mp3"});
  list.SetFocus(2);
  list.SetSelected(0, true);
  list.SetSelected(4, true);
  list.Sort();
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"a/z.mp3", "c:/A.mp3", "C:/B.mp3", "D:/b.mp3",
                                                    "Deleted /m/x.mp3"}));
  EXPECT_EQ(list.Focus(), 2);
  EXPECT_EQ(Flags(list), (std::vector<bool>{false, false, true, false, false}));
  list.SetFocus(-1);
  list.Sort();
  EXPECT_EQ(list.SelectedCount(), 0);
}

TEST_F(PlaylistTest, ReplacingATextKeepsPositionAndFocusAndClearsItsFlag) {
  list.AppendAll({"a", "b"});
  list.SetFocus(1);
  list.SetSelected(1, true);
  list.SetItem(1, "Deleted b");
  EXPECT_EQ(list.Item(1), "Deleted b");
  EXPECT_FALSE(list.IsSelected(1));
  EXPECT_EQ(list.Focus(), 1);
  std::string text = "unchanged";
  EXPECT_FALSE(list.TryItem(2, text));
  EXPECT_EQ(text, "unchanged");
  EXPECT_EQ(list.Item(-1), "");
}

TEST_F(PlaylistTest, WatchersHearChangesOnTheUserInterfaceThreadInOrder) {
  std::vector<PlaylistChange::Kind> heard;
  list.Watch([&](const PlaylistChange& change) { heard.push_back(change.kind); });
  list.AppendAll({"a", "b"});
  list.SetFocus(0);
  list.Sort();
  std::thread worker([&] { list.SetSelected(1, true); });
  worker.join();
  using K = PlaylistChange::Kind;
  EXPECT_EQ(heard, (std::vector<K>{K::Inserted, K::Focus, K::Reset}));
  poster.RunPosted();
  EXPECT_EQ(heard, (std::vector<K>{K::Inserted, K::Focus, K::Reset, K::Changed}));
}

TEST_F(PlaylistTest, AReaderNeverGoesPastTheEndWhileTheListChanges) {
  std::vector<std::string> items(2000, "/m/file.mp3");
  list.AppendAll(items);
  std::atomic<bool> done{false};
  std::atomic<long> read{0};
  // A job that took the count at its start and reads by position.
  std::thread job([&] {
    const int count = 2000;
    while (!done.load()) {
      for (int i = 0; i < count; ++i) {
        std::string text;
        if (list.TryItem(i, text)) {
          EXPECT_EQ(text, "/m/file.mp3");
          list.SetSelected(i, true);
          ++read;
        }
      }
    }
  });
  for (int round = 0; round < 20; ++round) {
    list.SelectAll();
    list.RemoveSelected();
    list.AppendAll(items);
    list.Sort();
  }
  done.store(true);
  job.join();
  EXPECT_GT(read.load(), 0);
  poster.RunPosted();
}

class PlaylistCommandsTest : public ::testing::Test {
 protected:
  PlaylistCommandsTest() : model(user, poster, dir.Path(), dir.Path()) {}
  Control& Main(const char* name) { return model.Controls()[name]; }
  Playlist& List() { return model.PlayList(); }
  // Serves the worker's posts until done or a few seconds have passed.
  template <typename Done>
  void WaitFor(Done done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      poster.RunPosted();
    }
  }

  test::TempDir dir;
  FakeUser user;
  FakePoster poster;
  MainWindowModel model;
};

TEST_F(PlaylistCommandsTest, AddFilesAppendsInTheDialogsOrder) {
  user.openAnswers.push_back({"/m/b.mp3", "/m/a.mp3", "/m/b.mp3"});
  Main("File1").Click();
  EXPECT_EQ(List().Items(), (std::vector<std::string>{"/m/b.mp3", "/m/a.mp3", "/m/b.mp3"}));
  ASSERT_EQ(user.dialogs.size(), 1u);
  EXPECT_EQ(user.dialogs[0].title, "Open Mp3 File");
  EXPECT_EQ(user.dialogs[0].filterName, "Mp3 Files");
  EXPECT_EQ(user.dialogs[0].filterPattern, "*.mp3");
  EXPECT_TRUE(user.dialogs[0].multiSelect);
  Main("AddFile1").Click();  // cancelled
  EXPECT_EQ(List().Count(), 3);
}

TEST_F(PlaylistCommandsTest, ButtonsAndMenusRunTheSameCommands) {
  List().AppendAll({"b", "a", "c"});
  Main("Selectall1").Click();
  EXPECT_EQ(List().SelectedCount(), 3);
  Main("SelectNone2").Click();
  EXPECT_EQ(List().SelectedCount(), 0);
  Main("Invertselection1").Click();
  Main("Selected1").Click();
  EXPECT_EQ(List().Count(), 0);
  List().AppendAll({"b", "a"});
  Main("Sortbypathandfilename2").Click();
  EXPECT_EQ(List().Item(0), "a");
  Main("ClearList1").Click();
  EXPECT_EQ(List().Count(), 0);
}

TEST_F(PlaylistCommandsTest, ListCommandsReportTheirFailures) {
  Main("SaveList1").Click();
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_EQ(user.boxes[0].text, "No files in the playlist! Add some!");
  EXPECT_TRUE(user.dialogs.empty());

  List().AppendAll({"/m/a.mp3", "/m/b.mp3"});
  test::WriteFile(dir / "bad.m3u", std::string("ID3\x03\0\0", 6));
  user.openAnswers.push_back({dir / "bad.m3u"});
  Main("AppendList1").Click();
  EXPECT_EQ(user.boxes.back().text, "Load List Error: " + dir / "bad.m3u" +
                                        " is not a valid M3U file!");
  EXPECT_EQ(List().Count(), 2);
  EXPECT_EQ(model.Errors().Entry(1).message, user.boxes.back().text);

  user.saveAnswers.push_back(dir / "missing/list.m3u");
  Main("SaveList1").Click();
  EXPECT_EQ(user.boxes.back().text,
            "Save List Error: File not found. No such file or directory.File: " +
                dir / "missing/list.m3u");
  user.saveAnswers.push_back("");
  Main("SaveList1").Click();
  EXPECT_EQ(user.boxes.back().text, "File name must be valid!");
}

TEST_F(PlaylistCommandsTest, SaveThenLoadAndAppend) {
  List().AppendAll({"/m/a.mp3", "/m/b.mp3"});
  user.saveAnswers.push_back(dir / "mine");  // typed without extension
  Main("SaveList1").Click();
  EXPECT_EQ(user.dialogs.back().title, "Save list");
  EXPECT_EQ(user.dialogs.back().defaultSuffix, "m3u");
  EXPECT_EQ(test::ReadFile(dir / "mine.m3u"), "#EXTM3U\r\n/m/a.mp3\r\n/m/b.mp3\r\n");

  user.openAnswers.push_back({dir / "mine.m3u"});
  Main("AppendList1").Click();
  EXPECT_EQ(List().Count(), 4);
  user.openAnswers.push_back({dir / "mine.m3u"});
  Main("Load1").Click();
  EXPECT_EQ(List().Count(), 2);
  EXPECT_EQ(user.dialogs.back().title, "Load list");
  EXPECT_EQ(user.dialogs.back().filterName, "M3U Files(*.m3u *.m3u8)");
  EXPECT_TRUE(user.boxes.empty());
}

TEST_F(PlaylistCommandsTest, DroppedFilesAndFoldersAreAddedInOrder) {
  ::mkdir((dir / "M").c_str(), 0755);
  ::mkdir((dir / "M/sub").c_str(), 0755);
  for (const char* file : {"M/b.mp3", "M/A.MP3", "M/.h.mp3", "M/sub/c.mp3", "one.Mp3", ".two.mp3",
                           "notes.txt"})
    test::WriteFile(dir / file, "");
  model.PlaylistActions().AddDropped(
      {dir / "one.Mp3", dir / "notes.txt", dir / "M", dir / ".two.mp3", dir / "gone.mp3"});
  WaitFor([&] { return List().Count() > 0; });
  // A hidden file dropped by name is the user's choice; in a folder it is not.
  EXPECT_EQ(List().Items(),
            (std::vector<std::string>{dir / "one.Mp3", dir / "M/A.MP3", dir / "M/b.mp3",
                                      dir / "M/sub/c.mp3", dir / ".two.mp3"}));

  // Stopped drops add nothing later; the next drop starts afresh.
  model.PlaylistActions().AddDropped({dir / "M"});
  model.PlaylistActions().StopDrops();
  poster.RunPosted();

  List().Clear();
  model.PlaylistActions().AddDropped({dir / "M/sub", dir / "one.Mp3"});
  model.PlaylistActions().AddDropped({dir / "notes.txt"});
  WaitFor([&] { return model.Errors().Count() > 0; });
  EXPECT_EQ(List().Items(), (std::vector<std::string>{dir / "M/sub/c.mp3", dir / "one.Mp3"}));
  ASSERT_EQ(model.Errors().Count(), 1u);
  EXPECT_EQ(model.Errors().Entry(0).message, "0 files added to playlist");
}

TEST_F(PlaylistCommandsTest, OpenedPathsFollowTheSavedListAndTheFirstTakesTheFocus) {
  ::mkdir((dir / "M").c_str(), 0755);
  for (const char* file : {"M/b.mp3", "M/a.mp3", "notes.txt"}) test::WriteFile(dir / file, "");
  test::WriteFile(dir / "playlist.m3u", "#EXTM3U\r\n/saved.mp3\r\n");
  test::WriteFile(dir / "other.m3u8", "#EXTINF:1,x\nsub/c.mp3\n");
  test::WriteFile(dir / "bad.m3u", std::string("ID3\x03\0\0", 6));
  int shown = 0;
  model.SetPlaylistClickHandler([&] { ++shown; });
  model.OpenPaths(
      {dir / "M", dir / "other.m3u8", dir / "notes.txt", dir / "gone.mp3", dir / "bad.m3u"});
  poster.Advance(1);  // the start-up loads the saved list, which empties the list first
  WaitFor([&] { return List().Count() > 1; });
  EXPECT_EQ(List().Items(), (std::vector<std::string>{"/saved.mp3", dir / "M/a.mp3",
                                                      dir / "M/b.mp3", dir / "sub/c.mp3"}));
  EXPECT_EQ(List().Focus(), 1);
  EXPECT_EQ(shown, 1);
  using Errors = std::vector<std::pair<std::string, std::string>>;
  Errors errors;
  for (const ErrorEntry& entry : model.Errors().Entries())
    errors.emplace_back(entry.message, entry.path);
  const std::string refused = "Load List Error: " + dir / "bad.m3u" + " is not a valid M3U file!";
  EXPECT_EQ(errors, (Errors{{"Not an MP3 file, folder or playlist", dir / "notes.txt"},
                            {"File or folder not found", dir / "gone.mp3"},
                            {refused, ""}}));
}

}  // namespace
}  // namespace tagmora
