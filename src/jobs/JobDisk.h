#pragma once
// Every change a batch job makes to the disk goes through here: tag writes
// and removals, moves and renames, folders made, files put in the trash,
// the permission changes around a write, and an undo's putting back. The
// real disk records in the job's undo journal how to take each change back
// before it makes it; the preview disk records the change, answers as the
// real one would and touches nothing. A preview is the job itself run
// against the preview disk, and what the job reads of the files it moved
// comes through here too, so that both see the same files.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Trash.h"
#include "platform/UndoJournal.h"
#include "platform/WriteOptions.h"
#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

namespace tagmora {

class JobReports;

// One change, as the preview table, the JSON lines and the undo show it.
struct FileChange {
  enum class Kind { Tag, Move, Folder, Trash, Restore, RemoveFolder };
  struct Field {
    std::string name;  // tagmora-cli's field name ("title")
    std::string before, after;
  };
  Kind kind = Kind::Tag;
  std::string path;    // the file or folder
  std::string target;  // Move: the new path
  std::string tag;     // Tag: "ID3v1" or "ID3v2"
  bool created = false;  // Tag: the file had no such tag
  bool removed = false;  // Tag: the tag goes
  std::vector<Field> fields;  // Tag: the fields that change

  // "ID3v1: Title "Old" → "New"", "→ /new/path.mp3", "folder to create" ...
  std::string Text() const;
  // The change that takes this one back.
  FileChange Reversed() const;
  // A tag change's words as the undo journal keeps them.
  std::string Note() const;
  // The change an undo journal's entry recorded.
  static FileChange Of(const UndoEntry& entry);
};

// The fields of two records that differ, in the order info shows them.
std::vector<FileChange::Field> ChangedFields(const IDv1Tag& before, const IDv1Tag& after);
std::vector<FileChange::Field> ChangedFields(const IDv2Tag& before, const IDv2Tag& after);
// A field name as the table shows it ("title" is "Title").
std::string FieldCaption(const std::string& name);

class JobDisk {
 public:
  explicit JobDisk(JobReports& reports) : reports_(reports) {}
  virtual ~JobDisk() = default;
  JobDisk(const JobDisk&) = delete;
  JobDisk& operator=(const JobDisk&) = delete;

  // The tag access layer's writes and answers; the records before and
  // after name the fields that change.
  std::string WriteID3v1Tag(const std::string& path, const IDv1Tag& before, const IDv1Tag& after,
                            WriteOptions options);
  std::string WriteID3v2Tag(const std::string& path, const IDv2Tag& before, const IDv2Tag& after,
                            WriteOptions options);
  // RemoveTag of the tag classes (version 1 or 2), with their answers.
  bool RemoveTag(const std::string& path, int version, WriteOptions options);

  // The platform's answers (platform/FileSystem.h), errno set on failure.
  virtual bool ClearAttributes(const std::string& path) = 0;
  virtual bool SetFileMode(const std::string& path, int mode) = 0;
  // Never replaces a file; a sameFile move gives a file a name it already
  // has under another spelling.
  virtual bool MoveFile(const std::string& from, const std::string& to, bool sameFile = false) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;
  virtual bool MoveToTrash(const std::string& path) = 0;

  // An undo's steps: the entry's change taken back. The undo has checked
  // that the file is as the change left it.
  virtual bool RestoreTag(const UndoEntry& entry) = 0;
  virtual bool RestoreFromTrash(const TrashEntry& entry) = 0;
  virtual bool RemoveFolder(const std::string& path) = 0;

  // What the jobs read, as the changes so far left it.
  virtual bool FileExists(const std::string& path);
  virtual bool DirectoryExists(const std::string& path);
  virtual bool SameFile(const std::string& a, const std::string& b);
  virtual std::string ReadTags(const std::string& path, IDv1Tag& v1, IDv2Tag& v2);
  virtual FileIdentity Identity(const std::string& path);
  // The first (or, atEnd, the last) count bytes of a file, fewer when it is shorter.
  virtual std::string ReadRegion(const std::string& path, bool atEnd, size_t count);

