#include "player/Player.h"

#include <gtest/gtest.h>

#include "app/Fakes.h"
#include "app/Settings.h"
#include "player/PlayerFakes.h"
#include "player/SoundOptions.h"
#include "playlist/Playlist.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using test::FakeMedia;
using test::FakeMixer;

FakeMixer MixerWith(std::vector<FakeMixer::Destination> lines, int devices = 1) {
  FakeMixer mixer;
  mixer.destinations = std::move(lines);
  mixer.devices = devices;
  return mixer;
}

// The program's player over fake back ends, started up against a folder.
struct Program {
  explicit Program(const std::string& folder, FakeMixer fakeMixer = MixerWith(test::SampleLines()))
      : model(user, poster, folder, folder),
        mixer(std::move(fakeMixer)),
        sound(model.OptionsControls(), mixer),
        player(model, media, sound) {
    model.SetPlayer(&player);
    poster.Advance(1);  // the start-up timer
  }
  Control& Main(const std::string& name) { return model.Controls()[name]; }
  Control& Image(SkinImage image) { return Main(kSkinImages[image].name); }
  int Knob(SkinImage knob) { return Image(knob).Index(); }
  Playlist& List() { return model.PlayList(); }
  void Fill(int count) {
    for (int i = 1; i <= count; ++i) List().Append("/music/" + std::to_string(i) + ".mp3");
  }
  std::string Playing() { return media.FileName(); }

  test::FakeUser user;
  test::FakePoster poster;
  MainWindowModel model;
  FakeMedia media;
  FakeMixer mixer;
  SoundOptions sound;
  Player player;
};

class PlayerTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  Program p{dir.Path()};
};

TEST(PlayTimeTest, MinutesAndSecondsWithoutAnHourField) {
  EXPECT_EQ(FormatPlayTime(0), "00:00");
  EXPECT_EQ(FormatPlayTime(59900), "00:59");
  EXPECT_EQ(FormatPlayTime(61000), "01:01");
  EXPECT_EQ(FormatPlayTime((62 * 60 + 3) * 1000), "62:03");
  EXPECT_EQ(FormatPlayTime(100 * 60000), "100:00");
}

TEST_F(PlayerTest, PlayShowsTheTrackAndStopResetsTheDisplays) {
  p.Main("Image_Play").Click();
  EXPECT_TRUE(p.media.opened.empty());
  EXPECT_FALSE(p.player.TrackOpen());

  p.Fill(3);
  p.List().SetSelected(2, true);
  p.List().SetFocus(1);
  p.Main("Play1").Click();
  // The focused item, selected alone.
  EXPECT_EQ(p.Playing(), "/music/2.mp3");
  EXPECT_EQ(p.List().SelectedRanges(), (std::vector<std::pair<int, int>>{{1, 1}}));
  EXPECT_EQ(p.Main("LabelTrack").Caption(), "    2. 2.mp3 ^ 03:20");
  EXPECT_EQ(p.Main("LabelTrack").Hint(), "/music/2.mp3");
  EXPECT_EQ(p.player.TrackFile(), "/music/2.mp3");

  p.media.position = 100000;
  p.poster.Advance(kPositionTimerMs);
  EXPECT_EQ(p.Main("LabelTime").Caption(), "01:40");
  EXPECT_EQ(p.Knob(kImageScrollPosition), 17 + 71);
  EXPECT_EQ(p.Image(kImageScrollPosition).Hint(), "Position: 50 %");

  p.Main("Image_Pause").Click();
  EXPECT_EQ(p.media.Mode(), MediaMode::Paused);
  p.Main("Pause1").Click();
  EXPECT_EQ(p.media.Mode(), MediaMode::Playing);

  p.Main("Image_Stop").Click();
  EXPECT_FALSE(p.player.TrackOpen());
  EXPECT_EQ(p.media.Mode(), MediaMode::NotOpen);
  EXPECT_EQ(p.Main("LabelTime").Caption(), "00:00");
  EXPECT_EQ(p.Main("LabelTrack").Caption(), "No Track");
  EXPECT_EQ(p.Main("LabelTrack").Hint(), "");
  EXPECT_EQ(p.Knob(kImageScrollPosition), kPositionTrackMin);
  EXPECT_FALSE(p.Main("LabelPositionPercent").Visible());
  // The timer has stopped with the track.
  p.media.position = 5000;
  p.poster.Advance(2000);
  EXPECT_EQ(p.Main("LabelTime").Caption(), "00:00");
}

