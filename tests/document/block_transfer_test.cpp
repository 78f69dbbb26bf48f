// The arithmetic of blocks of tiles: which bytes Copy decodes, where a commit writes and where
// it stops, what Export takes from the view, and where a released paste panel settles.
#include "document/block_transfer.h"
#include "support/document_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace varnock {
namespace {

// `size` image bytes of `fill` in `format`, a `columns`-column grid at `offset`, and 64 guard
// bytes past RomSize that nothing may reach.
RomDocument MakeDoc(TileFormat format, int32_t size, int32_t columns, int32_t offset,
                    uint8_t fill = 0) {
  RomDocument doc;
  test::HoldImage(doc, std::vector<uint8_t>(size_t(size), fill), 64);
  doc.Columns = columns;
  doc.SetTileFormat(format);
  doc.ViewOffset = offset;
  return doc;
}

void Select(RomDocument& doc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  doc.SelLeft = left;
  doc.SelTop = top;
  doc.SelRight = right;
  doc.SelBottom = bottom;
}

TEST(CopyBlock, ThreeByTwoFromASixteenColumnNesView) {
  RomDocument doc = MakeDoc(1, 65536, 16, 0x1000);
  doc.ViewSurface.Colors[15] = {1, 2, 3, 0};
  Select(doc, 5, 3, 2, 1);  // reversed ends: the block is columns 2-4, rows 1-2
  // Block tile (1, 1) is cell (3, 2), 0x1000 + 2 x 256 + 3 x 16. NES: plane 0 in bytes 0-7,
  // plane 1 in bytes 8-15, the leftmost pixel in bit 7.
  test::PokeBytes(doc, 0x1230, 0x80);
  test::PokeBytes(doc, 0x1238, 0xC0);
  TileSurface clip;
  CopyBlock(doc, clip);
  EXPECT_EQ(doc.CopyOffset, 0x1000 + 256 + 2 * 16);
  EXPECT_EQ(clip.DecodeSkip, 13);
  EXPECT_EQ(clip.Width(), 24);
  EXPECT_EQ(clip.Height(), 16);
  EXPECT_EQ(clip.DecodeBits, 2);
  EXPECT_EQ(clip.Pixels[8 * 24 + 8], 3);
  EXPECT_EQ(clip.Pixels[8 * 24 + 9], 2);
  EXPECT_EQ(std::count(clip.Pixels.begin(), clip.Pixels.end(), 0), 24 * 16 - 2);
  EXPECT_EQ(clip.Colors[15], doc.ViewSurface.Colors[15]);
}

TEST(CopyBlock, BytesPastTheImageEndDecodeAsZero) {
  RomDocument doc = MakeDoc(0, 11, 8, 0, 0xFF);  // ends 3 bytes into cell (1, 0)
  Select(doc, 0, 0, 3, 2);
  TileSurface clip;
  CopyBlock(doc, clip);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      ASSERT_EQ(clip.Pixels[y * 24 + x], y < 8 && (x < 8 || (x < 16 && y < 3))) << x << "," << y;
}

struct CommitCase {
  const char* name;
  int32_t size, columns, offset, pasteColumn, pasteRow, across;
  std::vector<std::pair<int, uint8_t>> image;  // runs of 8-byte tiles afterwards; 0x55 untouched
};

void PrintTo(const CommitCase& c, std::ostream* out) {
  *out << c.name;
}

class CommitBlockTest : public ::testing::TestWithParam<CommitCase> {};

// 1 bit per pixel: block row 0 is index 1 (bytes 0xFF), row 1 index 0 (bytes 0x00).
TEST_P(CommitBlockTest, WritesTheBlockAndNothingPastTheImage) {
  const CommitCase& c = GetParam();
  RomDocument doc = MakeDoc(0, c.size, c.columns, c.offset, 0x55);
  doc.PasteColumn = c.pasteColumn;
  doc.PasteRow = c.pasteRow;
  TileSurface block;
  block.TilesAcross = c.across;
  block.TilesDown = 2;
  RebuildSurface(block);
  std::fill_n(block.Pixels.begin(), c.across * 64, 1);
  CommitBlock(doc, block);
  std::vector<uint8_t> expected;
  for (const auto& [tiles, value] : c.image) expected.insert(expected.end(), tiles * 8, value);
  expected.resize(size_t(c.size), 0xFF);  // a last partial tile, written as far as it exists
  EXPECT_EQ(std::vector<uint8_t>(doc.RomData, doc.RomData + doc.RomSize), expected);
  EXPECT_TRUE(std::all_of(doc.RomData + c.size, doc.RomData + c.size + 64,
                          [](uint8_t b) { return b == 0xA5; }));
  EXPECT_TRUE(doc.Modified);
}

INSTANTIATE_TEST_SUITE_P(
    Placements, CommitBlockTest,
    ::testing::Values(
        // rows 4 tiles apart from cell (1, 1) of the page at tile 2: tiles 7-8, then 11-12
        CommitCase{
            "inside", 160, 4, 16, 1, 1, 2, {{7, 0x55}, {2, 0xFF}, {2, 0x55}, {2, 0}, {7, 0x55}}},
        // from the second-last column the block row goes on into the next grid row
        CommitCase{"continues_on_next_row",
                   96,
                   4,
                   0,
                   2,
                   0,
                   3,
                   {{2, 0x55}, {3, 0xFF}, {1, 0x55}, {3, 0}, {3, 0x55}}},
        // wider than the grid: row 1 starts at tile 4 and overwrites row 0's end
        CommitCase{
            "wider_than_grid_later_row_wins", 96, 4, 0, 0, 0, 6, {{4, 0xFF}, {6, 0}, {2, 0x55}}},
        // the image ends 3 bytes into the block's second tile
        CommitCase{"stops_at_the_last_byte", 67, 8, 0, 7, 0, 2, {{7, 0x55}, {1, 0xFF}}},
        CommitCase{"wholly_past_the_end", 32, 8, 0, 6, 1, 1, {{4, 0x55}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExportCase {
  const char* name;
  int32_t left, top, right, bottom;
  PixelBlock block;
};

void PrintTo(const ExportCase& c, std::ostream* out) {
  *out << c.name;
}

class ExportBlockTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportBlockTest, OrderedAndTrimmedToTheGrid) {
  const ExportCase& c = GetParam();
  RomDocument doc = MakeDoc(0, 65536, 8, 0);  // an 8 x 8 grid
  doc.Rows = 8;
  Select(doc, c.left, c.top, c.right, c.bottom);
  const PixelBlock b = ExportBlock(doc);
  EXPECT_EQ((std::vector{b.X, b.Y, b.Width, b.Height}),
            (std::vector{c.block.X, c.block.Y, c.block.Width, c.block.Height}));
  EXPECT_EQ(doc.CopyColumns * 8, b.Width);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, ExportBlockTest,
    ::testing::Values(ExportCase{"inside", 2, 1, 4, 2, {16, 8, 16, 8}},
                      ExportCase{"reversed", 4, 2, 2, 1, {16, 8, 16, 8}},
                      ExportCase{"grid_shrank_under_it", 6, 5, 12, 10, {48, 40, 16, 24}},
                      ExportCase{"wholly_off_the_grid", 9, 9, 12, 12, {64, 64, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// A 16 x 16 grid at zoom 2: 16-pixel cells, 256 x 256 pixels.
TEST(SnapPastePanel, ClampedIntoTheGridAndSnappedDown) {
  const int32_t cases[][6] = {// left, top -> Left, Top, Column, Row
                              {37, 50, 32, 48, 2, 3},
                              {255, 255, 240, 240, 15, 15},
                              {256, 100, 240, 96, 15, 6},
                              {900, 4000, 240, 240, 15, 15},
                              {-20, -5, 0, 0, 0, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(SnapPastePanel(c[0], c[1], 256, 256, 16, 16), (PanelPlace{c[2], c[3], c[4], c[5]}))
        << c[0] << "," << c[1];
}

}  // namespace
}  // namespace varnock
