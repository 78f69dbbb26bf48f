// The GBA/DS system formats: decompression in MB/s of output, compression in MB/s of input
// with the stream's size next to a greedy parse's, the scan of a 32 MiB GBA-like image for the
// four formats (random bytes with planted streams; the same with long runs of 0x00 and 0xFF;
// the same with repeated short patterns), and the false finds on 16 MiB of random bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "compression/compression.h"
#include "compression/gba_formats.h"
#include "compression/stream_scan.h"

namespace varnock {
namespace {

constexpr CompressionFormat kGbaFormats[] = {CompressionFormat::Lz10, CompressionFormat::Lz11,
                                             CompressionFormat::Rle30, CompressionFormat::Huffman};

// 4-bit tiles as games have them: blank and one-colour tiles, tiles repeated from earlier,
// and drawn tiles whose rows often repeat the row above, in a few colours each.
std::vector<uint8_t> TileLikeBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes;
  bytes.reserve(size + 32);
  while (bytes.size() < size) {
    const size_t tiles = bytes.size() / 32;
    const uint32_t kind = random() % 10;
    if (kind < 2) {
      const uint8_t colour = static_cast<uint8_t>(kind == 0 ? 0 : (random() % 16) * 0x11);
      bytes.insert(bytes.end(), 32, colour);
    } else if (kind < 5 && tiles > 0) {
      const size_t from = (tiles - 1 - random() % std::min<size_t>(tiles, 64)) * 32;
      for (size_t i = 0; i < 32; ++i) bytes.push_back(bytes[from + i]);
    } else {
      uint8_t colours[4];
      for (uint8_t& c : colours) c = static_cast<uint8_t>(random() % 16);
      for (int row = 0; row < 8; ++row) {
        if (row > 0 && random() % 2 == 0) {
          for (int i = 0; i < 4; ++i) bytes.push_back(bytes[bytes.size() - 4]);
          continue;
        }
        for (int i = 0; i < 4; ++i)
          bytes.push_back(static_cast<uint8_t>(colours[random() % 4] | colours[random() % 4] << 4));
      }
    }
  }
  bytes.resize(size);
  return bytes;
}

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

std::vector<uint8_t> Data(int kind, size_t size) {
  return kind == 0 ? TileLikeBytes(size, 7) : RandomBytes(size, 7);
}

const char* DataName(int kind) {
  return kind == 0 ? "tile-like" : "random";
}

void BM_GbaDecompress(benchmark::State& state) {
  const auto format = kGbaFormats[state.range(0)];
  const std::vector<uint8_t> data = Data(static_cast<int>(state.range(1)), 1u << 20);
  const std::vector<uint8_t> stream = *Compress(format, data);
  for (auto _ : state) {
    DecompressResult result = Decompress(format, stream);
    benchmark::DoNotOptimize(result.Bytes.data());
    if (result.Bytes.size() != data.size()) state.SkipWithError("the stream does not decode");
  }
  state.SetLabel(std::string(CompressionInfo(format).DisplayName) + ", " +
                 DataName(static_cast<int>(state.range(1))));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void BM_GbaCompress(benchmark::State& state) {
  const auto format = kGbaFormats[state.range(0)];
  const std::vector<uint8_t> data = Data(static_cast<int>(state.range(1)), 256u << 10);
  size_t size = 0;
  for (auto _ : state) size = Compress(format, data)->size();
  const std::optional<std::vector<uint8_t>> greedy = CompressGbaFormatGreedy(format, data);
  state.SetLabel(std::string(CompressionInfo(format).DisplayName) + ", " +
                 DataName(static_cast<int>(state.range(1))));
  state.counters["bytes"] = static_cast<double>(size);
  state.counters["ratio"] = static_cast<double>(size) / static_cast<double>(data.size());
  if (greedy) {
    state.counters["greedy_bytes"] = static_cast<double>(greedy->size());
    state.counters["saved_over_greedy"] =
        1.0 - static_cast<double>(size) / static_cast<double>(greedy->size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

struct ScanImage {
  std::vector<uint8_t> Bytes;
  std::vector<size_t> Planted;
};

// 32 MiB of random bytes with a stream of each format every 256 KiB or so; `filler` 1 lays
// long runs of 0x00 and 0xFF between them, 2 repeats short patterns (a 16-byte record, a
// 4-byte pointer-like word, a tile) over long stretches.
ScanImage GbaLikeImage(int filler) {
  ScanImage image{RandomBytes(32u << 20, 11), {}};
  std::mt19937 random(5);
  size_t offset = 4096;
  int next = 0;
  while (offset + (64u << 10) < image.Bytes.size()) {
    if (filler != 0) {
      const size_t stretch = std::min<size_t>(96u << 10, image.Bytes.size() - offset - (64u << 10));
      for (size_t i = 0; i < stretch; ++i) {
        if (filler == 1) {
          image.Bytes[offset + i] = (offset / stretch) % 2 == 0 ? 0x00 : 0xFF;
        } else {
          static const uint8_t kRecord[16] = {0x30, 0x10, 0x00, 0x08, 0x24, 0x00, 0x01, 0x00,
                                              0x11, 0x40, 0x00, 0x00, 0x10, 0x80, 0x00, 0x00};
          image.Bytes[offset + i] = kRecord[(i + offset / 7) % 16];
        }
      }
      offset += stretch;
    }
    const CompressionFormat format = kGbaFormats[next++ % 4];
    const std::vector<uint8_t> data = TileLikeBytes(1024 + random() % (31u << 10), random());
    const std::vector<uint8_t> stream = *Compress(format, data);
    std::copy(stream.begin(), stream.end(), image.Bytes.begin() + static_cast<ptrdiff_t>(offset));
    image.Planted.push_back(offset);
    offset = (offset + stream.size() + (128u << 10) + random() % 4096) & ~size_t{3};
  }
  return image;
}

void BM_GbaScan(benchmark::State& state) {
  const ScanImage image = GbaLikeImage(static_cast<int>(state.range(0)));
  std::vector<StreamFind> finds;
  for (auto _ : state) finds = ScanForStreams(image.Bytes, kGbaFormats);
  size_t found = 0;
  for (const StreamFind& find : finds)
    found += std::binary_search(image.Planted.begin(), image.Planted.end(), find.Offset);
  static const char* const kNames[] = {"random bytes", "with 0x00/0xFF runs",
                                       "with repeated patterns"};
  state.SetLabel(kNames[state.range(0)]);
  state.counters["planted"] = static_cast<double>(image.Planted.size());
  state.counters["planted_found"] = static_cast<double>(found);
  state.counters["other_finds"] = static_cast<double>(finds.size() - found);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.Bytes.size()));
}

void BM_GbaFalseFinds(benchmark::State& state) {
  const auto format = kGbaFormats[state.range(0)];
  const std::vector<uint8_t> image = RandomBytes(16u << 20, 23);
  const CompressionFormat formats[] = {format};
  size_t finds = 0;
  for (auto _ : state) finds = ScanForStreams(image, formats).size();
  state.SetLabel(CompressionInfo(format).DisplayName);
  state.counters["false_finds"] = static_cast<double>(finds);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}

void FormatsAndData(benchmark::internal::Benchmark* b) {
  for (int format = 0; format < 4; ++format)
    for (int kind = 0; kind < 2; ++kind) b->Args({format, kind});
}

BENCHMARK(BM_GbaDecompress)->Apply(FormatsAndData)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GbaCompress)->Apply(FormatsAndData)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GbaScan)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GbaFalseFinds)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace varnock
