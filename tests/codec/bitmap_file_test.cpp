// The exported bitmap file, checked byte by byte against its layout worked out here by hand.
#include "codec/bitmap_file.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

uint32_t LittleEndian(const std::vector<uint8_t>& file, size_t offset, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | file.at(offset + static_cast<size_t>(i));
  return value;
}

// 4 x 2 tiles (32 x 16 pixels), pixel (x, y) = (x + 3y) & 15; entry i of the colour table
// (blue i, green 2i, red 3i), and the unused entries 16.. a colour that must not be written.
TileSurface Surface() {
  TileSurface surface;
  surface.TilesAcross = 4;
  surface.TilesDown = 2;
  RebuildSurface(surface);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      surface.Pixels[y * 32 + x] = static_cast<uint8_t>((x + 3 * y) & 15);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(i < 16 ? i : 0x77);
    surface.Colors[i] = {v, static_cast<uint8_t>(2 * v), static_cast<uint8_t>(3 * v), 0x55};
  }
  return surface;
}

struct Field {
  const char* name;
  size_t offset;
  int size;
  uint32_t value;
};

// A 2 x 1-tile block: w = 16, h = 8.
constexpr Field kHeaderFields[] = {
    {"type", 0, 2, 0x4D42},
    {"file size", 2, 4, 16 * 8 + 1078},
    {"reserved 1", 6, 2, 0},
    {"reserved 2", 8, 2, 0},
    {"pixel data offset", 10, 4, 1078},
    {"header size", 14, 4, 40},
    {"width", 18, 4, 16},
    {"height", 22, 4, 8},
    {"planes", 26, 2, 1},
    {"bits per pixel", 28, 2, 8},
    {"compression", 30, 4, 0},
    {"image size", 34, 4, 0},
    {"horizontal resolution", 38, 4, 0},
    {"vertical resolution", 42, 4, 0},
    {"colours used", 46, 4, 0},
    {"colours important", 50, 4, 0},
};

TEST(BitmapFile, HeaderFieldsOfATwoByOneTileBlock) {
  const std::vector<uint8_t> file = EncodeBitmapFile(Surface(), {8, 8, 16, 8});
  ASSERT_EQ(file.size(), 1206u);
  for (const Field& field : kHeaderFields)
    EXPECT_EQ(LittleEndian(file, field.offset, field.size), field.value) << field.name;
}

TEST(BitmapFile, ColourTableHoldsTheSurfaceEntriesZeroToFifteenOnly) {
  const std::vector<uint8_t> file = EncodeBitmapFile(Surface(), {8, 8, 16, 8});
  ASSERT_EQ(file.size(), 1206u);
  for (size_t i = 0; i < 256; ++i) {
    const uint8_t v = i < 16 ? static_cast<uint8_t>(i) : 0;
    const uint8_t expected[4] = {v, static_cast<uint8_t>(2 * v), static_cast<uint8_t>(3 * v), 0};
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(file[54 + 4 * i + k], expected[k]) << i << "/" << k;
  }
}

struct RowsCase {
  const char* name;
  PixelBlock block;
  size_t rowBytes;  // stored row length: width rounded up to four
};

void PrintTo(const RowsCase& c, std::ostream* out) {
  *out << c.name;
}

class BitmapRowsTest : public ::testing::TestWithParam<RowsCase> {};

// File row k holds block row h - 1 - k; pixels outside the surface are 0, padding is 0.
TEST_P(BitmapRowsTest, RowsAreStoredBottomUp) {
  const RowsCase& c = GetParam();
  const std::vector<uint8_t> file = EncodeBitmapFile(Surface(), c.block);
  ASSERT_EQ(file.size(), 1078 + c.rowBytes * static_cast<size_t>(c.block.Height));
  EXPECT_EQ(LittleEndian(file, 2, 4), file.size());
  for (int k = 0; k < c.block.Height; ++k) {
    const int y = c.block.Y + c.block.Height - 1 - k;
    for (size_t i = 0; i < c.rowBytes; ++i) {
      const int x = c.block.X + static_cast<int>(i);
      const bool inside =
          static_cast<int>(i) < c.block.Width && x >= 0 && x < 32 && y >= 0 && y < 16;
      const uint8_t expected = inside ? static_cast<uint8_t>((x + 3 * y) & 15) : 0;
      ASSERT_EQ(file[1078 + k * c.rowBytes + i], expected) << "file row " << k << " byte " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Blocks, BitmapRowsTest,
                         ::testing::Values(RowsCase{"two_by_one_tiles", {8, 8, 16, 8}, 16},
                                           RowsCase{"whole_surface", {0, 0, 32, 16}, 32},
                                           RowsCase{"past_right_and_bottom", {24, 8, 16, 16}, 16},
                                           RowsCase{"before_left_and_top", {-8, -4, 16, 8}, 16},
                                           RowsCase{"odd_width_padded", {1, 2, 5, 3}, 8},
                                           RowsCase{"empty", {0, 0, 0, 0}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
