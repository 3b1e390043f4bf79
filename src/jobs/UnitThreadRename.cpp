#include "jobs/UnitThreadRename.h"

#include <cerrno>

#include "jobs/JobDisk.h"
#include "platform/FileSystem.h"
#include "playlist/M3U.h"

namespace tagmora {

std::optional<StartStop> PrepareRename(RenameOptions& options, int count, StartQuestions& ask,
                                       JobDisk& disk) {
  if (count == 0) return StartStop{kEmptyPlaylist, ""};
  if (options.moveTo) {
    if (options.moveTo->empty()) return StartStop{"\"MoveTo\" folder is empty!", ""};
    options.moveTo = TypedFolder(*options.moveTo);
  }
  // Before any folder is made, so that a refusal leaves everything as it was.
  if (options.ifExists == IfExists::AddText && options.addText.empty())
    return StartStop{"Text from the begining of the file name is empty!", ""};
  if (options.moveTo) {
    if (auto stop = EnsureFolder(*options.moveTo, "Folder NOT created!", ask, disk)) return stop;
  }
  if (!ask.Confirm(kRenameQuestionCaption, kRenameQuestion)) return StartStop{};
  return std::nullopt;
}

std::string RenameSummary(int count, int errors, int renamed) {
  return ProcessedSummary(count, errors, std::to_string(renamed) + " files renamed.");
}

void TThreadRename::ProcessFile(JobFile& file) {
  TagFields fields;
  if (!ReadTagFields(file, options_.v1First, fields)) return;
  if (fields.artist.empty()) {
    file.RecordError("NO Artist found in ID3v1 or ID3v2");
    return;
  }
  if (fields.title.empty()) {
    file.RecordError("NO Title found in ID3v1 or ID3v2");
    return;
  }
  const std::string old = file.Path();
  const std::string folder = options_.moveTo.value_or(FolderPart(old));
  std::string name = fields.artist + options_.separator + fields.title + ".mp3";
  std::string target = folder + name;
  const auto failed = [&](int error) {
    file.RecordError("Error renaming the file: " + old + " to " + target + ". " +
                         SystemErrorText(error),
                     "");
  };
  const auto renamed = [&] {
    ++renamed_;
    file.ReplaceEntry(target);
  };
  // A "/" from the tags would put the file, or a file it replaces or
  // deletes, outside the folder: the name is refused before any policy.
  if (!IsPlainName(name)) return failed(EINVAL);
  if (old == target) return;
  // The new name is tried first; a policy applies once it turns out taken.
  JobDisk& disk = file.Disk();
  errno = 0;
  if (disk.MoveFile(old, target)) return renamed();
  if (const int error = errno; error != EEXIST || !disk.FileExists(target)) return failed(error);
  if (disk.SameFile(old, target)) {
    // The file itself under another spelling: it has its name already, or
    // its name differs in letter case (or it is a second link), which
    // needs no policy.
    if (FileNamePart(old) == FileNamePart(target)) return;
    return disk.MoveFile(old, target, true) ? renamed() : failed(errno);
  }
  switch (options_.ifExists) {
    case IfExists::Skip:
      return;
    case IfExists::Replace:
      // The file of the taken name goes to the trash, where a file manager
      // can put it back, before the old file takes its place.
      if (!disk.MoveToTrash(target))
        return file.RecordError("Error deleting the file for replacing!", target);
      return disk.MoveFile(old, target) ? renamed() : failed(errno);
    case IfExists::AddText:
      // Not checked again: a second taken name makes the rename fail.
      name = options_.addText + name;
      target = folder + name;
      if (!IsPlainName(name)) return failed(EINVAL);
      return disk.MoveFile(old, target) ? renamed() : failed(errno);
    case IfExists::DeleteOld:
      if (!disk.MoveToTrash(old))
        return file.RecordError("Error deleting the file!" + SystemErrorText());
      file.ReplaceEntry("Deleted " + old);
      return;
  }
}

}  // namespace tagmora