TEST_F(PlayerTest, NextAndPreviousAtTheEndsOfTheList) {
  p.Fill(3);
  std::vector<std::string> clicks;
  p.player.SetPlaylistClickAction([&] { clicks.push_back(std::to_string(p.List().Focus())); });
  // Stopped: the focus and selection move, nothing plays.
  p.Main("Next1").Click();
  EXPECT_EQ(p.List().Focus(), 0);
  p.Main("Image_Next").Click();
  p.Main("Image_Next").Click();
  p.Main("Image_Next").Click();
  EXPECT_EQ(p.List().Focus(), 2);  // the last item keeps it without repeat
  EXPECT_EQ(p.List().SelectedRanges(), (std::vector<std::pair<int, int>>{{2, 2}}));
  EXPECT_EQ(clicks, (std::vector<std::string>{"0", "1", "2", "2"}));
  EXPECT_TRUE(p.media.opened.empty());

  p.Main("Image_Repeat").Click();
  EXPECT_TRUE(p.player.Repeat());
  p.Main("Next1").Click();
  EXPECT_EQ(p.List().Focus(), 0);
  p.Main("Preview1").Click();
  EXPECT_EQ(p.List().Focus(), 0);  // no wrap backwards, repeat or not

  // Playing: a move to another item plays it; staying put does not restart.
  p.Main("Play1").Click();
  p.Main("Image_Prev").Click();
  EXPECT_EQ(p.media.opened, (std::vector<std::string>{"/music/1.mp3"}));
  p.Main("Next1").Click();
  EXPECT_EQ(p.Playing(), "/music/2.mp3");
  p.Main("Preview1").Click();
  EXPECT_EQ(p.Playing(), "/music/1.mp3");
}

TEST_F(PlayerTest, ShufflePicksAnyItemAndMayStay) {
  p.Fill(4);
  int pick = 3;
  p.player.SetRandom([&](int count) {
    EXPECT_EQ(count, 4);
    return pick;
  });
  p.Main("Image_Shuffle").Click();
  p.Main("Next1").Click();
  EXPECT_EQ(p.List().Focus(), 3);
  p.Main("Play1").Click();
  p.Main("Preview1").Click();  // picks the same item: not restarted
  EXPECT_EQ(p.media.opened.size(), 1u);
  // At the end of a track the picked item always plays, even the same one.
  p.media.End();
  EXPECT_EQ(p.media.opened, (std::vector<std::string>{"/music/4.mp3", "/music/4.mp3"}));
  pick = 0;
  p.media.End();
  EXPECT_EQ(p.Playing(), "/music/1.mp3");
}

TEST_F(PlayerTest, TheEndOfATrackPlaysTheNextAndTheLastOneAgain) {
  p.Fill(2);
  p.Main("Play1").Click();
  p.media.End();
  EXPECT_EQ(p.Playing(), "/music/2.mp3");
  EXPECT_EQ(p.Main("LabelTrack").Caption(), "    2. 2.mp3 ^ 03:20");
  // Without repeat the last item plays again; the timer finds the end too.
  p.media.position = p.media.length;
  p.poster.Advance(kPositionTimerMs);
  EXPECT_EQ(p.media.opened.back(), "/music/2.mp3");
  EXPECT_EQ(p.media.opened.size(), 3u);
  EXPECT_TRUE(p.player.TrackOpen());
  // With repeat it goes on from the first.
  p.Main("Image_Repeat").Click();
  p.media.End();
  EXPECT_EQ(p.Playing(), "/music/1.mp3");

  // While the knob is held the end waits for the release.
  p.player.MouseDown(kImageScrollPosition, 5);
  p.media.End();
  EXPECT_EQ(p.Playing(), "/music/1.mp3");
}

