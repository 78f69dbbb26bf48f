// The block editor on the real windows: one pointer move of a pen stroke on a block of 16 x 16
// tiles at 8x (a 1024 x 1024 canvas), the handler and the repaint it asks for, in a 2-bit
// (NES) and an 8-bit (SNES 8BPP) format.
#if VARNOCK_BENCH_UI

#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>

#include "bench_windows.h"
#include "palette/pal_form.h"
#include "tools/block_form.h"

namespace varnock {
namespace {

using Clock = std::chrono::steady_clock;

void PenMoves(benchmark::State& state, const char* name, int format) {
  bench::EnsureApplication();
  TChildForm* child = bench::OpenVariedImage(name, 1u << 20, 4242);
  if (!child) {
    state.SkipWithError("could not open the image");
    return;
  }
  if (format >= 0) child->FormatItems[static_cast<size_t>(format)]->trigger();
  child->Doc.Columns = child->Doc.Rows = 16;
  child->LayoutView();
  TBlockForm* editor = BlockEditor();
  if (!editor || !editor->OpenBlock(child, {0, 0, 16, 16}) || editor->Layout.Columns != 16) {
    state.SkipWithError("could not open the block");
    return;
  }
  editor->resize(1100, 1100);
  editor->SetZoom(8);
  editor->PixelGrid1->trigger();
  QApplication::processEvents();
  PalForm->LeftColor = 1;
  double seconds = 0;
  int64_t moves = 0;
  int64_t painted = 0;
  for (auto _ : state) {
    // A diagonal stroke over the whole block, one pixel a move, each move painted.
    editor->CanvasMouseDown(Qt::LeftButton, 4, 4);
    QApplication::processEvents();
    const int64_t paintedBefore = editor->PaintedPixels;
    const auto start = Clock::now();
    for (int k = 1; k < 128; ++k) {
      editor->CanvasMouseMove(Qt::LeftButton, k * 8 + 4, k * 8 + 4);
      QApplication::processEvents();
    }
    seconds += std::chrono::duration<double>(Clock::now() - start).count();
    moves += 127;
    painted += editor->PaintedPixels - paintedBefore;
    state.PauseTiming();
    editor->CanvasMouseUp(Qt::LeftButton, 127 * 8 + 4, 127 * 8 + 4);
    state.ResumeTiming();
  }
  state.counters["ms_per_move"] = moves ? seconds / static_cast<double>(moves) * 1e3 : 0;
  state.counters["screen_px_per_move"] =
      moves ? static_cast<double>(painted) / static_cast<double>(moves) : 0;
  child->Doc.Modified = false;
  child->close();
  QApplication::processEvents();
}

void BM_BlockPenMove16x16TilesZoom8Nes(benchmark::State& state) {
  PenMoves(state, "varnock_block_bench.nes", -1);
}

void BM_BlockPenMove16x16TilesZoom8Snes8Bit(benchmark::State& state) {
  PenMoves(state, "varnock_block_bench.smc", 10);
}

BENCHMARK(BM_BlockPenMove16x16TilesZoom8Nes)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BlockPenMove16x16TilesZoom8Snes8Bit)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace varnock

#endif  // VARNOCK_BENCH_UI
