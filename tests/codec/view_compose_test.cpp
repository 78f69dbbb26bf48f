#include "codec/view_compose.h"

#include <gtest/gtest.h>

#include <vector>

namespace varnock {
namespace {

constexpr uint32_t kGrid = 0xFFC0C0C0;

// Two tiles across, one down; tile 0 all index 1, tile 1 all index 2.
TileSurface TwoTiles() {
  TileSurface surface;
  surface.TilesAcross = 2;
  surface.TilesDown = 1;
  RebuildSurface(surface);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) surface.Pixels[y * 16 + x] = x < 8 ? 1 : 2;
  surface.Colors[1] = {10, 20, 30, 0};
  surface.Colors[2] = {40, 50, 60, 0};
  return surface;
}

TEST(ComposeSurface, EveryPixelBecomesAZoomSquareOfItsColour) {
  const TileSurface surface = TwoTiles();
  for (int zoom = 1; zoom <= 4; ++zoom) {
    const int width = 16 * zoom, height = 8 * zoom, stride = width + 3;
    std::vector<uint32_t> image(static_cast<size_t>(stride) * height + 1, 0xDEADBEEF);
    ComposeSurface(surface, zoom, image.data(), width, height, stride);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        ASSERT_EQ(image[y * stride + x], x < 8 * zoom ? 0xFF1E140Au : 0xFF3C3228u)
            << "zoom " << zoom << " at " << x << "," << y;
      for (int x = width; x < stride; ++x)
        ASSERT_EQ(image[y * stride + x], 0xDEADBEEFu) << "wrote into the row's padding";
    }
    EXPECT_EQ(image.back(), 0xDEADBEEFu);
  }
}

TEST(ComposeSurface, GridCoversTheFirstColumnAndRowOfInteriorTilesOnly) {
  TileSurface surface;
  surface.TilesAcross = 2;
  surface.TilesDown = 2;
  RebuildSurface(surface);  // all index 0, black
  const int zoom = 3, size = 48;
  std::vector<uint32_t> image(size * size);
  ComposeSurface(surface, zoom, image.data(), size, size, size, {true, kGrid});
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const bool line = x == 24 || y == 24;
      ASSERT_EQ(image[y * size + x], line ? kGrid : 0xFF000000u) << x << "," << y;
    }
}

TEST(ComposeSurface, AnImageSmallerThanTheSurfaceIsFilledOnlyAsFarAsItGoes) {
  const TileSurface surface = TwoTiles();
  std::vector<uint32_t> image(10 * 5, 7);
  ComposeSurface(surface, 2, image.data(), 10, 5, 10);
  EXPECT_EQ(image[0], 0xFF1E140Au);
  EXPECT_EQ(image[4 * 10 + 9], 7u) << "a half pixel block is not drawn";
  EXPECT_EQ(image[3 * 10 + 7], 0xFF1E140Au);
}

}  // namespace
}  // namespace varnock
