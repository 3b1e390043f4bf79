#include "playlist/FolderWalk.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "playlist/AddFoldersModel.h"
#include "playlist/Playlist.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

// M/        a.mp3  B.MP3  .hidden.mp3  x.txt  x.mp3.bak
// M/A/      X.Mp3
// M/A/X/    x1.mp3
// M/b/      (empty)
// M/B2/     z.mp3
// M/.h/     h.mp3
class FolderWalkTest : public ::testing::Test {
 protected:
  FolderWalkTest() {
    for (const char* folder : {"M", "M/A", "M/A/X", "M/b", "M/B2", "M/.h"})
      ::mkdir((dir / folder).c_str(), 0755);
    for (const char* file : {"M/a.mp3", "M/B.MP3", "M/.hidden.mp3", "M/x.txt", "M/x.mp3.bak",
                             "M/A/X.Mp3", "M/A/X/x1.mp3", "M/B2/z.mp3", "M/.h/h.mp3"})
      test::WriteFile(dir / file, "");
    root = dir / "M";
  }

  test::TempDir dir;
  std::string root;
  std::atomic<bool> stop{false};
};

TEST_F(FolderWalkTest, CollectsFilesOfAFolderBeforeThoseOfItsSubfolders) {
  FolderFiles files = CollectFolder(root, true, stop);
  EXPECT_FALSE(files.stopped);
  EXPECT_EQ(files.paths,
            (std::vector<std::string>{root + "/a.mp3", root + "/B.MP3", root + "/.h/h.mp3",
                                      root + "/A/X.Mp3", root + "/A/X/x1.mp3",
                                      root + "/B2/z.mp3"}));
  EXPECT_EQ(CollectFolder(root, false, stop).paths,
            (std::vector<std::string>{root + "/a.mp3", root + "/B.MP3"}));
  EXPECT_TRUE(CollectFolder(dir / "missing", true, stop).paths.empty());
  FolderCount count = CountFolder(root, true, stop);
  EXPECT_EQ(count.files, 6u);
  EXPECT_EQ(count.folders, 6u);
  EXPECT_EQ(JoinPath("/", "a.mp3"), "/a.mp3");
}

// Depth first, each folder before its own, hidden folders too; a link back
// up the tree is not followed round.
TEST_F(FolderWalkTest, WalksDepthFirstSurvivesALinkLoopAndStopsWhenAsked) {
  ASSERT_EQ(::symlink("..", (dir / "M/A/X/up").c_str()), 0);
  std::vector<std::string> folders;
  EXPECT_TRUE(WalkFolders(root, folders, stop));
  EXPECT_EQ(folders, (std::vector<std::string>{root + "/.h", root + "/A", root + "/A/X",
                                               root + "/b", root + "/B2"}));
  stop.store(true);
  folders.clear();
  EXPECT_FALSE(WalkFolders(root, folders, stop));
  EXPECT_TRUE(CollectFolder(root, true, stop).stopped);
  EXPECT_TRUE(CollectFolder(root, true, stop).paths.empty());
  EXPECT_TRUE(CountFolder(root, false, stop).stopped);
}

class AddFoldersTest : public FolderWalkTest {
 protected:
  AddFoldersTest() : model(user, poster, dir.Path(), dir.Path()), dialog(model.AddFolders()) {
    dialog.SetCloseHandler([this] { ++closed; });
    dialog.SetRememberedFolder(root);
    dialog.Show();
  }
  Control& Dialog(const char* name) { return dialog.Controls()[name]; }
  // Lets the worker end and its result arrive.
  void Finish() {
    dialog.WaitForWorker();
    poster.RunPosted();
  }

  test::FakeUser user;
  test::FakePoster poster;
  MainWindowModel model;
  AddFoldersModel& dialog;
  int closed = 0;
};

TEST_F(AddFoldersTest, OkAddsEveryFileAndRemembersTheFolder) {
  EXPECT_EQ(dialog.SelectedFolder(), root);
  dialog.ChooseFolder(root + "/A");
  Dialog("ButtonOK").Click();
  EXPECT_FALSE(Dialog("ButtonOK").Enabled());
  EXPECT_FALSE(Dialog("ShellTreeView1").Enabled());
  Finish();
  EXPECT_EQ(model.PlayList().Items(),
            (std::vector<std::string>{root + "/A/X.Mp3", root + "/A/X/x1.mp3"}));
  EXPECT_EQ(dialog.RememberedFolder(), root + "/A");
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(Dialog("ButtonOK").Enabled());
  EXPECT_TRUE(Dialog("ShellTreeView1").Enabled());

  // The same folder again gives every file twice.
  dialog.Show();
  Dialog("CheckBoxRecurse").Click();
  Dialog("ButtonOK").Click();
  Finish();
  EXPECT_EQ(model.PlayList().Count(), 3);
  EXPECT_EQ(model.Errors().Count(), 0u);
}

TEST_F(AddFoldersTest, NothingAddedIsRecordedWithoutABox) {
  dialog.ChooseFolder(root + "/b");
  Dialog("ButtonOK").Click();
  Finish();
  EXPECT_EQ(model.PlayList().Count(), 0);
  ASSERT_EQ(model.Errors().Count(), 1u);
  EXPECT_EQ(model.Errors().Entry(0).message, "0 files added to playlist");
  EXPECT_EQ(model.Errors().Entry(0).path, "");
  EXPECT_TRUE(user.boxes.empty());
  EXPECT_EQ(closed, 1);
}

TEST_F(AddFoldersTest, CountShowsFilesAndFoldersAndAnotherFolderForgetsIt) {
  Control& count = Dialog("ButtonCountFiles");
  EXPECT_EQ(count.Caption(), "? Files ...");
  count.Click();
  EXPECT_EQ(count.Caption(), "Stop counting ...");
  Finish();
  EXPECT_EQ(count.Caption(), "6 files, 6 folders");
  dialog.ChooseFolder(root + "/A");
  EXPECT_EQ(count.Caption(), "? Files ...");
  Dialog("CheckBoxRecurse").Click();
  count.Click();
  Finish();
  EXPECT_EQ(count.Caption(), "1 files, 1 folders");
}

TEST_F(AddFoldersTest, StoppingACountOrCancellingAnAddShowsAndAddsNothing) {
  Control& count = Dialog("ButtonCountFiles");
  count.Click();
  count.Click();  // "Stop counting ..."
  EXPECT_EQ(count.Caption(), "? Files ...");
  EXPECT_TRUE(Dialog("ShellTreeView1").Enabled());
  Finish();
  EXPECT_EQ(count.Caption(), "? Files ...");

  Dialog("ButtonOK").Click();
  Dialog("ButtonCancel").Click();
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(Dialog("ButtonOK").Enabled());
  Finish();
  // Whether the walk ended before the cancel or not: closed once, nothing added.
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(model.PlayList().Count(), 0);
  ASSERT_EQ(model.Errors().Count(), 1u);
  EXPECT_EQ(model.Errors().Entry(0).message, "0 files added to playlist");
}

}  // namespace
}  // namespace tagmora
