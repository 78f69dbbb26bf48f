// The tile search: a 32 MiB image for the 1024 tiles of a video memory in every fixed format at
// every byte offset (with and without flips), a 4 MiB SNES image for a 64-tile picture palette-
// free with flips in every format, crafted repeating images that must cost what random bytes
// cost, and the search inside the streams of a GBA image beside the scan alone. Each figure is
// one core; "peak_rss_MiB" is the process's peak after the benchmark.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "bench_support.h"
#include "codec/tile_codec.h"
#include "compression/compression.h"
#include "compression/scan_presets.h"
#include "compression/stream_scan.h"
#include "search/tile_search.h"

namespace varnock {
namespace {

constexpr size_t kMiB = size_t{1} << 20;

std::vector<uint8_t> RandomBytes(size_t size, uint64_t seed) {
  std::mt19937_64 random(seed);
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i + 8 <= size; i += 8) {
    const uint64_t word = random();
    for (int k = 0; k < 8; ++k)
      bytes[i + static_cast<size_t>(k)] = static_cast<uint8_t>(word >> (8 * k));
  }
  return bytes;
}

// 4-bit tiles of boxes and stripes in a few colours on a blank background, like a sheet of
// sprites, in the GBA format (low nibble left).
std::vector<uint8_t> SheetBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size, 0);
  for (size_t tile = 0; tile + 32 <= size; tile += 32) {
    const int a = 1 + static_cast<int>(random() % 15), b = 1 + static_cast<int>(random() % 15);
    const int x0 = static_cast<int>(random() % 6), y0 = static_cast<int>(random() % 6);
    const int w = 2 + static_cast<int>(random() % 6), h = 2 + static_cast<int>(random() % 6);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        int v = (x >= x0 && x < x0 + w && y >= y0 && y < y0 + h) ? a : 0;
        if (v != 0 && (x == x0 || y == y0)) v = b;
        if (random() % 29 == 0) v = static_cast<int>(random() % 16);
        bytes[tile + static_cast<size_t>(4 * y + x / 2)] |=
            static_cast<uint8_t>(v << (4 * (x % 2)));
      }
  }
  return bytes;
}

std::vector<TileFormat> FixedFormats() {
  std::vector<TileFormat> formats;
  for (int f = 0; f < kFixedTileFormatCount; ++f) formats.push_back(static_cast<TileFormat>(f));
  return formats;
}

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Report(benchmark::State& state, const TileSearchResult& result, size_t tiles) {
  state.counters["searched_tiles"] = static_cast<double>(tiles);
  state.counters["places"] = static_cast<double>(result.Places.size());
  state.counters["best_tiles"] = result.Places.empty() ? 0 : result.Places[0].TileCount;
  state.counters["peak_rss_MiB"] = PeakRssMiB();
}

// What the 32 MiB image holds: random bytes, zeros, the crafted pattern "21 22 22 21" that
// never ends an LC_LZ2 stream, or one of the searched tiles over and over.
enum ImageKind { kRandom, kZeros, kCrafted, kSearchedTile };

std::vector<uint8_t> VideoImage(int kind, const std::vector<uint8_t>& video) {
  const size_t size = 32 * kMiB;
  switch (kind) {
    case kZeros:
      return std::vector<uint8_t>(size, 0);
    case kCrafted: {
      std::vector<uint8_t> image(size);
      const uint8_t pattern[] = {0x21, 0x22, 0x22, 0x21};
      for (size_t i = 0; i < size; ++i) image[i] = pattern[i % 4];
      return image;
    }
    case kSearchedTile: {
      std::vector<uint8_t> image(size);
      for (size_t i = 0; i < size; ++i) image[i] = video[64 + i % 32];
      return image;
    }
    default: {
      std::vector<uint8_t> image = RandomBytes(size, 7);
      // Half of the video memory lies in the image as it is, at an odd offset.
      std::copy(video.begin(), video.begin() + 16384, image.begin() + 0x123457);
      return image;
    }
  }
}

