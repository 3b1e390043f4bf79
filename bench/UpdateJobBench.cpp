// The update job over 10,000 small files in the page cache, next to
// ReadTags alone in the same run: the ID3v1 pass with a template that
// changes nothing, the ID3v1 pass changing every file, and the ID3v2 pass
// changing every file of 500 next to WriteID3v2Tag alone on the same files.

#include "BenchFiles.h"
#include "editing/TagAccess.h"
#include "jobs/UnitThreadUpdate.h"
#include "playlist/Playlist.h"

using namespace tagmora;
using namespace tagmora::bench;

namespace {

constexpr int kRewrites = 500;

// One run of the update job, as the window or tagmora-cli starts it.
void RunUpdate(benchmark::State& state, const UpdateOptions& options, int files) {
  TThreadUpdate job(options);
  RunJob(state, job, {SmallFiles().begin(), SmallFiles().begin() + files});
}

UpdateOptions Title(const std::string& pattern, bool v1, bool v2) {
  UpdateOptions options;
  options.templates[kFieldTitle] = pattern;
  options.replaceV1 = v1;
  options.replaceV2 = v2;
  return options;
}

void ReadTagsOnly(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& path : SmallFiles()) {
      IDv1Tag v1;
      IDv2Tag v2;
      if (ReadTags(path, v1, v2) != kStatusOK) state.SkipWithError("ReadTags failed");
      benchmark::DoNotOptimize(v2.Title.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * kSmallFiles);
}

void UpdateV1Unchanged(benchmark::State& state) {
  for (auto _ : state) RunUpdate(state, Title("%title%", true, false), kSmallFiles);
  state.SetItemsProcessed(state.iterations() * kSmallFiles);
}

void UpdateV1Changing(benchmark::State& state) {
  int round = 0;
  for (auto _ : state)
    RunUpdate(state, Title("Round " + std::to_string(++round), true, false), kSmallFiles);
  state.SetItemsProcessed(state.iterations() * kSmallFiles);
}

void WriteID3v2Only(benchmark::State& state) {
  int round = 0;
  for (auto _ : state) {
    ++round;
    for (int i = 0; i < kRewrites; ++i) {
      const std::string& path = SmallFiles()[size_t(i)];
      IDv1Tag v1;
      IDv2Tag v2;
      ReadTags(path, v1, v2);
      v2.Exists = true;
      v2.Title = "Alone " + std::to_string(round);
      if (WriteID3v2Tag(path, v2) != kStatusOK) state.SkipWithError("WriteID3v2Tag failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * kRewrites);
}

void UpdateV2Changing(benchmark::State& state) {
  int round = 0;
  for (auto _ : state)
    RunUpdate(state, Title("Job " + std::to_string(++round), false, true), kRewrites);
  state.SetItemsProcessed(state.iterations() * kRewrites);
}

}  // namespace

BENCHMARK(ReadTagsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UpdateV1Unchanged)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(UpdateV1Changing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WriteID3v2Only)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(UpdateV2Changing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv, [](RatioReporter& reporter) {
    // Rates: the unchanged pass at least 0.8 times ReadTags' rate, so its
    // time at most 1.25 times.
    reporter.PrintRatio("UpdateV1Unchanged", "ReadTagsOnly", 1.25);
    reporter.PrintRatio("UpdateV1Changing", "ReadTagsOnly", 0);
    reporter.PrintRatio("UpdateV2Changing", "WriteID3v2Only", 0);
  });
}
