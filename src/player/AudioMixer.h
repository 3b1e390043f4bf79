#pragma once
// The system's audio mixer as the "Sound" page and the volume knob see it:
// devices, each with destination lines, each with source lines connected to
// it; a line's volume (0 to 65535 per channel) and its mute or selection.

#include <functional>
#include <string>

namespace tagmora {

// What ReadLineVolume finds on a line. A mute of -1 means none was found.
struct LineVolume {
  int left = -1;
  int right = -1;
  int mute = -1;
  bool stereo = false;
  bool volumeDisabled = true;
  bool muteDisabled = true;
  // The mute value is the line's selection on its destination.
  bool muteIsSelection = false;
  bool operator==(const LineVolume&) const = default;
};

inline constexpr int kMaxVolume = 65535;

class AudioMixer {
 public:
  virtual ~AudioMixer() = default;

  // Taken once, when the mixer is made.
  virtual int DeviceCount() const = 0;
  // -1 while none is open.
  virtual int MixerId() const = 0;
  // Opens a device (ignored outside 0 .. DeviceCount - 1) and reads its
  // lines; a device that cannot be opened leaves the id at -1.
  virtual void SetMixerId(int id) = 0;
  virtual std::string ProductName() const = 0;

  virtual int DestinationCount() const = 0;
  virtual std::string DestinationName(int destination) const = 0;
  virtual int ConnectionCount(int destination) const = 0;
  virtual std::string ConnectionName(int destination, int connection) const = 0;

  // connection -1 is the destination line itself. False when there is no
  // such line; out then keeps its defaults.
  virtual bool ReadLineVolume(int destination, int connection, LineVolume& out) = 0;
  // A left volume of -1 keeps the volume, a right volume of -1 takes the
  // left one, a mute of -1 keeps the mute. False when there is no such line.
  virtual bool WriteLineVolume(int destination, int connection, int left, int right,
                               int mute) = 0;

  // Called on the user-interface thread when a control's value changed,
  // from any program, and when lines came or went (the lists are then
  // read anew).
  virtual void SetChangeHandlers(std::function<void()> controlChanged,
                                 std::function<void()> linesChanged) = 0;
};

}  // namespace tagmora
