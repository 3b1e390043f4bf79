#include "tags/ID3v2.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/InputFile.h"
#include "platform/Journal.h"
#include "platform/TextCodec.h"
#include "platform/UniqueFd.h"
#include "tags/GenreNames.h"
#include "tags/id3v2/FrameText.h"
#include "tags/id3v2/TagParser.h"

namespace tagmora {

using namespace id3v2;

namespace {

// The frames the program edits, in the order it writes them.
struct FieldFrame {
  TID3v2::Field field;
  const char* id;
};
constexpr FieldFrame kFieldFrames[] = {
    {TID3v2::kTitle, "TIT2"},    {TID3v2::kArtist, "TPE1"},   {TID3v2::kAlbum, "TALB"},
    {TID3v2::kTrack, "TRCK"},    {TID3v2::kYear, "TYER"},     {TID3v2::kGenre, "TCON"},
    {TID3v2::kComment, "COMM"},  {TID3v2::kComposer, "TCOM"}, {TID3v2::kEncoder, "TENC"},
    {TID3v2::kCopyright, "TCOP"}, {TID3v2::kLanguage, "TLAN"}, {TID3v2::kURL, "WXXX"},
};
// Version 2.4 keeps the year in TDRC; 2.2 identifiers arrive as their 2.3 ones.
constexpr const char* kRecordingTime = "TDRC";

// The first read covers the header and the whole of most tags.
constexpr size_t kFirstRead = 4096;
// A tag larger than this is not parsed (nor rewritten, to keep its frames).
constexpr int64_t kLargestParsedTag = 256 << 20;
constexpr int64_t kLargestWrittenBody = (1 << 28) - 1;
// Padding of a rewritten tag: room for the text fields to grow by a
// kilobyte, and a little more where pictures or lyrics make a tag large.
constexpr int64_t kLeastPadding = 1024;
constexpr int64_t kPaddingShare = 64;

int FieldOfId(const std::string& id) {
  if (id == kRecordingTime) return TID3v2::kYear;
  for (const FieldFrame& f : kFieldFrames)
    if (id == f.id) return f.field;
  return -1;
}

// COMM and WXXX frames with a description belong to other programs.
bool HasDescription(const Frame& frame) {
  if (frame.data.empty()) return false;
  auto encoding = static_cast<uint8_t>(frame.data[0]);
  std::string_view rest = std::string_view(frame.data).substr(1);
  if (frame.id == "COMM") rest.remove_prefix(std::min<size_t>(3, rest.size()));
  return !Decode(TakeString(rest, encoding), encoding).empty();
}

// Which of the program's fields each frame holds, or -1 for a frame the
// program keeps untouched. A comment or URL is the first such frame without
// a description; for the other fields a later frame replaces an earlier one.
std::vector<int> Classify(const std::vector<Frame>& frames) {
  std::vector<int> fieldOf(frames.size(), -1);
  bool comment = false, url = false;
  for (size_t i = 0; i < frames.size(); ++i) {
    const Frame& f = frames[i];
    if (f.format & (kCompressed | kEncrypted)) continue;
    int field = FieldOfId(f.id);
    if (field == TID3v2::kComment || field == TID3v2::kURL) {
      bool& taken = field == TID3v2::kComment ? comment : url;
      if (taken || HasDescription(f)) continue;
      taken = true;
    }
    fieldOf[i] = field;
  }
  return fieldOf;
}

// Text of a text frame, values joined by "/".
std::string FrameText(const Frame& frame) {
  if (frame.data.empty()) return {};
  auto encoding = static_cast<uint8_t>(frame.data[0]);
  return std::string(Trim(DecodeValues(std::string_view(frame.data).substr(1), encoding)));
}

// The number before any "/", as a signed decimal; its low 8 bits.
uint8_t ParseTrack(std::string_view text) {
  text = Trim(text);
  text = Trim(text.substr(0, text.find('/')));
  if (text.empty()) return 0;
  size_t pos = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (pos == text.size()) return 0;
  int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    if (text[pos] < '0' || text[pos] > '9') return 0;
    value = value * 10 + (text[pos] - '0');
    if (value > INT32_MAX + int64_t(1)) return 0;
  }
  if (text[0] == '-') value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return 0;
  return static_cast<uint8_t>(value & 0xFF);
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.size() <= 3 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Name of a genre reference: a number below 148, "RX" or "CR".
std::string ReferenceName(std::string_view ref) {
  if (ref == "RX") return "Remix";
  if (ref == "CR") return "Cover";
  if (AllDigits(ref)) return std::string(GenreName(std::atoi(std::string(ref).c_str())));
  return {};
}

// One genre value: leading references "(n)" go; a value that is only a
// reference, or only a number, reads as the genre's name; text after the
// references is kept whole. What cannot be resolved stays as written, so
// that reading what was written gives the same text.
std::string GenreValue(std::string_view value) {
  value = Trim(value);
  size_t pos = 0;
  std::string firstRef;
  while (pos < value.size() && value[pos] == '(' && value.compare(pos, 2, "((") != 0) {
    size_t close = value.find(')', pos);
    if (close == std::string_view::npos) break;
    std::string_view ref = value.substr(pos + 1, close - pos - 1);
    if (!AllDigits(ref) && ref != "RX" && ref != "CR") break;
    if (pos == 0) firstRef = std::string(ref);
    pos = close + 1;
  }
  std::string_view rest = Trim(value.substr(pos));
  std::string name = ReferenceName(rest.empty() ? std::string_view(firstRef) : rest);
  if (!name.empty() && (rest.empty() || AllDigits(rest))) return name;
  return std::string(rest.empty() ? value : rest);
}

std::string GenreText(const Frame& frame) {
  if (frame.data.empty()) return {};
  auto encoding = static_cast<uint8_t>(frame.data[0]);
  std::string_view rest = std::string_view(frame.data).substr(1);
  std::string joined;
  while (!rest.empty()) {
    std::string value = GenreValue(Decode(TakeString(rest, encoding), encoding));
    if (value.empty()) continue;
    if (!joined.empty()) joined += '/';
    joined += value;
  }
  return std::string(Trim(joined));
}

// The text of a COMM frame after its language and description.
std::string CommentText(const Frame& frame) {
  if (frame.data.size() < 4) return {};
  auto encoding = static_cast<uint8_t>(frame.data[0]);
  std::string_view rest = std::string_view(frame.data).substr(4);
  TakeString(rest, encoding);
  return std::string(Trim(DecodeValues(rest, encoding)));
}

// The URL of a WXXX frame is always Latin-1, whatever its description uses.
std::string UrlText(const Frame& frame) {
  if (frame.data.empty()) return {};
  auto encoding = static_cast<uint8_t>(frame.data[0]);
  std::string_view rest = std::string_view(frame.data).substr(1);
  TakeString(rest, encoding);
  return std::string(Trim(Latin1ToUtf8(TakeString(rest, kLatin1))));
}

// A URL frame holds Latin-1: other characters go percent-encoded, as UTF-8.
std::string UrlBytes(std::string_view url) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t pos = 0; pos < url.size();) {
    size_t start = pos;
    char32_t c = NextCodePoint(url, pos);
    if (c <= 0xFF) {
      out += char(c);
      continue;
    }
    for (size_t i = start; i < pos; ++i) {
      auto b = static_cast<unsigned char>(url[i]);
      out += {'%', kHex[b >> 4], kHex[b & 15]};
    }
  }
  return out;
}

