// The tag access layer's speed, each figure next to its floor in the same
// run: reading 10,000 small files against a loop that only opens, reads
// the first 4 KB and the last 128 bytes and closes; rewriting a 20 MB file
// against a durable copy of it.
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

#include "editing/TagAccess.h"
#include "BenchFiles.h"
#include "tags/MPEGaudio.h"

namespace fs = std::filesystem;
using namespace tagmora;
using namespace tagmora::bench;

namespace {

const std::string& LargeFile() {
  static std::string path = [] {
    std::string p = Folder() + "/large.mp3";
    Write(p, test::Tag(3, Frames(1, 3), 1024) + Audio(int(kLargeFile / 417)));
    return p;
  }();
  return path;
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

void WriteID3v2(benchmark::State& state) {
  const std::string& path = LargeFile();
  IDv1Tag v1;
  IDv2Tag v2;
  if (ReadTags(path, v1, v2) != kStatusOK) state.SkipWithError("ReadTags failed");
  int round = 0;
  for (auto _ : state) {
    v2.Title = "Title " + std::to_string(++round);
    if (WriteID3v2Tag(path, v2) != kStatusOK) state.SkipWithError("WriteID3v2Tag failed");
  }
  state.SetBytesProcessed(state.iterations() * kLargeFile);
}

}  // namespace

BENCHMARK(Floor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadTagsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadTagsAndInfo)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DurableCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(WriteID3v2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

int main(int argc, char** argv) {
  LargeFile();
  return RunBenchmarks(argc, argv, [](RatioReporter& reporter) {
    reporter.PrintRatio("ReadTagsOnly", "Floor", 2.0);
    reporter.PrintRatio("ReadTagsAndInfo", "Floor", 4.0);
    reporter.PrintRatio("WriteID3v2", "DurableCopy", 1.3);
  });
}
