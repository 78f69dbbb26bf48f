#include "compression/gba_formats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "compression/gba_huffman_tree.h"
#include "compression/stream_scan.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
using F = CompressionFormat;
constexpr F kFormats[] = {F::Lz10, F::Lz11, F::Rle30, F::Huffman};

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Text(const char* s) {
  return Bytes(s, s + std::char_traits<char>::length(s));
}

Bytes Header(uint8_t type, size_t length) {
  return {type, static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
          static_cast<uint8_t>(length >> 16)};
}

// The bytes as LZ77 literals: a zero flag byte before every eight.
Bytes LzLiterals(const Bytes& bytes) {
  Bytes out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % 8 == 0) out.push_back(0);
    out.push_back(bytes[i]);
  }
  return out;
}

Bytes Repeat(const Bytes& unit, size_t times) {
  Bytes out;
  out.reserve(unit.size() * times);
  for (size_t i = 0; i < times; ++i) out.insert(out.end(), unit.begin(), unit.end());
  return out;
}

// 4-bit tiles with repeats and few colours, or bytes from a small alphabet, or any bytes.
Bytes Sample(int kind, size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes out(size);
  for (size_t i = 0; i < size; ++i) {
    if (kind == 0) {
      out[i] = i >= 32 && random() % 3 != 0 ? out[i - 32 * (1 + random() % 2 * (i >= 64))]
                                            : static_cast<uint8_t>((random() % 3) * 0x11);
    } else {
      out[i] = static_cast<uint8_t>(kind == 1 ? random() % 3 : random());
    }
  }
  return out;
}

