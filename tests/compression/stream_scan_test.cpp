#include "compression/stream_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/sega_reference.h"
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

// Streams of one format, each right after bytes of one kind, in SNES planar 4-bit tiles.
struct Context {
  const char* name;
  int fill;  // the byte of 64 bytes of padding before, or -1
  bool stream;
};

Bytes PlanarTiles(size_t tiles, uint32_t seed) {
  const Bytes packed = test::TileLikeBytes(tiles * 32, seed);
  Bytes planar(packed.size(), 0);
  for (size_t i = 0; i < packed.size() * 2; ++i) {
    const unsigned pixel = i % 2 == 0 ? packed[i / 2] >> 4 : packed[i / 2] & 15;
    const size_t tile = i / 64, row = i / 8 % 8, x = i % 8;
    for (unsigned plane = 0; plane < 4; ++plane)
      if (pixel & (1u << plane))
        planar[tile * 32 + (plane / 2) * 16 + row * 2 + plane % 2] |= uint8_t(0x80 >> x);
  }
  return planar;
}

TEST(StreamScanTest, StreamsWithoutHeaderAreFoundAtTheirFirstByte) {
  const F formats[] = {F::Lz2, F::Lz1, F::Lz5, F::Lz3, F::Hal, F::Kosinski};
  const Context contexts[] = {{"after noise", -1, false},
                              {"after zeros", 0x00, false},
                              {"after FF padding", 0xFF, false},
                              {"after another stream", -1, true}};
  for (F format : formats) {
    for (const Context& context : contexts) {
      SCOPED_TRACE(std::string(CompressionInfo(format).ShortName) + " " + context.name);
      Bytes image = test::PatternBytes(24 * 0x1000, 21);
      std::vector<std::pair<size_t, size_t>> planted;  // where each stream starts and ends
      for (uint32_t k = 0; k < 24; ++k) {
        size_t at = k * 0x1000 + 64 + k % 5;
        if (context.fill >= 0)
          std::fill_n(image.begin() + static_cast<ptrdiff_t>(at), 64, uint8_t(context.fill));
        at += 64;
        const Bytes data =
            format == F::Kosinski ? test::TileLikeBytes(32 * (20 + k), k) : PlanarTiles(20 + k, k);
        if (context.stream) {
          const Bytes before = *Compress(format, PlanarTiles(8 + k, 100 + k));
          std::copy(before.begin(), before.end(), image.begin() + static_cast<ptrdiff_t>(at));
          at += before.size();
        }
        const Bytes stream = *Compress(format, data);
        ASSERT_LT(at + stream.size(), (k + 1) * 0x1000u);
        std::copy(stream.begin(), stream.end(), image.begin() + static_cast<ptrdiff_t>(at));
        planted.emplace_back(at, at + stream.size());
      }
      const std::vector<StreamFind> finds = ScanForStreams(image, std::span(&format, 1));
      // One find ends where each stream ends, and it starts where the stream starts: nothing
      // that only adds bytes before it is listed as well or instead. Bytes before a stream can
      // decode exactly like a stream's first commands; that may happen once here.
      size_t misses = 0;
      for (const auto& [at, end] : planted) {
        std::vector<size_t> starts;
        for (const StreamFind& f : finds)
          if (f.Offset + f.CompressedLength == end) starts.push_back(f.Offset);
        misses += starts != std::vector<size_t>{at};
      }
      EXPECT_LE(misses, 1u);
    }
  }
}

TEST(StreamScanTest, StreamsArePickedOutOfThePaddingThatDecodesIntoThem) {
  // Pictures whose streams the padding before them decodes into, a few bytes early: for
  // Kosinski FF padding, to fewer bytes than whole tiles, to more, or to as many; for LZ3 the
  // last zero, a literal of the stream's first byte, to whole tiles.
  struct Case {
    F format;
    uint8_t padding;
    uint32_t seed;
    size_t tiles;
  };
  const Case cases[] = {{F::Kosinski, 0xFF, 44, 12},  {F::Kosinski, 0xFF, 305, 33},
                        {F::Kosinski, 0xFF, 131, 19}, {F::Kosinski, 0xFF, 344, 32},
                        {F::Lz3, 0x00, 13, 21},       {F::Lz3, 0x00, 20, 28},
                        {F::Lz3, 0x00, 40, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(CompressionInfo(c.format).ShortName) + " " + std::to_string(c.seed));
    const Bytes stream = *Compress(c.format, test::TileLikeBytes(32 * c.tiles, c.seed));
    Bytes image(64, c.padding);
    image.insert(image.end(), stream.begin(), stream.end());
    image.resize(image.size() + 64, 0x00);
    const std::vector<StreamFind> finds = ScanForStreams(image, std::span(&c.format, 1));
    ASSERT_EQ(finds.size(), 1u);
    EXPECT_EQ(finds[0].Offset, 64u);
    EXPECT_EQ(finds[0].CompressedLength, stream.size());
  }
}

