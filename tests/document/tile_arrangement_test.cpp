// Which cell shows which tile, per arrangement, worked out by hand; and that the page, a pick, a
// copy, a paste and a drop all go by it.
#include "document/tile_arrangement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include "codec/tile_codec.h"
#include "document/block_transfer.h"
#include "document/rom_document.h"
#include "document/tile_drop.h"
#include "document/view_names.h"
#include "support/document_bytes.h"
#include "support/test_files.h"

namespace varnock {
namespace {

struct CellIndex {
  int32_t Column, Row;
  int64_t Index;
};

// Every cell's tile index, one string per grid row; then cells off the grid.
struct ArrangementCase {
  const char* Name;
  TileArrangement Arrangement;
  std::vector<const char*> Grid;
  std::vector<CellIndex> OffGrid;
};

class CellToTileTest : public ::testing::TestWithParam<ArrangementCase> {};

TEST_P(CellToTileTest, GivesTheWorkedIndexAndBack) {
  const ArrangementCase& c = GetParam();
  std::vector<std::vector<int64_t>> grid;
  for (const char* line : c.Grid) {
    std::istringstream in(line);
    grid.emplace_back(std::istream_iterator<int64_t>(in), std::istream_iterator<int64_t>());
  }
  const auto rows = static_cast<int32_t>(grid.size());
  const auto columns = static_cast<int32_t>(grid[0].size());
  for (int32_t row = 0; row < rows; ++row)
    for (int32_t column = 0; column < columns; ++column) {
      const int64_t index = grid[size_t(row)][size_t(column)];
      EXPECT_EQ(TileIndexAt(c.Arrangement, columns, rows, column, row), index)
          << "cell (" << column << ", " << row << ")";
      EXPECT_EQ(CellOfTile(c.Arrangement, columns, rows, index), (GridCell{column, row}))
          << "tile " << index;
    }
  for (const CellIndex& cell : c.OffGrid)
    EXPECT_EQ(TileIndexAt(c.Arrangement, columns, rows, cell.Column, cell.Row), cell.Index)
        << "cell (" << cell.Column << ", " << cell.Row << ")";
}

// A column past the right edge goes on in the next row, a row past the grid on the next page.
// Grids that do not divide into whole blocks cut the last block of a row or the last row of
// blocks to what fits.
INSTANTIATE_TEST_SUITE_P(
    Arrangements, CellToTileTest,
    ::testing::Values(
        ArrangementCase{"Tiles8x8", kArrangement8x8, {"0 1 2", "3 4 5"}, {{3, 0, 3}, {1, 2, 7}}},
        ArrangementCase{"Tiles8x16", kArrangement8x16, {"0 2 4 6", "1 3 5 7", "8 9 10 11"}, {}},
        ArrangementCase{"Tiles16x16",
                        kArrangement16x16,
                        {"0 1 4 5 8", "2 3 6 7 9", "10 11 12 13 14"},
                        {{0, 3, 15}}},
        ArrangementCase{"Columns2x3",
                        MakeArrangement(BlockOrder::Columns, 2, 3),
                        {"0 3 6 9 12", "1 4 7 10 13", "2 5 8 11 14", "15 16 17 18 19"},
                        {{5, 0, 1}, {6, 2, 16}, {0, 4, 20}}},
        // Genesis sprites of 4 x 4 tiles stored column by column.
        ArrangementCase{"Columns4x4",
                        MakeArrangement(BlockOrder::Columns, 4, 4),
                        {"0 4 8 12 16 20 24 28", "1 5 9 13 17 21 25 29", "2 6 10 14 18 22 26 30",
                         "3 7 11 15 19 23 27 31"},
                        {{0, 4, 32}}}),
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
  test::HoldImage(doc, bytes);
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

TEST_P(DocumentArrangementTest, EveryCellShowsThePickedAndDroppedOnTile) {
  RomDocument doc = MakeDoc(GetParam());
  EXPECT_EQ(doc.Columns % doc.Arrangement.BlockWidth, 0);
  EXPECT_EQ(doc.Rows % doc.Arrangement.BlockHeight, 0);
  doc.DecodePage();
  // What a cell shows is the tile a pick there binds, and every tile of the page is shown once.
  std::set<int64_t> picked;
  for (int32_t row = 0; row < doc.Rows; ++row)
    for (int32_t column = 0; column < doc.Columns; ++column) {
      const auto offset = PickOffset(doc, {column, row});
      ASSERT_TRUE(offset);
      ASSERT_EQ(CellOf(doc.ViewSurface, column, row), TileAt(doc, *offset))
          << "cell (" << column << ", " << row << ")";
      picked.insert(*offset);
    }
  EXPECT_EQ(picked.size(), size_t(doc.Columns) * doc.Rows);
  EXPECT_EQ(*picked.rbegin() - *picked.begin(), doc.PageBytes - doc.TileBytes);

  // A drop lands on the tile its cell shows.
  EXPECT_EQ(DropOffset(doc, doc.Columns * 16 - 1, doc.Rows * 16 - 1),
            PickOffset(doc, {doc.Columns - 1, doc.Rows - 1}));
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
  test::PokeBytes(target, 0, 0, target.RomSize);
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

// Moved to their cells and back, the tiles of a surface are where they started; a surface whose
// size fields no longer match its bitmap is left alone.
TEST(SurfaceArrangement, ArrangeThenLinearizeGivesBackThePixels) {
  TileSurface surface;
  surface.TilesAcross = 7;
  surface.TilesDown = 4;
  RebuildSurface(surface);
  for (size_t i = 0; i < surface.Pixels.size(); ++i) surface.Pixels[i] = uint8_t(i * 7 + i / 56);
  const std::vector<uint8_t> linear = surface.Pixels;
  const TileArrangement columns3x2 = MakeArrangement(BlockOrder::Columns, 3, 2);
  ArrangeSurfaceTiles(surface, columns3x2);
  EXPECT_NE(surface.Pixels, linear);
  LinearizeSurfaceTiles(surface, columns3x2);
  EXPECT_EQ(surface.Pixels, linear);
  surface.TilesAcross = 9;
  ArrangeSurfaceTiles(surface, columns3x2);
  EXPECT_EQ(surface.Pixels, linear);
}

// Grids one after another, as windows of several sizes ask: each cell gets the tile its own grid
// and arrangement give it, whatever was arranged before.
TEST(SurfaceArrangement, EachGridInTurnGetsItsOwnOrder) {
  const TileArrangement columns2x3 = MakeArrangement(BlockOrder::Columns, 2, 3);
  for (const auto& [arrangement, across, down] : {std::tuple{kArrangement8x16, 4, 4},
                                                  {kArrangement8x16, 4, 6},
                                                  {columns2x3, 4, 6},
                                                  {kArrangement8x16, 6, 4},
                                                  {kArrangement16x16, 6, 4}}) {
    TileSurface surface;
    surface.TilesAcross = across;
    surface.TilesDown = down;
    RebuildSurface(surface);
    for (int32_t tile = 0; tile < across * down; ++tile)
      FillSurfaceTile(surface, tile % across, tile / across, uint8_t(tile));
    ArrangeSurfaceTiles(surface, arrangement);
    for (int32_t cell = 0; cell < across * down; ++cell)
      ASSERT_EQ(CellOf(surface, cell % across, cell / across),
                std::vector<uint8_t>(64, uint8_t(TileIndexAt(arrangement, across, down,
                                                             cell % across, cell / across))))
          << ArrangementName(arrangement) << " " << across << "x" << down << " cell " << cell;
  }
}

}  // namespace
}  // namespace varnock
