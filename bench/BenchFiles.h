#pragma once
// Pieces the benchmarks share: generated small files of the four tag
// layouts, each benchmark's folder, and a reporter that prints each figure
// next to its floor.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/Poster.h"
#include "editing/TagAccess.h"
#include "jobs/BatchJob.h"
#include "jobs/JobDisk.h"
#include "playlist/Playlist.h"
#include "support/TagBytes.h"

namespace tagmora::bench {

namespace fs = std::filesystem;

inline constexpr int kSmallFiles = 10000;
constexpr int64_t kLargeFile = 20 << 20;

inline std::string Folder() {
  static std::string folder = [] {
    const char* given = std::getenv("TAGMORA_BENCH_DIR");
    std::string base = given ? given : fs::current_path().string();
    std::string pattern = base + "/tagmora-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return folder;
}

inline void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// MPEG 1 Layer III frames at 128 kbit/s and 44.1 kHz: 417 bytes each.
inline std::string Audio(int frames) {
  std::string frame = std::string("\xFF\xFB\x90\x44", 4) + std::string(413, '\0');
  std::string audio;
  for (int i = 0; i < frames; ++i) audio += frame;
  return audio;
}

inline std::string Frames(int i, int major) {
  using test::TextFrame;
  std::string n = std::to_string(i);
  return TextFrame("TIT2", "Title " + n, major) + TextFrame("TPE1", "Artist " + n, major) +
         TextFrame("TALB", "Album", major) + TextFrame("TRCK", std::to_string(i % 20 + 1) + "/20", major) +
         TextFrame(major == 4 ? "TDRC" : "TYER", "2001", major) + TextFrame("TCON", "(17)", major) +
         test::Frame("COMM", std::string("\0eng\0", 5) + "A comment " + n, major) +
         TextFrame("TENC", "LAME", major);
}

// A quarter each: ID3v2.3 (with an ID3v1 record), ID3v2.4, ID3v1 only,
// no tag at all; 20 frames of audio behind. Writes them (again) as new.
inline std::vector<std::string> MakeSmallFiles() {
  std::string dir = Folder() + "/small";
  fs::create_directories(dir);
  std::string audio = Audio(20);
  std::vector<std::string> paths;
  for (int i = 0; i < kSmallFiles; ++i) {
    std::string path = dir + "/" + std::to_string(i) + ".mp3";
    std::string v1 = test::V1Record("Title " + std::to_string(i), "Artist", "Album", "2001", "",
                                    0, i % 20 + 1, 17);
    switch (i % 4) {
      case 0: Write(path, test::Tag(3, Frames(i, 3), 512) + audio + v1); break;
      case 1: Write(path, test::Tag(4, Frames(i, 4), 1024) + audio); break;
      case 2: Write(path, audio + v1); break;
      default: Write(path, audio); break;
    }
    paths.push_back(path);
  }
  return paths;
}

inline const std::vector<std::string>& SmallFiles() {
  static std::vector<std::string> files = MakeSmallFiles();
  return files;
}

// The figures as measured, kept for the ratios after the run; a figure
// measured in repetitions counts with its median.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      if (run.error_occurred) continue;
      if (run.run_type == Run::RT_Iteration ||
          (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"))
        seconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
  }
  // The real time of one run of a benchmark; 0 when it did not run.
  double Seconds(const std::string& name) const {
    auto it = seconds_.find(name);
    return it == seconds_.end() ? 0 : it->second;
  }
  // A target of 0 prints the ratio alone.
  void PrintRatio(const char* what, const char* floor, double target) {
    if (!seconds_.count(what) || !seconds_.count(floor)) return;
    double ratio = seconds_[what] / seconds_[floor];
    std::printf("%-18s / %-14s = %5.2f", what, floor, ratio);
    if (target > 0)
      std::printf("  (target at most %.2f: %s)", target, ratio <= target ? "met" : "MISSED");
    std::printf("\n");
  }

 private:
  std::map<std::string, double> seconds_;
};

// A job's run as tagmora-cli starts one, quietly: the playlist follows the
// renamed entries; errors go to standard error and are counted.
struct QuietPoster : Poster {
  void Post(std::function<void()> work) override { work(); }
  void PostDelayed(int, std::function<void()> work) override { work(); }
  bool OnUserInterfaceThread() const override { return true; }
};

struct QuietReports : JobReports {
  explicit QuietReports(Playlist& list) : playlist(list) {}
  void ErrorAdded(const std::string& message, const std::string& path) override {
    std::fprintf(stderr, "%s %s\n", message.c_str(), path.c_str());
    ++errors;
  }
  void EntrySelected(int) override {}
  void EntryReplaced(int index, const std::string& text) override { playlist.SetItem(index, text); }
  void Progress(const JobProgress&) override {}
  void Summary(const std::string&, int) override {}
  void Finished(const JobOutcome&) override {}
  Playlist& playlist;
  std::atomic<int> errors{0};
};

// With journal, each change is recorded in an undo journal first, as the
// window and tagmora-cli record them.
inline void RunJob(benchmark::State& state, BatchJob& job, std::vector<std::string> paths,
                   bool journal = true) {
  QuietPoster poster;
  Playlist playlist(poster);
  playlist.AppendAll(std::move(paths));
  std::atomic<int32_t> cancel{0}, stopTimer{0};
  QuietReports reports(playlist);
  RealDisk disk(reports, journal ? std::make_unique<UndoJournal>("bench") : nullptr);
  JobRunner runner(cancel, stopTimer);
  runner.Start(job, playlist, reports, disk);
  runner.Wait();
  if (reports.errors) state.SkipWithError("the run had errors");
}

// Reads every file once, so every timing finds them in the page cache.
inline void WarmUp(const std::vector<std::string>& paths) {
  for (const auto& path : paths) {
    IDv1Tag v1;
    IDv2Tag v2;
    ReadTags(path, v1, v2);
  }
}

// Makes the files (the small files unless prepare makes others) and warms
// them; runs the benchmarks; prints the ratios that ratios asks the
// reporter for; removes the files.
template <typename Ratios, typename Prepare = void (*)()>
int RunBenchmarks(int argc, char** argv, Ratios ratios,
                  Prepare prepare = [] { WarmUp(SmallFiles()); }) {
  benchmark::Initialize(&argc, argv);
  // The undo journals of the runs stay with the files, not in the user's state.
  ::setenv("XDG_STATE_HOME", (Folder() + "/state").c_str(), 1);
  prepare();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n");
  ratios(reporter);
  std::error_code ec;
  fs::remove_all(Folder(), ec);
  benchmark::Shutdown();
  return 0;
}

}  // namespace tagmora::bench