  // The run has ended.
  virtual void Ended(bool /*cancelled*/) {}

 protected:
  // The watch of one tag write, which reports the change once it is made.
  virtual std::unique_ptr<WriteWatch> Watch(const std::string& path, FileChange change) = 0;
  void Report(const FileChange& change);

 private:
  // The watch of a tag write, set in options; it lives as long as the write.
  std::unique_ptr<WriteWatch> Watched(const std::string& path, FileChange change,
                                      WriteOptions& options);

  JobReports& reports_;
};

// The disk itself. With a journal, each change is recorded there first and
// fails when it cannot be; without one (the person chose to go on when the
// journal could not be written) changes are made as a single write makes
// them, tag writes under their own undo records.
class RealDisk : public JobDisk {
 public:
  RealDisk(JobReports& reports, std::unique_ptr<UndoJournal> journal)
      : JobDisk(reports), journal_(std::move(journal)) {}

  bool ClearAttributes(const std::string& path) override;
  bool SetFileMode(const std::string& path, int mode) override;
  bool MoveFile(const std::string& from, const std::string& to, bool sameFile) override;
  bool CreateFolder(const std::string& path) override;
  bool MoveToTrash(const std::string& path) override;
  bool RestoreTag(const UndoEntry& entry) override;
  bool RestoreFromTrash(const TrashEntry& entry) override;
  bool RemoveFolder(const std::string& path) override;
  void Ended(bool cancelled) override;

 protected:
  std::unique_ptr<WriteWatch> Watch(const std::string& path, FileChange change) override;

 private:
  friend class RealWatch;
  // Records the entry durably, makes the change, and marks it made (with
  // the file at after) or dropped; reports the change once made.
  bool Recorded(UndoEntry entry, const FileChange& change, const std::string& after,
                const std::function<bool()>& make);

  std::unique_ptr<UndoJournal> journal_;
};

// Records the changes and answers as the disk would, changing nothing:
// what a change would do to later looks (a moved file, a made folder, a
// tag put back) is kept here and answered from.
class PreviewDisk : public JobDisk {
 public:
  explicit PreviewDisk(JobReports& reports) : JobDisk(reports) {}

  bool ClearAttributes(const std::string& path) override;
  bool SetFileMode(const std::string& path, int mode) override;
  bool MoveFile(const std::string& from, const std::string& to, bool sameFile) override;
  bool CreateFolder(const std::string& path) override;
  bool MoveToTrash(const std::string& path) override;
  bool RestoreTag(const UndoEntry& entry) override;
  bool RestoreFromTrash(const TrashEntry& entry) override;
  bool RemoveFolder(const std::string& path) override;

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  std::string ReadTags(const std::string& path, IDv1Tag& v1, IDv2Tag& v2) override;
  FileIdentity Identity(const std::string& path) override;
  std::string ReadRegion(const std::string& path, bool atEnd, size_t count) override;

 protected:
  std::unique_ptr<WriteWatch> Watch(const std::string& path, FileChange change) override;

 private:
  // What the preview made of a path.
  struct Place {
    enum What { Gone, File, Folder } what = Gone;
    std::string origin;  // File: where its bytes really are
    FileIdentity identity;  // File: as an undo's putting back left it (size -1: the origin's)
    std::string head, tail;  // File: a tag an undo put back
    static Place Made(What what, std::string origin = {}) {
      Place place;
      place.what = what;
      place.origin = std::move(origin);
      return place;
    }
  };
  // The place a path stands for; null when the preview did not touch it.
  const Place* Find(const std::string& path) const;
  // The real file behind a path the preview may have moved; empty for none.
  std::string Origin(const std::string& path) const;
  // Whether the disk would let a name be made or removed in the folder of path.
  bool MayChangeFolder(const std::string& path) const;
  bool Taken(const std::string& path);

  std::map<std::string, Place> places_;
};

}  // namespace tagmora
