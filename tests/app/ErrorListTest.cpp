#include "app/ErrorList.h"

#include <set>
#include <thread>

#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::FakePoster;
using test::FakeUser;

class ErrorListTest : public ::testing::Test {
 protected:
  ErrorListTest() : model(user, poster, dir.Path(), dir.Path()), errors(model.Errors()) {
    errors.SetClock([] { return std::string("12:34:56"); });
  }
  Control& Main(const char* name) { return model.Controls()[name]; }
  Control& Option(const char* name) { return model.OptionsControls()[name]; }

  test::TempDir dir;
  FakeUser user;
  FakePoster poster;
  MainWindowModel model;
  ErrorList& errors;
};

TEST_F(ErrorListTest, NumbersEntriesAndAlwaysEndsWithOneEmptyRow) {
  EXPECT_EQ(errors.RowCount(), 2);
  EXPECT_EQ(errors.Cell(0, 0), "No.");
  EXPECT_EQ(errors.Cell(0, 3), "Path");
  errors.AddError("first", "/m/a.mp3", false);
  EXPECT_EQ(errors.RowCount(), 3);
  EXPECT_EQ(errors.Cell(1, 0), "1");
  EXPECT_EQ(errors.Cell(1, 1), "12:34:56");
  EXPECT_EQ(errors.Cell(1, 2), "first");
  EXPECT_EQ(errors.Cell(1, 3), "/m/a.mp3");
  for (int column = 0; column < 4; ++column) EXPECT_EQ(errors.Cell(2, column), "");
  errors.AddError("second", "", false);
  EXPECT_EQ(errors.RowCount(), 4);
  EXPECT_EQ(errors.Cell(2, 0), "2");
  EXPECT_EQ(errors.Cell(3, 2), "");
}

TEST_F(ErrorListTest, ClearAsksAndOnlyYesEmptiesTheList) {
  errors.AddError("one", "", false);
  for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Cancel}) {
    user.answers.push_back(answer);
    errors.ClearCommand();
    EXPECT_EQ(errors.Count(), 1u);
  }
  const MessageBox& box = user.boxes.back();
  EXPECT_EQ(box.caption, "Clear list ?");
  EXPECT_EQ(box.text, "This will clear the errors list! Continue?");
  EXPECT_EQ(box.icon, MessageIcon::Question);
  EXPECT_EQ(box.buttons, MessageButtons::YesNoCancel);

  uint64_t clears = errors.Clears();
  user.answers.push_back(MessageAnswer::Yes);
  Main("ButtonClearErrors").Click();
  EXPECT_EQ(errors.RowCount(), 2);
  EXPECT_EQ(errors.Clears(), clears + 1);
  errors.AddError("again", "", false);
  EXPECT_EQ(errors.Cell(1, 0), "1");
}

