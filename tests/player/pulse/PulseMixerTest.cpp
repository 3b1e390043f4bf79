// The mixer against the private sound server that WithPulse.sh starts:
// sinks "First" (the default) and "Second", the source "Microphone", and
// "first.monitor" as the default source.

#include "player/PulseMixer.h"

#include <cstdlib>

#include "app/MainWindowModel.h"
#include "player/PlayerFakes.h"
#include "player/SdlMediaBackend.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

std::string Pactl(const std::string& arguments) {
  return test::RunCommand("pactl " + arguments + " 2>&1").output;
}

class PulseMixerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mixer.DeviceCount(), 1) << "no sound server at " << std::getenv("PULSE_SERVER");
    mixer.SetChangeHandlers([this] { ++controlChanges; }, [this] { ++lineChanges; });
  }
  LineVolume Read(int destination, int connection) {
    LineVolume line;
    EXPECT_TRUE(mixer.ReadLineVolume(destination, connection, line));
    return line;
  }

  test::FakePoster poster;
  PulseMixer mixer{poster};
  int controlChanges = 0, lineChanges = 0;
};

TEST_F(PulseMixerTest, SinksAndTheCaptureLineWithTheirVolumesAndMute) {
  EXPECT_EQ(mixer.MixerId(), 0);
  EXPECT_EQ(mixer.ProductName().rfind("pulseaudio ", 0), 0u) << mixer.ProductName();
  ASSERT_EQ(mixer.DestinationCount(), 3);
  EXPECT_EQ(mixer.DestinationName(0), "First");
  EXPECT_EQ(mixer.DestinationName(1), "Second");
  EXPECT_EQ(mixer.DestinationName(2), "Capture");
  EXPECT_EQ(mixer.ConnectionCount(1), 0);
  ASSERT_EQ(mixer.ConnectionCount(2), 1);  // monitors are not sources of their own
  EXPECT_EQ(mixer.ConnectionName(2, 0), "Microphone");

  ASSERT_TRUE(mixer.WriteLineVolume(1, -1, 12345, 40000, 1));
  EXPECT_EQ(Read(1, -1), (LineVolume{12345, 40000, 1, true, false, false, false}));
  const std::string volume = Pactl("get-sink-volume second");
  EXPECT_NE(volume.find("front-left: 12345 "), std::string::npos) << volume;
  EXPECT_NE(volume.find("front-right: " + std::to_string(ToPulseVolume(40000)) + " "),
            std::string::npos)
      << volume;
  EXPECT_EQ(Pactl("get-sink-mute second"), "Mute: yes\n");
  // -1 keeps a part; a right of -1 takes the left.
  ASSERT_TRUE(mixer.WriteLineVolume(1, -1, -1, -1, 0));
  EXPECT_EQ(Read(1, -1), (LineVolume{12345, 40000, 0, true, false, false, false}));
  ASSERT_TRUE(mixer.WriteLineVolume(1, -1, 65535, -1, -1));
  EXPECT_EQ(Read(1, -1), (LineVolume{65535, 65535, 0, true, false, false, false}));
  // The other sink is untouched.
  EXPECT_EQ(Read(0, -1).left, 65535);

  LineVolume none;
  EXPECT_FALSE(mixer.ReadLineVolume(1, 0, none));
  EXPECT_EQ(none, LineVolume{});
  EXPECT_FALSE(mixer.WriteLineVolume(3, -1, 1, 1, 0));
}

TEST_F(PulseMixerTest, ChangesByOtherProgramsAreReported) {
  Pactl("set-sink-volume first 20000");
  ASSERT_TRUE(test::ServeUntil(poster, [&] { return controlChanges > 0; }));
  EXPECT_EQ(Read(0, -1).left, 20000);
  EXPECT_EQ(lineChanges, 0);

  // The capture line's sources show whether they are the one that records.
  EXPECT_EQ(Read(2, 0), (LineVolume{65535, 65535, 0, true, false, false, true}));
  ASSERT_TRUE(mixer.WriteLineVolume(2, 0, -1, -1, 1));
  EXPECT_EQ(Pactl("get-default-source"), "microphone\n");
  EXPECT_EQ(Read(2, 0).mute, 1);
  ASSERT_TRUE(mixer.WriteLineVolume(2, -1, 30000, 30000, 1));
  EXPECT_EQ(Pactl("get-source-mute microphone"), "Mute: yes\n");
}

TEST_F(PulseMixerTest, AStreamPlayingIntoASinkIsOneOfItsLines) {
  test::TempDir dir;
  ::setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
  test::MakeMp3(dir / "tone.mp3", 2.0);
  test::FakeUser user;
  MainWindowModel model(user, poster, dir.Path(), dir.Path());
  SdlMediaBackend media(poster, model.Errors());
  ASSERT_TRUE(media.Open(dir / "tone.mp3")) << media.ErrorText();
  ASSERT_TRUE(media.Play());
  ASSERT_TRUE(test::ServeUntil(poster, [&] { return mixer.ConnectionCount(0) == 1; }));
  EXPECT_GT(lineChanges, 0);
  EXPECT_EQ(mixer.ConnectionName(0, 0), "Tagmora");
  EXPECT_EQ(model.Errors().Count(), 0u);
  ASSERT_TRUE(mixer.WriteLineVolume(0, 0, 30000, 20000, 0));
  EXPECT_EQ(Read(0, 0), (LineVolume{30000, 20000, 0, true, false, false, false}));
  media.Close();
  EXPECT_TRUE(test::ServeUntil(poster, [&] { return mixer.ConnectionCount(0) == 0; }));
}

}  // namespace
}  // namespace tagmora
