// The scan as a user meets it, over every format: planted streams found at their first byte
// (after random bytes, after zeros, after 0xFF padding and right after another stream), false
// finds per MiB of random bytes with each console's default formats before and after the
// score threshold, the time of 32 MiB for each console's defaults and for each format, crafted
// repeating patterns against random bytes, and 64 MiB with every format.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "../tests/support/sega_reference.h"
#include "compression/compression.h"
#include "compression/scan_presets.h"
#include "compression/stream_scan.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(size_t size, uint64_t seed) {
  std::mt19937_64 random(seed);
  Bytes bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

struct Console {
  const char* Name;
  const char* Extension;
  size_t TileBytes;
};

constexpr Console kConsoles[] = {
    {"GBA", ".GBA", 32}, {"SNES", ".SMC", 32}, {"Game Boy", ".GB", 16}, {"Genesis", ".MD", 32}};

std::vector<CompressionFormat> EveryFormat() {
  std::vector<CompressionFormat> formats;
  for (const CompressionFormatInfo& info : AllCompressionFormats()) formats.push_back(info.Format);
  return formats;
}

// The console whose games use `format`, and so whose defaults a user scans with.
const Console& ConsoleOf(CompressionFormat format) {
  switch (format) {
    case CompressionFormat::Lz10:
    case CompressionFormat::Lz11:
    case CompressionFormat::Rle30:
    case CompressionFormat::Huffman:
      return kConsoles[0];
    case CompressionFormat::Lz3:
      return kConsoles[2];
    case CompressionFormat::Nemesis:
    case CompressionFormat::Kosinski:
      return kConsoles[3];
    default:
      return kConsoles[1];
  }
}

// Tiles as the console stores them: 4-bit packed for GBA and Genesis, SNES 4-bit planar for
// the SNES formats, Game Boy 2-bit planar for LZ3; pixels from the shared tile-like picture.
Bytes TilesFor(CompressionFormat format, size_t tiles, uint32_t seed) {
  const Bytes packed = test::TileLikeBytes(tiles * 32, seed);
  const Console& console = ConsoleOf(format);
  if (&console == &kConsoles[0] || &console == &kConsoles[3]) return packed;
  const bool gameBoy = console.TileBytes == 16;
  Bytes planar(tiles * console.TileBytes, 0);
  for (size_t t = 0; t < tiles; ++t)
    for (size_t row = 0; row < 8; ++row)
      for (size_t x = 0; x < 8; ++x) {
        const uint8_t byte = packed[t * 32 + row * 4 + x / 2];
        const unsigned pixel = x % 2 == 0 ? byte >> 4 : byte & 15;
        const auto bit = static_cast<uint8_t>(0x80 >> x);
        uint8_t* tile = planar.data() + t * console.TileBytes;
        for (unsigned plane = 0; plane < (gameBoy ? 2u : 4u); ++plane)
          if (pixel & (1u << plane)) tile[(plane / 2) * 16 + row * 2 + plane % 2] |= bit;
      }
  return planar;
}

// What lies right before a planted stream.
enum class Before { Random, Zeros, Padding, Stream };
constexpr int kContexts = 4;
const char* const kContextNames[] = {"random", "zeros", "ff", "stream"};

struct Plant {
  size_t Offset;
  Before Context;
};

struct PlantedImage {
  std::vector<uint8_t> Bytes;
  std::vector<Plant> Plants;
};

