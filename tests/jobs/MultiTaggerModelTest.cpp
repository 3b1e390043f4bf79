#include "jobs/MultiTaggerModel.h"

#include <thread>

#include "JobFixture.h"
#include "app/Settings.h"
#include "jobs/Templates.h"

namespace tagmora {
namespace {

using test::FakePoster;
using test::FakeUser;
using test::GatedJob;
using test::TempDir;

class MultiTaggerTest : public ::testing::Test {
 protected:
  MultiTaggerTest() : window(user, poster, dir.Path(), dir.Path()), page(window) {
    poster.Advance(1);  // the start-up timer
  }
  Control& C(const std::string& name) { return window.Controls()[name]; }
  // Serves the user-interface thread until the run has ended.
  void Drain(JobPanel& panel) {
    do {
      poster.Advance(50);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (panel.Running());
    poster.Advance(100);
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> captions;
    for (const MessageBox& box : user.boxes) captions.push_back(box.caption);
    return captions;
  }

  TempDir dir;
  FakeUser user;
  FakePoster poster;
  MainWindowModel window;
  MultiTaggerModel page;
};

TEST_F(MultiTaggerTest, ACompletedRunShowsItsSummaryAndSwitchesTheStepsOff) {
  std::string file = dir / "a.mp3";
  test::MakeMp3(file, 0.2);
  window.PlayList().Append(file);
  window.PlayList().Append(dir / "missing.mp3");
  window.PlayList().SetSelected(0, true);
  C("CheckBoxTitleAll").Click();
  C("CheckBoxSREnabled").SetChecked(true);
  EXPECT_TRUE(C("EditTitleAll").Enabled());
  C("EditTitleAll").SetText("New %title%");
  user.answers = {MessageAnswer::Yes};
  C("ButtonUpdateAllTags").Click();
  EXPECT_FALSE(C("GroupBoxMulti").Visible());
  EXPECT_TRUE(C("GroupUpdate").Visible());
  Drain(page.UpdatePanel());

  EXPECT_EQ(Captions(), (std::vector<std::string>{"Update ID3 Tag(s) ?", "Finish"}));
  EXPECT_EQ(user.boxes[1].icon, MessageIcon::Information);
  EXPECT_EQ(test::V1Of(file).Title, "New");
  EXPECT_EQ(window.PlayList().SelectedRanges(), (std::vector<std::pair<int, int>>{{1, 1}}));
  EXPECT_EQ(C("LabelSavePercent").Caption(), "100 %");
  EXPECT_EQ(C("LabelSaveFiles").Caption(), "File : 2 of 2");
  EXPECT_EQ(C("LabelUpdateErrors").Caption(), "1");
  EXPECT_EQ(C("ButtonStopUpdate").Caption(), "Finish");
  EXPECT_FALSE(C("ButtonPauseUpdate").Enabled());
  // "disable Settings …": the steps and the field boxes go off, the
  // templates stay.
  EXPECT_FALSE(C("CheckBoxTitleAll").Checked());
  EXPECT_FALSE(C("EditTitleAll").Enabled());
  EXPECT_FALSE(C("CheckBoxSREnabled").Checked());
  EXPECT_EQ(C("EditTitleAll").Text(), "New %title%");

  C("LabelShowUpdateErrors").Click();
  EXPECT_EQ(C("PageControl1").Index(), kErrorsPage);
  C("ButtonStopUpdate").Click();
  EXPECT_TRUE(C("GroupBoxMulti").Visible());
  EXPECT_FALSE(C("GroupUpdate").Visible());
  EXPECT_EQ(C("ButtonStopUpdate").Caption(), "Cancel");
}

TEST_F(MultiTaggerTest, ACancelledRunShowsNoSummaryAndKeepsTheSettings) {
  for (const char* item : {"a", "b", "c"}) window.PlayList().Append(item);
  C("CheckBoxTitleAll").Click();
  auto job = std::make_unique<GatedJob>();
  GatedJob& gated = *job;
  ASSERT_TRUE(page.UpdatePanel().Start(std::move(job), page.UpdatePanel().NewDisk("test")));
  gated.WaitStarted(1);
  C("ButtonPauseUpdate").Click();
  EXPECT_EQ(C("ButtonPauseUpdate").Caption(), "Resume");
  C("ButtonStopUpdate").Click();  // Cancel
  gated.Open(3);
  Drain(page.UpdatePanel());
  EXPECT_EQ(gated.Done(), std::vector<int>{0});
  EXPECT_TRUE(user.boxes.empty());
  EXPECT_TRUE(C("CheckBoxTitleAll").Checked());
  EXPECT_EQ(C("ButtonStopUpdate").Caption(), "Finish");
  EXPECT_EQ(C("ButtonPauseUpdate").Caption(), "Resume");
  EXPECT_FALSE(C("LabelShowUpdateErrors").Visible());
}

TEST_F(MultiTaggerTest, ClosingWaitsForTheFileInHand) {
  for (const char* item : {"a", "b", "c"}) window.PlayList().Append(item);
  auto job = std::make_unique<GatedJob>();
  GatedJob& gated = *job;
  ASSERT_TRUE(page.RemoveTagsPanel().Start(std::move(job), page.RemoveTagsPanel().NewDisk("test")));
  gated.WaitStarted(1);
  std::thread later([&gated] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    gated.Open(3);
  });
  window.Close();
  later.join();
  EXPECT_EQ(gated.Done(), std::vector<int>{0});
  EXPECT_EQ(gated.Started(), std::vector<int>{0});
  EXPECT_FALSE(page.RemoveTagsPanel().Running());
  EXPECT_TRUE(test::ReadFile(window.SettingsPath()).find("[MultiTagger]") != std::string::npos);
}

TEST_F(MultiTaggerTest, StartsAreRefusedOrAskedFirst) {
  C("RemoveID3v2Tags1").Click();  // empty playlist: refused before the question
  C("ButtonUpdateAllTags").Click();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Error", "Update ID3 Tag(s) ?"}));
  user.answers = {MessageAnswer::Yes};
  C("ButtonUpdateAllTags").Click();  // refused after the question
  EXPECT_EQ(window.Errors().Count(), 2u);
  EXPECT_TRUE(C("GroupBoxMulti").Visible());

  window.PlayList().Append(dir / "missing.mp3");
  user.answers = {MessageAnswer::No};
  C("RemoveID3v1ID3v2Tags1").Click();
  EXPECT_EQ(user.boxes.back().caption, "Remove all ID3 Tags?");
  EXPECT_TRUE(C("GroupBoxMulti").Visible());
  user.answers = {MessageAnswer::Yes};
  C("RemoveID3v2Tags1").Click();
  EXPECT_EQ(C("GroupRemoveTags").Caption(), "  Removing ID3v2 Tag  ");
  Drain(page.RemoveTagsPanel());
  EXPECT_EQ(user.boxes.back().text,
            "Processed 1 files with 1 errors!\n\r\n\r0 ID3 tags removed.\n\r\n\r"
            "Selected files from playlist have errors!");
}

TEST_F(MultiTaggerTest, OptionsHoldTogether) {
  // One pass always runs.
  C("CheckBoxID3v1").Click();
  EXPECT_TRUE(C("CheckBoxID3v1").Checked());
  C("CheckBoxID3v2").Click();
  C("CheckBoxID3v1").Click();
  EXPECT_FALSE(C("CheckBoxID3v1").Checked());
  // Anything but Yes keeps "disable Settings …".
  user.answers = {MessageAnswer::No};
  C("CheckBoxDisableSettings").Click();
  EXPECT_TRUE(C("CheckBoxDisableSettings").Checked());
  EXPECT_EQ(user.boxes.back().caption, "Attention");
  // A field from its template is not also taken from the file name.
  C("CheckGetTitle").Click();
  C("CheckBoxTitleAll").Click();
  EXPECT_FALSE(C("CheckGetTitle").Checked());
  C("CheckGetTitle").Click();
  EXPECT_FALSE(C("CheckBoxTitleAll").Checked());

  C("CheckBoxCommentAll").Click();
  C("EditCommentAll").SetText("x");
  C("ComboGenreAll").SetIndex(3);
  C("AllSettings1").Click();
  EXPECT_FALSE(C("CheckBoxCommentAll").Checked());
  EXPECT_FALSE(C("EditCommentAll").Enabled());
  EXPECT_EQ(C("EditCommentAll").Text(), "%comment%");
  EXPECT_EQ(C("ComboGenreAll").Index(), -1);
  EXPECT_TRUE(C("CheckBoxID3v1").Checked());
  EXPECT_FALSE(C("CheckBoxID3v2").Checked());

  C("ButtonVariablesInfo").Click();
  EXPECT_EQ(user.boxes.back().caption, "Variables");
  EXPECT_EQ(user.boxes.back().text, kVariablesInfo);
}

TEST_F(MultiTaggerTest, TheOptionsComeBackFromTheSettingsFile) {
  C("CheckBoxID3v2").Click();
  C("CheckBoxID3v1").Click();  // ID3v1 off, ID3v2 on
  C("CheckReadOnly").Click();
  user.answers = {MessageAnswer::Yes};
  C("CheckBoxDisableSettings").Click();
  window.Close();

  FakeUser user2;
  FakePoster poster2;
  MainWindowModel again(user2, poster2, dir.Path(), dir.Path());
  MultiTaggerModel page2(again);
  poster2.Advance(1);
  for (const char* box : {"CheckBoxID3v1", "CheckReadOnly", "CheckBoxDisableSettings"})
    EXPECT_FALSE(again.Controls()[box].Checked()) << box;
  EXPECT_TRUE(again.Controls()["CheckBoxID3v2"].Checked());
  EXPECT_TRUE(user2.boxes.empty());  // no question at start-up
}

}  // namespace
}  // namespace tagmora
