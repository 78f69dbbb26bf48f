// The "&Disposizione" menu on the real windows: in each arrangement a pick, a pen stroke and a
// drop reach the tiles the cells show, a row step moves by a row of blocks, Shift+Right adds a
// whole block of columns, and a cancelled block size leaves all as it was.
#include <QTest>

#include "document/block_size_form.h"
#include "support/app_fixture.h"
#include "support/drops.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

struct ArrangedCase {
  const char* Name;
  int Item, Width, Height;  // ArrangementItems index; the size typed for the block items
  int Columns;              // the window's 16 columns snapped to whole blocks
  int PickedTile, DroppedTile, RowStep, WiderColumns;
};

class ArrangedWindowTest : public AppTest, public ::testing::WithParamInterface<ArrangedCase> {};

TEST_P(ArrangedWindowTest, PickEditAndDropReachTheTilesTheCellsShow) {
  const ArrangedCase& c = GetParam();
  // One bit per pixel, 8 bytes per tile, zoom 3: a cell is 24 pixels.
  TChildForm* child = Open("tiles.bin", std::vector<uint8_t>(65536, 0));
  ASSERT_NE(child, nullptr);
  child->ArrangementItems[c.Item]->trigger();
  if (auto* dialog = child->findChild<TBlockSizeForm*>()) {
    dialog->WidthBox->setValue(c.Width);
    dialog->HeightBox->setValue(c.Height);
    dialog->OkButton->click();
  }
  EXPECT_TRUE(child->ArrangementItems[c.Item]->isChecked());
  EXPECT_EQ(child->Doc.Columns, c.Columns);
  QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(2 * 24 + 5, 24 + 7));  // cell (2, 1)
  ASSERT_EQ(EditForm->BoundOffset, c.PickedTile * 8);
  EditForm->LeftColor = 1;
  QTest::mouseClick(EditForm, Qt::LeftButton, {}, QPoint(1, 1));
  EXPECT_EQ(child->Doc.ViewSurface.Pixels[size_t(8 * child->Doc.ViewSurface.Width() + 16)], 1);
  ASSERT_TRUE(DropTileAt(child->View, QPoint(5 * 24 + 5, 7)));  // cell (5, 0)
  std::vector<uint8_t> expected(65536, 0);
  expected[size_t(c.PickedTile * 8)] = expected[size_t(c.DroppedTile * 8)] = 0x80;
  EXPECT_EQ(ImageOf(child), expected);
  QTest::keyClick(child->View, Qt::Key_Down);
  EXPECT_EQ(child->Doc.ViewOffset, c.RowStep);
  QTest::keyClick(child->View, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(child->Doc.Columns, c.WiderColumns);
  const TileArrangement shown = child->Doc.Arrangement;
  child->ArrangementItems[c.Item == 4 ? 3 : 4]->trigger();
  child->findChildren<TBlockSizeForm*>().back()->CancelButton->click();  // the newest
  EXPECT_EQ(child->Doc.Arrangement, shown);
  EXPECT_TRUE(child->ArrangementItems[c.Item]->isChecked());
}

// Tiles worked out by hand from the orders: 8x16 pairs k = 2c (top) and 2c + 1 down a column;
// 16x16 blocks of four (top-left, top-right, bottom-left, bottom-right); column blocks fill
// each column of a block top to bottom; the row blocks of 3 x 2 leave 15 columns.
INSTANTIATE_TEST_SUITE_P(Arrangements, ArrangedWindowTest,
                         ::testing::Values(ArrangedCase{"Tiles8x8", 0, 0, 0, 16, 18, 5, 128, 17},
                                           ArrangedCase{"Tiles8x16", 1, 0, 0, 16, 5, 10, 256, 17},
                                           ArrangedCase{"Tiles16x16", 2, 0, 0, 16, 6, 9, 256, 18},
                                           ArrangedCase{"Columns4x4", 3, 4, 4, 16, 9, 20, 512, 20},
                                           ArrangedCase{"Rows3x2", 4, 3, 2, 15, 5, 8, 240, 18}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace varnock::test
