#include "player/Player.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "player/MediaBackend.h"
#include "player/SoundOptions.h"
#include "playlist/Playlist.h"

namespace tagmora {

namespace {

constexpr const char* kNoMixerChosen =
    "NO mixer is selected in the Options panel! Please select one first!";

// A knob at x as a percentage of its range, and back.
double Percent(int x, int min, int max) { return (x - min) * 100.0 / (max - min); }
int KnobX(double percent, int min, int max) {
  return static_cast<int>(std::trunc(min + (max - min) * percent / 100));
}
std::string Truncated(double value) { return std::to_string(static_cast<int64_t>(std::trunc(value))); }

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string FormatPlayTime(int64_t ms) {
  const int64_t a = ms / 600000;
  const int64_t b = ms / 60000 - 10 * a;
  const int64_t r = ms - 600000 * a - 60000 * b;
  const int64_t c = r / 10000;
  const int64_t d = r / 1000 - 10 * c;
  return std::to_string(a) + std::to_string(b) + ":" + std::to_string(c) + std::to_string(d);
}

Player::Player(MainWindowModel& window, MediaBackend& media, SoundOptions& sound)
    : window_(window),
      controls_(window.Controls()),
      media_(media),
      sound_(sound),
      generator_(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())) {
  Image(kImagePrev).OnClick([this] { Previous(); });
  Image(kImagePause).OnClick([this] { Pause(); });
  Image(kImagePlay).OnClick([this] { Play(); });
  Image(kImageStop).OnClick([this] { Stop(); });
  Image(kImageNext).OnClick([this] { Next(); });
  // The modes are the images' check marks: a click or the settings file
  // changes the mark, and the command shows it.
  Image(kImageShuffle).OnClick([this] { ModeToggled(kImageShuffle, "Shuffle: "); });
  Image(kImageRepeat).OnClick([this] { ModeToggled(kImageRepeat, "Repeat: "); });
  media_.SetEndHandler([this] { Ended(); });
  ScheduleRepaint();
}

Player::~Player() {
  for (int image = 0; image < kSkinImageCount; ++image)
    Image(static_cast<SkinImage>(image)).OnClick({});
  media_.SetEndHandler({});
  Stop();
  if (window_.Player() == this) window_.SetPlayer(nullptr);
}

bool Player::Shuffle() const { return controls_["Image_Shuffle"].Checked(); }
bool Player::Repeat() const { return controls_["Image_Repeat"].Checked(); }

int Player::RestingPicture(SkinImage image) const {
  if ((image == kImageShuffle && Shuffle()) || (image == kImageRepeat && Repeat()))
    return kPicturePressed;
  return kPictureNormal;
}

void Player::Rest(SkinImage image) {
  if (image != kImageEmpty) Image(image).SetImage(RestingPicture(image));
}

void Player::Hover(SkinImage image) {
  if (image == hover_) return;
  Rest(hover_);
  Image(image).SetImage(kPictureHover);
  hover_ = image;
}

void Player::PointerOffImages() {
  Rest(hover_);
  hover_ = kImageEmpty;
}

void Player::ModeToggled(SkinImage image, const char* caption) {
  Control& control = Image(image);
  control.SetHint(std::string(caption) + (control.Checked() ? "ON" : "OFF"));
  if (image != hover_) Rest(image);
}

// --- Playing ---------------------------------------------------------------

void Player::Play() {
  Playlist& list = window_.PlayList();
  const int count = list.Count();
  if (count == 0) return;
  int focus = list.Focus();
  if (focus < 0 || focus >= count) {
    focus = 0;
    list.SetFocus(0);
  }
  if (!list.IsSelected(focus)) {
    list.SelectNone();
    list.SetSelected(focus, true);
  }
  Stop();
  const std::string path = list.Item(focus);
  if (!media_.Open(path) || !media_.Play()) {
    const std::string reason = media_.ErrorText();
    media_.Close();
    window_.Errors().AddError("Mp3 Player error: " + reason, path, true);
    return;
  }
  trackOpen_ = true;
  StartPositionTimer();
  Control& track = controls_["LabelTrack"];
  track.SetCaption("    " + std::to_string(focus + 1) + ". " + FileNameOf(path) + " ^ " +
                   FormatPlayTime(media_.Length()));
  track.SetHint(path);
  Tick(false);
}

void Player::Stop() {
  if (!trackOpen_) return;
  StopPositionTimer();
  controls_["LabelTime"].SetCaption("00:00");
  controls_["LabelTrack"].SetCaption("No Track");
  controls_["LabelTrack"].SetHint("");
  media_.Stop();
  trackOpen_ = false;
  media_.Close();
  PlacePositionKnob(kPositionTrackMin);
  // A knob back at the start does not keep the last track's percentage.
  Image(kImageScrollPosition).SetHint("Position: 0 %");
}

void Player::Pause() {
  if (!trackOpen_) return;
  if (media_.Mode() == MediaMode::Playing)
    media_.Pause();
  else if (media_.Mode() == MediaMode::Paused)
    media_.Resume();
}

void Player::Next() { Move(+1); }
void Player::Previous() { Move(-1); }

void Player::Move(int step) {
  Playlist& list = window_.PlayList();
  const int count = list.Count();
  if (count == 0) return;
  const int before = list.Focus();
  int focus = before;
  if (Shuffle()) {
    generator_.seed(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    focus = random_ ? random_(count) : std::uniform_int_distribution<int>(0, count - 1)(generator_);
  } else if (step > 0) {
    if (focus + 1 < count)
      focus = focus + 1;
    else if (Repeat())
      focus = 0;
  } else if (focus > 0) {
    focus = focus - 1;
  }
  list.SetFocus(focus);
  list.SelectNone();
  list.SetSelected(focus, true);
  if (playlistClick_) playlistClick_();
  if (trackOpen_ && focus != before) Play();
}

std::string Player::TrackFile() const { return trackOpen_ ? media_.FileName() : std::string(); }

int64_t Player::PositionMs() const { return trackOpen_ ? media_.Position() : 0; }

void Player::Seek(int64_t ms) {
  if (!trackOpen_) return;
  media_.Seek(ms);
  media_.Play();
  Tick(false);
}

// --- Position ----------------------------------------------------------------

void Player::PositionTick() { Tick(true); }

void Player::Tick(bool mayEnd) {
  if (media_.FileName().empty()) return;
  const int64_t position = media_.Position();
  const int64_t length = media_.Length();
  if (position < length) {
    const double percent = position * 100.0 / length;
    PlacePositionKnob(KnobX(percent, kPositionTrackMin, kPositionTrackMax));
    Image(kImageScrollPosition).SetHint("Position: " + Truncated(percent) + " %");
    controls_["LabelTime"].SetCaption(FormatPlayTime(position));
    return;
  }
  // Play's own tick leaves the end to the timer, so that a track shorter
  // than the device's buffer cannot start the next one from inside Play.
  if (!mayEnd) return;
  Stop();
  Next();
  Play();
}

void Player::Ended() {
  // While the knob is held the timer is off, and so is the end.
  if (trackOpen_ && positionTimerOn_) PositionTick();
}

void Player::StartPositionTimer() {
  positionTimerOn_ = true;
  SchedulePositionTick(++positionTimer_);
}

void Player::SchedulePositionTick(uint64_t timer) {
  window_.Posts().PostDelayed(kPositionTimerMs, guard_.Wrap([this, timer] {
    if (timer != positionTimer_) return;
    PositionTick();
    if (timer == positionTimer_) SchedulePositionTick(timer);
  }));
}

void Player::PlacePositionKnob(int x) {
  Image(kImageScrollPosition).SetIndex(x);
  controls_["LabelPositionPercent"].SetVisible(false);
}

double Player::PositionPercent() {
  return Percent(Image(kImageScrollPosition).Index(), kPositionTrackMin, kPositionTrackMax);
}

void Player::DragPositionKnob(int x) {
  if (!trackOpen_) return;
  x = std::max(std::min(x, kPositionTrackMax), kPositionTrackMin);
  Image(kImageScrollPosition).SetIndex(x);
  const double percent = PositionPercent();
  controls_["LabelTime"].SetCaption(
      FormatPlayTime(static_cast<int64_t>(std::trunc(media_.Length() * percent / 100))));
  const std::string text = Truncated(percent) + "%";
  Control& label = controls_["LabelPositionPercent"];
  label.SetCaption(text);
  label.SetVisible(true);
  Image(kImageScrollPosition).SetHint("Position: " + text);
}

void Player::ReleasePositionKnob() {
  Rest(kImageScrollPosition);
  hover_ = kImageEmpty;
  if (!trackOpen_) return;
  media_.Seek(static_cast<int64_t>(std::trunc(media_.Length() * PositionPercent() / 100)));
  StartPositionTimer();
  media_.Play();
}

// --- Volume knob -------------------------------------------------------------

void Player::MoveVolumeKnob(int x) {
  if (sound_.DeviceCount() <= 0) return;
  x = std::max(std::min(x, kVolumeTrackMax), kVolumeTrackMin);
  Image(kImageScrollVolume).SetIndex(x);
  const double percent = Percent(x, kVolumeTrackMin, kVolumeTrackMax);
  if (sound_.LineChosen())
    sound_.WriteChosenVolume(static_cast<int>(std::trunc(percent * kMaxVolume / 100)));
  else
    window_.Errors().AddError(kNoMixerChosen, "", true);
  const std::string text = Truncated(percent);
  Control& label = controls_["LabelVolumePercent"];
  label.SetCaption(text);
  Image(kImageScrollVolume).SetHint("Volume: " + text);
  label.SetVisible(true);
}

void Player::ReleaseVolumeKnob() {
  Rest(kImageScrollVolume);
  hover_ = kImageEmpty;
  const uint64_t timer = ++hideVolumeTimer_;
  window_.Posts().PostDelayed(kHideVolumeTimerMs, guard_.Wrap([this, timer] {
    if (timer == hideVolumeTimer_) controls_["LabelVolumePercent"].SetVisible(false);
  }));
}

void Player::SoundSettingsLoaded() {
  sound_.SettingsLoaded();
  LineVolume line;
  // Without a mixer, or without a readable line, the knob stays.
  if (sound_.DeviceCount() <= 0 || !sound_.ReadChosenLine(line) || line.right < 0) return;
  const double percent = line.right * 100.0 / kMaxVolume;
  Image(kImageScrollVolume).SetIndex(KnobX(percent, kVolumeTrackMin, kVolumeTrackMax));
  const std::string text = Truncated(percent);
  controls_["LabelVolumePercent"].SetCaption(text);
  Image(kImageScrollVolume).SetHint("Volume: " + text);
}

// --- The mouse ---------------------------------------------------------------

void Player::MouseDown(SkinImage image, int x) {
  Image(image).SetImage(kPicturePressed);
  if (image == kImageScrollPosition) {
    positionDragX_ = x;
    StopPositionTimer();
  } else if (image == kImageScrollVolume) {
    volumeDragX_ = x;
  }
}

void Player::MouseMove(SkinImage image, int x, bool leftButton) {
  const bool knob = image == kImageScrollPosition || image == kImageScrollVolume;
  if (!knob || !leftButton) {
    Hover(image);
  } else if (image == kImageScrollPosition) {
    DragPositionKnob(Image(image).Index() + x - positionDragX_);
  } else {
    MoveVolumeKnob(Image(image).Index() + x - volumeDragX_);
  }
}

void Player::MouseUp(SkinImage image) {
  if (image == kImageScrollPosition) {
    ReleasePositionKnob();
  } else if (image == kImageScrollVolume) {
    ReleaseVolumeKnob();
  } else {
    // An image with a mode rests showing it.
    Rest(image);
    hover_ = kImageEmpty;
  }
}

void Player::BackgroundClick(int x, int y) {
  // A band lies strictly inside the knob's range and row, as seen from
  // the background; the knob's centre goes to the click.
  auto inBand = [x, y](SkinImage knob, int min, int max) {
    const SkinImageInfo& info = kSkinImages[knob];
    const int top = info.top - kPlayerBack.top - 2;
    return x > min - kPlayerBack.left && x < max - kPlayerBack.left + info.width && y > top &&
           y < top + info.height;
  };
  auto centredAt = [x](SkinImage knob) { return x + kPlayerBack.left - kSkinImages[knob].width / 2; };
  if (inBand(kImageScrollPosition, kPositionTrackMin, kPositionTrackMax)) {
    positionDragX_ = Image(kImageScrollPosition).Index();
    DragPositionKnob(centredAt(kImageScrollPosition));
    ReleasePositionKnob();
  } else if (inBand(kImageScrollVolume, kVolumeTrackMin, kVolumeTrackMax)) {
    volumeDragX_ = Image(kImageScrollVolume).Index();
    MoveVolumeKnob(centredAt(kImageScrollVolume));
    ReleaseVolumeKnob();
  }
}

void Player::Wheel(int notches, bool middleButton) {
  if (notches == 0) return;
  if (middleButton) {
    DragPositionKnob(Image(kImageScrollPosition).Index() + 2 * notches);
    ReleasePositionKnob();
  } else {
    MoveVolumeKnob(Image(kImageScrollVolume).Index() + notches);
    ReleaseVolumeKnob();
  }
}

void Player::ScheduleRepaint() {
  window_.Posts().PostDelayed(kRepaintTimerMs, guard_.Wrap([this] {
    if (hover_ != kImageEmpty && pointerInWindow_ && !pointerInWindow_()) PointerOffImages();
    ScheduleRepaint();
  }));
}

}  // namespace tagmora
