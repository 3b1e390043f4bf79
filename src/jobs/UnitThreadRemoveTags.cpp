#include "jobs/UnitThreadRemoveTags.h"

#include <cerrno>

#include "jobs/JobDisk.h"
#include "platform/FileSystem.h"
#include "tags/ID3v2.h"

namespace tagmora {

namespace {

std::string Failure(const char* status) {
  return errno ? status + SystemErrorText() : std::string(status);
}

}  // namespace

std::string RemoveTagsSummary(int count, int errors, int removed) {
  return ProcessedSummary(count, errors, std::to_string(removed) + " ID3 tags removed.");
}

void TThreadRemoveTags::ProcessFile(JobFile& file) {
  const std::string& path = file.Path();
  if (!FileExists(path)) {
    file.RecordError("File does NOT exist!");
    return;
  }
  const bool wasReadOnly = IsReadOnly(path);
  const bool clear = wasReadOnly && options_.writeReadOnly;
  const int mode = FileMode(path);
  if (clear && !file.Disk().ClearAttributes(path)) {
    file.RecordError("Error removing ReadOnly attribute!");
  } else if (wasReadOnly && !clear) {
    file.RecordError("File is ReadOnly");
  } else if (Remove(file)) {
    ++removed_;
  }
  // The permission bits go back exactly as they were.
  if (clear && !file.Disk().SetFileMode(path, mode))
    file.RecordError("Error setting ReadOnly attribute!");
}

bool TThreadRemoveTags::Remove(JobFile& file) {
  const std::string& path = file.Path();
  bool removed = true;
  if (options_.removeV1) {
    errno = 0;
    // True also when the file has no record: nothing is left to remove.
    if (!file.Disk().RemoveTag(path, 1, options_.writes)) {
      file.RecordError(Failure("Error removing ID3v1 Tag: "));
      removed = false;
    }
  }
  if (options_.removeV2) {
    TID3v2 v2;
    errno = 0;
    // RemoveTag answers false for a file without a tag, which is no failure.
    if (v2.ReadTag(path) && v2.Exists() && !file.Disk().RemoveTag(path, 2, options_.writes)) {
      file.RecordError(Failure("Error removing ID3v2 Tag: "));
      removed = false;
    }
  }
  return removed;
}

}  // namespace tagmora
