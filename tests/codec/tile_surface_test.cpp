#include "codec/tile_surface.h"

#include <gtest/gtest.h>

#include <climits>

namespace varnock {
namespace {

struct SurfaceSize {
  int32_t TileWidth, TileHeight, TilesAcross, TilesDown;
  int32_t PixelCount;
};

class RebuildSurfaceTest : public ::testing::TestWithParam<SurfaceSize> {};

TEST_P(RebuildSurfaceTest, SizesTheZeroedBitmap) {
  const SurfaceSize& size = GetParam();
  TileSurface surface;
  surface.Pixels.assign(100, 9);
  surface.PixelCount = 100;
  surface.Colors[3].red = 200;
  surface.TileWidth = size.TileWidth;
  surface.TileHeight = size.TileHeight;
  surface.TilesAcross = size.TilesAcross;
  surface.TilesDown = size.TilesDown;
  RebuildSurface(surface);
  EXPECT_EQ(surface.PixelCount, size.PixelCount);
  EXPECT_EQ(surface.Pixels.size(), static_cast<size_t>(size.PixelCount));
  EXPECT_EQ(std::count(surface.Pixels.begin(), surface.Pixels.end(), 0), size.PixelCount);
  EXPECT_EQ(int64_t{surface.Width()} * surface.Height(), size.PixelCount);
  EXPECT_EQ(surface.Colors[3].red, 200);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RebuildSurfaceTest,
                         ::testing::Values(SurfaceSize{8, 8, 1, 1, 64},
                                           SurfaceSize{8, 8, 24, 16, 24576},
                                           SurfaceSize{8, 8, 0, 5, 0}, SurfaceSize{8, 8, -2, 5, 0},
                                           SurfaceSize{-8, -8, 2, 2, 0},
                                           SurfaceSize{8, 8, 1 << 20, 1 << 20, 0},
                                           SurfaceSize{8, 8, INT_MAX, 1, 0},
                                           SurfaceSize{INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0},
                                           SurfaceSize{8, 8, 1024, 1024, 1 << 26}));

TileSurface Numbered(int tileSize, int across, int down) {
  TileSurface surface;
  surface.TileWidth = surface.TileHeight = tileSize;
  surface.TilesAcross = across;
  surface.TilesDown = down;
  RebuildSurface(surface);
  for (size_t i = 0; i < surface.Pixels.size(); ++i) surface.Pixels[i] = static_cast<uint8_t>(i);
  return surface;
}

TEST(PutSurfacePixel, SetsInsideAndIgnoresOutside) {
  TileSurface surface = Numbered(8, 2, 1);
  const std::vector<uint8_t> before = surface.Pixels;
  for (auto [x, y] : {std::pair{-1, 0}, {16, 0}, {0, -1}, {0, 8}, {INT_MIN, INT_MIN}, {INT_MAX, 0}})
    PutSurfacePixel(surface, x, y, 0xAB);
  EXPECT_EQ(surface.Pixels, before);
  PutSurfacePixel(surface, 15, 7, 0xAB);
  EXPECT_EQ(surface.Pixels[7 * 16 + 15], 0xAB);
}

TEST(FillSurfaceTile, FillsOneCell) {
  TileSurface surface = Numbered(8, 3, 2);
  const std::vector<uint8_t> before = surface.Pixels;
  FillSurfaceTile(surface, 2, 1, 0xAB);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) {
      const uint8_t expected = x >= 16 && y >= 8 ? 0xAB : before[y * 24 + x];
      ASSERT_EQ(surface.Pixels[y * 24 + x], expected) << x << "," << y;
    }
  const std::vector<uint8_t> filled = surface.Pixels;
  for (auto [column, row] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}, {INT_MAX, INT_MAX}})
    FillSurfaceTile(surface, column, row, 0);
  EXPECT_EQ(surface.Pixels, filled);
}

TEST(CopySurfaceTile, CopiesTheSourceCellAtTheSourceTileSize) {
  TileSurface source = Numbered(8, 2, 2);
  TileSurface destination = Numbered(8, 3, 1);
  std::fill(destination.Pixels.begin(), destination.Pixels.end(), 0xEE);
  CopySurfaceTile(destination, 2, 0, source, 1, 1);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 24; ++x) {
      const uint8_t expected = x >= 16 ? source.Pixels[(8 + y) * 16 + 8 + (x - 16)] : 0xEE;
      ASSERT_EQ(destination.Pixels[y * 24 + x], expected) << x << "," << y;
    }

  // A 4 x 4 source cell fills the top-left quarter of an 8 x 8 destination cell.
  TileSurface small = Numbered(4, 2, 2);
  std::fill(destination.Pixels.begin(), destination.Pixels.end(), 0xEE);
  CopySurfaceTile(destination, 1, 0, small, 1, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 24; ++x) {
      const bool copied = x >= 8 && x < 12 && y < 4;
      ASSERT_EQ(destination.Pixels[y * 24 + x], copied ? small.Pixels[y * 8 + 4 + x - 8] : 0xEE);
    }
}

TEST(CopySurfaceTile, LeavesAlonePartsOutsideEitherBitmap) {
  // A 16 x 16 source cell into a 2 x 1-tile destination at column 1: only its left 8 x 8 fits.
  TileSurface big = Numbered(16, 1, 1);
  TileSurface destination = Numbered(8, 2, 1);
  std::fill(destination.Pixels.begin(), destination.Pixels.end(), 0xEE);
  CopySurfaceTile(destination, 1, 0, big, 0, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(destination.Pixels[y * 16 + x], x >= 8 ? big.Pixels[y * 16 + x - 8] : 0xEE);

  std::fill(destination.Pixels.begin(), destination.Pixels.end(), 0xEE);
  for (auto [dc, dr, sc, sr] : {std::tuple{2, 0, 0, 0},
                                {-2, 0, 0, 0},
                                {0, -2, 0, 0},
                                {0, 0, 1, 0},
                                {0, 0, 0, -1},
                                {INT_MAX, INT_MAX, 0, 0},
                                {0, 0, INT_MIN, INT_MIN}})
    CopySurfaceTile(destination, dc, dr, big, sc, sr);
  EXPECT_EQ(std::count(destination.Pixels.begin(), destination.Pixels.end(), 0xEE), 128);

  // Same surface as source and destination.
  TileSurface strip = Numbered(8, 2, 1);
  CopySurfaceTile(strip, 0, 0, strip, 1, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(strip.Pixels[y * 16 + x], static_cast<uint8_t>(y * 16 + 8 + x));
}

TEST(SurfaceHelpers, IgnoreASurfaceWhoseSizeFieldsChangedWithoutRebuild) {
  TileSurface surface = Numbered(8, 1, 1);
  surface.TilesAcross = 1000;
  const std::vector<uint8_t> before = surface.Pixels;
  PutSurfacePixel(surface, 500, 0, 1);
  FillSurfaceTile(surface, 500, 0, 1);
  CopySurfaceTile(surface, 999, 0, surface, 0, 0);
  EXPECT_EQ(surface.Pixels, before);
}

}  // namespace
}  // namespace varnock