TEST(GbaFormatsTest, HandVectorsDecode) {
  const Bytes a4096 = Sample(2, 4096, 9);
  struct Case {
    const char* name;
    F format;
    Bytes stream;
    Bytes output;
    size_t consumed;
    int variant;
  };
  const Case cases[] = {
      // LZ77 10: flag byte, then tokens; "LLLL DDDD DDDDDDDD" copies L + 3 from D + 1 back.
      {"lz10 literals", F::Lz10, Cat(Header(0x10, 5), {0x00, 'A', 'B', 'C', 'D', 'E'}),
       Text("ABCDE"), 10, 0},
      {"lz10 copy overlapping its source", F::Lz10,
       Cat(Header(0x10, 8), {0x20, 'A', 'B', 0x30, 0x01}),  // lit, lit, copy 6 from 2 back
       Text("ABABABAB"), 9, 0},
      {"lz10 ends at its length, flag bits and bytes after unused", F::Lz10,
       Cat(Header(0x10, 3), {0x1F, 'x', 'y', 'z', 0xFF, 0xFF}), Text("xyz"), 8, 0},
      {"lz10 eight tokens and no flag byte after them", F::Lz10,
       Cat(Header(0x10, 8), LzLiterals(Text("12345678"))), Text("12345678"), 13, 0},
      {"lz10 longest copy from farthest back", F::Lz10,
       Cat(Cat(Header(0x10, 4096 + 18), LzLiterals(a4096)), {0x80, 0xFF, 0xFF}),
       Cat(a4096, Bytes(a4096.begin(), a4096.begin() + 18)), 4 + 512 + 4096 + 3, 0},
      // LZ77 11: top nibble N >= 2 copies N + 1; 0 takes 8 more length bits (+ 0x11); 1 takes
      // 16 (+ 0x111).
      {"lz11 two-byte copy", F::Lz11, Cat(Header(0x11, 17), {0x40, 'A', 0xF0, 0x00}),
       Bytes(17, 'A'), 8, 0},
      {"lz11 three-byte copy", F::Lz11, Cat(Header(0x11, 70), {0x40, 'A', 0x03, 0x40, 0x00}),
       Bytes(70, 'A'), 9, 0},
      {"lz11 longest copy", F::Lz11,
       Cat(Header(0x11, 1 + 65808), {0x40, 'A', 0x1F, 0xFF, 0xF0, 0x00}), Bytes(65809, 'A'), 10, 0},
      // RLE 30: 0NNNNNNN takes N + 1 literal bytes, 1NNNNNNN repeats one byte N + 3 times.
      {"rle literals", F::Rle30, Cat(Header(0x30, 3), {0x02, 'a', 'b', 'c', 0x99}), Text("abc"), 8,
       0},
      {"rle longest literal block", F::Rle30, Cat(Cat(Header(0x30, 128), {0x7F}), Bytes(128, 'L')),
       Bytes(128, 'L'), 133, 0},
      {"rle longest run, then literals", F::Rle30, Cat(Header(0x30, 131), {0xFF, 'z', 0x00, 'e'}),
       Cat(Bytes(130, 'z'), Text("e")), 8, 0},
      // Huffman: table size byte, root, node pairs; bit 31 of each word first. "a b b a" with
      // a = 0, b = 1: 0110 = 0x60000000.
      {"huff 8-bit", F::Huffman,
       Cat(Header(0x28, 4), {0x01, 0xC0, 'a', 'b', 0x00, 0x00, 0x00, 0x60}), Text("abba"), 12, 8},
      // Nibbles 1 2 2 1 1 2 1 1, low nibble first: bytes 21 12 21 11; codes 1 = 0, 2 = 1.
      {"huff 4-bit, low nibble first",
       F::Huffman,
       Cat(Header(0x24, 4), {0x01, 0xC0, 0x01, 0x02, 0x00, 0x00, 0x00, 0x64}),
       {0x21, 0x12, 0x21, 0x11},
       12,
       4},
      // a = 0, b = 10, c = 11: the root (offset 0) holds a and a node at byte 7 (odd) whose pair
      // is at 8; a padding pair keeps S odd. a b c a a c b a = 0 10 11 0 0 11 10 0.
      {"huff deeper tree", F::Huffman,
       Cat(Header(0x28, 8), {0x03, 0x80, 'a', 0xC0, 'b', 'c', 0, 0, 0x00, 0x00, 0xC0, 0x59}),
       Text("abcaacba"), 16, 8},
      // Root offset 1 skips pair 0: its children are at 6 + 2 * 1.
      {"huff root offset", F::Huffman,
       Cat(Header(0x28, 4), {0x03, 0xC1, 0, 0, 'x', 'y', 0, 0, 0x00, 0x00, 0x00, 0x60}),
       Text("xyyx"), 16, 8},
      // Length 2: the BIOS still decodes a whole word of output; the bytes after are not read.
      {"huff length short of a word", F::Huffman,
       Cat(Header(0x28, 2), {0x01, 0xC0, 'a', 'b', 0x00, 0x00, 0x00, 0x60, 0xEE, 0xEE}), Text("ab"),
       12, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DecompressResult result = Decompress(c.format, c.stream);
    ASSERT_EQ(result.Error, DecompressError::None);
    EXPECT_EQ(result.Bytes, c.output);
    EXPECT_EQ(result.Consumed, c.consumed);
    EXPECT_EQ(result.Variant, c.variant);
  }
}

TEST(GbaFormatsTest, DamagedStreamsAreRefused) {
  using E = DecompressError;
  struct Case {
    const char* name;
    F format;
    Bytes stream;
    E error;
    size_t maxOutput = kMaxDecompressedBytes;
  };
  const Case cases[] = {
      {"nothing", F::Lz10, {}, E::EndsEarly},
      {"wrong type", F::Lz10, Cat(Header(0x11, 1), {0x00, 'a'}), E::BadHeader},
      {"huffman of 2-bit symbols", F::Huffman, Cat(Header(0x22, 1), {0x01, 0xC0, 0, 0}),
       E::BadHeader},
      {"header cut", F::Rle30, {0x30, 0x10, 0x00}, E::EndsEarly},
      {"longer than asked for", F::Rle30, Cat(Header(0x30, 65), {0xBE, 'a'}), E::TooLarge, 64},
      {"lz10 copy first", F::Lz10, Cat(Header(0x10, 4), {0x80, 0x00, 0x00}),
       E::ReferenceBeforeStart},
      {"lz10 copy from 2 back after 1 byte", F::Lz10, Cat(Header(0x10, 4), {0x40, 'a', 0x00, 0x01}),
       E::ReferenceBeforeStart},
      {"lz10 copy cut", F::Lz10, Cat(Header(0x10, 4), {0x40, 'a', 0x00}), E::EndsEarly},
      {"lz10 no flag byte", F::Lz10, Header(0x10, 1), E::EndsEarly},
      {"lz10 copy past the length", F::Lz10, Cat(Header(0x10, 4), {0x40, 'a', 0x10, 0x00}),
       E::LengthMismatch},
      {"lz11 long copy cut", F::Lz11, Cat(Header(0x11, 300), {0x40, 'a', 0x10, 0x00, 0x00}),
       E::EndsEarly},
      {"lz11 copy before the start", F::Lz11, Cat(Header(0x11, 21), {0x40, 'a', 0x00, 0x30, 0x01}),
       E::ReferenceBeforeStart},
      {"rle literals cut", F::Rle30, Cat(Header(0x30, 4), {0x03, 'a', 'b'}), E::EndsEarly},
      {"rle run cut before its value", F::Rle30, Cat(Header(0x30, 4), {0x81}), E::EndsEarly},
      {"rle run past the length", F::Rle30, Cat(Header(0x30, 4), {0x82, 'a'}), E::LengthMismatch},
      {"rle literals past the length", F::Rle30, Cat(Header(0x30, 1), {0x01, 'a', 'b'}),
       E::LengthMismatch},
      {"huff table size even", F::Huffman, Cat(Header(0x28, 4), {0x00, 0xC0, 0, 0, 0, 0x60}),
       E::BadTree},
      {"huff child outside the table", F::Huffman,
       Cat(Header(0x28, 4), {0x01, 0xC1, 'a', 'b', 0x00, 0x00, 0x00, 0x60}), E::BadTree},
      {"huff table cut", F::Huffman, Cat(Header(0x28, 4), {0x03, 0xC0, 'a'}), E::EndsEarly},
      {"huff bits end", F::Huffman, Cat(Header(0x28, 40), {0x01, 0xC0, 'a', 'b', 0, 0, 0, 0}),
       E::EndsEarly},
      {"huff partial last word", F::Huffman,
       Cat(Header(0x28, 4), {0x01, 0xC0, 'a', 'b', 0x00, 0x00, 0x00}), E::EndsEarly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DecompressResult result = Decompress(c.format, c.stream, c.maxOutput);
    EXPECT_EQ(result.Error, c.error);
    EXPECT_TRUE(result.Bytes.empty());
  }
}

TEST(GbaFormatsTest, EveryTruncationEndsEarly) {
  for (F format : kFormats) {
    SCOPED_TRACE(CompressionInfo(format).ShortName);
    const Bytes stream = *Compress(format, Sample(0, 700, 3));
    for (size_t cut = 1; cut < stream.size(); ++cut)
      ASSERT_EQ(Decompress(format, Bytes(stream.begin(), stream.begin() + cut)).Error,
                DecompressError::EndsEarly)
          << cut;
  }
}

TEST(GbaFormatsTest, RoundTripsNeverLongerThanGreedy) {
  for (F format : kFormats)
    for (int kind = 0; kind < 3; ++kind)
      for (size_t size : {0, 1, 3, 4, 5, 31, 64, 1000, 4097, 70000})
        for (uint32_t seed = 1; seed <= 3; ++seed) {
          SCOPED_TRACE(testing::Message() << CompressionInfo(format).ShortName << " kind " << kind
                                          << " size " << size << " seed " << seed);
          const Bytes data = Sample(kind, size, seed);
          const Bytes stream = *Compress(format, data);
          // Bytes after the stream are not taken.
          const DecompressResult result = Decompress(format, Cat(stream, {0x10, 0x30, 0xFF}));
          ASSERT_TRUE(result.ok()) << DecompressErrorText(result.Error);
          EXPECT_EQ(result.Bytes, data);
          EXPECT_EQ(result.Consumed, stream.size());
          if (const auto greedy = CompressGbaFormatGreedy(format, data)) {
            EXPECT_LE(stream.size(), greedy->size());
            EXPECT_EQ(Decompress(format, *greedy).Bytes, data);
          }
        }
}

TEST(GbaFormatsTest, LongestInputsRoundTrip) {
  const Bytes longest = Repeat(Text("\x11\x11\x12\x21"), 0xFFFFFF / 4 + 1);
  const Bytes data(longest.begin(), longest.begin() + 0xFFFFFF);
  for (F format : kFormats) {
    SCOPED_TRACE(CompressionInfo(format).ShortName);
    const Bytes stream = *Compress(format, data);
    const DecompressResult result = Decompress(format, stream);
    EXPECT_TRUE(result.Bytes == data);
    EXPECT_EQ(result.Consumed, stream.size());
    EXPECT_FALSE(Compress(format, Cat(data, {0})).has_value());
  }
}

// The cheapest parse by brute force: every distance and length at every position.
size_t BruteForceLzSize(const Bytes& d, bool longReferences) {
  const size_t n = d.size();
  const size_t minDistance = longReferences ? 1 : 2;
  const size_t maxLength = longReferences ? 65808 : 18;
  std::vector<size_t> bits(n + 1, 0);
  for (size_t i = n; i-- > 0;) {
    bits[i] = bits[i + 1] + 9;
    for (size_t dist = minDistance; dist <= std::min<size_t>(i, 4096); ++dist)
      for (size_t len = 1;
           len <= std::min(maxLength, n - i) && d[i + len - 1] == d[i + len - 1 - dist]; ++len) {
        const size_t cost = !longReferences || len <= 16 ? 17 : len <= 272 ? 25 : 33;
        if (len >= 3) bits[i] = std::min(bits[i], bits[i + len] + cost);
      }
  }
  return 4 + (bits[0] + 7) / 8;
}

size_t BruteForceRleSize(const Bytes& d) {
  const size_t n = d.size();
  std::vector<size_t> cost(n + 1, 0);
  for (size_t i = n; i-- > 0;) {
    cost[i] = SIZE_MAX;
    for (size_t k = 1; k <= std::min<size_t>(128, n - i); ++k)
      cost[i] = std::min(cost[i], 1 + k + cost[i + k]);
    for (size_t r = 1; r <= std::min<size_t>(130, n - i) && d[i + r - 1] == d[i]; ++r)
      if (r >= 3) cost[i] = std::min(cost[i], 2 + cost[i + r]);
  }
  return 4 + cost[0];
}

// Symbol counts merged two cheapest at a time; the stream is the header, the table (one pair
// per merge, padded to an odd count) and whole words of code bits.
size_t HuffmanSize(const Bytes& d, int bits) {
  std::vector<uint64_t> counts(256, 0);
  for (uint8_t b : d) {
    if (bits == 8)
      ++counts[b];
    else
      ++counts[b & 15], ++counts[b >> 4];
  }
  std::vector<std::pair<uint64_t, std::vector<int>>> groups;
  for (int s = 0; s < 256; ++s)
    if (counts[s]) groups.push_back({counts[s], {s}});
  std::vector<int> length(256, groups.size() == 1 ? 1 : 0);
  const size_t pairs = groups.size() <= 2 ? 1 : (groups.size() - 1) | 1;
  while (groups.size() > 1) {
    std::sort(groups.begin(), groups.end(), [](auto& a, auto& b) { return a.first > b.first; });
    auto a = groups.back();
    groups.pop_back();
    for (int s : a.second) ++length[s];
    for (int s : groups.back().second) ++length[s];
    groups.back().first += a.first;
    groups.back().second.insert(groups.back().second.end(), a.second.begin(), a.second.end());
  }
  uint64_t total = 0;
  int shortest = 64;
  for (int s = 0; s < 256; ++s) {
    total += counts[s] * length[s];
    if (counts[s]) shortest = std::min(shortest, length[s]);
  }
  total += (4 - d.size() % 4) % 4 * (8 / bits) * shortest;
  return 4 + 2 + 2 * pairs + 4 * ((total + 31) / 32);
}

TEST(GbaFormatsTest, StreamsAreTheShortestTheFormatAllows) {
  for (uint32_t seed = 1; seed <= 8; ++seed)
    for (size_t size : {40, 160}) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << " size " << size);
      const Bytes small = Sample(1, size, seed);
      Bytes runs = Sample(1, size, seed + 100);
      for (size_t i = 0; i < size; ++i) runs[i] = runs[i] == 2 ? runs[i - (i > 0)] : runs[i];
      for (const Bytes& d : {small, runs, Sample(0, size, seed)}) {
        EXPECT_EQ(Compress(F::Lz10, d)->size(), BruteForceLzSize(d, false));
        EXPECT_EQ(Compress(F::Lz11, d)->size(), BruteForceLzSize(d, true));
        EXPECT_EQ(Compress(F::Rle30, d)->size(), BruteForceRleSize(d));
        EXPECT_EQ(Compress(F::Huffman, d, 8)->size(), HuffmanSize(d, 8));
        EXPECT_EQ(Compress(F::Huffman, d, 4)->size(), HuffmanSize(d, 4));
      }
    }
  // Long copies of the three LZ77 11 sizes, and a run that spans two blocks.
  const Bytes longRuns =
      Cat(Cat(Bytes(20, 'a'), Bytes(300, 'b')), Cat(Text("xy"), Bytes(140, 'c')));
  EXPECT_EQ(Compress(F::Lz11, longRuns)->size(), BruteForceLzSize(longRuns, true));
  EXPECT_EQ(Compress(F::Rle30, longRuns)->size(), BruteForceRleSize(longRuns));
}

