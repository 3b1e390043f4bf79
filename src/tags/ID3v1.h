#pragma once
// The 128-byte ID3v1 record at the end of an MP3 file.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/WriteOptions.h"

namespace tagmora {

class InputFile;

// One file's ID3v1 fields, carried between the tag access layer and its
// callers. Texts are UTF-8.
struct IDv1Tag {
  bool Exists = false;
  uint8_t VersionId = 1;  // 1 = version 1.0 layout, 2 = version 1.1 layout
  std::string Title;      // at most 30 characters
  std::string Artist;     // at most 30 characters
  std::string Album;      // at most 30 characters
  std::string Year;       // at most 4 characters
  std::string Comment;    // at most 30 characters
  uint8_t Track = 0;      // 0 = no track number
  uint8_t GenreId = 255;  // 255 = no genre
  std::string Genre;      // the name of GenreId, or empty

  bool operator==(const IDv1Tag&) const = default;
};

// Reads, writes and removes the record. Texts are Windows-1252 on disk and
// UTF-8 here; characters Windows-1252 cannot hold are written as '?'.
class TID3v1 {
 public:
  TID3v1();

  void Clear();
  // True when the last 128 bytes could be read, whether or not they were a tag.
  bool ReadTag(const std::string& fileName);
  bool ReadTag(const InputFile& file);
  // Replaces the file's record (or appends one) with the current fields,
  // in place under an undo record of the journal.
  bool WriteTag(const std::string& fileName, const WriteOptions& options = {});
  bool WriteTag(InputFile& file, const WriteOptions& options = {});
  // True when the file holds no record afterwards.
  bool RemoveTag(const std::string& fileName, const WriteOptions& options = {});
  bool RemoveTag(InputFile& file, const WriteOptions& options = {});

  bool Exists() const { return exists_; }
  uint8_t VersionId() const { return versionId_; }
  const std::string& Title() const { return title_; }
  const std::string& Artist() const { return artist_; }
  const std::string& Album() const { return album_; }
  const std::string& Year() const { return year_; }
  const std::string& Comment() const { return comment_; }
  uint8_t Track() const { return track_; }
  uint8_t GenreId() const { return genreId_; }
  std::string Genre() const;

  // Trailing characters 0 to 32 are removed, then the text is cut to 30
  // characters (the year to 4).
  void SetTitle(std::string_view text);
  void SetArtist(std::string_view text);
  void SetAlbum(std::string_view text);
  void SetYear(std::string_view text);
  void SetComment(std::string_view text);
  void SetTrack(uint8_t track) { track_ = track; }
  void SetGenreId(uint8_t id) { genreId_ = id; }

 private:
  bool exists_;
  uint8_t versionId_;
  std::string title_, artist_, album_, year_, comment_;
  uint8_t track_;
  uint8_t genreId_;
};

}  // namespace tagmora
