// How the main window answers while the update job rewrites the title of
// 10,000 small files: the real window, offscreen, with a 10 ms timer on the
// user-interface thread that notes the longest wait between two of its
// ticks (target: 50 ms at most), from the click on "Update All Tags" to the
// "Finish" caption. In the second case every tenth entry is a missing file,
// so that the error list and the playlist's selection hear of a thousand
// failures while the run goes on. Each worst gap is told apart into the
// time the thread ran and the time it waited for a processor, since on a
// busy machine the second can outweigh everything the window does.
//
// scripts/bench.sh builds no views; build this with -DTAGMORA_BENCH=ON in
// Release mode. TAGMORA_BENCH_DIR names the folder for the files (default: the system's
// temporary folder).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindowModel.h"
#include "app/UserInteraction.h"
#include "jobs/BatchJob.h"
#include "playlist/Playlist.h"
#include "ui/MainWindow.h"
#include "ui/QtPoster.h"

namespace fs = std::filesystem;
using namespace tagmora;

namespace {

constexpr int kFiles = 10000;
constexpr int kTickMs = 10;

// Agrees to every question; the boxes are not drawn.
class AgreeingUser : public UserInteraction {
 public:
  MessageAnswer Show(const MessageBox& box) override {
    return box.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
  }
  std::vector<std::string> OpenFiles(const FileDialog&) override { return {}; }
  std::optional<std::string> SaveFile(const FileDialog&) override { return std::nullopt; }
  void OpenWithShell(const std::string&) override {}
  void Beep() override {}
};

// A folder of kFiles copies of one MPEG file of four silent frames with an
// ID3v1 record; removed when the program ends.
class Files {
 public:
  Files() {
    const char* given = std::getenv("TAGMORA_BENCH_DIR");
    std::string pattern =
        (given ? fs::path(given) : fs::temp_directory_path()).string() + "/tagmora-window-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    const std::string frame = std::string("\xFF\xFB\x90\x44", 4) + std::string(413, '\0');
    std::string record(128, '\0');
    record.replace(0, 8, "TAGTitle");
    const fs::path first = folder_ / "0.mp3";
    std::ofstream(first, std::ios::binary) << frame << frame << frame << frame << record;
    paths_.push_back(first.string());
    for (int i = 1; i < kFiles; ++i) {
      const fs::path copy = folder_ / (std::to_string(i) + ".mp3");
      fs::copy_file(first, copy);
      paths_.push_back(copy.string());
    }
  }
  ~Files() { fs::remove_all(folder_); }
  const std::vector<std::string>& Paths() const { return paths_; }
  std::string Settings() const { return (folder_ / "settings").string(); }

