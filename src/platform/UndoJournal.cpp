#include "platform/UndoJournal.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

#include "platform/DurableFile.h"
#include "platform/FileSystem.h"

namespace tagmora {

namespace {

constexpr const char* kJournalName = "/journal";
// A journal folder is made under this suffix, locked, then renamed, so
// that no one takes a journal its job has not locked yet.
constexpr std::string_view kFreshSuffix = ".new";

enum class Type : uint8_t {
  Header = 1,   // the job's name and start
  Entry = 2,
  Made = 3,     // number, identity after
  Dropped = 4,  // number
  End = 5,      // how the job ended
  Undone = 6,   // number
  Skipped = 7,  // number
  UndoEnd = 8,
};
enum EndHow : uint8_t { kFinished = 0, kCancelled = 1, kInterrupted = 2 };

// Type, payload length, payload, checksum of the three.
std::string Framed(Type type, const std::string& payload) {
  std::string out(1, char(type));
  PutNumber(out, payload.size(), 4);
  out += payload;
  PutNumber(out, Checksum(out), 8);
  return out;
}

constexpr size_t kFrameHead = 5, kFrameTail = 8;

// The journal file grows by written zeros ahead of its records, so that
// flushing a record is a flush of data alone: an appending file's flush
// also commits its new size, which costs as much again on ext4. A zero
// record ends the reading.
constexpr int64_t kFirstReserve = 64 << 10, kLargestReserve = 4 << 20;

void PutIdentity(std::string& out, const FileIdentity& id) {
  for (uint64_t v : {id.device, id.inode, uint64_t(id.size), uint64_t(id.mtimeSeconds),
                     uint64_t(id.mtimeNanoseconds)})
    PutNumber(out, v, 8);
}

FileIdentity TakeIdentity(ByteReader& in) {
  FileIdentity id;
  id.device = in.Number(8);
  id.inode = in.Number(8);
  id.size = int64_t(in.Number(8));
  id.mtimeSeconds = int64_t(in.Number(8));
  id.mtimeNanoseconds = int64_t(in.Number(8));
  return id;
}

std::string Numbered(uint32_t number) {
  std::string out;
  PutNumber(out, number, 4);
  return out;
}

std::string EncodeEntry(const UndoEntry& e) {
  std::string out;
  PutNumber(out, e.number, 4);
  PutNumber(out, uint8_t(e.kind), 1);
  PutNumber(out, (e.atEnd ? 1 : 0) | (e.rewrite ? 2 : 0), 1);
  for (const std::string* text : {&e.path, &e.target, &e.info, &e.oldBytes, &e.newBytes, &e.note})
    PutBytes(out, *text);
  PutIdentity(out, e.before);
  return out;
}

bool DecodeEntry(std::string_view payload, UndoEntry& e) {
  ByteReader in(payload);
  e.number = uint32_t(in.Number(4));
  e.kind = UndoEntry::Kind(in.Number(1));
  const uint64_t flags = in.Number(1);
  e.atEnd = flags & 1;
  e.rewrite = flags & 2;
  for (std::string* text : {&e.path, &e.target, &e.info, &e.oldBytes, &e.newBytes, &e.note})
    *text = in.Counted();
  e.before = TakeIdentity(in);
  return in.Ok() && e.kind >= UndoEntry::Kind::Tag && e.kind <= UndoEntry::Kind::Trash;
}

// Reads a journal's records up to the first torn one. Entries are kept
// with their bytes only when asked for; otherwise they are counted, and
// their payload is neither read nor checked.
struct Scan {
  UndoJob job;
  int64_t end = 0;  // where the next record goes
};

bool ReadJournal(int fd, bool withEntries, Scan& scan) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  UndoJob& job = scan.job;
  std::vector<UndoEntry>& list = job.list;
  const auto find = [&list](uint32_t number) -> UndoEntry* {
    // Marks follow their entries closely: look from the back.
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      if (it->number == number) return &*it;
    return nullptr;
  };
  int64_t at = 0;
  bool first = true;
  while (at + int64_t(kFrameHead + kFrameTail) <= st.st_size) {
    std::string head;
    if (!ReadAllAt(fd, head, kFrameHead, at)) return false;
    ByteReader h(head);
    const Type type = Type(h.Number(1));
    const uint64_t length = h.Number(4);
    const int64_t next = at + int64_t(kFrameHead + length + kFrameTail);
    if (next > st.st_size || (first && type != Type::Header)) break;
    std::string frame;
    const bool read = type != Type::Entry || withEntries;
    if (read) {
      if (!ReadAllAt(fd, frame, size_t(next - at), at) || int64_t(frame.size()) != next - at)
        break;
      ByteReader sum(std::string_view(frame).substr(frame.size() - kFrameTail));
      if (sum.Number(8) != Checksum(std::string_view(frame).substr(0, frame.size() - kFrameTail)))
        break;
    }
    const std::string_view payload =
        read ? std::string_view(frame).substr(kFrameHead, length) : std::string_view();
    ByteReader in(payload);
    switch (type) {
      case Type::Header:
        job.started = int64_t(in.Number(8));
        job.name = in.Counted();
        break;
      case Type::Entry:
        ++job.entries;
        if (withEntries) {
          UndoEntry entry;
          if (!DecodeEntry(payload, entry)) return true;
          list.push_back(std::move(entry));
        }
        break;
      case Type::Made:
      case Type::Dropped:
      case Type::Undone:
      case Type::Skipped: {
        // A change that failed is no change of the job's.
        if (type == Type::Dropped) --job.entries;
        UndoEntry* entry = find(uint32_t(in.Number(4)));
        if (!entry) break;
        if (type == Type::Made) {
          entry->state = UndoEntry::State::Made;
          entry->after = TakeIdentity(in);
        } else {
          entry->state = type == Type::Dropped  ? UndoEntry::State::Dropped
                         : type == Type::Undone ? UndoEntry::State::Undone
                                                : UndoEntry::State::Skipped;
        }
        break;
      }
      case Type::End: {
        const uint64_t how = in.Number(1);
        job.ended = true;
        job.cancelled = how == kCancelled;
        job.interrupted = how == kInterrupted;
        break;
      }
      case Type::UndoEnd: job.undone = true; break;
      default: return true;
    }
    first = false;
    at = next;
    scan.end = at;
  }
  return true;
}

bool JournalFolderName(std::string_view name, std::string_view) {
  return !name.empty() && name[0] != '.';
}

// Removes a journal folder and what is in it.
void RemoveFolder(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

// Whether a process holds the journal (its job runs, or an undo works on it).
bool Held(const std::string& folder) {
  UniqueFd fd(::open((folder + kJournalName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  return fd && ::flock(fd.Get(), LOCK_SH | LOCK_NB) != 0;
}

// Keeps the newest journals; one more is about to come.
void Prune(const std::string& undo) {
  std::vector<std::string> names = NamesIn(undo, JournalFolderName, {});
  int kept = 0;
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    const std::string folder = undo + "/" + *it;
    // A fresh folder is a job starting now, or one that died starting.
    if (EndsWith(*it, kFreshSuffix)) {
      if (!Held(folder)) RemoveFolder(folder);
      continue;
    }
    if (++kept < kKeptUndoJobs || Held(folder)) continue;
    RemoveFolder(folder);
  }
}

std::string Stamp() {
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  std::tm utc{};
  ::gmtime_r(&now.tv_sec, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
  char milli[24];
  std::snprintf(milli, sizeof milli, ".%03ld", now.tv_nsec / 1000000);
  return std::string(text) + milli + "-" + std::to_string(::getpid());
}

// Puts every change in place that the journal left open back to its old
// bytes when a crash left it half made; ends the journal as interrupted.
void RecoverOpen(int fd, Scan& scan, std::vector<RecoveryReport>& reports) {
  for (const UndoEntry& e : scan.job.list) {
    if (e.kind != UndoEntry::Kind::Tag || e.rewrite || e.state != UndoEntry::State::Open) continue;
    RegionChange change;
    change.path = e.path;
    change.device = e.before.device;
    change.inode = e.before.inode;
    change.oldSize = e.before.size;
    change.newSize = e.before.size - int64_t(e.oldBytes.size()) + int64_t(e.newBytes.size());
    change.offset = e.atEnd ? e.before.size - int64_t(e.oldBytes.size()) : 0;
    change.mtimeSeconds = e.before.mtimeSeconds;
    change.mtimeNanoseconds = e.before.mtimeNanoseconds;
    change.oldBytes = e.oldBytes;
    change.newBytes = e.newBytes;
    reports.push_back(RecoverRegion(change));
  }
  std::string how(1, char(kInterrupted));
  if (WriteAllAt(fd, Framed(Type::End, how), scan.end)) ::fdatasync(fd);
  scan.job.ended = scan.job.interrupted = true;
}

}  // namespace

const std::string& UndoFolder() {
  static const std::string folder = StateFolder() + "/undo";
  return folder;
}

FileIdentity IdentityOf(const struct stat& st) {
  return {uint64_t(st.st_dev), uint64_t(st.st_ino), int64_t(st.st_size), int64_t(st.st_mtim.tv_sec),
          int64_t(st.st_mtim.tv_nsec)};
}

FileIdentity IdentityOf(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return {};
  return IdentityOf(st);
}

UndoJournal::UndoJournal(std::string jobName) : name_(std::move(jobName)) {}

UndoJournal::~UndoJournal() { End(false); }

bool UndoJournal::CanRecord() {
  const std::string& folder = UndoFolder();
  return MakeFolders(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool UndoJournal::Begin() {
  const std::string& undo = UndoFolder();
  if (!MakeFolders(undo)) return false;
  Prune(undo);
  std::string name = Stamp();
  std::string fresh;
  for (int attempt = 0;; ++attempt) {
    fresh = undo + "/" + name + (attempt ? "-" + std::to_string(attempt) : "");
    if (::mkdir((fresh + std::string(kFreshSuffix)).c_str(), 0700) == 0) break;
    if (errno != EEXIST || attempt > 100) return false;
  }
  const std::string staged = fresh + std::string(kFreshSuffix);
  UniqueFd fd(::open((staged + kJournalName).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  std::string header;
  PutNumber(header, uint64_t(std::time(nullptr)), 8);
  PutBytes(header, name_);
  const std::string record = Framed(Type::Header, header);
  if (!fd || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 || !WriteAllAt(fd.Get(), record, 0) ||
      ::fdatasync(fd.Get()) != 0 || ::rename(staged.c_str(), fresh.c_str()) != 0 ||
      !SyncFolder(undo)) {
    const int error = errno;
    RemoveFolder(staged);
    errno = error;
    return false;
  }
  fd_ = std::move(fd);
  folder_ = fresh;
  end_ = reserved_ = int64_t(record.size());
  return true;
}

bool UndoJournal::Reserve(int64_t end) {
  if (end <= reserved_) return true;
  const int64_t grown = std::max(end, reserved_ + std::clamp(reserved_, kFirstReserve, kLargestReserve));
  if (!WriteAllAt(fd_.Get(), std::string(size_t(grown - reserved_), '\0'), reserved_)) return false;
  reserved_ = grown;
  return true;
}

bool UndoJournal::Append(const std::string& record, bool flush) {
  if (!Reserve(end_ + int64_t(record.size())) || !WriteAllAt(fd_.Get(), record, end_)) {
    // A torn record ends the journal's reading; the next one goes over it.
    return false;
  }
  end_ += int64_t(record.size());
  return !flush || ::fdatasync(fd_.Get()) == 0;
}

bool UndoJournal::Add(UndoEntry& entry, bool flush) {
  std::lock_guard lock(mutex_);
  if (ended_) {
    errno = EINVAL;
    return false;
  }
  if (!fd_ && !Begin()) return false;
  entry.number = next_++;
  return Append(Framed(Type::Entry, EncodeEntry(entry)), flush);
}

bool UndoJournal::Flush() {
  std::lock_guard lock(mutex_);
  return fd_ && ::fdatasync(fd_.Get()) == 0;
}

void UndoJournal::Made(uint32_t number, const FileIdentity& after) {
  std::lock_guard lock(mutex_);
  if (!fd_) return;
  std::string payload = Numbered(number);
  PutIdentity(payload, after);
  Append(Framed(Type::Made, payload), false);
}

void UndoJournal::Dropped(uint32_t number) {
  std::lock_guard lock(mutex_);
  if (fd_) Append(Framed(Type::Dropped, Numbered(number)), false);
}

void UndoJournal::End(bool cancelled) {
  std::lock_guard lock(mutex_);
  if (ended_) return;
  ended_ = true;
  if (!fd_) return;
  Append(Framed(Type::End, std::string(1, char(cancelled ? kCancelled : kFinished))), false);
  // The zeros ahead go; the size is flushed with the end.
  if (::ftruncate(fd_.Get(), end_) == 0) reserved_ = end_;
  ::fdatasync(fd_.Get());
  fd_.Reset();
}

std::vector<UndoJob> ListUndoJobs() {
  std::vector<UndoJob> jobs;
  const std::string& undo = UndoFolder();
  std::vector<std::string> names = NamesIn(undo, JournalFolderName, {});
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    if (EndsWith(*it, kFreshSuffix)) continue;
    Scan scan;
    scan.job.folder = undo + "/" + *it;
    UniqueFd fd(::open((scan.job.folder + kJournalName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd || !ReadJournal(fd.Get(), false, scan) || scan.end == 0) continue;
    scan.job.live = ::flock(fd.Get(), LOCK_SH | LOCK_NB) != 0;
    jobs.push_back(std::move(scan.job));
  }
  return jobs;
}

bool UndoSession::Open(const std::string& folder, UndoJob& job) {
  struct stat st;
  fd_ = Abandoned(folder + kJournalName, st, O_RDWR);
  if (!fd_) {
    if (errno == EWOULDBLOCK) errno = EBUSY;
    return false;
  }
  Scan scan;
  scan.job.folder = folder;
  if (!ReadJournal(fd_.Get(), true, scan)) return false;
  if (!scan.job.ended) {
    std::vector<RecoveryReport> ignored;
    RecoverOpen(fd_.Get(), scan, ignored);
  }
  end_ = scan.end;
  job = std::move(scan.job);
  return true;
}

void UndoSession::Mark(uint32_t number, bool undone) {
  const std::string record = Framed(undone ? Type::Undone : Type::Skipped, Numbered(number));
  if (fd_ && WriteAllAt(fd_.Get(), record, end_)) end_ += int64_t(record.size());
}

void UndoSession::Finish() {
  const std::string record = Framed(Type::UndoEnd, {});
  if (fd_ && WriteAllAt(fd_.Get(), record, end_)) {
    end_ += int64_t(record.size());
    ::fdatasync(fd_.Get());
  }
}

std::vector<RecoveryReport> RecoverUndoJournals() {
  std::vector<RecoveryReport> reports;
  const std::string& undo = UndoFolder();
  for (const std::string& name : NamesIn(undo, JournalFolderName, {})) {
    const std::string folder = undo + "/" + name;
    if (EndsWith(name, kFreshSuffix)) {
      if (!Held(folder)) RemoveFolder(folder);
      continue;
    }
    struct stat st;
    UniqueFd fd = Abandoned(folder + kJournalName, st, O_RDWR);
    if (!fd) continue;
    Scan scan;
    if (!ReadJournal(fd.Get(), false, scan) || scan.job.ended || scan.end == 0) continue;
    Scan full;
    if (ReadJournal(fd.Get(), true, full)) RecoverOpen(fd.Get(), full, reports);
  }
  return reports;
}

}  // namespace tagmora
