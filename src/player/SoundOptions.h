#pragma once
// The options dialog's "Sound" page: which mixer, which of its lines the
// volume knob controls, and that line's volume and mute or selection; and
// the knob's way to the chosen line.

#include <string>
#include <vector>

#include "player/AudioMixer.h"

namespace tagmora {

class ControlSet;
class Control;

class SoundOptions {
 public:
  // Fills the page from the mixer. The controls are those of
  // AddPlayerControls in the options dialog's set.
  SoundOptions(ControlSet& options, AudioMixer& mixer);
  ~SoundOptions();
  SoundOptions(const SoundOptions&) = delete;
  SoundOptions& operator=(const SoundOptions&) = delete;

  // The user's choices on the page.
  void MixerChosen(int index);
  void DestinationChosen(int index);
  void VolumeControlChosen(int index);
  void TrackBarMoved(int position);

  // Start-up, after the "Sound" keys: an entry the lists do not hold is
  // not selected, and the page shows the chosen line.
  void SettingsLoaded();

  // For the volume knob.
  int DeviceCount() const { return mixer_.DeviceCount(); }
  // ComboBoxVolume has a selected entry.
  bool LineChosen() const;
  bool ReadChosenLine(LineVolume& out);
  // Both channels, with the page's mute mark.
  void WriteChosenVolume(int volume);

 private:
  void ShowLine();
  void LinesChanged();
  void WriteLine(int volume);
  std::vector<std::string> DestinationNames() const;
  std::vector<std::string> LineNames(int destination) const;
  int Destination() const;
  int Connection() const;

  ControlSet& controls_;
  AudioMixer& mixer_;
  Control& mixerBox_;
  Control& destinationBox_;
  Control& volumeBox_;
  Control& trackBar_;
  Control& checkBox_;
  // Set while the page's own controls are being set, so that the check
  // box's change does not write the volume back.
  bool busy_ = false;
  // Without a mixer the page's controls do nothing.
  bool detached_ = false;
};

}  // namespace tagmora
