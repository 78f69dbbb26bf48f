// The Nintendo SNES and Game Boy formats (LC_LZ2, LC_LZ5, LZ3, HAL): decompression speed in
// bytes of output, compression speed and size against the greedy parse, the scan of a 4 MiB
// SNES-like image (random bytes with planted streams, and variants with long 0x00/0xFF runs
// and repeated patterns) and the false finds on 16 MiB of random bytes per format.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "compression/compression.h"
#include "compression/nintendo_lz_encode.h"
#include "compression/nintendo_lz_layout.h"
#include "compression/stream_scan.h"

namespace varnock {
namespace {

constexpr std::array<CompressionFormat, 4> kFormats{CompressionFormat::Lz2, CompressionFormat::Lz5,
                                                    CompressionFormat::Lz3, CompressionFormat::Hal};

CompressionFormat FormatArg(const benchmark::State& state) {
  return kFormats[static_cast<size_t>(state.range(0))];
}

// A sprite sheet in SNES 4 bits per pixel: a blank background with filled, outlined boxes
// and discs, some drawn mirrored, cut into 8 x 8 tiles of 32 bytes.
std::vector<uint8_t> TileLikeBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  const int width = 128;
  const int height = static_cast<int>((size / 32 + 15) / 16) * 8;
  std::vector<uint8_t> pixels(static_cast<size_t>(width * height), 0);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int shape = 0; shape < width * height / 300; ++shape) {
    const int cx = pick(0, width - 1), cy = pick(0, height - 1), r = pick(3, 12);
    const int fill = pick(2, 15);
    const bool disc = pick(0, 1) == 1, mirrored = pick(0, 3) == 0;
    for (int y = cy - r; y <= cy + r; ++y)
      for (int x = cx - r; x <= cx + r; ++x) {
        if (x < 0 || y < 0 || x >= width || y >= height) continue;
        const int dx = x - cx, dy = y - cy;
        const int d2 = dx * dx + dy * dy;
        const bool inside = disc ? d2 <= r * r : true;
        const bool edge = disc ? d2 > (r - 1) * (r - 1) : (std::abs(dx) == r || std::abs(dy) == r);
        if (!inside) continue;
        const int px = mirrored ? 2 * cx - x : x;
        if (px < 0 || px >= width) continue;
        pixels[static_cast<size_t>(y * width + px)] = static_cast<uint8_t>(edge ? 1 : fill);
      }
  }
  std::vector<uint8_t> bytes;
  for (int ty = 0; ty + 8 <= height && bytes.size() < size; ty += 8)
    for (int tx = 0; tx < width && bytes.size() < size; tx += 8) {
      std::array<uint8_t, 32> tile{};
      for (int row = 0; row < 8; ++row)
        for (int x = 0; x < 8; ++x) {
          const int p = pixels[static_cast<size_t>((ty + row) * width + tx + x)];
          for (int plane = 0; plane < 4; ++plane)
            if (p & (1 << plane))
              tile[static_cast<size_t>((plane / 2) * 16 + row * 2 + plane % 2)] |=
                  static_cast<uint8_t>(0x80 >> x);
        }
      bytes.insert(bytes.end(), tile.begin(), tile.end());
    }
  bytes.resize(size);
  return bytes;
}

