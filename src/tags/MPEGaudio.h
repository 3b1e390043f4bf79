#pragma once
// The audio stream properties of an MP3 file: the first frame header, a
// "Xing" or "VBRI" variable-bit-rate header, and the encoder.

#include <cstdint>
#include <string>

#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

namespace tagmora {

class InputFile;

// The decoded first frame.
struct MPEGFrame {
  bool Found = false;
  int32_t Position = 0;  // offset of the header within the searched buffer
  uint16_t Size = 0;     // frame length in bytes
  bool Xing = false;     // the six bytes after the header are all zero
  uint8_t Data[4] = {0, 0, 0, 0};
  uint8_t VersionId = 1;        // 0 = MPEG 2.5, 1 = reserved, 2 = MPEG 2, 3 = MPEG 1
  uint8_t LayerId = 0;          // 0 = reserved, 1 = III, 2 = II, 3 = I
  bool ProtectionBit = false;   // true when a CRC follows the header
  uint16_t BitRateId = 0;
  uint16_t SampleRateId = 3;
  bool PaddingBit = false;
  bool PrivateBit = false;
  uint8_t ModeId = 4;           // 0 stereo, 1 joint, 2 dual, 3 mono, 4 unknown
  uint8_t ModeExtensionId = 4;
  bool CopyrightBit = false;
  bool OriginalBit = false;
  uint8_t EmphasisId = 2;
};

// A variable-bit-rate header.
struct VBRData {
  bool Found = false;
  std::string ID;  // "Xing" or "VBRI"
  int32_t Frames = 0;
  int32_t Bytes = 0;
  uint8_t Scale = 0;
  std::string VendorId;
};

class TMPEGaudio {
 public:
  TMPEGaudio();
  virtual ~TMPEGaudio();

  void Clear();
  // False when a tag could not be read or a file operation failed.
  bool ReadInfo(const std::string& fileName);
  bool ReadInfo(const InputFile& file);

  // 64-bit: long recordings pass 2 GB, and the frame count and duration of
  // a constant-bit-rate file come from this length.
  int64_t FileLength() const { return fileLength_; }
  const std::string& VendorId() const { return vendorId_; }
  const VBRData& VBR() const { return vbr_; }
  const MPEGFrame& Frame() const { return frame_; }
  const TID3v1& ID3v1() const { return id3v1_; }
  const TID3v2& ID3v2() const { return id3v2_; }

  std::string Version() const;
  std::string Layer() const;
  uint16_t BitRate() const;     // kbit/s; the average of a VBR stream
  uint16_t SampleRate() const;  // Hz
  std::string ChannelMode() const;
  std::string Emphasis() const;
  int32_t Frames() const;       // the VBR header's count, else an estimate
  double Duration() const;      // seconds
  uint8_t EncoderId() const;
  std::string Encoder() const;
  bool Valid() const;

 private:
  bool ReadStream(const InputFile& file);
  bool FindEncoderMark(const InputFile& file);
  // Bytes of audio from the first frame to the end of the file.
  int64_t AudioBytes() const;
  bool HasFrameCount() const { return vbr_.Found && vbr_.Frames > 0; }

  int64_t fileLength_;
  std::string vendorId_;
  VBRData vbr_;
  MPEGFrame frame_;
  TID3v1 id3v1_;
  TID3v2 id3v2_;
};

}  // namespace tagmora
