#include "compression/sega_formats.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "compression/stream_scan.h"
#include "support/sega_reference.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
using E = DecompressError;
constexpr auto kNemesis = CompressionFormat::Nemesis;
constexpr auto kKosinski = CompressionFormat::Kosinski;

// "00 01 FF" -> {0x00, 0x01, 0xFF}; 'text' in quotes gives its characters.
Bytes Hex(std::string_view text) {
  Bytes bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\'') {
      for (++i; text[i] != '\''; ++i) bytes.push_back(static_cast<uint8_t>(text[i]));
    } else if (text[i] != ' ') {
      bytes.push_back(static_cast<uint8_t>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
      ++i;
    }
  }
  return bytes;
}
Bytes Joined(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Bytes Repeated(size_t count, uint8_t value) {
  return Bytes(count, value);
}

struct Vector {
  const char* name;
  CompressionFormat format;
  Bytes stream;
  E error;
  Bytes output = {};
  size_t consumed = 0;
  size_t maxOutput = kMaxDecompressedBytes;
};

void CheckVectors(const std::vector<Vector>& vectors) {
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.name);
    const DecompressResult result = Decompress(v.format, v.stream, v.maxOutput);
    EXPECT_EQ(result.Error, v.error);
    EXPECT_EQ(result.Bytes, v.output);
    EXPECT_EQ(result.Consumed, v.consumed);
  }
}

// Nemesis, drawn bit by bit. Header: tile count (bit 15: XOR). Table: 8V = value V, then
// entries 0RRRLLLL CCCCCCCC (run R + 1, L-bit code C), FF ends. Codes MSB first.
TEST(NemesisTest, HandVectorsDecode) {
  const Bytes zeros = Repeated(32, 0);
  CheckVectors({
      // run 8 of 0 = "0": 0 0 0 0 0 0 0 0 -> 00
      {"one code per row", kNemesis, Hex("00 01 80 71 00 FF 00"), E::None, zeros, 7},
      // empty table; 8 x 111111 111 0101 (inline: run 8 of 5) = 104 bits
      {"inline escape", kNemesis, Hex("00 01 FF FF AF FD 7F EB FF 5F FA FF D7 FE BF F5"), E::None,
       Repeated(32, 0x55), 16},
      // XOR: row 0 = 11111111 ("0" = run 8 of 1), rows 1-7 = 0 ("10" = run 8 of 0), each XORed
      // with the row before: 0 10 10 10 10 10 10 10 (+0) -> 55 54
      {"xor rows", kNemesis, Hex("80 01 81 71 00 80 72 02 FF 55 54"), E::None, Repeated(32, 0x11),
       11},
      // 11 10 00 00, then zeros: 3 pixels of 1 (8-bit code 00000000), then eight runs of 8 zeros
      // ("01"): the first crosses into row 1, the last passes row 7 and its 3 extra are dropped.
      // 00000000 01010101 01010101; the two bytes after the stream are not taken
      {"runs cross rows, 8-bit code, overshoot", kNemesis,
       Hex("00 01 81 28 00 80 72 01 FF 00 55 55 AA BB"), E::None,
       Joined(Hex("11 10 00 00"), Repeated(28, 0)), 12},
      // The table of "window undecided at the end" with the byte that decides the last code
      {"window decided by the next byte", kNemesis, Hex("00 01 80 71 00 81 77 01 FF 00 00"),
       E::None, zeros, 11},
      // The game reads the first table byte as a value byte even without its top bit.
      {"first table byte 05 is value 5", kNemesis, Hex("00 01 05 71 00 FF 00"), E::None,
       Repeated(32, 0x55), 7},
      // "11" is run 8 of 2, but 111111 is tested first: 111111 111 0111 (run 8 of 7), then
      // seven "0" (run 8 of 0) -> FF B8 00
      {"escape before a short code", kNemesis, Hex("00 01 82 72 03 80 71 00 FF FF B8 00"), E::None,
       Joined(Repeated(4, 0x77), Repeated(28, 0)), 12},
  });
}

