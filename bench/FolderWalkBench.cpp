// The add-folders walk over a generated tree of 50,000 files (100 artists,
// 10 albums each, 50 files per album, some hidden ones), next to `find`
// listing the same files.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "playlist/FolderWalk.h"

namespace {

namespace fs = std::filesystem;

const std::string& Tree() {
  static const std::string root = [] {
    std::string path = "/tmp/tagmora-walk-" + std::to_string(::getpid());
    for (int artist = 0; artist < 100; ++artist) {
      for (int album = 0; album < 10; ++album) {
        std::string folder = path + "/Artist " + std::to_string(artist) + "/Album " +
                             std::to_string(album);
        fs::create_directories(folder);
        for (int track = 0; track < 50; ++track)
          std::ofstream(folder + "/" + std::to_string(track) + " - Title.mp3");
        std::ofstream(folder + "/cover.jpg");
        std::ofstream(folder + "/.hidden.mp3");
      }
    }
    return path;
  }();
  return root;
}

void BM_CollectFolder(benchmark::State& state) {
  std::atomic<bool> stop{false};
  size_t files = 0;
  for (auto _ : state) files = tagmora::CollectFolder(Tree(), true, stop).paths.size();
  state.counters["files"] = static_cast<double>(files);
}

void BM_CountFolder(benchmark::State& state) {
  std::atomic<bool> stop{false};
  for (auto _ : state) benchmark::DoNotOptimize(tagmora::CountFolder(Tree(), true, stop));
}

void BM_Find(benchmark::State& state) {
  std::string command = "find '" + Tree() + "' -type f -iname '*.mp3' ! -name '.*' > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("find failed");
}

}  // namespace

BENCHMARK(BM_CollectFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Tree();
  benchmark::RunSpecifiedBenchmarks();
  std::error_code error;
  fs::remove_all(Tree(), error);
  return 0;
}
