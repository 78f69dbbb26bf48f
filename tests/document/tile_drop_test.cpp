// Where a dropped tile lands in a ROM image, what it writes there and what its undo puts back.
#include "document/tile_drop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/document_bytes.h"
#include "support/test_files.h"

namespace varnock {
namespace {

// An image of exactly `size` bytes (so a write past its end is an overflow the sanitizer sees),
// shown in `format` on a 16 x 16 grid at zoom 2 from `viewOffset`.
RomDocument MakeDocument(int32_t size, TileFormat format, int32_t viewOffset = 0) {
  RomDocument doc;
  const std::vector<uint8_t> pattern = test::PatternBytes(static_cast<size_t>(size), 3);
  test::HoldImage(doc, pattern);
  doc.SetTileFormat(format);
  doc.ViewOffset = doc.ClampOffset(viewOffset);
  doc.Zoom = 2;
  doc.CellWidth = doc.CellHeight = 16;
  return doc;
}

std::vector<uint8_t> ImageOf(const RomDocument& doc) {
  return {doc.RomData, doc.RomData + doc.RomSize};
}

struct OffsetCase {
  const char* name;
  int32_t size;
  int32_t viewOffset;
  int x, y;
  std::optional<int32_t> offset;
};

void PrintTo(const OffsetCase& c, std::ostream* out) {
  *out << c.name;
}

class DropOffsetTest : public ::testing::TestWithParam<OffsetCase> {};

// 1 bit per pixel: 8 bytes a tile, 128 a row of 16 tiles.
TEST_P(DropOffsetTest, PointGivesTheTileUnderIt) {
  const OffsetCase& c = GetParam();
  const RomDocument doc = MakeDocument(c.size, 0, c.viewOffset);
  ASSERT_EQ(doc.ViewOffset, c.viewOffset);
  EXPECT_EQ(DropOffset(doc, c.x, c.y), c.offset);
}

INSTANTIATE_TEST_SUITE_P(
    TileDrop, DropOffsetTest,
    ::testing::Values(OffsetCase{"first_tile", 4096, 0, 0, 0, 0},
                      OffsetCase{"second_column", 4096, 0, 16, 15, 8},
                      OffsetCase{"second_row", 4096, 0, 31, 16, 8 + 128},
                      OffsetCase{"last_tile_of_page", 4096, 0, 255, 255, 15 * 8 + 15 * 128},
                      OffsetCase{"from_view_offset", 8192, 1000, 16, 16, 1000 + 8 + 128},
                      OffsetCase{"left_of_grid", 4096, 0, -1, 5, std::nullopt},
                      OffsetCase{"above_grid", 4096, 0, 5, -15, std::nullopt},
                      OffsetCase{"right_of_grid", 4096, 0, 256, 0, std::nullopt},
                      OffsetCase{"tile_at_image_end", 2040, 0, 255, 255, std::nullopt},
                      OffsetCase{"last_byte_starts_tile", 2041, 0, 255, 255, 2040},
                      OffsetCase{"empty_image", 0, 0, 0, 0, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
  const char* name;
  TileFormat format;
  int32_t size;
  int64_t offset;
  uint8_t index;                 // every pixel of the dropped tile
  std::vector<uint8_t> written;  // the bytes expected from `offset` on
};

void PrintTo(const WriteCase& c, std::ostream* out) {
  *out << c.name;
}

class DropWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(DropWriteTest, WritesOnlyInsideAndUndoPutsBackExactlyThose) {
  const WriteCase& c = GetParam();
  RomDocument doc = MakeDocument(c.size, c.format);
  const std::vector<uint8_t> before = ImageOf(doc);
  TileSurface tile;
  SetUpTileSurface(tile, 1, 1);
  std::fill(tile.Pixels.begin(), tile.Pixels.end(), c.index);

  const std::optional<DropUndo> undo = DropTileIntoImage(doc, tile, c.offset);
  std::vector<uint8_t> expected = before;
  if (c.written.empty()) {
    EXPECT_FALSE(undo.has_value());
    EXPECT_FALSE(doc.Modified);
  } else {
    ASSERT_TRUE(undo.has_value());
    EXPECT_TRUE(doc.Modified);
    EXPECT_EQ(undo->Length, static_cast<int32_t>(c.written.size()));
    std::copy(c.written.begin(), c.written.end(), expected.begin() + c.offset);
  }
  EXPECT_EQ(ImageOf(doc), expected);
  if (!undo) return;
  RestoreDroppedBytes(doc, *undo);
  EXPECT_EQ(ImageOf(doc), before);
}

std::vector<uint8_t> Repeat(std::initializer_list<uint8_t> unit, size_t times) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < times; ++i) bytes.insert(bytes.end(), unit);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    TileDrop, DropWriteTest,
    ::testing::Values(
        // NES index 3: both planes set, 8 bytes each.
        WriteCase{"nes_inside", 1, 64, 16, 3, Repeat({0xFF}, 16)},
        WriteCase{"nes_straddling_end", 1, 40, 32, 3, Repeat({0xFF}, 8)},
        WriteCase{"nes_last_byte", 1, 33, 32, 3, {0xFF}},
        // A 4-bit index 5 (0101) keeps its low two bits in a 2-bit format: plane 0 only,
        // interleaved row by row on the Game Boy.
        WriteCase{"four_bits_into_gameboy", 2, 64, 0, 5, Repeat({0xFF, 0x00}, 8)},
        // SNES 4 bits, index 15: all four planes set; 18 of the 32 bytes fit.
        WriteCase{"snes_straddling_end", 6, 50, 32, 15, Repeat({0xFF}, 18)},
        WriteCase{"at_image_end", 1, 64, 64, 3, {}}, WriteCase{"before_image", 1, 64, -16, 3, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
