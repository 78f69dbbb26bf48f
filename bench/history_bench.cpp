// The image's history: (a) an undo and a redo of a pen press on a 64 x 64 page of the real
// windows, against the page refresh each of them causes; (b) recording the step of a 4 KiB paste,
// against copying its bytes; (c) what 10,000 pen presses keep.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <time.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "codec/tile_codec.h"
#include "document/rom_document.h"
#include "document/step_names.h"

#if VARNOCK_BENCH_UI
#include "bench_windows.h"
#include "tools/edit_form.h"
#endif

namespace varnock {
namespace {

// `size` bytes of a fixed varied sequence as a document's image.
void AdoptVaried(RomDocument& doc, size_t size) {
  auto block = std::make_unique<uint8_t[]>(size);
  uint32_t state = 4242;
  for (size_t i = 0; i < size; ++i)
    block[i] = static_cast<uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
  doc.AdoptImage(std::move(block), static_cast<int32_t>(size));
}

// This thread's processor time: on a machine shared with other work the wall clock counts the
// time others ran, too.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_RecordPasteStep4KiB(benchmark::State& state) {
  RomDocument doc;
  AdoptVaried(doc, 1u << 20);
  // The budget of a long session's steady state, kept small so the run stays light: old steps
  // are dropped as new ones come, as they would be after hours of pasting.
  doc.SetHistoryBudget(int64_t{32} << 20);
  std::vector<uint8_t> block(4096);
  const std::string name = PasteStepName(doc, 16, 4, 0x2000);
  double stepSeconds = 0;
  int64_t steps = 0;
  const double threadStart = ThreadSeconds();
  for (auto _ : state) {
    // Every byte changes, so the step keeps all 4 KiB before and after.
    std::memset(block.data(), static_cast<int>(steps & 0xFF) ^ 0x5A, block.size());
    const int64_t offset = (steps * 4096) % ((1 << 20) - 4096);
    stepSeconds += bench::Seconds([&] {
      HistoryStep step(doc, name);
      doc.WriteBytes(offset, block);
    });
    ++steps;
  }
  const double threadSeconds = ThreadSeconds() - threadStart;
  // The anchor: the bytes the step has to move, once into the image and twice into its record.
  std::vector<uint8_t> copies(3 * block.size());
  const double copySeconds =
      bench::Seconds([&] {
        for (int i = 0; i < 1000; ++i) {
          for (int k = 0; k < 3; ++k)
            std::memcpy(copies.data() + k * block.size(), block.data(), 4096);
          benchmark::ClobberMemory();
        }
      }) /
      1000;
  const double perStep = steps ? stepSeconds / static_cast<double>(steps) : 0;
  state.counters["us_per_step"] = perStep * 1e6;
  state.counters["us_copy_3x4KiB"] = copySeconds * 1e6;
  state.counters["us_step_beyond_copy"] = (perStep - copySeconds) * 1e6;
  // The whole loop (the block's fill and the clock's reads included) in processor time.
  state.counters["us_thread_per_step"] = steps ? threadSeconds / double(steps) * 1e6 : 0;
}
BENCHMARK(BM_RecordPasteStep4KiB)->Unit(benchmark::kMicrosecond);

void BM_MemoryOf10000PenPresses(benchmark::State& state) {
  constexpr int kPresses = 10000;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t heapBefore = mallinfo2().uordblks;
    auto doc = std::make_unique<RomDocument>();
    AdoptVaried(*doc, size_t{64} << 20);
    doc->SetTileFormat(6);  // 4 bits per pixel, 32 bytes a tile
    const size_t heapImage = mallinfo2().uordblks;
    TileSurface tile;
    SetUpTileSurface(tile, 1, 1);
    tile.DecodeFormat = tile.EncodeFormat = doc->Format;
    tile.DecodeBits = tile.EncodeBits = doc->BitsPerPixel;
    tile.DecodeTileBytes = tile.EncodeTileBytes = doc->TileBytes;
    state.ResumeTiming();
    // A press: a stroke across one row of a tile, written back as the tile editor does.
    uint32_t where = 99;
    for (int press = 0; press < kPresses; ++press) {
      where = where * 1664525u + 1013904223u;
      const int64_t offset = int64_t{where % (doc->RomSize / doc->TileBytes)} * doc->TileBytes;
      DecodeTiles(doc->BytesFrom(offset), tile);
      for (int x = 0; x < 8; ++x) tile.Pixels[static_cast<size_t>((press % 8) * 8 + x)] ^= 0x5;
      HistoryStep step(*doc, TileStepName(*doc, "Matita", offset));
      doc->EncodeIntoImage(tile, offset);
    }
    state.PauseTiming();
    const int64_t recorded = doc->History().RecordedBytes();
    const size_t heapAfter = mallinfo2().uordblks;
    state.counters["MiB_recorded"] = static_cast<double>(recorded) / (1 << 20);
    state.counters["MiB_heap_beyond_image"] =
        static_cast<double>(heapAfter - heapImage) / (1 << 20);
    state.counters["bytes_per_press"] = static_cast<double>(recorded) / kPresses;
    state.counters["steps_kept"] = static_cast<double>(doc->History().StepCount());
    doc.reset();
    benchmark::DoNotOptimize(heapBefore);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MemoryOf10000PenPresses)->Unit(benchmark::kMillisecond)->Iterations(3);

#if VARNOCK_BENCH_UI

void BM_UndoRedoPenPress64x64Zoom4(benchmark::State& state) {
  bench::EnsureApplication();
  TChildForm* child = bench::OpenLargeGrid("varnock_history_bench.smc", 778);
  if (!child) {
    state.SkipWithError("could not lay out the grid");
    return;
  }
  child->PickTile(10, 10);
  if (!EditForm->BoundTile) {
    state.SkipWithError("nothing picked");
    return;
  }
  EditForm->EditSurface.Pixels[5] ^= 1;
  EditForm->WriteBackTile();
  constexpr int kRounds = 20;
  double undoRedoSeconds = 0;
  double refreshSeconds = 0;
  int64_t rounds = 0;
  int decodes = 0;
  for (auto _ : state) {
    const int before = child->DecodeCount;
    undoRedoSeconds += bench::Seconds([&] {
      for (int i = 0; i < kRounds; ++i) {
        child->UndoHistory1Click();
        child->RedoHistory1Click();
      }
    });
    decodes += child->DecodeCount - before;
    refreshSeconds += bench::Seconds([&] {
      for (int i = 0; i < 2 * kRounds; ++i) child->RedrawPage();
    });
    rounds += kRounds;
    benchmark::DoNotOptimize(child->ViewBitmap.constBits());
    state.PauseTiming();
    QApplication::processEvents();
    state.ResumeTiming();
  }
  const double perPair = rounds ? undoRedoSeconds / static_cast<double>(rounds) : 0;
  const double perRefresh = rounds ? refreshSeconds / static_cast<double>(2 * rounds) : 0;
  state.counters["us_undo_plus_redo"] = perPair * 1e6;
  state.counters["us_page_refresh"] = perRefresh * 1e6;
  state.counters["pair_over_two_refreshes"] = perRefresh > 0 ? perPair / (2 * perRefresh) : 0;
  state.counters["refreshes_per_pair"] = rounds ? double(decodes) / double(rounds) : 0;
  child->Doc.Modified = false;
  child->close();
  QApplication::processEvents();
}
BENCHMARK(BM_UndoRedoPenPress64x64Zoom4)->Unit(benchmark::kMillisecond)->Iterations(5);

#endif  // VARNOCK_BENCH_UI

}  // namespace
}  // namespace varnock
