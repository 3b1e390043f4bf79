// The rename and move jobs over 10,000 files in a tree of 100 folders,
// each figure next to its two floors in the same run: ReadTags alone over
// the same files, and a plain rename(2) loop over them. A job does both
// for every file; it meets its target when it runs at least 0.7 times as
// fast as the slower floor.
//
// TAGMORA_BENCH_DIR names the folder for the files (default: a new folder
// in the current one).

#include "BenchFiles.h"
#include "jobs/UnitThreadMove.h"
#include "jobs/UnitThreadRename.h"

using namespace tagmora;
using namespace tagmora::bench;

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;

struct Files {
  std::vector<std::string> paths;    // where each file was made
  std::vector<std::string> renamed;  // its name after the rename job
};

// Files with an ID3v2.3 tag (artist, title, album, genre) and four frames
// of audio; an artist per folder.
const Files& TheFiles() {
  static Files files = [] {
    Files made;
    const std::string audio = Audio(4);
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
        Write(path, test::Tag(3, frames, 256) + audio);
        made.paths.push_back(path);
        made.renamed.push_back(dir + "/" + artist + " - " + title + ".mp3");
      }
    }
    return made;
  }();
  return files;
}

// Times each run of a pass that takes every file to where; between two
// runs, and outside the time, every file goes back where it was made.
template <typename Pass>
void EveryFileTo(benchmark::State& state, const std::vector<std::string>& where, Pass pass) {
  const auto& made = TheFiles().paths;
  for (auto _ : state) {
    pass();
    state.PauseTiming();
    for (size_t i = 0; i < made.size(); ++i)
      if (::rename(where[i].c_str(), made[i].c_str()) != 0) std::abort();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(made.size()));
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
  EveryFileTo(state, files.renamed, [&] {
    for (size_t i = 0; i < files.paths.size(); ++i)
      if (::rename(files.paths[i].c_str(), files.renamed[i].c_str()) != 0)
        state.SkipWithError("rename failed");
  });
}

void RenameJob(benchmark::State& state) {
  const Files& files = TheFiles();
  EveryFileTo(state, files.renamed, [&] {
    TThreadRename job(RenameOptions{});
    RunJob(state, job, files.paths);
  });
}

void MoveJob(benchmark::State& state) {
  const Files& files = TheFiles();
  const std::string base = Folder() + "/by-artist/";
  std::vector<std::string> moved;
  for (size_t i = 0; i < files.paths.size(); ++i)
    moved.push_back(base + "Artist " + std::to_string(i / kFilesPerFolder) + "/" +
                    std::to_string(i % kFilesPerFolder) + ".mp3");
  fs::create_directories(base);
  EveryFileTo(state, moved, [&] {
    TThreadMove job(MoveOptions{FolderBy::Artist, base, false, false});
    RunJob(state, job, files.paths);
  });
}

}  // namespace

BENCHMARK(ReadTagsAlone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RenameLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RenameJob)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MoveJob)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  return RunBenchmarks(
      argc, argv,
      [](RatioReporter& reporter) {
        // A job reads and renames every file: at least 0.7 times the rate
        // of the slower of the two alone, so its time at most 1/0.7 times.
        const char* slower = reporter.Seconds("ReadTagsAlone") > reporter.Seconds("RenameLoop")
                                 ? "ReadTagsAlone"
                                 : "RenameLoop";
        for (const char* job : {"RenameJob", "MoveJob"}) reporter.PrintRatio(job, slower, 1 / 0.7);
      },
      [] { WarmUp(TheFiles().paths); });
}
