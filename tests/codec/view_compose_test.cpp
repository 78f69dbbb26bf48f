#include "codec/view_compose.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "codec/codec_path.h"

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

// A surface whose size fields changed after its last rebuild no longer describes its pixels;
// composing it must neither read past them nor draw anything.
struct StaleSize {
  const char* Name;
  int32_t TileWidth, TilesAcross, TilesDown;
};

class StaleSurfaceTest : public ::testing::TestWithParam<StaleSize> {};

TEST_P(StaleSurfaceTest, DrawsNothing) {
  TileSurface surface = TwoTiles();
  surface.TileWidth = GetParam().TileWidth;
  surface.TilesAcross = GetParam().TilesAcross;
  surface.TilesDown = GetParam().TilesDown;
  std::vector<uint32_t> image(64 * 64, 7);
  ComposeSurface(surface, 2, image.data(), 64, 64, 64, {true, kGrid});
  EXPECT_EQ(image, std::vector<uint32_t>(64 * 64, 7));
}

INSTANTIATE_TEST_SUITE_P(Sizes, StaleSurfaceTest,
                         ::testing::Values(StaleSize{"MoreTilesAcross", 8, 4, 1},
                                           StaleSize{"MoreTilesDown", 8, 2, 2},
                                           StaleSize{"WiderTiles", 16, 2, 1},
                                           StaleSize{"OverflowingWidth", 8, 0x7F000001, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- Every kernel path composes exactly what the table path does.

struct ComposeCase {
  const char* Name;
  int TilesAcross, TilesDown, Zoom;
  int Colors;    // indices drawn from 0 .. Colors - 1
  int WidthCut;  // image this many pixels narrower (negative: wider) than the zoomed surface
  int HeightCut;
  int Padding;  // stride - width
  int Offset;   // first pixel this many pixels into the buffer (misaligned rows)
  bool Grid;
};

class ComposePathTest : public ::testing::TestWithParam<std::tuple<CodecPath, ComposeCase>> {};

TEST_P(ComposePathTest, ComposesLikeTheTablePath) {
  const CodecPath path = std::get<0>(GetParam());
  const ComposeCase& c = std::get<1>(GetParam());
  if (!CodecPathAvailable(path))
    GTEST_SKIP() << "the " << CodecPathName(path)
                 << " path is not available on this processor or build";
  std::mt19937 random(c.TilesAcross * 131 + c.Zoom);
  TileSurface surface;
  surface.TilesAcross = c.TilesAcross;
  surface.TilesDown = c.TilesDown;
  RebuildSurface(surface);
  for (auto& p : surface.Pixels) p = static_cast<uint8_t>(random() % c.Colors);
  for (auto& color : surface.Colors)
    color = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
             static_cast<uint8_t>(random()), static_cast<uint8_t>(random())};
  const int width = surface.Width() * c.Zoom - c.WidthCut;
  const int height = surface.Height() * c.Zoom - c.HeightCut;
  const int stride = width + c.Padding;
  const size_t size = static_cast<size_t>(stride) * height + c.Offset + 8;
  std::vector<uint32_t> expected(size, 0xDEADBEEF), actual(size, 0xDEADBEEF);
  const ComposeGrid grid{c.Grid, 0xFFC0C0C0};
  const CodecPath before = ActiveCodecPath();
  ASSERT_TRUE(SelectCodecPath(CodecPath::Table));
  ComposeSurface(surface, c.Zoom, expected.data() + c.Offset, width, height, stride, grid);
  ASSERT_TRUE(SelectCodecPath(path));
  ComposeSurface(surface, c.Zoom, actual.data() + c.Offset, width, height, stride, grid);
  SelectCodecPath(before);
  for (size_t i = 0; i < size; ++i)
    ASSERT_EQ(actual[i], expected[i]) << "pixel " << i - c.Offset << " of the buffer";
}

const ComposeCase kComposeCases[] = {
    {"Zoom1", 5, 3, 1, 16, 0, 0, 0, 0, false},
    {"Zoom2Grid", 6, 4, 2, 16, 0, 0, 5, 1, true},
    {"Zoom3OddOffset", 7, 2, 3, 16, 0, 0, 3, 3, true},
    {"Zoom4", 9, 3, 4, 16, 0, 0, 0, 0, true},
    {"Zoom5", 4, 2, 5, 16, 0, 0, 1, 2, true},
    {"TwoColours", 8, 2, 4, 2, 0, 0, 0, 0, false},
    {"AllIndices", 8, 3, 2, 256, 0, 0, 0, 0, true},
    {"AllIndicesZoom1", 9, 2, 1, 256, 0, 0, 1, 3, false},
    {"AllIndicesZoom4", 6, 3, 4, 256, 0, 0, 0, 2, true},
    {"SeventeenColours", 12, 2, 3, 17, 0, 0, 2, 5, false},
    {"ImageSmallerThanSurface", 10, 4, 3, 16, 37, 11, 4, 1, true},
    {"ImageWiderThanSurface", 5, 2, 2, 16, -13, -5, 0, 7, true},
    // The largest view, from row starts that are not 32-byte aligned.
    {"LargePage", 64, 64, 4, 16, 0, 0, 3, 5, true},
    {"LargePageAllIndices", 64, 33, 3, 256, 5, 0, 0, 1, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, ComposePathTest,
                         ::testing::Combine(::testing::Values(CodecPath::Avx2, CodecPath::Gfni),
                                            ::testing::ValuesIn(kComposeCases)),
                         [](const auto& info) {
                           return std::string(CodecPathName(std::get<0>(info.param))) + "_" +
                                  std::get<1>(info.param).Name;
                         });

}  // namespace
}  // namespace varnock
