#include "jobs/UnitThreadUpdate.h"

#include <cerrno>

#include "editing/TagAccess.h"
#include "editing/TrackNumber.h"
#include "jobs/JobDisk.h"
#include "jobs/Templates.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "tags/GenreNames.h"

namespace tagmora {

namespace {

// The order in which each pass fills its fields: a later template sees
// the values the earlier ones stored.
constexpr MultiField kOrderV1[] = {kFieldTitle, kFieldArtist, kFieldAlbum, kFieldYear,
                                   kFieldGenre, kFieldTrack,  kFieldComment};
constexpr MultiField kOrderV2[] = {kFieldTitle,    kFieldArtist,    kFieldAlbum,
                                   kFieldYear,     kFieldGenre,     kFieldTrack,
                                   kFieldComment,  kFieldComposer,  kFieldEncoder,
                                   kFieldCopyright, kFieldLanguage, kFieldURL};

bool SameV1(const IDv1Tag& a, const IDv1Tag& b) {
  return a.Exists == b.Exists && a.Title == b.Title && a.Artist == b.Artist &&
         a.Album == b.Album && a.Year == b.Year && a.Comment == b.Comment &&
         a.Track == b.Track && a.Genre == b.Genre;
}

// A status followed by the system's text, when the system gave one.
std::string WithSystemText(const std::string& status, int error) {
  return error ? status + ". " + SystemErrorText(error) : status;
}

}  // namespace

std::string UpdateSummary(int count, int errors) {
  const std::string updated = "    Updated " + std::to_string(count) + " files with ";
  if (errors == 0) return updated + "NO errors!";
  return updated + std::to_string(errors) +
         " errors displayed on the Errors tab!\n\r\n\r"
         "               Selected files from playlist have errors!";
}

bool TThreadUpdate::Expand(JobFile& file, MultiField field, const IDv1Tag& v1, const IDv2Tag& v2,
                           int context, std::optional<std::string>& text) {
  text.reset();
  const std::optional<std::string>& pattern = options_.templates[field];
  if (!pattern) return true;
  std::string expanded;
  int code = ExpandTemplate(*pattern, expanded, v1, v2, context);
  if (code != kReplaceDone) {
    const MultiTagField& row = kMultiTagFields[field];
    file.RecordError(std::string(context == 1 ? row.labelV1 : row.labelV2) +
                     ReplaceErrorText(code) + ": string=\"" + *pattern + "\"");
    return false;
  }
  text = std::move(expanded);
  return true;
}

void TThreadUpdate::ProcessFile(JobFile& file) {
  const std::string& path = file.Path();
  IDv1Tag v1;
  IDv2Tag v2;
  errno = 0;
  // The reader answers for a missing file too, without a second look.
  std::string status = ReadTags(path, v1, v2);
  if (status == kStatusFileMissing) {
    file.RecordError(kStatusFileMissing);
    return;
  }
  if (status != kStatusOK) file.RecordError(WithSystemText(status, errno));
  const IDv1Tag untouchedV1 = v1;
  const IDv2Tag untouchedV2 = v2;
  if (options_.autoComplete.Runs()) {
    std::string error = CompleteFromFileName(path, options_.autoComplete, options_.replaceV1,
                                             options_.replaceV2, v1, v2);
    if (!error.empty()) file.RecordError(error);
  }

  access_ = {};
  bool written = false;
  if (!options_.replaceV1 || PassID3v1(file, v1, v2, untouchedV1, written)) {
    if (options_.replaceV2) PassID3v2(file, v1, v2, untouchedV2, written);
  }
  if (access_.cleared && !file.Disk().SetFileMode(path, access_.mode))
    file.RecordError("Error setting ReadOnly attribute!");
  if (written) ++changed_;
}

bool TThreadUpdate::MayWrite(JobFile& file) {
  // Read-only is the owner's write bit. It is looked at only when a tag
  // changed: files that stay as they are cost no more than their reading.
  if (access_.looked) return access_.allowed;
  access_.looked = true;
  access_.mode = FileMode(file.Path());
  if (access_.mode < 0 || (access_.mode & 0200)) return access_.allowed = true;
  if (!options_.writeReadOnly) {
    file.RecordError("File is ReadOnly");
    return false;
  }
  // The owner may write for the update; every permission bit goes back
  // afterwards.
  if (!file.Disk().ClearAttributes(file.Path())) {
    file.RecordError("Error removing ReadOnly attribute!");
    return false;
  }
  return access_.cleared = access_.allowed = true;
}

bool TThreadUpdate::PassID3v1(JobFile& file, IDv1Tag& v1, const IDv2Tag& v2,
                              const IDv1Tag& untouched, bool& written) {
  for (MultiField field : kOrderV1) {
    std::optional<std::string> text;
    if (!Expand(file, field, v1, v2, 1, text)) return false;
    if (!text) continue;
    if (std::string* slot = FieldText(v1, field)) {
      *slot = Utf8Left(*text, field == kFieldYear ? 4 : 30);
    } else if (field == kFieldGenre) {
      v1.GenreId = GenreIdOfText(*text);
      v1.Genre = std::move(*text);
    } else if (TrackNumber track = ParseTrackNumber(*text); track.valid) {
      v1.Track = track.value;
    } else {
      file.RecordUnselectedError(kMultiTagFields[field].labelV1 + track.message);
    }
  }
  ApplyStringFormat(options_.stringFormat, v1);
  if (options_.searchReplace) rules_.Apply(v1);
  v1.Exists = !v1.Title.empty() || !v1.Artist.empty() || !v1.Album.empty() ||
              !v1.Year.empty() || !v1.Comment.empty() || !v1.Genre.empty() || v1.Track > 0;
  if (SameV1(v1, untouched)) return true;
  if (!MayWrite(file)) return false;
  std::string status = file.Disk().WriteID3v1Tag(file.Path(), untouched, v1, options_.writes);
  if (status == kStatusOK)
    written = true;
  else
    file.RecordError(status);
  return true;
}

bool TThreadUpdate::PassID3v2(JobFile& file, const IDv1Tag& v1, IDv2Tag& v2,
                              const IDv2Tag& untouched, bool& written) {
  for (MultiField field : kOrderV2) {
    std::optional<std::string> text;
    if (!Expand(file, field, v1, v2, 2, text)) return false;
    if (!text) continue;
    if (std::string* slot = FieldText(v2, field)) {
      *slot = std::move(*text);
    } else if (TrackNumber track = ParseTrackNumber(*text); track.valid) {
      v2.Track = track.value;
    } else {
      file.RecordUnselectedError(kMultiTagFields[field].labelV2 + track.message);
    }
  }
  ApplyStringFormat(options_.stringFormat, v2);
  if (options_.searchReplace) rules_.Apply(v2);
  v2.Exists = v2.Track > 0;
  for (MultiField field : kOrderV2)
    if (const std::string* text = FieldText(v2, field); text && !text->empty()) v2.Exists = true;
  // Version and size are the reader's, never changed here.
  IDv2Tag compared = v2;
  compared.VersionId = untouched.VersionId;
  compared.Size = untouched.Size;
  if (compared == untouched) return true;
  if (!MayWrite(file)) return false;
  std::string status = file.Disk().WriteID3v2Tag(file.Path(), untouched, v2, options_.writes);
  if (status == kStatusOK)
    written = true;
  else
    file.RecordError(status);
  return true;
}

}  // namespace tagmora
