#pragma once
// The auto-complete step of the update job: artist and title taken from
// the file name, split at the first separator or else at the second, and
// optionally the whole name when neither occurs.

#include <string>

#include "app/MainWindowModel.h"
#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

namespace tagmora {

// The "Auto complete" panel's options.
struct AutoCompleteOptions {
  bool enabled = false;          // "Enabled"
  bool getTitle = false;         // "Get the Title"
  bool titleIfMissing = true;    // its "Only if is missing"
  bool getArtist = false;        // "Get the Artist"
  bool artistIfMissing = true;   // its "Only if is missing"
  std::string separator1 = kFileSeparators[0].second;
  std::string separator2 = kFileSeparators[1].second;
  // "If NO separator found": the fields get the file name.
  bool fallbackTitle = false;
  bool fallbackTitleIfMissing = true;
  bool fallbackArtist = false;
  bool fallbackArtistIfMissing = true;

  bool Runs() const { return enabled && (getTitle || getArtist); }
};

// The panel's check boxes with the option each sets.
struct AutoCompleteBox {
  const char* control;
  bool AutoCompleteOptions::*option;
};
inline constexpr AutoCompleteBox kAutoCompleteBoxes[] = {
    {"CheckBoxACEnabled", &AutoCompleteOptions::enabled},
    {"CheckGetTitle", &AutoCompleteOptions::getTitle},
    {"CheckBoxMissingTitle", &AutoCompleteOptions::titleIfMissing},
    {"CheckGetArtist", &AutoCompleteOptions::getArtist},
    {"CheckBoxMissingArtist", &AutoCompleteOptions::artistIfMissing},
    {"CheckBoxCompleteTitleAnyway", &AutoCompleteOptions::fallbackTitle},
    {"CheckBoxMissingTitleAnyway", &AutoCompleteOptions::fallbackTitleIfMissing},
    {"CheckBoxCompleteArtistAnyway", &AutoCompleteOptions::fallbackArtist},
    {"CheckBoxMissingArtistAnyway", &AutoCompleteOptions::fallbackArtistIfMissing},
};

// Completes the records of the file at path for the passes that run; a
// field marked "only if missing" changes only where the file's tag held
// none. Answers the error to record when neither separator split the
// name, else "".
std::string CompleteFromFileName(const std::string& path, const AutoCompleteOptions& options,
                                 bool replaceV1, bool replaceV2, IDv1Tag& v1, IDv2Tag& v2);

}  // namespace tagmora