void SearchVideoMemory(benchmark::State& state) {
  const std::vector<uint8_t> video = SheetBytes(32768, 3);  // 1024 GBA tiles
  const SearchedTiles tiles = TilesFromBytes(video, 9);
  const std::vector<uint8_t> image = VideoImage(static_cast<int>(state.range(0)), video);
  const bool flips = state.range(1) != 0;
  const std::vector<TileFormat> formats = FixedFormats();
  TileSearchResult result;
  for (auto _ : state) {
    result = SearchTiles(MakeTileSearchRequest(tiles, 9, formats, ".GBA", flips, false), image);
    benchmark::DoNotOptimize(result);
  }
  Report(state, result, tiles.Tiles.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(SearchVideoMemory)
    ->ArgNames({"image", "flips"})
    ->ArgsProduct({{kRandom, kZeros, kCrafted, kSearchedTile}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A 4 MiB SNES image of sprite-like tiles (re-encoded in SNES 4 bits per pixel), searched for
// a picture of 64 of its tiles drawn in other colours.
void SearchPicture(benchmark::State& state) {
  const std::vector<uint8_t> gba = SheetBytes(4 * kMiB, 5);
  TileSurface sheet;
  sheet.TilesAcross = 1;
  sheet.TilesDown = static_cast<int32_t>(gba.size() / 32);
  RebuildSurface(sheet);
  sheet.DecodeFormat = 9;
  sheet.DecodeTileBytes = 32;
  sheet.DecodeAcross = 1;
  sheet.DecodeDown = sheet.TilesDown;
  DecodeTiles(gba, sheet);
  sheet.EncodeFormat = 6;
  sheet.EncodeTileBytes = 32;
  sheet.EncodeAcross = 1;
  sheet.EncodeDown = sheet.TilesDown;
  std::vector<uint8_t> image(gba.size());
  EncodeTiles(sheet, image);
  if (state.range(0) == 1) std::fill(image.begin(), image.end(), 0);
  // 64 tiles from 1 MiB in, as a picture 8 tiles wide in colours of its own.
  std::vector<uint32_t> picture(64 * 64);
  for (int t = 0; t < 64; ++t)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        picture[static_cast<size_t>((8 * (t / 8) + y) * 64 + 8 * (t % 8) + x)] =
            0xFF000000u +
            0x111111u * sheet.Pixels[static_cast<size_t>((32768 + t) * 64 + 8 * y + x)];
  const SearchedTiles tiles = TilesFromPicture(64, 64, picture, 0, 0);
  const std::vector<TileFormat> formats = FixedFormats();
  TileSearchResult result;
  for (auto _ : state) {
    result = SearchTiles(MakeTileSearchRequest(tiles, 6, formats, ".SMC", true, false), image);
    benchmark::DoNotOptimize(result);
  }
  Report(state, result, tiles.Tiles.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(SearchPicture)
    ->ArgName("zeros")
    ->DenseRange(0, 1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A 4 MiB GBA image: random bytes with 128 LZ77 10 streams of 8 KB of sprite tiles, some of
// them the video memory's. Range 0: the scan alone; 1: the search without streams; 2: with.
void SearchStreams(benchmark::State& state) {
  const std::vector<uint8_t> video = SheetBytes(32768, 3);
  const SearchedTiles tiles = TilesFromBytes(video, 9);
  std::vector<uint8_t> image = RandomBytes(4 * kMiB, 9);
  for (size_t k = 0; k < 128; ++k) {
    std::vector<uint8_t> data = SheetBytes(8192, static_cast<uint32_t>(100 + k));
    std::copy(video.begin() + static_cast<ptrdiff_t>(k % 4 * 8192),
              video.begin() + static_cast<ptrdiff_t>(k % 4 * 8192 + 1024), data.begin() + 2048);
    const std::vector<uint8_t> packed = *Compress(CompressionFormat::Lz10, data);
    std::copy(packed.begin(), packed.end(), image.begin() + static_cast<ptrdiff_t>(k * 32768));
  }
  const std::vector<TileFormat> formats = FixedFormats();
  const std::vector<CompressionFormat> scanFormats = ScanFormatsForExtension(".GBA");
  TileSearchResult result;
  size_t finds = 0;
  for (auto _ : state) {
    if (state.range(0) == 0) {
      finds = ScanForStreams(image, scanFormats).size();
    } else {
      result = SearchTiles(
          MakeTileSearchRequest(tiles, 9, formats, ".GBA", true, state.range(0) == 2), image);
      finds = result.StreamsSearched;
    }
    benchmark::DoNotOptimize(finds);
  }
  Report(state, result, tiles.Tiles.size());
  state.counters["streams"] = static_cast<double>(finds);
}
BENCHMARK(SearchStreams)
    ->ArgName("part")
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnock
