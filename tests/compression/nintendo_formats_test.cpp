#include "compression/nintendo_formats.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "compression/nintendo_lz_encode.h"
#include "compression/stream_scan.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr CompressionFormat kLz2 = CompressionFormat::Lz2, kLz1 = CompressionFormat::Lz1,
                            kLz5 = CompressionFormat::Lz5, kLz3 = CompressionFormat::Lz3,
                            kHal = CompressionFormat::Hal;
constexpr CompressionFormat kAll[] = {kLz2, kLz1, kLz5, kLz3, kHal};

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

Bytes Repeat(const Bytes& unit, size_t times) {
  Bytes out;
  for (size_t k = 0; k < times; ++k) out.insert(out.end(), unit.begin(), unit.end());
  return out;
}

TEST(NintendoFormatsTest, HandVectorsDecode) {
  const Bytes abc = {'A', 'B', 'C'};
  const Bytes counted = [] {
    Bytes b;
    for (int k = 0; k < 1024; ++k) b.push_back(static_cast<uint8_t>(k * 7));
    return b;
  }();
  struct Case {
    const char* name;
    CompressionFormat format;
    Bytes stream;
    Bytes output;
    size_t consumed;
  };
  const Case cases[] = {
      // 000 00010: a literal of 3; bytes after the end marker are not the stream's.
      {"literal", kLz2, {0x02, 'A', 'B', 'C', 0xFF, 0x12}, abc, 5},
      {"end marker alone", kHal, {0xFF}, {}, 1},
      // 001 00011 AA: four times AA. 010 00100 12 34: five bytes alternating.
      {"byte fill", kLz5, {0x23, 0xAA, 0xFF}, Bytes(4, 0xAA), 3},
      {"word fill of bytes", kLz3, {0x44, 0x12, 0x34, 0xFF}, {0x12, 0x34, 0x12, 0x34, 0x12}, 4},
      // HAL's word fill counts words: 010 00010 is three words.
      {"word fill of words", kHal, {0x42, 0x12, 0x34, 0xFF}, Repeat({0x12, 0x34}, 3), 4},
      // 011 00011 FE: FE FF 00 01, wrapping; LZ3's command 3 is a zero fill without parameter.
      {"increasing fill", kLz2, {0x63, 0xFE, 0xFF}, {0xFE, 0xFF, 0x00, 0x01}, 3},
      {"zero fill", kLz3, {0x63, 0xFF}, Bytes(4, 0), 2},
      // LC_LZ2 copies from a big-endian offset: 100 00001 00 01 copies "BC" from offset 1.
      // Read low byte first, 0x0100 would lie ahead of the output.
      {"copy, offset high byte first",
       kLz2,
       Join({{0x02}, abc, {0x81, 0x00, 0x01, 0xFF}}),
       {'A', 'B', 'C', 'B', 'C'},
       8},
      {"copy, offset low byte first",
       kLz5,
       Join({{0x02}, abc, {0x81, 0x01, 0x00, 0xFF}}),
       {'A', 'B', 'C', 'B', 'C'},
       8},
      // LC_LZ1 has LC_LZ2's commands with the offset low byte first: 01 00 is offset 1, and
      // 101 00001 02 00 copies two bytes from offset 2. 111 111 00 02 is the long command 7,
      // three bytes.
      {"LC_LZ1 copy, offset low byte first",
       kLz1,
       Join({{0x02}, abc, {0x81, 0x01, 0x00, 0xFF}}),
       {'A', 'B', 'C', 'B', 'C'},
       8},
      {"LC_LZ1 command 5 copies",
       kLz1,
       {0x03, 'A', 'B', 'C', 'D', 0xA1, 0x02, 0x00, 0xFF},
       {'A', 'B', 'C', 'D', 'C', 'D'},
       9},
      {"LC_LZ1 long command 7 copies",
       kLz1,
       Join({{0x02}, abc, {0xFC, 0x02, 0x01, 0x00, 0xFF}}),
       {'A', 'B', 'C', 'B', 'C', 'B'},
       9},
      {"LC_LZ1 increasing fill", kLz1, {0x63, 0xFE, 0xFF}, {0xFE, 0xFF, 0x00, 0x01}, 3},
      // A copy of 5 from offset 0 after "AB" reads the bytes it writes: ABABABA.
      {"overlapping copy",
       kHal,
       {0x01, 'A', 'B', 0x84, 0x00, 0x00, 0xFF},
       {'A', 'B', 'A', 'B', 'A', 'B', 'A'},
       7},
      // Super Mario World copies for commands 5 and 6 as well.
      {"LC_LZ2 command 5 copies",
       kLz2,
       {0x01, 'A', 'B', 0xA2, 0x00, 0x00, 0xFF},
       {'A', 'B', 'A', 'B', 'A'},
       7},
      {"LC_LZ2 command 6 copies",
       kLz2,
       {0x01, 'A', 'B', 0xC2, 0x00, 0x00, 0xFF},
       {'A', 'B', 'A', 'B', 'A'},
       7},
      // LC_LZ5: 101 inverts, 110 copies from b bytes back, long 111 inverts from b back.
      {"inverted copy",
       kLz5,
       Join({{0x02}, abc, {0xA1, 0x00, 0x00, 0xFF}}),
       {'A', 'B', 'C', 0xBE, 0xBD},
       8},
      {"copy from bytes back",
       kLz5,
       {0x01, 'A', 'B', 0xC4, 0x02, 0xFF},
       {'A', 'B', 'A', 'B', 'A', 'B', 'A'},
       6},
      // 111 111 00, L = 2 + 1, 2 back: 0F F0 inverted to F0 0F, then the F0 just written to 0F.
      {"inverted copy from bytes back",
       kLz5,
       {0x01, 0x0F, 0xF0, 0xFC, 0x02, 0x02, 0xFF},
       {0x0F, 0xF0, 0xF0, 0x0F, 0x0F},
       7},
      // LZ3's signed offset: 0x81 is 2 back; 0x00 0x01 is offset 1.
      {"LZ3 copy back",
       kLz3,
       {0x01, 'A', 'B', 0x84, 0x81, 0xFF},
       {'A', 'B', 'A', 'B', 'A', 'B', 'A'},
       6},
      {"LZ3 copy from offset",
       kLz3,
       Join({{0x02}, abc, {0x81, 0x00, 0x01, 0xFF}}),
       {'A', 'B', 'C', 'B', 'C'},
       8},
      // Bit-flipped copy of 3 from 1 back: 01 -> 80, and the 80 it wrote -> 01 again.
      {"LZ3 flipped copy", kLz3, {0x00, 0x01, 0xA2, 0x80, 0xFF}, {0x01, 0x80, 0x01, 0x80}, 5},
      {"HAL flipped copy", kHal, {0x00, 0x01, 0xA2, 0x00, 0x00, 0xFF}, {0x01, 0x80, 0x01, 0x80}, 6},
      // Backwards copy of 4 from the last byte down to the first: D C B A.
      {"LZ3 backwards copy",
       kLz3,
       {0x03, 'A', 'B', 'C', 'D', 0xC3, 0x80, 0xFF},
       {'A', 'B', 'C', 'D', 'D', 'C', 'B', 'A'},
       8},
      {"HAL backwards copy",
       kHal,
       {0x03, 'A', 'B', 'C', 'D', 0xC3, 0x00, 0x03, 0xFF},
       {'A', 'B', 'C', 'D', 'D', 'C', 'B', 'A'},
       9},
      // Long forms at their longest: 111 000 11 FF is a literal of 1024, 111 001 11 FF a fill
      // of 1024; long command 7 (111 111 10 FF) reaches 768 and copies in LC_LZ2 and HAL.
      {"longest literal", kLz3, Join({{0xE3, 0xFF}, counted, {0xFF}}), counted, 1027},
      {"longest fill", kLz2, {0xE7, 0xFF, 0x5A, 0xFF}, Bytes(1024, 0x5A), 4},
      {"HAL words at their longest", kHal, {0xEB, 0xFF, 0x01, 0x02, 0xFF}, Repeat({1, 2}, 1024), 5},
      {"long command 7", kLz2, {0x00, 'A', 0xFE, 0xFF, 0x00, 0x00, 0xFF}, Bytes(769, 'A'), 7},
      {"LZ3 long command 7", kLz3, {0x00, 'A', 0xFC, 0x09, 0x80, 0xFF}, Bytes(11, 'A'), 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DecompressResult result = Decompress(c.format, c.stream);
    EXPECT_EQ(result.Error, DecompressError::None);
    EXPECT_EQ(result.Bytes, c.output);
    EXPECT_EQ(result.Consumed, c.consumed);
  }
}

TEST(NintendoFormatsTest, DamagedAndTruncatedStreamsAreRefused) {
  const Bytes sixtyFourFills = Join({Repeat({0xE7, 0xFF, 0x00}, 64), {0xFF}});
  struct Case {
    const char* name;
    CompressionFormat format;
    Bytes stream;
    DecompressError error;
    size_t maxOutput = kMaxDecompressedBytes;
  };
  const Case cases[] = {
      {"empty", kLz2, {}, DecompressError::EndsEarly},
      {"no end marker", kHal, {0x00, 'A'}, DecompressError::EndsEarly},
      {"literal cut short", kLz5, {0x03, 'A', 'B', 'C'}, DecompressError::EndsEarly},
      {"long header cut short", kLz3, {0xE3}, DecompressError::EndsEarly},
      {"fill without its byte", kLz2, {0x20}, DecompressError::EndsEarly},
      {"word fill without its second byte", kHal, {0x40, 0x12}, DecompressError::EndsEarly},
      {"copy address cut short", kLz2, {0x00, 'A', 0x80, 0x00}, DecompressError::EndsEarly},
      {"LZ3 offset cut short", kLz3, {0x00, 'A', 0x80, 0x00}, DecompressError::EndsEarly},
      {"copy before any output", kHal, {0x80, 0x00, 0x00, 0xFF}, DecompressError::ReferenceAhead},
      {"copy from ahead",
       kLz2,
       {0x00, 'A', 0x80, 0x00, 0x01, 0xFF},
       DecompressError::ReferenceAhead},
      {"zero bytes back", kLz5, {0x00, 'A', 0xC0, 0x00, 0xFF}, DecompressError::ReferenceAhead},
      // LC_LZ2's copy from offset 1, read low byte first: offset 0x0100.
      {"LC_LZ1 copy from ahead",
       kLz1,
       {0x01, 'A', 'B', 0x81, 0x00, 0x01, 0xFF},
       DecompressError::ReferenceAhead},
      {"too far back", kLz5, {0x00, 'A', 0xC0, 0x02, 0xFF}, DecompressError::ReferenceBeforeStart},
      {"LZ3 too far back",
       kLz3,
       {0x00, 'A', 0x80, 0x81, 0xFF},
       DecompressError::ReferenceBeforeStart},
      // Three bytes backwards from offset 1 would read offsets 1, 0 and -1.
      {"backwards past the start",
       kHal,
       {0x01, 'A', 'B', 0xC2, 0x00, 0x01, 0xFF},
       DecompressError::ReferenceBeforeStart},
      {"LZ3 backwards past the start",
       kLz3,
       {0x01, 'A', 'B', 0xC2, 0x80, 0xFF},
       DecompressError::ReferenceBeforeStart},
      {"more than asked for", kLz2, {0xE7, 0xFF, 0x00, 0xFF}, DecompressError::TooLarge, 1023},
      // 64 x 1024 bytes is all a 16-bit index reaches.
      {"past 64 KiB", kLz5, Join({{0x20, 0x00}, sixtyFourFills}), DecompressError::TooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DecompressResult result = Decompress(c.format, c.stream, c.maxOutput);
    EXPECT_EQ(result.Error, c.error);
    EXPECT_TRUE(result.Bytes.empty());
  }
  EXPECT_EQ(Decompress(kLz5, sixtyFourFills).Bytes.size(), kNintendoMaxOutput);
}

// Tiles of 2 bits per pixel: a blank tile, rows from a small set, some tiles mirrored (their
// bytes bit-reversed) or upside down, as a sprite sheet has them.
Bytes TileLikeBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes rows;
  for (int k = 0; k < 24; ++k) rows.push_back(random() % 3 ? static_cast<uint8_t>(random()) : 0);
  Bytes out;
  while (out.size() < size) {
    Bytes tile(16, 0);
    if (random() % 4) {
      for (uint8_t& b : tile) b = rows[random() % rows.size()];
      if (random() % 3 == 0)
        for (uint8_t& b : tile) b = kReversedBits[b];
      if (random() % 4 == 0) std::reverse(tile.begin(), tile.end());
    }
    out.insert(out.end(), tile.begin(), tile.end());
  }
  out.resize(size);
  return out;
}

// Runs longer than a long form holds, word and increasing runs, and a block repeated further
// than the longest copy.
Bytes RunsBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes out;
  while (out.size() < size) {
    const size_t length = 1 + random() % 2100;
    const uint8_t a = static_cast<uint8_t>(random()), b = static_cast<uint8_t>(random());
    switch (random() % 4) {
      case 0:
        out.insert(out.end(), length, a);
        break;
      case 1:
        for (size_t i = 0; i < length; ++i) out.push_back(i % 2 ? b : a);
        break;
      case 2:
        for (size_t i = 0; i < length; ++i) out.push_back(static_cast<uint8_t>(a + i));
        break;
      default:
        if (out.size() > 1500) out.insert(out.end(), out.end() - 1500, out.end());
        break;
    }
  }
  out.resize(size);
  return out;
}