// 8 MiB of random bytes with 160 streams of `format`, 40 after each context, 256 bytes to 256
// tiles each; every stream starts on a 4-byte boundary for the GBA formats and anywhere for
// the others.
PlantedImage PlantStreams(CompressionFormat format) {
  PlantedImage image{RandomBytes(8u << 20, 31), {}};
  std::mt19937 random(static_cast<uint32_t>(format) + 7);
  const size_t alignment = static_cast<size_t>(CompressionInfo(format).Alignment);
  // Graphics, not a blank picture: a few small pictures of the generator have no shape.
  // No fewer tiles than the list shows by default (256 bytes), at most 256.
  const size_t least = kDefaultMinimumStreamSize / ConsoleOf(format).TileBytes;
  const auto stream = [&] {
    const size_t tiles = least + random() % (257 - least);
    Bytes data;
    do {
      data = TilesFor(format, tiles, random());
    } while (std::set<uint8_t>(data.begin(), data.end()).size() < 8);
    return *Compress(format, data);
  };
  size_t at = 4096;
  for (int k = 0; k < 160; ++k) {
    const auto context = static_cast<Before>(k % kContexts);
    at += 256 + random() % 4096;
    if (context == Before::Zeros || context == Before::Padding)
      std::fill_n(image.Bytes.begin() + static_cast<ptrdiff_t>(at), 256,
                  context == Before::Zeros ? 0x00 : 0xFF);
    at += 256;
    if (context == Before::Stream) {
      const Bytes first = stream();
      at = (at + alignment - 1) / alignment * alignment;
      std::copy(first.begin(), first.end(), image.Bytes.begin() + static_cast<ptrdiff_t>(at));
      at += first.size();
    }
    at = (at + alignment - 1) / alignment * alignment;
    const Bytes planted = stream();
    std::copy(planted.begin(), planted.end(), image.Bytes.begin() + static_cast<ptrdiff_t>(at));
    image.Plants.push_back({at, context});
    at += planted.size();
  }
  return image;
}