TEST(NemesisTest, DamagedAndTruncatedStreamsAreRefused) {
  CheckVectors({
      {"no tiles", kNemesis, Hex("00 00 80 71 00 FF 00"), E::BadHeader},
      {"0x2000 tiles", kNemesis, Hex("20 00 80 71 00 FF 00"), E::BadHeader},
      {"code length 0", kNemesis, Hex("00 01 80 70 00 FF 00"), E::BadTree},
      {"code length 9", kNemesis, Hex("00 01 80 79 00 FF 00"), E::BadTree},
      {"code wider than its length", kNemesis, Hex("00 01 80 71 02 FF 00"), E::BadTree},
      {"code not in the table", kNemesis, Hex("00 01 80 71 00 FF 80"), E::BadCommand},
      {"header only", kNemesis, Hex("00"), E::EndsEarly},
      {"table without end", kNemesis, Hex("00 01 80 71 00"), E::EndsEarly},
      {"no codes", kNemesis, Hex("00 01 80 71 00 FF"), E::EndsEarly},
      // One bit short: the last "01" would need the byte that is missing.
      {"last code cut", kNemesis, Hex("00 01 81 28 00 80 72 01 FF 00 55"), E::EndsEarly},
      // "0" is run 8 of 0 (windows 00-7F) until "0000001" takes 02-03: each "0" is decided
      // only by the 7 bits from its start, so 8 of them need 14 bits and a one-byte stream
      // leaves the third undecided.
      {"window undecided at the end", kNemesis, Hex("00 01 80 71 00 81 77 01 FF 00"), E::EndsEarly},
      {"more than allowed", kNemesis, Hex("00 01 80 71 00 FF 00"), E::TooLarge, {}, 0, 31},
  });
}

// Kosinski, drawn bit by bit: descriptor words are little-endian, bits lowest first. 1 = literal,
// 00HL + dd = near copy of HL + 2 from 256 - dd back, 01 + lo hi [c] = far copy, 00 F0 00 = end.
TEST(KosinskiTest, HandVectorsDecode) {
  CheckVectors({
      // 1 1 1 01 -> 10111 = 17
      {"literals and end", kKosinski, Hex("17 00 'ABC' 00 F0 00"), E::None, Hex("'ABC'"), 8},
      // 1 00 11 01 -> 1011001 = 59; FF = 1 back, 5 bytes over the one written
      {"overlapping near copy", kKosinski, Hex("59 00 'A' FF 00 F0 00"), E::None, Hex("'AAAAAA'"),
       7},
      // 1111 01 01 -> 10101111 = AF; FC FF: field 1FFC = 4 back, 7 + 2 = 9 bytes
      {"far copy of 9", kKosinski, Hex("AF 00 'ABCD' FC FF 00 F0 00"), E::None,
       Hex("'ABCDABCDABCDA'"), 11},
      // 1 01 01 -> 10101 = 15; FF F8 FF: 1 back, count byte FF = 256 bytes, the longest
      {"far copy of 256", kKosinski, Hex("15 00 'A' FF F8 FF 00 F0 00"), E::None,
       Repeated(257, 'A'), 9},
      // count byte 1 copies nothing and the stream goes on
      {"continue marker", kKosinski, Hex("15 00 'A' 00 F0 01 00 F0 00"), E::None, Hex("'A'"), 9},
      // 15 literals and the first bit of a near copy fill word 7FFF; the next word (0010: 0 00
      // 01) is read before the copy's byte
      {"word read before the token's bytes", kKosinski,
       Hex("FF 7F 'ABCDEFGHIJKLMNO' 10 00 FF 00 F0 00"), E::None, Hex("'ABCDEFGHIJKLMNOOO'"), 23},
      // 14 literals, then the end marker's 01 fills word BFFF: the word after it is read (and
      // counted), the padding after the marker is not
      {"end marker closes a word", kKosinski, Hex("FF BF 'ZZZZZZZZZZZZZZ' 00 00 00 F0 00 00 00 00"),
       E::None, Repeated(14, 'Z'), 21},
  });
}

TEST(KosinskiTest, DamagedAndTruncatedStreamsAreRefused) {
  CheckVectors({
      // 1 00 00 01 -> 1000001 = 41: a near copy from 2 back after one byte, then the end
      {"near copy before the start", kKosinski, Hex("41 00 'A' FE 00 F0 00"),
       E::ReferenceBeforeStart},
      {"far copy first", kKosinski, Hex("02 00 FF FF 00 F0 00"), E::ReferenceBeforeStart},
      {"no end marker", kKosinski, Hex("17 00 'ABC' 00 F0"), E::EndsEarly},
      {"next word missing", kKosinski, Hex("FF 7F 'AAAAAAAAAAAAAAA'"), E::EndsEarly},
      {"one byte", kKosinski, Hex("01"), E::EndsEarly},
      {"more than allowed", kKosinski, Hex("15 00 'A' FF F8 FF 00 F0 00"), E::TooLarge, {}, 0, 256},
  });
}

