#pragma once
// What the player needs of a media back end: open one file, play, pause,
// resume, stop, close, seek, and report position, length, mode and the text
// of the last error. Positions and lengths are milliseconds.

#include <cstdint>
#include <functional>
#include <string>

namespace tagmora {

enum class MediaMode { NotOpen, Stopped, Playing, Paused };

class MediaBackend {
 public:
  virtual ~MediaBackend() = default;

  // Each answers false on failure and leaves the reason in ErrorText().
  // A failed Open leaves nothing open.
  virtual bool Open(const std::string& path) = 0;
  // Plays from the current position (also after a pause or a seek).
  virtual bool Play() = 0;
  virtual bool Pause() = 0;
  virtual bool Resume() = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
  virtual bool Seek(int64_t ms) = 0;

  virtual int64_t Position() const = 0;
  virtual int64_t Length() const = 0;
  virtual MediaMode Mode() const = 0;
  // The open file's path; empty when none is open.
  virtual std::string FileName() const = 0;
  virtual std::string ErrorText() const = 0;

  // Called on the user-interface thread when the open track has played to
  // its end.
  virtual void SetEndHandler(std::function<void()> ended) = 0;
};

}  // namespace tagmora
