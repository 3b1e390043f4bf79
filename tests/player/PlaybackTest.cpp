// Real playback, no fakes: MP3 files made by sox and lame, decoded by
// libmpg123 and played through SDL2's "dummy" and "disk" drivers.

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "app/Fakes.h"
#include "app/MainWindowModel.h"
#include "player/Player.h"
#include "player/PlayerFakes.h"
#include "player/SdlMediaBackend.h"
#include "player/SoundOptions.h"
#include "playlist/Playlist.h"
#include "support/TestSupport.h"

namespace tagmora {
namespace {

using namespace std::chrono_literals;

void Wait(std::chrono::milliseconds time) { std::this_thread::sleep_for(time); }

class PlaybackTest : public ::testing::Test {
 protected:
  PlaybackTest() : model(user, poster, dir.Path(), dir.Path()), media(poster, model.Errors()) {
    poster.Advance(1);
  }
  static void UseDriver(const char* driver) { ::setenv("SDL_AUDIODRIVER", driver, 1); }
  bool ServeUntil(const std::function<bool()>& done) { return test::ServeUntil(poster, done); }

  test::TempDir dir;
  test::FakeUser user;
  test::FakePoster poster;
  MainWindowModel model;
  SdlMediaBackend media;
};

TEST_F(PlaybackTest, ThePositionFollowsPlayingPausingAndSeekingAndTheEndMovesOn) {
  UseDriver("dummy");
  test::MakeMp3(dir / "one.mp3", 2.0);
  test::MakeMp3(dir / "two.mp3", 2.0);
  test::FakeMixer mixer;
  SoundOptions sound(model.OptionsControls(), mixer);
  Player player(model, media, sound);
  model.PlayList().AppendAll({dir / "one.mp3", dir / "two.mp3"});

  player.Play();
  ASSERT_TRUE(player.TrackOpen()) << model.Errors().Entry(0).message;
  EXPECT_EQ(model.Controls()["LabelTrack"].Caption(), "    1. one.mp3 ^ 00:02");
  EXPECT_NEAR(static_cast<double>(media.Length()), 2000, 60);
  ASSERT_TRUE(ServeUntil([&] { return player.PositionMs() >= 300; }));

  player.Pause();
  EXPECT_EQ(media.Mode(), MediaMode::Paused);
  const int64_t paused = player.PositionMs();
  Wait(400ms);
  EXPECT_EQ(player.PositionMs(), paused);

  player.Pause();
  player.Seek(1500);
  EXPECT_GE(player.PositionMs(), 1500);
  EXPECT_EQ(media.Mode(), MediaMode::Playing);
  ASSERT_TRUE(ServeUntil([&] { return player.TrackFile() == dir / "two.mp3"; }));
  EXPECT_EQ(model.PlayList().Focus(), 1);
  EXPECT_EQ(model.Controls()["LabelTrack"].Caption(), "    2. two.mp3 ^ 00:02");
  EXPECT_LT(player.PositionMs(), 1500);
  EXPECT_EQ(model.Errors().Count(), 0u);
}

// Frames of 16-bit stereo: the loudness of each 20 ms block, or -1 for
// exact silence.
std::vector<double> Blocks(const std::string& raw, int rate) {
  const size_t block = static_cast<size_t>(rate / 50) * 4;
  std::vector<double> blocks;
  for (size_t at = 0; at + block <= raw.size(); at += block) {
    double sum = 0;
    bool silent = true;
    for (size_t i = at; i < at + block; i += 2) {
      const int16_t sample = static_cast<int16_t>(static_cast<uint8_t>(raw[i]) |
                                                  static_cast<uint8_t>(raw[i + 1]) << 8);
      silent = silent && sample == 0;
      sum += double(sample) * sample;
    }
    blocks.push_back(silent ? -1 : std::sqrt(sum / (block / 2)));
  }
  return blocks;
}

TEST_F(PlaybackTest, TheDeviceGetsSoundWhilePlayingAndSilenceWhilePaused) {
  UseDriver("disk");
  ::setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
  test::MakeMp3(dir / "tone.mp3", 2.0);
  ASSERT_TRUE(media.Open(dir / "tone.mp3")) << media.ErrorText();
  ASSERT_TRUE(media.Play());
  Wait(500ms);
  ASSERT_TRUE(media.Pause());
  Wait(600ms);
  ASSERT_TRUE(media.Resume());
  Wait(500ms);
  media.Close();

  const std::vector<double> blocks = Blocks(test::ReadFile(dir / "out.raw"), 44100);
  // The longest run of silence is the pause, with the tone on both sides.
  size_t runStart = 0, runLength = 0;
  for (size_t i = 0; i < blocks.size();) {
    size_t j = i;
    while (j < blocks.size() && blocks[j] < 0) ++j;
    if (j - i > runLength) runStart = i, runLength = j - i;
    i = j + 1;
  }
  EXPECT_GE(runLength, 15u) << "no pause of 300 ms in " << blocks.size() << " blocks";
  auto loud = [](double rms) { return rms > 5000; };
  EXPECT_TRUE(std::any_of(blocks.begin(), blocks.begin() + runStart, loud));
  EXPECT_TRUE(std::any_of(blocks.begin() + runStart + runLength, blocks.end(), loud));
  EXPECT_EQ(model.Errors().Count(), 0u);
}

TEST_F(PlaybackTest, WithoutAudioOutputTheTrackPlaysSilentlyAndSaysSoOnce) {
  // A sound server that is not there.
  UseDriver("pulseaudio");
  ::setenv("PULSE_SERVER", ("unix:" + dir / "no-server").c_str(), 1);
  test::MakeMp3(dir / "tone.mp3", 2.0);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(media.Open(dir / "tone.mp3")) << media.ErrorText();
    ASSERT_TRUE(media.Play());
    ASSERT_TRUE(ServeUntil([&] { return media.Position() >= 200; }));
    media.Close();
  }
  ASSERT_EQ(model.Errors().Count(), 1u);
  EXPECT_EQ(model.Errors().Entry(0).message.rfind(
                "Mp3 Player error: No audio output is available, the player plays without sound", 0),
            0u)
      << model.Errors().Entry(0).message;
  EXPECT_TRUE(user.boxes.empty());
}

TEST_F(PlaybackTest, FilesThatAreNotMpegAudioAreRefused) {
  UseDriver("dummy");
  test::WriteFile(dir / "text.mp3", std::string(5000, 'x'));
  EXPECT_FALSE(media.Open(dir / "text.mp3"));
  EXPECT_EQ(media.ErrorText().rfind("The file holds no MPEG audio that can be played", 0), 0u)
      << media.ErrorText();
  EXPECT_EQ(media.Mode(), MediaMode::NotOpen);
  EXPECT_FALSE(media.Open(dir / "missing.mp3"));
  EXPECT_EQ(media.ErrorText(), "The file cannot be opened: No such file or directory");
  EXPECT_EQ(media.FileName(), "");
}

}  // namespace
}  // namespace tagmora