// The tokens of an LZ77 10 stream, walked by the layout: the distances of its copies.
std::vector<size_t> Lz10Distances(const Bytes& s) {
  std::vector<size_t> distances;
  size_t produced = 0, pos = 4;
  const size_t length = s[1] | s[2] << 8 | s[3] << 16;
  while (produced < length) {
    const uint8_t flags = s[pos++];
    for (int bit = 7; bit >= 0 && produced < length; --bit) {
      if (flags >> bit & 1) {
        produced += (s[pos] >> 4) + 3;
        distances.push_back(((s[pos] & 15) << 8 | s[pos + 1]) + 1);
        pos += 2;
      } else {
        ++produced, ++pos;
      }
    }
  }
  return distances;
}

TEST(GbaFormatsTest, Lz10CopiesNeverReadTheByteJustWritten) {
  for (const Bytes& d : {Bytes(500, 'z'), Sample(0, 5000, 4), Repeat(Text("ab"), 90)}) {
    const std::vector<size_t> distances = Lz10Distances(*Compress(F::Lz10, d));
    EXPECT_FALSE(distances.empty());
    EXPECT_EQ(std::count(distances.begin(), distances.end(), 1), 0);
  }
}

TEST(GbaFormatsTest, HuffmanSymbolSizeIsKeptOrChosen) {
  // Nibbles of eight values: as many bits either way, but a table of 8 symbols, not 64.
  Bytes nibbles = Sample(2, 2000, 5);
  for (uint8_t& b : nibbles) b &= 0x77;
  const Bytes text = Repeat(Text("the quick brown fox "), 50);
  struct Case {
    Bytes data;
    int asked;
    int expected;
  };
  const Case cases[] = {{nibbles, 0, 4}, {nibbles, 8, 8}, {text, 0, 8}, {text, 4, 4}};
  for (const Case& c : cases) {
    const Bytes stream = *Compress(F::Huffman, c.data, c.asked);
    EXPECT_EQ(Decompress(F::Huffman, stream).Variant, c.expected);
    if (c.asked == 0) {
      EXPECT_EQ(stream.size(), std::min(Compress(F::Huffman, c.data, 4)->size(),
                                        Compress(F::Huffman, c.data, 8)->size()));
    }
  }
  EXPECT_FALSE(Compress(F::Huffman, text, 2).has_value());
}