TEST_F(PlayerTest, AFileThatCannotBePlayedIsReportedAndLeavesThePlayerStopped) {
  p.Fill(2);
  p.media.failing.insert("/music/1.mp3");
  p.Main("Play1").Click();
  EXPECT_FALSE(p.player.TrackOpen());
  EXPECT_EQ(p.media.Mode(), MediaMode::NotOpen);
  ASSERT_EQ(p.model.Errors().Count(), 1u);
  EXPECT_EQ(p.model.Errors().Entry(0).message, "Mp3 Player error: The file holds no MPEG audio");
  EXPECT_EQ(p.model.Errors().Entry(0).path, "/music/1.mp3");
  EXPECT_EQ(p.user.boxes.size(), 1u);
  EXPECT_EQ(p.List().Focus(), 0);
  EXPECT_EQ(p.Main("LabelTrack").Caption(), "No Track");
}

TEST_F(PlayerTest, DraggingThePositionKnobStopsAtItsEndsAndSeeksOnRelease) {
  p.Fill(1);
  // Nothing playing: the knob stays where it is.
  p.player.MouseDown(kImageScrollPosition, 10);
  p.player.MouseMove(kImageScrollPosition, 60, true);
  EXPECT_EQ(p.Knob(kImageScrollPosition), kPositionTrackMin);
  p.player.MouseUp(kImageScrollPosition);
  EXPECT_TRUE(p.media.seeks.empty());

  p.Main("Play1").Click();
  p.player.MouseDown(kImageScrollPosition, 10);
  EXPECT_EQ(p.Image(kImageScrollPosition).Image(), kPicturePressed);
  p.player.MouseMove(kImageScrollPosition, 500, true);
  EXPECT_EQ(p.Knob(kImageScrollPosition), kPositionTrackMax);
  EXPECT_EQ(p.Main("LabelPositionPercent").Caption(), "100%");
  EXPECT_TRUE(p.Main("LabelPositionPercent").Visible());
  EXPECT_EQ(p.Image(kImageScrollPosition).Hint(), "Position: 100%");
  EXPECT_EQ(p.Main("LabelTime").Caption(), "03:20");
  // The timer is off while the knob is held.
  p.poster.Advance(1000);
  EXPECT_EQ(p.Main("LabelTime").Caption(), "03:20");
  p.player.MouseMove(kImageScrollPosition, -500, true);
  EXPECT_EQ(p.Knob(kImageScrollPosition), kPositionTrackMin);
  EXPECT_EQ(p.Main("LabelPositionPercent").Caption(), "0%");
  // 10 pixels right of where the drag began: 10 / 142 of the track.
  p.player.MouseMove(kImageScrollPosition, 20, true);
  p.player.MouseUp(kImageScrollPosition);
  EXPECT_EQ(p.media.seeks, (std::vector<int64_t>{200000 * 10 / 142}));
  EXPECT_EQ(p.media.Mode(), MediaMode::Playing);
  EXPECT_EQ(p.Image(kImageScrollPosition).Image(), kPictureNormal);
  p.poster.Advance(kPositionTimerMs);
  EXPECT_EQ(p.Main("LabelTime").Caption(), "00:14");
  EXPECT_FALSE(p.Main("LabelPositionPercent").Visible());

  // A click on the band puts the knob's centre there; elsewhere nothing.
  p.player.BackgroundClick(100, 100);
  EXPECT_EQ(p.Knob(kImageScrollPosition), 100 + kPlayerBack.left - 15);
  p.player.BackgroundClick(100, 96);
  p.player.BackgroundClick(14, 100);
  EXPECT_EQ(p.media.seeks.size(), 2u);
  // The wheel with the middle button: 2 pixels a notch.
  p.player.Wheel(-3, true);
  EXPECT_EQ(p.Knob(kImageScrollPosition), 88 - 6);
  EXPECT_EQ(p.media.seeks.size(), 3u);
}

