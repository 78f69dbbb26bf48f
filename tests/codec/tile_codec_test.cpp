#include "codec/tile_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace varnock {
namespace {

TileSurface MakeSurface(int across, int down, uint8_t fill = 0) {
  TileSurface surface;
  surface.TilesAcross = across;
  surface.TilesDown = down;
  RebuildSurface(surface);
  std::fill(surface.Pixels.begin(), surface.Pixels.end(), fill);
  return surface;
}

void SetDecode(TileSurface& s, int format, int across, int down, int column = 0, int row = 0,
               int skip = 0) {
  s.DecodeFormat = static_cast<TileFormat>(format);
  s.DecodeTileBytes = TileFormatInfo(format).TileBytes;
  s.DecodeSkip = skip;
  s.DecodeColumn = column;
  s.DecodeRow = row;
  s.DecodeAcross = across;
  s.DecodeDown = down;
}

void SetEncode(TileSurface& s, int format, int across, int down, int column = 0, int row = 0,
               int skip = 0) {
  s.EncodeFormat = static_cast<TileFormat>(format);
  s.EncodeTileBytes = TileFormatInfo(format).TileBytes;
  s.EncodeSkip = skip;
  s.EncodeColumn = column;
  s.EncodeRow = row;
  s.EncodeAcross = across;
  s.EncodeDown = down;
}

uint8_t Pixel(const TileSurface& s, int x, int y) {
  return s.Pixels[y * s.Width() + x];
}

std::array<uint8_t, 8> PixelRow(const TileSurface& s, int column, int y) {
  std::array<uint8_t, 8> row;
  for (int x = 0; x < 8; ++x) row[x] = Pixel(s, column * 8 + x, y);
  return row;
}

// ---- Hand-worked tiles: every byte not listed is 0, so every pixel row not listed is 0.

struct HandTile {
  int Format;
  std::vector<std::pair<int, uint8_t>> Bytes;  // (byte index, value)
  int Row;
  std::array<uint8_t, 8> Pixels;
};

const HandTile kHandTiles[] = {
    {0, {{0, 0xA5}}, 0, {1, 0, 1, 0, 0, 1, 0, 1}},
    {0, {{7, 0x80}}, 7, {1, 0, 0, 0, 0, 0, 0, 0}},
    // NES: plane 0 = 1111 0000, plane 1 = 1100 1100.
    {1, {{0, 0xF0}, {8, 0xCC}}, 0, {3, 3, 1, 1, 2, 2, 0, 0}},
    {1, {{3, 0x01}, {11, 0x01}}, 3, {0, 0, 0, 0, 0, 0, 0, 3}},
    {2, {{0, 0xF0}, {1, 0xCC}}, 0, {3, 3, 1, 1, 2, 2, 0, 0}},
    {2, {{14, 0x80}, {15, 0x01}}, 7, {1, 0, 0, 0, 0, 0, 0, 2}},
    // Virtual Boy: 0xE4 = 11 10 01 00, read from the low end.
    {3, {{0, 0xE4}, {1, 0x1B}}, 0, {0, 1, 2, 3, 3, 2, 1, 0}},
    {3, {{2, 0x03}}, 1, {3, 0, 0, 0, 0, 0, 0, 0}},
    // NGPC: the word 0x1BE4 read from its high end.
    {4, {{0, 0xE4}, {1, 0x1B}}, 0, {0, 1, 2, 3, 3, 2, 1, 0}},
    {4, {{2, 0x40}}, 1, {0, 0, 0, 0, 1, 0, 0, 0}},
    {5, {{0, 0x80}, {1, 0x40}, {16, 0x20}}, 0, {1, 2, 4, 0, 0, 0, 0, 0}},
    {5, {{14, 0x01}, {15, 0x01}, {23, 0x01}}, 7, {0, 0, 0, 0, 0, 0, 0, 7}},
    {6, {{0, 0x80}, {1, 0x40}, {16, 0x20}, {17, 0x10}}, 0, {1, 2, 4, 8, 0, 0, 0, 0}},
    {6, {{14, 0x01}, {15, 0x01}, {30, 0x01}, {31, 0x01}}, 7, {0, 0, 0, 0, 0, 0, 0, 15}},
    {7, {{0, 0x80}, {1, 0x40}, {2, 0x20}, {3, 0x10}}, 0, {1, 2, 4, 8, 0, 0, 0, 0}},
    {7, {{28, 0xFF}, {31, 0xFF}}, 7, {9, 9, 9, 9, 9, 9, 9, 9}},
    {8, {{0, 0x12}, {1, 0x34}, {2, 0x56}, {3, 0x78}}, 0, {1, 2, 3, 4, 5, 6, 7, 8}},
    {8, {{4, 0x12}}, 1, {1, 2, 0, 0, 0, 0, 0, 0}},
    {9, {{0, 0x12}, {1, 0x34}, {2, 0x56}, {3, 0x78}}, 0, {2, 1, 4, 3, 6, 5, 8, 7}},
    {9, {{4, 0x12}}, 1, {2, 1, 0, 0, 0, 0, 0, 0}},
};

class HandTileTest : public ::testing::TestWithParam<HandTile> {};

TEST_P(HandTileTest, DecodesAndEncodesTheWorkedBytes) {
  const HandTile& tile = GetParam();
  std::vector<uint8_t> bytes(TileFormatInfo(tile.Format).TileBytes, 0);
  for (auto [index, value] : tile.Bytes) bytes[index] = value;

  TileSurface surface = MakeSurface(1, 1, 0xEE);
  SetDecode(surface, tile.Format, 1, 1);
  DecodeTiles(bytes, surface);
  for (int y = 0; y < 8; ++y) {
    const std::array<uint8_t, 8> expected = y == tile.Row ? tile.Pixels : std::array<uint8_t, 8>{};
    EXPECT_EQ(PixelRow(surface, 0, y), expected) << "row " << y;
  }

  std::vector<uint8_t> encoded(bytes.size(), 0xEE);
  SetEncode(surface, tile.Format, 1, 1);
  EncodeTiles(surface, encoded);
  EXPECT_EQ(encoded, bytes);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, HandTileTest, ::testing::ValuesIn(kHandTiles));

const HandTile kEightBitHandTiles[] = {
    // SNES 8BPP: plane p's row-0 byte at 16 (p / 2) + p % 2, one pixel each.
    {10,
     {{0, 0x80}, {1, 0x40}, {16, 0x20}, {17, 0x10}, {32, 0x08}, {33, 0x04}, {48, 0x02}, {49, 0x01}},
     0,
     {1, 2, 4, 8, 16, 32, 64, 128}},
    {10,
     {{14, 0x01},
      {15, 0x01},
      {30, 0x01},
      {31, 0x01},
      {46, 0x01},
      {47, 0x01},
      {62, 0x01},
      {63, 0x01}},
     7,
     {0, 0, 0, 0, 0, 0, 0, 255}},
    // Row 3: plane 4 in byte 38 and plane 7 in byte 55.
    {10, {{38, 0xFF}, {55, 0xF0}}, 3, {144, 144, 144, 144, 16, 16, 16, 16}},
    // Linear 8BPP: byte 8r + x is pixel x of row r.
    {11, {{0, 0x12}, {7, 0xFF}}, 0, {0x12, 0, 0, 0, 0, 0, 0, 0xFF}},
    {11, {{56, 1}, {63, 200}}, 7, {1, 0, 0, 0, 0, 0, 0, 200}},
};

INSTANTIATE_TEST_SUITE_P(EightBitFormats, HandTileTest, ::testing::ValuesIn(kEightBitHandTiles));

// ---- Round trip: decoding then encoding gives back the same bytes, for any bytes.

class FormatTest : public ::testing::TestWithParam<int> {};

TEST_P(FormatTest, DecodeThenEncodeGivesBackTheBytes) {
  const int format = GetParam();
  const int across = 5, down = 3;
  const int count = across * down * TileFormatInfo(format).TileBytes;
  for (uint32_t seed = 0; seed < 200; ++seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    TileSurface surface = MakeSurface(across, down);
    SetDecode(surface, format, across, down);
    DecodeTiles(bytes, surface);
    for (uint8_t p : surface.Pixels) ASSERT_LT(p, 1 << TileFormatInfo(format).BitsPerPixel);
    std::vector<uint8_t> encoded(count, 0);
    SetEncode(surface, format, across, down);
    EncodeTiles(surface, encoded);
    ASSERT_EQ(encoded, bytes) << "seed " << seed;
  }
}

// A w-tile-wide block out of a grid Columns tiles wide: row k of the block starts
// k x Columns x TileBytes bytes after its first tile, both ways.
TEST_P(FormatTest, SkipReadsAndWritesABlockOfAWiderGrid) {
  const int format = GetParam();
  const int tileBytes = TileFormatInfo(format).TileBytes;
  const int columns = 7, rows = 4, w = 3, h = 3, firstColumn = 2, firstRow = 1;
  std::mt19937 random(format);
  std::vector<uint8_t> grid(columns * rows * tileBytes);
  for (auto& b : grid) b = static_cast<uint8_t>(random());

  TileSurface whole = MakeSurface(columns, rows);
  SetDecode(whole, format, columns, rows);
  DecodeTiles(grid, whole);

  const int first = (firstRow * columns + firstColumn) * tileBytes;
  TileSurface block = MakeSurface(w, h);
  SetDecode(block, format, w, h, 0, 0, columns - w);
  DecodeTiles(std::span(grid).subspan(first), block);
  for (int k = 0; k < h; ++k)
    for (int j = 0; j < w; ++j)
      for (int y = 0; y < 8; ++y)
        ASSERT_EQ(PixelRow(block, j, k * 8 + y),
                  PixelRow(whole, firstColumn + j, (firstRow + k) * 8 + y));

  // Written back through the same addressing, the block lands where it came from.
  std::vector<uint8_t> copy = grid;
  std::fill(copy.begin() + first, copy.end(), 0);
  for (int k = 0; k < h; ++k)  // restore the bytes between the block's rows
    for (int j = w; j < columns && k < h - 1; ++j) {
      const int at = first + (k * columns + j) * tileBytes;
      std::copy(grid.begin() + at, grid.begin() + at + tileBytes, copy.begin() + at);
    }
  const int end = first + ((h - 1) * columns + w) * tileBytes;
  std::copy(grid.begin() + end, grid.end(), copy.begin() + end);
  SetEncode(block, format, w, h, 0, 0, columns - w);
  EncodeTiles(block, std::span(copy).subspan(first));
  EXPECT_EQ(copy, grid);
}

// Partial tiles at the end: present bytes decode, missing ones read as 0; nothing is read or
// written outside the spans (the guards around them stay as they were).
TEST_P(FormatTest, StopsAtTheEndOfTheBuffers) {
  const int format = GetParam();
  const int tileBytes = TileFormatInfo(format).TileBytes;
  const int length = tileBytes + tileBytes / 2;  // one and a half tiles
  std::vector<uint8_t> full(3 * tileBytes, 0);
  for (int i = 0; i < length; ++i) full[i] = static_cast<uint8_t>(0x5A ^ (i * 37));

  TileSurface expected = MakeSurface(3, 1);
  SetDecode(expected, format, 3, 1);
  DecodeTiles(full, expected);
  TileSurface clipped = MakeSurface(3, 1, 0xEE);
  SetDecode(clipped, format, 3, 1);
  DecodeTiles(std::span(full).first(length), clipped);
  EXPECT_EQ(clipped.Pixels, expected.Pixels);

  constexpr int kGuard = 40;
  std::vector<uint8_t> buffer(kGuard + length + kGuard, 0xC3);
  SetEncode(expected, format, 3, 1);
  EncodeTiles(expected, std::span(buffer).subspan(kGuard, length));
  for (int i = 0; i < kGuard; ++i) {
    EXPECT_EQ(buffer[i], 0xC3) << "before, " << i;
    EXPECT_EQ(buffer[kGuard + length + i], 0xC3) << "after, " << i;
  }
  EXPECT_TRUE(std::equal(full.begin(), full.begin() + length, buffer.begin() + kGuard));
}

INSTANTIATE_TEST_SUITE_P(AllFormats, FormatTest, ::testing::Range(0, kTileFormatCount));
INSTANTIATE_TEST_SUITE_P(EightBitFormats, FormatTest,
                         ::testing::Range(kTileFormatCount, kFixedTileFormatCount));

// ---- Bits above the format's depth are dropped.

struct DroppedBits {
  int Format;
  uint8_t Index;
  uint8_t Stored;
};

class DroppedBitsTest : public ::testing::TestWithParam<DroppedBits> {};

TEST_P(DroppedBitsTest, KeepsOnlyTheLowBits) {
  const DroppedBits& c = GetParam();
  TileSurface surface = MakeSurface(1, 1, c.Index);
  std::vector<uint8_t> bytes(TileFormatInfo(c.Format).TileBytes);
  SetEncode(surface, c.Format, 1, 1);
  EncodeTiles(surface, bytes);
  SetDecode(surface, c.Format, 1, 1);
  DecodeTiles(bytes, surface);
  for (uint8_t p : surface.Pixels) ASSERT_EQ(p, c.Stored);
}

INSTANTIATE_TEST_SUITE_P(Examples, DroppedBitsTest,
                         ::testing::Values(DroppedBits{1, 5, 1}, DroppedBits{1, 6, 2},
                                           DroppedBits{3, 7, 3}, DroppedBits{0, 0xFE, 0},
                                           DroppedBits{2, 0xFF, 3}, DroppedBits{4, 0x0E, 2},
                                           DroppedBits{5, 13, 5}, DroppedBits{6, 0x3C, 12},
                                           DroppedBits{7, 0x17, 7}, DroppedBits{8, 0x1F, 15},
                                           DroppedBits{9, 0xF3, 3}));

// ---- Addressing inside the surface and the source.

TEST(DecodeTiles, OneTileAtOriginLeavesTheRestAlone) {
  TileSurface surface = MakeSurface(8, 6, 0xAA);
  SetDecode(surface, 6, 1, 1, 5, 3);
  const std::vector<uint8_t> bytes(32, 0xFF);
  DecodeTiles(bytes, surface);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool inside = x / 8 == 5 && y / 8 == 3;
      ASSERT_EQ(Pixel(surface, x, y), inside ? 15 : 0xAA) << x << "," << y;
    }
}

