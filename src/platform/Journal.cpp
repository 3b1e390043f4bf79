#include "platform/Journal.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include "platform/DurableFile.h"
#include "platform/FileSystem.h"
#include "platform/UndoJournal.h"

namespace tagmora {

namespace {

using Outcome = RecoveryReport::Outcome;

struct OutcomeText {
  Outcome outcome;
  const char* message;
  bool concernsUser;
};
constexpr OutcomeText kOutcomeTexts[] = {
    {Outcome::Undone, "Interrupted tag write undone: ", true},
    {Outcome::Finished, "Interrupted tag write found complete: ", false},
    {Outcome::FileChanged, "Interrupted tag write not undone, the file changed since: ", true},
    {Outcome::Damaged, "Damaged undo record ignored: ", false},
    {Outcome::TempRemoved, "Temporary file of an interrupted rewrite removed: ", false},
    {Outcome::Failed, "Interrupted tag write could not be undone: ", true},
};

const OutcomeText& TextOf(Outcome outcome) {
  return *std::find_if(std::begin(kOutcomeTexts), std::end(kOutcomeTexts),
                       [&](const OutcomeText& t) { return t.outcome == outcome; });
}

RecoveryReport Report(Outcome outcome, std::string path, int error = 0) {
  std::string message = TextOf(outcome).message;
  if (error) message.insert(message.size() - 2, " (" + SystemErrorText(error) + ")");
  return {outcome, std::move(path), std::move(message)};
}

// ---- Records ---------------------------------------------------------------

// A record file starts with the magic; a dropped record has zeros there.
constexpr char kMagic[8] = {'T', 'G', 'M', 'U', 'N', 'D', 'O', '1'};
constexpr const char* kRecordSuffix = ".undo";
// A record file is made under this suffix, locked, then renamed, so that
// recovery never takes a file its maker has not locked yet.
constexpr const char* kFreshSuffix = ".new";
constexpr size_t kLargeRecord = 1 << 20;

enum class Kind : uint32_t {
  Undo = 1,     // an in-place change: the region's old and new bytes
  Rewrite = 2,  // a rewrite through a temporary file beside path
};

struct Record {
  Kind kind = Kind::Undo;
  uint64_t device = 0, inode = 0;
  int64_t oldSize = 0, newSize = 0, offset = 0;
  int64_t mtimeSeconds = 0, mtimeNanoseconds = 0;
  std::string path, oldBytes, newBytes;
};

std::string Encode(const Record& r) {
  std::string out(kMagic, sizeof kMagic);
  PutNumber(out, uint32_t(r.kind), 4);
  for (uint64_t v : {r.device, r.inode, uint64_t(r.oldSize), uint64_t(r.newSize),
                     uint64_t(r.offset), uint64_t(r.mtimeSeconds), uint64_t(r.mtimeNanoseconds)})
    PutNumber(out, v, 8);
  for (size_t n : {r.path.size(), r.oldBytes.size(), r.newBytes.size()}) PutNumber(out, n, 4);
  out += r.path;
  out += r.oldBytes;
  out += r.newBytes;
  PutNumber(out, Checksum(out), 8);
  return out;
}

enum class Parsed { Empty, Damaged, Whole };

Parsed Decode(std::string_view bytes, Record& r) {
  std::string_view head = bytes.substr(0, sizeof kMagic);
  if (std::all_of(head.begin(), head.end(), [](char c) { return c == 0; })) return Parsed::Empty;
  if (head != std::string_view(kMagic, sizeof kMagic)) return Parsed::Damaged;
  ByteReader in(bytes.substr(sizeof kMagic));
  r.kind = Kind(in.Number(4));
  uint64_t* fields[] = {&r.device, &r.inode};
  for (uint64_t* f : fields) *f = in.Number(8);
  int64_t* signedFields[] = {&r.oldSize, &r.newSize, &r.offset, &r.mtimeSeconds,
                             &r.mtimeNanoseconds};
  for (int64_t* f : signedFields) *f = int64_t(in.Number(8));
  uint64_t pathSize = in.Number(4), oldSize = in.Number(4), newSize = in.Number(4);
  r.path = in.Bytes(pathSize);
  r.oldBytes = in.Bytes(oldSize);
  r.newBytes = in.Bytes(newSize);
  size_t end = bytes.size() - in.Left();
  uint64_t checksum = in.Number(8);
  if (!in.Ok() || checksum != Checksum(bytes.substr(0, end))) return Parsed::Damaged;
  if (r.kind != Kind::Undo && r.kind != Kind::Rewrite) return Parsed::Damaged;
  return Parsed::Whole;
}

// ---- Files -------------------------------------------------------------------

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The absolute name of an open file, through any links, as long as that
// name still leads to it.
std::string PathOf(int fd) {
  char buffer[PATH_MAX];
  std::string self = "/proc/self/fd/" + std::to_string(fd);
  ssize_t n = ::readlink(self.c_str(), buffer, sizeof buffer);
  struct stat byName, byFd;
  if (n > 0 && size_t(n) < sizeof buffer && buffer[0] == '/') {
    std::string path(buffer, size_t(n));
    if (::stat(path.c_str(), &byName) == 0 && ::fstat(fd, &byFd) == 0 && SameFile(byName, byFd))
      return path;
  }
  errno = ENOENT;
  return {};
}

std::pair<std::string, std::string> SplitPath(const std::string& path) {
  size_t slash = path.rfind('/');
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string RandomLetters(size_t count) {
  static const char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<uint64_t> counter{0};
  std::array<unsigned char, 16> noise{};
  if (::getrandom(noise.data(), noise.size(), 0) != ssize_t(noise.size())) {
    uint64_t mix = uint64_t(::getpid()) * 40503u + GetTickCount() + ++counter * 2654435761u;
    for (auto& b : noise) b = static_cast<unsigned char>(mix >>= 3);
  }
  std::string out;
  for (size_t i = 0; i < count; ++i) out += kLetters[noise[i % noise.size()] % 62];
  return out;
}

constexpr std::string_view kTempMarker = ".tagmora-";
constexpr std::string_view kTempEnd = ".tmp";
constexpr size_t kTempLetters = 6;

// ".NAME.tagmora-XXXXXX.tmp", the name cut (at a character boundary) so
// that the whole stays within the 255 bytes of a file name.
std::string TemporaryPrefix(std::string name) {
  size_t keep = 200;
  if (name.size() > keep) {
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    name.resize(keep);
  }
  return "." + name + std::string(kTempMarker);
}

// ---- Record files of this process ----------------------------------------------

struct Slot {
  UniqueFd fd;
  std::string path;
};

class Slots {
 public:
  ~Slots() {
    // A record file whose record was dropped goes with the process; one
    // still holding a record stays for recovery.
    if (owner_ != ::getpid()) return;
    for (Slot& slot : free_) ::unlink(slot.path.c_str());
  }

  bool Take(Slot& slot) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ForgetOtherProcess();
      if (!free_.empty()) {
        slot = std::move(free_.back());
        free_.pop_back();
        return true;
      }
    }
    return Make(slot);
  }
  void Give(Slot slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    ForgetOtherProcess();
    free_.push_back(std::move(slot));
  }
  // A live record that could not be undone: its lock is held until the
  // process ends; recovery applies it then.
  void Keep(Slot slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    kept_.push_back(std::move(slot));
  }