TEST(StreamScanTest, LcLz2AndLcLz1ReadingOneStreamAlikeAreOneFind) {
  // "ABCD" and 27 copies of 4 bytes from offset 0, which both byte orders read alike.
  Bytes stream = {0x03, 'A', 'B', 'C', 'D'};
  for (int k = 0; k < 27; ++k) stream.insert(stream.end(), {0x83, 0x00, 0x00});
  stream.push_back(0xFF);
  Bytes image = test::PatternBytes(0x40, 2);
  image.insert(image.end(), stream.begin(), stream.end());
  image.resize(0x100, 0);
  for (const auto& order : {std::vector<F>{F::Lz2, F::Lz1}, std::vector<F>{F::Lz1, F::Lz2}}) {
    const std::vector<StreamFind> finds = ScanForStreams(image, order);
    ASSERT_EQ(Offsets(finds), std::vector<size_t>{0x40});
    EXPECT_EQ(finds[0].Format, order[0]);
  }
}

// An outer stream written by hand whose literal holds the whole inner stream, two bytes after
// its start so that an inner GBA stream starts on a word: for the Nintendo formats a long literal
// and a copy of 16 bytes from 16 back; for RLE 30 blocks of 128 literal bytes.
Bytes Around(F outer, const Bytes& inner) {
  Bytes literal = {0x5A, 0xA5};
  literal.insert(literal.end(), inner.begin(), inner.end());
  // Whole tiles in all, alternating bytes that decode to nothing a scan takes.
  const size_t copied = outer == F::Rle30 ? 0 : 16;
  while ((literal.size() + copied) % 32 != 0 || literal.size() < 64)
    literal.push_back(literal.size() % 2);
  Bytes stream;
  if (outer == F::Rle30) {
    const size_t length = literal.size();
    stream = {0x30, uint8_t(length), uint8_t(length >> 8), 0};
    for (size_t at = 0; at < literal.size(); at += 128) {
      const size_t count = std::min<size_t>(128, literal.size() - at);
      stream.push_back(static_cast<uint8_t>(count - 1));
      stream.insert(stream.end(), literal.begin() + ptrdiff_t(at),
                    literal.begin() + ptrdiff_t(at + count));
    }
    return stream;
  }
  // Two bytes before the literal: 111 000 LL, then the rest of L - 1.
  const size_t l = literal.size() - 1;
  stream = {static_cast<uint8_t>(0xE0 | l >> 8), static_cast<uint8_t>(l)};
  stream.insert(stream.end(), literal.begin(), literal.end());
  // LC_LZ5's 110 01111 16: 16 bytes from 16 back; LZ3's 100 01111 1 0001111: the same.
  const Bytes copy = outer == F::Lz5 ? Bytes{0xCF, 0x10} : Bytes{0x8F, 0x8F};
  stream.insert(stream.end(), copy.begin(), copy.end());
  stream.push_back(0xFF);
  return stream;
}

TEST(StreamScanTest, AFindNeverHidesAStreamOfAnotherFormatInsideIt) {
  // Both are listed.
  struct Case {
    const char* name;
    F outer, inner;
  };
  const Case cases[] = {
      {"LZ77 11 inside LC_LZ5", F::Lz5, F::Lz11},
      {"LZ77 10 inside LZ3", F::Lz3, F::Lz10},
      {"LC_LZ2 inside RLE 30", F::Rle30, F::Lz2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes tiles = PlanarTiles(8, 4);
    const Bytes inner = *Compress(c.inner, tiles);
    ASSERT_TRUE(IsFindShown(
        {0, c.inner, inner.size(), tiles.size(), 0, ScoreStream(c.inner, tiles, inner.size())}))
        << "the tiles look like graphics";
    ASSERT_LE(inner.size(), 126u) << "the inner stream fits in one block of RLE literals";
    const Bytes outer = Around(c.outer, inner);
    ASSERT_TRUE(MayStartStream(c.outer, outer)) << "the outer stream keeps the scan's rules";
    Bytes image = test::PatternBytes(0x100, 8);
    image.insert(image.end(), outer.begin(), outer.end());
    image.resize(image.size() + 0x100, 0);
    const size_t innerAt = 0x100 + (c.outer == F::Rle30 ? 7 : 4);
    const F both[] = {c.outer, c.inner};
    std::vector<StreamFind> finds = ScanForStreams(image, both);
    const auto find = [&finds](size_t offset, F format) {
      return std::find_if(finds.begin(), finds.end(), [&](const StreamFind& f) {
        return f.Offset == offset && f.Format == format;
      });
    };
    ASSERT_NE(find(0x100, c.outer), finds.end());
    ASSERT_NE(find(innerAt, c.inner), finds.end());
    // A listed stream whose header's length matched ranks above what overlaps it.
    const auto headed = HasLengthHeader(c.outer) ? find(0x100, c.outer) : find(innerAt, c.inner);
    const auto other = HasLengthHeader(c.outer) ? find(innerAt, c.inner) : find(0x100, c.outer);
    if (IsFindShown(*headed)) {
      EXPECT_GT(headed->Score, other->Score);
    }
  }
}

}  // namespace
}  // namespace varnock
