#pragma once
// The twelve fields of the multi-tagger page and where each lives in the
// two tag records: the update job's passes, the string format and the
// search-and-replace rules all walk the fields through this table.

#include <array>
#include <cstdint>
#include <string>

#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

namespace tagmora {

// The twelve fields of the multi-tagger page, in the order of their check
// boxes, with their template boxes, defaults and error labels.
enum MultiField {
  kFieldTitle, kFieldArtist, kFieldAlbum, kFieldComment, kFieldYear, kFieldGenre, kFieldTrack,
  kFieldComposer, kFieldEncoder, kFieldCopyright, kFieldLanguage, kFieldURL, kMultiFieldCount
};

struct MultiTagField {
  const char* checkBox;
  const char* templateBox;
  const char* caption;
  const char* defaultTemplate;
  int maxLength;         // characters the template box takes; 0 for no limit
  const char* labelV1;   // error label in the ID3v1 pass; null: ID3v2 only
  const char* labelV2;   // error label in the ID3v2 pass
  const char* name;      // tagmora-cli's option name
};

inline constexpr std::array<MultiTagField, kMultiFieldCount> kMultiTagFields = {{
    {"CheckBoxTitleAll", "EditTitleAll", "Title", "%title%", 0, "Title field: ",
     "Title v2 field: ", "title"},
    {"CheckBoxArtistAll", "EditArtistAll", "Artist", "%artist%", 0, "Artist field: ",
     "Artist v2 field: ", "artist"},
    {"CheckBoxAlbumAll", "EditAlbumAll", "Album", "%album%", 0, "Album field: ",
     "Album v2 field: ", "album"},
    {"CheckBoxCommentAll", "EditCommentAll", "Comment", "%comment%", 30, "Comment field: ",
     "Comment v2 field: ", "comment"},
    {"CheckBoxYearAll", "EditYearAll", "Year", "%year%", 0, "Year field: ", "Year v2 field: ",
     "year"},
    {"CheckBoxGenreAll", "ComboGenreAll", "Genre", "%genre%", 0, "Genre field: ",
     "Genre v2 field: ", "genre"},
    {"CheckBoxTrackAll", "EditTrackAll", "Track", "%track%", 30, "Track field: ",
     "Track v2 field: ", "track"},
    {"CheckBoxComposerAll", "EditComposerAll", "Composer", "%composer%", 0, nullptr,
     "Composer field: ", "composer"},
    {"CheckBoxEncoderAll", "EditEncoderAll", "Encoder", "%encoder%", 0, nullptr,
     "Encoder field: ", "encoder"},
    {"CheckBoxCopyrightAll", "EditCopyrightAll", "Copyright", "%copyright%", 0, nullptr,
     "Copyright field: ", "copyright"},
    {"CheckBoxLanguageAll", "EditLanguageAll", "Language", "%language%", 0, nullptr,
     "Language field: ", "language"},
    {"CheckBoxUrlAll", "EditUrlAll", "URL", "%url%", 0, nullptr, "URL field: ", "url"},
}};

// A record's text field; null for a field the record keeps otherwise
// (the track in both, the genre in ID3v1) or not at all.
std::string* FieldText(IDv1Tag& v1, MultiField field);
std::string* FieldText(IDv2Tag& v2, MultiField field);

// The position of a text in the genre list (an empty entry, then the
// names) minus one: empty gives 255 (no genre), an unknown name 254.
uint8_t GenreIdOfText(const std::string& text);

}  // namespace tagmora