// Arg: the format's row. Counters: the share of planted streams found at their first byte,
// per context and in all, those only found from another offset, and the other finds.
void ScanExactStarts(benchmark::State& state) {
  const CompressionFormat format =
      AllCompressionFormats()[static_cast<size_t>(state.range(0))].Format;
  const Console& console = ConsoleOf(format);
  const PlantedImage image = PlantStreams(format);
  const std::vector<CompressionFormat> formats = ScanFormatsForExtension(console.Extension);
  std::vector<StreamFind> finds;
  for (auto _ : state) finds = ScanForStreams(image.Bytes, formats, ScanOptions{console.TileBytes});
  std::array<double, kContexts> exact{}, planted{};
  double shifted = 0, found = 0, listed = 0;
  for (const Plant& plant : image.Plants) {
    const auto context = static_cast<size_t>(plant.Context);
    planted[context] += 1;
    const bool atStart = std::any_of(finds.begin(), finds.end(), [&](const StreamFind& f) {
      return f.Format == format && f.Offset == plant.Offset && IsFindShown(f);
    });
    exact[context] += atStart;
    found += atStart;
    listed += std::any_of(finds.begin(), finds.end(), [&](const StreamFind& f) {
      return f.Format == format && f.Offset == plant.Offset;
    });
    shifted += !atStart && std::any_of(finds.begin(), finds.end(), [&](const StreamFind& f) {
      return f.Format == format && f.Offset != plant.Offset && f.Offset < plant.Offset + 16 &&
             f.Offset + f.CompressedLength > plant.Offset;
    });
  }
  for (int c = 0; c < kContexts; ++c)
    state.counters[std::string("exact_after_") + kContextNames[c] + "_%"] =
        100.0 * exact[static_cast<size_t>(c)] / planted[static_cast<size_t>(c)];
  state.counters["exact_%"] = 100.0 * found / static_cast<double>(image.Plants.size());
  state.counters["exact_below_threshold_too_%"] =
      100.0 * listed / static_cast<double>(image.Plants.size());
  state.counters["from_another_offset"] = shifted;
  state.counters["shown_finds"] = static_cast<double>(std::count_if(
      finds.begin(), finds.end(), [](const StreamFind& f) { return IsFindShown(f); }));
  state.SetLabel(std::string(CompressionInfo(format).DisplayName) + ", " + console.Name +
                 " defaults");
}
BENCHMARK(ScanExactStarts)
    ->DenseRange(0, kCompressionFormatCount - 1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The sets of formats the time and false-find benchmarks scan with: each console's defaults,
// every format, then each format alone.
constexpr int kSetCount = 5 + kCompressionFormatCount;

std::vector<CompressionFormat> FormatSet(int set, std::string& name, size_t& tileBytes) {
  tileBytes = 32;
  if (set < 4) {
    name = std::string(kConsoles[set].Name) + " defaults";
    tileBytes = kConsoles[set].TileBytes;
    return ScanFormatsForExtension(kConsoles[set].Extension);
  }
  if (set == 4) {
    name = "every format";
    return EveryFormat();
  }
  const CompressionFormat format = AllCompressionFormats()[static_cast<size_t>(set - 5)].Format;
  name = CompressionInfo(format).DisplayName;
  return {format};
}

void ScanOnce(benchmark::State& state, const Bytes& image, int set, const std::string& what) {
  std::string name;
  size_t tileBytes = 0;
  const std::vector<CompressionFormat> formats = FormatSet(set, name, tileBytes);
  std::vector<StreamFind> finds;
  for (auto _ : state) finds = ScanForStreams(image, formats, ScanOptions{tileBytes});
  const double mib = static_cast<double>(image.size()) / (1u << 20);
  state.counters["finds_per_MiB"] = static_cast<double>(finds.size()) / mib;
  state.counters["shown_per_MiB"] =
      static_cast<double>(std::count_if(finds.begin(), finds.end(),
                                        [](const StreamFind& f) { return IsFindShown(f); })) /
      mib;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
  state.SetLabel(what + ", " + name);
}

// 32 MiB of random bytes: the time of a scan and the false finds it lists.
void ScanRandom(benchmark::State& state) {
  static const Bytes image = RandomBytes(32u << 20, 2025);
  ScanOnce(state, image, static_cast<int>(state.range(0)), "random 32 MiB");
}
BENCHMARK(ScanRandom)->DenseRange(0, kSetCount - 1)->Iterations(1)->Unit(benchmark::kMillisecond);

// Repeating patterns that make decoders walk far from every offset.
struct Pattern {
  const char* Name;
  Bytes Unit;
};

std::vector<Pattern> CraftedPatterns() {
  Bytes counting(256);
  for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>(i);
  return {
      {"21 22 22 21", {0x21, 0x22, 0x22, 0x21}},
      {"00", {0x00}},
      {"FF", {0xFF}},
      {"00 FF", {0x00, 0xFF}},
      {"counting", counting},
      {"16-byte record", RandomBytes(16, 5)},
      {"one tile", test::TileLikeBytes(32, 3)},
      {"text", {'T', 'H', 'E', ' ', 'K', 'I', 'N', 'G', ' ', 0x00}},
  };
}

Bytes Repeated(const Bytes& unit, size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = unit[i % unit.size()];
  return bytes;
}

// Args: the pattern, the size in KiB. Every format.
void ScanCrafted(benchmark::State& state) {
  const Pattern pattern = CraftedPatterns()[static_cast<size_t>(state.range(0))];
  const Bytes image = Repeated(pattern.Unit, static_cast<size_t>(state.range(1)) << 10);
  ScanOnce(state, image, 4,
           std::string(pattern.Name) + " " + std::to_string(state.range(1) >> 10) + " MiB");
}
BENCHMARK(ScanCrafted)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 7, 1), {32 << 10}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// 64 MiB with every format: random bytes, and the first crafted pattern.
void ScanLarge(benchmark::State& state) {
  const Bytes image = state.range(0) == 0 ? RandomBytes(64u << 20, 99)
                                          : Repeated(CraftedPatterns()[0].Unit, 64u << 20);
  ScanOnce(state, image, 4, state.range(0) == 0 ? "random 64 MiB" : "21 22 22 21 64 MiB");
}
BENCHMARK(ScanLarge)->DenseRange(0, 1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnock
