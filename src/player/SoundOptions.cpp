#include "player/SoundOptions.h"

#include <algorithm>

#include "app/Control.h"

namespace tagmora {

namespace {
constexpr const char* kNoMixer = "No mixer present in the system !";
}

SoundOptions::SoundOptions(ControlSet& options, AudioMixer& mixer)
    : controls_(options),
      mixer_(mixer),
      mixerBox_(options["ComboBoxMixer"]),
      destinationBox_(options["ComboBox1"]),
      volumeBox_(options["ComboBoxVolume"]),
      trackBar_(options["TrackBar"]),
      checkBox_(options["CheckBox"]) {
  checkBox_.OnClick([this] {
    if (!busy_ && !detached_) WriteLine(trackBar_.Index());
  });
  mixer_.SetChangeHandlers([this] { if (!detached_) ShowLine(); }, [this] { LinesChanged(); });
  // Only the open device's capabilities are known, so every entry shows
  // its name.
  mixerBox_.SetItems(std::vector<std::string>(static_cast<size_t>(std::max(0, mixer_.DeviceCount())),
                                              mixer_.ProductName()));
  MixerChosen(mixer_.DeviceCount() > 0 ? 0 : -1);
}

SoundOptions::~SoundOptions() {
  mixer_.SetChangeHandlers({}, {});
  checkBox_.OnClick({});
}

std::vector<std::string> SoundOptions::DestinationNames() const {
  std::vector<std::string> names;
  for (int d = 0; d < mixer_.DestinationCount(); ++d) names.push_back(mixer_.DestinationName(d));
  return names;
}

// The entries of ComboBoxVolume: the destination itself, then its sources.
std::vector<std::string> SoundOptions::LineNames(int destination) const {
  std::vector<std::string> names;
  if (destination < 0 || destination >= mixer_.DestinationCount()) return names;
  names.push_back(mixer_.DestinationName(destination));
  for (int c = 0; c < mixer_.ConnectionCount(destination); ++c)
    names.push_back(mixer_.ConnectionName(destination, c));
  return names;
}

int SoundOptions::Destination() const { return destinationBox_.Index(); }
int SoundOptions::Connection() const { return volumeBox_.Index() - 1; }

void SoundOptions::MixerChosen(int index) {
  mixerBox_.SetIndex(index);
  if (index >= 0 && index < mixer_.DeviceCount()) mixer_.SetMixerId(index);
  destinationBox_.SetItems({});
  destinationBox_.SetIndex(-1);
  if (mixer_.DeviceCount() <= 0) {
    detached_ = true;
    std::vector<std::string> items = mixerBox_.Items();
    // Chosen again, the entry is not added twice.
    if (std::find(items.begin(), items.end(), kNoMixer) == items.end()) items.push_back(kNoMixer);
    mixerBox_.SetItems(items);
    mixerBox_.SetIndex(static_cast<int>(items.size()) - 1);
    // Controls that do nothing say so.
    for (Control* control : {&destinationBox_, &volumeBox_, &trackBar_, &checkBox_})
      control->SetEnabled(false);
  } else {
    const std::vector<std::string> names = DestinationNames();
    destinationBox_.SetItems(names);
    if (!names.empty()) DestinationChosen(0);
  }
  busy_ = false;
}

void SoundOptions::DestinationChosen(int index) {
  if (detached_) return;
  destinationBox_.SetIndex(index);
  const std::vector<std::string> names = LineNames(index);
  volumeBox_.SetItems(names);
  volumeBox_.SetIndex(-1);
  if (!names.empty()) VolumeControlChosen(0);
}

void SoundOptions::VolumeControlChosen(int index) {
  if (detached_) return;
  volumeBox_.SetIndex(index);
  ShowLine();
}

void SoundOptions::ShowLine() {
  LineVolume line;
  mixer_.ReadLineVolume(Destination(), Connection(), line);
  busy_ = true;
  for (const char* name : {"TrackBar", "Label1"}) controls_[name].SetVisible(!line.volumeDisabled);
  if (!line.volumeDisabled) trackBar_.SetIndex(line.left);
  for (const char* name : {"CheckBox", "Label2"}) controls_[name].SetVisible(!line.muteDisabled);
  if (!line.muteDisabled) checkBox_.SetChecked(line.mute != 0);
  busy_ = false;
}

void SoundOptions::TrackBarMoved(int position) {
  if (detached_) return;
  trackBar_.SetIndex(position);
  WriteLine(position);
}

void SoundOptions::WriteLine(int volume) {
  busy_ = true;
  mixer_.WriteLineVolume(Destination(), Connection(), volume, volume, checkBox_.Checked() ? 1 : 0);
  busy_ = false;
}

bool SoundOptions::LineChosen() const { return volumeBox_.Index() >= 0; }

bool SoundOptions::ReadChosenLine(LineVolume& out) {
  return mixer_.ReadLineVolume(Destination(), Connection(), out);
}

void SoundOptions::WriteChosenVolume(int volume) { WriteLine(volume); }

void SoundOptions::SettingsLoaded() {
  for (Control* box : {&mixerBox_, &volumeBox_})
    if (box->Index() < -1 || box->Index() >= static_cast<int>(box->Items().size()))
      box->SetIndex(-1);
  if (!detached_) ShowLine();
}

void SoundOptions::LinesChanged() {
  if (detached_) return;
  // Streams come and go: the lists are filled anew and keep the chosen
  // lines by name where they still exist.
  const std::vector<std::string> oldDestinations = destinationBox_.Items();
  const std::vector<std::string> oldLines = volumeBox_.Items();
  auto chosen = [](const std::vector<std::string>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)]
                                                               : std::string();
  };
  const std::string destination = chosen(oldDestinations, destinationBox_.Index());
  const std::string line = chosen(oldLines, volumeBox_.Index());
  auto find = [](const std::vector<std::string>& items, const std::string& name, int fallback) {
    auto at = std::find(items.begin(), items.end(), name);
    return at == items.end() ? fallback : static_cast<int>(at - items.begin());
  };
  const std::vector<std::string> destinations = DestinationNames();
  const int d = find(destinations, destination, destinations.empty() ? -1 : 0);
  destinationBox_.SetItems(destinations);
  destinationBox_.SetIndex(d);
  const std::vector<std::string> lines = LineNames(d);
  volumeBox_.SetItems(lines);
  volumeBox_.SetIndex(find(lines, line, lines.empty() ? -1 : 0));
  ShowLine();
}

}  // namespace tagmora
