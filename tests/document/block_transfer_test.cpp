// The arithmetic of blocks of tiles: which bytes Copy decodes, where a commit writes and where
// it stops, what Export takes from the view, and where a released paste panel settles.
#include "document/block_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace varnock {
namespace {

constexpr uint8_t kGuard = 0xA5;

// A document of `size` image bytes in `format` with a `columns` x `rows` grid at `offset`.
// The block holds 256 guard bytes past RomSize: anything that reaches them went outside.
RomDocument MakeDoc(TileFormat format, int32_t size, int32_t columns, int32_t rows, int32_t offset,
                    uint8_t fill = 0) {
  RomDocument doc;
  doc.RomImage = std::make_unique<uint8_t[]>(static_cast<size_t>(size) + 256);
  doc.RomData = doc.RomImage.get();
  std::fill_n(doc.RomData, size, fill);
  std::fill_n(doc.RomData + size, 256, kGuard);
  doc.RomSize = size;
  doc.Columns = columns;
  doc.Rows = rows;
  doc.SetTileFormat(format);
  doc.ViewOffset = offset;
  for (int i = 0; i < 256; ++i) doc.ViewSurface.Colors[i] = {static_cast<uint8_t>(i), 1, 2, 0};
  doc.DecodePage();
  return doc;
}

bool GuardIntact(const RomDocument& doc) {
  return std::all_of(doc.RomData + doc.RomSize, doc.RomData + doc.RomSize + 256,
                     [](uint8_t b) { return b == kGuard; });
}

uint8_t PixelAt(const TileSurface& s, int x, int y) {
  return s.Pixels.at(static_cast<size_t>(y * s.Width() + x));
}

TEST(CopyBlock, ThreeByTwoFromASixteenColumnNesView) {
  RomDocument doc = MakeDoc(1, 65536, 16, 16, 0x1000);
  doc.SelLeft = 2;
  doc.SelTop = 1;
  doc.SelRight = 5;
  doc.SelBottom = 3;
  // Block tile (1, 1) is view cell (3, 2): 0x1000 + 2 x 256 + 3 x 16. NES keeps plane 0 in
  // bytes 0-7 and plane 1 in bytes 8-15; the leftmost pixel is bit 7.
  const int tile = 0x1000 + 2 * 256 + 3 * 16;
  doc.RomData[tile] = 0x80;      // row 0: pixel 0 plane 0
  doc.RomData[tile + 8] = 0xC0;  // row 0: pixels 0 and 1 plane 1
  TileSurface clip;
  clip.Colors[16] = {9, 9, 9, 0};
  CopyBlock(doc, clip);
  EXPECT_EQ(doc.CopyOffset, 0x1000 + 256 + 2 * 16);
  EXPECT_EQ(doc.CopyColumns, 3);
  EXPECT_EQ(doc.CopyRows, 2);
  EXPECT_EQ(clip.DecodeSkip, 13);
  EXPECT_EQ(clip.Width(), 24);
  EXPECT_EQ(clip.Height(), 16);
  EXPECT_EQ(clip.DecodeBits, 2);
  EXPECT_EQ(clip.DecodeFormat, 1);
  EXPECT_EQ(clip.DecodeTileBytes, 16);
  EXPECT_EQ(PixelAt(clip, 8, 8), 3);
  EXPECT_EQ(PixelAt(clip, 9, 8), 2);
  EXPECT_EQ(PixelAt(clip, 10, 8), 0);
  EXPECT_EQ(std::count(clip.Pixels.begin(), clip.Pixels.end(), 0), 24 * 16 - 2);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(clip.Colors[i], doc.ViewSurface.Colors[i]) << i;
  EXPECT_EQ(clip.Colors[16], (SurfaceColor{9, 9, 9, 0})) << "entries past 15 are kept";
}

struct SelectionCase {
  const char* name;
  int32_t left, top, right, bottom;
  TileRect ordered;
};

void PrintTo(const SelectionCase& c, std::ostream* out) {
  *out << c.name;
}

class OrderedSelectionTest : public ::testing::TestWithParam<SelectionCase> {};

// Copy and Export take the same block whichever corner the drag started from.
TEST_P(OrderedSelectionTest, ReversedEndsAreExchanged) {
  const SelectionCase& c = GetParam();
  RomDocument doc = MakeDoc(0, 8192, 16, 16, 0);
  doc.SelLeft = c.left;
  doc.SelTop = c.top;
  doc.SelRight = c.right;
  doc.SelBottom = c.bottom;
  EXPECT_EQ(OrderedSelection(doc), c.ordered);
  TileSurface clip;
  CopyBlock(doc, clip);
  EXPECT_EQ(doc.CopyOffset, c.ordered.Left * 8 + c.ordered.Top * 128);
  EXPECT_EQ(clip.TilesAcross, c.ordered.Right - c.ordered.Left);
  EXPECT_EQ(clip.TilesDown, c.ordered.Bottom - c.ordered.Top);
  EXPECT_EQ(doc.SelLeft, c.left) << "the selection itself is left as it is";
}

INSTANTIATE_TEST_SUITE_P(
    Ends, OrderedSelectionTest,
    ::testing::Values(SelectionCase{"in_order", 1, 2, 4, 3, {1, 2, 4, 3}},
                      SelectionCase{"right_before_left", 5, 2, 2, 4, {2, 2, 5, 4}},
                      SelectionCase{"bottom_above_top", 1, 6, 3, 3, {1, 3, 3, 6}},
                      SelectionCase{"both_reversed", 7, 7, 0, 0, {0, 0, 7, 7}},
                      SelectionCase{"empty_width", 3, 1, 3, 2, {3, 1, 3, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CopyBlock, BytesPastTheImageEndDecodeAsZero) {
  // 1 bit per pixel, 8 bytes a tile: the image ends 3 bytes into view cell (1, 0).
  RomDocument doc = MakeDoc(0, 11, 8, 8, 0, 0xFF);
  doc.SelLeft = 0;
  doc.SelTop = 0;
  doc.SelRight = 3;
  doc.SelBottom = 2;
  TileSurface clip;
  CopyBlock(doc, clip);
  ASSERT_EQ(clip.Width(), 24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) {
      const bool inImage = y < 8 && (x < 8 || (x < 16 && y < 3));
      ASSERT_EQ(PixelAt(clip, x, y), inImage ? 1 : 0) << x << "," << y;
    }
}

// A block of `across` x `down` tiles, every pixel of block row k index `rowValue[k]`.
TileSurface Block(int32_t across, int32_t down, std::vector<uint8_t> rowValue) {
  TileSurface block;
  block.TilesAcross = across;
  block.TilesDown = down;
  RebuildSurface(block);
  for (int k = 0; k < down; ++k)
    for (int j = 0; j < across; ++j) FillSurfaceTile(block, j, k, rowValue[k]);
  return block;
}

struct CommitCase {
  const char* name;
  int32_t size, columns, offset, pasteColumn, pasteRow;
  int32_t across, down;
  std::vector<uint8_t> rowValue;  // index of every pixel of block row k (0 or 1)
  std::vector<uint8_t> expected;  // the whole image afterwards, 1 byte a tile row
};

void PrintTo(const CommitCase& c, std::ostream* out) {
  *out << c.name;
}

class CommitBlockTest : public ::testing::TestWithParam<CommitCase> {};

TEST_P(CommitBlockTest, WritesTheBlockAndNothingPastTheImage) {
  const CommitCase& c = GetParam();
  RomDocument doc = MakeDoc(0, c.size, c.columns, 8, c.offset, 0x55);
  doc.PasteColumn = c.pasteColumn;
  doc.PasteRow = c.pasteRow;
  TileSurface block = Block(c.across, c.down, c.rowValue);
  CommitBlock(doc, block);
  EXPECT_TRUE(doc.Modified);
  EXPECT_EQ(block.EncodeSkip, c.columns - c.across);
  EXPECT_EQ(std::vector<uint8_t>(doc.RomData, doc.RomData + doc.RomSize), c.expected);
  EXPECT_TRUE(GuardIntact(doc));
}

// Tiles of format 0 are 8 bytes: a tile of index 1 is eight 0xFF, of index 0 eight 0x00.
// Runs of whole tiles, then `extra` single bytes of `extraValue`.
std::vector<uint8_t> Tiles(std::initializer_list<std::pair<int, uint8_t>> runs, int extra = 0,
                           uint8_t extraValue = 0) {
  std::vector<uint8_t> bytes;
  for (const auto& [tiles, value] : runs) bytes.insert(bytes.end(), size_t(tiles) * 8, value);
  bytes.insert(bytes.end(), size_t(extra), extraValue);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Placements, CommitBlockTest,
    ::testing::Values(
        // 4 columns; the panel at cell (1, 1) of the page at tile 2: rows start 4 tiles apart.
        CommitCase{"inside",
                   20 * 8,
                   4,
                   16,
                   1,
                   1,
                   2,
                   2,
                   {0xFF, 0x00},
                   Tiles({{7, 0x55}, {2, 0xFF}, {2, 0x55}, {2, 0x00}, {7, 0x55}})},
        // Three tiles from the last column: the second and third go on in the next grid row.
        CommitCase{"continues_on_next_row",
                   12 * 8,
                   4,
                   0,
                   2,
                   0,
                   3,
                   1,
                   {0xFF},
                   Tiles({{2, 0x55}, {3, 0xFF}, {7, 0x55}})},
        // Six tiles in a 4-column grid: row 1 starts at tile 4 and overwrites row 0's end.
        CommitCase{"wider_than_grid_later_row_wins",
                   12 * 8,
                   4,
                   0,
                   0,
                   0,
                   6,
                   2,
                   {0xFF, 0x00},
                   Tiles({{4, 0xFF}, {6, 0x00}, {2, 0x55}})},
        // The image ends 3 bytes into the second tile of the block's first row.
        CommitCase{"stops_at_the_last_byte",
                   8 * 8 + 3,
                   8,
                   0,
                   7,
                   0,
                   2,
                   2,
                   {0xFF, 0xFF},
                   Tiles({{7, 0x55}, {1, 0xFF}}, 3, 0xFF)},
        // The panel's cell lies wholly past the end: nothing is written.
        CommitCase{"wholly_past_the_end", 4 * 8, 8, 0, 6, 1, 1, 1, {0xFF}, Tiles({{4, 0x55}})}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExportCase {
  const char* name;
  int32_t columns, rows;
  int32_t left, top, right, bottom;
  PixelBlock block;
};

void PrintTo(const ExportCase& c, std::ostream* out) {
  *out << c.name;
}

class ExportBlockTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportBlockTest, OrderedAndTrimmedToTheGrid) {
  const ExportCase& c = GetParam();
  RomDocument doc = MakeDoc(0, 65536, c.columns, c.rows, 0);
  doc.SelLeft = c.left;
  doc.SelTop = c.top;
  doc.SelRight = c.right;
  doc.SelBottom = c.bottom;
  const PixelBlock block = ExportBlock(doc);
  EXPECT_EQ(block.X, c.block.X);
  EXPECT_EQ(block.Y, c.block.Y);
  EXPECT_EQ(block.Width, c.block.Width);
  EXPECT_EQ(block.Height, c.block.Height);
  EXPECT_EQ(doc.CopyColumns * 8, c.block.Width);
  EXPECT_EQ(doc.CopyRows * 8, c.block.Height);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, ExportBlockTest,
    ::testing::Values(ExportCase{"inside", 16, 16, 2, 1, 4, 2, {16, 8, 16, 8}},
                      ExportCase{"reversed", 16, 16, 4, 2, 2, 1, {16, 8, 16, 8}},
                      // the grid shrank to 8 x 8 after a selection up to column 12, row 10
                      ExportCase{"grid_shrank", 8, 8, 6, 5, 12, 10, {48, 40, 16, 24}},
                      ExportCase{"wholly_outside", 8, 8, 9, 9, 12, 12, {64, 64, 0, 0}},
                      ExportCase{"empty", 16, 16, 3, 3, 3, 5, {24, 24, 0, 16}}),
    [](const auto& info) { return std::string(info.param.name); });

struct SnapCase {
  const char* name;
  int32_t left, top;
  PanelPlace place;
};

void PrintTo(const SnapCase& c, std::ostream* out) {
  *out << c.name;
}

class SnapPanelTest : public ::testing::TestWithParam<SnapCase> {};

// A 16 x 16 grid at zoom 2: cells of 16 pixels, 256 x 256 pixels of grid.
TEST_P(SnapPanelTest, ClampedIntoTheGridAndSnappedDown) {
  const SnapCase& c = GetParam();
  EXPECT_EQ(SnapPastePanel(c.left, c.top, 256, 256, 16, 16), c.place);
}

INSTANTIATE_TEST_SUITE_P(
    Releases, SnapPanelTest,
    ::testing::Values(SnapCase{"origin", 0, 0, {0, 0, 0, 0}},
                      SnapCase{"inside_a_cell", 37, 50, {32, 48, 2, 3}},
                      SnapCase{"last_pixel", 255, 255, {240, 240, 15, 15}},
                      SnapCase{"over_the_scroll_bar", 256, 100, {240, 96, 15, 6}},
                      SnapCase{"far_right_and_below", 900, 4000, {240, 240, 15, 15}},
                      SnapCase{"above_and_left_of_the_window", -20, -5, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
