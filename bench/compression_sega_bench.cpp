// Sega formats: decompression in MB/s of output, compression in MB/s with the compressed size
// against the straightforward encoders, and the scan: false finds on 16 MiB of random bytes and
// the time it takes over fill bytes and repeated patterns that ROMs are full of.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "../tests/support/sega_reference.h"
#include "compression/compression.h"
#include "compression/stream_scan.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

// Arg 0: tile-like data, 1: random bytes.
Bytes Sample(int kind, size_t size) {
  return kind == 0 ? test::TileLikeBytes(size, 7) : RandomBytes(size, 7);
}

CompressionFormat FormatArg(int64_t arg) {
  return arg == 0 ? CompressionFormat::Nemesis : CompressionFormat::Kosinski;
}

void SetLabel(benchmark::State& state, CompressionFormat format, int kind) {
  state.SetLabel(std::string(CompressionInfo(format).ShortName) +
                 (kind == 0 ? " tile-like" : " random"));
}

void BM_Decompress(benchmark::State& state) {
  const CompressionFormat format = FormatArg(state.range(0));
  const int kind = static_cast<int>(state.range(1));
  const Bytes data = Sample(kind, 64u << 10);
  const Bytes stream = *Compress(format, data);
  for (auto _ : state) {
    DecompressResult result = Decompress(format, stream);
    benchmark::DoNotOptimize(result.Bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
  state.counters["ratio"] = static_cast<double>(stream.size()) / static_cast<double>(data.size());
  SetLabel(state, format, kind);
}
BENCHMARK(BM_Decompress)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_Compress(benchmark::State& state) {
  const CompressionFormat format = FormatArg(state.range(0));
  const int kind = static_cast<int>(state.range(1));
  const Bytes data = Sample(kind, static_cast<size_t>(state.range(2)));
  size_t size = 0;
  for (auto _ : state) size = Compress(format, data)->size();
  const size_t reference = format == CompressionFormat::Nemesis
                               ? test::StraightforwardNemesis(data).size()
                               : test::GreedyKosinski(data).size();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
  state.counters["bytes"] = static_cast<double>(size);
  state.counters["greedy_bytes"] = static_cast<double>(reference);
  state.counters["saved_%"] =
      100.0 * (1.0 - static_cast<double>(size) / static_cast<double>(reference));
  SetLabel(state, format, kind);
}
BENCHMARK(BM_Compress)
    ->ArgsProduct({{0, 1}, {0, 1}, {8u << 10, 64u << 10}})
    ->Unit(benchmark::kMillisecond);

void ScanOnce(benchmark::State& state, const Bytes& image, CompressionFormat format) {
  const CompressionFormat formats[] = {format};
  size_t finds = 0;
  for (auto _ : state) finds = ScanForStreams(image, formats).size();
  state.counters["finds"] = static_cast<double>(finds);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}

// False finds on 16 MiB of random bytes.
void BM_ScanRandom(benchmark::State& state) {
  const CompressionFormat format = FormatArg(state.range(0));
  ScanOnce(state, RandomBytes(16u << 20, static_cast<uint32_t>(state.range(1))), format);
  state.SetLabel(std::string(CompressionInfo(format).ShortName) + " random 16 MiB");
}
BENCHMARK(BM_ScanRandom)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// 4 MiB of what a ROM holds besides compressed streams. Arg 1: 0 = 00 fill, 1 = FF fill,
// 2 = FF 00 repeated, 3 = a random 16-byte pattern repeated, 4 = bytes 00-FF counting up,
// 5 = uncompressed tile-like graphics.
void BM_ScanPathological(benchmark::State& state) {
  const CompressionFormat format = FormatArg(state.range(0));
  const int kind = static_cast<int>(state.range(1));
  constexpr size_t kSize = 4u << 20;
  Bytes image(kSize);
  const Bytes pattern = RandomBytes(16, 3);
  const Bytes tiles = kind == 5 ? test::TileLikeBytes(kSize, 5) : Bytes{};
  for (size_t i = 0; i < kSize; ++i) {
    switch (kind) {
      case 0:
        image[i] = 0x00;
        break;
      case 1:
        image[i] = 0xFF;
        break;
      case 2:
        image[i] = i % 2 == 0 ? 0xFF : 0x00;
        break;
      case 3:
        image[i] = pattern[i % 16];
        break;
      case 4:
        image[i] = static_cast<uint8_t>(i);
        break;
      default:
        image[i] = tiles[i];
        break;
    }
  }
  ScanOnce(state, image, format);
  const char* names[] = {"00 fill", "FF fill", "FF 00", "16-byte pattern", "counting", "tiles"};
  state.SetLabel(std::string(CompressionInfo(format).ShortName) + " " + names[kind] + " 4 MiB");
}
BENCHMARK(BM_ScanPathological)
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4, 5}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnock
