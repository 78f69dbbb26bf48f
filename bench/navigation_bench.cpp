// Holding a navigation key down: 1,000 consecutive steps of the real ROM window, each
// decoding and composing one page, against a plain fill of the same back buffer; timed in the
// thread's processor time, fills and steps alternating.
#if VARNOCK_BENCH_UI

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "bench_windows.h"
#include "document/child_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {
namespace {

constexpr int kSteps = 1000;

// Seconds of processor time this thread has used: other work on a shared machine does not count
// against the steps or the fills, as it would on a wall clock.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

using bench::EnsureApplication;

// A Genesis image of varied bytes, 4 MB unless said otherwise.
TChildForm* OpenLargeImage(size_t bytes = 4u << 20) {
  return bench::OpenVariedImage("varnock_nav_bench.smd", bytes, 12345);
}

// How the window shows its image before the steps: format and tile arrangement.
struct StepView {
  TileFormat Format = 8;  // the Genesis format the image's extension gives
  TileArrangement Arrangement = kArrangement8x8;
  // Large enough that no step of the run reaches the last page, where the view stops moving.
  size_t ImageBytes = 4u << 20;
};

void KeySteps(benchmark::State& state, int key, int columns, int rows, int zoom,
              StepView view = {}) {
  EnsureApplication();
  TChildForm* child = OpenLargeImage(view.ImageBytes);
  if (!child) {
    state.SkipWithError("could not open the image");
    return;
  }
  if (view.Format != child->Doc.Format) child->ChooseTileFormat(view.Format);
  child->ChooseArrangement(view.Arrangement);
  child->Doc.Columns = columns;
  child->Doc.Rows = rows;
  child->Doc.Zoom = zoom;
  child->LayoutView();
  if (child->Doc.Columns != columns || child->Doc.Rows != rows) {
    state.SkipWithError("the grid did not take");
    return;
  }

  // Every kChunk steps the back buffer is filled kFills times, so each run of steps has its
  // anchor measured under the same load; the median of those ratios is the figure to compare.
  constexpr int kChunk = 50;
  constexpr int kFills = 5;
  QImage& buffer = child->ViewBitmap;
  double stepSeconds = 0, fillSeconds = 0;
  std::vector<double> ratios;
  int64_t steps = 0, fills = 0;
  int64_t decodes = 0;
  for (auto _ : state) {
    child->MoveViewTo(child->Doc.ScrollMinimum);
    const int decodedBefore = child->DecodeCount;
    for (int chunk = 0; chunk < kSteps / kChunk; ++chunk) {
      const double start = ThreadSeconds();
      for (int i = 0; i < kChunk; ++i) child->FormKeyDown(key, Qt::NoModifier);
      const double stepped = ThreadSeconds();
      for (int i = 0; i < kFills; ++i) {
        // The anchor: filling the whole back buffer once, the least any page refresh costs.
        std::memset(buffer.bits(), (chunk + i) & 0xFF, static_cast<size_t>(buffer.sizeInBytes()));
        benchmark::ClobberMemory();
      }
      const double filled = ThreadSeconds();
      stepSeconds += stepped - start;
      fillSeconds += filled - stepped;
      ratios.push_back(((stepped - start) / kChunk) / ((filled - stepped) / kFills));
    }
    steps += kSteps;
    fills += kSteps / kChunk * kFills;
    decodes += child->DecodeCount - decodedBefore;
    benchmark::DoNotOptimize(child->ViewBitmap.constBits());
    state.PauseTiming();
    QApplication::processEvents();  // the repaints the steps asked for, outside the timing
    state.ResumeTiming();
  }

  const double perStep = steps ? stepSeconds / static_cast<double>(steps) : 0;
  const double perFill = fills ? fillSeconds / static_cast<double>(fills) : 0;
  std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
  state.counters["us_per_step"] = perStep * 1e6;
  state.counters["us_memset"] = perFill * 1e6;
  state.counters["step_over_memset"] = ratios.empty() ? 0 : ratios[ratios.size() / 2];
  state.counters["decodes_per_step"] =
      steps ? static_cast<double>(decodes) / static_cast<double>(steps) : 0;
  child->Doc.Modified = false;
  child->close();
  QApplication::processEvents();
}

void BM_KeyDown64x64Zoom4(benchmark::State& state) {
  KeySteps(state, Qt::Key_Down, 64, 64, 4);
}
void BM_KeyRight16x16Zoom3(benchmark::State& state) {
  KeySteps(state, Qt::Key_Right, 16, 16, 3);
}

BENCHMARK(BM_KeyDown64x64Zoom4)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KeyRight16x16Zoom3)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same steps with the tiles in each arrangement (compare step_over_memset with the 8x8
// row), and on pages of the two 8-bit formats, whose indices reach past the first 16 colours.
void BM_KeyDownArranged64x64Zoom4(benchmark::State& state, TileArrangement arrangement) {
  KeySteps(state, Qt::Key_Down, 64, 64, 4, {8, arrangement, 16u << 20});
}
void BM_KeyDown8Bit64x64Zoom4(benchmark::State& state, TileFormat format) {
  KeySteps(state, Qt::Key_Down, 64, 64, 4, {format, kArrangement8x8, 16u << 20});
}

BENCHMARK_CAPTURE(BM_KeyDownArranged64x64Zoom4, 8x8, kArrangement8x8)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_KeyDownArranged64x64Zoom4, 8x16, kArrangement8x16)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_KeyDownArranged64x64Zoom4, 16x16, kArrangement16x16)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_KeyDownArranged64x64Zoom4, cols_4x4,
                  TileArrangement{BlockOrder::Columns, 4, 4})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_KeyDownArranged64x64Zoom4, rows_4x4, TileArrangement{BlockOrder::Rows, 4, 4})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_KeyDown8Bit64x64Zoom4, snes8, kSnes8Format)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_KeyDown8Bit64x64Zoom4, linear8, kLinear8Format)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace varnock

#endif  // VARNOCK_BENCH_UI