 private:
  // A child made by fork shares its parent's locks: it makes files of
  // its own, and closing the inherited ones leaves the parent's locks.
  void ForgetOtherProcess() {
    if (owner_ == ::getpid()) return;
    owner_ = ::getpid();
    free_.clear();
    kept_.clear();
  }

  static bool Make(Slot& slot) {
    const std::string& folder = JournalFolder();
    if (!MakeFolders(folder)) return false;
    std::string base = folder + "/" + std::to_string(::getpid()) + "-" + RandomLetters(8);
    std::string fresh = base + kFreshSuffix;
    UniqueFd fd(::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd) return false;
    slot.path = base + kRecordSuffix;
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 ||
        ::rename(fresh.c_str(), slot.path.c_str()) != 0 || !SyncFolder(folder))
      return RemoveAfterFailure(fd, fresh);
    slot.fd = std::move(fd);
    return true;
  }

  std::mutex mutex_;
  pid_t owner_ = ::getpid();
  std::vector<Slot> free_, kept_;
};

Slots& ProcessSlots() {
  static Slots slots;
  return slots;
}

bool WriteRecord(const Slot& slot, std::string_view record) {
  return WriteAllAt(slot.fd.Get(), record, 0) && ::fdatasync(slot.fd.Get()) == 0;
}

// No flush: a dropped record that comes back after a power cut describes
// a change that is whole on disk, which recovery then leaves alone.
void DropRecord(const Slot& slot, size_t recordSize) {
  int saved = errno;
  if (recordSize > kLargeRecord)
    (void)::ftruncate(slot.fd.Get(), 0);
  else
    (void)WriteAllAt(slot.fd.Get(), std::string(sizeof kMagic, '\0'), 0);
  errno = saved;
}

