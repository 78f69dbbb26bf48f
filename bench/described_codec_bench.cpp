// The two 8-bit formats per kernel path, and every fixed format written as a description and run
// by the table-driven codec: one 64 x 64-tile page per iteration, timed alternately with a memcpy
// of the page's 64 x 64 x 64 pixel bytes and, for a description, with its fixed format on the
// table path (fixed_over_described is the share of the fixed table path's speed it reaches).
#include <benchmark/benchmark.h>

#include "bench_support.h"

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "codec/codec_file.h"
#include "codec/codec_path.h"
#include "codec/codec_registry.h"
#include "codec/format_names.h"
#include "codec/tile_codec.h"

namespace varnock {
namespace {

constexpr int kPageTiles = 64;
constexpr size_t kPagePixels = size_t{kPageTiles} * kPageTiles * 64;

using bench::Seconds;

std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

TileSurface PageSurface(int format) {
  TileSurface s;
  s.TilesAcross = s.TilesDown = kPageTiles;
  RebuildSurface(s);
  s.DecodeFormat = s.EncodeFormat = static_cast<TileFormat>(format);
  s.DecodeTileBytes = s.EncodeTileBytes = LookUpTileFormat(format)->TileBytes;
  s.DecodeAcross = s.DecodeDown = s.EncodeAcross = s.EncodeDown = kPageTiles;
  return s;
}

size_t PageBytes(int format) {
  return size_t{kPageTiles} * kPageTiles * static_cast<size_t>(LookUpTileFormat(format)->TileBytes);
}

// The example description of a fixed format, registered once; -1 when its file does not load.
int DescribedTwin(int fixed) {
  static std::map<int, int> twins;
  if (const auto known = twins.find(fixed); known != twins.end()) return known->second;
  const std::string name = kFormatShortNames[static_cast<size_t>(fixed)];
  const CodecFileResult file =
      ReadCodecFile(std::string(VARNOCK_CODECS_DIR) + "/example-" + name + ".vrkcodec");
  int format = -1;
  if (file.Ok) {
    if (const auto registered =
            RegisterDescribedFormat("bench-" + name, file.DisplayName, file.Description).Format)
      format = *registered;
  }
  return twins[fixed] = format;
}

bool UsePath(benchmark::State& state, CodecPath path) {
  if (SelectCodecPath(path)) return true;
  state.SkipWithError("this path is not available on this processor");
  return false;
}

// A page of one of the 8-bit formats on one path.
void BM_DecodeEightBitPage(benchmark::State& state) {
  const auto path = static_cast<CodecPath>(state.range(0));
  const int format = static_cast<int>(state.range(1));
  if (!UsePath(state, path)) return;
  const std::vector<uint8_t> bytes = RandomBytes(PageBytes(format), 1);
  TileSurface page = PageSurface(format), reference = PageSurface(format);
  const std::vector<uint8_t> copyFrom = RandomBytes(kPagePixels, 2);
  std::vector<uint8_t> copyTo(kPagePixels);
  double decodeTime = 0, memcpyTime = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { DecodeTiles(bytes, page); });
    memcpyTime += Seconds([&] { std::memcpy(copyTo.data(), copyFrom.data(), kPagePixels); });
    benchmark::DoNotOptimize(copyTo.data());
    decodeTime += t;
    state.SetIterationTime(t);
  }
  SelectCodecPath(CodecPath::Table);
  DecodeTiles(bytes, reference);
  if (page.Pixels != reference.Pixels) state.SkipWithError("path and table path differ");
  state.SetLabel(std::string(CodecPathName(path)) + " " + FormatNames[format]);
  state.counters["decode_over_memcpy"] = decodeTime / memcpyTime;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPagePixels));
}

void BM_EncodeEightBitPage(benchmark::State& state) {
  const auto path = static_cast<CodecPath>(state.range(0));
  const int format = static_cast<int>(state.range(1));
  if (!UsePath(state, path)) return;
  TileSurface page = PageSurface(format);
  page.Pixels = RandomBytes(kPagePixels, 3);
  std::vector<uint8_t> bytes(PageBytes(format)), reference(PageBytes(format));
  const std::vector<uint8_t> copyFrom = RandomBytes(kPagePixels, 2);
  std::vector<uint8_t> copyTo(kPagePixels);
  double encodeTime = 0, memcpyTime = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { EncodeTiles(page, bytes); });
    memcpyTime += Seconds([&] { std::memcpy(copyTo.data(), copyFrom.data(), kPagePixels); });
    benchmark::DoNotOptimize(copyTo.data());
    encodeTime += t;
    state.SetIterationTime(t);
  }
  SelectCodecPath(CodecPath::Table);
  EncodeTiles(page, reference);
  if (bytes != reference) state.SkipWithError("path and table path differ");
  state.SetLabel(std::string(CodecPathName(path)) + " " + FormatNames[format]);
  state.counters["encode_over_memcpy"] = encodeTime / memcpyTime;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPagePixels));
}

