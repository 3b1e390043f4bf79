#include "tags/ID3v1.h"

#include <cstring>

#include "platform/InputFile.h"
#include "platform/Journal.h"
#include "platform/TextCodec.h"
#include "tags/GenreNames.h"

namespace tagmora {

namespace {

constexpr int kRecordSize = 128;

struct FieldLayout {
  int offset;
  int width;
};
constexpr FieldLayout kTitle{3, 30}, kArtist{33, 30}, kAlbum{63, 30}, kYear{93, 4},
    kComment{97, 30}, kComment11{97, 28};
constexpr int kTrackMarker = 125, kTrack = 126, kGenre = 127;

// Removes trailing characters 0 to 32.
std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
    text.remove_suffix(1);
  return text;
}

std::string FieldText(const char* record, FieldLayout field) {
  return Cp1252ToUtf8(TrimRight(std::string_view(record + field.offset, size_t(field.width))));
}

void PutField(char* record, FieldLayout field, const std::string& text) {
  std::string bytes = Utf8ToCp1252(text);
  std::memcpy(record + field.offset, bytes.data(), std::min(bytes.size(), size_t(field.width)));
}

bool ReadLastRecord(const InputFile& file, char* record) {
  if (!file.IsOpen() || file.Size() < kRecordSize) return false;
  return file.ReadAt(record, kRecordSize, file.Size() - kRecordSize) == kRecordSize;
}

bool IsTag(const char* record) { return std::memcmp(record, "TAG", 3) == 0; }

}  // namespace

TID3v1::TID3v1() { Clear(); }

void TID3v1::Clear() {
  exists_ = false;
  versionId_ = 1;
  title_.clear();
  artist_.clear();
  album_.clear();
  year_.clear();
  comment_.clear();
  track_ = 0;
  genreId_ = kNoGenre;
}

bool TID3v1::ReadTag(const std::string& fileName) {
  Clear();
  InputFile file;
  return file.Open(fileName) && ReadTag(file);
}

bool TID3v1::ReadTag(const InputFile& file) {
  Clear();
  char record[kRecordSize];
  if (!ReadLastRecord(file, record)) return false;
  if (!IsTag(record)) return true;
  exists_ = true;
  auto marker = static_cast<unsigned char>(record[kTrackMarker]);
  auto track = static_cast<unsigned char>(record[kTrack]);
  bool v11 = (marker == 0 && track != 0) || (marker == ' ' && track != ' ');
  versionId_ = v11 ? 2 : 1;
  title_ = FieldText(record, kTitle);
  artist_ = FieldText(record, kArtist);
  album_ = FieldText(record, kAlbum);
  year_ = FieldText(record, kYear);
  comment_ = FieldText(record, v11 ? kComment11 : kComment);
  if (v11) track_ = track;
  genreId_ = static_cast<unsigned char>(record[kGenre]);
  return true;
}

bool TID3v1::RemoveTag(const std::string& fileName, const WriteOptions& options) {
  InputFile file;
  return file.OpenForUpdate(fileName) && RemoveTag(file, options);
}

bool TID3v1::RemoveTag(InputFile& file, const WriteOptions& options) {
  char record[kRecordSize];
  if (!ReadLastRecord(file, record)) return false;
  if (!IsTag(record)) return true;
  WatchedWrite watched(options, file, {true, false, std::string_view(record, kRecordSize), {}});
  if (!watched.Goes()) return watched.Answer();
  return watched.Done(file.MakeWritable() && ChangeInPlace(file, file.Size() - kRecordSize, {},
                                                           file.Size() - kRecordSize, options));
}

bool TID3v1::WriteTag(const std::string& fileName, const WriteOptions& options) {
  InputFile file;
  return file.OpenForUpdate(fileName) && WriteTag(file, options);
}

bool TID3v1::WriteTag(InputFile& file, const WriteOptions& options) {
  char record[kRecordSize] = {};
  std::memcpy(record, "TAG", 3);
  PutField(record, kTitle, title_);
  PutField(record, kArtist, artist_);
  PutField(record, kAlbum, album_);
  PutField(record, kYear, year_);
  PutField(record, kComment, comment_);
  if (track_ > 0) {
    record[kTrackMarker] = 0;
    record[kTrack] = char(track_);
  }
  record[kGenre] = char(genreId_);
  char last[kRecordSize];
  // Unwatched, a write makes a read-only file writable whatever it then
  // writes; a watched one touches the file only to change it.
  if (!ReadLastRecord(file, last) || (!options.watch && !file.MakeWritable())) return false;
  const bool hadTag = IsTag(last);
  if (hadTag && std::memcmp(last, record, kRecordSize) == 0) return true;
  WatchedWrite watched(options, file,
                       {true, false, hadTag ? std::string_view(last, kRecordSize) : "",
                        std::string_view(record, kRecordSize)});
  if (!watched.Goes()) return watched.Answer();
  // The new record takes the old one's place, or follows the audio.
  const int64_t end = file.Size();
  const int64_t at = hadTag ? end - kRecordSize : end;
  return watched.Done(file.MakeWritable() && ChangeInPlace(file, at,
                                                           std::string_view(record, kRecordSize),
                                                           at + kRecordSize, options));
}

std::string TID3v1::Genre() const { return std::string(GenreName(genreId_)); }

namespace {
std::string Fit(std::string_view text, size_t count) {
  return Utf8Left(SanitizeUtf8(TrimRight(text)), count);
}
}  // namespace

void TID3v1::SetTitle(std::string_view text) { title_ = Fit(text, 30); }
void TID3v1::SetArtist(std::string_view text) { artist_ = Fit(text, 30); }
void TID3v1::SetAlbum(std::string_view text) { album_ = Fit(text, 30); }
void TID3v1::SetYear(std::string_view text) { year_ = Fit(text, 4); }
void TID3v1::SetComment(std::string_view text) { comment_ = Fit(text, 30); }

}  // namespace tagmora