std::atomic<WriteStageHook> stageHook{nullptr};

void Stage(WriteStage stage) {
  if (WriteStageHook hook = stageHook.load()) hook(stage);
}

// Puts the record's old bytes, size and modification time back.
bool Undo(int fd, const Record& r, int64_t size) {
  struct timespec times[2] = {{0, UTIME_OMIT}, {r.mtimeSeconds, r.mtimeNanoseconds}};
  return WriteAllAt(fd, r.oldBytes, r.offset) &&
         (size == r.oldSize || ::ftruncate(fd, r.oldSize) == 0) && ::futimens(fd, times) == 0 &&
         ::fsync(fd) == 0;
}

// ---- Recovery ---------------------------------------------------------------------

RecoveryReport Restore(const Record& r) {
  UniqueFd fd(::open(r.path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
  if (!fd) {
    bool gone = errno == ENOENT || errno == ENOTDIR || errno == ELOOP;
    return gone ? Report(Outcome::FileChanged, r.path) : Report(Outcome::Failed, r.path, errno);
  }
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0) return Report(Outcome::Failed, r.path, errno);
  // Our own write only moves the modification time forward (or keeps it).
  bool sameFile = st.st_dev == r.device && st.st_ino == r.inode &&
                  st.st_size >= std::min(r.oldSize, r.newSize) &&
                  st.st_size <= std::max(r.oldSize, r.newSize) &&
                  (st.st_mtim.tv_sec > r.mtimeSeconds ||
                   (st.st_mtim.tv_sec == r.mtimeSeconds && st.st_mtim.tv_nsec >= r.mtimeNanoseconds));
  if (!sameFile) return Report(Outcome::FileChanged, r.path);
  std::string now;
  if (!ReadAllAt(fd.Get(), now, std::max(r.oldBytes.size(), r.newBytes.size()), r.offset))
    return Report(Outcome::Failed, r.path, errno);
  if (st.st_size == r.newSize && now.compare(0, std::string::npos, r.newBytes) == 0)
    return Report(Outcome::Finished, r.path);
  // Each byte of the region is the old one or the new one; any other
  // came from someone else.
  for (size_t i = 0; i < std::min(now.size(), r.oldBytes.size()); ++i)
    if (now[i] != r.oldBytes[i] && (i >= r.newBytes.size() || now[i] != r.newBytes[i]))
      return Report(Outcome::FileChanged, r.path);
  if (!Undo(fd.Get(), r, st.st_size)) return Report(Outcome::Failed, r.path, errno);
  return Report(Outcome::Undone, r.path);
}

// The temporary files of a killed rewrite of path that no process holds.
void RemoveTemporaries(const std::string& path, std::vector<RecoveryReport>& reports) {
  auto [folder, name] = SplitPath(path);
  const auto ofThisFile = [](std::string_view entry, std::string_view prefix) {
    return entry.substr(0, prefix.size()) == prefix && IsTemporaryName(entry);
  };
  for (const std::string& temp : NamesIn(folder, ofThisFile, TemporaryPrefix(name))) {
    std::string tempPath = folder + "/" + temp;
    struct stat st;
    if (Abandoned(tempPath, st) && ::unlink(tempPath.c_str()) == 0)
      reports.push_back(Report(Outcome::TempRemoved, tempPath));
  }
}

// ---- Copying ------------------------------------------------------------------------

// Copies [offset, end) of the source to the current position of out.
bool CopyRest(const InputFile& source, int out, int64_t offset) {
  off_t in = offset;
  int64_t left = source.Size() - offset;
  bool useSendfile = true;
  while (left > 0) {
    size_t chunk = size_t(std::min<int64_t>(left, 1 << 30));
    ssize_t n = useSendfile ? ::sendfile(out, source.Fd(), &in, chunk)
                            : ::copy_file_range(source.Fd(), &in, out, nullptr, chunk, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && useSendfile && (errno == EINVAL || errno == ENOSYS)) {
      useSendfile = false;
      continue;
    }
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;  // the file shrank while it was copied
      return false;
    }
    left -= n;
  }
  return true;
}

}  // namespace

bool RecoveryReport::ConcernsUser() const { return TextOf(outcome).concernsUser; }

const std::string& JournalFolder() {
  static const std::string folder = StateFolder() + "/journal";
  return folder;
}

