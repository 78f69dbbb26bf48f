// The "&Disposizione" menu on the real windows: in each arrangement a pick, a pen stroke and a
// drop reach the tiles the cells show, a row step moves by a row of blocks and Shift+Right adds
// a whole block of columns.
#include <QTest>

#include "document/block_size_form.h"
#include "support/app_fixture.h"
#include "support/drops.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

// Zoom 3: a cell is 24 pixels; this point lies inside cell (column, row).
QPoint CellPoint(int column, int row) {
  return {column * 24 + 5, row * 24 + 7};
}

struct ArrangedCase {
  const char* Name;
  int Item;           // index into ArrangementItems
  int Width, Height;  // block size typed into the dialog (its items only)
  int Columns;        // the 16 columns of a new window snapped to whole blocks
  int PickedTile;     // tile of the page shown in cell (2, 1)
  int DroppedTile;    // tile of the page shown in cell (5, 0)
  int RowStep;        // bytes one Down moves the view
  int WiderColumns;   // columns after Shift+Right
};
void PrintTo(const ArrangedCase& c, std::ostream* out) {
  *out << c.Name;
}

class ArrangedWindowTest : public AppTest, public ::testing::WithParamInterface<ArrangedCase> {};

TEST_P(ArrangedWindowTest, PickEditAndDropReachTheTilesTheCellsShow) {
  const ArrangedCase& c = GetParam();
  // One bit per pixel, 8 bytes per tile: a row of 16 tiles is 128 bytes.
  TChildForm* child = Open("tiles.bin", std::vector<uint8_t>(65536, 0));
  ASSERT_NE(child, nullptr);
  child->ArrangementItems[c.Item]->trigger();
  if (c.Width) {
    auto* dialog = child->findChild<TBlockSizeForm*>();
    ASSERT_NE(dialog, nullptr) << "the block items ask for the size";
    dialog->WidthBox->setValue(c.Width);
    dialog->HeightBox->setValue(c.Height);
    dialog->OkButton->click();
  }
  EXPECT_TRUE(child->ArrangementItems[c.Item]->isChecked());
  EXPECT_EQ(child->Doc.Columns, c.Columns);

  QTest::mouseClick(child->View, Qt::LeftButton, {}, CellPoint(2, 1));
  ASSERT_EQ(EditForm->BoundOffset, c.PickedTile * 8);
  EditForm->LeftColor = 1;
  QTest::mouseClick(EditForm, Qt::LeftButton, {}, QPoint(1, 1));
  EXPECT_EQ(child->Doc.ViewSurface
                .Pixels[static_cast<size_t>(8 * child->Doc.ViewSurface.Width() + 2 * 8)],
            1)
      << "the picked cell shows the stroke";
  ASSERT_TRUE(DropTileAt(child->View, CellPoint(5, 0)));
  std::vector<uint8_t> expected(65536, 0);
  expected[static_cast<size_t>(c.PickedTile * 8)] = 0x80;
  expected[static_cast<size_t>(c.DroppedTile * 8)] = 0x80;
  EXPECT_EQ(ImageOf(child), expected);

  QTest::keyClick(child->View, Qt::Key_Down);
  EXPECT_EQ(child->Doc.ViewOffset, c.RowStep);
  QTest::keyClick(child->View, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(child->Doc.Columns, c.WiderColumns);
}

// Tiles worked out by hand from the orders: 8x16 pairs k = 2c (top) and 2c + 1 down a column;
// 16x16 blocks of four (top-left, top-right, bottom-left, bottom-right); column blocks fill
// each column of a block top to bottom; the row blocks of 3 x 2 leave 15 columns.
INSTANTIATE_TEST_SUITE_P(
    Arrangements, ArrangedWindowTest,
    ::testing::Values(ArrangedCase{"Tiles8x8", 0, 0, 0, 16, 18, 5, 128, 17},
                      ArrangedCase{"Tiles8x16", 1, 0, 0, 16, 5, 10, 256, 17},
                      ArrangedCase{"Tiles16x16", 2, 0, 0, 16, 6, 9, 256, 18},
                      ArrangedCase{"ColumnBlocks4x4", 3, 4, 4, 16, 9, 20, 512, 20},
                      ArrangedCase{"RowBlocks3x2", 4, 3, 2, 15, 5, 8, 240, 18}),
    [](const auto& info) { return std::string(info.param.Name); });

using ArrangementMenu = AppTest;

TEST_F(ArrangementMenu, ACancelledBlockSizeKeepsTheArrangementAndItsMark) {
  TChildForm* child = Open("tiles.bin", std::vector<uint8_t>(65536, 0));
  ASSERT_NE(child, nullptr);
  child->ArrangementItems[1]->trigger();
  child->ArrangementItems[4]->trigger();
  auto* dialog = child->findChild<TBlockSizeForm*>();
  ASSERT_NE(dialog, nullptr);
  dialog->CancelButton->click();
  EXPECT_EQ(child->Doc.Arrangement, kArrangement8x16);
  EXPECT_TRUE(child->ArrangementItems[1]->isChecked());
  EXPECT_FALSE(child->ArrangementItems[4]->isChecked());
}

}  // namespace
}  // namespace varnock::test
