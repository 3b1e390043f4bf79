#include "jobs/MultiRenameModel.h"

#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "jobs/FileJobFaces.h"
#include "platform/FileSystem.h"
#include "playlist/Playlist.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using namespace test;

const PageFace kRenameFace = {
    "rename", "ButtonRenameStart", "ButtonStopRename", {"renamed"},
    [](MainWindowModel& window) { return std::make_shared<MultiRenameModel>(window); },
    [](ControlSet& c, const std::string& option, const std::string& value) {
      if (option == "--priority") c[value == "v1" ? "RadioID3v1Priority" : "RadioID3v2Priority"].Click();
      if (option == "--move-to") c["CheckMoveTo"].SetChecked(true);
      if (option == "--move-to") c["EditMoveTo"].SetText(value);
      if (option == "--add-text") c["EditAdd"].SetText(value);
      for (const IfExistsChoice& choice : kIfExistsChoices)
        if (option == "--if-exists" && value == choice.name) c[choice.radio].Click();
    },
    [](int count, int errors, const std::vector<int>& counters) {
      return RenameSummary(count, errors, counters.at(0));
    }};

TEST(RenameJob, BothFacesRenameAlike) {
  const std::string longTitle(300, 'x');
  const FileSpec x{"x.mp3", "-", "A|T"}, taken{"A - T.mp3", "-", "Z|Z"};
  const std::vector<JobCase> cases = {
      {.what = "artist - title.mp3; the playlist follows", .files = {x}, .items = {"$/x.mp3"},
       .tree = {"A - T.mp3<-x.mp3"}, .playlist = {"$/A - T.mp3"}, .counters = {1}},
      {.what = "ID3v1 first, its empty artist from ID3v2", .files = {{"x.mp3", "|T1", "B|T2"}},
       .items = {"$/x.mp3"}, .args = {"--priority=v1"}, .tree = {"B - T1.mp3<-x.mp3"},
       .playlist = {"$/B - T1.mp3"}, .counters = {1}},
      {.what = "a named file stays; a case-only rename needs no policy",
       .files = {{"A - T.mp3", "-", "A|T"}, {"b - u.MP3", "-", "B|U"}},
       .items = {"$/A - T.mp3", "$/b - u.MP3"}, .args = {"--if-exists=delete"},
       .tree = {"A - T.mp3<-A - T.mp3", "B - U.mp3<-b - u.MP3"},
       .playlist = {"$/A - T.mp3", "$/B - U.mp3"}, .counters = {1}},
      {.what = "a name differing only in case is another file",
       .files = {{"a - t.MP3", "-", "A|T"}, taken}, .items = {"$/a - t.MP3"},
       .tree = {"A - T.mp3<-A - T.mp3", "_copy_A - T.mp3<-a - t.MP3"},
       .playlist = {"$/_copy_A - T.mp3"}, .counters = {1}},
      {.what = "the prefixed name taken too", .files = {x, taken, {"+A - T.mp3", "-", "Y|Y"}},
       .items = {"$/x.mp3"}, .args = {"--add-text=+"},
       .tree = {"+A - T.mp3<-+A - T.mp3", "A - T.mp3<-A - T.mp3", "x.mp3<-x.mp3"},
       .errors = {"Error renaming the file: $/x.mp3 to $/+A - T.mp3. File exists|"},
       .selected = {0}, .counters = {0}},
      {.what = "don't replace", .files = {x, taken}, .items = {"$/x.mp3"},
       .args = {"--if-exists=skip"}, .tree = {"A - T.mp3<-A - T.mp3", "x.mp3<-x.mp3"},
       .counters = {0}},
      {.what = "replace", .files = {x, taken}, .items = {"$/x.mp3"}, .args = {"--if-exists=replace"},
       .tree = {"A - T.mp3<-x.mp3"}, .playlist = {"$/A - T.mp3"}, .counters = {1}},
      {.what = "delete; the item then names no file", .files = {x, taken},
       .items = {"$/x.mp3", "Deleted $/x.mp3"}, .args = {"--if-exists=delete"},
       .tree = {"A - T.mp3<-A - T.mp3"}, .errors = {"File does NOT exist|Deleted $/x.mp3"},
       .playlist = {"Deleted $/x.mp3", "Deleted $/x.mp3"}, .selected = {1},
       .counters = {0}},
      {.what = "move to a folder typed without its slash, made after the question", .files = {x},
       .items = {"$/x.mp3"}, .args = {"--move-to=$/new", "--create-folder"},
       .tree = {"new/", "new/A - T.mp3<-x.mp3"}, .playlist = {"$/new/A - T.mp3"},
       .counters = {1}},
      {.what = "names from the tags never leave the folder, whatever the policy",
       .files = {{"sub/x.mp3", "-", "../victim|T"}, {"sub/y.mp3", "-", "A|b/c"}, {"sub/A - b/"},
                 {"victim - T.mp3", "-", "V|V"}},
       .items = {"$/sub/x.mp3", "$/sub/y.mp3"}, .args = {"--if-exists=delete"},
       .tree = {"sub/", "sub/A - b/", "sub/x.mp3<-sub/x.mp3", "sub/y.mp3<-sub/y.mp3",
                "victim - T.mp3<-victim - T.mp3"},
       .errors = {"Error renaming the file: $/sub/x.mp3 to $/sub/../victim - T.mp3. Invalid argument|",
                  "Error renaming the file: $/sub/y.mp3 to $/sub/A - b/c.mp3. Invalid argument|"},
       .selected = {0, 1}, .counters = {0}},
      {.what = "files without what a name needs",
       .files = {{"none.mp3"}, {"noartist.mp3", "|T"}, {"notitle.mp3", "-", "A|"},
                 {"long.mp3", "-", "A|" + longTitle}},
       .items = {"$/gone.mp3", "$/none.mp3", "$/noartist.mp3", "$/notitle.mp3", "$/long.mp3"},
       .tree = {"long.mp3<-long.mp3", "noartist.mp3<-noartist.mp3", "none.mp3<-",
                "notitle.mp3<-notitle.mp3"},
       .errors = {"File does NOT exist|$/gone.mp3", "NO ID3v1 or ID3v2 Tag found|$/none.mp3",
                  "NO Artist found in ID3v1 or ID3v2|$/noartist.mp3",
                  "NO Title found in ID3v1 or ID3v2|$/notitle.mp3",
                  "Error renaming the file: $/long.mp3 to $/A - " + longTitle +
                      ".mp3. File name too long|"},
       .selected = {0, 1, 2, 3, 4}, .counters = {0}},
      {.what = "an empty prefix is refused before a folder is made", .files = {x},
       .items = {"$/x.mp3"}, .args = {"--move-to=$/new", "--create-folder", "--add-text="},
       .tree = {"x.mp3<-x.mp3"}, .refusal = "Text from the begining of the file name is empty!"},
  };
  for (const JobCase& job : cases) CheckBothFaces(kRenameFace, job);
}

