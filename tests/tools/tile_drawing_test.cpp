// The tile editor's line, rectangle and fill, pixel by pixel on hand-drawn tiles.
#include "tools/tile_drawing.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace varnock {
namespace {

using Tile = std::array<uint8_t, 64>;

// A tile from eight rows of digits, top row first.
Tile Picture(const std::array<const char*, 8>& rows) {
  Tile tile{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile[y * 8 + x] = static_cast<uint8_t>(rows[y][x] - '0');
  return tile;
}

std::vector<PenPixel> PixelsOf(const Tile& tile, uint8_t index) {
  std::vector<PenPixel> found;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (tile[y * 8 + x] == index) found.push_back({x, y});
  return found;
}

struct LineCase {
  const char* name;
  PenPixel from, to;
  std::vector<PenPixel> drawn;  // in reading order (row by row)
};

class LineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineTest, DrawsTheNearestPixelsFromEndToEnd) {
  const LineCase& c = GetParam();
  Tile tile{};
  DrawLine(tile, c.from, c.to, 5);
  EXPECT_EQ(PixelsOf(tile, 5), c.drawn);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOctant, LineTest,
    ::testing::Values(
        LineCase{"right_down_shallow",
                 {0, 0},
                 {7, 3},
                 {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 3}, {7, 3}}},
        LineCase{"right_down_steep",
                 {0, 0},
                 {3, 7},
                 {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}, {3, 6}, {3, 7}}},
        LineCase{"left_down_shallow",
                 {7, 0},
                 {0, 3},
                 {{6, 0}, {7, 0}, {4, 1}, {5, 1}, {2, 2}, {3, 2}, {0, 3}, {1, 3}}},
        LineCase{"left_down_steep",
                 {3, 0},
                 {0, 7},
                 {{3, 0}, {3, 1}, {2, 2}, {2, 3}, {1, 4}, {1, 5}, {0, 6}, {0, 7}}},
        LineCase{"left_up_shallow",
                 {7, 7},
                 {0, 4},
                 {{0, 4}, {1, 4}, {2, 5}, {3, 5}, {4, 6}, {5, 6}, {6, 7}, {7, 7}}},
        LineCase{"left_up_steep",
                 {7, 7},
                 {4, 0},
                 {{4, 0}, {4, 1}, {5, 2}, {5, 3}, {6, 4}, {6, 5}, {7, 6}, {7, 7}}},
        LineCase{"right_up_shallow",
                 {0, 7},
                 {7, 4},
                 {{6, 4}, {7, 4}, {4, 5}, {5, 5}, {2, 6}, {3, 6}, {0, 7}, {1, 7}}},
        LineCase{"right_up_steep",
                 {4, 7},
                 {7, 0},
                 {{7, 0}, {7, 1}, {6, 2}, {6, 3}, {5, 4}, {5, 5}, {4, 6}, {4, 7}}},
        // A half step rounds away from the start, so the two directions differ.
        LineCase{"half_away_from_start", {0, 0}, {2, 1}, {{0, 0}, {1, 1}, {2, 1}}},
        LineCase{"half_away_from_start_reversed", {2, 1}, {0, 0}, {{0, 0}, {1, 0}, {2, 1}}},
        LineCase{"diagonal", {7, 0}, {5, 2}, {{7, 0}, {6, 1}, {5, 2}}},
        LineCase{"one_pixel", {3, 4}, {3, 4}, {{3, 4}}},
        LineCase{"ends_outside_count_as_the_edge",
                 {-9, 2},
                 {30, 2},
                 {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RectangleCase {
  const char* name;
  PenPixel corner, opposite;
  bool filled;
  std::array<const char*, 8> expected;
};

constexpr std::array<const char*, 8> kOutline = {"00000000", "00000000", "01111100", "01000100",
                                                 "01000100", "01111100", "00000000", "00000000"};
constexpr std::array<const char*, 8> kFilled = {"00000000", "00000000", "01111100", "01111100",
                                                "01111100", "01111100", "00000000", "00000000"};

class RectangleTest : public ::testing::TestWithParam<RectangleCase> {};

TEST_P(RectangleTest, SpansTheDraggedBoxFromAnyCorner) {
  const RectangleCase& c = GetParam();
  Tile tile{};
  DrawRectangle(tile, c.corner, c.opposite, 1, c.filled);
  EXPECT_EQ(tile, Picture(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    EveryDirection, RectangleTest,
    ::testing::Values(
        RectangleCase{"outline_from_top_left", {1, 2}, {5, 5}, false, kOutline},
        RectangleCase{"outline_from_top_right", {5, 2}, {1, 5}, false, kOutline},
        RectangleCase{"outline_from_bottom_right", {5, 5}, {1, 2}, false, kOutline},
        RectangleCase{"outline_from_bottom_left", {1, 5}, {5, 2}, false, kOutline},
        RectangleCase{"filled_from_top_left", {1, 2}, {5, 5}, true, kFilled},
        RectangleCase{"filled_from_bottom_right", {5, 5}, {1, 2}, true, kFilled},
        RectangleCase{"filled_from_bottom_left", {1, 5}, {5, 2}, true, kFilled},
        RectangleCase{"one_column_wide",
                      {6, 1},
                      {6, 3},
                      false,
                      {"00000000", "00000010", "00000010", "00000010", "00000000", "00000000",
                       "00000000", "00000000"}},
        // Only the sides inside the tile are drawn: the right side lies past its edge.
        RectangleCase{"partly_outside",
                      {5, 6},
                      {9, 12},
                      false,
                      {"00000000", "00000000", "00000000", "00000000", "00000000", "00000000",
                       "00000111", "00000100"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FillCase {
  const char* name;
  std::array<const char*, 8> before;
  PenPixel start;
  std::array<const char*, 8> after;
};

class FillTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillTest, FillsTheEdgeJoinedAreaInsideTheTile) {
  const FillCase& c = GetParam();
  Tile tile = Picture(c.before);
  FloodFill(tile, c.start, 2);
  EXPECT_EQ(tile, Picture(c.after));
}

INSTANTIATE_TEST_SUITE_P(Areas, FillTest,
                         ::testing::Values(
                             // Pixels that touch only at a corner are not joined.
                             FillCase{"not_through_corners",
                                      {"00010000", "00100000", "01000000", "10000000", "00000000",
                                       "00000000", "00000000", "00000000"},
                                      {0, 0},
                                      {"22210000", "22100000", "21000000", "10000000", "00000000",
                                       "00000000", "00000000", "00000000"}},
                             // The right end of a row lies next to the left end of the next one in
                             // memory, not on the tile: the fill stops at the edge.
                             FillCase{"stops_at_the_right_edge",
                                      {"11111100", "00111111", "11111111", "11111111", "11111111",
                                       "11111111", "11111111", "11111111"},
                                      {7, 0},
                                      {"11111122", "00111111", "11111111", "11111111", "11111111",
                                       "11111111", "11111111", "11111111"}},
                             FillCase{"whole_tile_around_an_island",
                                      {"00000000", "00000000", "00011000", "00011000", "00000000",
                                       "00000000", "00000000", "00000000"},
                                      {7, 7},
                                      {"22222222", "22222222", "22211222", "22211222", "22222222",
                                       "22222222", "22222222", "22222222"}},
                             FillCase{"same_index_changes_nothing",
                                      {"22222222", "20000002", "20000002", "22222222", "00000000",
                                       "00000000", "00000000", "00000000"},
                                      {0, 0},
                                      {"22222222", "20000002", "20000002", "22222222", "00000000",
                                       "00000000", "00000000", "00000000"}},
                             FillCase{"outside_the_tile_fills_nothing",
                                      {"00000000", "00000000", "00000000", "00000000", "00000000",
                                       "00000000", "00000000", "00000000"},
                                      {8, 3},
                                      {"00000000", "00000000", "00000000", "00000000", "00000000",
                                       "00000000", "00000000", "00000000"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
