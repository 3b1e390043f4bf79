// The tag access layer's speed, each figure next to its floor in the same
// run: reading 10,000 small files against a loop that only opens, reads
// the first 4 KB and the last 128 bytes and closes; a title change that
// fits in the tag of a 20 MB file (in place) against one 4 KiB pwrite and
// fdatasync of that file; one that does not fit (a rewrite) against a
// durable copy of it; and a batch of title changes over 200 files of 4 MB
// against TagLib's in-place save with an fsync of each file, with the
// bytes each writes to the disk per file (write_bytes of /proc/self/io).
//
// TAGMORA_BENCH_DIR names the folder for the files (default: a new folder
// in the current one), so the copy's fsync meets a real disk.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include "editing/TagAccess.h"
#include "BenchFiles.h"
#include "tags/MPEGaudio.h"

namespace fs = std::filesystem;
using namespace tagmora;
using namespace tagmora::bench;

namespace {

constexpr int kBatchFiles = 200;
constexpr size_t kBatchFileSize = 4 << 20;

std::string LargeFileBytes() { return test::Tag(3, Frames(1, 3), 1024) + Audio(int(kLargeFile / 417)); }

// A 20 MB file with that tag, made once per name: the in-place writes and
// the rewrites each have their own.
const std::string& LargeFile(const std::string& name = "large.mp3") {
  static std::map<std::string, std::string> made;
  std::string& path = made[name];
  if (path.empty()) Write(path = Folder() + "/" + name, LargeFileBytes());
  return path;
}

// Takes the file out of the page cache, as a library on disk is before a
// batch reads it: a file just written sits there in large folios, and a
// small change would dirty (and write back) a whole one.
void DropFromCache(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

// The 20 MB file's tag and frames cut to 4 MB, 200 times in a folder;
// made when a batch first runs (1.6 GB for both), on the disk and out of
// the page cache before it is timed.
const std::vector<std::string>& BatchFiles(const char* folder) {
  static std::map<std::string, std::vector<std::string>> made;
  std::vector<std::string>& files = made[folder];
  if (files.empty()) {
    std::string dir = Folder() + "/" + folder;
    fs::create_directories(dir);
    std::string bytes = LargeFileBytes().substr(0, kBatchFileSize);
    for (int i = 0; i < kBatchFiles; ++i) {
      files.push_back(dir + "/" + std::to_string(i) + ".mp3");
      Write(files.back(), bytes);
    }
    ::sync();
    for (const auto& path : files) DropFromCache(path);
  }
  return files;
}

// Bytes this process has caused to be written to the disk so far.
int64_t DiskBytesWritten() {
  std::ifstream io("/proc/self/io");
  std::string key;
  int64_t value = 0;
  while (io >> key >> value)
    if (key == "write_bytes:") return value;
  return 0;
}

void Floor(benchmark::State& state) {
  const auto& files = SmallFiles();
  std::vector<char> head(4096), tail(128);
  for (auto _ : state) {
    for (const auto& path : files) {
      int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      benchmark::DoNotOptimize(::read(fd, head.data(), head.size()));
      off_t end = ::lseek(fd, 0, SEEK_END);
      benchmark::DoNotOptimize(::pread(fd, tail.data(), tail.size(), end - 128));
      ::close(fd);
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(files.size()));
}

// Reads the tags of every small file, and with info its stream too.
void ReadEachFile(benchmark::State& state, bool withInfo) {
  const auto& files = SmallFiles();
  for (auto _ : state) {
    for (const auto& path : files) {
      IDv1Tag v1;
      IDv2Tag v2;
      if (ReadTags(path, v1, v2) != kStatusOK) state.SkipWithError("ReadTags failed");
      benchmark::DoNotOptimize(v2.Title.data());
      if (!withInfo) continue;
      TMPEGaudio mpeg;
      if (!mpeg.ReadInfo(path) || !mpeg.Valid()) state.SkipWithError("ReadInfo failed");
      benchmark::DoNotOptimize(mpeg.Duration());
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(files.size()));
}

void ReadTagsOnly(benchmark::State& state) { ReadEachFile(state, false); }
void ReadTagsAndInfo(benchmark::State& state) { ReadEachFile(state, true); }

void DurableCopy(benchmark::State& state) {
  const std::string& source = LargeFile();
  std::string copy = source + ".copy";
  for (auto _ : state) {
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
    int fd = ::open(copy.c_str(), O_RDWR | O_CLOEXEC);
    ::fsync(fd);
    ::close(fd);
    state.PauseTiming();
    fs::remove(copy);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * kLargeFile);
}

// The least a durable in-place change costs: one 4 KiB pwrite of the bytes
// already there, and fdatasync.
void PwriteFloor(benchmark::State& state) {
  int fd = ::open(LargeFile().c_str(), O_RDWR | O_CLOEXEC);
  std::vector<char> page(4096);
  if (::pread(fd, page.data(), page.size(), 0) != ssize_t(page.size()))
    state.SkipWithError("pread failed");
  for (auto _ : state) {
    if (::pwrite(fd, page.data(), page.size(), 0) != ssize_t(page.size()) || ::fdatasync(fd) != 0)
      state.SkipWithError("pwrite failed");
  }
  ::close(fd);
}

// A title change that fits in the tag's padding.
void WriteID3v2Fits(benchmark::State& state) {
  const std::string& path = LargeFile();
  IDv1Tag v1;
  IDv2Tag v2;
  if (ReadTags(path, v1, v2) != kStatusOK) state.SkipWithError("ReadTags failed");
  int round = 0;
  for (auto _ : state) {
    v2.Title = "Title " + std::to_string(++round);
    if (WriteID3v2Tag(path, v2) != kStatusOK) state.SkipWithError("WriteID3v2Tag failed");
  }
}

ino_t InodeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// Writes that do not fit: a tag written to the file without one, and
// removed again, in turn; each rewrites the whole file (checked by the
// inode).
void WriteID3v2Rewrites(benchmark::State& state) {
  const std::string& path = LargeFile("rewritten.mp3");
  IDv1Tag v1;
  IDv2Tag v2, none;
  if (ReadTags(path, v1, v2) != kStatusOK) state.SkipWithError("ReadTags failed");
  v2.Exists = true;
  static bool tagged = true;  // across the runs the library makes
  int round = 0;
  for (auto _ : state) {
    ino_t before = InodeOf(path);
    v2.Title = "Title " + std::to_string(++round);
    if (WriteID3v2Tag(path, tagged ? none : v2) != kStatusOK)
      state.SkipWithError("WriteID3v2Tag failed");
    tagged = !tagged;
    if (InodeOf(path) == before) state.SkipWithError("the write went in place");
  }
  state.SetBytesProcessed(state.iterations() * kLargeFile);
}

// Files per second, and the bytes written to the disk per file since
// `written`.
void CountPerFile(benchmark::State& state, int64_t written, size_t files) {
  const int64_t count = state.iterations() * int64_t(files);
  state.counters["disk_bytes_per_file"] = double(DiskBytesWritten() - written) / double(count);
  state.SetItemsProcessed(count);
}

// One title change per file, as a batch job makes it: read the tags,
// write the ID3v2 tag.
void BatchTagmora(benchmark::State& state) {
  const auto& files = BatchFiles("tagmora");
  int64_t written = DiskBytesWritten();
  int round = 0;
  for (auto _ : state) {
    ++round;
    for (size_t i = 0; i < files.size(); ++i) {
      IDv1Tag v1;
      IDv2Tag v2;
      if (ReadTags(files[i], v1, v2) != kStatusOK) state.SkipWithError("ReadTags failed");
      v2.Title = "Batch title " + std::to_string(round) + "/" + std::to_string(i);
      if (WriteID3v2Tag(files[i], v2) != kStatusOK) state.SkipWithError("WriteID3v2Tag failed");
    }
  }
  CountPerFile(state, written, files.size());
}

// TagLib 1.13's save writes the tag in place when it fits; the fsync makes
// it as durable as Tagmora's write.
void BatchTagLib(benchmark::State& state) {
  const auto& files = BatchFiles("taglib");
  int64_t written = DiskBytesWritten();
  int round = 0;
  for (auto _ : state) {
    ++round;
    for (size_t i = 0; i < files.size(); ++i) {
      {
        TagLib::MPEG::File file(files[i].c_str(), false);
        file.ID3v2Tag(true)->setTitle("Batch title " + std::to_string(round) + "/" + std::to_string(i));
        if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                       TagLib::File::DoNotDuplicate))
          state.SkipWithError("TagLib's save failed");
      }
      int fd = ::open(files[i].c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0 || ::fsync(fd) != 0) state.SkipWithError("fsync failed");
      ::close(fd);
    }
  }
  CountPerFile(state, written, files.size());
}

}  // namespace

BENCHMARK(Floor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadTagsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadTagsAndInfo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PwriteFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(WriteID3v2Fits)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(DurableCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(WriteID3v2Rewrites)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BatchTagLib)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BatchTagmora)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv) {
  // The journal of the in-place writes lives beside the files, not in the
  // user's own state folder.
  ::setenv("XDG_STATE_HOME", (Folder() + "/state").c_str(), 1);
  // What was written reaches the disk before the writes are timed.
  SmallFiles();
  LargeFile();
  LargeFile("rewritten.mp3");
  ::sync();
  DropFromCache(LargeFile());
  return RunBenchmarks(argc, argv, [](RatioReporter& reporter) {
    reporter.PrintRatio("ReadTagsOnly", "Floor", 2.0);
    reporter.PrintRatio("ReadTagsAndInfo", "Floor", 4.0);
    reporter.PrintRatio("WriteID3v2Fits", "PwriteFloor", 3.0);
    reporter.PrintRatio("WriteID3v2Rewrites", "DurableCopy", 1.3);
    reporter.PrintRatio("BatchTagmora", "BatchTagLib", 2.0);
  });
}
