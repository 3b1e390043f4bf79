#include "tags/id3v2/TagParser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "tags/id3v2/FrameText.h"

namespace tagmora::id3v2 {

namespace {

// Version 2.2 identifiers and their 2.3 counterparts. Frames whose layout
// differs (LNK, CRM) have none and are dropped.
constexpr std::array<std::pair<std::string_view, std::string_view>, 68> kV22Ids = {{
    {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"},
    {"EQU", "EQUA"}, {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"MCI", "MCDI"}, {"MLL", "MLLT"},
    {"PIC", "APIC"}, {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"},
    {"STC", "SYTC"}, {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"}, {"TCO", "TCON"},
    {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"}, {"TFT", "TFLT"},
    {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"}, {"TMT", "TMED"},
    {"TOA", "TOPE"}, {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"},
    {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TPA", "TPOS"},
    {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"}, {"TSI", "TSIZ"},
    {"TSS", "TSSE"}, {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TXT", "TEXT"},
    {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"}, {"WAF", "WOAF"},
    {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"},
    {"WXX", "WXXX"}, {"TCP", "TCMP"}, {"TS2", "TSO2"}, {"TSA", "TSOA"}, {"TSC", "TSOC"},
    {"TSP", "TSOP"}, {"TST", "TSOT"}, {"WPY", "WPAY"},
}};

uint32_t BigEndian(std::string_view b, size_t n) {
  uint32_t v = 0;
  for (size_t i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(b[i]);
  return v;
}

uint32_t SyncSafe(std::string_view b) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = (v << 7) | (static_cast<unsigned char>(b[i]) & 0x7F);
  return v;
}

bool IsFrameId(std::string_view bytes, size_t length) {
  if (bytes.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    char c = bytes[i];
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// True when a frame may end at `next`: the body ends there, padding starts,
// or another frame's identifier follows.
bool PlausibleEnd(std::string_view body, uint64_t next) {
  if (next > body.size()) return false;
  if (next == body.size() || body[next] == 0) return true;
  return IsFrameId(body.substr(next), 4);
}

// Version 2.4 sizes are sync-safe, but some writers store plain numbers;
// the one whose frame ends where a next frame or the padding begins wins.
uint32_t Frame24Size(std::string_view body, size_t pos) {
  std::string_view raw = body.substr(pos + 4, 4);
  uint32_t plain = BigEndian(raw, 4);
  bool syncSafeBytes = std::none_of(raw.begin(), raw.end(), [](char c) { return c & 0x80; });
  if (!syncSafeBytes) return plain;
  uint32_t syncSafe = SyncSafe(raw);
  if (syncSafe == plain || PlausibleEnd(body, pos + 10 + uint64_t(syncSafe))) return syncSafe;
  if (PlausibleEnd(body, pos + 10 + uint64_t(plain))) return plain;
  return syncSafe;
}

size_t ExtendedHeaderSize(const Header& header, std::string_view body) {
  if (header.major < 3 || !(header.flags & 0x40) || body.size() < 4) return 0;
  // Some writers set the flag without writing the header.
  if (IsFrameId(body, 4)) return 0;
  uint64_t size = header.major == 3 ? 4 + uint64_t(BigEndian(body, 4)) : SyncSafe(body);
  return size_t(std::min<uint64_t>(size, body.size()));
}

std::string PutBigEndian(uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// A 2.2 picture names its image format in three letters; 2.3 uses a MIME type.
std::string PictureTo23(std::string_view data) {
  if (data.size() < 4) return std::string(data);
  std::string format(data.substr(1, 3));
  std::string mime;
  if (format == "-->") {
    mime = format;
  } else {
    for (char& c : format) c = char(std::tolower(static_cast<unsigned char>(c)));
    mime = "image/" + (format == "jpg" ? std::string("jpeg") : format);
  }
  return std::string(1, data[0]) + mime + '\0' + std::string(data.substr(4));
}

bool Convert22(std::string_view id, std::string_view data, Frame& frame) {
  auto it = std::find_if(kV22Ids.begin(), kV22Ids.end(),
                         [&](const auto& pair) { return pair.first == id; });
  if (it == kV22Ids.end()) return false;
  frame.id = std::string(it->second);
  frame.data = frame.id == "APIC" ? PictureTo23(data) : std::string(data);
  return true;
}

bool Convert24(uint8_t status, uint8_t format, bool tagUnsync, std::string_view stored,
               Frame& frame) {
  frame.status = uint8_t(((status & 0x40) ? 0x80 : 0) | ((status & 0x20) ? 0x40 : 0) |
                         ((status & 0x10) ? 0x20 : 0));
  bool grouped = format & 0x40, compressed = format & 0x08, encrypted = format & 0x04;
  bool unsync = (format & 0x02) || tagUnsync, lengthIndicator = format & 0x01;
  std::string data = unsync ? UndoUnsynchronisation(stored) : std::string(stored);
  size_t pos = 0;
  std::string group, method, length;
  if (grouped) {
    if (pos >= data.size()) return false;
    group = data.substr(pos++, 1);
  }
  if (encrypted) {
    if (pos >= data.size()) return false;
    method = data.substr(pos++, 1);
  }
  if (lengthIndicator) {
    if (pos + 4 > data.size()) return false;
    length = PutBigEndian(SyncSafe(std::string_view(data).substr(pos, 4)));
    pos += 4;
  }
  // Version 2.3 keeps the decompressed size in front of compressed data.
  if (compressed && length.empty()) return false;
  frame.format = uint8_t((compressed ? kCompressed : 0) | (encrypted ? kEncrypted : 0) |
                         (grouped ? kGrouped : 0));
  frame.data = (compressed ? length : std::string()) + method + group + data.substr(pos);
  return true;
}

}  // namespace

Header ParseHeader(const unsigned char* b) {
  Header h;
  if (std::memcmp(b, "ID3", 3) != 0) return h;
  h.present = true;
  h.major = b[3];
  h.revision = b[4];
  h.flags = b[5];
  h.size = int64_t(b[6]) * 2097152 + int64_t(b[7]) * 16384 + int64_t(b[8]) * 128 + b[9] +
           kHeaderSize;
  return h;
}

std::string UndoUnsynchronisation(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0)
      ++i;
  }
  return out;
}

std::vector<Frame> ParseFrames(const Header& header, std::string_view body,
                               std::string* unparsed) {
  std::vector<Frame> frames;
  if (unparsed) unparsed->clear();
  const int major = header.major;
  if (major < 2 || major > 4) return frames;
  // A compressed 2.2 tag has no defined layout.
  if (major == 2 && (header.flags & 0x40)) return frames;
  std::string undone;
  if (major <= 3 && (header.flags & 0x80)) {
    undone = UndoUnsynchronisation(body);
    body = undone;
  }
  const size_t idSize = major == 2 ? 3 : 4;
  const size_t frameHeaderSize = major == 2 ? 6 : 10;
  size_t pos = ExtendedHeaderSize(header, body);
  while (pos + frameHeaderSize <= body.size()) {
    char first = body[pos];
    if (first < 'A' || first > 'Z') break;
    std::string_view id = body.substr(pos, idSize);
    uint64_t size = major == 2   ? BigEndian(body.substr(pos + 3), 3)
                    : major == 3 ? BigEndian(body.substr(pos + 4), 4)
                                 : Frame24Size(body, pos);
    size_t start = pos + frameHeaderSize;
    // A frame that claims more than the tag holds keeps what is there.
    size_t length = size_t(std::min<uint64_t>(size, body.size() - start));
    std::string_view data = body.substr(start, length);
    pos = start + length;

    Frame frame;
    bool keep = true;
    if (major == 2) {
      keep = Convert22(id, data, frame);
    } else if (major == 3) {
      frame.id = std::string(id);
      frame.status = static_cast<uint8_t>(body[start - 2]);
      frame.format = static_cast<uint8_t>(body[start - 1]);
      frame.data = std::string(data);
    } else {
      frame.id = std::string(id);
      keep = Convert24(static_cast<uint8_t>(body[start - 2]), static_cast<uint8_t>(body[start - 1]),
                       header.flags & 0x80, data, frame);
    }
    if (keep) frames.push_back(std::move(frame));
  }
  // A frame header cut by the tag's end is no frame: kept, with padding
  // behind it, it would read as one.
  if (unparsed && major == 3 && pos < body.size() && (body[pos] < 'A' || body[pos] > 'Z')) {
    std::string_view rest = body.substr(pos);
    size_t end = rest.find_last_not_of('\0');
    if (end != std::string_view::npos) *unparsed = std::string(rest.substr(0, end + 1));
  }
  return frames;
}

void ConvertTo23Encoding(Frame& frame) {
  if (frame.data.empty() || (frame.format & (kCompressed | kEncrypted))) return;
  uint8_t encoding = static_cast<uint8_t>(frame.data[0]);
  if (encoding != kUtf16BE && encoding != kUtf8) return;
  std::string_view rest = std::string_view(frame.data).substr(1);

  // Bytes before the encoded strings, and how many strings (0 = all).
  size_t prefix = 0, strings = 0;
  const std::string& id = frame.id;
  if (id == "COMM" || id == "USLT") {
    prefix = 3;
  } else if (id == "WXXX") {
    strings = 1;
  } else if (id == "APIC") {
    size_t mimeEnd = rest.find('\0');
    if (mimeEnd == std::string_view::npos) return;
    prefix = mimeEnd + 2;  // the MIME type, its terminator and the picture type
    strings = 1;
  } else if (id[0] != 'T') {
    return;
  }
  if (prefix > rest.size()) return;
  std::string head(rest.substr(0, prefix));
  rest.remove_prefix(prefix);

  struct Piece {
    std::string text;
    bool terminated;
  };
  std::vector<Piece> pieces;
  std::string all;
  while (!rest.empty() && (strings == 0 || pieces.size() < strings)) {
    size_t before = rest.size();
    std::string_view raw = TakeString(rest, encoding);
    bool terminated = before - raw.size() > rest.size();
    pieces.push_back({Decode(raw, encoding), terminated});
    all += pieces.back().text;
  }
  uint8_t target = EncodingFor(all);
  std::string data(1, char(target));
  data += head;
  for (const Piece& piece : pieces)
    data += Encode(piece.text, target) + (piece.terminated ? Terminator(target) : std::string());
  data += rest;  // what follows the strings (a URL, picture data) stays as it is
  frame.data = std::move(data);
}

}  // namespace tagmora::id3v2
