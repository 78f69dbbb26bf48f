// Flips, rotation and wrap-around shifts of the tile editor's tile, and the pen's pixel.
#include "tools/tile_transform.h"

#include <gtest/gtest.h>

#include <array>

namespace varnock {
namespace {

using Tile = std::array<uint8_t, 64>;

// Every pixel different: row r, column c holds r * 8 + c.
Tile Numbered() {
  Tile tile{};
  for (int i = 0; i < 64; ++i) tile[i] = static_cast<uint8_t>(i);
  return tile;
}

uint8_t At(const Tile& tile, int row, int column) {
  return tile[row * 8 + column];
}

struct TransformCase {
  const char* name;
  TileTransform transform;
  int times;  // applications that give the tile back
  // Where the original top-left pixel (0) and the pixel at row 0, column 1 (value 1) end up.
  int topLeftRow, topLeftColumn, nextRow, nextColumn;
};

class TransformTest : public ::testing::TestWithParam<TransformCase> {};

TEST_P(TransformTest, MovesPixelsAndComesBackAfterAFullCycle) {
  const TransformCase& c = GetParam();
  Tile tile = Numbered();
  TransformTile(tile, c.transform);
  EXPECT_EQ(At(tile, c.topLeftRow, c.topLeftColumn), 0);
  EXPECT_EQ(At(tile, c.nextRow, c.nextColumn), 1);
  for (int i = 1; i < c.times; ++i) {
    EXPECT_NE(tile, Numbered()) << "back too early, after " << i;
    TransformTile(tile, c.transform);
  }
  EXPECT_EQ(tile, Numbered());
}

INSTANTIATE_TEST_SUITE_P(
    Tile, TransformTest,
    ::testing::Values(TransformCase{"flip_horizontally", TileTransform::FlipHorizontal, 2, 0, 7, 0,
                                    6},
                      TransformCase{"flip_vertically", TileTransform::FlipVertical, 2, 7, 0, 7, 1},
                      // Clockwise: the top-left pixel to the top-right, the row beside it
                      // runs down the right edge.
                      TransformCase{"rotate", TileTransform::RotateClockwise, 4, 0, 7, 1, 7},
                      TransformCase{"shift_left", TileTransform::ShiftLeft, 8, 0, 7, 0, 0},
                      TransformCase{"shift_right", TileTransform::ShiftRight, 8, 0, 1, 0, 2},
                      TransformCase{"shift_up", TileTransform::ShiftUp, 8, 7, 0, 7, 1},
                      TransformCase{"shift_down", TileTransform::ShiftDown, 8, 1, 0, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TransformTile, WholeResultsOfEachRuleOnAnAsymmetricTile) {
  const Tile source = Numbered();
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) {
      Tile t = source;
      TransformTile(t, TileTransform::FlipHorizontal);
      EXPECT_EQ(At(t, r, c), At(source, r, 7 - c));
      t = source;
      TransformTile(t, TileTransform::FlipVertical);
      EXPECT_EQ(At(t, r, c), At(source, 7 - r, c));
      t = source;
      TransformTile(t, TileTransform::RotateClockwise);
      EXPECT_EQ(At(t, r, c), At(source, 7 - c, r));
      t = source;
      TransformTile(t, TileTransform::ShiftLeft);
      EXPECT_EQ(At(t, r, c), At(source, r, (c + 1) % 8));
      t = source;
      TransformTile(t, TileTransform::ShiftRight);
      EXPECT_EQ(At(t, r, (c + 1) % 8), At(source, r, c));
      t = source;
      TransformTile(t, TileTransform::ShiftUp);
      EXPECT_EQ(At(t, r, c), At(source, (r + 1) % 8, c));
      t = source;
      TransformTile(t, TileTransform::ShiftDown);
      EXPECT_EQ(At(t, (r + 1) % 8, c), At(source, r, c));
    }
  }
}

TEST(PenPixelAt, SixteenScreenPixelsPerTilePixelClampedToTheArea) {
  const std::array<std::array<int32_t, 4>, 8> cases{{
      {0, 0, 0, 0},
      {15, 16, 0, 1},
      {127, 127, 7, 7},
      {128, 128, 7, 7},
      {300, -5, 7, 0},
      {-1, 200, 0, 7},
      {INT32_MIN, INT32_MAX, 0, 7},
      {40, 90, 2, 5},
  }};
  for (const auto& [x, y, column, row] : cases)
    EXPECT_EQ(PenPixelAt(x, y), (PenPixel{column, row})) << x << "," << y;
}

}  // namespace
}  // namespace varnock
