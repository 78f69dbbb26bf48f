// The block editor on the real windows: a double click on a selection (or Ctrl+E around the
// picked tile) opens it over exactly those tiles, and a pen stroke across all of them is one
// step of the image's history that Ctrl+Z and Ctrl+Y walk, with the ROM window following.
#include <QApplication>
#include <QTest>
#include <vector>

#include "palette/pal_form.h"
#include "support/app_fixture.h"
#include "tools/block_form.h"

namespace varnock::test {
namespace {

class BlockEditorTest : public AppTest {
 protected:
  // A 32 KB NES image of zeros shown in 8x16 sprites.
  void SetUp() override {
    AppTest::SetUp();
    child = Open("sprites.nes", std::vector<uint8_t>(32768 + 16, 0));
    ASSERT_NE(child, nullptr);
    child->ArrangementItems[1]->trigger();
  }
  static QPoint CellCenter(const TChildForm* child, int column, int row) {
    return {column * child->Doc.CellWidth + child->Doc.CellWidth / 2,
            row * child->Doc.CellHeight + child->Doc.CellHeight / 2};
  }
  static std::vector<int64_t> OffsetsOf(const TChildForm* child, const TileRect& cells) {
    std::vector<int64_t> offsets;
    for (int r = cells.Top; r < cells.Bottom; ++r)
      for (int c = cells.Left; c < cells.Right; ++c) offsets.push_back(child->Doc.TileOffset(r, c));
    return offsets;
  }
  std::vector<uint8_t> Image(const TChildForm* child) const {
    return {child->Doc.RomData, child->Doc.RomData + child->Doc.RomSize};
  }
  TChildForm* child = nullptr;
};

TEST_F(BlockEditorTest, ADoubleClickOnASelectionOpensTheEditorOverExactlyThoseTiles) {
  const QPoint end = CellCenter(child, 4, 5);
  QTest::mousePress(child->View, Qt::RightButton, {}, CellCenter(child, 2, 2));
  QTest::mouseMove(child->View, end);
  child->FormMouseMove(Qt::RightButton, {}, end.x(), end.y());
  QTest::mouseRelease(child->View, Qt::RightButton, {}, end);
  ASSERT_TRUE(child->Doc.HasSelection);
  QTest::mouseDClick(child->View, Qt::LeftButton, {}, CellCenter(child, 3, 3));
  TBlockForm* editor = BlockEditor(false);
  ASSERT_TRUE(editor && editor->isVisible());
  // Three tiles across, four down, row by row.
  EXPECT_EQ(editor->Layout.TileOffsets, OffsetsOf(child, {2, 2, 5, 6}));
  EXPECT_TRUE(child->Doc.HasSelection) << "the selection stays shown";
  // A double click outside any selection opens the sprite around the tile.
  QTest::mouseDClick(child->View, Qt::LeftButton, {}, CellCenter(child, 7, 9));
  EXPECT_EQ(editor->Layout.TileOffsets, OffsetsOf(child, {7, 8, 8, 10}));
}

TEST_F(BlockEditorTest, APenStrokeAcrossFourTilesIsOneStepThatCtrlZAndCtrlYWalk) {
  // Ctrl+E around the picked tile: cell (2, 1) is the lower tile of the pair in column 2.
  QTest::mouseClick(child->View, Qt::LeftButton, {}, CellCenter(child, 2, 1));
  child->Edit1Click();
  ASSERT_TRUE(child->EditBlock1->isEnabled());
  child->EditBlock1->trigger();
  TBlockForm* editor = BlockEditor(false);
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->Layout.TileOffsets, OffsetsOf(child, {2, 0, 3, 2}));
  // A 2 x 2 block of sprites, and a diagonal through all four tiles at 8x.
  ASSERT_TRUE(editor->OpenBlock(child, {2, 0, 4, 4}));
  editor->SetZoom(8);
  PalForm->LeftColor = 3;
  editor->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
  const std::vector<uint8_t> before = Image(child);
  const int decodes = child->DecodeCount;
  editor->CanvasMouseDown(Qt::LeftButton, 4, 4);
  for (int k = 1; k < 32; ++k) editor->CanvasMouseMove(Qt::LeftButton, k * 4 + 4, k * 4 + 4);
  EXPECT_EQ(Image(child), before) << "nothing is written before the release";
  editor->CanvasMouseUp(Qt::LeftButton, 31 * 4 + 4, 31 * 4 + 4);
  EXPECT_GT(child->DecodeCount, decodes) << "the ROM window shows the stroke";
  // Pixel (i, i) of the block: colour 3 is both NES planes, bit 7 - i mod 8 of row i mod 8.
  const std::vector<int64_t> tiles = editor->Layout.TileOffsets;  // TL, TR, BL, BR
  for (int i = 0; i < 16; ++i) {
    const int64_t tile = tiles[static_cast<size_t>((i / 8) * 2 + i / 8)];
    EXPECT_EQ(child->Doc.RomData[tile + i % 8], 0x80 >> (i % 8)) << i;
    EXPECT_EQ(child->Doc.RomData[tile + 8 + i % 8], 0x80 >> (i % 8)) << i;
  }
  const std::vector<uint8_t> drawn = Image(child);
  // One Ctrl+Z takes the whole stroke back: it was one step.
  QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Image(child), before);
  EXPECT_EQ(editor->BlockSurface.Pixels,
            std::vector<uint8_t>(editor->BlockSurface.Pixels.size(), 0))
      << "the block shows the undone image";
  QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Image(child), drawn);
  // Undone from the ROM window's menu with the block scrolled off its page: the block follows.
  child->MoveViewTo(child->Doc.RomSize - child->Doc.PageBytes);
  ASSERT_GT(child->Doc.ViewOffset, tiles.back());
  child->UndoHistory1Click();
  EXPECT_EQ(Image(child), before);
  EXPECT_EQ(std::ranges::count(editor->BlockSurface.Pixels, 0),
            static_cast<ptrdiff_t>(editor->BlockSurface.Pixels.size()));
}

TEST_F(BlockEditorTest, APenMoveRepaintsOnlyThePixelsItChanged) {
  TBlockForm* editor = BlockEditor();
  ASSERT_TRUE(editor->OpenBlock(child, {0, 0, 16, 16}));
  editor->SetZoom(8);
  editor->CanvasMouseDown(Qt::LeftButton, 100, 100);
  QApplication::processEvents();
  const int64_t painted = editor->PaintedPixels;
  editor->CanvasMouseMove(Qt::LeftButton, 108, 100);
  QApplication::processEvents();
  // Two pixels and the grid line beside them, never the 1024 x 1024 block.
  EXPECT_LE(editor->PaintedPixels - painted, 3 * 8 * 9 * 9);
  editor->CanvasMouseUp(Qt::LeftButton, 108, 100);
}

}  // namespace
}  // namespace varnock::test
