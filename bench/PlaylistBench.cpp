// The playlist with 100,000 items: every command should stay well under
// 200 ms so that the window never freezes.

#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Poster.h"
#include "playlist/M3U.h"
#include "playlist/Playlist.h"

namespace {

using tagmora::Playlist;

constexpr int kItems = 100000;

// The benchmark's thread is the user-interface thread.
class InlinePoster : public tagmora::Poster {
 public:
  void Post(std::function<void()> work) override { work(); }
  void PostDelayed(int, std::function<void()> work) override { work(); }
  bool OnUserInterfaceThread() const override { return true; }
};
InlinePoster poster;

const std::vector<std::string>& Paths() {
  static const std::vector<std::string> paths = [] {
    std::mt19937 random(42);
    std::vector<std::string> result;
    for (int i = 0; i < kItems; ++i) {
      int artist = static_cast<int>(random() % 2000);
      result.push_back("/home/user/Music/Artist " + std::to_string(artist) + "/Album " +
                       std::to_string(random() % 12) + "/" + std::to_string(i % 20 + 1) +
                       " - Some Title Of Song " + std::to_string(random() % 100000) + ".mp3");
    }
    return result;
  }();
  return paths;
}

void Fill(Playlist& list) { list.AppendAll(Paths()); }

void BM_AppendOneByOne(benchmark::State& state) {
  for (auto _ : state) {
    Playlist list(poster);
    for (const std::string& path : Paths()) list.Append(path);
    benchmark::DoNotOptimize(list.Count());
  }
}

void BM_AppendAll(benchmark::State& state) {
  for (auto _ : state) {
    Playlist list(poster);
    Fill(list);
    benchmark::DoNotOptimize(list.Count());
  }
}

void BM_Sort(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Playlist list(poster);
    Fill(list);
    list.SetFocus(500);
    state.ResumeTiming();
    list.Sort();
  }
}

void BM_SelectAll(benchmark::State& state) {
  Playlist list(poster);
  Fill(list);
  for (auto _ : state) {
    list.SelectAll();
    benchmark::DoNotOptimize(list.IsSelected(0));
  }
}

void BM_InvertSelection(benchmark::State& state) {
  Playlist list(poster);
  Fill(list);
  for (auto _ : state) list.InvertSelection();
}

void BM_RemoveSelectedHalf(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Playlist list(poster);
    Fill(list);
    for (int i = 0; i < kItems; i += 2) list.SetSelected(i, true);
    state.ResumeTiming();
    list.RemoveSelected();
  }
}

std::string TempList() {
  static const std::string path = "/tmp/tagmora-bench-" + std::to_string(::getpid()) + ".m3u";
  return path;
}

void BM_SaveM3U(benchmark::State& state) {
  Playlist list(poster);
  Fill(list);
  for (auto _ : state) {
    if (tagmora::WriteM3U(TempList(), list) != "OK") state.SkipWithError("write failed");
  }
}

void BM_LoadM3U(benchmark::State& state) {
  {
    Playlist list(poster);
    Fill(list);
    tagmora::WriteM3U(TempList(), list);
  }
  for (auto _ : state) {
    Playlist list(poster);
    if (tagmora::ReadM3U(TempList(), list, true) != "OK") state.SkipWithError("read failed");
    benchmark::DoNotOptimize(list.Count());
  }
  std::remove(TempList().c_str());
}

}  // namespace

BENCHMARK(BM_AppendOneByOne)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvertSelection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveSelectedHalf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveM3U)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadM3U)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  // Sorting follows the user's locale, as in the program.
  std::setlocale(LC_ALL, "");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
