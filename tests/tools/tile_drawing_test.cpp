// The tile editor's line, rectangle and fill, pixel by pixel on hand-drawn tiles.
#include "tools/tile_drawing.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace varnock {
namespace {

using Tile = std::array<uint8_t, 64>;

// A tile from eight rows of digits separated by '/', top row first.
Tile Picture(const char* rows) {
  Tile tile{};
  for (int k = 0; k < 64; ++k) tile[k] = static_cast<uint8_t>(rows[k + k / 8] - '0');
  return tile;
}

// The pixels of `index` as "x,y" pairs in reading order: "00 10 21".
std::string PixelsOf(const Tile& tile, uint8_t index) {
  std::string found;
  for (int k = 0; k < 64; ++k)
    if (tile[k] == index) {
      if (!found.empty()) found += ' ';
      found += {static_cast<char>('0' + k % 8), static_cast<char>('0' + k / 8)};
    }
  return found;
}

TEST(TileDrawingTest, LinesInEveryOctantTakeTheNearestPixels) {
  struct Case {
    PenPixel from, to;
    const char* drawn;
  };
  const Case cases[] = {
      {{0, 0}, {7, 3}, "00 10 21 31 42 52 63 73"},  // right, down, shallow
      {{0, 0}, {3, 7}, "00 01 12 13 24 25 36 37"},  // right, down, steep
      {{7, 0}, {0, 3}, "60 70 41 51 22 32 03 13"},  // left, down, shallow
      {{3, 0}, {0, 7}, "30 31 22 23 14 15 06 07"},  // left, down, steep
      {{7, 7}, {0, 4}, "04 14 25 35 46 56 67 77"},  // left, up, shallow
      {{7, 7}, {4, 0}, "40 41 52 53 64 65 76 77"},  // left, up, steep
      {{0, 7}, {7, 4}, "64 74 45 55 26 36 07 17"},  // right, up, shallow
      {{4, 7}, {7, 0}, "70 71 62 63 54 55 46 47"},  // right, up, steep
      // A half step rounds away from the start, so the two directions differ.
      {{0, 0}, {2, 1}, "00 11 21"},
      {{2, 1}, {0, 0}, "00 10 21"},
      {{3, 4}, {3, 4}, "34"},
      {{-9, 2}, {30, 2}, "02 12 22 32 42 52 62 72"},  // ends outside count as the edge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.drawn);
    Tile tile{};
    DrawLine(tile, c.from, c.to, 5);
    EXPECT_EQ(PixelsOf(tile, 5), c.drawn);
  }
}

TEST(TileDrawingTest, RectanglesSpanTheDraggedBoxFromAnyCorner) {
  constexpr const char* kOutline =
      "00000000/00000000/01111100/01000100/01000100/01111100/00000000/00000000";
  constexpr const char* kFilled =
      "00000000/00000000/01111100/01111100/01111100/01111100/00000000/00000000";
  struct Case {
    PenPixel corner, opposite;
    bool filled;
    const char* expected;
  };
  const Case cases[] = {
      {{1, 2}, {5, 5}, false, kOutline},
      {{5, 2}, {1, 5}, false, kOutline},
      {{5, 5}, {1, 2}, false, kOutline},
      {{1, 5}, {5, 2}, false, kOutline},
      {{1, 2}, {5, 5}, true, kFilled},
      {{5, 5}, {1, 2}, true, kFilled},
      {{1, 5}, {5, 2}, true, kFilled},
      // Only the sides inside the tile are drawn: the right side lies past its edge.
      {{5, 6},
       {9, 12},
       false,
       "00000000/00000000/00000000/00000000/00000000/00000000/00000111/00000100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.corner.X << "," << c.corner.Y << " filled " << c.filled);
    Tile tile{};
    DrawRectangle(tile, c.corner, c.opposite, 1, c.filled);
    EXPECT_EQ(tile, Picture(c.expected));
  }
}

TEST(TileDrawingTest, FillsTheEdgeJoinedAreaInsideTheTile) {
  struct Case {
    const char* name;
    const char* before;
    PenPixel start;
    const char* after;
  };
  const Case cases[] = {
      {"not through corners",
       "00010000/00100000/01000000/10000000/00000000/00000000/00000000/00000000",
       {0, 0},
       "22210000/22100000/21000000/10000000/00000000/00000000/00000000/00000000"},
      // A row's right end lies next to the next row's left end in memory, not on the tile.
      {"stops at the right edge",
       "11111100/00111111/11111111/11111111/11111111/11111111/11111111/11111111",
       {7, 0},
       "11111122/00111111/11111111/11111111/11111111/11111111/11111111/11111111"},
      {"around an island",
       "00000000/00000000/00011000/00011000/00000000/00000000/00000000/00000000",
       {7, 7},
       "22222222/22222222/22211222/22211222/22222222/22222222/22222222/22222222"},
      {"same index",
       "22222222/20000002/20000002/22222222/00000000/00000000/00000000/00000000",
       {0, 0},
       "22222222/20000002/20000002/22222222/00000000/00000000/00000000/00000000"},
      {"outside the tile",
       "00000000/00000000/00000000/00000000/00000000/00000000/00000000/00000000",
       {8, 3},
       "00000000/00000000/00000000/00000000/00000000/00000000/00000000/00000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tile tile = Picture(c.before);
    FloodFill(tile, c.start, 2);
    EXPECT_EQ(tile, Picture(c.after));
  }
}

}  // namespace
}  // namespace varnock
