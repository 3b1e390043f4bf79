#pragma once
// The texts of the "MPEG file Info" panel: what TMPEGaudio found in a
// file, as the panel's fourteen boxes show it.

#include <array>
#include <cstddef>
#include <string>

namespace tagmora {

class TMPEGaudio;

inline constexpr size_t kMpegBoxCount = 14;

// Valid MPEG, file size, MPEG type, bit rate, sample rate, channels,
// duration, first frame, total frames, CRC, copyright, original, emphasis,
// encoder, for a file read by ReadInfo. A stream that is not valid MPEG
// shows "No" and nothing else.
std::array<std::string, kMpegBoxCount> MpegInfoTexts(const TMPEGaudio& audio);

// Seconds with one decimal, rounded, and no digit before the point below
// one: 0.46 gives ".5", 215.34 gives "215.3".
std::string FormatSeconds(double seconds);

}  // namespace tagmora