Bytes RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes out(size);
  for (uint8_t& b : out) b = static_cast<uint8_t>(random());
  return out;
}

TEST(NintendoFormatsTest, CompressionRoundTripsAndBeatsGreedy) {
  struct Case {
    const char* name;
    Bytes (*make)(size_t, uint32_t);
    std::vector<size_t> sizes;
  };
  const Case cases[] = {
      {"tiles", TileLikeBytes, {1, 2, 33, 1025, 6000}},
      {"runs", RunsBytes, {3, 40, 5000, kNintendoMaxOutput}},
      {"random", RandomBytes, {0, 1, 1500}},
  };
  for (CompressionFormat format : kAll)
    for (const Case& c : cases)
      for (size_t size : c.sizes)
        for (uint32_t seed = 1; seed <= (size == kNintendoMaxOutput ? 1u : 3u); ++seed) {
          SCOPED_TRACE(testing::Message() << CompressionInfo(format).ShortName << " " << c.name
                                          << " " << size << " seed " << seed);
          const Bytes data = c.make(size, seed);
          const auto stream = Compress(format, data);
          ASSERT_TRUE(stream.has_value());
          const DecompressResult back = Decompress(format, *stream);
          ASSERT_EQ(back.Error, DecompressError::None);
          EXPECT_EQ(back.Bytes, data);
          EXPECT_EQ(back.Consumed, stream->size());
          const auto greedy = CompressNintendoStreamGreedy(NintendoLayoutOf(format), data);
          EXPECT_EQ(Decompress(format, *greedy).Bytes, data);
          EXPECT_LE(stream->size(), greedy->size());
        }
  for (CompressionFormat format : kAll)
    EXPECT_FALSE(Compress(format, Bytes(kNintendoMaxOutput + 1, 0)).has_value());
}