bool IsTemporaryName(std::string_view name) {
  const size_t tail = kTempMarker.size() + kTempLetters + kTempEnd.size();
  if (name.size() < 1 + tail || name[0] != '.' || !EndsWith(name, kTempEnd)) return false;
  std::string_view rest = name.substr(name.size() - tail);
  if (rest.substr(0, kTempMarker.size()) != kTempMarker) return false;
  std::string_view letters = rest.substr(kTempMarker.size(), kTempLetters);
  return std::all_of(letters.begin(), letters.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  });
}

void SetWriteStageHook(WriteStageHook hook) { stageHook.store(hook); }

bool ChangeInPlace(const InputFile& file, int64_t offset, std::string_view newBytes,
                   int64_t newSize, const WriteOptions& options, bool* unjournaled) {
  const int fd = file.Fd();
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  if (newSize < 0) newSize = st.st_size;
  if (offset < 0 || offset > st.st_size || newSize < offset + int64_t(newBytes.size())) {
    errno = EINVAL;
    return false;
  }
  Record r;
  r.kind = Kind::Undo;
  r.device = st.st_dev;
  r.inode = st.st_ino;
  r.oldSize = st.st_size;
  r.newSize = newSize;
  r.offset = offset;
  r.mtimeSeconds = st.st_mtim.tv_sec;
  r.mtimeNanoseconds = st.st_mtim.tv_nsec;
  r.path = PathOf(fd);
  if (r.path.empty()) return false;
  // The old region: what the new bytes cover, and what a cut end loses.
  int64_t oldEnd = std::min<int64_t>(
      st.st_size, std::max<int64_t>(offset + int64_t(newBytes.size()),
                                    newSize < st.st_size ? st.st_size : offset));
  if (!ReadAllAt(fd, r.oldBytes, size_t(oldEnd - offset), offset)) return false;
  r.newBytes = std::string(newBytes);

  Slot slot;
  // A watch's record serves in place of one of ours.
  WriteWatch* const watch = options.watch;
  const bool watched = watch && watch->Recorded();
  bool journaled = !watched && ProcessSlots().Take(slot);
  const std::string record = journaled ? Encode(r) : std::string();
  if (journaled && !WriteRecord(slot, record)) {
    // A record not on disk protects nothing.
    DropRecord(slot, record.size());
    ProcessSlots().Give(std::move(slot));
    journaled = false;
  }
  if (watch && !watch->Commit()) return false;
  if (!journaled && !watched && unjournaled) {
    // The file is untouched; the caller has a safe way of its own.
    *unjournaled = true;
    return false;
  }
  // Without a journal (a state folder that cannot be written) the change
  // is made as other taggers make it, rather than refused.
  if (journaled || watched) Stage(WriteStage::RecordOnDisk);
  const bool stopHalfway = stageHook.load() != nullptr;
  const size_t half = stopHalfway ? newBytes.size() / 2 : newBytes.size();
  struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  bool ok = WriteAllAt(fd, newBytes.substr(0, half), offset);
  if (ok && stopHalfway) {
    Stage(WriteStage::HalfWritten);
    ok = WriteAllAt(fd, newBytes.substr(half), offset + int64_t(half));
  }
  ok = ok && (newSize == st.st_size || ::ftruncate(fd, newSize) == 0);
  // A kept time is flushed with the data (fsync), or a power cut could
  // leave the time of the write.
  if (ok && options.keepModificationTime)
    ok = ::futimens(fd, times) == 0 && ::fsync(fd) == 0;
  else if (ok)
    ok = ::fdatasync(fd) == 0;
  if (ok) {
    if (journaled || watched) Stage(WriteStage::AllWritten);
    if (journaled) {
      DropRecord(slot, record.size());
      ProcessSlots().Give(std::move(slot));
    }
    return true;
  }
  int error = errno;
  struct stat now;
  const bool undone = ::fstat(fd, &now) == 0 && Undo(fd, r, now.st_size);
  if (journaled && undone) {
    DropRecord(slot, record.size());
    ProcessSlots().Give(std::move(slot));
  } else if (journaled) {
    ProcessSlots().Keep(std::move(slot));
  }
  errno = error;
  return false;
}

