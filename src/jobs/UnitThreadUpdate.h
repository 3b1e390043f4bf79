#pragma once
// The multi-tagger's update job: each chosen field of every playlist file
// gets the value of its template, in the ID3v1 tag, the ID3v2 tag or both;
// a tag is written only when it changed.

#include <array>
#include <optional>
#include <string>

#include "jobs/BatchJob.h"
#include "platform/WriteOptions.h"
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

// What a run of the update job does; the page fills it from its controls,
// tagmora-cli from its arguments.
struct UpdateOptions {
  // The template of each checked field; nothing for an unchecked one.
  std::array<std::optional<std::string>, kMultiFieldCount> templates;
  bool replaceV1 = true;      // "Replace ID3v1"
  bool replaceV2 = false;     // "Replace ID3v2 (slower)"
  bool writeReadOnly = true;  // "try to write to ReadOnly files also"
  WriteOptions writes;        // the files keep their modification time
};

// The summary texts of the "Finish" box.
std::string UpdateSummary(int count, int errors);

class TThreadUpdate : public BatchJob {
 public:
  explicit TThreadUpdate(UpdateOptions options) : options_(std::move(options)) {}

  // What the job is called where its undo journal is listed.
  static constexpr const char* kName = "Update ID3 Tags";
  bool HasElapsedTime() const override { return true; }
  // The playlist may grow or shrink during a run; the walk follows it.
  bool CountsEachFile() const override { return true; }
  void ProcessFile(JobFile& file) override;
  std::string Summary(int count, int errors) const override {
    return UpdateSummary(count, errors);
  }
  std::vector<std::pair<std::string, int>> Counters() const override {
    return {{"changed", changed_}};
  }

 private:
  // False when the file's work ends here (the ID3v2 pass is skipped).
  bool PassID3v1(JobFile& file, IDv1Tag& v1, const IDv2Tag& v2, const IDv1Tag& untouched,
                 bool& written);
  bool PassID3v2(JobFile& file, const IDv1Tag& v1, IDv2Tag& v2, const IDv2Tag& untouched,
                 bool& written);
  // Expands a checked field's template into text (left empty for an
  // unchecked field); false when the expansion failed, which is recorded.
  bool Expand(JobFile& file, MultiField field, const IDv1Tag& v1, const IDv2Tag& v2,
              int context, std::optional<std::string>& text);

  // Whether the file may be written, made writable when it is read-only
  // and the options allow; false when it may not (recorded).
  bool MayWrite(JobFile& file);

  UpdateOptions options_;
  int changed_ = 0;
  // The file in hand's permission bits, once a write needed them.
  struct {
    bool looked = false;
    bool allowed = false;
    bool cleared = false;
    int mode = -1;
  } access_;
};

}  // namespace tagmora
