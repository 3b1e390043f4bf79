#include "jobs/JobDisk.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "editing/TagAccess.h"
#include "jobs/BatchJob.h"
#include "platform/FileSystem.h"
#include "platform/InputFile.h"
#include "platform/Journal.h"
#include "tags/GenreNames.h"

namespace tagmora {

namespace {

// The fields of each record as info names them, with their captions.
template <typename Record>
struct FieldRow {
  const char* name;
  const char* caption;
  std::string (*text)(const Record&);
};

std::string TrackText(uint8_t track) { return track ? std::to_string(track) : std::string(); }

const FieldRow<IDv1Tag> kV1Rows[] = {
    {"title", "Title", [](const IDv1Tag& t) { return t.Title; }},
    {"artist", "Artist", [](const IDv1Tag& t) { return t.Artist; }},
    {"album", "Album", [](const IDv1Tag& t) { return t.Album; }},
    {"year", "Year", [](const IDv1Tag& t) { return t.Year; }},
    {"comment", "Comment", [](const IDv1Tag& t) { return t.Comment; }},
    {"track", "Track", [](const IDv1Tag& t) { return TrackText(t.Track); }},
    // The byte is what the record keeps; its name is what a person reads.
    {"genre", "Genre", [](const IDv1Tag& t) {
       const std::string name(GenreName(t.GenreId));
       if (t.GenreId == kNoGenre) return std::string();
       return name.empty() ? std::to_string(t.GenreId) : name;
     }},
};

const FieldRow<IDv2Tag> kV2Rows[] = {
    {"title", "Title", [](const IDv2Tag& t) { return t.Title; }},
    {"artist", "Artist", [](const IDv2Tag& t) { return t.Artist; }},
    {"album", "Album", [](const IDv2Tag& t) { return t.Album; }},
    {"track", "Track", [](const IDv2Tag& t) { return TrackText(t.Track); }},
    {"year", "Year", [](const IDv2Tag& t) { return t.Year; }},
    {"genre", "Genre", [](const IDv2Tag& t) { return t.Genre; }},
    {"comment", "Comment", [](const IDv2Tag& t) { return t.Comment; }},
    {"composer", "Composer", [](const IDv2Tag& t) { return t.Composer; }},
    {"encoder", "Encoder", [](const IDv2Tag& t) { return t.Encoder; }},
    {"copyright", "Copyright", [](const IDv2Tag& t) { return t.Copyright; }},
    {"language", "Language", [](const IDv2Tag& t) { return t.Language; }},
    {"url", "URL", [](const IDv2Tag& t) { return t.URL; }},
};

template <typename Record, size_t N>
std::vector<FileChange::Field> Differences(const FieldRow<Record> (&rows)[N], const Record& before,
                                           const Record& after) {
  std::vector<FileChange::Field> fields;
  for (const FieldRow<Record>& row : rows) {
    std::string was = row.text(before), now = row.text(after);
    if (was != now) fields.push_back({row.name, std::move(was), std::move(now)});
  }
  return fields;
}

FileChange Simple(FileChange::Kind kind, const std::string& path, const std::string& target = {}) {
  FileChange change;
  change.kind = kind;
  change.path = path;
  change.target = target;
  return change;
}

// The separators of a note: between the parts of a field, and after each.
constexpr char kUnit = '\x1f', kRecord = '\x1e';

std::string Key(const std::string& path) {
  std::string key = std::filesystem::path(path).lexically_normal().string();
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  return key;
}

std::string ParentOf(const std::string& path) {
  const std::string key = Key(path);
  const size_t slash = key.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : key.substr(0, slash);
}

// A change of a tag the write reports once it is on disk, after recording
// how to take it back when the disk has a journal.
class RealWatch : public WriteWatch {
 public:
  RealWatch(UndoJournal* journal, std::function<void(const FileChange&)> report, std::string path,
            FileChange change)
      : journal_(journal), report_(std::move(report)), path_(std::move(path)),
        change_(std::move(change)) {}

