#include "editing/MpegInfo.h"

#include <cmath>

#include "tags/MPEGaudio.h"

namespace tagmora {

std::string FormatSeconds(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  const long long tenths = std::llround(seconds * 10);
  const long long whole = tenths / 10;
  return (whole ? std::to_string(whole) : std::string()) + "." + std::to_string(tenths % 10);
}

std::array<std::string, kMpegBoxCount> MpegInfoTexts(const TMPEGaudio& audio) {
  if (!audio.Valid()) return {"No"};
  const auto yesNo = [](bool value) { return std::string(value ? "Yes" : "No"); };
  const MPEGFrame& frame = audio.Frame();
  return {
      "Yes",
      std::to_string(audio.FileLength()) + " bytes",
      audio.Version() + " " + audio.Layer(),
      (audio.VBR().Found ? "VBR " : "CBR ") + std::to_string(audio.BitRate()) + " kbit/s",
      std::to_string(audio.SampleRate()) + " hz",
      audio.ChannelMode(),
      FormatSeconds(audio.Duration()) + " sec.",
      std::to_string(frame.Position) + " bytes",
      std::to_string(audio.Frames()),
      yesNo(frame.ProtectionBit),
      yesNo(frame.CopyrightBit),
      yesNo(frame.OriginalBit),
      audio.Emphasis(),
      audio.Encoder(),
  };
}

}  // namespace tagmora
