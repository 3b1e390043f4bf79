#pragma once
// The multi-tagger's update job: each chosen field of every playlist file
// gets the value of its template, in the ID3v1 tag, the ID3v2 tag or both;
// a tag is written only when it changed.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "jobs/AutoComplete.h"
#include "jobs/BatchJob.h"
#include "jobs/MultiTagFields.h"
#include "jobs/SearchReplace.h"
#include "jobs/StringFormat.h"
#include "platform/WriteOptions.h"

namespace tagmora {

// What a run of the update job does; the page fills it from its controls,
// tagmora-cli from its arguments.
struct UpdateOptions {
  // The template of each checked field; nothing for an unchecked one.
  std::array<std::optional<std::string>, kMultiFieldCount> templates;
  bool replaceV1 = true;      // "Replace ID3v1"
  bool replaceV2 = false;     // "Replace ID3v2 (slower)"
  bool writeReadOnly = true;  // "try to write to ReadOnly files also"
  AutoCompleteOptions autoComplete;
  StringFormatOptions stringFormat;
  bool searchReplace = false;  // the "Search and Replace" panel's "Enabled"
  std::vector<SearchReplaceRule> rules;
  WriteOptions writes;        // the files keep their modification time
};

// The summary texts of the "Finish" box.
std::string UpdateSummary(int count, int errors);

class TThreadUpdate : public BatchJob {
 public:
  explicit TThreadUpdate(UpdateOptions options)
      : options_(std::move(options)), rules_(options_.rules) {}

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
  RuleSet rules_;
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
