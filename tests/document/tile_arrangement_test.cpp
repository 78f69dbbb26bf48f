// Which cell shows which tile, per arrangement, worked out by hand; and that the page, a pick, a
// copy, a paste and a drop all go by it.
#include "document/tile_arrangement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "codec/tile_codec.h"
#include "document/block_transfer.h"
#include "document/rom_document.h"
#include "document/tile_drop.h"
#include "support/test_files.h"

namespace varnock {
namespace {

struct CellIndex {
  int32_t Column, Row;
  int64_t Index;
};

struct ArrangementCase {
  const char* Name;
  TileArrangement Arrangement;
  int32_t Columns, Rows;
  std::vector<CellIndex> Cells;
};

class CellToTileTest : public ::testing::TestWithParam<ArrangementCase> {};

TEST_P(CellToTileTest, GivesTheWorkedIndexAndBack) {
  const ArrangementCase& c = GetParam();
  for (const CellIndex& cell : c.Cells) {
    EXPECT_EQ(TileIndexAt(c.Arrangement, c.Columns, c.Rows, cell.Column, cell.Row), cell.Index)
        << "cell (" << cell.Column << ", " << cell.Row << ")";
    if (cell.Column < c.Columns) {
      EXPECT_EQ(CellOfTile(c.Arrangement, c.Columns, c.Rows, cell.Index),
                (GridCell{cell.Column, cell.Row}))
          << "tile " << cell.Index;
    }
  }
  // Every tile of the page has exactly one cell.
  std::set<int64_t> shown;
  for (int32_t row = 0; row < c.Rows; ++row)
    for (int32_t column = 0; column < c.Columns; ++column)
      shown.insert(TileIndexAt(c.Arrangement, c.Columns, c.Rows, column, row));
  ASSERT_EQ(shown.size(), size_t(c.Columns) * c.Rows);
  EXPECT_EQ(*shown.rbegin(), int64_t{c.Columns} * c.Rows - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Arrangements, CellToTileTest,
    ::testing::Values(
        // A column past the edge goes on in the next row, a row past the grid on the next page.
        ArrangementCase{"Tiles8x8",
                        kArrangement8x8,
                        3,
                        2,
                        {{0, 0, 0}, {2, 0, 2}, {0, 1, 3}, {3, 0, 3}, {2, 1, 5}, {1, 2, 7}}},
        // Three rows: the last row of pairs is cut to single tiles.
        ArrangementCase{"Tiles8x16",
                        kArrangement8x16,
                        4,
                        3,
                        {{0, 0, 0}, {0, 1, 1}, {1, 0, 2}, {3, 1, 7}, {0, 2, 8}, {3, 2, 11}}},
        // 5 x 3: the fifth column and the third row hold cut blocks.
        ArrangementCase{"Tiles16x16",
                        kArrangement16x16,
                        5,
                        3,
                        {{0, 0, 0},
                         {1, 0, 1},
                         {0, 1, 2},
                         {1, 1, 3},
                         {2, 0, 4},
                         {3, 1, 7},
                         {4, 0, 8},
                         {4, 1, 9},
                         {0, 2, 10},
                         {4, 2, 14},
                         {0, 3, 15}}},
        ArrangementCase{"Columns3x2",
                        MakeArrangement(BlockOrder::Columns, 3, 2),
                        7,
                        4,
                        {{0, 0, 0},
                         {0, 1, 1},
                         {1, 0, 2},
                         {2, 1, 5},
                         {3, 0, 6},
                         {5, 1, 11},
                         {6, 0, 12},
                         {6, 1, 13},
                         {0, 2, 14},
                         {1, 2, 16},
                         {6, 3, 27},
                         {7, 1, 14},
                         {0, 4, 28}}},
        ArrangementCase{
            "Rows3x2",
            MakeArrangement(BlockOrder::Rows, 3, 2),
            7,
            4,
            {{0, 0, 0}, {2, 0, 2}, {0, 1, 3}, {2, 1, 5}, {4, 1, 10}, {6, 1, 13}, {2, 3, 19}}},
        // A Genesis sprite of 4 x 4 tiles stored column by column.
        ArrangementCase{"Columns4x4",
                        MakeArrangement(BlockOrder::Columns, 4, 4),
                        16,
                        8,
                        {{0, 3, 3}, {1, 0, 4}, {3, 3, 15}, {4, 0, 16}, {5, 3, 23}, {0, 4, 64}}}),
    [](const auto& info) { return info.param.Name; });

// ---- Grids in whole blocks.

TEST(GridSnap, KeepsWholeBlocksWithinTheGridLimits) {
  struct Case {
    int32_t Count, Block, Direction, Snapped, Stepped;
  };
  for (const Case& c :
       {Case{16, 3, 1, 15, 18}, Case{7, 3, -1, 9, 9}, Case{64, 3, 1, 63, 63}, Case{8, 5, 1, 10, 15},
        Case{100, 8, -1, 64, 56}, Case{13, 1, -1, 13, 12}, Case{20, 2, 0, 20, 20}}) {
    EXPECT_EQ(SnapGridCount(c.Count, c.Block, 8, 64), c.Snapped) << c.Count << " by " << c.Block;
    EXPECT_EQ(StepGridCount(c.Count, c.Block, c.Direction, 8, 64), c.Stepped)
        << c.Count << " by " << c.Block;
  }
}

// ---- The document goes by its arrangement.

// A 64 KB GBA image of pattern bytes shown from offset 0 in `arrangement`.
RomDocument MakeDoc(const TileArrangement& arrangement, int32_t columns = 10, int32_t rows = 9) {
  RomDocument doc;
  const std::vector<uint8_t> bytes = test::PatternBytes(65536, 7);
  doc.RomImage = std::make_unique<uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), doc.RomImage.get());
  doc.RomData = doc.RomImage.get();
  doc.RomSize = static_cast<int32_t>(bytes.size());
  doc.Columns = columns;
  doc.Rows = rows;
  doc.SetTileFormat(9);
  doc.SetArrangement(arrangement);
  doc.ViewOffset = doc.ScrollMinimum;
  doc.Zoom = 2;
  doc.CellWidth = doc.CellHeight = 16;
  return doc;
}

// The 64 pixels of the tile whose bytes start at `offset`.
std::vector<uint8_t> TileAt(const RomDocument& doc, int64_t offset) {
  TileSurface tile;
  SetUpTileSurface(tile, 1, 1);
  tile.DecodeFormat = doc.Format;
  tile.DecodeTileBytes = doc.TileBytes;
  DecodeTiles(doc.BytesFrom(offset), tile);
  return tile.Pixels;
}

std::vector<uint8_t> CellOf(const TileSurface& s, int32_t column, int32_t row) {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      pixels.push_back(s.Pixels[(row * 8 + y) * s.Width() + column * 8 + x]);
  return pixels;
}

class DocumentArrangementTest : public ::testing::TestWithParam<TileArrangement> {};

TEST_P(DocumentArrangementTest, EveryCellShowsPicksAndTakesDropsAtItsTile) {
  RomDocument doc = MakeDoc(GetParam());
  EXPECT_EQ(doc.Columns % doc.Arrangement.BlockWidth, 0);
  EXPECT_EQ(doc.Rows % doc.Arrangement.BlockHeight, 0);
  doc.DecodePage();
  for (int32_t row = 0; row < doc.Rows; ++row)
    for (int32_t column = 0; column < doc.Columns; ++column) {
      const int64_t offset =
          doc.ViewOffset +
          TileIndexAt(doc.Arrangement, doc.Columns, doc.Rows, column, row) * doc.TileBytes;
      ASSERT_EQ(doc.TileOffset(row, column), offset);
      ASSERT_EQ(PickOffset(doc, {column, row}), offset);
      ASSERT_EQ(CellOf(doc.ViewSurface, column, row), TileAt(doc, offset))
          << "cell (" << column << ", " << row << ")";
    }
  EXPECT_EQ(doc.BlockRowBytes(), doc.RowBytes * doc.Arrangement.BlockHeight);

  // A drop on the last cell writes that cell's tile and nothing else.
  const std::vector<uint8_t> before(doc.RomData, doc.RomData + doc.RomSize);
  TileSurface tile;
  SetUpTileSurface(tile, 1, 1);
  std::fill(tile.Pixels.begin(), tile.Pixels.end(), 5);
  const auto at = DropOffset(doc, doc.Columns * 16 - 1, doc.Rows * 16 - 1);
  ASSERT_EQ(at, doc.TileOffset(doc.Rows - 1, doc.Columns - 1));
  ASSERT_TRUE(DropTileIntoImage(doc, tile, *at));
  for (int32_t i = 0; i < doc.RomSize; ++i)
    ASSERT_EQ(doc.RomData[i], i >= *at && i < *at + 32 ? 0x55 : before[size_t(i)]) << i;
}

INSTANTIATE_TEST_SUITE_P(Arrangements, DocumentArrangementTest,
                         ::testing::Values(kArrangement8x8, kArrangement8x16, kArrangement16x16,
                                           TileArrangement{BlockOrder::Columns, 4, 4},
                                           TileArrangement{BlockOrder::Rows, 3, 2}));

// A copied block keeps what was shown; a paste writes it by the cells under the panel, in the
// target window's arrangement. A 2 x 2 block is copied from cell (0, 0) and pasted at (3, 1) of a
// 16 x 16 grid.
struct PasteCase {
  const char* Name;
  TileArrangement From, To;
  std::vector<std::pair<int64_t, int64_t>> Placed;  // (target tile, source tile)
};

class ArrangedPasteTest : public ::testing::TestWithParam<PasteCase> {};

TEST_P(ArrangedPasteTest, WritesTheTilesAsShown) {
  const PasteCase& c = GetParam();
  RomDocument source = MakeDoc(c.From, 16, 16);
  source.SelLeft = 0, source.SelTop = 0, source.SelRight = 2, source.SelBottom = 2;
  TileSurface clip;
  CopyBlock(source, clip);
  RomDocument target = MakeDoc(c.To, 16, 16);
  std::fill_n(target.RomData, target.RomSize, 0);
  target.PasteColumn = 3;
  target.PasteRow = 1;
  CommitBlock(target, clip);
  std::vector<uint8_t> expected(65536, 0);
  for (auto [to, from] : c.Placed) {
    const uint8_t* bytes = source.RomData + source.ViewOffset + from * 32;
    std::copy(bytes, bytes + 32, expected.begin() + target.ViewOffset + to * 32);
  }
  EXPECT_EQ(std::vector<uint8_t>(target.RomData, target.RomData + target.RomSize), expected);
  EXPECT_TRUE(target.Modified);
}

INSTANTIATE_TEST_SUITE_P(
    Arrangements, ArrangedPasteTest,
    ::testing::Values(
        // Cells (0, 0), (1, 0), (0, 1), (1, 1) show tiles 0, 2, 1, 3 in 8x16; in 8x8 the cells
        // (3, 1), (4, 1), (3, 2), (4, 2) are tiles 19, 20, 35, 36.
        PasteCase{"TallSpritesIntoByteOrder",
                  kArrangement8x16,
                  kArrangement8x8,
                  {{19, 0}, {20, 2}, {35, 1}, {36, 3}}},
        // The other way: tiles 0, 1, 16, 17 land in 8x16 cells whose tiles are 7, 9 (lower
        // halves of pairs 3 and 4) and 38, 40 (upper halves in the second row of pairs).
        PasteCase{"ByteOrderIntoTallSprites",
                  kArrangement8x8,
                  kArrangement8x16,
                  {{7, 0}, {9, 1}, {38, 16}, {40, 17}}}),
    [](const auto& info) { return info.param.Name; });

// Moved to their cells and back, the tiles of a surface are where they started.
TEST(SurfaceArrangement, ArrangeThenLinearizeGivesBackThePixels) {
  TileSurface surface;
  surface.TilesAcross = 7;
  surface.TilesDown = 4;
  RebuildSurface(surface);
  for (size_t i = 0; i < surface.Pixels.size(); ++i) surface.Pixels[i] = uint8_t(i * 7 + i / 56);
  const std::vector<uint8_t> linear = surface.Pixels;
  const TileArrangement columns3x2 = MakeArrangement(BlockOrder::Columns, 3, 2);
  ArrangeSurfaceTiles(surface, columns3x2);
  EXPECT_EQ(CellOf(surface, 6, 1), [&] {  // cell (6, 1) shows tile 13: column 6, row 1
    TileSurface copy = surface;
    copy.Pixels = linear;
    return CellOf(copy, 6, 1);
  }());
  EXPECT_NE(surface.Pixels, linear);
  LinearizeSurfaceTiles(surface, columns3x2);
  EXPECT_EQ(surface.Pixels, linear);
  surface.TilesAcross = 9;  // no longer the bitmap's size: left alone
  ArrangeSurfaceTiles(surface, columns3x2);
  EXPECT_EQ(surface.Pixels, linear);
}

}  // namespace
}  // namespace varnock
