// The pictures the windows draw tile surfaces with.
#include <gtest/gtest.h>

#include "shell/surface_image.h"

namespace varnock::test {
namespace {

TEST(SurfaceImage, ShowsTheIndicesAndRefusesSizeFieldsThatNoLongerMatchThePixels) {
  TileSurface surface;
  SetUpTileSurface(surface, 2, 1);
  surface.Pixels[15] = 7;
  surface.Colors[7] = {30, 20, 10, 0};
  const QImage image = IndexedImage(surface);
  ASSERT_EQ(image.size(), QSize(16, 8));
  EXPECT_EQ(image.pixelIndex(15, 0), 7);
  EXPECT_EQ(image.pixel(15, 0), qRgb(10, 20, 30));

  surface.TilesAcross = 3;  // changed without a rebuild: the pixels hold only two tiles
  EXPECT_TRUE(IndexedImage(surface).isNull());
}

}  // namespace
}  // namespace varnock::test
