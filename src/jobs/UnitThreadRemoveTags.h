#pragma once
// The remove-tags job: takes the ID3v1 record, the ID3v2 tag or both from
// every playlist file.

#include <string>

#include "jobs/BatchJob.h"
#include "platform/WriteOptions.h"

namespace tagmora {

struct RemoveTagsOptions {
  bool removeV1 = true;
  bool removeV2 = true;
  bool writeReadOnly = true;  // "try to write to ReadOnly files also"
  WriteOptions writes;        // the files keep their modification time
};

// The three commands of the "Remove ID3 Tags ..." menu.
struct RemoveTagsCommand {
  const char* menuItem;
  bool removeV1;
  bool removeV2;
  const char* questionCaption;
  const char* question;
  const char* panelCaption;
};
inline constexpr RemoveTagsCommand kRemoveTagsCommands[] = {
    {"RemoveID3v1ID3v2Tags1", true, true, "Remove all ID3 Tags?",
     "This will remove ID3 v1 & v2 Tags from all the files from the playlist!\n"
     "Are you sure you want to remove all the ID3 Tags?",
     "  Removing ID3 v1 && v2 Tag  "},
    {"RemoveID3v1Tags1", true, false, "Remove all ID3v1 Tags?",
     "This will remove ID3v1 Tags from all the files from the playlist!\n"
     "Are you sure you want to remove all the ID3v1 Tags?",
     "  Removing ID3v1 Tag  "},
    {"RemoveID3v2Tags1", false, true, "Remove all ID3v2 Tags?",
     "This will remove ID3v2 Tags from all the files from the playlist!\n"
     "Are you sure you want to remove all the ID3v2 Tags?",
     "  Removing ID3v2 Tag  "},
};

std::string RemoveTagsSummary(int count, int errors, int removed);

class TThreadRemoveTags : public BatchJob {
 public:
  explicit TThreadRemoveTags(RemoveTagsOptions options) : options_(options) {}

  // What the job is called where its undo journal is listed.
  static constexpr const char* kName = "Remove ID3 Tags";
  bool HasElapsedTime() const override { return true; }
  void ProcessFile(JobFile& file) override;
  std::string Summary(int count, int errors) const override {
    return RemoveTagsSummary(count, errors, removed_);
  }
  std::vector<std::pair<std::string, int>> Counters() const override {
    return {{"removed", removed_}};
  }

 private:
  // False when a tag was there and could not be taken away (recorded).
  bool Remove(JobFile& file);

  RemoveTagsOptions options_;
  int removed_ = 0;
};

}  // namespace tagmora