TEST_F(ErrorListTest, MessageBoxPutsThePathOnTheNextLine) {
  errors.AddError("Cannot read", "/m/a.mp3", true);
  errors.AddError("No files in the playlist! Add some!", "", true);
  errors.AddError("quiet", "/m/b.mp3", false);
  ASSERT_EQ(user.boxes.size(), 2u);
  EXPECT_EQ(user.boxes[0].caption, "Error");
  EXPECT_EQ(user.boxes[0].icon, MessageIcon::Warning);
  EXPECT_EQ(user.boxes[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(user.boxes[0].text, "Cannot read\nFile: /m/a.mp3");
  EXPECT_EQ(user.boxes[1].text, "No files in the playlist! Add some!");
}

TEST_F(ErrorListTest, BeepFollowsEitherTwinOfTheOption) {
  errors.AddError("a", "", false);
  EXPECT_EQ(user.beeps, 1);
  Option("CheckBoxBeep").Click();
  EXPECT_FALSE(Main("Beeponerror1").Checked());
  errors.AddError("b", "", false);
  EXPECT_EQ(user.beeps, 1);
  Main("Beeponerror1").Click();
  EXPECT_TRUE(Option("CheckBoxBeep").Checked());
  errors.AddError("c", "", false);
  EXPECT_EQ(user.beeps, 2);
}

TEST_F(ErrorListTest, FlashBlinksThreeTimesAndAnotherErrorStartsNoSecondFlash) {
  std::vector<int> pictures;
  model.Controls().Watch([&](Control& control, ControlProperty property) {
    if (control.Name() == "TabSheetErrors" && property == ControlProperty::Image)
      pictures.push_back(control.Image());
  });
  poster.Advance(1);  // start-up
  EXPECT_EQ(errors.FlashErrorState(), -1);
  errors.AddError("a", "", false);
  EXPECT_EQ(errors.FlashErrorState(), 0);
  poster.Advance(300);
  errors.AddError("b", "", false);  // beeps, but the running flash goes on alone
  EXPECT_EQ(user.beeps, 2);
  poster.Advance(700);
  EXPECT_EQ(pictures, (std::vector<int>{6, 5, 6, 5, 6, 5}));
  EXPECT_EQ(errors.FlashErrorState(), -1);
  EXPECT_EQ(Main("TabSheetErrors").Image(), kErrorsPicture);

  pictures.clear();
  Main("FlashErrorsTabonerror1").Click();
  EXPECT_FALSE(Option("CheckBoxFlash").Checked());
  errors.AddError("c", "", false);
  poster.Advance(2000);
  EXPECT_TRUE(pictures.empty());
}

TEST_F(ErrorListTest, ReportBytesAreExact) {
  std::vector<ErrorEntry> entries = {
      // The padded part is 75 characters wide: 26 + 49 blanks.
      {"1", "12:34:56", "Cannot read", "/m/a.mp3"},
      // 1 + 8 + 60 = 69 characters: no padding at all.
      {"2", "12:34:57", std::string(60, 'x'), ""},
      // Characters, not bytes: "é" counts once.
      {"3", "12:34:58", "caf\xC3\xA9", "/m/\xC3\xA9.mp3"},
  };
  std::string expected =
      "No. Time     Error\t\t\t\t\t\t\t\t\t\t\tPath\r\n" + std::string(130, '-') + "\r\n" +
      "1  12:34:56  Cannot read  " + std::string(49, ' ') + "\t\t\t\t/m/a.mp3\r\n" +
      "2  12:34:57  " + std::string(60, 'x') + "  \t\t\t\t\r\n" +
      "3  12:34:58  caf\xC3\xA9  " + std::string(56, ' ') + "\t\t\t\t/m/\xC3\xA9.mp3\r\n";
  EXPECT_EQ(ErrorList::ReportText(entries), expected);
  EXPECT_EQ(ErrorList::ReportText({}),
            "No. Time     Error\t\t\t\t\t\t\t\t\t\t\tPath\r\n" + std::string(130, '-') + "\r\n");
}

TEST_F(ErrorListTest, ProposedNameStaysAFileName) {
  EXPECT_EQ(ErrorList::ProposedReportName("12/07/25"), "Errors_12-07-25.txt");
  EXPECT_EQ(ErrorList::ProposedReportName("07.12.2025"), "Errors_07.12.2025.txt");
}

TEST_F(ErrorListTest, SavingAnEmptyListShowsNoDialog) {
  Main("ButtonSaveErrors").Click();
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_EQ(user.boxes[0].text, "No errors to save!");
  EXPECT_EQ(user.boxes[0].icon, MessageIcon::None);
  EXPECT_TRUE(user.dialogs.empty());
}

TEST_F(ErrorListTest, SavesTheReportAndOffersToOpenIt) {
  errors.AddError("Cannot read", "/m/a.mp3", false);
  std::string path = dir / "report.txt";
  test::WriteFile(path, "old content that is longer than nothing at all, truly longer");
  user.saveAnswers.push_back(path);
  user.answers.push_back(MessageAnswer::Yes);
  Main("SaveErrors2").Click();

  ASSERT_EQ(user.dialogs.size(), 1u);
  EXPECT_EQ(user.dialogs[0].title, "Save Error");
  EXPECT_EQ(user.dialogs[0].filterPattern, "*.txt");
  EXPECT_EQ(user.dialogs[0].folder, dir.Path());
  EXPECT_EQ(user.dialogs[0].proposedName.rfind("Errors_", 0), 0u);
  EXPECT_EQ(user.dialogs[0].proposedName.find('/'), std::string::npos);
  EXPECT_EQ(test::ReadFile(path), ErrorList::ReportText(errors.Entries()));
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_EQ(user.boxes[0].caption, "Errors Saved");
  EXPECT_EQ(user.boxes[0].icon, MessageIcon::Information);
  EXPECT_EQ(user.boxes[0].buttons, MessageButtons::YesNoCancel);
  EXPECT_EQ(user.boxes[0].text, "Errors saved to \"" + path + "\"\nOpen the file?");
  EXPECT_EQ(user.opened, std::vector<std::string>{path});

  user.saveAnswers.push_back(path);
  user.answers.push_back(MessageAnswer::No);
  Main("SaveErrors1").Click();
  EXPECT_EQ(user.opened.size(), 1u);
}

TEST_F(ErrorListTest, AFailedSaveSaysSo) {
  errors.AddError("a", "", false);
  user.saveAnswers.push_back(dir / "missing/report.txt");
  Main("ButtonSaveErrors").Click();
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_EQ(user.boxes[0].caption, "Errors NOT Saved");
  EXPECT_EQ(user.boxes[0].icon, MessageIcon::Error);
  EXPECT_EQ(user.boxes[0].text, "Error: File not found. No such file or directory");

  user.boxes.clear();
  Main("ButtonSaveErrors").Click();  // cancelled: nothing happens
  EXPECT_TRUE(user.boxes.empty());
}

TEST_F(ErrorListTest, AddErrorFromManyThreadsLosesNothing) {
  int told = 0;
  errors.Watch([&] { ++told; });
  constexpr int kThreads = 4, kEach = 300;
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t)
    workers.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i)
        errors.AddError("worker " + std::to_string(t), std::to_string(i), false);
    });
  for (auto& worker : workers) worker.join();

  // The alerts wait for the user-interface thread.
  EXPECT_EQ(told, 0);
  EXPECT_EQ(user.beeps, 0);
  std::vector<ErrorEntry> entries = errors.Entries();
  ASSERT_EQ(entries.size(), size_t(kThreads * kEach));
  std::set<std::string> seen;
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].number, std::to_string(i + 1));
    seen.insert(entries[i].message + "/" + entries[i].path);
  }
  EXPECT_EQ(seen.size(), entries.size());
  poster.RunPosted();
  EXPECT_EQ(told, kThreads * kEach);
  EXPECT_EQ(user.beeps, 1);  // one burst, one beep
  errors.AddError("later", "", false);
  EXPECT_EQ(user.beeps, 2);
}

}  // namespace
}  // namespace tagmora
