// Holding a navigation key down: 1,000 consecutive steps of the real ROM window, each
// decoding and composing one page, against a plain fill of the same back buffer.
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

namespace varnock {
namespace {

constexpr int kSteps = 1000;

using bench::EnsureApplication;

// A 4 MB Genesis image of varied bytes.
TChildForm* OpenLargeImage() {
  return bench::OpenVariedImage("varnock_nav_bench.smd", 4u << 20, 12345);
}

void KeySteps(benchmark::State& state, int key, int columns, int rows, int zoom) {
  EnsureApplication();
  TChildForm* child = OpenLargeImage();
  if (!child) {
    state.SkipWithError("could not open the image");
    return;
  }
  child->Doc.Columns = columns;
  child->Doc.Rows = rows;
  child->Doc.Zoom = zoom;
  child->LayoutView();
  if (child->Doc.Columns != columns || child->Doc.Rows != rows) {
    state.SkipWithError("the grid did not take");
    return;
  }

  double stepSeconds = 0;
  int64_t steps = 0;
  int64_t decodes = 0;
  for (auto _ : state) {
    child->MoveViewTo(child->Doc.ScrollMinimum);
    const int decodedBefore = child->DecodeCount;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kSteps; ++i) child->FormKeyDown(key, Qt::NoModifier);
    stepSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    steps += kSteps;
    decodes += child->DecodeCount - decodedBefore;
    benchmark::DoNotOptimize(child->ViewBitmap.constBits());
    state.PauseTiming();
    QApplication::processEvents();  // the repaints the steps asked for, outside the timing
    state.ResumeTiming();
  }

  // The anchor: filling the whole back buffer once, the least any page refresh costs.
  QImage& buffer = child->ViewBitmap;
  const int fills = 200;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < fills; ++i) {
    std::memset(buffer.bits(), i & 0xFF, static_cast<size_t>(buffer.sizeInBytes()));
    benchmark::ClobberMemory();
  }
  const double fillSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / fills;

  const double perStep = steps ? stepSeconds / static_cast<double>(steps) : 0;
  state.counters["us_per_step"] = perStep * 1e6;
  state.counters["us_memset"] = fillSeconds * 1e6;
  state.counters["step_over_memset"] = fillSeconds > 0 ? perStep / fillSeconds : 0;
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

}  // namespace
}  // namespace varnock

#endif  // VARNOCK_BENCH_UI
