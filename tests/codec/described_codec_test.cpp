#include "codec/described_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codec/codec_file.h"
#include "codec/codec_registry.h"
#include "codec/format_names.h"
#include "codec/tile_codec.h"

namespace varnock {
namespace {

TileSurface Surface(int across, int down, int format, std::mt19937& random) {
  TileSurface s;
  s.TilesAcross = across;
  s.TilesDown = down;
  RebuildSurface(s);
  for (auto& p : s.Pixels) p = static_cast<uint8_t>(random());
  s.DecodeFormat = s.EncodeFormat = static_cast<TileFormat>(format);
  s.DecodeTileBytes = s.EncodeTileBytes = LookUpTileFormat(format)->TileBytes;
  s.DecodeAcross = s.EncodeAcross = across;
  s.DecodeDown = s.EncodeDown = down;
  return s;
}

// ---- Every fixed format written as a description gives the same tiles both ways.

class ExampleFileTest : public ::testing::TestWithParam<int> {};

TEST_P(ExampleFileTest, DecodesAndEncodesLikeTheFixedFormat) {
  const int fixed = GetParam();
  const std::string path =
      std::string(VARNOCK_CODECS_DIR) + "/example-" + kFormatShortNames[fixed] + ".vrkcodec";
  const CodecFileResult file = ReadCodecFile(path);
  ASSERT_TRUE(file.Ok) << path << ": " << file.Message();
  const RegisterResult registered = RegisterDescribedFormat(
      std::string("described-") + kFormatShortNames[fixed], file.DisplayName, file.Description);
  ASSERT_TRUE(registered.Format) << registered.Reason;
  const int described = *registered.Format;
  ASSERT_EQ(LookUpTileFormat(described)->TileBytes, kTileFormats[fixed].TileBytes);

  for (uint32_t seed = 0; seed < 60; ++seed) {
    std::mt19937 random(seed);
    const int across = 1 + static_cast<int>(random() % 9),
              down = 1 + static_cast<int>(random() % 3);
    const size_t whole = size_t{1} * across * down * kTileFormats[fixed].TileBytes;
    // Now and then the bytes end inside a tile, as at the end of an image.
    const size_t length = seed % 4 == 0 ? random() % whole : whole;
    std::vector<uint8_t> bytes(length);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());

    TileSurface expected = Surface(across, down, fixed, random);
    TileSurface actual = expected;
    actual.DecodeFormat = actual.EncodeFormat = static_cast<TileFormat>(described);
    DecodeTiles(bytes, expected);
    DecodeTiles(bytes, actual);
    ASSERT_EQ(actual.Pixels, expected.Pixels) << "decode, seed " << seed;

    for (auto& p : expected.Pixels) p = static_cast<uint8_t>(random());
    actual.Pixels = expected.Pixels;
    std::vector<uint8_t> fixedOut = bytes, describedOut = bytes;
    EncodeTiles(expected, fixedOut);
    EncodeTiles(actual, describedOut);
    ASSERT_EQ(describedOut, fixedOut) << "encode, seed " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(FixedFormats, ExampleFileTest, ::testing::Range(0, kFixedTileFormatCount),
                         [](const auto& info) {
                           return std::string(kFormatShortNames[info.param]);
                         });

// ---- Bits no pixel owns.

TEST(DescribedCodec, BitsNoPixelOwnsAreReadAsNothingAndKept) {
  // One plane in the even bytes; the odd bytes belong to no pixel.
  CodecDescription d;
  d.BitsPerPixel = 1;
  d.TileBytes = 16;
  d.Planes[0] = {0, 1, 16};
  const auto format = RegisterDescribedFormat("padded-1bpp", "padded", d).Format;
  ASSERT_TRUE(format);
  std::vector<uint8_t> bytes(16);
  for (int i = 0; i < 16; ++i) bytes[i] = i % 2 ? 0xFF : static_cast<uint8_t>(0x80 >> (i / 2));
  std::mt19937 random(1);
  TileSurface s = Surface(1, 1, *format, random);
  DecodeTiles(bytes, s);
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(s.Pixels[r * 8 + x], x == r ? 1 : 0) << x << "," << r;
  std::fill(s.Pixels.begin(), s.Pixels.end(), 1);
  EncodeTiles(s, bytes);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], 0xFF) << i;
}

// ---- What makes a description unusable.

struct Unsound {
  const char* Name;
  int Bits, Bytes;
  std::vector<PlaneLayout> Planes;
  const char* Key;
  const char* Reason;  // a part of it
};

class UnsoundTest : public ::testing::TestWithParam<Unsound> {};

TEST_P(UnsoundTest, IsRefusedNamingItsKey) {
  const Unsound& c = GetParam();
  CodecDescription d;
  d.BitsPerPixel = c.Bits;
  d.TileBytes = c.Bytes;
  for (size_t p = 0; p < c.Planes.size(); ++p) d.Planes[p] = c.Planes[p];
  const DescriptionProblem problem = CheckDescription(d);
  EXPECT_EQ(problem.Key, c.Key);
  EXPECT_NE(problem.Reason.find(c.Reason), std::string::npos) << problem.Reason;
  EXPECT_FALSE(RegisterDescribedFormat("unsound", "unsound", d).Format);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnsoundTest,
    ::testing::Values(
        Unsound{"NoBits", 0, 8, {}, "bits", "must be 1 to 8, not 0"},
        Unsound{"NineBits", 9, 80, {}, "bits", "not 9"},
        Unsound{"NoBytes", 1, 0, {{0, 1, 8}}, "bytes", "must be 1 to 128, not 0"},
        Unsound{"TooManyBytes", 1, 129, {{0, 1, 8}}, "bytes", "not 129"},
        Unsound{"TooFewBytes", 2, 15, {{0, 1, 8}, {64, 1, 8}}, "bytes", "at least 16"},
        Unsound{"BeforeTheTile", 1, 8, {{-1, 1, 8}}, "plane0", "pixel (0, 0) at bit -1"},
        Unsound{"PastTheTile",
                2,
                16,
                {{0, 1, 8}, {65, 1, 8}},
                "plane1",
                "pixel (7, 7) at bit 128, outside the tile's bits 0 to 127"},
        Unsound{
            "SharedBit",
            2,
            16,
            {{0, 1, 16}, {1, 1, 16}},
            "plane1",
            "plane 1 of pixel (0, 0) is at bit 1, which already holds plane 0 of pixel (1, 0)"}),
    [](const auto& info) { return info.param.Name; });

// ---- The registry.

TEST(CodecRegistry, ANameKeepsItsTagAcrossReloadsAndBuiltInNamesAreRefused) {
  CodecDescription d;
  d.BitsPerPixel = 1;
  d.TileBytes = 8;
  d.Planes[0] = {0, 1, 8};
  const RegisterResult first = RegisterDescribedFormat("Reloaded", "first", d);
  ASSERT_TRUE(first.Format);
  EXPECT_GE(*first.Format, kFirstDescribedFormat);
  EXPECT_FALSE(first.Replaced);
  d.Planes[0] = {7, -1, 8};  // mirrored
  const RegisterResult again = RegisterDescribedFormat("reloaded", "second", d);
  EXPECT_EQ(again.Format, first.Format);
  EXPECT_TRUE(again.Replaced);
  EXPECT_STREQ(LookUpTileFormat(*first.Format)->Name, "second");
  EXPECT_EQ(FindDescribedCodec(*first.Format)->Description(), d);
  EXPECT_EQ(DescribedFormatNamed("RELOADED"), first.Format);

  for (const char* builtIn : {"nes", "GBA", "Linear8"})
    EXPECT_FALSE(RegisterDescribedFormat(builtIn, "x", d).Format) << builtIn;
  EXPECT_FALSE(RegisterDescribedFormat("", "x", d).Format);
  EXPECT_EQ(LookUpTileFormat(-1), nullptr);
  EXPECT_EQ(LookUpTileFormat(kLastDescribedFormat), nullptr);
  EXPECT_EQ(LookUpTileFormat(kLinear8Format)->BitsPerPixel, 8);
}

}  // namespace
}  // namespace varnock