  Answer Prepare(const InputFile& file, const TagEdit& edit) override {
    if (!journal_) return Answer::Write;
    entry_.kind = UndoEntry::Kind::Tag;
    // Absolute, so that an undo from another folder finds the file.
    entry_.path = AbsolutePath(path_);
    entry_.atEnd = edit.atEnd;
    entry_.rewrite = edit.rewrite;
    entry_.oldBytes = edit.oldBytes;
    entry_.newBytes = edit.newBytes;
    entry_.note = change_.Note();
    entry_.before = IdentityOf(file.Status());
    // Flushed by Commit, which a rewrite calls only once its copy is on
    // disk: one flush serves both.
    if (!journal_->Add(entry_, false)) return Answer::Refuse;
    recorded_ = true;
    return Answer::Write;
  }
  bool Recorded() const override { return recorded_; }
  bool Commit() override { return !recorded_ || journal_->Flush(); }
  void Finish(bool written) override {
    if (recorded_ && written) journal_->Made(entry_.number, IdentityOf(path_));
    if (recorded_ && !written) journal_->Dropped(entry_.number);
    if (written) report_(change_);
  }

 private:
  UndoJournal* journal_;
  std::function<void(const FileChange&)> report_;
  std::string path_;
  FileChange change_;
  UndoEntry entry_;
  bool recorded_ = false;
};

// Whether the owner (or the administrator) may change a file's permissions.
bool MayChmod(const struct stat& st) {
  if (::geteuid() == 0 || st.st_uid == ::geteuid()) return true;
  errno = EPERM;
  return false;
}

// A preview's tag write: reported, answered as the disk would answer it,
// and stopped before it touches the file.
class PreviewWatch : public WriteWatch {
 public:
  PreviewWatch(std::function<void(const FileChange&)> report, std::string path, FileChange change)
      : report_(std::move(report)), path_(std::move(path)), change_(std::move(change)) {}

  Answer Prepare(const InputFile& file, const TagEdit& edit) override {
    // A file the owner may not write yet becomes writable by its owner.
    if (::access(path_.c_str(), W_OK) != 0 && (errno != EACCES || !MayChmod(file.Status())))
      return Answer::Refuse;
    // A rewrite makes its copy beside the file.
    if (edit.rewrite && ::access(ParentOf(path_).c_str(), W_OK | X_OK) != 0) return Answer::Refuse;
    report_(change_);
    return Answer::Skip;
  }
  bool Recorded() const override { return false; }
  bool Commit() override { return true; }
  void Finish(bool) override {}

