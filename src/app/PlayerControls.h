#pragma once
// The named controls of the player group on the "Mp3 Player - MPEG info"
// page and of the options dialog's "Sound" page, with the skin's geometry.
// The main window holds them, so that the settings file finds them whether
// or not a player is attached; the player model gives them their commands.

#include <array>

namespace tagmora {

class ControlSet;

// The skin's picture buttons and knobs, in the order they lie on top of
// each other. Each has an image list: 0 normal, 1 hover, 2 pressed (for
// shuffle and repeat 2 also shows the mode on). A knob's control keeps the
// x of its left edge as its index.
enum SkinImage {
  kImagePrev, kImagePause, kImageShuffle, kImagePlay, kImageRepeat, kImageStop, kImageNext,
  kImageScrollPosition, kImageScrollVolume, kSkinImageCount
};
struct SkinImageInfo {
  const char* name;
  int width, height;
  int left, top;  // inside the player group; a knob's left is where it starts
  const char* hint;
};
inline constexpr std::array<SkinImageInfo, kSkinImageCount> kSkinImages = {{
    {"Image_Prev", 34, 34, 12, 131, "Previous"},
    {"Image_Pause", 40, 40, 38, 155, "Pause"},
    {"Image_Shuffle", 44, 24, 59, 146, "Shuffle: OFF"},
    {"Image_Play", 50, 50, 78, 162, "Play"},
    {"Image_Repeat", 44, 24, 102, 147, "Repeat: OFF"},
    {"Image_Stop", 40, 40, 128, 155, "Stop"},
    {"Image_Next", 34, 34, 160, 131, "Next"},
    {"Image_ScrollPosition", 30, 15, 17, 111, "Position: 0 %"},
    {"Image_ScrollVolume", 30, 15, 85, 130, "Volume: 50%"},
}};
inline constexpr int kPictureNormal = 0;
inline constexpr int kPictureHover = 1;
inline constexpr int kPicturePressed = 2;

// The background picture "ImagePlayerBack" and the two displays.
struct SkinRect {
  int left, top, width, height;
};
inline constexpr SkinRect kPlayerBack = {3, 13, 200, 200};
inline constexpr SkinRect kLabelTimeRect = {52, 19, 100, 29};
inline constexpr SkinRect kLabelTrackRect = {21, 45, 160, 65};

// The knobs' ranges: the x of the left edge, inside the player group.
inline constexpr int kPositionTrackMin = 17;
inline constexpr int kPositionTrackMax = 189 - kSkinImages[kImageScrollPosition].width;  // 159
inline constexpr int kVolumeTrackMin = 50;
inline constexpr int kVolumeTrackMax = 150 - kSkinImages[kImageScrollVolume].width;  // 120

// The player group's controls go to the main window, the "Sound" page's to
// the options dialog.
void AddPlayerControls(ControlSet& main, ControlSet& options);

}  // namespace tagmora
