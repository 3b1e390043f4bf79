#pragma once
// The media back end of the program: libmpg123 decodes, SDL2 audio plays.
// Without a usable audio device it plays through SDL's "dummy" driver, so
// that the position still advances, and says so once in the error list.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "app/Poster.h"
#include "player/MediaBackend.h"

struct mpg123_handle_struct;
struct SDL_AudioSpec;

namespace tagmora {

class ErrorList;

class SdlMediaBackend : public MediaBackend {
 public:
  SdlMediaBackend(Poster& poster, ErrorList& errors);
  ~SdlMediaBackend() override;
  SdlMediaBackend(const SdlMediaBackend&) = delete;
  SdlMediaBackend& operator=(const SdlMediaBackend&) = delete;

  bool Open(const std::string& path) override;
  bool Play() override;
  bool Pause() override;
  bool Resume() override;
  void Stop() override;
  void Close() override;
  bool Seek(int64_t ms) override;

  int64_t Position() const override;
  int64_t Length() const override;
  MediaMode Mode() const override { return mode_; }
  std::string FileName() const override { return path_; }
  std::string ErrorText() const override { return error_; }
  void SetEndHandler(std::function<void()> ended) override { endHandler_ = std::move(ended); }

 private:
  // SDL's audio thread asks for the next samples here.
  static void Fill(void* self, uint8_t* stream, int bytes);
  bool Fail(std::string text);
  // Opens the audio device for the decoder's format, falling back to the
  // dummy driver once.
  bool OpenDevice(const SDL_AudioSpec& want);
  int64_t Milliseconds(int64_t samples) const;

  Poster& poster_;
  ErrorList& errors_;
  std::function<void()> endHandler_;
  std::string path_;
  std::string error_;
  MediaMode mode_ = MediaMode::NotOpen;
  bool audioStarted_ = false;
  bool silent_ = false;  // fell back to the dummy driver

  // Used by SDL's audio thread: the decoder only under the device's lock.
  mpg123_handle_struct* decoder_ = nullptr;
  uint32_t device_ = 0;
  long rate_ = 0;
  int frameBytes_ = 0;
  int64_t lengthSamples_ = 0;
  std::atomic<int64_t> played_{0};  // samples handed to the device
  std::atomic<bool> ended_{false};
  PostGuard guard_;
};

}  // namespace tagmora
