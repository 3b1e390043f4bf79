#include "tags/MPEGaudio.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/InputFile.h"
#include "platform/TextCodec.h"

namespace tagmora {

namespace {

// The longest frame of MPEG 1 and 2 (Layer II at 384 kbit/s and 32 kHz,
// padded); the search buffer holds two, so that a frame and its successor fit.
constexpr int kMaxFrameLength = 1729;
constexpr int kBufferSize = 2 * kMaxFrameLength;
using Buffer = std::array<uint8_t, kBufferSize>;

constexpr uint16_t kMinValidBitRate = 8, kMaxValidBitRate = 448;
constexpr double kMinValidDuration = 0.1;

constexpr uint8_t kVersion1 = 3;  // MPEG 1
constexpr uint8_t kLayerI = 3;
constexpr uint8_t kModeStereo = 0, kModeDual = 2, kModeMono = 3;

enum EncoderNumber : uint8_t { kUnknown, kXing, kFhG, kLAME, kBlade, kGoGo, kShine };

constexpr std::array<const char*, 4> kVersionNames = {"MPEG 2.5", "MPEG ?", "MPEG 2", "MPEG 1"};
constexpr std::array<const char*, 4> kLayerNames = {"Layer ?", "Layer III", "Layer II", "Layer I"};
constexpr std::array<const char*, 5> kModeNames = {"Stereo", "Joint Stereo", "Dual Channel",
                                                   "Mono", "Unknown"};
constexpr std::array<const char*, 4> kEmphasisNames = {"None", "50/15 ms", "Unknown",
                                                       "CCIT J.17"};
constexpr std::array<const char*, 7> kEncoderNames = {"Unknown", "Xing",  "FhG",  "LAME",
                                                      "Blade",   "GoGo", "Shine"};

// kbit/s by version, layer and bit-rate index. MPEG 2.5 uses the
// lower-sampling-frequency rates of MPEG 2.
constexpr uint16_t kNone[16] = {};
constexpr uint16_t kMpeg1LayerI[16] = {0,   32,  64,  96,  128, 160, 192, 224,
                                       256, 288, 320, 352, 384, 416, 448, 0};
constexpr uint16_t kMpeg1LayerII[16] = {0,   32,  48,  56,  64,  80,  96,  112,
                                        128, 160, 192, 224, 256, 320, 384, 0};
constexpr uint16_t kMpeg1LayerIII[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                         112, 128, 160, 192, 224, 256, 320, 0};
constexpr uint16_t kLsfLayerI[16] = {0,   32,  48,  56,  64,  80,  96,  112,
                                     128, 144, 160, 176, 192, 224, 256, 0};
constexpr uint16_t kLsfLayerII_III[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                          64, 80, 96, 112, 128, 144, 160, 0};
constexpr const uint16_t* kBitRates[4][4] = {
    // layer: reserved, III, II, I
    {kNone, kLsfLayerII_III, kLsfLayerII_III, kLsfLayerI},   // MPEG 2.5
    {kNone, kNone, kNone, kNone},                            // reserved
    {kNone, kLsfLayerII_III, kLsfLayerII_III, kLsfLayerI},   // MPEG 2
    {kNone, kMpeg1LayerIII, kMpeg1LayerII, kMpeg1LayerI},    // MPEG 1
};

// Hz by version and sample-rate index.
constexpr uint16_t kSampleRates[4][4] = {
    {11025, 12000, 8000, 0}, {0, 0, 0, 0}, {22050, 24000, 16000, 0}, {44100, 48000, 32000, 0}};

// Samples a frame holds, by version and layer.
constexpr uint16_t kSamplesPerFrame[4][4] = {
    // layer: reserved, III, II, I
    {0, 576, 1152, 384},   // MPEG 2.5
    {0, 0, 0, 0},          // reserved
    {0, 576, 1152, 384},   // MPEG 2
    {0, 1152, 1152, 384},  // MPEG 1
};

// Where a "Xing" header follows the side information, by MPEG 1 or not and
// mono or not. Fraunhofer's "VBRI" header always sits 32 bytes after the
// 4-byte frame header.
constexpr int kXingOffsets[2][2] = {{21, 13}, {36, 21}};
constexpr int kVBRIOffset = 36;

// Vendor marks of a VBR header that name the encoder.
struct VendorMark {
  std::string_view prefix;
  uint8_t encoder;
};
constexpr VendorMark kVendorMarks[] = {{"LAME", kLAME}, {"GOGO", kGoGo}, {"MPGE", kGoGo}};

// Guesses for a stream without a VBR header, tried in order; each later
// match replaces the earlier one.
struct Clues {
  bool original, crc, copyright, zerosAfterHeader;
  uint8_t mode;
  uint16_t tableBitRate;
  std::string_view vendor;
};
struct EncoderRule {
  bool (*matches)(const Clues&);
  uint8_t encoder;
};
constexpr EncoderRule kEncoderRules[] = {
    {[](const Clues& c) { return c.original && c.crc; }, kLAME},
    {[](const Clues& c) { return c.tableBitRate <= 160 && c.mode == kModeStereo; }, kBlade},
    {[](const Clues& c) { return c.copyright && c.original && !c.crc; }, kXing},
    {[](const Clues& c) { return c.zerosAfterHeader && c.original; }, kXing},
    {[](const Clues& c) { return c.mode == kModeDual && c.crc; }, kShine},
    {[](const Clues& c) { return c.vendor.starts_with("LAME"); }, kLAME},
    {[](const Clues& c) { return c.vendor.starts_with("GOGO"); }, kGoGo},
};

template <typename Table>
const char* NameOf(const Table& table, unsigned index) {
  return table[std::min<size_t>(index, table.size() - 1)];
}

uint16_t TableBitRate(const MPEGFrame& f) {
  if (f.VersionId > 3 || f.LayerId > 3 || f.BitRateId > 15) return 0;
  return kBitRates[f.VersionId][f.LayerId][f.BitRateId];
}

uint16_t TableSampleRate(const MPEGFrame& f) {
  if (f.VersionId > 3 || f.SampleRateId > 3) return 0;
  return kSampleRates[f.VersionId][f.SampleRateId];
}

// Frame bytes for each bit/s per Hz: an eighth of the samples.
uint16_t Coefficient(const MPEGFrame& f) {
  if (f.VersionId > 3 || f.LayerId > 3) return 0;
  return kSamplesPerFrame[f.VersionId][f.LayerId] / 8;
}

// Layer I counts its frames in 4-byte slots, the other layers in bytes.
uint32_t SlotBytes(const MPEGFrame& f) { return f.LayerId == kLayerI ? 4 : 1; }

int PaddingBytes(const MPEGFrame& f) { return f.PaddingBit ? int(SlotBytes(f)) : 0; }

uint16_t FrameLength(const MPEGFrame& f) {
  uint32_t sampleRate = TableSampleRate(f);
  if (sampleRate == 0) return 0;
  uint32_t slot = SlotBytes(f);
  uint32_t slots = Coefficient(f) / slot * uint32_t(TableBitRate(f)) * 1000 / sampleRate;
  return uint16_t((slots + (f.PaddingBit ? 1 : 0)) * slot);
}

// A header test at a position outside the buffer fails.
bool IsFrameHeader(const Buffer& buf, int64_t pos) {
  if (pos < 0 || pos + 4 > kBufferSize) return false;
  const uint8_t* b = buf.data() + pos;
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
  if (((b[1] >> 3) & 3) == 1) return false;  // reserved version
  if (((b[1] >> 1) & 3) == 0) return false;  // reserved layer
  int bitRateIndex = b[2] >> 4;
  if (bitRateIndex == 0 || bitRateIndex == 15) return false;  // free format, forbidden
  if (((b[2] >> 2) & 3) == 3) return false;  // reserved sample rate
  return (b[3] & 3) != 2;                    // reserved emphasis
}

MPEGFrame DecodeHeader(const uint8_t* b) {
  MPEGFrame f;
  std::memcpy(f.Data, b, 4);
  f.VersionId = (b[1] >> 3) & 3;
  f.LayerId = (b[1] >> 1) & 3;
  f.ProtectionBit = (b[1] & 1) == 0;
  f.BitRateId = b[2] >> 4;
  f.SampleRateId = (b[2] >> 2) & 3;
  f.PaddingBit = (b[2] >> 1) & 1;
  f.PrivateBit = b[2] & 1;
  f.ModeId = b[3] >> 6;
  f.ModeExtensionId = (b[3] >> 4) & 3;
  f.CopyrightBit = (b[3] >> 3) & 1;
  f.OriginalBit = (b[3] >> 2) & 1;
  f.EmphasisId = b[3] & 3;
  f.Size = FrameLength(f);
  return f;
}

// The first header whose successor sits one frame length further on.
MPEGFrame FindFrame(const Buffer& buf) {
  for (int pos = 0; pos <= kMaxFrameLength; ++pos) {
    if (!IsFrameHeader(buf, pos)) continue;
    MPEGFrame f = DecodeHeader(buf.data() + pos);
    if (!IsFrameHeader(buf, int64_t(pos) + f.Size)) continue;
    f.Found = true;
    f.Position = pos;
    const uint8_t* after = buf.data() + pos + 4;
    f.Xing = std::all_of(after, after + 6, [](uint8_t b) { return b == 0; });
    return f;
  }
  return MPEGFrame{};
}

int32_t BigEndian32(const uint8_t* b) {
  return int32_t(uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]);
}

// Vendor marks are single-byte text; a zero byte ends them.
std::string MarkText(const uint8_t* b, size_t count) {
  const auto* text = reinterpret_cast<const char*>(b);
  return Cp1252ToUtf8(std::string_view(text, strnlen(text, count)));
}

VBRData ReadVBRHeader(const Buffer& buf, int64_t i, bool xingAllowed) {
  VBRData vbr;
  if (i < 0 || i + 4 > kBufferSize) return vbr;
  const uint8_t* b = buf.data() + i;
  if (xingAllowed && std::memcmp(b, "Xing", 4) == 0 && i + 128 <= kBufferSize) {
    vbr.Found = true;
    vbr.ID = "Xing";
    vbr.Frames = BigEndian32(b + 8);
    vbr.Bytes = BigEndian32(b + 12);
    vbr.Scale = b[119];
    vbr.VendorId = MarkText(b + 120, 8);
  } else if (std::memcmp(b, "VBRI", 4) == 0 && i + 18 <= kBufferSize) {
    vbr.Found = true;
    vbr.ID = "VBRI";
    vbr.Scale = b[9];
    vbr.Bytes = BigEndian32(b + 10);
    vbr.Frames = BigEndian32(b + 14);
  }
  return vbr;
}

VBRData FindVBRHeader(const Buffer& buf, const MPEGFrame& f) {
  int64_t xingAt = f.Position + kXingOffsets[f.VersionId == kVersion1][f.ModeId == kModeMono];
  VBRData vbr = ReadVBRHeader(buf, xingAt, true);
  if (!vbr.Found) vbr = ReadVBRHeader(buf, f.Position + kVBRIOffset, false);
  return vbr;
}

// Reads up to a buffer at offset; the unread rest stays zero. Returns the
// count read, or -1.
int64_t ReadBlock(const InputFile& file, int64_t offset, Buffer& buf) {
  buf.fill(0);
  return file.ReadAt(buf.data(), buf.size(), offset);
}

template <typename Int>
Int Saturate(double value) {
  if (!(value > 0)) return 0;
  if (value >= double(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
  return Int(value);
}

}  // namespace

TMPEGaudio::TMPEGaudio() { Clear(); }

TMPEGaudio::~TMPEGaudio() = default;

void TMPEGaudio::Clear() {
  fileLength_ = 0;
  vendorId_.clear();
  vbr_ = VBRData{};
  frame_ = MPEGFrame{};
  id3v1_.Clear();
  id3v2_.Clear();
}

bool TMPEGaudio::ReadInfo(const std::string& fileName) {
  InputFile file;
  if (!file.Open(fileName)) {
    Clear();
    return false;
  }
  return ReadInfo(file);
}

bool TMPEGaudio::ReadInfo(const InputFile& file) {
  Clear();
  bool ok = ReadStream(file);
  if (!frame_.Found) Clear();
  return ok;
}

bool TMPEGaudio::ReadStream(const InputFile& file) {
  if (!id3v1_.ReadTag(file) || !id3v2_.ReadTag(file)) return false;
  fileLength_ = file.Size();

  Buffer buf;
  int64_t audioStart = id3v2_.Size();
  int64_t count = ReadBlock(file, audioStart, buf);
  if (count < 0) return false;
  frame_ = FindFrame(buf);
  // Junk longer than a frame before the audio: look again in the middle.
  if (!frame_.Found && count == kBufferSize) {
    if (ReadBlock(file, (fileLength_ - audioStart) / 2, buf) < 0) return false;
    frame_ = FindFrame(buf);
  }
  if (!frame_.Found) return true;
  vbr_ = FindVBRHeader(buf, frame_);
  if (vbr_.Found) return true;
  return FindEncoderMark(file);
}

// Encoders leave their name in the ancillary data of the last frames.
bool TMPEGaudio::FindEncoderMark(const InputFile& file) {
  Buffer buf;
  int64_t end = fileLength_ - (id3v1_.Exists() ? 128 : 0);
  int64_t start = end - kBufferSize;
  if (start >= 0) {
    if (ReadBlock(file, start, buf) < 0) return false;
  } else {
    // A file shorter than the window: its bytes go to the end of the buffer,
    // where the search looks, instead of failing the whole reading.
    buf.fill(0);
    int64_t count = std::max<int64_t>(end, 0);
    if (file.ReadAt(buf.data() + (kBufferSize - count), size_t(count), 0) < 0) return false;
  }
  for (int k = 0; k <= 2 * int(frame_.Size); ++k) {
    int at = kBufferSize - 8 - k;
    if (at < 0) break;
    const uint8_t* b = buf.data() + at;
    if (std::memcmp(b, "LAME", 4) == 0) {
      vendorId_ = MarkText(b, 8);
      break;
    }
    if (std::memcmp(b, "GOGO", 4) == 0) {
      vendorId_ = "GOGO";
      break;
    }
  }
  return true;
}

int64_t TMPEGaudio::AudioBytes() const {
  return std::max<int64_t>(fileLength_ - id3v2_.Size() - frame_.Position, 0);
}

std::string TMPEGaudio::Version() const { return NameOf(kVersionNames, frame_.VersionId); }
std::string TMPEGaudio::Layer() const { return NameOf(kLayerNames, frame_.LayerId); }
std::string TMPEGaudio::ChannelMode() const { return NameOf(kModeNames, frame_.ModeId); }
std::string TMPEGaudio::Emphasis() const { return NameOf(kEmphasisNames, frame_.EmphasisId); }

uint16_t TMPEGaudio::SampleRate() const { return TableSampleRate(frame_); }

uint16_t TMPEGaudio::BitRate() const {
  uint16_t coefficient = Coefficient(frame_);
  if (!HasFrameCount() || coefficient == 0) return TableBitRate(frame_);
  double frameBytes = double(vbr_.Bytes) / vbr_.Frames - PaddingBytes(frame_);
  double rate = std::nearbyint(frameBytes * SampleRate() / coefficient / 1000);
  // A header claiming absurd sizes gives 0 or the largest value, never a
  // wrapped one; either way the stream is not valid.
  return Saturate<uint16_t>(rate);
}

int32_t TMPEGaudio::Frames() const {
  if (HasFrameCount()) return vbr_.Frames;
  if (frame_.Size == 0) return 0;
  return Saturate<int32_t>(double(AudioBytes() / frame_.Size));
}

double TMPEGaudio::Duration() const {
  if (!frame_.Found) return 0;
  if (HasFrameCount()) {
    uint16_t sampleRate = SampleRate();
    return sampleRate == 0 ? 0 : double(vbr_.Frames) * Coefficient(frame_) * 8 / sampleRate;
  }
  uint16_t bitRate = TableBitRate(frame_);
  return bitRate == 0 ? 0 : double(AudioBytes()) * 8 / bitRate / 1000;
}

uint8_t TMPEGaudio::EncoderId() const {
  if (!frame_.Found) return kUnknown;
  if (vbr_.Found) {
    if (vbr_.ID == "VBRI") return kFhG;
    for (const VendorMark& mark : kVendorMarks)
      if (std::string_view(vbr_.VendorId).starts_with(mark.prefix)) return mark.encoder;
    return vbr_.ID == "Xing" ? kXing : kUnknown;
  }
  const Clues clues{frame_.OriginalBit, frame_.ProtectionBit, frame_.CopyrightBit, frame_.Xing,
                    frame_.ModeId, TableBitRate(frame_), vendorId_};
  uint8_t encoder = kFhG;
  for (const EncoderRule& rule : kEncoderRules)
    if (rule.matches(clues)) encoder = rule.encoder;
  return encoder;
}

std::string TMPEGaudio::Encoder() const {
  uint8_t encoder = EncoderId();
  std::string name = NameOf(kEncoderNames, encoder);
  const std::string& vendor = vendorId_.empty() ? vbr_.VendorId : vendorId_;
  auto digit = [&](size_t i) { return vendor[i] >= '0' && vendor[i] <= '9'; };
  // "LAME3.90" names the version in its characters 5 to 8.
  if (encoder == kLAME && vendor.size() >= 8 && digit(4) && vendor[5] == '.' && digit(6) &&
      digit(7))
    name += " " + vendor.substr(4, 4);
  return name;
}

bool TMPEGaudio::Valid() const {
  uint16_t bitRate = BitRate();
  return frame_.Found && bitRate >= kMinValidBitRate && bitRate <= kMaxValidBitRate &&
         Duration() >= kMinValidDuration;
}

}  // namespace tagmora
