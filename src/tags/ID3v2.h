#pragma once
// The ID3v2 tag at the start of an MP3 file.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/WriteOptions.h"

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
// current tag. A new tag that fits in the old one's space (its header,
// frames and padding) is written there in place, under an undo record of
// the journal; one that does not replaces the file whole through a
// temporary file, with padding for the next change to fit.
class TID3v2 {
 public:
  TID3v2();

  void Clear();
  // True when the first 10 bytes could be read, whether or not they were a tag.
  bool ReadTag(const std::string& fileName);
  bool ReadTag(const InputFile& file);
  bool WriteTag(const std::string& fileName, const WriteOptions& options = {});
  // The same through a file opened for update, which is read and written
  // without being opened again.
  bool WriteTag(InputFile& file, const WriteOptions& options = {});
  // False when the file has no ID3v2 tag.
  bool RemoveTag(const std::string& fileName, const WriteOptions& options = {});
  bool RemoveTag(InputFile& file, const WriteOptions& options = {});

  // The zero bytes a rewritten tag gets after frames of this many bytes.
  static int64_t PaddingFor(int64_t frameBytes);

  // The text fields, in the order their frames are written.
  enum Field {
    kTitle, kArtist, kAlbum, kTrack, kYear, kGenre, kComment,
    kComposer, kEncoder, kCopyright, kLanguage, kURL, kFieldCount
  };

  bool Exists() const { return exists_; }
  uint8_t VersionId() const { return versionId_; }
  int32_t Size() const { return size_; }
  const std::string& Title() const { return text_[kTitle]; }
  const std::string& Artist() const { return text_[kArtist]; }
  const std::string& Album() const { return text_[kAlbum]; }
  uint8_t Track() const { return track_; }
  const std::string& Year() const { return text_[kYear]; }
  const std::string& Genre() const { return text_[kGenre]; }
  const std::string& Comment() const { return text_[kComment]; }
  const std::string& Composer() const { return text_[kComposer]; }
  const std::string& Encoder() const { return text_[kEncoder]; }
  const std::string& Copyright() const { return text_[kCopyright]; }
  const std::string& Language() const { return text_[kLanguage]; }
  const std::string& URL() const { return text_[kURL]; }

  // Leading and trailing characters 0 to 32 are removed; no length limit.
  void SetText(Field field, std::string_view text);
  void SetTitle(std::string_view text) { SetText(kTitle, text); }
  void SetArtist(std::string_view text) { SetText(kArtist, text); }
  void SetAlbum(std::string_view text) { SetText(kAlbum, text); }
  void SetYear(std::string_view text) { SetText(kYear, text); }
  void SetGenre(std::string_view text) { SetText(kGenre, text); }
  void SetComment(std::string_view text) { SetText(kComment, text); }
  void SetComposer(std::string_view text) { SetText(kComposer, text); }
  void SetEncoder(std::string_view text) { SetText(kEncoder, text); }
  void SetCopyright(std::string_view text) { SetText(kCopyright, text); }
  void SetLanguage(std::string_view text) { SetText(kLanguage, text); }
  void SetURL(std::string_view text) { SetText(kURL, text); }
  void SetTrack(uint8_t track) { track_ = track; }

 private:
  bool Rebuild(InputFile& file, bool withTag, const WriteOptions& options) const;

  bool exists_;
  uint8_t versionId_;
  int32_t size_;
  std::array<std::string, kFieldCount> text_;  // kTrack's slot stays empty
  uint8_t track_;
};

}  // namespace tagmora
