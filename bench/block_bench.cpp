// Blocks of tiles on a 64 x 64-tile block (512 x 512 pixels, 256 KiB of indices): copying it out
// of the image into the clipboard, committing it back into the image (without the page refresh
// that follows), and exporting it to a bitmap file in a memory-backed folder. Each is timed
// against a memcpy of the block's 256 KiB in the same iterations; the targets are copy <= 10x,
// commit <= 12x and export <= 20x.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include "bench_support.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "codec/bitmap_file.h"
#include "document/block_transfer.h"
#include "io/file_io.h"
#if VARNOCK_BENCH_UI
#include "pictures/picture_file.h"
#endif

namespace varnock {
namespace {

constexpr int kBlockTiles = 64;
constexpr size_t kBlockPixels = size_t{kBlockTiles} * kBlockTiles * 64;

using bench::Seconds;

// A 64 x 64 grid over random bytes in `format`, the whole page selected.
struct Window {
  explicit Window(int format) {
    doc.Columns = doc.Rows = kBlockTiles;
    const int32_t size = 2 * kBlockTiles * kBlockTiles * 32;
    auto block = std::make_unique<uint8_t[]>(size_t(size));
    std::mt19937 random(7);
    for (int32_t i = 0; i < size; ++i) block[i] = uint8_t(random());
    doc.AdoptImage(std::move(block), size);
    doc.SetTileFormat(static_cast<TileFormat>(format));
    doc.ViewOffset = doc.ScrollMinimum;
    doc.DecodePage();
    doc.SelLeft = doc.SelTop = 0;
    doc.SelRight = doc.SelBottom = kBlockTiles;
    doc.HasSelection = true;
  }
  RomDocument doc;
};

// The memcpy every ratio is measured against.
struct Anchor {
  std::vector<uint8_t> from = std::vector<uint8_t>(kBlockPixels, 1);
  std::vector<uint8_t> to = std::vector<uint8_t>(kBlockPixels);
  double time = 0;
  void Run() {
    time += Seconds([&] { std::memcpy(to.data(), from.data(), kBlockPixels); });
    benchmark::DoNotOptimize(to.data());
  }
};

// A scratch folder in memory (tmpfs), removed at the end.
struct MemoryFolder {
  MemoryFolder() {
    std::string pattern = "/dev/shm/varnock-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    path = pattern;
  }
  ~MemoryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

void BM_CopyBlock(benchmark::State& state) {
  Window window(static_cast<int>(state.range(0)));
  TileSurface clip;
  Anchor anchor;
  double total = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { CopyBlock(window.doc, clip); });
    anchor.Run();
    total += t;
    state.SetIterationTime(t);
  }
  if (clip.Pixels != window.doc.ViewSurface.Pixels) state.SkipWithError("copy differs from view");
  state.SetLabel(FormatNames[state.range(0)]);
  state.counters["copy_over_memcpy"] = total / anchor.time;
}

void BM_CommitBlock(benchmark::State& state) {
  Window window(static_cast<int>(state.range(0)));
  TileSurface block;
  CopyBlock(window.doc, block);
  const std::vector<uint8_t> before(window.doc.RomData, window.doc.RomData + window.doc.RomSize);
  Anchor anchor;
  double total = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { CommitBlock(window.doc, block); });
    anchor.Run();
    total += t;
    state.SetIterationTime(t);
  }
  // The block came from the same place, so writing it back changes no byte that a tile of the
  // format stores.
  if (!std::equal(before.begin(), before.end(), window.doc.RomData))
    state.SkipWithError("commit of an unchanged block changed the image");
  state.SetLabel(FormatNames[state.range(0)]);
  state.counters["commit_over_memcpy"] = total / anchor.time;
}

void BM_ExportBitmap(benchmark::State& state) {
  Window window(6);
  MemoryFolder folder;
  const std::string path = folder.path + "/block.bmp";
  Anchor anchor;
  double total = 0;
  for (auto _ : state) {
    bool ok = false;
    const double t = Seconds([&] {
      const PixelBlock block = ExportBlock(window.doc);
      ok = WriteFileSafely(path, EncodeBitmapFile(window.doc.ViewSurface, block)).Ok;
    });
    if (!ok) state.SkipWithError("export failed");
    anchor.Run();
    total += t;
    state.SetIterationTime(t);
  }
  state.counters["export_over_memcpy"] = total / anchor.time;
}

BENCHMARK(BM_CopyBlock)->ArgName("format")->DenseRange(0, kTileFormatCount - 1)->UseManualTime();
BENCHMARK(BM_CommitBlock)->ArgName("format")->DenseRange(0, kTileFormatCount - 1)->UseManualTime();
BENCHMARK(BM_ExportBitmap)->UseManualTime();

#if VARNOCK_BENCH_UI
// For information: the PNG form compresses, so it has no target.
void BM_ExportPng(benchmark::State& state) {
  Window window(6);
  MemoryFolder folder;
  const std::string path = folder.path + "/block.png";
  Anchor anchor;
  double total = 0;
  for (auto _ : state) {
    const double t = Seconds([&] {
      const QByteArray png = EncodePngBlock(window.doc.ViewSurface, ExportBlock(window.doc));
      WriteFileSafely(path, {reinterpret_cast<const uint8_t*>(png.constData()),
                             static_cast<size_t>(png.size())});
    });
    anchor.Run();
    total += t;
    state.SetIterationTime(t);
  }
  state.counters["png_export_over_memcpy"] = total / anchor.time;
}
BENCHMARK(BM_ExportPng)->UseManualTime();
#endif

}  // namespace
}  // namespace varnock
