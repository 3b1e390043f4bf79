#pragma once
// The player of the "Mp3 Player - MPEG info" page. It plays the playlist's
// items one at a time through a media back end and owns the play order
// (next, previous, shuffle, repeat, the end of a track), the position
// display and seeking, the skin's picture states, and the volume knob,
// which sets the volume of the mixer line chosen on the "Sound" page.
// Everything runs on the user-interface thread.

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "app/MainWindowModel.h"
#include "app/PlayerControls.h"
#include "app/Poster.h"

namespace tagmora {

class MediaBackend;
class SoundOptions;

// m milliseconds as minutes and seconds, "mm:ss"; minutes go past 59.
std::string FormatPlayTime(int64_t ms);

inline constexpr int kPositionTimerMs = 500;
inline constexpr int kRepaintTimerMs = 3000;
inline constexpr int kHideVolumeTimerMs = 1000;
// HoverImage's "none": the invisible placeholder.
inline constexpr SkinImage kImageEmpty = kSkinImageCount;

class Player : public PlayerCommands {
 public:
  // The controls are the main window's (AddPlayerControls); the player
  // gives the picture buttons their commands.
  Player(MainWindowModel& window, MediaBackend& media, SoundOptions& sound);
  ~Player() override;
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  void Play() override;
  void Pause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  bool TrackOpen() const override { return trackOpen_; }
  std::string TrackFile() const override;
  int64_t PositionMs() const override;
  // Goes to a position of the open track and plays on from there.
  void Seek(int64_t ms) override;
  void SoundSettingsLoaded() override;

  bool Shuffle() const;
  bool Repeat() const;
  // The position timer's work.
  void PositionTick();

  // The mouse on a picture button or knob; x is inside the image.
  void MouseDown(SkinImage image, int x);
  void MouseMove(SkinImage image, int x, bool leftButton);
  void MouseUp(SkinImage image);
  // A click on the background picture, relative to it.
  void BackgroundClick(int x, int y);
  // The pointer moves, without the left button, over the window's, the
  // player's or the page's background.
  void PointerOffImages();
  // The wheel over the player page; notches above 0 turn it up.
  void Wheel(int notches, bool middleButton);

  SkinImage HoverImage() const { return hover_; }
  // Tells the repaint timer whether the pointer is inside the main window.
  void SetPointerInWindow(std::function<bool()> inside) { pointerInWindow_ = std::move(inside); }
  // The playlist's single-click action (the tag editor shows the focused
  // file), which Next and Previous run.
  void SetPlaylistClickAction(std::function<void()> action) { playlistClick_ = std::move(action); }
  // Picks the shuffled position from 0 to count - 1.
  void SetRandom(std::function<int(int count)> random) { random_ = std::move(random); }

 private:
  Control& Image(SkinImage image) { return controls_[kSkinImages[image].name]; }
  int RestingPicture(SkinImage image) const;
  void Rest(SkinImage image);
  void Hover(SkinImage image);
  void ModeToggled(SkinImage image, const char* caption);
  void Move(int step);
  void Tick(bool mayEnd);
  void Ended();
  void PlacePositionKnob(int x);
  void DragPositionKnob(int x);
  void ReleasePositionKnob();
  void MoveVolumeKnob(int x);
  void ReleaseVolumeKnob();
  double PositionPercent();
  void StartPositionTimer();
  void StopPositionTimer() { ++positionTimer_; positionTimerOn_ = false; }
  void SchedulePositionTick(uint64_t timer);
  void ScheduleRepaint();

  MainWindowModel& window_;
  ControlSet& controls_;
  MediaBackend& media_;
  SoundOptions& sound_;
  bool trackOpen_ = false;
  int positionDragX_ = 0;
  int volumeDragX_ = 0;
  SkinImage hover_ = kImageEmpty;
  // Each start of a timer makes the earlier one's ticks void.
  uint64_t positionTimer_ = 0;
  bool positionTimerOn_ = false;
  uint64_t hideVolumeTimer_ = 0;
  std::function<bool()> pointerInWindow_;
  std::function<void()> playlistClick_;
  std::function<int(int)> random_;
  std::minstd_rand generator_;
  PostGuard guard_;
};

}  // namespace tagmora
