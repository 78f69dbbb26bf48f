// Where a ROM window's view goes to show a tile a search found, and which of its tiles a search
// takes: numbers in, numbers out.
#include "document/tile_search_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnock {
namespace {

RomDocument MakeDoc(int32_t size, TileFormat format, TileArrangement arrangement = {}) {
  RomDocument doc;
  doc.AdoptImage(std::make_unique<uint8_t[]>(static_cast<size_t>(std::max(size, 1))), size);
  doc.RomExt = ".BIN";
  doc.SetTileFormat(format);
  doc.SetArrangement(arrangement);
  return doc;
}

struct ViewCase {
  const char* name;
  TileFormat format;
  TileArrangement arrangement;
  int64_t offset;
  int32_t viewOffset;
  std::optional<GridCell> cell;  // none: no cell shows the tile
};

class ViewShowingTileTest : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ViewShowingTileTest, PutsTheTileInACellOfThePage) {
  const ViewCase& c = GetParam();
  RomDocument doc = MakeDoc(0x10000, c.format, c.arrangement);
  const TileOnView view = ViewShowingTile(doc, c.offset);
  EXPECT_EQ(view.ViewOffset, c.viewOffset);
  ASSERT_EQ(view.Cell, c.cell);
  if (view.Cell) {
    // The cell shows the tile: a pick there takes its bytes.
    doc.ViewOffset = view.ViewOffset;
    EXPECT_EQ(doc.TileOffset(view.Cell->Row, view.Cell->Column), c.offset);
  }
}

// A 16 x 16 grid of 32-byte tiles is an 8 KB page: in a 64 KB image the scroll range ends at
// 0xE000.
INSTANTIATE_TEST_SUITE_P(
    Tiles, ViewShowingTileTest,
    ::testing::Values(
        ViewCase{"AtItsOwnByte", 9, {}, 0x1235, 0x1235, GridCell{0, 0}},
        ViewCase{"PastTheLastPageStart", 9, {}, 0xE010, 0xDFF0, GridCell{1, 0}},
        ViewCase{"InTheLastPage", 9, {}, 0xFFE0, 0xE000, GridCell{15, 15}},
        ViewCase{"OddInTheLastPage", 9, {}, 0xF001, 0xDFE1, GridCell{1, 8}},
        ViewCase{"InBlocksOf16x16", 9, kArrangement16x16, 0xFFE0, 0xE000, GridCell{15, 15}},
        ViewCase{"SecondTileOf8x16", 9, kArrangement8x16, 0xE020, 0xE000, GridCell{0, 1}},
        // A tile before the first viewable byte has no page: the view goes as near as it can.
        ViewCase{"InsideTheHeader", 1, {}, 4, 16, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TileSearchViewTest, ASearchTakesThePickedTileAndTheSelectedCellsInsideTheImage) {
  // With nothing picked or selected the dialog says so: tile_search_uitest's refusals.
  RomDocument doc = MakeDoc(0x1000, 9);
  doc.EditTile = doc.RomData + 0x40;
  doc.EditTileOffset = 0x40;
  EXPECT_EQ(PickedTileOffsets(doc), std::vector<int64_t>{0x40});
  doc.EditTileOffset = 0x1000 - 16;  // half a tile before the end
  EXPECT_TRUE(PickedTileOffsets(doc).empty());

  const auto select = [&](int32_t left, int32_t top, int32_t right, int32_t bottom) {
    doc.HasSelection = true;
    doc.SelLeft = left;
    doc.SelTop = top;
    doc.SelRight = right;
    doc.SelBottom = bottom;
    return SelectionTileOffsets(doc);
  };
  // Dragged up and left from (3, 2) to (1, 1): cells 1..2 across, 1 down, in the 16 x 16 grid.
  EXPECT_EQ(select(3, 2, 1, 1), (std::vector<int64_t>{16 * 32 + 32, 16 * 32 + 64}));
  // Cells past the image's end are left out: the last row of a 4 KB image of 32-byte tiles is
  // row 7.
  EXPECT_EQ(select(14, 7, 16, 9), (std::vector<int64_t>{7 * 512 + 14 * 32, 7 * 512 + 15 * 32}));
}

}  // namespace
}  // namespace varnock
