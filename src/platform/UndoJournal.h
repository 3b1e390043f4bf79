#pragma once
// The undo journals of the batch jobs. Before a job changes a file it adds
// an entry that takes the change back: the whole old and new tag with the
// file as it was, the old and new path of a move, a folder it makes, a
// file it puts in the trash. The entry is on disk before the change; once
// the change is made, the file as the change left it follows (unflushed: a
// crash then leaves an entry whose tag bytes still tell). An entry for a
// change in place also stands in for the tag write's own undo record, so
// recovery puts a file that a crash left half written back from it.
//
// Each job has a folder $XDG_STATE_HOME/tagmora/undo/<job>/ holding one
// append-only file of checksummed records, locked (flock) while its job
// runs or while an undo works on it. A journal is complete once its job
// ends, finished or cancelled; recovery ends one whose process died. The
// newest 20 are kept.

#include <sys/stat.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Journal.h"
#include "platform/UniqueFd.h"

namespace tagmora {

inline constexpr int kKeptUndoJobs = 20;

// $XDG_STATE_HOME/tagmora/undo, read once per process.
const std::string& UndoFolder();

// What tells a file from the same file changed: its size and modification
// time (which moves, renames and the undo itself keep), and where it lies.
struct FileIdentity {
  uint64_t device = 0, inode = 0;
  int64_t size = -1;  // -1: no such file
  int64_t mtimeSeconds = 0, mtimeNanoseconds = 0;
  bool Exists() const { return size >= 0; }
  bool SameSizeAndTime(const FileIdentity& other) const {
    return size == other.size && mtimeSeconds == other.mtimeSeconds &&
           mtimeNanoseconds == other.mtimeNanoseconds;
  }
};
FileIdentity IdentityOf(const struct stat& st);
// Through links; no file gives size -1.
FileIdentity IdentityOf(const std::string& path);

struct UndoEntry {
  enum class Kind : uint8_t { Tag = 1, Move = 2, Folder = 3, Trash = 4 };
  enum class State : uint8_t {
    Open,     // recorded; whether the change reached the disk is not known
    Made,     // the change is made; after tells the file it left
    Dropped,  // the change failed: the file is as it was
    Undone,   // an undo took it back
    Skipped,  // an undo found the file changed since and left it
  };
  Kind kind = Kind::Tag;
  uint32_t number = 0;
  std::string path;    // Tag: the file; Move: the old path; Folder: the folder; Trash: the original
  std::string target;  // Move: the new path; Trash: the file in the trash
  std::string info;    // Trash: its info file
  bool atEnd = false;    // Tag: the ID3v1 record; otherwise the ID3v2 tag
  bool rewrite = false;  // Tag: the file was replaced whole, not changed in place
  std::string oldBytes, newBytes;  // Tag: the whole old and new tag
  std::string note;      // the job's words for the change, shown by the undo
  FileIdentity before;   // the file before the change
  FileIdentity after;    // the file as the change left it (Made)
  State state = State::Open;
};

// One job's journal as its job writes it. The folder is made with the
// first entry, so a job that changes nothing leaves no journal.
class UndoJournal {
 public:
  explicit UndoJournal(std::string jobName);
  // Ends the journal, as finished, if End was not called.
  ~UndoJournal();
  UndoJournal(const UndoJournal&) = delete;
  UndoJournal& operator=(const UndoJournal&) = delete;

  // Whether journals can be made here; false with errno set.
  static bool CanRecord();

  // Appends the entry and gives it its number; with flush it is on disk
  // when this answers, otherwise once Flush has answered. False (errno set)
  // when it cannot be recorded: the change must not be made then.
  bool Add(UndoEntry& entry, bool flush);
  bool Flush();
  // The change of an entry is made, leaving the file as after tells; or it
  // failed and the file is as it was.
  void Made(uint32_t number, const FileIdentity& after);
  void Dropped(uint32_t number);
  // The job has ended; no entry follows.
  void End(bool cancelled);
  // The job's folder, once an entry made it.
  const std::string& Folder() const { return folder_; }

 private:
  bool Begin();
  bool Append(const std::string& record, bool flush);
  bool Reserve(int64_t end);

  std::mutex mutex_;
  std::string name_;
  std::string folder_;
  UniqueFd fd_;
  int64_t end_ = 0;
  int64_t reserved_ = 0;  // the file's size: zeros after end_
  uint32_t next_ = 1;
  bool ended_ = false;
};

// A kept journal as read back.
struct UndoJob {
  std::string folder;
  std::string name;
  int64_t started = 0;  // seconds since 1970
  bool live = false;    // its job or an undo of it runs now
  bool ended = false;   // finished, cancelled or ended by recovery
  bool cancelled = false;
  bool interrupted = false;  // its process died before the end
  bool undone = false;       // an undo went through it to the end
  int entries = 0;           // the changes recorded, less those that failed
  std::vector<UndoEntry> list;  // the entries, when asked for
};

// The kept journals, newest first; without their entries (only counted).
std::vector<UndoJob> ListUndoJobs();

// An undo's hold on a kept journal: its lock, and the marks of what the
// undo did, so that an undo that stops half way goes on where it stopped.
class UndoSession {
 public:
  // Reads the journal with its entries; false (errno EBUSY) while its job
  // or another undo holds it. A journal whose process died is recovered
  // first.
  bool Open(const std::string& folder, UndoJob& job);
  // An entry is taken back, or left because its file changed since.
  void Mark(uint32_t number, bool undone);
  // The undo went through every entry.
  void Finish();

 private:
  UniqueFd fd_;
  int64_t end_ = 0;
};

// Ends the journals whose process died: each change in place that a crash
// left half made gets its old bytes back. Called by RecoverJournal.
std::vector<RecoveryReport> RecoverUndoJournals();

}  // namespace tagmora
