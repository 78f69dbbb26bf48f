// The exported bitmap file, checked byte by byte against its layout worked out here by hand.
#include "codec/bitmap_file.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

uint32_t LittleEndian(const std::vector<uint8_t>& file, size_t offset, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | file.at(offset + size_t(i));
  return value;
}

struct RowsCase {
  const char* name;
  PixelBlock block;
};

void PrintTo(const RowsCase& c, std::ostream* out) {
  *out << c.name;
}

class BitmapFileTest : public ::testing::TestWithParam<RowsCase> {};

// A 32 x 16 surface with pixel (x, y) = (x + 3y) & 15 and colour i = (blue i, green 2i, red 3i);
// entries from 16 on hold a colour that must not reach the file.
TEST_P(BitmapFileTest, HeaderColoursAndBottomUpRows) {
  const PixelBlock b = GetParam().block;
  TileSurface surface;
  surface.TilesAcross = 4;
  surface.TilesDown = 2;
  RebuildSurface(surface);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) surface.Pixels[y * 32 + x] = uint8_t((x + 3 * y) & 15);
  for (int i = 0; i < 256; ++i) {
    const auto v = uint8_t(i < 16 ? i : 0x77);
    surface.Colors[i] = {v, uint8_t(2 * v), uint8_t(3 * v), 0x55};
  }
  const std::vector<uint8_t> file = EncodeBitmapFile(surface, b);
  const uint32_t size = 1078 + uint32_t(b.Width * b.Height);
  ASSERT_EQ(file.size(), size);
  const uint32_t fields[][3] = {// offset, size, value
                                {0, 2, 0x4D42}, {2, 4, size}, {6, 2, 0},   {8, 2, 0},
                                {10, 4, 1078},  {14, 4, 40},  {18, 4, 16}, {22, 4, 8},
                                {26, 2, 1},     {28, 2, 8},   {30, 4, 0},  {34, 4, 0},
                                {38, 4, 0},     {42, 4, 0},   {46, 4, 0},  {50, 4, 0}};
  for (const auto& f : fields) EXPECT_EQ(LittleEndian(file, f[0], int(f[1])), f[2]) << f[0];
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t v = i < 16 ? i : 0;
    EXPECT_EQ(LittleEndian(file, 54 + 4 * i, 4), v | (2 * v) << 8 | (3 * v) << 16) << i;
  }
  // File row k is block row h - 1 - k; pixels off the surface are 0.
  for (int k = 0; k < b.Height; ++k)
    for (int i = 0; i < b.Width; ++i) {
      const int x = b.X + i, y = b.Y + b.Height - 1 - k;
      const bool on = x >= 0 && x < 32 && y >= 0 && y < 16;
      ASSERT_EQ(file[1078 + k * b.Width + i], on ? (x + 3 * y) & 15 : 0) << k << "," << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, BitmapFileTest,
                         ::testing::Values(RowsCase{"two_by_one_tiles", {8, 8, 16, 8}},
                                           RowsCase{"past_the_surface_corner", {24, 12, 16, 8}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