bool ReplaceFile(const InputFile& source, std::string_view prefix, int64_t skip,
                 const WriteOptions& options) {
  struct stat st;
  if (::fstat(source.Fd(), &st) != 0) return false;
  const std::string path = PathOf(source.Fd());
  if (path.empty()) return false;
  auto [folder, name] = SplitPath(path);

  // The journal knows of the rewrite before its temporary file exists, so
  // that recovery finds the file a killed rewrite leaves behind. The record
  // is not flushed, nor is the folder after the rename: the rename alone
  // keeps the file old or new, whole, through a power cut, and the two
  // flushes made a rewrite half as slow again. A power cut may then leave
  // an unknown temporary file behind, never a damaged song; so may a
  // journal that cannot be written, which does not stop the rewrite.
  Record r;
  r.kind = Kind::Rewrite;
  r.device = st.st_dev;
  r.inode = st.st_ino;
  r.oldSize = r.newSize = st.st_size;
  r.path = path;
  Slot slot;
  const bool journaled = ProcessSlots().Take(slot);
  const std::string record = Encode(r);
  if (journaled) (void)WriteAllAt(slot.fd.Get(), record, 0);

  bool ok = true;
  UniqueFd out;
  std::string temp;
  for (int attempt = 0; ok && !out && attempt < 100; ++attempt) {
    temp = folder + "/" + TemporaryPrefix(name) + RandomLetters(kTempLetters) + std::string(kTempEnd);
    out.Reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out && errno != EEXIST) ok = false;
  }
  ok = ok && out && ::flock(out.Get(), LOCK_EX) == 0 &&
       WriteAll(out.Get(), prefix.data(), prefix.size()) && CopyRest(source, out.Get(), skip);
  if (ok) {
    // The owner first: changing it clears set-id bits that fchmod then restores.
    (void)::fchown(out.Get(), st.st_uid, st.st_gid);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    ok = ::fchmod(out.Get(), st.st_mode & 07777) == 0 &&
         (!options.keepModificationTime || ::futimens(out.Get(), times) == 0) &&
         ::fsync(out.Get()) == 0;
  }
  if (ok) Stage(WriteStage::TemporaryOnDisk);
  // The name must still lead to the file that was read.
  struct stat byName;
  if (ok && (::stat(path.c_str(), &byName) != 0 || !SameFile(byName, st))) {
    errno = ESTALE;
    ok = false;
  }
  if (ok && options.watch) ok = options.watch->Commit();
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok && out) RemoveAfterFailure(out, temp);
  out.Reset();
  if (journaled) {
    DropRecord(slot, record.size());
    ProcessSlots().Give(std::move(slot));
  }
  return ok;
}

RecoveryReport RecoverRegion(const RegionChange& change) {
  Record r;
  r.kind = Kind::Undo;
  r.device = change.device;
  r.inode = change.inode;
  r.oldSize = change.oldSize;
  r.newSize = change.newSize;
  r.offset = change.offset;
  r.mtimeSeconds = change.mtimeSeconds;
  r.mtimeNanoseconds = change.mtimeNanoseconds;
  r.path = change.path;
  r.oldBytes = change.oldBytes;
  r.newBytes = change.newBytes;
  return Restore(r);
}

WatchedWrite::WatchedWrite(const WriteOptions& options, const InputFile& file,
                           const TagEdit& edit)
    : watch_(options.watch) {
  if (watch_) answer_ = watch_->Prepare(file, edit);
}

WatchedWrite::~WatchedWrite() {
  if (watch_ && Goes() && !finished_) watch_->Finish(false);
}

bool WatchedWrite::Done(bool written) {
  if (watch_ && !finished_) {
    finished_ = true;
    int saved = errno;
    watch_->Finish(written);
    errno = saved;
  }
  return written;
}

std::vector<RecoveryReport> RecoverJournal() {
  std::vector<RecoveryReport> reports;
  const std::string& folder = JournalFolder();
  const auto recordFile = [](std::string_view name, std::string_view) {
    return EndsWith(name, kRecordSuffix) || EndsWith(name, kFreshSuffix);
  };
  for (const std::string& name : NamesIn(folder, recordFile, {})) {
    std::string recordPath = folder + "/" + name;
    struct stat st;
    UniqueFd fd = Abandoned(recordPath, st);
    if (!fd) continue;
    std::string bytes;
    if (EndsWith(name, kRecordSuffix) && !ReadAllAt(fd.Get(), bytes, size_t(st.st_size), 0))
      continue;
    Record r;
    switch (Decode(bytes, r)) {
      case Parsed::Empty: break;
      case Parsed::Damaged: reports.push_back(Report(Outcome::Damaged, recordPath)); break;
      case Parsed::Whole:
        if (r.kind == Kind::Rewrite) {
          RemoveTemporaries(r.path, reports);
        } else {
          reports.push_back(Restore(r));
          if (reports.back().outcome == Outcome::Failed) continue;  // tried again next time
        }
        break;
    }
    ::unlink(recordPath.c_str());
  }
  for (RecoveryReport& report : RecoverUndoJournals()) reports.push_back(std::move(report));
  return reports;
}

}  // namespace tagmora