TEST(NintendoFormatsTest, OptimalParseTakesTheCheaperCommands) {
  // Exact sizes the shortest encodings have, worked out by hand.
  struct Case {
    const char* name;
    CompressionFormat format;
    Bytes data;
    size_t size;
  };
  const Case cases[] = {
      // 2000 zeros: fills of 1024 and 976 (three bytes each), the end marker.
      {"long run", kLz2, Bytes(2000, 0), 7},
      // LZ3's zero fill has no parameter: two bytes for each long form.
      {"zero run", kLz3, Bytes(2000, 0), 5},
      // A 40-byte literal and a 40-byte copy from 40 back: 2 + 40 + 2 + 1 + 1.
      {"copy back", kLz5, Repeat(RandomBytes(40, 4), 2), 46},
      // The same data bit-flipped the second time: LZ3 and HAL have a flipped copy.
      {"flipped", kHal,
       [] {
         Bytes b = RandomBytes(20, 5), f = b;
         for (uint8_t& x : f) x = kReversedBits[x];
         return Join({b, f});
       }(),
       1 + 20 + 3 + 1},
      // "0QWERTPOIUL", 33 zeros, "QWERTPOIUL": a fill of 32 (two bytes, not three for 33)
      // leaves the last zero to a copy of "0QWERTPOIUL" from offset 0: 12 + 2 + 3 + 1.
      {"a fill cut at 32 for a longer copy", kLz2,
       Join({Bytes{0, 'Q', 'W', 'E', 'R', 'T', 'P', 'O', 'I', 'U', 'L'}, Bytes(33, 0),
             Bytes{'Q', 'W', 'E', 'R', 'T', 'P', 'O', 'I', 'U', 'L'}}),
       18},
      // Each byte the inverse of the one three back, 1000 of them after the first three: one
      // long inverted copy from offset 0 (four bytes) over its own output: 4 + 4 + 1. The
      // three-byte inverted copy from bytes back, command 7, stops at 768 and needs a second.
      {"inverted from bytes back", kLz5,
       [] {
         Bytes b = {0x12, 0x34, 0x56};
         while (b.size() < 1003) b.push_back(static_cast<uint8_t>(~b[b.size() - 3]));
         return b;
       }(),
       9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes stream = *Compress(c.format, c.data);
    EXPECT_EQ(stream.size(), c.size);
    EXPECT_EQ(Decompress(c.format, stream).Bytes, c.data);
  }
}

TEST(NintendoFormatsTest, FirstLookKeepsCompressorsRules) {
  // A plausible LC_LZ2 stream: "ABCD" and a copy of it, 8 bytes. Each other row breaks one
  // rule and still decodes.
  const Bytes copy4 = {0x83, 0x00, 0x00, 0xFF};
  Bytes counting(136);
  for (size_t k = 0; k < counting.size(); ++k) counting[k] = static_cast<uint8_t>(k);
  struct Case {
    const char* name;
    Bytes stream;
    bool plausible;
  };
  const Case cases[] = {
      {"literal and copy", Join({{0x03, 'A', 'B', 'C', 'D'}, copy4}), true},
      {"two short literals", Join({{0x01, 'A', 'B', 0x01, 'C', 'D'}, copy4}), false},
      {"a long form holding 4", Join({{0xE0, 0x03, 'A', 'B', 'C', 'D'}, copy4}), false},
      {"eight equal bytes in a literal", Join({{0x0B}, Bytes(8, 'A'), {'B', 'C', 'D', 'E'}, copy4}),
       false},
      {"a fill going on", Join({{0x21, 0x00, 0x21, 0x00}, copy4}), false},
      {"a word fill of one byte value", Join({{0x43, 0x00, 0x00}, copy4}), false},
      {"a fill of one", Join({{0x20, 'A', 0x02, 'B', 'C', 'D'}, copy4}), false},
      {"a copy of two from a two-byte address",
       {0x05, 'A', 'B', 'C', 'D', 'E', 'F', 0x81, 0x00, 0x00, 0xFF},
       false},
      {"7 bytes, not whole tiles", {0x03, 'A', 'B', 'C', 'D', 0x82, 0x00, 0x00, 0xFF}, false},
      {"no copy", {0x27, 0x00, 0xFF}, false},
      // 136 counted bytes, then 8 of them again: from offset 8, 128 back, or offset 0, 136.
      {"a copy from 128 back", Join({{0xE0, 0x87}, counting, {0x87, 0x00, 0x08, 0xFF}}), true},
      {"copies only from further back", Join({{0xE0, 0x87}, counting, {0x87, 0x00, 0x00, 0xFF}}),
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(Decompress(kLz2, c.stream).ok());
    EXPECT_EQ(MayStartStream(kLz2, c.stream), c.plausible);
  }
  for (CompressionFormat format : kAll) {
    SCOPED_TRACE(CompressionInfo(format).ShortName);
    EXPECT_TRUE(MayStartStream(format, *Compress(format, TileLikeBytes(4096, 8))));
  }
}

TEST(NintendoFormatsTest, ScanFindsStreamsAtTheirOffset) {
  const Bytes tiles = TileLikeBytes(2048, 12);
  // A long literal whose 80 bytes hold the start of a stream and land on its 26th command:
  // from the literal the bytes decode too, to 88 bytes, but the stream starts after it.
  const Bytes stream = Join({{0x03, 'A', 'B', 'C', 'D'}, Repeat({0x83, 0x00, 0x00}, 27), {0xFF}});
  struct Case {
    const char* name;
    CompressionFormat format;
    Bytes image;
    size_t offset;
  };
  const Case cases[] = {
      {"between runs of 00 and FF", kLz3,
       Join({Bytes(5000, 0x00), *Compress(kLz3, tiles), Bytes(5000, 0xFF)}), 5000},
      {"after another stream's end", kHal,
       Join({RandomBytes(700, 3), {0xFF}, *Compress(kHal, tiles), Bytes(64, 0)}), 701},
      {"after bytes that run into it", kLz2, Join({{0xE0, 0x4F}, stream}), 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<StreamFind> finds = ScanForStreams(c.image, std::span(&c.format, 1));
    ASSERT_EQ(finds.size(), 1u);
    EXPECT_EQ(finds[0].Offset, c.offset);
  }
  EXPECT_TRUE(Decompress(kLz2, Join({{0xE0, 0x4F}, stream})).ok());
  // An LZ3 stream larger than the Game Boy's 8 KiB windows decodes but is no scan find.
  const Bytes large = *Compress(kLz3, TileLikeBytes(12 << 10, 2));
  EXPECT_TRUE(Decompress(kLz3, large).ok());
  const std::vector<StreamFind> inLarge = ScanForStreams(large, std::span(&kLz3, 1));
  EXPECT_TRUE(inLarge.empty() || inLarge[0].Offset != 0);
}

}  // namespace
}  // namespace varnock
