#pragma once
// The multi-rename job: every playlist file gets the name artist,
// separator, title and ".mp3" from its tags, in its own folder or in the
// "Move to" folder, with a policy for a name that is taken. A name from the
// tags never leaves the folder, and no policy ever costs both files.

#include <optional>
#include <string>

#include "jobs/BatchJob.h"
#include "jobs/FileJobs.h"

namespace tagmora {

// "If the file already exists ?"
enum class IfExists { Skip, Replace, AddText, DeleteOld };

struct IfExistsChoice {
  IfExists policy;
  const char* radio;  // the page's button
  const char* name;   // tagmora-cli's --if-exists value
};
inline constexpr IfExistsChoice kIfExistsChoices[] = {
    {IfExists::Skip, "RadioDontReplace", "skip"},
    {IfExists::Replace, "RadioReplace", "replace"},
    {IfExists::AddText, "RadioAdd", "add"},
    {IfExists::DeleteOld, "RadioDelete", "delete"},
};

// Characters the two text boxes take.
inline constexpr int kSeparatorMaxLength = 5;
inline constexpr int kAddTextMaxLength = 15;

struct RenameOptions {
  bool v1First = false;  // "Tag priority": ID3v1
  std::string separator = " - ";
  std::optional<std::string> moveTo;  // "Move to": the folder, with its final "/" once started
  IfExists ifExists = IfExists::AddText;
  std::string addText = "_copy_";
};

inline constexpr const char* kRenameQuestionCaption = "Rename ?";
inline constexpr const char* kRenameQuestion =
    "This will rename all the files from the playlist!\n"
    "Are you sure you want to rename all the files?";

// The checks and questions before a run, in their order; the folder of
// "Move to" gets its final "/" and is created once the person agrees.
// Nothing when the run may start.
std::optional<StartStop> PrepareRename(RenameOptions& options, int count, StartQuestions& ask,
                                       JobDisk& disk);

std::string RenameSummary(int count, int errors, int renamed);

class TThreadRename : public BatchJob {
 public:
  explicit TThreadRename(RenameOptions options) : options_(std::move(options)) {}

  // What the job is called where its undo journal is listed.
  static constexpr const char* kName = "Rename files";
  bool HasElapsedTime() const override { return false; }
  void ProcessFile(JobFile& file) override;
  std::string Summary(int count, int errors) const override {
    return RenameSummary(count, errors, renamed_);
  }
  std::vector<std::pair<std::string, int>> Counters() const override {
    return {{"renamed", renamed_}};
  }

 private:
  RenameOptions options_;
  int renamed_ = 0;
};

}  // namespace tagmora
