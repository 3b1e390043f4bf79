#include "jobs/MultiTagFields.h"

#include "tags/GenreNames.h"

namespace tagmora {

std::string* FieldText(IDv1Tag& v1, MultiField field) {
  switch (field) {
    case kFieldTitle: return &v1.Title;
    case kFieldArtist: return &v1.Artist;
    case kFieldAlbum: return &v1.Album;
    case kFieldComment: return &v1.Comment;
    case kFieldYear: return &v1.Year;
    default: return nullptr;
  }
}

std::string* FieldText(IDv2Tag& v2, MultiField field) {
  switch (field) {
    case kFieldTitle: return &v2.Title;
    case kFieldArtist: return &v2.Artist;
    case kFieldAlbum: return &v2.Album;
    case kFieldComment: return &v2.Comment;
    case kFieldYear: return &v2.Year;
    case kFieldGenre: return &v2.Genre;
    case kFieldComposer: return &v2.Composer;
    case kFieldEncoder: return &v2.Encoder;
    case kFieldCopyright: return &v2.Copyright;
    case kFieldLanguage: return &v2.Language;
    case kFieldURL: return &v2.URL;
    default: return nullptr;
  }
}

uint8_t GenreIdOfText(const std::string& text) {
  if (text.empty()) return kNoGenre;
  int id = GenreIdOf(text);
  return static_cast<uint8_t>(id < 0 ? 254 : id);
}

}  // namespace tagmora
