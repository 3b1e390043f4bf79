#pragma once
// What the file benchmarks share: their folder, small MP3 files made of
// bytes, and a reporter that prints each figure's ratio to its floor.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace tagmora::bench {

// TAGMORA_BENCH_DIR names the folder for the files (default: a new folder
// in the current one), so that writes meet a real disk.
inline std::string Folder() {
  static std::string folder = [] {
    const char* given = std::getenv("TAGMORA_BENCH_DIR");
    std::string base = given ? given : std::filesystem::current_path().string();
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
  void PrintRatio(const char* what, const char* floor, double target) {
    if (!seconds_.count(what) || !seconds_.count(floor)) return;
    double ratio = seconds_[what] / seconds_[floor];
    std::printf("%-16s / %-12s = %5.2f  (target at most %.2f: %s)\n", what, floor, ratio,
                target, ratio <= target ? "met" : "MISSED");
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace tagmora::bench
