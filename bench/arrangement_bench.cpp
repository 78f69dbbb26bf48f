// Moving the tiles of a decoded 64 x 64-tile page (512 x 512 pixels) to the cells of each
// arrangement, the step a page refresh adds to the decode, against a memcpy of the same 256 KiB
// timed alternately.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bench_support.h"
#include "document/tile_arrangement.h"

namespace varnock {
namespace {

using bench::Seconds;

const TileArrangement kArrangements[] = {kArrangement8x16,
                                         kArrangement16x16,
                                         {BlockOrder::Columns, 4, 4},
                                         {BlockOrder::Rows, 4, 4},
                                         {BlockOrder::Columns, 3, 5}};

void BM_ArrangePage(benchmark::State& state) {
  const TileArrangement arrangement = kArrangements[state.range(0)];
  TileSurface surface;
  surface.TilesAcross = surface.TilesDown = 64;
  RebuildSurface(surface);
  std::mt19937 random(3);
  for (uint8_t& pixel : surface.Pixels) pixel = static_cast<uint8_t>(random());
  std::vector<uint8_t> copy(surface.Pixels.size());
  double arrange = 0, anchor = 0;
  for (auto _ : state) {
    arrange += Seconds([&] { ArrangeSurfaceTiles(surface, arrangement); });
    anchor +=
        Seconds([&] { std::memcpy(copy.data(), surface.Pixels.data(), surface.Pixels.size()); });
  }
  state.counters["us_per_page"] = arrange / static_cast<double>(state.iterations()) * 1e6;
  state.counters["over_memcpy"] = arrange / anchor;
}
BENCHMARK(BM_ArrangePage)->ArgName("arrangement")->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace varnock
