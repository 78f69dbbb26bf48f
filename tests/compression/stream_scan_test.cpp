#include "compression/stream_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "support/test_files.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
using F = CompressionFormat;
constexpr F kGbaFormats[] = {F::Lz10, F::Lz11, F::Rle30, F::Huffman};

// Tile rows in a few colours, repeated now and then: what the formats are made for.
Bytes Graphics(size_t size, uint32_t seed) {
  Bytes bytes = test::PatternBytes(size, seed);
  for (size_t i = 0; i < size; ++i) {
    bytes[i] &= 0x33;
    if (i >= 8 && bytes[i] % 3 == 0) bytes[i] = bytes[i - 8];
  }
  return bytes;
}

struct Plant {
  size_t Offset;
  F Format;
  Bytes Stream;
  size_t Decompressed;
  int Variant;
};

Plant Planted(size_t offset, F format, const Bytes& data, int variant = 0) {
  return {offset, format, *Compress(format, data, variant), data.size(), variant};
}

Bytes ImageWith(const std::vector<Plant>& plants, size_t size) {
  Bytes image = test::PatternBytes(size, 77);
  for (const Plant& p : plants)
    std::copy(p.Stream.begin(), p.Stream.end(), image.begin() + static_cast<ptrdiff_t>(p.Offset));
  return image;
}

std::vector<size_t> Offsets(const std::vector<StreamFind>& finds) {
  std::vector<size_t> offsets;
  for (const StreamFind& find : finds) offsets.push_back(find.Offset);
  return offsets;
}

TEST(StreamScanTest, PlantedStreamsAreFoundWhereTheyStart) {
  // A run of 64 is the shortest stream listed; 63 bytes are too few to be graphics.
  const Bytes run64 = {0x30, 64, 0, 0, 0xBD, 'q'};
  const Bytes run63 = {0x30, 63, 0, 0, 0xBC, 'q'};
  const std::vector<Plant> found = {
      Planted(0x0000, F::Lz10, Graphics(3000, 1)),
      Planted(0x1004, F::Lz11, Graphics(9000, 2)),
      Planted(0x4000, F::Rle30, Bytes(500, 0x11)),
      Planted(0x5008, F::Huffman, Graphics(2000, 3), 4),
      Planted(0x6000, F::Huffman, Graphics(2000, 4), 8),
      {0x7000, F::Rle30, run64, 64, 0},
  };
  std::vector<Plant> all = found;
  all.push_back({0x7100, F::Rle30, run63, 63, 0});
  all.push_back(Planted(0x7201, F::Lz10, Graphics(3000, 5)));  // not on a word
  all.push_back(Planted(0x8002, F::Huffman, Graphics(3000, 6)));
  const Bytes image = ImageWith(all, 0x9000);

  const std::vector<StreamFind> finds = ScanForStreams(image, kGbaFormats);
  ASSERT_EQ(finds.size(), found.size());
  for (size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(finds[i].Offset, found[i].Offset);
    EXPECT_EQ(finds[i].Format, found[i].Format);
    EXPECT_EQ(finds[i].CompressedLength, found[i].Stream.size());
    EXPECT_EQ(finds[i].DecompressedLength, found[i].Decompressed);
    EXPECT_EQ(finds[i].Variant, found[i].Variant);
  }
}

TEST(StreamScanTest, OnlyTheChosenFormatsAreLookedFor) {
  const std::vector<Plant> plants = {Planted(0x100, F::Lz10, Graphics(2000, 1)),
                                     Planted(0x1000, F::Rle30, Graphics(2000, 2))};
  const Bytes image = ImageWith(plants, 0x2000);
  const F rleOnly[] = {F::Rle30};
  EXPECT_EQ(Offsets(ScanForStreams(image, rleOnly)), std::vector<size_t>{0x1000});
  EXPECT_TRUE(ScanForStreams(image, {}).empty());
}

TEST(StreamScanTest, AFindsBytesAreNotSearchedAgain) {
  // An RLE stream whose literal block holds, at a word offset, a whole other RLE stream.
  const Bytes inner = {0x30, 64, 0, 0, 0xBD, 'q'};
  Bytes literals = test::PatternBytes(100, 5);
  std::copy(inner.begin(), inner.end(), literals.begin() + 3);  // at outer offset 8
  Bytes outer = {0x30, 100, 0, 0, 99};
  outer.insert(outer.end(), literals.begin(), literals.end());
  const std::vector<Plant> plants = {{0x200, F::Rle30, outer, 100, 0}};
  const Bytes image = ImageWith(plants, 0x400);

  ASSERT_TRUE(Decompress(F::Rle30, std::span(image).subspan(0x208)).ok());
  const std::vector<StreamFind> finds = ScanForStreams(image, kGbaFormats);
  EXPECT_EQ(Offsets(finds), std::vector<size_t>{0x200});
}

TEST(StreamScanTest, ProgressIsReportedAndFalseCancels) {
  const std::vector<Plant> plants = {Planted(0x100, F::Lz10, Graphics(2000, 1)),
                                     Planted(0x30000, F::Lz11, Graphics(2000, 2))};
  const Bytes image = ImageWith(plants, 0x40000);
  struct Case {
    const char* name;
    size_t stopAt;  // the first report at or past this returns false
    std::vector<size_t> offsets;
    bool lastIsWhole;
  };
  const Case cases[] = {
      {"never stopped", SIZE_MAX, {0x100, 0x30000}, true},
      {"stopped at once", 0, {}, false},
      {"stopped halfway", 0x20000, {0x100}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<size_t, size_t>> reports;
    const auto finds = ScanForStreams(image, kGbaFormats, [&](size_t done, size_t total) {
      reports.emplace_back(done, total);
      return done < c.stopAt;
    });
    EXPECT_EQ(Offsets(finds), c.offsets);
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    for (const auto& [done, total] : reports) EXPECT_EQ(total, image.size());
    EXPECT_EQ(reports.back().first == image.size(), c.lastIsWhole);
    // Nothing is reported after the answer that stopped the scan.
    if (c.stopAt != SIZE_MAX) {
      EXPECT_GE(reports.back().first, c.stopAt);
    }
    EXPECT_GE(reports.size(), c.lastIsWhole ? 4u : 1u);
  }
}

}  // namespace
}  // namespace varnock
