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

// ---- Bits no pixel owns keep their value; the pixels still come back.

struct Padded {
  const char* Name;
  int Bits, Bytes;
  BitOrder Order;
  std::vector<PlaneLayout> Planes;
  std::vector<int> Unowned;  // bytes no pixel has a bit in
  uint8_t KeptInEvery = 0;   // bits of every byte no pixel has
};

class PaddedTest : public ::testing::TestWithParam<Padded> {};

TEST_P(PaddedTest, KeepsTheBytesNoPixelOwnsAndGivesBackThePixels) {
  const Padded& c = GetParam();
  CodecDescription d;
  d.BitsPerPixel = c.Bits;
  d.TileBytes = c.Bytes;
  d.Order = c.Order;
  for (size_t p = 0; p < c.Planes.size(); ++p) d.Planes[p] = c.Planes[p];
  const auto format = RegisterDescribedFormat(std::string("padded-") + c.Name, c.Name, d).Format;
  ASSERT_TRUE(format);
  std::mt19937 random(5);
  TileSurface s = Surface(3, 1, *format, random);
  const std::vector<uint8_t> pixels = s.Pixels;
  std::vector<uint8_t> bytes(size_t(3 * c.Bytes), 0xC3);
  EncodeTiles(s, bytes);
  for (int tile = 0; tile < 3; ++tile)
    for (int unowned : c.Unowned) EXPECT_EQ(bytes[size_t(tile * c.Bytes + unowned)], 0xC3);
  for (uint8_t b : bytes) ASSERT_EQ(b & c.KeptInEvery, 0xC3 & c.KeptInEvery);
  DecodeTiles(bytes, s);
  for (size_t i = 0; i < pixels.size(); ++i)
    ASSERT_EQ(s.Pixels[i], pixels[i] & ((1 << c.Bits) - 1)) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PaddedTest,
    ::testing::Values(
        // One plane in the even bytes.
        Padded{"EvenBytes", 1, 16, BitOrder::MsbFirst, {{0, 1, 16}}, {1, 7, 15}},
        // A byte after each tile: the last eight-byte group of the tile is short.
        Padded{"TrailingByte", 1, 9, BitOrder::MsbFirst, {{0, 1, 8}}, {8}},
        // Rows of one byte per pixel, nine bytes apart.
        Padded{"PlainRowsApart",
               8,
               72,
               BitOrder::LsbFirst,
               {{0, 8, 72},
                {1, 8, 72},
                {2, 8, 72},
                {3, 8, 72},
                {4, 8, 72},
                {5, 8, 72},
                {6, 8, 72},
                {7, 8, 72}},
               {8, 17, 71}},
        // Two-bit pixels in bits 4-5 of a byte each; the other bits are no pixel's.
        Padded{"HighHalves", 2, 64, BitOrder::LsbFirst, {{4, 8, 64}, {5, 8, 64}}, {}, 0xCF}),
    [](const auto& info) { return info.param.Name; });

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

}  // namespace
}  // namespace varnock
