#pragma once
// The mixer of the program, over the PulseAudio client API (PipeWire
// desktops serve the same API). The one device is the sound server; its
// destination lines are the playback sinks and one capture line; a sink's
// source lines are the streams playing into it, named by application; the
// capture line's source lines are the sources that are not monitors, and
// its selection is the default source.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/Poster.h"
#include "player/AudioMixer.h"

struct pa_threaded_mainloop;
struct pa_context;

namespace tagmora {

// 0 to 65535 and PulseAudio's 0 to 65536 (100 %), rounded both ways so
// that a value set is read back exactly; louder than 100 % reads as 65535.
uint32_t ToPulseVolume(int volume);
int FromPulseVolume(uint32_t volume);

class PulseMixer : public AudioMixer {
 public:
  // Connects to the sound server (never starting one); without it the
  // mixer has no device.
  explicit PulseMixer(Poster& poster);
  ~PulseMixer() override;
  PulseMixer(const PulseMixer&) = delete;
  PulseMixer& operator=(const PulseMixer&) = delete;

  int DeviceCount() const override { return deviceCount_; }
  int MixerId() const override { return mixerId_; }
  void SetMixerId(int id) override;
  std::string ProductName() const override { return product_; }

  int DestinationCount() const override { return static_cast<int>(destinations_.size()); }
  std::string DestinationName(int destination) const override;
  int ConnectionCount(int destination) const override;
  std::string ConnectionName(int destination, int connection) const override;

  bool ReadLineVolume(int destination, int connection, LineVolume& out) override;
  bool WriteLineVolume(int destination, int connection, int left, int right, int mute) override;

  void SetChangeHandlers(std::function<void()> controlChanged,
                         std::function<void()> linesChanged) override;

 private:
  enum class LineKind { Sink, Stream, Capture, Source };
  struct Line {
    LineKind kind;
    uint32_t index;    // of the sink, stream or source
    std::string name;  // shown
    std::string id;    // the server's name of a sink or source
  };
  struct Destination {
    Line line;
    std::vector<Line> connections;
  };
  struct LineState;

  void ReadLines();
  const Line* Find(int destination, int connection) const;
  bool Query(const Line& line, LineState& state);
  std::string DefaultSource();
  void Event(int type);
  void Deliver();

  Poster& poster_;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  int deviceCount_ = 0;
  int mixerId_ = -1;
  std::string product_;
  std::vector<Destination> destinations_;
  std::function<void()> controlChanged_, linesChanged_;
  // Events of the server's thread, gathered into one delivery.
  std::atomic<bool> posted_{false}, controlsPending_{false}, linesPending_{false};
  PostGuard guard_;
};

}  // namespace tagmora