 private:
  fs::path folder_;
  std::vector<std::string> paths_;
};

const Files& TheFiles() {
  static const Files files;
  return files;
}

// Where the user-interface thread's time went, as the scheduler counts it:
// running, and ready to run but waiting for a processor. A long gap that
// the thread spent waiting was the machine's load, not the window's work.
struct ThreadTimes {
  double runMs = 0;
  double queuedMs = 0;
  ThreadTimes operator-(const ThreadTimes& o) const {
    return {runMs - o.runMs, queuedMs - o.queuedMs};
  }
};

ThreadTimes Times() {
  std::ifstream stat("/proc/thread-self/schedstat");
  double run = 0, queued = 0;
  stat >> run >> queued;
  return {run / 1e6, queued / 1e6};
}

struct Run {
  bool complete = false;  // every file walked, every missing one reported
  int64_t worstGapMs = 0;
  ThreadTimes worstGap;      // of the worst gap
  double longestWorkMs = 0;  // the most the thread ran between two ticks
  int64_t durationMs = 0;
};

// One run in a fresh window; missingEvery > 0 replaces every such entry
// by a path that does not exist.
Run UpdateInWindow(int missingEvery, int round) {
  std::vector<std::string> entries = TheFiles().Paths();
  if (missingEvery > 0)
    for (size_t i = 0; i < entries.size(); i += size_t(missingEvery)) entries[i] += ".gone";
  // No settings or playlist of an earlier round.
  fs::remove_all(TheFiles().Settings());
  fs::create_directories(TheFiles().Settings());

  QtPoster poster;
  AgreeingUser user;
  MainWindowModel model(user, poster, TheFiles().Settings(), TheFiles().Settings());
  MainWindow window(model);
  window.show();
  while (!model.Started()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  model.PlayList().AppendAll(entries);
  ControlSet& controls = model.Controls();
  controls["CheckBoxTitleAll"].SetChecked(true);
  // A new title each round, so that every file is written.
  controls["EditTitleAll"].SetText("Round " + std::to_string(round));
  QApplication::processEvents();

  Run run;
  QEventLoop loop;
  QElapsedTimer clock;
  QTimer ticks;
  ticks.setTimerType(Qt::PreciseTimer);
  ticks.setInterval(kTickMs);
  int64_t last = 0;
  ThreadTimes lastTimes = Times();
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    const int64_t now = clock.elapsed();
    const ThreadTimes times = Times();
    const ThreadTimes gap = times - lastTimes;
    if (now - last > run.worstGapMs) {
      run.worstGapMs = now - last;
      run.worstGap = gap;
    }
    run.longestWorkMs = std::max(run.longestWorkMs, gap.runMs);
    last = now;
    lastTimes = times;
    if (controls["ButtonStopUpdate"].Caption() == "Finish") loop.quit();
  });
  // The click itself is work of the user-interface thread and counts.
  QTimer::singleShot(0, [&] { controls["ButtonUpdateAllTags"].Click(); });
  clock.start();
  ticks.start();
  loop.exec();
  run.durationMs = clock.elapsed();
  const int missing = missingEvery > 0 ? (kFiles + missingEvery - 1) / missingEvery : 0;
  run.complete = controls["LabelSaveFiles"].Caption() == FileCounterText(kFiles, kFiles) &&
                 controls["LabelUpdateErrors"].Caption() == std::to_string(missing);
  return run;
}

void BM_UpdateRunInWindow(benchmark::State& state) {
  const int missingEvery = int(state.range(0));
  TheFiles();
  Run worst;
  int round = 0;
  for (auto _ : state) {
    const Run run = UpdateInWindow(missingEvery, ++round);
    if (!run.complete) state.SkipWithError("the run did not walk every file");
    if (run.worstGapMs > worst.worstGapMs) {
      worst.worstGapMs = run.worstGapMs;
      worst.worstGap = run.worstGap;
    }
    worst.longestWorkMs = std::max(worst.longestWorkMs, run.longestWorkMs);
    worst.durationMs = std::max(worst.durationMs, run.durationMs);
    state.SetIterationTime(double(run.durationMs) / 1000.0);
  }
  state.counters["worst_gap_ms"] = double(worst.worstGapMs);
  state.counters["gap_ran_ms"] = worst.worstGap.runMs;
  state.counters["gap_queued_ms"] = worst.worstGap.queuedMs;
  state.counters["work_ms"] = worst.longestWorkMs;
  state.counters["run_ms"] = double(worst.durationMs);
  std::printf(
      "%s: worst timer gap %lld ms (target 50 ms; in it the thread ran %.1f ms and waited "
      "%.1f ms for a processor); longest work between two ticks %.1f ms; longest run %lld ms "
      "over %d files\n",
      missingEvery ? "every tenth missing" : "all present",
      static_cast<long long>(worst.worstGapMs), worst.worstGap.runMs, worst.worstGap.queuedMs,
      worst.longestWorkMs, static_cast<long long>(worst.durationMs), kFiles);
}

}  // namespace

BENCHMARK(BM_UpdateRunInWindow)
    ->Arg(0)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
