#include "editing/TagAccess.h"

#include "platform/FileSystem.h"
#include "platform/InputFile.h"

namespace tagmora {

std::string ReadTags(const std::string& fileName, IDv1Tag& v1, IDv2Tag& v2) {
  // One open serves both readers.
  InputFile file;
  if (!file.Open(fileName)) {
    if (!FileExists(fileName)) return kStatusFileMissing;
  }
  std::string status = kStatusOK;

  TID3v1 id3v1;
  if (!id3v1.ReadTag(file)) status = kStatusReadID3v1;
  v1.Exists = id3v1.Exists();
  v1.VersionId = id3v1.VersionId();
  v1.Title = id3v1.Title();
  v1.Artist = id3v1.Artist();
  v1.Album = id3v1.Album();
  v1.Year = id3v1.Year();
  v1.Comment = id3v1.Comment();
  v1.Track = id3v1.Track();
  v1.GenreId = id3v1.GenreId();
  v1.Genre = id3v1.Genre();

  TID3v2 id3v2;
  if (!id3v2.ReadTag(file)) status = kStatusReadID3v2;
  v2.Exists = id3v2.Exists();
  v2.VersionId = id3v2.VersionId();
  v2.Size = id3v2.Size();
  v2.Title = id3v2.Title();
  v2.Artist = id3v2.Artist();
  v2.Album = id3v2.Album();
  v2.Track = id3v2.Track();
  v2.Year = id3v2.Year();
  v2.Genre = id3v2.Genre();
  v2.Comment = id3v2.Comment();
  v2.Composer = id3v2.Composer();
  v2.Encoder = id3v2.Encoder();
  v2.Copyright = id3v2.Copyright();
  v2.Language = id3v2.Language();
  v2.URL = id3v2.URL();
  return status;
}

std::string WriteID3v1Tag(const std::string& fileName, const IDv1Tag& v1,
                          const WriteOptions& options) {
  InputFile file;
  if (!file.OpenForUpdate(fileName))
    return FileExists(fileName) ? kStatusWriteID3v1 : kStatusFileMissing;
  TID3v1 id3v1;
  bool ok;
  if (v1.Exists) {
    id3v1.SetTitle(v1.Title);
    id3v1.SetArtist(v1.Artist);
    id3v1.SetAlbum(v1.Album);
    id3v1.SetYear(v1.Year);
    id3v1.SetComment(v1.Comment);
    id3v1.SetTrack(v1.Track);
    id3v1.SetGenreId(v1.GenreId);
    ok = id3v1.WriteTag(file, options);
  } else {
    ok = id3v1.RemoveTag(file, options);
  }
  return ok ? kStatusOK : kStatusWriteID3v1;
}

std::string WriteID3v2Tag(const std::string& fileName, const IDv2Tag& v2,
                          const WriteOptions& options) {
  InputFile file;
  if (!file.OpenForUpdate(fileName))
    return FileExists(fileName) ? kStatusWriteID3v2 : kStatusFileMissing;
  TID3v2 id3v2;
  bool ok;
  if (v2.Exists) {
    id3v2.SetTitle(v2.Title);
    id3v2.SetArtist(v2.Artist);
    id3v2.SetAlbum(v2.Album);
    id3v2.SetYear(v2.Year);
    id3v2.SetGenre(v2.Genre);
    id3v2.SetComment(v2.Comment);
    id3v2.SetComposer(v2.Composer);
    id3v2.SetEncoder(v2.Encoder);
    id3v2.SetCopyright(v2.Copyright);
    id3v2.SetLanguage(v2.Language);
    id3v2.SetURL(v2.URL);
    id3v2.SetTrack(v2.Track);
    ok = id3v2.WriteTag(file, options);
  } else {
    ok = id3v2.RemoveTag(file, options);
  }
  return ok ? kStatusOK : kStatusWriteID3v2;
}

}  // namespace tagmora
