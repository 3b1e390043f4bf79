#include "app/PlayerControls.h"

#include "app/Control.h"

namespace tagmora {

void AddPlayerControls(ControlSet& main, ControlSet& options) {
  main.Add("GroupBoxMp3Player", ControlKind::Group, "  Mp3 Player  ");
  main.Add("LabelTime", ControlKind::Label, "00:00");
  main.Add("LabelTrack", ControlKind::Label, "No Track");
  main.Add("LabelPositionPercent", ControlKind::Label, "0%").SetVisible(false);
  main.Add("LabelVolumePercent", ControlKind::Label, "50").SetVisible(false);
  for (int i = 0; i < kSkinImageCount; ++i) {
    const SkinImageInfo& info = kSkinImages[static_cast<size_t>(i)];
    // Shuffle and repeat carry their mode as the check mark.
    const bool mode = i == kImageShuffle || i == kImageRepeat;
    Control& image = main.Add(info.name, mode ? ControlKind::CheckBox : ControlKind::Button);
    image.SetHint(info.hint);
    image.SetImage(kPictureNormal);
    if (i == kImageScrollPosition || i == kImageScrollVolume) image.SetIndex(info.left);
  }

  options.Add("LabelSoundDescription", ControlKind::Label,
              "Select the Mixer and the volume that the MP3 Player is controling");
  options.Add("LabelMixer", ControlKind::Label, "Mixer");
  options.Add("ComboBoxMixer", ControlKind::ComboBox);
  options.Add("LabelVolumeFor", ControlKind::Label, "Volume for");
  options.Add("ComboBox1", ControlKind::ComboBox);
  options.Add("LabelVolumeControl", ControlKind::Label, "Volume control");
  options.Add("ComboBoxVolume", ControlKind::ComboBox);
  options.Add("Label1", ControlKind::Label, "Volume Test:");
  // The track bar's index is its position, 0 to 65535.
  options.Add("TrackBar", ControlKind::Label).SetIndex(0);
  options.Add("Label2", ControlKind::Label, "Mute/Select:");
  options.Add("CheckBox", ControlKind::CheckBox);
}

}  // namespace tagmora