TEST(GbaFormatsTest, HuffmanTablesReachEveryChild) {
  // Balanced trees of every size, the fallback when no ordering fits the optimal tree.
  for (int present = 1; present <= 256; ++present) {
    std::array<int, gba::kHuffmanSymbols> lengths{};
    int bits = 1;
    while ((1 << bits) < present) ++bits;
    for (int s = 0, shorter = (1 << bits) - present; s < present; ++s)
      lengths[s] = shorter-- > 0 && bits > 1 ? bits - 1 : bits;
    gba::HuffmanCodeTree tree = gba::TreeFromCodeLengths(lengths);
    EXPECT_TRUE(gba::LayOutPairs(tree, 8)) << present;
  }
  // Skewed and flat counts of many symbols: the streams decode and none needs the fallback.
  std::mt19937 random(8);
  for (int trial = 0; trial < 300; ++trial) {
    Bytes data;
    const int symbols = 2 + static_cast<int>(random() % 255);
    for (int s = 0; s < symbols; ++s)
      data.insert(data.end(), trial % 2 ? 1 + random() % 3 : 1 + random() % (1u << random() % 12),
                  static_cast<uint8_t>(s));
    data.resize(data.size() & ~size_t{3});  // no padding, whose code length ties can change
    EXPECT_EQ(Compress(F::Huffman, data, 8)->size(), HuffmanSize(data, 8)) << trial;
  }
}

