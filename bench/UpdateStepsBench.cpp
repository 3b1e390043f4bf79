// The cost of the multi-tagger's three processing steps: the update job's
// ID3v1 pass over 10,000 files with auto-complete, six case conversions
// and the nine default rules, next to the same pass with none of them.
// The tags already hold what the steps would make, so neither run writes:
// the figures compare the steps with the reading and testing alone. Each
// figure is the process's CPU time for the pass (the kernel's reading
// included), which other work on a shared machine disturbs far less than
// the clock on the wall.

#include <benchmark/benchmark.h>

#include <time.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "jobs/SearchReplace.h"
#include "jobs/UnitThreadUpdate.h"
#include "playlist/Playlist.h"

using namespace tagmora;
using namespace tagmora::bench;

namespace {

constexpr int kFiles = 10000;

// Half the files carry an ID3v2 tag before the audio; all an ID3v1 record.
const std::vector<std::string>& Files() {
  static std::vector<std::string> files = [] {
    std::string dir = Folder() + "/steps";
    std::filesystem::create_directories(dir);
    const std::string audio = Audio(20);
    const std::string v2 = test::Tag(3, test::TextFrame("TIT2", "Title", 3), 256);
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
      const std::string n = std::to_string(i);
      std::string path = dir + "/Artist " + n + " - Title " + n + ".mp3";
      std::string v1 = test::V1Record("Title " + n, "ARTIST " + n, "album", "2001",
                                      "A comment", 0, i % 20 + 1, 17);
      Write(path, (i % 2 ? v2 : "") + audio + v1);
      paths.push_back(path);
    }
    return paths;
  }();
  return files;
}

void Pass(benchmark::State& state, const UpdateOptions& options) {
  QuietPoster poster;
  Playlist playlist(poster);
  playlist.AppendAll(Files());
  std::atomic<int32_t> cancel{0}, timer{0};
  JobRunner runner(cancel, timer);
  for (auto _ : state) {
    TThreadUpdate job(options);
    QuietReports reports(playlist);
    timespec begin, end;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &begin);
    runner.Start(job, playlist, reports);
    runner.Wait();
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    state.SetIterationTime(double(end.tv_sec - begin.tv_sec) +
                           double(end.tv_nsec - begin.tv_nsec) * 1e-9);
    // A write or an error would measure something else than the steps.
    if (reports.errors || job.Counters()[0].second)
      state.SkipWithError("the pass wrote or reported");
  }
  state.SetItemsProcessed(state.iterations() * int64_t(Files().size()));
}

void PassWithoutSteps(benchmark::State& state) { Pass(state, UpdateOptions{}); }

void PassWithSteps(benchmark::State& state) {
  UpdateOptions options;
  AutoCompleteOptions& complete = options.autoComplete;
  complete.enabled = complete.getTitle = complete.getArtist = true;
  options.stringFormat.enabled = true;
  options.stringFormat.formats = {CaseFormat::EachWord, CaseFormat::Upper, CaseFormat::Lower,
                                  CaseFormat::FirstLetter, CaseFormat::Lower, CaseFormat::Upper};
  options.searchReplace = true;
  options.rules = DefaultRules();
  for (SearchReplaceRule& rule : options.rules) rule.checked = true;
  Pass(state, options);
}

}  // namespace

// Medians of nine, the two passes' repetitions interleaved, so that a
// change of load on the machine weighs on both alike.
BENCHMARK(PassWithoutSteps)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(PassWithSteps)->Unit(benchmark::kMillisecond)->UseManualTime()->Repetitions(9)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  return RunBenchmarks(
      int(args.size()), args.data(),
      [](RatioReporter& reporter) {
        reporter.PrintRatio("PassWithSteps", "PassWithoutSteps", 1.25);
      },
      [] { WarmUp(Files()); });
}