Bytes RoundTripData(const std::string& kind, size_t size, uint32_t seed) {
  Bytes data;
  if (kind == "tiles") data = test::TileLikeBytes(size, seed);
  if (kind == "random") data = test::PatternBytes(size, seed);
  if (kind == "zeros" || kind == "ones") data = Repeated(size, kind == "ones" ? 0xFF : 0);
  if (kind == "near reach" || kind == "window") {
    // The same bytes again 256 or 8192 later: a near or far copy from its farthest
    data = test::PatternBytes(kind == "near reach" ? 256 : 8192, seed);
    data.insert(data.end(), data.begin(),
                data.begin() + static_cast<std::ptrdiff_t>(size - data.size()));
  }
  if (kind == "distinct runs") {  // 4 pixels of each value, in an order whose XOR rows repeat
    // no run either: no symbol pays for a code in either mode, the table is empty
    for (uint8_t v : {13, 7, 10, 2, 9, 5, 8, 14, 3, 11, 6, 1, 12, 15, 0, 4})
      data.insert(data.end(), 2, static_cast<uint8_t>(v * 0x11));
  }
  if (kind == "drift") {  // each row one pixel off the row before: XOR rows are nearly blank
    data = test::PatternBytes(4, seed);
    while (data.size() < size) {
      const Bytes row(data.end() - 4, data.end());
      data.insert(data.end(), row.begin(), row.end());
      data[data.size() - 1 - data.size() / 4 % 4] ^= 0x10;
    }
  }
  return data;
}

// Every stream decodes back to its input, ends where Consumed says, passes the scan's first look
// and is never longer than the straightforward encoding; a Kosinski stream is as short as the
// shortest one a brute-force search finds.
TEST(SegaCompressorTest, RoundTripsAreExactAndNeverLongerThanStraightforward) {
  struct Case {
    CompressionFormat format;
    const char* kind;
    size_t size;
    uint32_t seed;
  };
  const Case cases[] = {
      {kNemesis, "tiles", 32, 1},         {kNemesis, "tiles", 4096, 2},
      {kNemesis, "tiles", 16384, 3},      {kNemesis, "random", 32, 4},
      {kNemesis, "random", 2048, 5},      {kNemesis, "zeros", 32 * 0x1FFF, 0},
      {kNemesis, "ones", 96, 0},          {kNemesis, "drift", 4096, 12},
      {kNemesis, "distinct runs", 32, 0}, {kKosinski, "tiles", 5000, 6},
      {kKosinski, "tiles", 16384, 7},     {kKosinski, "random", 3000, 8},
      {kKosinski, "random", 1, 9},        {kKosinski, "zeros", 70000, 0},
      {kKosinski, "empty", 0, 0},         {kKosinski, "window", 8192 + 300, 10},
      {kKosinski, "near reach", 261, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(CompressionInfo(c.format).ShortName) + " " + c.kind + " " +
                 std::to_string(c.size));
    const std::string kind = c.kind;
    const Bytes data = RoundTripData(kind, c.size, c.seed);
    const std::optional<Bytes> stream = Compress(c.format, data);
    ASSERT_TRUE(stream.has_value());
    const DecompressResult back = Decompress(c.format, Joined(*stream, {0x5A, 0xA5}));
    ASSERT_TRUE(back.ok()) << DecompressErrorText(back.Error);
    EXPECT_EQ(back.Bytes, data);
    EXPECT_EQ(back.Consumed, stream->size());
    EXPECT_EQ(MayStartStream(c.format, *stream), !data.empty());
    const Bytes reference =
        c.format == kNemesis ? test::StraightforwardNemesis(data) : test::GreedyKosinski(data);
    EXPECT_EQ(Decompress(c.format, reference).Bytes, data);
    EXPECT_LE(stream->size(), reference.size());
    if (c.format == kKosinski && data.size() <= 5000) {
      EXPECT_EQ(stream->size(), test::ShortestKosinskiSize(data));
    }
    if (kind == "drift") {
      EXPECT_EQ((*stream)[0] & 0x80, 0x80);
    }
    if (kind == "window") {
      EXPECT_LT(stream->size(), 8192 * 9 / 8 + 30);  // 8192 literals, then one copy
    }
  }
}