TEST(GbaFormatsTest, ScanLooksOnlyAtPlausibleStarts) {
  const Bytes tiles = Sample(0, 3000, 6);
  const Bytes sixtyFour(64, 'q');
  struct Case {
    const char* name;
    F format;
    Bytes stream;
    bool plausible;
  };
  const Case cases[] = {
      {"lz10", F::Lz10, *Compress(F::Lz10, tiles), true},
      {"lz10 greedy", F::Lz10, *CompressGbaFormatGreedy(F::Lz10, tiles), true},
      {"lz11", F::Lz11, *Compress(F::Lz11, tiles), true},
      {"rle", F::Rle30, *Compress(F::Rle30, tiles), true},
      {"rle greedy", F::Rle30, *CompressGbaFormatGreedy(F::Rle30, tiles), true},
      {"huff 4", F::Huffman, *Compress(F::Huffman, tiles, 4), true},
      {"huff 8", F::Huffman, *Compress(F::Huffman, tiles, 8), true},
      {"huff one symbol", F::Huffman, *Compress(F::Huffman, sixtyFour, 8), true},
      {"wrong type", F::Lz11, *Compress(F::Lz10, tiles), false},
      {"63 bytes", F::Rle30, Cat(Header(0x30, 63), {0xBC, 'q'}), false},
      {"64 bytes", F::Rle30, Cat(Header(0x30, 64), {0xBD, 'q'}), true},
      {"256 KiB", F::Rle30,
       Cat(Header(0x30, 256 << 10), Cat(Repeat({0xFF, 'q'}, 2016), {0xBD, 'q'})), true},
      {"more than 256 KiB", F::Lz10, Cat(Header(0x10, (256 << 10) + 1), {0x00, 'q'}), false},
      {"lz copy first", F::Lz10, Cat(Header(0x10, 64), {0x80, 0xF0, 0x00}), false},
      {"rle literal blocks that fit in one", F::Rle30,
       Cat(Header(0x30, 64), Cat(Cat({0x1F}, Sample(2, 32, 1)), Cat({0x1F}, Sample(2, 32, 2)))),
       false},
      {"rle runs of one byte that fit in one", F::Rle30,
       Cat(Header(0x30, 64), {0x9D, 'q', 0x9D, 'q'}), false},
      {"rle literals ending in the run's byte", F::Rle30,
       Cat(Header(0x30, 64), {0x02, 'a', 'b', 'q', 0xBA, 'q'}), false},
      {"rle run then its byte as a literal", F::Rle30,
       Cat(Header(0x30, 64), {0xBA, 'q', 0x02, 'q', 'b', 'c'}), false},
      {"rle four equal literals", F::Rle30,
       Cat(Cat(Header(0x30, 64), {0x3F}), Cat(Sample(2, 60, 3), Bytes(4, 'q'))), false},
      {"huff table wider than its tree", F::Huffman,
       Cat(Header(0x28, 64), {0x03, 0xC0, 'a', 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), false},
      {"huff 4-bit symbol above 15", F::Huffman,
       Cat(Header(0x24, 64), {0x01, 0xC0, 0x01, 0x12, 0, 0, 0, 0}), false},
      {"huff symbol twice", F::Huffman,
       Cat(Header(0x28, 64), {0x03, 0x80, 'a', 0xC0, 'a', 'b', 0, 0, 0, 0, 0, 0}), false},
      {"huff pair reached twice", F::Huffman,
       Cat(Header(0x28, 64), {0x03, 0x00, 0xC0, 0xC0, 'a', 'b', 0, 0, 0, 0, 0, 0}), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MayStartStream(c.format, c.stream), c.plausible);
    if (c.plausible) {
      EXPECT_TRUE(Decompress(c.format, c.stream).ok());
    }
  }
}

}  // namespace
}  // namespace varnock