// A page through the table-driven codec, against memcpy and against the fixed format's table path.
void BM_DescribedDecodePage(benchmark::State& state) {
  const int fixed = static_cast<int>(state.range(0));
  const int described = DescribedTwin(fixed);
  if (described < 0) return state.SkipWithError("the example description does not load");
  SelectCodecPath(CodecPath::Table);
  const std::vector<uint8_t> bytes = RandomBytes(PageBytes(fixed), 4);
  TileSurface page = PageSurface(described), reference = PageSurface(fixed);
  const std::vector<uint8_t> copyFrom = RandomBytes(kPagePixels, 2);
  std::vector<uint8_t> copyTo(kPagePixels);
  double describedTime = 0, fixedTime = 0, memcpyTime = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { DecodeTiles(bytes, page); });
    fixedTime += Seconds([&] { DecodeTiles(bytes, reference); });
    memcpyTime += Seconds([&] { std::memcpy(copyTo.data(), copyFrom.data(), kPagePixels); });
    benchmark::DoNotOptimize(copyTo.data());
    describedTime += t;
    state.SetIterationTime(t);
  }
  if (page.Pixels != reference.Pixels) state.SkipWithError("description and fixed format differ");
  state.SetLabel(std::string("described ") + FormatNames[fixed]);
  state.counters["decode_over_memcpy"] = describedTime / memcpyTime;
  state.counters["fixed_over_described"] = fixedTime / describedTime;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPagePixels));
}

void BM_DescribedEncodePage(benchmark::State& state) {
  const int fixed = static_cast<int>(state.range(0));
  const int described = DescribedTwin(fixed);
  if (described < 0) return state.SkipWithError("the example description does not load");
  SelectCodecPath(CodecPath::Table);
  TileSurface page = PageSurface(described), reference = PageSurface(fixed);
  page.Pixels = reference.Pixels = RandomBytes(kPagePixels, 5);
  std::vector<uint8_t> bytes(PageBytes(fixed)), fixedBytes(PageBytes(fixed));
  const std::vector<uint8_t> copyFrom = RandomBytes(kPagePixels, 2);
  std::vector<uint8_t> copyTo(kPagePixels);
  double describedTime = 0, fixedTime = 0, memcpyTime = 0;
  for (auto _ : state) {
    const double t = Seconds([&] { EncodeTiles(page, bytes); });
    fixedTime += Seconds([&] { EncodeTiles(reference, fixedBytes); });
    memcpyTime += Seconds([&] { std::memcpy(copyTo.data(), copyFrom.data(), kPagePixels); });
    benchmark::DoNotOptimize(copyTo.data());
    describedTime += t;
    state.SetIterationTime(t);
  }
  if (bytes != fixedBytes) state.SkipWithError("description and fixed format differ");
  state.SetLabel(std::string("described ") + FormatNames[fixed]);
  state.counters["encode_over_memcpy"] = describedTime / memcpyTime;
  state.counters["fixed_over_described"] = fixedTime / describedTime;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPagePixels));
}

void EightBitFormatsOnEveryPath(benchmark::internal::Benchmark* b) {
  b->ArgNames({"path", "format"});
  for (CodecPath path : kCodecPaths)
    for (int format = kTileFormatCount; format < kFixedTileFormatCount; ++format)
      b->Args({static_cast<int>(path), format});
}

BENCHMARK(BM_DecodeEightBitPage)->Apply(EightBitFormatsOnEveryPath)->UseManualTime();
BENCHMARK(BM_EncodeEightBitPage)->Apply(EightBitFormatsOnEveryPath)->UseManualTime();
BENCHMARK(BM_DescribedDecodePage)
    ->ArgName("format")
    ->DenseRange(0, kFixedTileFormatCount - 1)
    ->UseManualTime();
BENCHMARK(BM_DescribedEncodePage)
    ->ArgName("format")
    ->DenseRange(0, kFixedTileFormatCount - 1)
    ->UseManualTime();

}  // namespace
}  // namespace varnock
