#include <gtest/gtest.h>

#include "player/PulseMixer.h"

namespace tagmora {
namespace {

TEST(PulseVolumeTest, EveryVolumeSetIsReadBackExactly) {
  for (int volume = 0; volume <= kMaxVolume; ++volume)
    ASSERT_EQ(FromPulseVolume(ToPulseVolume(volume)), volume);
  EXPECT_EQ(ToPulseVolume(kMaxVolume), 65536u);
  EXPECT_EQ(ToPulseVolume(0), 0u);
  EXPECT_EQ(FromPulseVolume(3 * 65536), kMaxVolume);  // louder than 100 %
}

}  // namespace
}  // namespace tagmora
