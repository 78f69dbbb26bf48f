// Editing on the real windows: (a) one move of a right-button selection drag, against a plain
// fill of the bytes of the block it repaints; (b) the tile editor's write-back after a pen
// stroke (undo entry, encode, arranger, page refresh), against the page refresh alone.
#if VARNOCK_BENCH_UI

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <chrono>
#include <cstring>
#include <vector>

#include "bench_windows.h"
#include "document/child_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

TChildForm* OpenLargeGrid() {
  return bench::OpenLargeGrid("varnock_edit_bench.smc", 777);
}

void Close(TChildForm* child) {
  child->Doc.Modified = false;
  child->close();
  QApplication::processEvents();
}

void BM_SelectionMove64x64Zoom4(benchmark::State& state) {
  bench::EnsureApplication();
  TChildForm* child = OpenLargeGrid();
  if (!child) {
    state.SkipWithError("could not lay out the grid");
    return;
  }
  // A 16 x 16-tile selection whose corner moves one tile out and back: each move repaints
  // the 17 x 17-tile block covering both.
  child->FormMouseDown(Qt::RightButton, Qt::NoModifier, 1, 1);
  child->FormMouseMove(Qt::RightButton, Qt::NoModifier, 15 * 32 + 1, 15 * 32 + 1);
  constexpr int kMoves = 200;
  double moveSeconds = 0;
  int64_t moves = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    for (int i = 0; i < kMoves; ++i) {
      const int corner = (i % 2 == 0 ? 16 : 15) * 32 + 1;
      child->FormMouseMove(Qt::RightButton, Qt::NoModifier, corner, corner);
    }
    moveSeconds += Seconds(start);
    moves += kMoves;
    benchmark::DoNotOptimize(child->ViewBitmap.constBits());
    state.PauseTiming();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  child->FormMouseUp(Qt::RightButton, Qt::NoModifier, 0, 0);

  // The anchor: filling the bytes of the repainted block once.
  QImage& buffer = child->ViewBitmap;
  const int side = 17 * 32;
  const auto start = Clock::now();
  for (int i = 0; i < kMoves; ++i) {
    for (int y = 0; y < side; ++y) std::memset(buffer.scanLine(y), i & 0xFF, side * 4);
    benchmark::ClobberMemory();
  }
  const double fill = Seconds(start) / kMoves;
  const double perMove = moves ? moveSeconds / static_cast<double>(moves) : 0;
  state.counters["us_per_move"] = perMove * 1e6;
  state.counters["us_memset_union"] = fill * 1e6;
  state.counters["move_over_memset"] = fill > 0 ? perMove / fill : 0;
  Close(child);
}

void BM_PenRelease64x64Zoom4(benchmark::State& state) {
  bench::EnsureApplication();
  TChildForm* child = OpenLargeGrid();
  if (!child) {
    state.SkipWithError("could not lay out the grid");
    return;
  }
  child->PickTile(10, 10);
  if (!EditForm->BoundTile) {
    state.SkipWithError("nothing picked");
    return;
  }
  constexpr int kReleases = 20;
  double writeSeconds = 0;
  double refreshSeconds = 0;
  int64_t rounds = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    for (int i = 0; i < kReleases; ++i) {
      EditForm->EditSurface.Pixels[i % 64] ^= 1;
      EditForm->WriteBackTile();
    }
    writeSeconds += Seconds(start);
    start = Clock::now();
    for (int i = 0; i < kReleases; ++i) child->RedrawPage();
    refreshSeconds += Seconds(start);
    rounds += kReleases;
    benchmark::DoNotOptimize(child->ViewBitmap.constBits());
    state.PauseTiming();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  const double perWrite = rounds ? writeSeconds / static_cast<double>(rounds) : 0;
  const double perRefresh = rounds ? refreshSeconds / static_cast<double>(rounds) : 0;
  state.counters["us_per_release"] = perWrite * 1e6;
  state.counters["us_page_refresh"] = perRefresh * 1e6;
  state.counters["release_over_refresh"] = perRefresh > 0 ? perWrite / perRefresh : 0;
  Close(child);
}

BENCHMARK(BM_SelectionMove64x64Zoom4)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PenRelease64x64Zoom4)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace varnock

#endif  // VARNOCK_BENCH_UI
