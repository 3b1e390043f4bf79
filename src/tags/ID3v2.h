#pragma once
// The ID3v2 tag at the start of an MP3 file.

#include <cstdint>
#include <string>
#include <string_view>

namespace tagmora {

class InputFile;

// One file's ID3v2 fields, carried between the tag access layer and its
// callers. Texts are UTF-8.
struct IDv2Tag {
  bool Exists = false;
  uint8_t VersionId = 0;  // the header's major version; 0 without a tag
  int32_t Size = 0;       // whole tag with its header; 0 without a tag
  std::string Title, Artist, Album;
  uint8_t Track = 0;      // 0 = none
  std::string Year, Genre, Comment, Composer, Encoder, Copyright, Language, URL;

  bool operator==(const IDv2Tag&) const = default;
};

// Reads versions 2.2, 2.3 and 2.4 into the twelve fields the program edits,
// and writes version 2.3. A write keeps every other frame of the file's
// current tag and replaces the file atomically through "<name>~".
class TID3v2 {
 public:
  TID3v2();

  void Clear();
  // True when the first 10 bytes could be read, whether or not they were a tag.
  bool ReadTag(const std::string& fileName);
  bool ReadTag(const InputFile& file);
  bool WriteTag(const std::string& fileName);
  // False when the file has no ID3v2 tag.
  bool RemoveTag(const std::string& fileName);

  bool Exists() const { return exists_; }
  uint8_t VersionId() const { return versionId_; }
  int32_t Size() const { return size_; }
  const std::string& Title() const { return title_; }
  const std::string& Artist() const { return artist_; }
  const std::string& Album() const { return album_; }
  uint8_t Track() const { return track_; }
  const std::string& Year() const { return year_; }
  const std::string& Genre() const { return genre_; }
  const std::string& Comment() const { return comment_; }
  const std::string& Composer() const { return composer_; }
  const std::string& Encoder() const { return encoder_; }
  const std::string& Copyright() const { return copyright_; }
  const std::string& Language() const { return language_; }
  const std::string& URL() const { return url_; }

  // Leading and trailing characters 0 to 32 are removed; no length limit.
  void SetTitle(std::string_view text);
  void SetArtist(std::string_view text);
  void SetAlbum(std::string_view text);
  void SetYear(std::string_view text);
  void SetGenre(std::string_view text);
  void SetComment(std::string_view text);
  void SetComposer(std::string_view text);
  void SetEncoder(std::string_view text);
  void SetCopyright(std::string_view text);
  void SetLanguage(std::string_view text);
  void SetURL(std::string_view text);
  void SetTrack(uint8_t track) { track_ = track; }

 private:
  bool exists_;
  uint8_t versionId_;
  int32_t size_;
  std::string title_, artist_, album_;
  uint8_t track_;
  std::string year_, genre_, comment_, composer_, encoder_, copyright_, language_, url_;
};

}  // namespace tagmora