// The language of the comment being replaced when it names one, else "eng".
std::string CommentLanguage(const Frame* old) {
  if (old && old->data.size() >= 4) {
    std::string language = old->data.substr(1, 3);
    if (std::all_of(language.begin(), language.end(),
                    [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }))
      return language;
  }
  return "eng";
}

std::string PutBigEndian(uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

void AppendFrame(std::string& out, const std::string& id, uint8_t status, uint8_t format,
                 const std::string& data) {
  out += id;
  out += PutBigEndian(uint32_t(data.size()));
  out += char(status);
  out += char(format);
  out += data;
}

std::string TextFrameData(const std::string& text) {
  uint8_t encoding = EncodingFor(text);
  std::string data(1, char(encoding));
  data += Encode(text, encoding);
  return data;
}

// Reads [offset, offset + count) completely or fails.
bool ReadExactly(const InputFile& file, std::string& out, size_t count, int64_t offset) {
  size_t old = out.size();
  out.resize(old + count);
  if (file.ReadAt(out.data() + old, count, offset) != int64_t(count)) {
    out.resize(old);
    return false;
  }
  return true;
}

std::string Header23(size_t bodySize) {
  auto size = uint32_t(bodySize);
  return std::string("ID3\x03\x00\x00", 6) +
         std::string{char(size >> 21), char((size >> 14) & 0x7F), char((size >> 7) & 0x7F),
                     char(size & 0x7F)};
}

}  // namespace

TID3v2::TID3v2() { Clear(); }

