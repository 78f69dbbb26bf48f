// Page refresh of a ROM window per kernel path: decode plus compose into the back buffer,
// against a memset of the same back buffer timed alternately; and compose against drawing the
// indexed surface scaled with QPainter.
#if VARNOCK_BENCH_UI

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstring>
#include <utility>

#include "codec/codec_path.h"
#include "codec/tile_codec.h"
#include "codec/view_compose.h"
#include "document/rom_document.h"

namespace {

using Clock = std::chrono::steady_clock;

QApplication& App() {
  static int argc = 1;
  static char name[] = "varnock_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Another benchmark of the same run may have made the one application already.
    return qApp ? static_cast<QApplication*>(qApp) : new QApplication(argc, argv);
  }();
  return *app;
}

struct Page {
  varnock::RomDocument doc;
  QImage back;
  std::vector<uint8_t> image;

  Page(int grid, int zoom) : image(8 << 20) {
    uint32_t state = 12345;
    for (auto& byte : image)
      byte = static_cast<uint8_t>((state = state * 1664525 + 1013904223) >> 24);
    auto block = std::make_unique<uint8_t[]>(image.size());
    std::memcpy(block.get(), image.data(), image.size());
    doc.AdoptImage(std::move(block), static_cast<int32_t>(image.size()));
    doc.Columns = doc.Rows = grid;
    doc.Zoom = zoom;
    doc.SetTileFormat(6);
    doc.FitViewSurface();
    for (int i = 0; i < 256; ++i)
      doc.ViewSurface.Colors[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    back = QImage(8 * zoom * grid, 8 * zoom * grid, QImage::Format_RGB32);
  }

  void Refresh() {
    doc.DecodePage();
    Compose();
  }

  void Compose() {
    auto* pixels = reinterpret_cast<uint32_t*>(back.bits());
    const int stride = static_cast<int>(back.bytesPerLine() / 4);
    varnock::ComposeSurface(doc.ViewSurface, doc.Zoom, pixels, back.width(), back.height(), stride,
                            varnock::ComposeGrid{true, 0xFFC0C0C0});
  }

  // What drawing through the toolkit's indexed image path costs: colour table, scaled draw.
  void PainterPath() {
    const varnock::TileSurface& s = doc.ViewSurface;
    QImage indexed(s.Pixels.data(), s.Width(), s.Height(), s.Width(), QImage::Format_Indexed8);
    QList<QRgb> table;
    table.reserve(256);
    for (const auto& c : s.Colors) table.append(qRgb(c.red, c.green, c.blue));
    indexed.setColorTable(table);
    QPainter painter(&back);
    painter.drawImage(back.rect(), indexed);
  }
};

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void BM_PageRefresh(benchmark::State& state) {
  App();
  const auto path = static_cast<varnock::CodecPath>(state.range(2));
  if (!varnock::SelectCodecPath(path)) {
    state.SkipWithError("this path is not available on this processor");
    return;
  }
  state.SetLabel(varnock::CodecPathName(path));
  Page page(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  double refresh = 0, compose = 0, fill = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    page.Refresh();
    auto t1 = Clock::now();
    page.Compose();
    auto t2 = Clock::now();
    std::memset(page.back.bits(), 0x5A, static_cast<size_t>(page.back.sizeInBytes()));
    benchmark::ClobberMemory();
    auto t3 = Clock::now();
    refresh += Seconds(t1 - t0);
    compose += Seconds(t2 - t1);
    fill += Seconds(t3 - t2);
    benchmark::DoNotOptimize(page.back.constBits());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["refresh_us"] = refresh / n * 1e6;
  state.counters["compose_us"] = compose / n * 1e6;
  state.counters["memset_us"] = fill / n * 1e6;
  state.counters["compose_over_memset"] = compose / fill;
  state.counters["refresh_over_memset"] = refresh / fill;
}
void GridsAndPaths(benchmark::internal::Benchmark* b) {
  b->ArgNames({"grid", "zoom", "path"});
  for (auto [grid, zoom] : {std::pair{16, 3}, std::pair{64, 4}})
    for (varnock::CodecPath path : varnock::kCodecPaths)
      b->Args({grid, zoom, static_cast<int>(path)});
}
BENCHMARK(BM_PageRefresh)->Apply(GridsAndPaths)->Unit(benchmark::kMicrosecond);

// The toolkit's indexed path is timed on its own: it uses worker threads and disturbs the
// caches, which would spoil the memset anchor above.
void BM_ComposeVersusPainter(benchmark::State& state) {
  App();
  Page page(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  page.doc.DecodePage();
  double compose = 0, painter = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    page.Compose();
    auto t1 = Clock::now();
    page.PainterPath();
    auto t2 = Clock::now();
    compose += Seconds(t1 - t0);
    painter += Seconds(t2 - t1);
    benchmark::DoNotOptimize(page.back.constBits());
  }
  state.counters["compose_speedup_over_painter"] = painter / compose;
}
BENCHMARK(BM_ComposeVersusPainter)->Args({16, 3})->Args({64, 4})->Unit(benchmark::kMicrosecond);

}  // namespace

#endif
