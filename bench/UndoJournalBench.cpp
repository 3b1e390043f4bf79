// The update job's ID3v2 pass over 10,000 small files with and without the
// undo journal, and the undo of that pass. The files are taken first as
// generated, where the half without an ID3v2 tag is rewritten whole, then
// once every tag fits in place; the journal's runs and the plain ones take
// turns, so that neither finds the disk busier. The journal meets its
// target when it costs at most 20%.

#include <unistd.h>

#include "BenchFiles.h"
#include "jobs/UnitThreadUndo.h"
#include "jobs/UnitThreadUpdate.h"

using namespace tagmora;
using namespace tagmora::bench;

namespace {

int round = 0;

void Update(benchmark::State& state, bool journal) {
  UpdateOptions options;
  options.templates[kFieldTitle] = "Round " + std::to_string(++round);
  options.replaceV1 = false;
  options.replaceV2 = true;
  TThreadUpdate job(options);
  RunJob(state, job, SmallFiles(), journal);
}

// The newest job's undo, as tagmora-cli undo runs it.
void UndoNewest(benchmark::State& state) {
  const std::vector<UndoJob> jobs = ListUndoJobs();
  const UndoJob* last = LastJobToUndo(jobs);
  UndoSession session;
  UndoJob job;
  if (!last || !session.Open(last->folder, job)) return state.SkipWithError("no journal");
  const std::vector<UndoEntry> entries = EntriesToTakeBack(job);
  std::vector<std::string> items;
  for (const UndoEntry& entry : entries) items.push_back(UndoItem(entry));
  TThreadUndo undo(entries, &session);
  RunJob(state, undo, items, false);
}

// Files as generated, written to disk outside the time.
void Fresh(benchmark::State& state) {
  state.PauseTiming();
  MakeSmallFiles();
  ::sync();
  state.ResumeTiming();
}

void FirstPassPlain(benchmark::State& state) {
  for (auto _ : state) {
    Fresh(state);
    Update(state, false);
  }
  state.SetItemsProcessed(state.iterations() * kSmallFiles);
}

void FirstPassJournal(benchmark::State& state) {
  for (auto _ : state) {
    Fresh(state);
    Update(state, true);
  }
  state.SetItemsProcessed(state.iterations() * kSmallFiles);
}

void InPlacePlain(benchmark::State& state) {
  for (auto _ : state) Update(state, false);
  state.SetItemsProcessed(state.iterations() * kSmallFiles);
}

void InPlaceJournal(benchmark::State& state) {
  for (auto _ : state) Update(state, true);
  state.SetItemsProcessed(state.iterations() * kSmallFiles);
}

// Files per second taken back, of a pass in place.
void UndoInPlace(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Update(state, true);
    state.ResumeTiming();
    UndoNewest(state);
  }
  state.SetItemsProcessed(state.iterations() * kSmallFiles);
}

}  // namespace

// Taking turns: each pair runs once, then again.
BENCHMARK(FirstPassPlain)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(FirstPassJournal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(InPlacePlain)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(InPlaceJournal)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(UndoInPlace)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

int main(int argc, char** argv) {
  return RunBenchmarks(argc, argv, [](RatioReporter& reporter) {
    reporter.PrintRatio("FirstPassJournal", "FirstPassPlain", 1.2);
    reporter.PrintRatio("InPlaceJournal", "InPlacePlain", 1.2);
  });
}
