// Removing tags from, deleting, renaming and moving the page's file, with
// the questions, the player and the playlist kept in step.

#include "editing/SingleFileCommands.h"

#include <filesystem>

#include "EditorFixture.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "support/TagBytes.h"

namespace tagmora {
namespace {

using test::ReadFile;
using test::V1Of;
using test::V2Of;
using test::TextFrame;
using test::V1Record;
using test::WriteFile;

class SingleFileCommandsTest : public test::EditorTest {
 protected:
  std::string Song(const std::string& name, bool v1, bool v2) {
    const std::string path = dir / name;
    test::MakeMp3(path);
    WriteFile(path, (v2 ? test::Tag(3, TextFrame("TIT2", "Two")) : "") + ReadFile(path) +
                        (v1 ? V1Record("One") : ""));
    return path;
  }
};

TEST_F(SingleFileCommandsTest, RemovingTags) {
  const std::string path = Song("v2only.mp3", false, true);
  Show({path});
  C("EditTitlev2").SetText("edited, not saved");
  user.answers = {MessageAnswer::Yes};
  C("RemoveID3v1Tag1").Click();
  ASSERT_EQ(user.boxes.size(), 1u);
  EXPECT_EQ(user.boxes[0].caption, "Delete ID3v1 Tag?");
  EXPECT_EQ(user.boxes[0].text,
            "This will remove your ID3v1 Tag from current file!\n"
            "Are you sure you want to delete the ID3v1 Tag?");
  EXPECT_EQ(user.boxes[0].icon, MessageIcon::Question);
  EXPECT_EQ(user.boxes[0].buttons, MessageButtons::YesNo);
  // Nothing to remove is a success, and the page shows the file again.
  EXPECT_TRUE(window.Errors().Entries().empty());
  EXPECT_EQ(Text("EditTitlev2"), "Two");

  // "No" to the first question still asks the second.
  user.answers = {MessageAnswer::No, MessageAnswer::Yes};
  C("RemoveID3v1ID3v2Tag1").Click();
  ASSERT_EQ(user.boxes.size(), 3u);
  EXPECT_EQ(user.boxes[2].caption, "Delete ID3v2 Tag?");
  EXPECT_FALSE(V2Of(path).Exists);
  EXPECT_FALSE(C("CheckHasTagv2").Checked());

  // Removing an ID3v2 tag that is not there fails.
  user.answers = {MessageAnswer::Yes};
  C("RemoveID3v2Tag1").Click();
  EXPECT_EQ(ErrorMessages(), std::vector<std::string>{"Error removing IDv2 Tag ! | " + path});

  // The player of that file stops for the removal and plays on after it.
  const std::string both = Song("both.mp3", true, true);
  C("EditPath").SetText(both);
  player.open = true;
  player.trackFile = both;
  user.answers = {MessageAnswer::Yes};
  C("RemoveID3v1Tag1").Click();
  EXPECT_EQ(player.calls, "stop play seek 61000 ");
  EXPECT_FALSE(V1Of(both).Exists);
  EXPECT_TRUE(V2Of(both).Exists);
}

TEST_F(SingleFileCommandsTest, DeleteMovesTheFileToTheTrashAndDropsItsItem) {
  const std::string a = Song("a.mp3", true, false);
  const std::string b = Song("b.mp3", true, false);
  const std::string bytes = test::ReadFile(b);
  Show({a, b}, 1);
  player.open = true;
  player.trackFile = b;
  user.answers = {MessageAnswer::No};
  C("ButtonDeleteFile").Click();
  EXPECT_TRUE(FileExists(b));
  EXPECT_EQ(user.boxes[0].caption, "Delete ?");
  EXPECT_EQ(user.boxes[0].text, "Are you sure you want to move the file\n" + b + "\nto the trash ?");

  user.answers = {MessageAnswer::Yes};
  C("ButtonDeleteFile").Click();
  EXPECT_FALSE(FileExists(b));
  EXPECT_EQ(test::ReadFile(HomeTrash() + "/files/b.mp3"), bytes);
  EXPECT_EQ(window.PlayList().Items(), std::vector<std::string>{a});
  // Playback of a deleted file is not taken up again.
  EXPECT_EQ(player.calls, "stop ");
  EXPECT_TRUE(window.Errors().Entries().empty());
}

TEST_F(SingleFileCommandsTest, RenameMoveKeepsThePlaylistInStep) {
  const std::string first = Song("first.mp3", true, false);
  const std::string song = Song("song.mp3", true, false);
  const std::string last = Song("last.mp3", true, false);
  Show({first, song, last}, 1);
  player.open = true;
  player.trackFile = song;

  // Onto an existing file: refused, the item keeps its path.
  C("EditPath").SetText(last);
  C("ButtonRename").Click();
  EXPECT_EQ(ErrorMessages(), std::vector<std::string>{"Error moving file!" +
                                                      SystemErrorText(EEXIST) + " | " + song});
  EXPECT_EQ(window.PlayList().Item(1), song);
  EXPECT_EQ(ReadFile(last), ReadFile(first));

  std::filesystem::create_directory(dir / "moved");
  const std::string target = dir / "moved/renamed.mp3";
  const std::string bytes = ReadFile(song);
  C("EditPath").SetText(target);
  C("ButtonRename").Click();
  EXPECT_FALSE(FileExists(song));
  EXPECT_EQ(ReadFile(target), bytes);
  EXPECT_EQ(window.PlayList().Items(), (std::vector<std::string>{first, target, last}));
  EXPECT_EQ(window.PlayList().Focus(), 1);
  EXPECT_EQ(player.calls, "stop ");
  EXPECT_EQ(window.Errors().Count(), 1u);
}

TEST_F(SingleFileCommandsTest, RenameMoveRefusals) {
  C("ButtonRename").Click();
  const std::string song = Song("song.mp3", true, false);
  window.PlayList().Append(song);
  C("ButtonRename").Click();
  window.PlayList().SetFocus(0);
  C("ButtonRename").Click();
  EXPECT_EQ(ErrorMessages(),
            (std::vector<std::string>{"No files in playlist! Add some!",
                                      "Select a file from the playlist first!",
                                      "Invalid file! Check the playlist item and the path of ID3 Tag!"}));
  // The empty playlist is reported without a box.
  EXPECT_EQ(user.boxes.size(), 2u);
}

}  // namespace
}  // namespace tagmora
