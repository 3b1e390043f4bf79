#include "player/SdlMediaBackend.h"

#include <SDL.h>
#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "app/ErrorList.h"
#include "platform/FileSystem.h"

namespace tagmora {

namespace {

constexpr int kDeviceSamples = 2048;

void StartDecoderLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

std::string DecoderText(mpg123_handle* decoder) {
  return decoder ? mpg123_strerror(decoder) : "the decoder could not be created";
}

}  // namespace

SdlMediaBackend::SdlMediaBackend(Poster& poster, ErrorList& errors)
    : poster_(poster), errors_(errors) {}

SdlMediaBackend::~SdlMediaBackend() {
  // Closing the device waits for SDL's audio thread, which may still post.
  Close();
  if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlMediaBackend::Fail(std::string text) {
  Close();
  error_ = std::move(text);
  return false;
}

bool SdlMediaBackend::Open(const std::string& path) {
  Close();
  error_.clear();
  StartDecoderLibrary();
  int code = MPG123_OK;
  decoder_ = mpg123_new(nullptr, &code);
  if (!decoder_) return Fail(std::string("The decoder could not start: ") + mpg123_plain_strerror(code));
  mpg123_param(decoder_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Every rate and channel count, always as 16-bit samples.
  mpg123_format_none(decoder_);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i)
    mpg123_format(decoder_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

  errno = 0;
  if (mpg123_open(decoder_, path.c_str()) != MPG123_OK) {
    const int error = errno;
    return Fail("The file cannot be opened: " +
                (error ? SystemErrorText(error) : DecoderText(decoder_)));
  }
  // Opening succeeds on any bytes; only a first frame shows MPEG audio.
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(decoder_, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
      channels <= 0)
    return Fail("The file holds no MPEG audio that can be played (" + DecoderText(decoder_) + ")");
  // Without a scan a VBR file without a Xing header reports a fraction of
  // its length; the scan returns to where it began.
  mpg123_scan(decoder_);
  const off_t length = mpg123_length(decoder_);
  if (length <= 0) return Fail("The file holds no MPEG audio frames");

  rate_ = rate;
  frameBytes_ = channels * 2;
  lengthSamples_ = length;
  played_ = 0;
  ended_ = false;

  SDL_AudioSpec want{};
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(channels);
  want.samples = kDeviceSamples;
  want.callback = &SdlMediaBackend::Fill;
  want.userdata = this;
  if (!OpenDevice(want)) return false;
  path_ = path;
  mode_ = MediaMode::Stopped;
  return true;
}

bool SdlMediaBackend::OpenDevice(const SDL_AudioSpec& want) {
  SDL_AudioSpec have{};
  if (!silent_) {
    std::string reason;
    if (!audioStarted_) {
      SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
      SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Tagmora");
      SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Mp3 Player");
      audioStarted_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
      if (!audioStarted_) reason = SDL_GetError();
    }
    if (audioStarted_) {
      device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
      if (device_) return true;
      reason = SDL_GetError();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      audioStarted_ = false;
    }
    // No server, no card, or one that refuses the stream: the track plays
    // silently, its position advancing as it would with sound.
    silent_ = true;
    errors_.AddError("Mp3 Player error: No audio output is available, the player plays "
                     "without sound (" + reason + ")",
                     "", false);
  }
  if (!audioStarted_) {
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    audioStarted_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  }
  if (audioStarted_) device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_) return true;
  return Fail(std::string("No audio output can be opened: ") + SDL_GetError());
}

void SdlMediaBackend::Fill(void* self, uint8_t* stream, int bytes) {
  auto& backend = *static_cast<SdlMediaBackend*>(self);
  const size_t wanted = static_cast<size_t>(bytes);
  size_t done = 0;
  while (done < wanted && !backend.ended_.load()) {
    size_t got = 0;
    const int result = mpg123_read(backend.decoder_, stream + done, wanted - done, &got);
    done += got;
    if (got > 0 || result == MPG123_NEW_FORMAT) continue;
    // The end of the stream, or a file that stops decoding: either way the
    // track is over, and the player hears of it on its own thread.
    backend.ended_ = true;
    backend.poster_.Post(backend.guard_.Wrap([&backend] {
      if (backend.endHandler_) backend.endHandler_();
    }));
  }
  backend.played_ += static_cast<int64_t>(done) / backend.frameBytes_;
  std::memset(stream + done, 0, wanted - done);
}

bool SdlMediaBackend::Play() {
  if (mode_ == MediaMode::NotOpen) return Fail("No file is open");
  SDL_PauseAudioDevice(device_, 0);
  mode_ = MediaMode::Playing;
  return true;
}

bool SdlMediaBackend::Pause() {
  if (mode_ != MediaMode::Playing) return false;
  SDL_PauseAudioDevice(device_, 1);
  mode_ = MediaMode::Paused;
  return true;
}

bool SdlMediaBackend::Resume() {
  if (mode_ != MediaMode::Paused) return false;
  SDL_PauseAudioDevice(device_, 0);
  mode_ = MediaMode::Playing;
  return true;
}

void SdlMediaBackend::Stop() {
  if (mode_ == MediaMode::NotOpen) return;
  SDL_PauseAudioDevice(device_, 1);
  mode_ = MediaMode::Stopped;
}

void SdlMediaBackend::Close() {
  if (device_) SDL_CloseAudioDevice(device_);
  device_ = 0;
  if (decoder_) {
    mpg123_close(decoder_);
    mpg123_delete(decoder_);
  }
  decoder_ = nullptr;
  path_.clear();
  mode_ = MediaMode::NotOpen;
}

bool SdlMediaBackend::Seek(int64_t ms) {
  if (mode_ == MediaMode::NotOpen) return Fail("No file is open");
  const int64_t sample = std::clamp<int64_t>(ms * rate_ / 1000, 0, lengthSamples_);
  SDL_LockAudioDevice(device_);
  const off_t at = mpg123_seek(decoder_, static_cast<off_t>(sample), SEEK_SET);
  if (at >= 0) {
    played_ = at;
    ended_ = false;
  }
  SDL_UnlockAudioDevice(device_);
  if (at < 0) {
    error_ = "The position cannot be reached (" + DecoderText(decoder_) + ")";
    return false;
  }
  return true;
}

int64_t SdlMediaBackend::Milliseconds(int64_t samples) const {
  return rate_ > 0 ? samples * 1000 / rate_ : 0;
}

int64_t SdlMediaBackend::Position() const {
  if (mode_ == MediaMode::NotOpen) return 0;
  if (ended_) return Length();
  return std::min(Milliseconds(played_), Length());
}

int64_t SdlMediaBackend::Length() const {
  return mode_ == MediaMode::NotOpen ? 0 : Milliseconds(lengthSamples_);
}

}  // namespace tagmora