TEST(NemesisTest, CompressRefusesWhatTheHeaderCannotDeclare) {
  for (size_t size : {size_t{0}, size_t{31}, size_t{33}, size_t{32 * 0x2000}}) {
    SCOPED_TRACE(size);
    EXPECT_FALSE(Compress(kNemesis, Bytes(size, 0x12)).has_value());
  }
}

// The scan's first look turns away what no encoder writes, and nothing else.
TEST(SegaScanTest, FirstLookRefusesWhatNoEncoderWrites) {
  struct Case {
    const char* name;
    CompressionFormat format;
    Bytes start;
    bool may;
  };
  const Case cases[] = {
      {"nemesis table", kNemesis, Hex("00 02 80 71 00 FF"), true},
      {"nemesis no tiles", kNemesis, Hex("00 00 80 71 00 FF"), false},
      {"nemesis first byte 05", kNemesis, Hex("00 02 05 71 00 FF"), false},
      {"nemesis value byte 90", kNemesis, Hex("00 02 90 71 00 FF"), false},
      {"nemesis empty table", kNemesis, Hex("00 02 FF 00"), true},
      {"nemesis value byte without entries", kNemesis, Hex("00 02 80 FF"), false},
      {"nemesis later value byte 90", kNemesis, Hex("00 02 80 71 00 90 72 02 FF"), false},
      {"nemesis prefix codes", kNemesis, Hex("00 02 80 71 00 72 01 FF"), false},
      {"nemesis code over the escape", kNemesis, Hex("00 02 80 77 7E FF"), false},
      {"nemesis table cut", kNemesis, Hex("00 02 80 71 00"), false},
      {"kosinski literals", kKosinski, Hex("17 00 'ABC' 00 F0 00"), true},
      {"kosinski copy first", kKosinski, Hex("02 00 FF FF 00 F0 00"), false},
      {"kosinski fill FF", kKosinski, Repeated(64, 0xFF), false},
      {"kosinski fill FF 00", kKosinski, Joined(Hex("FF"), Repeated(63, 0)), false},
      // 1111 01 -> 2F; 111111 01 -> BF
      {"kosinski four literals", kKosinski, Hex("2F 00 'ABAB' 00 F0 00"), true},
      {"kosinski four literals repeated", kKosinski, Hex("BF 00 'ABABAB' 00 F0 00"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(MayStartStream(c.format, c.start), c.may);
  }
}

TEST(SegaScanTest, FindsEachStreamInFillAndNoise) {
  const Bytes tiles = test::TileLikeBytes(2048, 11);
  const Bytes nemesis = *Compress(kNemesis, tiles);
  const Bytes kosinski = *Compress(kKosinski, tiles);
  const Bytes image =
      Joined(Joined(Joined(Joined(Repeated(4096, 0xFF), nemesis), Repeated(3000, 0)), kosinski),
             test::PatternBytes(5000, 12));
  const CompressionFormat formats[] = {kNemesis, kKosinski};
  const std::vector<StreamFind> finds = ScanForStreams(image, formats);
  ASSERT_EQ(finds.size(), 2u);
  EXPECT_EQ(finds[0].Offset, 4096u);
  EXPECT_EQ(finds[0].Format, kNemesis);
  EXPECT_EQ(finds[0].CompressedLength, nemesis.size());
  EXPECT_EQ(finds[1].Offset, 4096 + nemesis.size() + 3000);
  EXPECT_EQ(finds[1].Format, kKosinski);
  EXPECT_EQ(finds[1].DecompressedLength, tiles.size());
}

// No compressor writes a stream the decompressors would refuse as too long: data past their
// 16 MiB is refused by every format (Kosinski, which has no length field, wrote one).
TEST(CompressionLimitTest, DataPastWhatADecompressorGivesBackIsRefused) {
  const Bytes data(kMaxDecompressedBytes + 1, 0);
  for (const CompressionFormatInfo& info : AllCompressionFormats())
    EXPECT_FALSE(Compress(info.Format, data).has_value()) << info.ShortName;
}

}  // namespace
}  // namespace varnock