void TID3v2::Clear() {
  exists_ = false;
  versionId_ = 0;
  size_ = 0;
  for (std::string& text : text_) text.clear();
  track_ = 0;
}

bool TID3v2::ReadTag(const std::string& fileName) {
  Clear();
  InputFile file;
  return file.Open(fileName) && ReadTag(file);
}

bool TID3v2::ReadTag(const InputFile& file) {
  Clear();
  if (!file.IsOpen()) return false;
  std::string bytes(size_t(std::min<int64_t>(int64_t(kFirstRead), file.Size())), '\0');
  int64_t got = file.ReadAt(bytes.data(), bytes.size(), 0);
  if (got < kHeaderSize) return false;
  bytes.resize(size_t(got));
  Header header = ParseHeader(reinterpret_cast<const unsigned char*>(bytes.data()));
  if (!header.present) return true;
  exists_ = true;
  versionId_ = header.major;
  size_ = header.size > file.Size() ? 0 : int32_t(header.size);
  if (size_ == 0 || size_ > kLargestParsedTag) return true;
  if (int64_t(bytes.size()) < size_) {
    // A read error past the header leaves the fields empty, as for a tag
    // whose frames cannot be read.
    if (!ReadExactly(file, bytes, size_t(size_) - bytes.size(), int64_t(bytes.size())))
      return true;
  }
  std::vector<Frame> frames =
      ParseFrames(header, std::string_view(bytes).substr(kHeaderSize, size_t(size_) - kHeaderSize));
  std::vector<int> fieldOf = Classify(frames);
  bool yearFromRecordingTime = false;
  for (size_t i = 0; i < frames.size(); ++i) {
    const Frame& frame = frames[i];
    switch (fieldOf[i]) {
      case -1: break;
      case kTrack: track_ = ParseTrack(FrameText(frame)); break;
      case kGenre: text_[kGenre] = GenreText(frame); break;
      case kComment: text_[kComment] = CommentText(frame); break;
      case kURL: text_[kURL] = UrlText(frame); break;
      case kYear:
        // TDRC is the year of version 2.4 and wins over a TYER beside it.
        if (frame.id == kRecordingTime || !yearFromRecordingTime)
          text_[kYear] = FrameText(frame);
        yearFromRecordingTime |= frame.id == kRecordingTime;
        break;
      default: text_[size_t(fieldOf[i])] = FrameText(frame); break;
    }
  }
  return true;
}

bool TID3v2::WriteTag(const std::string& fileName, const WriteOptions& options) {
  InputFile file;
  return file.OpenForUpdate(fileName) && Rebuild(file, true, options);
}

bool TID3v2::WriteTag(InputFile& file, const WriteOptions& options) {
  return Rebuild(file, true, options);
}

bool TID3v2::RemoveTag(const std::string& fileName, const WriteOptions& options) {
  InputFile file;
  return file.OpenForUpdate(fileName) && Rebuild(file, false, options);
}

bool TID3v2::RemoveTag(InputFile& file, const WriteOptions& options) {
  return Rebuild(file, false, options);
}

int64_t TID3v2::PaddingFor(int64_t frameBytes) {
  return std::max<int64_t>(
      0, std::min(kLeastPadding + frameBytes / kPaddingShare, kLargestWrittenBody - frameBytes));
}

