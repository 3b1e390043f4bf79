#include "tags/ID3v2.h"

#include <cstring>

#include "platform/InputFile.h"
#include "platform/TextCodec.h"

namespace tagmora {

namespace {

std::string Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return SanitizeUtf8(text);
}

}  // namespace

TID3v2::TID3v2() { Clear(); }

void TID3v2::Clear() {
  exists_ = false;
  versionId_ = 0;
  size_ = 0;
  title_.clear();
  artist_.clear();
  album_.clear();
  track_ = 0;
  year_.clear();
  genre_.clear();
  comment_.clear();
  composer_.clear();
  encoder_.clear();
  copyright_.clear();
  language_.clear();
  url_.clear();
}

bool TID3v2::ReadTag(const std::string& fileName) {
  Clear();
  InputFile file;
  return file.Open(fileName) && ReadTag(file);
}

bool TID3v2::ReadTag(const InputFile& file) {
  Clear();
  unsigned char header[10];
  if (!file.IsOpen() || file.ReadAt(header, 10, 0) != 10) return false;
  if (std::memcmp(header, "ID3", 3) != 0) return true;
  exists_ = true;
  versionId_ = header[3];
  int64_t size = int64_t(header[6]) * 2097152 + int64_t(header[7]) * 16384 +
                 int64_t(header[8]) * 128 + header[9] + 10;
  size_ = size > file.Size() ? 0 : int32_t(size);
  return true;
}

bool TID3v2::WriteTag(const std::string&) { return false; }
bool TID3v2::RemoveTag(const std::string&) { return false; }

void TID3v2::SetTitle(std::string_view text) { title_ = Trim(text); }
void TID3v2::SetArtist(std::string_view text) { artist_ = Trim(text); }
void TID3v2::SetAlbum(std::string_view text) { album_ = Trim(text); }
void TID3v2::SetYear(std::string_view text) { year_ = Trim(text); }
void TID3v2::SetGenre(std::string_view text) { genre_ = Trim(text); }
void TID3v2::SetComment(std::string_view text) { comment_ = Trim(text); }
void TID3v2::SetComposer(std::string_view text) { composer_ = Trim(text); }
void TID3v2::SetEncoder(std::string_view text) { encoder_ = Trim(text); }
void TID3v2::SetCopyright(std::string_view text) { copyright_ = Trim(text); }
void TID3v2::SetLanguage(std::string_view text) { language_ = Trim(text); }
void TID3v2::SetURL(std::string_view text) { url_ = Trim(text); }

}  // namespace tagmora