TEST_F(PlayerTest, TheVolumeKnobSetsTheChosenLine) {
  // The first destination is chosen at first.
  p.player.MouseDown(kImageScrollVolume, 5);
  p.player.MouseMove(kImageScrollVolume, 300, true);
  EXPECT_EQ(p.Knob(kImageScrollVolume), kVolumeTrackMax);
  EXPECT_EQ(p.mixer.writes.back(), (FakeMixer::Write{0, -1, 65535, 65535, 0}));
  EXPECT_EQ(p.Main("LabelVolumePercent").Caption(), "100");
  EXPECT_EQ(p.Image(kImageScrollVolume).Hint(), "Volume: 100");
  EXPECT_TRUE(p.Main("LabelVolumePercent").Visible());
  p.player.MouseMove(kImageScrollVolume, -300, true);
  EXPECT_EQ(p.mixer.writes.back(), (FakeMixer::Write{0, -1, 0, 0, 0}));
  EXPECT_EQ(p.Main("LabelVolumePercent").Caption(), "0");
  p.player.MouseUp(kImageScrollVolume);
  p.poster.Advance(kHideVolumeTimerMs - 1);
  EXPECT_TRUE(p.Main("LabelVolumePercent").Visible());
  p.poster.Advance(1);
  EXPECT_FALSE(p.Main("LabelVolumePercent").Visible());

  // The wheel: a pixel a notch; the page's mute mark goes along.
  p.model.OptionsControls()["CheckBox"].Click();
  p.player.Wheel(7, false);
  EXPECT_EQ(p.Knob(kImageScrollVolume), kVolumeTrackMin + 7);
  EXPECT_EQ(p.mixer.writes.back(), (FakeMixer::Write{0, -1, 6553, 6553, 1}));

  // No line chosen: the knob and its label move, the mixer does not.
  p.model.OptionsControls()["ComboBoxVolume"].SetIndex(-1);
  const size_t writes = p.mixer.writes.size();
  p.player.BackgroundClick(100, 120);
  EXPECT_EQ(p.Knob(kImageScrollVolume), 100 + kPlayerBack.left - 15);
  EXPECT_EQ(p.Main("LabelVolumePercent").Caption(), "54");
  EXPECT_EQ(p.mixer.writes.size(), writes);
  ASSERT_EQ(p.model.Errors().Count(), 1u);
  EXPECT_EQ(p.model.Errors().Entry(0).message,
            "NO mixer is selected in the Options panel! Please select one first!");
  EXPECT_EQ(p.user.boxes.size(), 1u);
}

TEST(PlayerNoMixerTest, WithoutAMixerTheVolumeKnobStays) {
  test::TempDir dir;
  Program p(dir.Path(), MixerWith({}, 0));
  p.player.Wheel(5, false);
  p.player.MouseDown(kImageScrollVolume, 5);
  p.player.MouseMove(kImageScrollVolume, 40, true);
  EXPECT_EQ(p.Knob(kImageScrollVolume), 85);
  EXPECT_EQ(p.model.Errors().Count(), 0u);
}

TEST_F(PlayerTest, PicturesFollowThePointerAndRestShowingTheModes) {
  p.player.MouseMove(kImagePlay, 3, false);
  EXPECT_EQ(p.Image(kImagePlay).Image(), kPictureHover);
  p.player.MouseMove(kImageStop, 3, false);
  EXPECT_EQ(p.Image(kImagePlay).Image(), kPictureNormal);
  EXPECT_EQ(p.Image(kImageStop).Image(), kPictureHover);
  EXPECT_EQ(p.player.HoverImage(), kImageStop);
  p.player.MouseDown(kImageStop, 3);
  EXPECT_EQ(p.Image(kImageStop).Image(), kPicturePressed);
  p.player.MouseUp(kImageStop);
  EXPECT_EQ(p.Image(kImageStop).Image(), kPictureNormal);
  EXPECT_EQ(p.player.HoverImage(), kImageEmpty);

  // A mode that is on rests on the pressed picture, and says so.
  p.player.MouseDown(kImageShuffle, 3);
  p.player.MouseUp(kImageShuffle);
  p.Image(kImageShuffle).Click();
  EXPECT_EQ(p.Image(kImageShuffle).Image(), kPicturePressed);
  EXPECT_EQ(p.Image(kImageShuffle).Hint(), "Shuffle: ON");
  p.player.MouseMove(kImageShuffle, 3, false);
  EXPECT_EQ(p.Image(kImageShuffle).Image(), kPictureHover);
  p.player.PointerOffImages();
  EXPECT_EQ(p.Image(kImageShuffle).Image(), kPicturePressed);
  EXPECT_EQ(p.player.HoverImage(), kImageEmpty);

  // A knob hovers only without the left button.
  p.player.MouseMove(kImageScrollVolume, 3, false);
  EXPECT_EQ(p.Image(kImageScrollVolume).Image(), kPictureHover);

  // The repaint timer lets go of the hover once the pointer has left.
  bool inside = true;
  p.player.SetPointerInWindow([&] { return inside; });
  p.poster.Advance(kRepaintTimerMs);
  EXPECT_EQ(p.player.HoverImage(), kImageScrollVolume);
  inside = false;
  p.poster.Advance(kRepaintTimerMs);
  EXPECT_EQ(p.player.HoverImage(), kImageEmpty);
  EXPECT_EQ(p.Image(kImageScrollVolume).Image(), kPictureNormal);
}

TEST(PlayerSettingsTest, ModesComeBackAndTheVolumeKnobFollowsTheMixer) {
  test::TempDir dir;
  {
    Program first(dir.Path());
    first.Main("Image_Repeat").Click();
    first.model.OptionsControls()["ComboBoxVolume"].SetIndex(2);
    first.player.Wheel(-35, false);  // x 50: 0 %
    first.player.Wheel(10, false);   // x 60
    first.model.Close();
  }
  const std::string ini = test::ReadFile(dir / "settings.ini");
  EXPECT_NE(ini.find("[Player]\nVolume=14.2857142857143\nShuffle=0\nRepeat=1\n\n"
                     "[Sound]\nMixer=0\nVolume=2\n"),
            std::string::npos)
      << ini;

  // The knob comes from the chosen line's right volume, not from the file:
  // "Browser" at 1000 / 2000.
  Program second(dir.Path());
  EXPECT_TRUE(second.player.Repeat());
  EXPECT_FALSE(second.player.Shuffle());
  EXPECT_EQ(second.Image(kImageRepeat).Hint(), "Repeat: ON");
  EXPECT_EQ(second.Image(kImageRepeat).Image(), kPicturePressed);
  EXPECT_EQ(second.model.OptionsControls()["ComboBoxVolume"].Index(), 2);
  EXPECT_EQ(second.model.OptionsControls()["TrackBar"].Index(), 1000);
  EXPECT_EQ(second.Knob(kImageScrollVolume), 52);  // 50 + 70 * 3.05 %
  EXPECT_EQ(second.Main("LabelVolumePercent").Caption(), "3");
  EXPECT_EQ(second.Image(kImageScrollVolume).Hint(), "Volume: 3");

  // A line the lists no longer hold is not chosen; the knob stays.
  test::WriteFile(dir / "settings.ini", "[Sound]\nMixer=0\nVolume=9\n");
  Program third(dir.Path());
  EXPECT_EQ(third.model.OptionsControls()["ComboBoxVolume"].Index(), -1);
  EXPECT_EQ(third.Knob(kImageScrollVolume), 85);
}

}  // namespace
}  // namespace tagmora