// The stored options come back ("Delete the new file !!!" has no key of its
// own: all three keys off bring it back); the page asks before it starts;
// a cancel shows no summary and leaves every file whole under its item.
TEST(RenameJob, SettingsQuestionsAndTheRun) {
  TempDir dir, settings;
  WriteFile(settings / "settings.ini",
            "[MultiRename]\nID3v1Priority=1\nID3v2Priority=0\nDontReplace=0\nReplace=0\n"
            "AddText=0\nAddedText=zz\n");
  FakeUser user;
  FakePoster poster;
  MainWindowModel window(user, poster, settings.Path(), settings.Path());
  MultiRenameModel page(window);
  poster.Advance(1);
  ControlSet& c = window.Controls();
  EXPECT_EQ(page.CurrentOptions().ifExists, IfExists::DeleteOld);
  EXPECT_EQ(page.CurrentOptions().addText, "zz");
  EXPECT_FALSE(c["EditAdd"].Checked());

  std::vector<FileSpec> files;
  for (int i = 0; i < 20; ++i) files.push_back({std::to_string(i) + ".mp3", "A|" + std::to_string(i)});
  MakeFiles(dir.Path(), files);
  for (const FileSpec& file : files) window.PlayList().Append(dir / file.path);
  c["CheckMoveTo"].Click();
  EXPECT_EQ(c["EditMoveTo"].Text(), dir.Path() + "/");
  c["EditMoveTo"].SetText(dir / "new");
  user.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
  c["ButtonRenameStart"].Click();
  EXPECT_TRUE(c["AnimateRename"].Checked());
  while (page.Panel().Running()) poster.RunPosted();
  page.Panel().StopAndWait();

  // The folder question, the start question, then the summary.
  ASSERT_EQ(user.boxes.size(), 3u);
  EXPECT_EQ(user.boxes[0].text, dir.Path() + "/new/ does NOT exists! Create?");
  EXPECT_EQ(user.boxes[1].caption, "Rename ?");
  EXPECT_EQ(user.boxes[2].caption, "Finish");
  EXPECT_EQ(c["EditMoveTo"].Text(), dir.Path() + "/new/");
  EXPECT_EQ(c["ButtonStopRename"].Caption(), "Finish");
  EXPECT_FALSE(c["AnimateRename"].Checked());
  for (int i = 0; i < 20; ++i) {
    const std::string item = window.PlayList().Item(i);
    EXPECT_TRUE(FileExists(item)) << item;
    EXPECT_NE(item.find("/new/"), std::string::npos) << item;
  }
}

}  // namespace
}  // namespace tagmora
