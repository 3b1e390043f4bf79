// The playlist's list view with 100,000 items, offscreen: what the window
// adds to each playlist command (the model's notification, the view's
// selection kept in step, a repaint). Each should stay well under 200 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "playlist/Playlist.h"
#include "ui/PlaylistListModel.h"
#include "ui/QtPoster.h"

namespace {

using tagmora::Playlist;
using tagmora::PlaylistListModel;
using tagmora::PlaylistView;
using tagmora::QtPoster;

constexpr int kItems = 100000;

const std::vector<std::string>& Paths() {
  static const std::vector<std::string> paths = [] {
    std::mt19937 random(7);
    std::vector<std::string> result;
    for (int i = 0; i < kItems; ++i)
      result.push_back("/home/user/Music/Artist " + std::to_string(random() % 2000) + "/Album " +
                       std::to_string(random() % 12) + "/" + std::to_string(i % 20 + 1) +
                       " - Song " + std::to_string(random() % 100000) + ".mp3");
    return result;
  }();
  return paths;
}

// A shown list view over a playlist, as in the main window.
struct Window {
  QtPoster poster;
  Playlist playlist{poster};
  PlaylistView view;
  PlaylistListModel model{playlist};

  Window() {
    model.Attach(&view);
    view.resize(780, 220);
    view.show();
    QApplication::processEvents();
  }
  void Fill() {
    playlist.AppendAll(Paths());
    Settle();
  }
  // Runs what the change posted and paints the view once.
  void Settle() {
    QApplication::processEvents();
    view.viewport()->repaint();
  }
};

void BM_ViewAppend(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<Window>();
    state.ResumeTiming();
    window->Fill();
    benchmark::DoNotOptimize(window->view.model()->rowCount());
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}

void BM_ViewSelectAllByKey(benchmark::State& state) {
  Window window;
  window.Fill();
  for (auto _ : state) {
    window.view.selectAll();  // Ctrl+A: the view tells the playlist
    window.Settle();
    state.PauseTiming();
    window.playlist.SelectNone();
    window.Settle();
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(window.playlist.SelectedCount());
}

void BM_ViewInvertSelection(benchmark::State& state) {
  Window window;
  window.Fill();
  for (int i = 0; i < kItems; i += 2) window.playlist.SetSelected(i, true);
  window.Settle();
  for (auto _ : state) {
    window.playlist.InvertSelection();  // every other row: 50,000 ranges
    window.Settle();
  }
}

void BM_ViewRemoveSelected(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Window window;
    window.Fill();
    for (int i = 0; i < kItems; i += 2) window.playlist.SetSelected(i, true);
    window.Settle();
    state.ResumeTiming();
    window.playlist.RemoveSelected();
    window.Settle();
  }
}

void BM_ViewSort(benchmark::State& state) {
  Window window;
  window.Fill();
  window.playlist.SetFocus(500);
  for (auto _ : state) {
    window.playlist.Sort();
    window.Settle();
  }
}

// A batch job marks 1,000 failed files one by one from its thread.
void BM_ViewJobMarksFailedFiles(benchmark::State& state) {
  Window window;
  window.Fill();
  for (auto _ : state) {
    for (int i = 0; i < kItems; i += 100) window.playlist.SetSelected(i, true);
    window.Settle();
    state.PauseTiming();
    window.playlist.SelectNone();
    window.Settle();
    state.ResumeTiming();
  }
}

void BM_ViewScrollToEnd(benchmark::State& state) {
  Window window;
  window.Fill();
  for (auto _ : state) {
    window.view.scrollToBottom();
    window.Settle();
    window.view.scrollToTop();
    window.Settle();
  }
}

}  // namespace

BENCHMARK(BM_ViewAppend)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ViewSelectAllByKey)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ViewInvertSelection)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ViewRemoveSelected)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ViewSort)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ViewJobMarksFailedFiles)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ViewScrollToEnd)->Unit(benchmark::kMillisecond)->Iterations(10);