std::vector<uint8_t> RandomBytes(size_t size, uint64_t seed) {
  std::mt19937_64 random(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

void NintendoDecompress(benchmark::State& state) {
  const CompressionFormat format = FormatArg(state);
  const std::vector<uint8_t> data = TileLikeBytes(16 << 10, 5);
  const std::vector<uint8_t> stream = *Compress(format, data);
  size_t produced = 0;
  for (auto _ : state) {
    const DecompressResult result = Decompress(format, stream);
    benchmark::DoNotOptimize(result.Bytes.data());
    produced += result.Bytes.size();
    if (result.Bytes != data) state.SkipWithError("round trip failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(produced));
  state.SetLabel(CompressionInfo(format).DisplayName);
}
BENCHMARK(NintendoDecompress)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Arguments: format, then 0 for tile-like data or 1 for random bytes; 16 KiB of each.
void NintendoCompress(benchmark::State& state) {
  const CompressionFormat format = FormatArg(state);
  const bool random = state.range(1) == 1;
  const std::vector<uint8_t> data = random ? RandomBytes(16 << 10, 9) : TileLikeBytes(16 << 10, 9);
  size_t size = 0;
  for (auto _ : state) {
    const auto stream = Compress(format, data);
    benchmark::DoNotOptimize(stream->data());
    size = stream->size();
  }
  const size_t greedy = CompressNintendoStreamGreedy(NintendoLayoutOf(format), data)->size();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
  state.counters["optimal_bytes"] = static_cast<double>(size);
  state.counters["greedy_bytes"] = static_cast<double>(greedy);
  state.counters["optimal_over_greedy"] = static_cast<double>(size) / static_cast<double>(greedy);
  state.SetLabel(std::string(CompressionInfo(format).DisplayName) +
                 (random ? " random" : " tiles"));
}
BENCHMARK(NintendoCompress)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);

// A 4 MiB SNES-like image: random bytes with 64 streams planted, 16 of each format. Variant
// 1 turns a quarter of the image into long runs of 0x00 and 0xFF, variant 2 a quarter into
// repeated patterns (a tile, a 16-byte row, text-like words).
struct ScanImage {
  std::vector<uint8_t> Bytes;
  std::vector<size_t> Planted;
};

ScanImage MakeScanImage(int variant) {
  ScanImage image{RandomBytes(4 << 20, 77), {}};
  std::mt19937 random(static_cast<uint32_t>(variant) + 1);
  std::vector<uint8_t>& bytes = image.Bytes;
  const auto region = [&](size_t length) {
    return std::uniform_int_distribution<size_t>(0, bytes.size() - length)(random);
  };
  if (variant == 1) {
    for (int k = 0; k < 32; ++k) {
      const size_t length = std::uniform_int_distribution<size_t>(4 << 10, 60 << 10)(random);
      const size_t at = region(length);
      std::fill_n(bytes.begin() + static_cast<ptrdiff_t>(at), length, k % 2 ? 0xFF : 0x00);
    }
  } else if (variant == 2) {
    const std::vector<uint8_t> tile = TileLikeBytes(32, 3);
    const std::vector<uint8_t> text = {'T', 'H', 'E', ' ', 'K', 'I', 'N', 'G', ' ', 0x00};
    for (int k = 0; k < 32; ++k) {
      const size_t length = std::uniform_int_distribution<size_t>(4 << 10, 60 << 10)(random);
      const size_t at = region(length);
      const std::vector<uint8_t>& unit = k % 3 == 0 ? tile
                                         : k % 3 == 1
                                             ? std::vector<uint8_t>(tile.begin(), tile.begin() + 16)
                                             : text;
      for (size_t i = 0; i < length; ++i) bytes[at + i] = unit[i % unit.size()];
    }
  }
  for (int k = 0; k < 64; ++k) {
    const std::vector<uint8_t> stream =
        *Compress(kFormats[static_cast<size_t>(k % 4)], TileLikeBytes(4 << 10, 100 + k));
    const size_t at = static_cast<size_t>(k) * (bytes.size() / 64) + 1000;
    std::copy(stream.begin(), stream.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
    image.Planted.push_back(at);
  }
  return image;
}

void NintendoScan(benchmark::State& state) {
  const ScanImage image = MakeScanImage(static_cast<int>(state.range(0)));
  std::vector<StreamFind> finds;
  for (auto _ : state) {
    finds = ScanForStreams(image.Bytes, kFormats);
    benchmark::DoNotOptimize(finds.data());
  }
  // A planted stream is found at its offset, or lies inside a find that starts earlier: bytes
  // before it that happen to decode and run into it.
  size_t found = 0, swallowed = 0;
  for (size_t at : image.Planted) {
    found += std::any_of(finds.begin(), finds.end(),
                         [&](const StreamFind& f) { return f.Offset == at; });
    swallowed += std::any_of(finds.begin(), finds.end(), [&](const StreamFind& f) {
      return f.Offset < at && f.Offset + f.CompressedLength > at;
    });
  }
  state.counters["finds"] = static_cast<double>(finds.size());
  state.counters["planted_found"] = static_cast<double>(found);
  state.counters["planted_in_earlier_find"] = static_cast<double>(swallowed);
  state.counters["planted"] = static_cast<double>(image.Planted.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.Bytes.size()));
  const char* names[] = {"random", "runs of 00/FF", "repeated patterns"};
  state.SetLabel(names[state.range(0)]);
}
BENCHMARK(NintendoScan)->DenseRange(0, 2)->Iterations(2)->Unit(benchmark::kMillisecond);

void NintendoFalseFinds(benchmark::State& state) {
  const CompressionFormat format = FormatArg(state);
  const std::vector<uint8_t> bytes = RandomBytes(16 << 20, 2024);
  const std::array<CompressionFormat, 1> one{format};
  size_t finds = 0;
  for (auto _ : state) finds = ScanForStreams(bytes, one).size();
  state.counters["false_finds_in_16MiB"] = static_cast<double>(finds);
  state.SetLabel(CompressionInfo(format).DisplayName);
}
BENCHMARK(NintendoFalseFinds)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnock
