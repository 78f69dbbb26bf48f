// Tile codec speed per kernel path and format: one 64 x 64-tile page against a memcpy of the
// page's 64 x 64 x 64 pixel bytes timed alternately in the same iterations (and, for the table
// path, against a per-pixel codec written straight from the layout formulas), and whole-image
// decoding in GB/s.
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codec/codec_path.h"
#include "codec/tile_codec.h"

namespace varnock {
namespace {

constexpr int kPageTiles = 64;
constexpr size_t kPagePixels = size_t{kPageTiles} * kPageTiles * 64;

int Bit(uint8_t v, int n) {
  return (v >> n) & 1;
}

// Index of pixel (x, r) of the tile at b, one formula per format.
int ReferenceIndex(int format, const uint8_t* b, int r, int x) {
  const int n = 7 - x;
  switch (format) {
    case 0:
      return Bit(b[r], n);
    case 1:
      return Bit(b[r], n) | Bit(b[8 + r], n) << 1;
    case 2:
      return Bit(b[2 * r], n) | Bit(b[2 * r + 1], n) << 1;
    case 3:
      return (b[2 * r + x / 4] >> (2 * (x % 4))) & 3;
    case 4:
      return ((b[2 * r] | b[2 * r + 1] << 8) >> (14 - 2 * x)) & 3;
    case 5:
      return Bit(b[2 * r], n) | Bit(b[2 * r + 1], n) << 1 | Bit(b[16 + r], n) << 2;
    case 6:
      return Bit(b[2 * r], n) | Bit(b[2 * r + 1], n) << 1 | Bit(b[16 + 2 * r], n) << 2 |
             Bit(b[17 + 2 * r], n) << 3;
    case 7:
      return Bit(b[4 * r], n) | Bit(b[4 * r + 1], n) << 1 | Bit(b[4 * r + 2], n) << 2 |
             Bit(b[4 * r + 3], n) << 3;
    case 8:
      return x % 2 == 0 ? b[4 * r + x / 2] >> 4 : b[4 * r + x / 2] & 15;
    default:
      return x % 2 == 0 ? b[4 * r + x / 2] & 15 : b[4 * r + x / 2] >> 4;
  }
}

void ReferenceDecode(const uint8_t* source, TileSurface& s) {
  const int stride = s.Width();
  const int tileBytes = TileFormatInfo(s.DecodeFormat).TileBytes;
  for (int k = 0; k < s.DecodeDown; ++k)
    for (int j = 0; j < s.DecodeAcross; ++j) {
      const uint8_t* b = source + (k * s.DecodeAcross + j) * tileBytes;
      for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 8; ++x)
          s.Pixels[(k * 8 + r) * stride + j * 8 + x] =
              static_cast<uint8_t>(ReferenceIndex(s.DecodeFormat, b, r, x));
    }
}

// Sets the bits of pixel (x, r) with index p into the tile at b, one formula per format.
void ReferenceStore(int format, uint8_t* b, int r, int x, int p) {
  const int n = 7 - x;
  auto plane = [&](int byte, int bit) { b[byte] |= static_cast<uint8_t>(Bit(p, bit) << n); };
  switch (format) {
    case 0:
      plane(r, 0);
      break;
    case 1:
      plane(r, 0), plane(8 + r, 1);
      break;
    case 2:
      plane(2 * r, 0), plane(2 * r + 1, 1);
      break;
    case 3:
      b[2 * r + x / 4] |= static_cast<uint8_t>((p & 3) << (2 * (x % 4)));
      break;
    case 4:
      b[2 * r + 1 - x / 4] |= static_cast<uint8_t>((p & 3) << (6 - 2 * (x % 4)));
      break;
    case 5:
      plane(2 * r, 0), plane(2 * r + 1, 1), plane(16 + r, 2);
      break;
    case 6:
      plane(2 * r, 0), plane(2 * r + 1, 1), plane(16 + 2 * r, 2), plane(17 + 2 * r, 3);
      break;
    case 7:
      plane(4 * r, 0), plane(4 * r + 1, 1), plane(4 * r + 2, 2), plane(4 * r + 3, 3);
      break;
    case 8:
      b[4 * r + x / 2] |= static_cast<uint8_t>((p & 15) << (x % 2 == 0 ? 4 : 0));
      break;
    default:
      b[4 * r + x / 2] |= static_cast<uint8_t>((p & 15) << (x % 2 == 0 ? 0 : 4));
      break;
  }
}

void ReferenceEncode(const TileSurface& s, uint8_t* destination) {
  const int stride = s.Width();
  const int tileBytes = TileFormatInfo(s.EncodeFormat).TileBytes;
  for (int k = 0; k < s.EncodeDown; ++k)
    for (int j = 0; j < s.EncodeAcross; ++j) {
      uint8_t* b = destination + (k * s.EncodeAcross + j) * tileBytes;
      std::memset(b, 0, static_cast<size_t>(tileBytes));
      for (int r = 0; r < 8; ++r)
        for (int x = 0; x < 8; ++x)
          ReferenceStore(s.EncodeFormat, b, r, x, s.Pixels[(k * 8 + r) * stride + j * 8 + x]);
    }
}

TileSurface PageSurface(int format) {
  TileSurface s;
  s.TilesAcross = s.TilesDown = kPageTiles;
  RebuildSurface(s);
  s.DecodeFormat = s.EncodeFormat = static_cast<TileFormat>(format);
  s.DecodeTileBytes = s.EncodeTileBytes = TileFormatInfo(format).TileBytes;
  s.DecodeAcross = s.DecodeDown = s.EncodeAcross = s.EncodeDown = kPageTiles;
  return s;
}

std::vector<uint8_t> RandomBytes(size_t count) {
  std::mt19937 random(12345);
  std::vector<uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

using bench::Seconds;

// Makes the benchmark's path active; false (and the benchmark skipped) where it is missing.
bool UsePath(benchmark::State& state, CodecPath path) {
  if (SelectCodecPath(path)) return true;
  state.SkipWithError("this path is not available on this processor");
  return false;
}

std::string Label(CodecPath path, int format) {
  return std::string(CodecPathName(path)) + " " + FormatNames[format];
}

// One page decoded per iteration, timed alternately with a memcpy of the page's pixel bytes.
// The per-pixel decoder is timed only for the table path (it is the same for every path).
void BM_DecodePage(benchmark::State& state) {
  const auto path = static_cast<CodecPath>(state.range(0));
  const int format = static_cast<int>(state.range(1));
  if (!UsePath(state, path)) return;
  const std::vector<uint8_t> bytes =
      RandomBytes(size_t{kPageTiles} * kPageTiles * TileFormatInfo(format).TileBytes);
  TileSurface subject = PageSurface(format), reference = PageSurface(format);
  const std::vector<uint8_t> copyFrom = RandomBytes(kPagePixels);
  std::vector<uint8_t> copyTo(kPagePixels);
  double subjectTime = 0, referenceTime = 0, memcpyTime = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { DecodeTiles(bytes, subject); });
    if (path == CodecPath::Table)
      referenceTime += Seconds([&] { ReferenceDecode(bytes.data(), reference); });
    memcpyTime += Seconds([&] { std::memcpy(copyTo.data(), copyFrom.data(), kPagePixels); });
    benchmark::DoNotOptimize(copyTo.data());
    subjectTime += t;
    state.SetIterationTime(t);
  }
  ReferenceDecode(bytes.data(), reference);
  if (subject.Pixels != reference.Pixels)
    state.SkipWithError("decoder and per-pixel decoder differ");
  state.SetLabel(Label(path, format));
  state.counters["decode_over_memcpy"] = subjectTime / memcpyTime;
  if (path == CodecPath::Table)
    state.counters["speedup_over_per_pixel"] = referenceTime / subjectTime;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPagePixels));
}

void BM_EncodePage(benchmark::State& state) {
  const auto path = static_cast<CodecPath>(state.range(0));
  const int format = static_cast<int>(state.range(1));
  if (!UsePath(state, path)) return;
  TileSurface page = PageSurface(format);
  const std::vector<uint8_t> pixels = RandomBytes(kPagePixels);
  std::copy(pixels.begin(), pixels.end(), page.Pixels.begin());
  const size_t count = size_t{kPageTiles} * kPageTiles * TileFormatInfo(format).TileBytes;
  std::vector<uint8_t> subject(count), reference(count);
  const std::vector<uint8_t> copyFrom = RandomBytes(kPagePixels);
  std::vector<uint8_t> copyTo(kPagePixels);
  double subjectTime = 0, referenceTime = 0, memcpyTime = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { EncodeTiles(page, subject); });
    if (path == CodecPath::Table)
      referenceTime += Seconds([&] { ReferenceEncode(page, reference.data()); });
    memcpyTime += Seconds([&] { std::memcpy(copyTo.data(), copyFrom.data(), kPagePixels); });
    benchmark::DoNotOptimize(copyTo.data());
    subjectTime += t;
    state.SetIterationTime(t);
  }
  ReferenceEncode(page, reference.data());
  if (subject != reference) state.SkipWithError("encoder and per-pixel encoder differ");
  state.SetLabel(Label(path, format));
  state.counters["encode_over_memcpy"] = subjectTime / memcpyTime;
  if (path == CodecPath::Table) state.counters["encode_speedup"] = referenceTime / subjectTime;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPagePixels));
}

// A whole 32 MiB image decoded page after page into one 64 x 64-tile page, as scrolling through
// it would; bytes_per_second counts image bytes, pixels_per_second the pixels they make.
void BM_DecodeImage(benchmark::State& state) {
  const auto path = static_cast<CodecPath>(state.range(0));
  const int format = static_cast<int>(state.range(1));
  if (!UsePath(state, path)) return;
  constexpr size_t kImageBytes = size_t{32} << 20;
  const std::vector<uint8_t> image = RandomBytes(kImageBytes);
  TileSurface page = PageSurface(format);
  const size_t pageBytes = size_t{kPageTiles} * kPageTiles * TileFormatInfo(format).TileBytes;
  for (auto _ : state) {
    for (size_t offset = 0; offset < kImageBytes; offset += pageBytes)
      DecodeTiles(std::span(image).subspan(offset), page);
    benchmark::DoNotOptimize(page.Pixels.data());
  }
  state.SetLabel(Label(path, format));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kImageBytes));
  const double pixels = 8.0 * kImageBytes / TileFormatInfo(format).BitsPerPixel;
  state.counters["pixels_per_second"] =
      benchmark::Counter(pixels, benchmark::Counter::kIsIterationInvariantRate);
}

void PathsAndFormats(benchmark::internal::Benchmark* b) {
  b->ArgNames({"path", "format"});
  for (CodecPath path : kCodecPaths)
    for (int format = 0; format < kTileFormatCount; ++format)
      b->Args({static_cast<int>(path), format});
}

BENCHMARK(BM_DecodePage)->Apply(PathsAndFormats)->UseManualTime();
BENCHMARK(BM_EncodePage)->Apply(PathsAndFormats)->UseManualTime();
BENCHMARK(BM_DecodeImage)->Apply(PathsAndFormats)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnock
