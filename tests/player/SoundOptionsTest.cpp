#include "player/SoundOptions.h"

#include <gtest/gtest.h>

#include "app/Control.h"
#include "app/Fakes.h"
#include "app/PlayerControls.h"
#include "player/PlayerFakes.h"

namespace tagmora {
namespace {

using test::FakeMixer;
using Items = std::vector<std::string>;

class SoundOptionsTest : public ::testing::Test {
 protected:
  SoundOptionsTest() {
    AddPlayerControls(main, options);
    mixer.destinations = test::SampleLines();
  }
  Control& Option(const char* name) { return options[name]; }

  test::FakePoster poster;
  ControlSet main{poster};
  ControlSet options{poster};
  FakeMixer mixer;
};

TEST_F(SoundOptionsTest, ThePageShowsTheFirstLineAndWritesTheChosenOne) {
  SoundOptions sound(options, mixer);
  EXPECT_EQ(Option("ComboBoxMixer").Items(), Items{"Fake Mixer"});
  EXPECT_EQ(Option("ComboBoxMixer").Index(), 0);
  EXPECT_EQ(Option("ComboBox1").Items(), (Items{"Speakers", "Capture"}));
  EXPECT_EQ(Option("ComboBox1").Index(), 0);
  EXPECT_EQ(Option("ComboBoxVolume").Items(), (Items{"Speakers", "Music", "Browser"}));
  EXPECT_EQ(Option("ComboBoxVolume").Index(), 0);
  EXPECT_EQ(Option("TrackBar").Index(), 30000);
  EXPECT_FALSE(Option("CheckBox").Checked());

  // Destination = ComboBox1, connection = ComboBoxVolume - 1.
  sound.VolumeControlChosen(2);
  EXPECT_EQ(Option("TrackBar").Index(), 1000);
  EXPECT_TRUE(Option("CheckBox").Checked());
  EXPECT_TRUE(mixer.writes.empty());  // showing a line writes nothing
  sound.TrackBarMoved(4000);
  Option("CheckBox").Click();
  EXPECT_EQ(mixer.writes, (std::vector<FakeMixer::Write>{{0, 1, 4000, 4000, 1}, {0, 1, 4000, 4000, 0}}));

  // A change from another program is shown, not written back.
  mixer.destinations[0].connections[1].volume = test::StereoLine(222, 333, 1);
  mixer.controlChanged();
  EXPECT_EQ(Option("TrackBar").Index(), 222);
  EXPECT_TRUE(Option("CheckBox").Checked());
  EXPECT_EQ(mixer.writes.size(), 2u);
}

TEST_F(SoundOptionsTest, ASourceWithoutMuteShowsItsSelection) {
  SoundOptions sound(options, mixer);
  sound.DestinationChosen(1);
  EXPECT_EQ(Option("ComboBoxVolume").Items(), (Items{"Capture", "Microphone", "Line In"}));
  sound.VolumeControlChosen(2);
  EXPECT_FALSE(Option("CheckBox").Checked());
  Option("CheckBox").Click();
  EXPECT_EQ(mixer.writes.back(), (FakeMixer::Write{1, 1, 6000, 6000, 1}));
  sound.VolumeControlChosen(1);
  EXPECT_FALSE(Option("CheckBox").Checked());  // the microphone is no longer selected

  // Controls a line does not have are hidden with their labels.
  mixer.destinations[1].connections[0].volume.volumeDisabled = true;
  mixer.destinations[1].connections[0].volume.muteDisabled = true;
  sound.VolumeControlChosen(1);
  for (const char* name : {"TrackBar", "Label1", "CheckBox", "Label2"})
    EXPECT_FALSE(Option(name).Visible()) << name;
  sound.VolumeControlChosen(2);
  for (const char* name : {"TrackBar", "Label1", "CheckBox", "Label2"})
    EXPECT_TRUE(Option(name).Visible()) << name;
}

TEST_F(SoundOptionsTest, LinesThatComeAndGoKeepTheChosenOne) {
  SoundOptions sound(options, mixer);
  sound.VolumeControlChosen(2);  // "Browser"
  mixer.destinations[0].connections.erase(mixer.destinations[0].connections.begin());
  mixer.destinations[0].connections.push_back({"Tagmora", test::StereoLine(7, 7, 0)});
  mixer.linesChanged();
  EXPECT_EQ(Option("ComboBoxVolume").Items(), (Items{"Speakers", "Browser", "Tagmora"}));
  EXPECT_EQ(Option("ComboBoxVolume").Index(), 1);
  EXPECT_EQ(Option("TrackBar").Index(), 1000);
  // The chosen line went away: back to the destination itself.
  mixer.destinations[0].connections.erase(mixer.destinations[0].connections.begin());
  mixer.linesChanged();
  EXPECT_EQ(Option("ComboBoxVolume").Index(), 0);
  EXPECT_EQ(Option("TrackBar").Index(), 30000);
}

TEST_F(SoundOptionsTest, WithoutAMixerThePageSaysSoAndDoesNothing) {
  mixer.devices = 0;
  mixer.id = -1;
  mixer.destinations.clear();
  SoundOptions sound(options, mixer);
  EXPECT_EQ(Option("ComboBoxMixer").Items(), Items{"No mixer present in the system !"});
  EXPECT_EQ(Option("ComboBoxMixer").Index(), 0);
  sound.MixerChosen(0);
  EXPECT_EQ(Option("ComboBoxMixer").Items().size(), 1u);
  EXPECT_TRUE(Option("ComboBox1").Items().empty());
  sound.TrackBarMoved(100);
  Option("CheckBox").Click();
  EXPECT_TRUE(mixer.writes.empty());
  EXPECT_FALSE(sound.LineChosen());
  EXPECT_FALSE(Option("TrackBar").Enabled());
}

}  // namespace
}  // namespace tagmora
