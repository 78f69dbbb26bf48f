// The arranger board's point-to-cell rule.
#include "tools/arranger_grid.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

struct CellCase {
  const char* name;
  int x, y;
  std::optional<BoardCell> cell;
};

void PrintTo(const CellCase& c, std::ostream* out) {
  *out << c.name;
}

class ArrangerCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(ArrangerCellTest, PointLiesOnCellOfSixteenPixels) {
  const CellCase& c = GetParam();
  EXPECT_EQ(ArrangerCellAt(c.x, c.y), c.cell);
}

INSTANTIATE_TEST_SUITE_P(
    Arranger, ArrangerCellTest,
    ::testing::Values(CellCase{"bottom_right_corner", 383, 255, BoardCell{23, 15}},
                      CellCase{"second_column", 16, 15, BoardCell{1, 0}},
                      CellCase{"origin", 0, 0, BoardCell{0, 0}},
                      CellCase{"first_cell_last_pixel", 15, 15, BoardCell{0, 0}},
                      CellCase{"right_of_board", 384, 0, std::nullopt},
                      CellCase{"below_board", 0, 256, std::nullopt},
                      CellCase{"just_left", -1, 0, std::nullopt},
                      CellCase{"just_above", 3, -15, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
