// The rename and move jobs over 10,000 files in a tree of 100 folders,
// each figure next to its two floors in the same run: ReadTags alone over
// the same files, and a plain rename(2) loop over them. A job does both
// for every file; it meets its target when it runs at least 0.7 times as
// fast as the slower floor.
//
// TAGMORA_BENCH_DIR names the folder for the files (default: a new folder
// in the current one).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/Poster.h"
#include "editing/TagAccess.h"
#include "jobs/UnitThreadMove.h"
#include "jobs/UnitThreadRename.h"
#include "playlist/Playlist.h"
#include "support/TagBytes.h"

namespace fs = std::filesystem;
using namespace tagmora;

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;

std::string Folder() {
  static std::string folder = [] {
    const char* given = std::getenv("TAGMORA_BENCH_DIR");
    std::string base = given ? given : fs::current_path().string();
    std::string pattern = base + "/tagmora-jobs-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return folder;
}

struct Files {
  std::vector<std::string> paths;    // where each file was made
  std::vector<std::string> renamed;  // its name after the rename job
};

// Files with an ID3v2.3 tag (artist, title, album, genre) and four frames
// of audio; an artist per folder.
const Files& TheFiles() {
  static Files files = [] {
    Files made;
    const std::string frame = std::string("\xFF\xFB\x90\x44", 4) + std::string(413, '\0');
    const std::string audio = frame + frame + frame + frame;
    for (int folder = 0; folder < kFolders; ++folder) {
      const std::string artist = "Artist " + std::to_string(folder);
      const std::string dir = Folder() + "/in/" + std::to_string(folder);
      fs::create_directories(dir);
      for (int i = 0; i < kFilesPerFolder; ++i) {
        const std::string title = "Title " + std::to_string(i);
        const std::string frames =
            test::TextFrame("TPE1", artist) + test::TextFrame("TIT2", title) +
            test::TextFrame("TALB", "Album") + test::TextFrame("TCON", "House");
        const std::string path = dir + "/" + std::to_string(i) + ".mp3";
        std::ofstream(path, std::ios::binary) << test::Tag(3, frames, 256) << audio;
        made.paths.push_back(path);
        made.renamed.push_back(dir + "/" + artist + " - " + title + ".mp3");
      }
    }
    return made;
  }();
  return files;
}

// A headless run, as tagmora-cli does one.
struct Headless : Poster, JobReports {
  void Post(std::function<void()> work) override { work(); }
  void PostDelayed(int, std::function<void()> work) override { work(); }
  bool OnUserInterfaceThread() const override { return true; }
  void ErrorAdded(const std::string&, const std::string&) override { ++errors; }
  void EntrySelected(int) override {}
  void EntryReplaced(int index, const std::string& text) override {
    playlist->SetItem(index, text);
  }
  void Progress(const JobProgress&) override {}
  void Summary(const std::string&, int) override {}
  void Finished(const JobOutcome&) override {}
  Playlist* playlist = nullptr;
  int errors = 0;
};

void Run(benchmark::State& state, BatchJob& job, const std::vector<std::string>& paths) {
  Headless headless;
  Playlist playlist(headless);
  headless.playlist = &playlist;
  playlist.AppendAll(paths);
  std::atomic<int32_t> cancel{0}, stopTimer{0};
  JobRunner runner(cancel, stopTimer);
  runner.Start(job, playlist, headless);
  runner.Wait();
  if (headless.errors) state.SkipWithError("the job recorded errors");
}

// Puts every file back where it was made.
void PutBack(const std::vector<std::string>& from) {
  const auto& made = TheFiles().paths;
  for (size_t i = 0; i < made.size(); ++i)
    if (::rename(from[i].c_str(), made[i].c_str()) != 0) std::abort();
}

void ReadTagsAlone(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& path : TheFiles().paths) {
      IDv1Tag v1;
      IDv2Tag v2;
      if (ReadTags(path, v1, v2) != kStatusOK) state.SkipWithError("ReadTags failed");
      benchmark::DoNotOptimize(v2.Artist.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * int64_t(TheFiles().paths.size()));
}

void RenameLoop(benchmark::State& state) {
  const Files& files = TheFiles();
  for (auto _ : state) {
    for (size_t i = 0; i < files.paths.size(); ++i)
      if (::rename(files.paths[i].c_str(), files.renamed[i].c_str()) != 0)
        state.SkipWithError("rename failed");
    state.PauseTiming();
    PutBack(files.renamed);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(files.paths.size()));
}

void RenameJob(benchmark::State& state) {
  const Files& files = TheFiles();
  for (auto _ : state) {
    TThreadRename job(RenameOptions{});
    Run(state, job, files.paths);
    state.PauseTiming();
    PutBack(files.renamed);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(files.paths.size()));
}

void MoveJob(benchmark::State& state) {
  const Files& files = TheFiles();
  const std::string base = Folder() + "/by-artist/";
  std::vector<std::string> moved;
  for (size_t i = 0; i < files.paths.size(); ++i)
    moved.push_back(base + "Artist " + std::to_string(i / kFilesPerFolder) + "/" +
                    std::to_string(i % kFilesPerFolder) + ".mp3");
  fs::create_directories(base);
  for (auto _ : state) {
    TThreadMove job(MoveOptions{FolderBy::Artist, base, false, false});
    Run(state, job, files.paths);
    state.PauseTiming();
    PutBack(moved);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(files.paths.size()));
}

// The figures as measured, kept for the ratios after the run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        seconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  // The job's speed over the slower floor's: files per second, the same
  // files in every run.
  void PrintRatio(const char* job, double target) {
    const char* floors[] = {"ReadTagsAlone", "RenameLoop"};
    if (!seconds_.count(job) || !seconds_.count(floors[0]) || !seconds_.count(floors[1])) return;
    const char* slower = seconds_[floors[0]] > seconds_[floors[1]] ? floors[0] : floors[1];
    const double ratio = seconds_[slower] / seconds_[job];
    std::printf("%-10s speed / %-13s speed = %4.2f  (target at least %.1f: %s)\n", job, slower,
                ratio, target, ratio >= target ? "met" : "MISSED");
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

BENCHMARK(ReadTagsAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RenameLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RenameJob)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MoveJob)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Make the files and bring them into the page cache before any timing.
  for (const std::string& path : TheFiles().paths) {
    IDv1Tag v1;
    IDv2Tag v2;
    ReadTags(path, v1, v2);
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  reporter.PrintRatio("RenameJob", 0.7);
  reporter.PrintRatio("MoveJob", 0.7);
  std::error_code ec;
  fs::remove_all(Folder(), ec);
  benchmark::Shutdown();
  return 0;
}