bool TID3v2::Rebuild(InputFile& source, bool withTag, const WriteOptions& options) const {
  // Unwatched, a tag write makes a read-only file writable whatever it then
  // writes; a watched one touches the file only to change it.
  if (!options.watch && !source.MakeWritable()) return false;
  std::string bytes;
  if (!ReadExactly(source, bytes, kHeaderSize, 0)) return false;
  Header header = ParseHeader(reinterpret_cast<const unsigned char*>(bytes.data()));
  if (!withTag && !header.present) return false;

  int64_t skip = 0;
  std::vector<Frame> kept;
  std::string unparsed;
  const Frame* oldTrack = nullptr;
  const Frame* oldComment = nullptr;
  std::vector<Frame> frames;
  if (header.present && header.size <= source.Size()) {
    skip = header.size;
    // A 2.4 footer belongs to the tag.
    std::string footer;
    if (header.major == 4 && (header.flags & 0x10) && ReadExactly(source, footer, 3, skip) &&
        footer == "3DI")
      skip += kHeaderSize;
    if (withTag && header.major >= 2 && header.major <= 4) {
      // Frames that cannot be read cannot be kept: refuse rather than drop them.
      if (header.size > kLargestParsedTag) return false;
      if (!ReadExactly(source, bytes, size_t(header.size) - kHeaderSize, kHeaderSize)) return false;
      frames = ParseFrames(header, std::string_view(bytes).substr(kHeaderSize), &unparsed);
      std::vector<int> fieldOf = Classify(frames);
      for (size_t i = 0; i < frames.size(); ++i) {
        if (fieldOf[i] == kTrack) oldTrack = &frames[i];
        if (fieldOf[i] == kComment) oldComment = &frames[i];
        if (fieldOf[i] != -1) continue;
        kept.push_back(frames[i]);
        if (header.major == 4) ConvertTo23Encoding(kept.back());
      }
    }
  }

  std::string tag;
  if (withTag) {
    // A kept COMM or WXXX without a description would read as the comment or
    // URL once the program's own frame is gone: an empty field then keeps its
    // frame, empty, in front of it.
    bool keptWithoutDescription[kFieldCount] = {};
    for (const Frame& frame : kept) {
      int field = FieldOfId(frame.id);
      if ((field == kComment || field == kURL) && !(frame.format & (kCompressed | kEncrypted)) &&
          !HasDescription(frame))
        keptWithoutDescription[field] = true;
    }
    std::string body;
    for (const FieldFrame& f : kFieldFrames) {
      const std::string& text = text_[f.field];
      std::string data;
      switch (f.field) {
        case kTrack:
          // A track text such as "3/12", "05" or "A1" that still gives this
          // number is kept as it was written.
          if (oldTrack && ParseTrack(FrameText(*oldTrack)) == track_) {
            Frame copy = *oldTrack;
            ConvertTo23Encoding(copy);
            data = copy.data;
          } else if (track_ > 0) {
            data = TextFrameData(std::to_string(track_));
          } else {
            continue;
          }
          break;
        case kComment: {
          if (text.empty() && !keptWithoutDescription[kComment]) continue;
          uint8_t encoding = EncodingFor(text);
          data = std::string(1, char(encoding)) + CommentLanguage(oldComment) +
                 Encode("", encoding) + Terminator(encoding) + Encode(text, encoding);
          break;
        }
        case kURL:
          if (text.empty() && !keptWithoutDescription[kURL]) continue;
          data = std::string(2, '\0') + UrlBytes(text);
          break;
        default:
          if (text.empty()) continue;
          data = TextFrameData(text);
          break;
      }
      AppendFrame(body, f.id, 0, 0, data);
    }
    for (const Frame& frame : kept) AppendFrame(body, frame.id, frame.status, frame.format, frame.data);
    body += unparsed;
    // A tag that fits in the old one's space goes there: the old tag's
    // padding keeps serving, and only the bytes that differ are written.
    if (skip >= kHeaderSize + int64_t(body.size()) && skip - kHeaderSize <= kLargestWrittenBody &&
        skip <= kLargestParsedTag) {
      std::string region = Header23(size_t(skip - kHeaderSize)) + body;
      region.resize(size_t(skip), '\0');
      std::string old;
      if (!ReadExactly(source, old, size_t(skip), 0)) return false;
      auto first = std::mismatch(region.begin(), region.end(), old.begin()).first;
      if (first == region.end()) return true;
      auto last = std::mismatch(region.rbegin(), region.rend(), old.rbegin()).first.base();
      size_t from = size_t(first - region.begin());
      WatchedWrite watched(options, source, {false, false, old, region});
      if (!watched.Goes()) return watched.Answer();
      bool unjournaled = false;
      if (watched.Done(source.MakeWritable() &&
                       ChangeInPlace(source, int64_t(from),
                                     std::string_view(region).substr(from, size_t(last - first)),
                                     -1, options, &unjournaled)))
        return true;
      // Without a journal the whole file is rewritten, which needs none.
      if (!unjournaled) return false;
    }
    if (int64_t(body.size()) > kLargestWrittenBody) return false;
    body.resize(body.size() + size_t(PaddingFor(int64_t(body.size()))), '\0');
    tag = Header23(body.size()) + body;
  }
  // What the rewrite replaces, for the watch: the old tag whole.
  std::string old;
  if (options.watch && !ReadExactly(source, old, size_t(skip), 0)) return false;
  WatchedWrite watched(options, source, {false, true, old, tag});
  if (!watched.Goes()) return watched.Answer();
  return watched.Done(source.MakeWritable() && ReplaceFile(source, tag, skip, options));
}

void TID3v2::SetText(Field field, std::string_view text) {
  if (field == kTrack) return;
  text_[field] = SanitizeUtf8(Trim(text));
}

}  // namespace tagmora
