#include "jobs/UnitThreadUndo.h"

#include <cerrno>
#include <ctime>

#include "editing/TagAccess.h"
#include "jobs/JobDisk.h"
#include "platform/FileSystem.h"

namespace tagmora {

namespace {

bool StillToTakeBack(const UndoEntry& entry) {
  return entry.state == UndoEntry::State::Open || entry.state == UndoEntry::State::Made;
}

// The file as the change left it, as far as the journal knows it.
const FileIdentity& LeftAs(const UndoEntry& entry) {
  return entry.state == UndoEntry::State::Made ? entry.after : entry.before;
}

}  // namespace

const UndoJob* LastJobToUndo(const std::vector<UndoJob>& jobs) {
  for (const UndoJob& job : jobs)
    if (!job.undone && job.entries > 0) return &job;
  return nullptr;
}

std::string JobTime(const UndoJob& job) {
  const std::time_t started = std::time_t(job.started);
  std::tm local{};
  ::localtime_r(&started, &local);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
  return when;
}

std::string DescribeJob(const UndoJob& job) {
  return job.name + " of " + JobTime(job) + " (" + std::to_string(job.entries) +
         (job.entries == 1 ? " change)" : " changes)");
}

std::string JobState(const UndoJob& job) {
  if (job.live) return "running";
  if (job.interrupted || !job.ended) return "interrupted";
  return job.cancelled ? "cancelled" : "finished";
}

std::vector<UndoEntry> EntriesToTakeBack(const UndoJob& job) {
  std::vector<UndoEntry> entries;
  for (auto it = job.list.rbegin(); it != job.list.rend(); ++it)
    if (StillToTakeBack(*it)) entries.push_back(*it);
  return entries;
}

std::string UndoItem(const UndoEntry& entry) {
  return entry.kind == UndoEntry::Kind::Move ? entry.target : entry.path;
}

std::string UndoSummary(int count, int errors, int undone) {
  std::string text = "Processed " + std::to_string(count) + " changes with ";
  text += errors ? std::to_string(errors) + " errors!" : std::string("NO errors!");
  text += "\n\r\n\r" + std::to_string(undone) + " changes taken back.";
  if (errors) text += "\n\r\n\rWhat was left as it is shows on the Errors tab!";
  return text;
}

void TThreadUndo::ProcessFile(JobFile& file) {
  const UndoEntry& entry = entries_[size_t(file.Index())];
  const bool undone = TakeBack(file, entry);
  if (session_) session_->Mark(entry.number, undone);
}

void TThreadUndo::Ended(bool cancelled) {
  if (session_ && !cancelled) session_->Finish();
}

bool TThreadUndo::TakeBack(JobFile& file, const UndoEntry& e) {
  JobDisk& disk = file.Disk();
  const auto leave = [&](const std::string& message, const std::string& path) {
    file.RecordError(message, path);
    return false;
  };
  const auto failed = [&](const std::string& path) {
    return leave(errno == ESTALE ? kChangedSince
                                 : "Error taking the change back: " + SystemErrorText(),
                 path);
  };
  const auto taken = [this] {
    ++undone_;
    return true;
  };
  switch (e.kind) {
    case UndoEntry::Kind::Tag: {
      const FileIdentity now = disk.Identity(e.path);
      if (!now.Exists()) return leave(kStatusFileMissing, e.path);
      const int64_t newSize =
          e.before.size - int64_t(e.oldBytes.size()) + int64_t(e.newBytes.size());
      const bool asLeft = now.size == newSize &&
                          (e.state != UndoEntry::State::Made || now.SameSizeAndTime(e.after)) &&
                          disk.ReadRegion(e.path, e.atEnd, e.newBytes.size()) == e.newBytes;
      if (asLeft) return disk.RestoreTag(e) ? taken() : failed(e.path);
      // A crash came before the change, or after an undo before its mark.
      if (now.size == e.before.size &&
          disk.ReadRegion(e.path, e.atEnd, e.oldBytes.size()) == e.oldBytes)
        return true;
      return leave(kChangedSince, e.path);
    }
    case UndoEntry::Kind::Move:
    case UndoEntry::Kind::Trash: {
      const bool trash = e.kind == UndoEntry::Kind::Trash;
      const FileIdentity now = disk.Identity(e.target);
      if (!now.Exists()) {
        if (disk.Identity(e.path).SameSizeAndTime(e.before)) return true;  // never went
        return trash ? leave(kNotInTrash, e.path) : leave(kStatusFileMissing, e.target);
      }
      if (!now.SameSizeAndTime(LeftAs(e))) return leave(kChangedSince, e.target);
      // A file whose names differ in letter case only is one file on some disks.
      const bool sameFile = !trash && disk.SameFile(e.target, e.path);
      if (!sameFile && (disk.FileExists(e.path) || disk.DirectoryExists(e.path)))
        return leave(kNameTaken, e.path);
      if (trash ? !disk.RestoreFromTrash({e.path, e.target, e.info})
                : !disk.MoveFile(e.target, e.path, sameFile))
        return errno == EEXIST ? leave(kNameTaken, e.path) : failed(e.target);
      // The playlist follows the file back; a file the rename job put in
      // the trash was an entry "Deleted PATH".
      file.ReportMoved(trash ? "Deleted " + e.path : e.target, e.path);
      return taken();
    }
    case UndoEntry::Kind::Folder:
      if (!disk.DirectoryExists(e.path)) return true;
      if (disk.RemoveFolder(e.path)) return taken();
      // A folder that holds files now stays, without a word: nothing is lost.
      if (errno == ENOTEMPTY || errno == EEXIST) return false;
      return leave("Folder NOT removed!\n\r" + SystemErrorText(), e.path);
  }
  return false;
}

}  // namespace tagmora