 private:
  std::function<void(const FileChange&)> report_;
  std::string path_;
  FileChange change_;
};

}  // namespace

// ---- Changes -----------------------------------------------------------------

std::vector<FileChange::Field> ChangedFields(const IDv1Tag& before, const IDv1Tag& after) {
  return Differences(kV1Rows, before, after);
}

std::vector<FileChange::Field> ChangedFields(const IDv2Tag& before, const IDv2Tag& after) {
  return Differences(kV2Rows, before, after);
}

std::string FieldCaption(const std::string& name) {
  for (const auto& row : kV2Rows)
    if (name == row.name) return row.caption;
  return name;
}

std::string FileChange::Text() const {
  switch (kind) {
    case Kind::Tag: {
      if (removed) return tag + " tag removed";
      std::string text = tag + (created ? " tag created:" : ":");
      if (fields.empty()) return tag + " tag rewritten";
      for (size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        text += (i ? "; " : " ") + FieldCaption(f.name) + " \"" + f.before + "\" \u2192 \"" +
                f.after + "\"";
      }
      return text;
    }
    case Kind::Move: return "\u2192 " + target;
    case Kind::Folder: return "folder to create";
    case Kind::Trash: return "to the trash";
    case Kind::Restore: return "back from the trash";
    case Kind::RemoveFolder: return "folder to remove";
  }
  return {};
}

FileChange FileChange::Reversed() const {
  FileChange back = *this;
  switch (kind) {
    case Kind::Tag:
      std::swap(back.created, back.removed);
      for (Field& f : back.fields) std::swap(f.before, f.after);
      break;
    case Kind::Move:
      std::swap(back.path, back.target);
      break;
    case Kind::Folder: back.kind = Kind::RemoveFolder; break;
    case Kind::RemoveFolder: back.kind = Kind::Folder; break;
    case Kind::Trash: back.kind = Kind::Restore; break;
    case Kind::Restore: back.kind = Kind::Trash; break;
  }
  return back;
}

std::string FileChange::Note() const {
  std::string note = std::string(created ? "c" : "") + (removed ? "r" : "") + kRecord;
  for (const Field& f : fields) note += f.name + kUnit + f.before + kUnit + f.after + kRecord;
  return note;
}

FileChange FileChange::Of(const UndoEntry& entry) {
  FileChange change;
  change.path = entry.path;
  switch (entry.kind) {
    case UndoEntry::Kind::Tag: {
      change.kind = Kind::Tag;
      change.tag = entry.atEnd ? "ID3v1" : "ID3v2";
      const std::string& note = entry.note;
      size_t at = note.find(kRecord);
      const std::string flags = note.substr(0, at);
      change.created = flags.find('c') != std::string::npos;
      change.removed = flags.find('r') != std::string::npos;
      while (at != std::string::npos && at + 1 < note.size()) {
        const size_t end = note.find(kRecord, at + 1);
        const std::string record = note.substr(at + 1, end - at - 1);
        const size_t first = record.find(kUnit), second = record.find(kUnit, first + 1);
        if (first == std::string::npos || second == std::string::npos) break;
        change.fields.push_back({record.substr(0, first), record.substr(first + 1, second - first - 1),
                                 record.substr(second + 1)});
        at = end;
      }
      break;
    }
    case UndoEntry::Kind::Move:
      change.kind = Kind::Move;
      change.target = entry.target;
      break;
    case UndoEntry::Kind::Folder: change.kind = Kind::Folder; break;
    case UndoEntry::Kind::Trash: change.kind = Kind::Trash; break;
  }
  return change;
}

// ---- The seam ------------------------------------------------------------------

void JobDisk::Report(const FileChange& change) { reports_.Changed(change); }

std::unique_ptr<WriteWatch> JobDisk::Watched(const std::string& path, FileChange change,
                                             WriteOptions& options) {
  change.kind = FileChange::Kind::Tag;
  change.path = path;
  if (change.removed) change.fields.clear();
  std::unique_ptr<WriteWatch> watch = Watch(path, std::move(change));
  options.watch = watch.get();
  return watch;
}

namespace {

// What a tag write of either version changes.
template <typename Tag>
FileChange TagChange(const char* name, const Tag& before, const Tag& after) {
  FileChange change;
  change.tag = name;
  change.created = !before.Exists;
  change.removed = !after.Exists;
  change.fields = ChangedFields(before, after);
  return change;
}

}  // namespace

std::string JobDisk::WriteID3v1Tag(const std::string& path, const IDv1Tag& before,
                                   const IDv1Tag& after, WriteOptions options) {
  const auto watch = Watched(path, TagChange("ID3v1", before, after), options);
  return tagmora::WriteID3v1Tag(path, after, options);
}

std::string JobDisk::WriteID3v2Tag(const std::string& path, const IDv2Tag& before,
                                   const IDv2Tag& after, WriteOptions options) {
  const auto watch = Watched(path, TagChange("ID3v2", before, after), options);
  return tagmora::WriteID3v2Tag(path, after, options);
}

bool JobDisk::RemoveTag(const std::string& path, int version, WriteOptions options) {
  FileChange change;
  change.tag = version == 1 ? "ID3v1" : "ID3v2";
  change.removed = true;
  const auto watch = Watched(path, std::move(change), options);
  return version == 1 ? TID3v1().RemoveTag(path, options) : TID3v2().RemoveTag(path, options);
}

bool JobDisk::FileExists(const std::string& path) { return tagmora::FileExists(path); }

bool JobDisk::DirectoryExists(const std::string& path) { return tagmora::DirectoryExists(path); }

bool JobDisk::SameFile(const std::string& a, const std::string& b) {
  return tagmora::SameFile(a, b);
}

std::string JobDisk::ReadTags(const std::string& path, IDv1Tag& v1, IDv2Tag& v2) {
  return tagmora::ReadTags(path, v1, v2);
}

FileIdentity JobDisk::Identity(const std::string& path) { return IdentityOf(path); }

std::string JobDisk::ReadRegion(const std::string& path, bool atEnd, size_t count) {
  InputFile file;
  if (!file.Open(path)) return {};
  const int64_t size = file.Size();
  const int64_t take = std::min<int64_t>(size, int64_t(count));
  std::string bytes(size_t(take), '\0');
  const int64_t got = file.ReadAt(bytes.data(), bytes.size(), atEnd ? size - take : 0);
  bytes.resize(size_t(std::max<int64_t>(got, 0)));
  return bytes;
}

// ---- The disk itself --------------------------------------------------------------

std::unique_ptr<WriteWatch> RealDisk::Watch(const std::string& path, FileChange change) {
  return std::make_unique<RealWatch>(journal_.get(), [this](const FileChange& c) { Report(c); },
                                     path, std::move(change));
}

bool RealDisk::Recorded(UndoEntry entry, const FileChange& change, const std::string& after,
                        const std::function<bool()>& make) {
  if (journal_ && !journal_->Add(entry, true)) return false;
  const bool made = make();
  const int error = errno;
  if (journal_ && made) journal_->Made(entry.number, IdentityOf(after));
  if (journal_ && !made) journal_->Dropped(entry.number);
  if (made) Report(change);
  errno = error;
  return made;
}

bool RealDisk::ClearAttributes(const std::string& path) { return tagmora::ClearAttributes(path); }

bool RealDisk::SetFileMode(const std::string& path, int mode) {
  return tagmora::SetFileMode(path, mode);
}

bool RealDisk::MoveFile(const std::string& from, const std::string& to, bool sameFile) {
  // A taken name is the common refusal: it costs no record.
  struct stat taken;
  if (!sameFile && ::lstat(to.c_str(), &taken) == 0) {
    errno = EEXIST;
    return false;
  }
  UndoEntry entry;
  entry.kind = UndoEntry::Kind::Move;
  entry.path = AbsolutePath(from);
  entry.target = AbsolutePath(to);
  entry.before = IdentityOf(from);
  return Recorded(std::move(entry), Simple(FileChange::Kind::Move, from, to), to, [&] {
    return sameFile ? tagmora::ReplaceFile(from, to) : tagmora::MoveFile(from, to);
  });
}

bool RealDisk::CreateFolder(const std::string& path) {
  UndoEntry entry;
  entry.kind = UndoEntry::Kind::Folder;
  entry.path = AbsolutePath(path);
  return Recorded(std::move(entry), Simple(FileChange::Kind::Folder, path), path,
                  [&] { return tagmora::CreateFolder(path); });
}

bool RealDisk::MoveToTrash(const std::string& path) {
  TrashEntry trashed;
  if (!PrepareTrash(path, trashed)) return false;
  UndoEntry entry;
  entry.kind = UndoEntry::Kind::Trash;
  entry.path = trashed.original;
  entry.target = trashed.file;
  entry.info = trashed.info;
  entry.before = IdentityOf(path);
  bool tried = false;
  const bool done = Recorded(std::move(entry), Simple(FileChange::Kind::Trash, path), trashed.file, [&] {
    tried = true;
    return CompleteTrash(trashed);
  });
  // Its info goes again when the file never went in.
  if (!tried) RemoveAfterFailure(trashed.info);
  return done;
}

bool RealDisk::RestoreTag(const UndoEntry& e) {
  InputFile file;
  if (!file.OpenForUpdate(e.path)) return false;
  const int64_t size = file.Size();
  const int64_t newSize = e.before.size - int64_t(e.oldBytes.size()) + int64_t(e.newBytes.size());
  std::string now(e.newBytes.size(), '\0');
  const int64_t at = e.atEnd ? size - int64_t(e.newBytes.size()) : 0;
  // Looked at once more through the descriptor that writes: a file that
  // changed since the undo's check is never overwritten.
  if (size != newSize || at < 0 ||
      file.ReadAt(now.data(), now.size(), at) != int64_t(now.size()) || now != e.newBytes) {
    errno = ESTALE;
    return false;
  }
  const int mode = int(file.Status().st_mode & 07777);
  if (!file.MakeWritable()) return false;
  bool ok;
  if (e.atEnd)
    ok = ChangeInPlace(file, at, e.oldBytes, at + int64_t(e.oldBytes.size()));
  else if (e.oldBytes.size() == e.newBytes.size())
    ok = ChangeInPlace(file, 0, e.oldBytes, -1);
  else
    ok = ReplaceFile(file, e.oldBytes, int64_t(e.newBytes.size()));
  const int error = errno;
  // The file gets its time back too: a later undo knows it by it.
  const struct timespec times[2] = {{0, UTIME_OMIT},
                                    {e.before.mtimeSeconds, e.before.mtimeNanoseconds}};
  if (ok) ::utimensat(AT_FDCWD, e.path.c_str(), times, 0);
  if (!(mode & S_IWUSR)) tagmora::SetFileMode(e.path, mode);
  if (ok) Report(FileChange::Of(e).Reversed());
  errno = error;
  return ok;
}

bool RealDisk::RestoreFromTrash(const TrashEntry& entry) {
  if (!tagmora::RestoreFromTrash(entry)) return false;
  Report(Simple(FileChange::Kind::Restore, entry.original));
  return true;
}

bool RealDisk::RemoveFolder(const std::string& path) {
  if (::rmdir(path.c_str()) != 0) return false;
  Report(Simple(FileChange::Kind::RemoveFolder, path));
  return true;
}

void RealDisk::Ended(bool cancelled) {
  if (journal_) journal_->End(cancelled);
}

// ---- The preview -------------------------------------------------------------------

std::unique_ptr<WriteWatch> PreviewDisk::Watch(const std::string& path, FileChange change) {
  return std::make_unique<PreviewWatch>([this](const FileChange& c) { Report(c); }, path,
                                        std::move(change));
}

const PreviewDisk::Place* PreviewDisk::Find(const std::string& path) const {
  auto it = places_.find(Key(path));
  return it == places_.end() ? nullptr : &it->second;
}

std::string PreviewDisk::Origin(const std::string& path) const {
  if (const Place* place = Find(path)) return place->what == Place::File ? place->origin : "";
  return tagmora::FileExists(path) ? path : "";
}

bool PreviewDisk::MayChangeFolder(const std::string& path) const {
  const std::string folder = ParentOf(path);
  if (const Place* place = Find(folder); place && place->what == Place::Folder) return true;
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool PreviewDisk::Taken(const std::string& path) {
  if (const Place* place = Find(path)) return place->what != Place::Gone;
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool PreviewDisk::FileExists(const std::string& path) { return !Origin(path).empty(); }

bool PreviewDisk::DirectoryExists(const std::string& path) {
  if (const Place* place = Find(path)) return place->what == Place::Folder;
  return tagmora::DirectoryExists(path);
}

bool PreviewDisk::SameFile(const std::string& a, const std::string& b) {
  const std::string first = Origin(a), second = Origin(b);
  return !first.empty() && !second.empty() && tagmora::SameFile(first, second);
}

std::string PreviewDisk::ReadTags(const std::string& path, IDv1Tag& v1, IDv2Tag& v2) {
  const Place* place = Find(path);
  return tagmora::ReadTags(place ? Origin(path) : path, v1, v2);
}

FileIdentity PreviewDisk::Identity(const std::string& path) {
  const Place* place = Find(path);
  if (place && place->what == Place::File && place->identity.Exists()) return place->identity;
  const std::string origin = Origin(path);
  return origin.empty() ? FileIdentity{} : IdentityOf(origin);
}

std::string PreviewDisk::ReadRegion(const std::string& path, bool atEnd, size_t count) {
  if (const Place* place = Find(path); place && place->what == Place::File) {
    const std::string& put = atEnd ? place->tail : place->head;
    if (!put.empty()) return put;
  }
  const std::string origin = Origin(path);
  return origin.empty() ? std::string() : JobDisk::ReadRegion(origin, atEnd, count);
}

bool PreviewDisk::ClearAttributes(const std::string& path) {
  struct stat st;
  return ::stat(Origin(path).c_str(), &st) == 0 && MayChmod(st);
}

bool PreviewDisk::SetFileMode(const std::string& path, int) { return ClearAttributes(path); }

bool PreviewDisk::MoveFile(const std::string& from, const std::string& to, bool sameFile) {
  const std::string origin = Origin(from);
  const std::string name = Key(to).substr(Key(to).rfind('/') + 1);
  int error = 0;
  if (origin.empty())
    error = ENOENT;
  else if (name.size() > NAME_MAX || to.size() >= PATH_MAX)
    error = ENAMETOOLONG;
  else if (!DirectoryExists(ParentOf(to)))
    error = ENOENT;
  else if (!sameFile && Taken(to))
    error = EEXIST;
  else if (!MayChangeFolder(from) || !MayChangeFolder(to))
    error = errno;
  if (error) {
    errno = error;
    return false;
  }
  places_[Key(from)] = Place::Made(Place::Gone);
  places_[Key(to)] = Place::Made(Place::File, origin);
  Report(Simple(FileChange::Kind::Move, from, to));
  return true;
}

bool PreviewDisk::CreateFolder(const std::string& path) {
  const std::string key = Key(path);
  int error = 0;
  if (key.substr(key.rfind('/') + 1).size() > NAME_MAX)
    error = ENAMETOOLONG;
  else if (!DirectoryExists(ParentOf(path)))
    error = ENOENT;
  else if (Taken(path))
    error = EEXIST;
  else if (!MayChangeFolder(path))
    error = errno;
  if (error) {
    errno = error;
    return false;
  }
  places_[key] = Place::Made(Place::Folder);
  Report(Simple(FileChange::Kind::Folder, path));
  return true;
}

bool PreviewDisk::MoveToTrash(const std::string& path) {
  if (!FileExists(path)) {
    errno = ENOENT;
    return false;
  }
  if (!MayChangeFolder(path)) return false;
  places_[Key(path)] = Place::Made(Place::Gone);
  Report(Simple(FileChange::Kind::Trash, path));
  return true;
}

bool PreviewDisk::RestoreTag(const UndoEntry& e) {
  const std::string origin = Origin(e.path);
  Place& place = places_[Key(e.path)];
  if (place.what != Place::File) place = Place::Made(Place::File, origin);
  place.identity = e.before;
  (e.atEnd ? place.tail : place.head) = e.oldBytes;
  Report(FileChange::Of(e).Reversed());
  return true;
}

bool PreviewDisk::RestoreFromTrash(const TrashEntry& entry) {
  if (Taken(entry.original)) {
    errno = EEXIST;
    return false;
  }
  places_[Key(entry.original)] = Place::Made(Place::File, Origin(entry.file));
  places_[Key(entry.file)] = Place::Made(Place::Gone);
  Report(Simple(FileChange::Kind::Restore, entry.original));
  return true;
}

bool PreviewDisk::RemoveFolder(const std::string& path) {
  const std::string key = Key(path);
  // Empty as the preview left it: what the folder really holds, less what
  // the preview took away, and what the preview put in.
  bool empty = true;
  if (DIR* dir = ::opendir(key.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const Place* place = Find(key + "/" + name);
      if (!place || place->what != Place::Gone) empty = false;
    }
    ::closedir(dir);
  }
  for (auto it = places_.lower_bound(key + "/"); it != places_.end() &&
                                                  it->first.starts_with(key + "/");
       ++it)
    if (it->second.what != Place::Gone) empty = false;
  if (!empty) {
    errno = ENOTEMPTY;
    return false;
  }
  places_[key] = Place::Made(Place::Gone);
  Report(Simple(FileChange::Kind::RemoveFolder, path));
  return true;
}

}  // namespace tagmora
