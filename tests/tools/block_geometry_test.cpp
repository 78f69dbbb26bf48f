// The block editor's core: strokes, shapes and transforms drawn on a block of several tiles
// land in the right bytes of the right tiles, whatever the arrangement puts where.
#include "tools/block_geometry.h"
#include "support/document_bytes.h"
#include "tools/block_clip.h"
#include "tools/tile_drawing.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace varnock {
namespace {

// An 8 x 8 grid of 1-bit tiles (8 bytes each, one byte a row, the leftmost pixel in bit 7) at
// offset 0 of a 1024-byte image.
RomDocument MakeDoc(const TileArrangement& arrangement) {
  RomDocument doc;
  test::HoldImage(doc, std::vector<uint8_t>(1024, 0), 16);
  doc.Columns = doc.Rows = 8;
  doc.SetTileFormat(0);
  doc.SetArrangement(arrangement);
  return doc;
}

struct TileBytes {
  int32_t Offset;
  std::vector<uint8_t> Rows;  // the tile's 8 bytes
};

using Drawing = std::function<void(PixelCanvas)>;

Drawing Line(PenPixel from, PenPixel to) {
  return [=](PixelCanvas c) { DrawLine(c, from, to, 1); };
}
Drawing Rectangle(PenPixel corner, PenPixel opposite, bool filled) {
  return [=](PixelCanvas c) { DrawRectangle(c, corner, opposite, 1, filled); };
}
Drawing Fill(PenPixel start) {
  return [=](PixelCanvas c) { FloodFill(c, start, 1); };
}
Drawing Transform(TileTransform transform, bool done = true) {
  return [=](PixelCanvas c) { EXPECT_EQ(TransformCanvas(c, transform), done); };
}

using Tiles = std::vector<TileBytes>;

struct DrawCase {
  const char* Name;
  TileArrangement Arrangement;
  TileRect Cells;
  Drawing Draw;
  Tiles After;          // every other byte of the image stays 0
  bool Seeded = false;  // tile 0's top-left pixel set before
  int32_t ViewOffset = 0;
};

const std::vector<uint8_t> kDiagonal{0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
const std::vector<uint8_t> kAntiDiagonal{0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
const std::vector<uint8_t> kTopLeft{0x80, 0, 0, 0, 0, 0, 0, 0};
const std::vector<uint8_t> kTopRight{0x01, 0, 0, 0, 0, 0, 0, 0};

TEST(BlockDrawing, StrokesAndShapesAcrossTileEdgesLandInTheArrangedTiles) {
  const std::vector<DrawCase> cases = {
      // 8x8: block tiles (0,0) and (1,1) are cells (1,1) and (2,2), tiles 9 and 18.
      {"8x8 diagonal line", kArrangement8x8, TileRect{1, 1, 3, 3}, Line({0, 0}, {15, 15}),
       Tiles{{72, kDiagonal}, {144, kDiagonal}}},
      // 8x16: cell (0,1) is the pair's lower tile 1, cell (1,0) the next pair's upper tile 2.
      {"8x16 line up to the right", kArrangement8x16, TileRect{0, 0, 2, 2}, Line({0, 15}, {15, 0}),
       Tiles{{8, kAntiDiagonal}, {16, kAntiDiagonal}}},
      // 16x16: the four tiles 0-3 top-left, top-right, bottom-left, bottom-right.
      {"16x16 rectangle", kArrangement16x16, TileRect{0, 0, 2, 2},
       Rectangle({4, 4}, {11, 11}, false),
       Tiles{{0, {0, 0, 0, 0, 0x0F, 0x08, 0x08, 0x08}},
             {8, {0, 0, 0, 0, 0xF0, 0x10, 0x10, 0x10}},
             {16, {0x08, 0x08, 0x08, 0x0F, 0, 0, 0, 0}},
             {24, {0x10, 0x10, 0x10, 0xF0, 0, 0, 0, 0}}}},
      // Column blocks of 2 x 2: top to bottom first, so the top-right tile is tile 2.
      {"column blocks filled rectangle", MakeArrangement(BlockOrder::Columns, 2, 2),
       TileRect{0, 0, 2, 2}, Rectangle({9, 9}, {6, 6}, true),
       Tiles{{0, {0, 0, 0, 0, 0, 0, 0x03, 0x03}},
             {16, {0, 0, 0, 0, 0, 0, 0xC0, 0xC0}},
             {8, {0x03, 0x03, 0, 0, 0, 0, 0, 0}},
             {24, {0xC0, 0xC0, 0, 0, 0, 0, 0, 0}}}},
      // The fill crosses the edge between the two tiles and stops at the block's.
      {"8x8 fill within a 2x1 block", kArrangement8x8, TileRect{0, 0, 2, 1}, Fill({3, 3}),
       Tiles{{0, std::vector<uint8_t>(8, 0xFF)}, {8, std::vector<uint8_t>(8, 0xFF)}}},
      // A flip of the whole block moves pixels between tiles.
      {"8x16 flip of a 2x1 block", kArrangement8x16, TileRect{0, 0, 2, 1},
       Transform(TileTransform::FlipHorizontal), Tiles{{16, kTopRight}}, true},
      {"16x16 quarter turn", kArrangement16x16, TileRect{0, 0, 2, 2},
       Transform(TileTransform::RotateClockwise), Tiles{{8, kTopRight}}, true},
      {"8x8 shift left wraps round the block", kArrangement8x8, TileRect{0, 0, 2, 1},
       Transform(TileTransform::ShiftLeft), Tiles{{8, kTopRight}}, true},
      // A block that is not square keeps its pixels: no quarter turn.
      {"no quarter turn of 2x1", kArrangement8x8, TileRect{0, 0, 2, 1},
       Transform(TileTransform::RotateClockwise, false), Tiles{{0, kTopLeft}}, true},
      // The grid's first tile is the image's last: the tile past it reads as zero and stays
      // unwritten.
      {"tiles past the image end", kArrangement8x8, TileRect{0, 0, 2, 1}, Line({0, 0}, {15, 0}),
       Tiles{{1016, {0xFF, 0, 0, 0, 0, 0, 0, 0}}}, false, 1024 - 8},
  };
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.Name);
    RomDocument doc = MakeDoc(c.Arrangement);
    doc.ViewOffset = c.ViewOffset;
    if (c.Seeded) doc.WriteBytes(0, kTopLeft);
    const BlockLayout layout = LayOutBlock(doc, c.Cells);
    TileSurface before;
    DecodeBlock(doc.BytesFrom(0), layout, before);
    TileSurface after = before;
    c.Draw(CanvasOfBlock(after));
    const size_t steps = doc.History().StepCount();
    WriteBlockChanges(doc, layout, before, after, "Linea");
    std::vector<uint8_t> expected(1024, 0);
    for (const TileBytes& tile : c.After)
      std::copy(tile.Rows.begin(), tile.Rows.end(), expected.begin() + tile.Offset);
    EXPECT_EQ(std::vector<uint8_t>(doc.RomData, doc.RomData + 1024), expected);
    // Whatever the drawing changed is one step; nothing changed, none.
    const bool changed = before.Pixels != after.Pixels;
    EXPECT_EQ(doc.History().StepCount(), steps + (changed ? 1 : 0));
    for (int k = 0; k < 16; ++k) EXPECT_EQ(doc.RomData[1024 + k], 0xA5);
  }
}

TEST(BlockGeometry, CellsTheEditorOpensOver) {
  // The selection, cut to the grid and to 16 x 16 tiles; nothing for an empty one.
  EXPECT_EQ(SelectedBlockCells({2, 1, 40, 30}, 32, 32), (TileRect{2, 1, 18, 17}));
  EXPECT_EQ(SelectedBlockCells({3, 3, 3, 5}, 16, 16), std::nullopt);
  // The arrangement's block around a tile, cut where the grid ends.
  EXPECT_EQ(ArrangementBlockAround(kArrangement8x16, 16, 16, {5, 3}), (TileRect{5, 2, 6, 4}));
  EXPECT_EQ(ArrangementBlockAround(kArrangement16x16, 16, 16, {5, 3}), (TileRect{4, 2, 6, 4}));
  EXPECT_EQ(ArrangementBlockAround(MakeArrangement(BlockOrder::Columns, 3, 3), 8, 8, {7, 7}),
            (TileRect{6, 6, 8, 8}));
  EXPECT_EQ(ArrangementBlockAround(kArrangement8x8, 16, 16, {16, 0}), std::nullopt);
}

TEST(BlockClip, RoundTripAndRefusals) {
  TileSurface block;
  SetUpTileSurface(block, 2, 1);
  block.Pixels[17] = 3;
  const std::vector<uint8_t> bytes = EncodeBlockClip(block);
  const std::optional<BlockClip> clip = DecodeBlockClip(bytes);
  ASSERT_TRUE(clip);
  EXPECT_EQ(std::tie(clip->Width, clip->Height, clip->Pixels), std::tuple(16, 8, block.Pixels));
  // Short of its indices, another mark, a size of zero: refused.
  EXPECT_FALSE(DecodeBlockClip(std::span(bytes).first(bytes.size() - 1)));
  std::vector<uint8_t> wrong = bytes;
  wrong[0] = 'X';
  EXPECT_FALSE(DecodeBlockClip(wrong));
  EXPECT_FALSE(DecodeBlockClip(std::vector<uint8_t>{'V', 'R', 'K', 'B', 0, 0, 8, 0}));
  // A larger clip is cut to the canvas, its indices to the tiles' depth.
  std::vector<uint8_t> pixels(4, 0);
  PasteBlockClip({4, 4, std::vector<uint8_t>(16, 7)}, MakeCanvas(pixels, 2, 2), 2);
  EXPECT_EQ(pixels, (std::vector<uint8_t>{3, 3, 3, 3}));
}

}  // namespace
}  // namespace varnock