TEST(DecodeTiles, Snes3bppSecondTileStartsAtByte24) {
  std::vector<uint8_t> bytes(48, 0);
  for (int i = 40; i < 48; ++i) bytes[i] = 0xFF;  // plane 2 of tile 1
  bytes[24] = 0x80;                               // plane 0, row 0 of tile 1
  TileSurface surface = MakeSurface(2, 1);
  SetDecode(surface, 5, 2, 1);
  DecodeTiles(bytes, surface);
  for (int y = 0; y < 8; ++y) {
    EXPECT_EQ(PixelRow(surface, 0, y), (std::array<uint8_t, 8>{})) << y;
    const uint8_t first = y == 0 ? 5 : 4;
    EXPECT_EQ(PixelRow(surface, 1, y), (std::array<uint8_t, 8>{first, 4, 4, 4, 4, 4, 4, 4})) << y;
  }
}

TEST(DecodeTiles, Format8And9DifferInNibbleOrderOnly) {
  const std::vector<uint8_t> bytes(32, 0x12);
  for (auto [format, left, right] : {std::tuple{8, 1, 2}, std::tuple{9, 2, 1}}) {
    TileSurface surface = MakeSurface(1, 1);
    SetDecode(surface, format, 1, 1);
    DecodeTiles(bytes, surface);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(surface.Pixels[i], i % 2 == 0 ? left : right);
  }
}

TEST(DecodeTiles, CellsOutsideTheSurfaceAreSkipped) {
  // Tiles 0-3 of a 1BPP strip hold 0x80, 0x40, 0x20, 0x10 in every row; the request starts one
  // cell left of a 2-tile surface, so tile 0 and tile 3 have no cell.
  std::vector<uint8_t> bytes;
  for (uint8_t v : {0x80, 0x40, 0x20, 0x10}) bytes.insert(bytes.end(), 8, v);
  TileSurface surface = MakeSurface(2, 1, 0xEE);
  SetDecode(surface, 0, 4, 1, -1, 0);
  DecodeTiles(bytes, surface);
  EXPECT_EQ(PixelRow(surface, 0, 0), (std::array<uint8_t, 8>{0, 1, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(PixelRow(surface, 1, 7), (std::array<uint8_t, 8>{0, 0, 1, 0, 0, 0, 0, 0}));

  std::vector<uint8_t> encoded(32, 0xEE);
  SetEncode(surface, 0, 4, 1, -1, 0);
  EncodeTiles(surface, encoded);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(encoded[i], i / 8 == 1 || i / 8 == 2 ? bytes[i] : 0xEE);
}

TEST(DecodeTiles, RowsBeforeTheSourceReadAsZeroAndAreNotWritten) {
  // A negative row step puts row 1 of tiles 32 bytes before the span.
  std::vector<uint8_t> buffer(64, 0xFF);
  const std::span<uint8_t> span = std::span(buffer).subspan(32, 16);
  TileSurface surface = MakeSurface(1, 2, 0xEE);
  SetDecode(surface, 1, 1, 2, 0, 0, -3);
  DecodeTiles(span, surface);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(surface.Pixels[i], 3);
  for (int i = 64; i < 128; ++i) ASSERT_EQ(surface.Pixels[i], 0);

  std::fill(surface.Pixels.begin(), surface.Pixels.end(), 0);
  SetEncode(surface, 1, 1, 2, 0, 0, -3);
  EncodeTiles(surface, span);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(buffer[i], i >= 32 && i < 48 ? 0 : 0xFF) << i;
}

TEST(EncodeTiles, StepsEncodeTileBytesPerTileAndLaterTilesWin) {
  // 1BPP tiles stepped 4 bytes apart overlap: tile 1 rewrites bytes 4-7 of tile 0.
  TileSurface surface = MakeSurface(2, 1);
  std::fill(surface.Pixels.begin(), surface.Pixels.end(), 1);
  for (int y = 0; y < 8; ++y) surface.Pixels[y * 16 + 8] = 0;  // tile 1: left pixel clear
  std::vector<uint8_t> bytes(16, 0xEE);
  SetEncode(surface, 0, 2, 1);
  surface.EncodeTileBytes = 4;
  EncodeTiles(surface, bytes);
  const std::vector<uint8_t> expected{0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x7F, 0x7F, 0x7F,
                                      0x7F, 0x7F, 0x7F, 0x7F, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(bytes, expected);
}

// Requests no caller should make still stay inside every buffer (run under ASan).
struct WildRequest {
  const char* Name;
  int Format, TileBytes, Skip, Column, Row, Across, Down;
};

class WildRequestTest : public ::testing::TestWithParam<WildRequest> {};

TEST_P(WildRequestTest, TouchesNothingOutsideTheBuffers) {
  const WildRequest& r = GetParam();
  std::vector<uint8_t> buffer(16 + 64 + 16, 0x3C);
  const std::span<uint8_t> span = std::span(buffer).subspan(16, 64);
  TileSurface surface = MakeSurface(3, 2, 7);
  surface.DecodeFormat = surface.EncodeFormat = static_cast<TileFormat>(r.Format);
  surface.DecodeTileBytes = surface.EncodeTileBytes = r.TileBytes;
  surface.DecodeSkip = surface.EncodeSkip = r.Skip;
  surface.DecodeColumn = surface.EncodeColumn = r.Column;
  surface.DecodeRow = surface.EncodeRow = r.Row;
  surface.DecodeAcross = surface.EncodeAcross = r.Across;
  surface.DecodeDown = surface.EncodeDown = r.Down;
  DecodeTiles(span, surface);
  EncodeTiles(surface, span);
  EXPECT_EQ(surface.Pixels.size(), 3u * 2u * 64u);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(buffer[i], 0x3C);
    EXPECT_EQ(buffer[80 + i], 0x3C);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, WildRequestTest,
    ::testing::Values(WildRequest{"FormatTen", 10, 16, 0, 0, 0, 3, 2},
                      WildRequest{"FormatMinus", -1, 16, 0, 0, 0, 3, 2},
                      WildRequest{"NegativeCounts", 1, 16, 0, 0, 0, -3, -2},
                      WildRequest{"ZeroStep", 6, 0, 0, 0, 0, 3, 2},
                      WildRequest{"NegativeStep", 6, -32, 0, 0, 0, 3, 2},
                      WildRequest{"HugeStep", 7, INT_MAX, INT_MAX, 0, 0, INT_MAX, INT_MAX},
                      WildRequest{"HugeNegativeStep", 7, INT_MIN, INT_MIN, 0, 0, INT_MAX, INT_MAX},
                      WildRequest{"MixedSigns", 8, INT_MIN, INT_MAX, 0, 0, INT_MIN, 2},
                      WildRequest{"FarOrigin", 9, 32, 0, INT_MIN, INT_MAX, INT_MAX, INT_MAX},
                      WildRequest{"NegativeOrigin", 5, 24, -5, -2, -1, 5, 4}),
    [](const auto& info) { return info.param.Name; });

TEST(DecodeTiles, DoesNothingForTilesOtherThan8x8) {
  TileSurface surface;
  surface.TileWidth = 4;
  surface.TilesAcross = 2;
  surface.TilesDown = 1;
  RebuildSurface(surface);
  SetDecode(surface, 0, 2, 1);
  const std::vector<uint8_t> bytes(16, 0xFF);
  DecodeTiles(bytes, surface);
  for (uint8_t p : surface.Pixels) ASSERT_EQ(p, 0);
}

// ---- PackPlane.

struct PackCase {
  std::array<uint8_t, 8> Pixels;
  int Plane;
  uint8_t Byte;
};

class PackPlaneTest : public ::testing::TestWithParam<PackCase> {};

TEST_P(PackPlaneTest, GathersOneBitOfEachPixelLeftmostHighest) {
  EXPECT_EQ(PackPlane(GetParam().Pixels.data(), GetParam().Plane), GetParam().Byte);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PackPlaneTest,
    ::testing::Values(PackCase{{1, 0, 3, 2, 0, 0, 0, 1}, 0, 0xA1},
                      PackCase{{1, 0, 3, 2, 0, 0, 0, 1}, 1, 0x30},
                      PackCase{{8, 8, 0, 0, 0, 0, 0, 9}, 3, 0xC1},
                      PackCase{{0x80, 0, 0, 0, 0, 0, 0, 0xFF}, 7, 0x81},
                      PackCase{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 8, 0},
                      PackCase{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -1, 0}));

}  // namespace
}  // namespace varnock

namespace varnock {
namespace {

// An empty span (the view past the end of an image) has no address at all; a tile that would
// straddle its start must neither read nor write through it.
TEST(TileCodec, AnEmptySpanIsNeverTouched) {
  TileSurface surface;
  surface.TilesAcross = 2;
  surface.TilesDown = 1;
  RebuildSurface(surface);
  std::fill(surface.Pixels.begin(), surface.Pixels.end(), 5);
  surface.DecodeAcross = surface.EncodeAcross = 2;
  surface.DecodeDown = surface.EncodeDown = 1;
  surface.DecodeTileBytes = surface.EncodeTileBytes = -4;
  EncodeTiles(surface, std::span<uint8_t>());
  DecodeTiles(std::span<const uint8_t>(), surface);
  EXPECT_EQ(surface.Pixels, std::vector<uint8_t>(128, 0));
}

}  // namespace
}  // namespace varnock
