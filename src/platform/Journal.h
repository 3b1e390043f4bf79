#pragma once
// Crash-safe tag writes. A change that fits in place first puts an undo
// record (the file's identity, the offset and the old bytes of the region,
// a checksum) on disk in the journal folder, then writes and flushes the new
// bytes, then drops the record. A change that does not fit rewrites the
// file through a temporary file beside it, which is also noted in the
// journal. RecoverJournal, which the window runs at start-up and tagmora-cli
// before every command, applies the records that dead processes left
// behind: after a crash at any moment each file is the old one or the new
// one, whole, once recovery has run.
//
// The folder is $XDG_STATE_HOME/tagmora/journal (default
// ~/.local/state/tagmora/journal), shared by every Tagmora process. Each
// process writes into record files of its own, reused from write to write
// and locked (flock) while it lives, so that no process recovers another's
// live write.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InputFile.h"
#include "platform/WriteOptions.h"

namespace tagmora {

// What recovery did with one record.
struct RecoveryReport {
  enum class Outcome {
    Undone,       // the change was unfinished: the file has its old bytes back
    Finished,     // the change had reached the file whole: nothing to undo
    FileChanged,  // the file changed since (identity, size or the region's bytes): left alone
    Damaged,      // a short record or one with a wrong checksum: never applied
    TempRemoved,  // the temporary file of a killed rewrite was removed
    Failed,       // the old bytes could not be written back: the record stays for the next run
  };
  Outcome outcome;
  std::string path;     // the file (for a damaged record, the record file)
  std::string message;  // for the user; the path goes beside it

  // Undone, FileChanged and Failed: the window lists them in the error list
  // and tagmora-cli reports them before a command.
  bool ConcernsUser() const;
};

// Applies or drops every record that no live process holds, and removes
// the temporary files of killed rewrites; then the batch jobs' undo
// journals that dead processes left (platform/UndoJournal.h).
std::vector<RecoveryReport> RecoverJournal();

// An in-place change that another record describes (the undo journal's):
// put back to its old bytes when it was left half made, left alone when
// whole or when the file changed since.
struct RegionChange {
  std::string path;
  uint64_t device = 0, inode = 0;
  int64_t oldSize = 0, newSize = 0, offset = 0;
  int64_t mtimeSeconds = 0, mtimeNanoseconds = 0;
  std::string oldBytes, newBytes;
};
RecoveryReport RecoverRegion(const RegionChange& change);

// $XDG_STATE_HOME/tagmora/journal, read once per process.
const std::string& JournalFolder();

// Writes newBytes at offset of the open file and makes its size newSize
// (larger appends, smaller cuts the end, -1 keeps it), under an undo record. False
// (errno set) when it failed: the file is then undone at once, or the
// record stays for recovery. When no record can be made (the journal
// folder cannot be written), the change is made without one; unless
// unjournaled is given: then it is set, the file is left untouched and the
// answer is false, for a caller with a safe way of its own. With a watch in
// the options, the watch's record (made durable by its Commit) stands in
// for this journal's.
bool ChangeInPlace(const InputFile& file, int64_t offset, std::string_view newBytes,
                   int64_t newSize, const WriteOptions& options = {},
                   bool* unjournaled = nullptr);

// Replaces the open file with prefix followed by its bytes from skip on,
// through a temporary file created exclusively beside it and renamed over
// it once on disk. The file keeps its owner and permissions. A watch in the
// options commits its record just before the rename.
bool ReplaceFile(const InputFile& file, std::string_view prefix, int64_t skip,
                 const WriteOptions& options = {});

// Takes a tag write past the watch of its options, when it has one.
class WatchedWrite {
 public:
  WatchedWrite(const WriteOptions& options, const InputFile& file, const TagEdit& edit);
  ~WatchedWrite();
  WatchedWrite(const WatchedWrite&) = delete;
  WatchedWrite& operator=(const WatchedWrite&) = delete;
  // False when the write is not to be made; Answer() is then its answer.
  bool Goes() const { return answer_ == WriteWatch::Answer::Write; }
  bool Answer() const { return answer_ == WriteWatch::Answer::Skip; }
  // Passes the answer of the write on, once the watch knows it.
  bool Done(bool written);

 private:
  WriteWatch* watch_;
  WriteWatch::Answer answer_ = WriteWatch::Answer::Write;
  bool finished_ = false;
};

// The temporary files of a rewrite are named ".NAME.tagmora-XXXXXX.tmp".
bool IsTemporaryName(std::string_view name);

// A seam for the tests: a hook called at each stage of a write, where a
// test stops the process as a crash would. An in-place change has three
// (with a hook, its new bytes are written in two halves); a rewrite stops
// once its temporary file is on disk, before it takes the file's name.
enum class WriteStage { RecordOnDisk, HalfWritten, AllWritten, TemporaryOnDisk };
using WriteStageHook = void (*)(WriteStage);
void SetWriteStageHook(WriteStageHook hook);

}  // namespace tagmora
