// Mouse work on a ROM window's grid: right-button selection drawn into the back buffer, and
// the left-button pick that binds the tile editor and arms the tile drag.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <functional>

#include "shell/tile_drag.h"
#include "support/app_fixture.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

// Moves with the buttons held, as the platform reports them during a drag.
void MoveTo(QWidget* widget, QPoint at, Qt::MouseButtons held) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                   held, Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

// `before` with the colour bits of `block` inverted.
QImage Inverted(QImage before, const QRect& block) {
  for (int y = block.top(); y <= block.bottom(); ++y)
    for (int x = block.left(); x <= block.right(); ++x)
      before.setPixel(x, y, before.pixel(x, y) ^ 0x00FFFFFFu);
  return before;
}

// `image` with the one-pixel ring along the inside of `cell` blanked, where a pick's mark goes.
QImage RingBlanked(QImage image, const QRect& cell) {
  for (int y = cell.top(); y <= cell.bottom(); ++y)
    for (int x = cell.left(); x <= cell.right(); ++x)
      if (x == cell.left() || x == cell.right() || y == cell.top() || y == cell.bottom())
        image.setPixel(x, y, 0);
  return image;
}

class MouseTest : public AppTest {
 protected:
  // A 1-bit image of varied bytes at zoom 4 (cells 32 x 32, grid 16 x 16, client 528 x 512).
  TChildForm* OpenAtZoom4(int size = 65536) {
    TChildForm* child = Open("game.bin", PatternBytes(static_cast<size_t>(size), 3));
    if (!child) return nullptr;
    child->Doc.Zoom = 4;
    child->LayoutView();
    return child;
  }
};

TEST_F(MouseTest, RightPressAnchorsTheTileUnderThePointerAndInvertsThatCellOnly) {
  TChildForm* child = OpenAtZoom4();
  ASSERT_NE(child, nullptr);
  const QImage before = child->ViewBitmap.copy();
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(40, 70));
  EXPECT_EQ(child->Doc.SelLeft, 1);
  EXPECT_EQ(child->Doc.SelTop, 2);
  EXPECT_EQ(child->Doc.SelRight, 2);
  EXPECT_EQ(child->Doc.SelBottom, 3);
  EXPECT_TRUE(child->Doc.Selecting);
  EXPECT_TRUE(child->Doc.HasSelection);
  EXPECT_EQ(child->ViewBitmap, Inverted(before, QRect(32, 64, 32, 32)));
  EXPECT_EQ(child->PaintRect, QRect(32, 64, 32, 32)) << "only the new cell goes to the screen";
  QTest::mouseRelease(child->View, Qt::RightButton, {}, QPoint(40, 70));
  EXPECT_FALSE(child->Doc.Selecting);
  EXPECT_TRUE(child->Doc.HasSelection);
  EXPECT_EQ(child->ViewBitmap, Inverted(before, QRect(32, 64, 32, 32)));
}

struct DragCase {
  const char* name;
  QPoint to;
  int right, bottom;  // SelRight, SelBottom after the move
  QRect inverted;     // empty: nothing inverted
};

class SelectionDragTest : public MouseTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(SelectionDragTest, InvertsColumnsAndRowsFromTheAnchorUpToThePointer) {
  const DragCase& c = GetParam();
  TChildForm* child = OpenAtZoom4();
  ASSERT_NE(child, nullptr);
  const QImage before = child->ViewBitmap.copy();
  const int decodes = child->DecodeCount;
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(40, 70));
  MoveTo(child->View, c.to, Qt::RightButton);
  EXPECT_EQ(child->Doc.SelRight, c.right);
  EXPECT_EQ(child->Doc.SelBottom, c.bottom);
  EXPECT_TRUE(child->Doc.HasSelection);
  EXPECT_EQ(child->ViewBitmap, c.inverted.isEmpty() ? before : Inverted(before, c.inverted));
  EXPECT_EQ(child->PaintRect, c.inverted.united(QRect(32, 64, 32, 32)))
      << "the repaint covers the old and the new selection";
  EXPECT_EQ(child->DecodeCount, decodes) << "a selection never decodes";
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, SelectionDragTest,
    ::testing::Values(DragCase{"down_right", {100, 130}, 4, 5, QRect(32, 64, 96, 96)},
                      DragCase{"over_the_scroll_bar", {520, 70}, 16, 3, QRect(32, 64, 480, 32)},
                      DragCase{
                          "far_right_and_below", {5000, 5000}, 16, 16, QRect(32, 64, 480, 448)},
                      DragCase{"left_of_the_anchor", {5, 70}, 1, 3, QRect()},
                      DragCase{"above_the_anchor", {40, 10}, 2, 1, QRect()},
                      DragCase{"back_onto_the_anchor", {63, 95}, 2, 3, QRect(32, 64, 32, 32)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MouseTest, AShrinkingDragRepaintsTheUnionAndLeavesOnlyTheNewBlockInverted) {
  TChildForm* child = OpenAtZoom4();
  ASSERT_NE(child, nullptr);
  const QImage before = child->ViewBitmap.copy();
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(40, 70));
  MoveTo(child->View, QPoint(150, 170), Qt::RightButton);  // columns 1..4, rows 2..5
  MoveTo(child->View, QPoint(70, 100), Qt::RightButton);   // columns 1..2, rows 2..3
  EXPECT_EQ(child->PaintRect, QRect(32, 64, 128, 128));
  EXPECT_EQ(child->ViewBitmap, Inverted(before, QRect(32, 64, 64, 64)));
  MoveTo(child->View, QPoint(0, 0), Qt::RightButton);  // reversed both ways
  EXPECT_EQ(child->ViewBitmap, before);
  EXPECT_EQ(child->PaintRect, QRect(32, 64, 64, 64)) << "the old block is taken off on screen";
}

TEST_F(MouseTest, TheNextPressTakesTheSelectionOffAndScrollingLeavesNone) {
  TChildForm* child = OpenAtZoom4();
  ASSERT_NE(child, nullptr);
  const QImage before = child->ViewBitmap.copy();
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(40, 70));
  MoveTo(child->View, QPoint(100, 130), Qt::RightButton);
  QTest::mouseRelease(child->View, Qt::RightButton, {}, QPoint(100, 130));
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(300, 300));
  EXPECT_EQ(child->ViewBitmap, Inverted(before, QRect(288, 288, 32, 32)))
      << "a new right press starts a new selection";
  QTest::mouseRelease(child->View, Qt::RightButton, {}, QPoint(300, 300));
  QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(child->Doc.HasSelection);
  // Only the picked tile's outline differs.
  EXPECT_EQ(RingBlanked(child->ViewBitmap, QRect(0, 0, 32, 32)),
            RingBlanked(before, QRect(0, 0, 32, 32)))
      << "a pick leaves no selection";

  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(40, 70));
  QTest::mouseRelease(child->View, Qt::RightButton, {}, QPoint(40, 70));
  child->FormKeyDown(Qt::Key_Down, Qt::NoModifier);
  EXPECT_FALSE(child->Doc.HasSelection);
  const QImage scrolled = child->ViewBitmap.copy();
  child->FormPaint();
  EXPECT_EQ(child->ViewBitmap, scrolled) << "no inversion left in the scrolled page";
}

TEST_F(MouseTest, APickBindsTheEditorToTheTileAsShownAndMakesItTheDragSource) {
  TChildForm* child = Open("game.gb", PatternBytes(65536, 9));
  ASSERT_NE(child, nullptr);
  child->Doc.Zoom = 4;
  child->LayoutView();
  MainForm->UndoDropReady = true;
  const int32_t expected = child->Doc.ViewOffset + 2 * child->Doc.TileBytes + child->Doc.RowBytes;
  QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(2 * 32 + 5, 32 + 31));
  EXPECT_EQ(child->Doc.EditTileOffset, expected);
  EXPECT_EQ(child->Doc.EditTile, child->Doc.RomData + expected);
  EXPECT_EQ(EditForm->BoundRom, child);
  EXPECT_EQ(EditForm->BoundTile, child->Doc.RomData + expected);
  EXPECT_EQ(EditForm->BoundOffset, expected);
  EXPECT_EQ(EditForm->BoundFormat, 2);
  EXPECT_EQ(EditForm->BoundTileBytes, 16);
  EXPECT_EQ(EditForm->BoundBitsPerPixel, 2);
  const TileSurface& view = child->Doc.ViewSurface;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(EditForm->EditSurface.Pixels[y * 8 + x],
                view.Pixels[(8 + y) * view.Width() + 16 + x])
          << x << "," << y;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(EditForm->EditSurface.Colors[i], view.Colors[i]) << i;
  EXPECT_FALSE(MainForm->UndoDropReady);
  EXPECT_EQ(MainForm->DragSourceRom, child);
  EXPECT_EQ(MainForm->DragSourceTile, child->Doc.RomData + expected);
  EXPECT_EQ(MainForm->DragSourceOffset, expected);
  EXPECT_EQ(MainForm->DragSurface.DecodeFormat, 2);
  EXPECT_EQ(MainForm->DragSurface.DecodeTileBytes, 16);
  EXPECT_EQ(MainForm->DragSurface.DecodeBits, 2);
  EXPECT_FALSE(child->Doc.Modified);
  EXPECT_EQ(child->Doc.UndoCount, 0);
}

struct MarkCase {
  const char* name;
  std::function<void(TChildForm*)> after;  // what follows the pick
  bool stays;
  friend void PrintTo(const MarkCase& c, std::ostream* os) { *os << c.name; }
};

class PickMarkTest : public MouseTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(PickMarkTest, APickOutlinesItsCellUntilTheNextPickScrollOrFormatChange) {
  const MarkCase& c = GetParam();
  TChildForm* child = OpenAtZoom4();
  ASSERT_NE(child, nullptr);
  const QImage before = child->ViewBitmap.copy();
  const QRect cell(64, 32, 32, 32);
  QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(70, 40));
  // A one-pixel frame of black and white inside the cell; nothing else changes.
  const QImage marked = child->ViewBitmap.copy();
  EXPECT_EQ(RingBlanked(marked, cell), RingBlanked(before, cell));
  EXPECT_NE(marked.pixel(cell.left() + 2, cell.top()), marked.pixel(cell.left(), cell.top()))
      << "dashed, so it shows on any colour";
  EXPECT_EQ(marked.pixel(cell.left(), cell.top() + 2), 0xFF000000u) << "down the left side too";
  c.after(child);
  if (c.stays) {
    EXPECT_EQ(child->ViewBitmap, marked);
  } else {
    EXPECT_EQ(child->ViewBitmap.copy(cell), before.copy(cell)) << "no mark left";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, PickMarkTest,
    ::testing::Values(MarkCase{"a_selection_leaves_it_under_the_inversion",
                               [](TChildForm* child) {
                                 QTest::mousePress(child->View, Qt::RightButton, {},
                                                   QPoint(70, 40));
                                 QTest::mouseRelease(child->View, Qt::RightButton, {},
                                                     QPoint(70, 40));
                                 child->Doc.HasSelection = false;
                                 child->FormPaint();
                               },
                               true},
                      MarkCase{"scrolling_takes_it_off",
                               [](TChildForm* child) {
                                 child->FormKeyDown(Qt::Key_Down, Qt::NoModifier);
                                 child->FormKeyDown(Qt::Key_Up, Qt::NoModifier);
                               },
                               false},
                      MarkCase{"a_format_change_takes_it_off",
                               [](TChildForm* child) {
                                 child->Genesis1Click(child->FormatItems[3]);
                                 child->Genesis1Click(child->FormatItems[0]);
                               },
                               false},
                      MarkCase{"another_pick_moves_it",
                               [](TChildForm* child) {
                                 QTest::mouseClick(child->View, Qt::LeftButton, {},
                                                   QPoint(300, 300));
                               },
                               false}),
    [](const auto& info) { return std::string(info.param.name); });

struct PickCase {
  const char* name;
  int size;
  QPoint at;  // zoom 3, 1 bit per pixel: 8 bytes per tile, 128 per row
  bool picked;
  int32_t offset;
};

class PickEndTest : public MouseTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(PickEndTest, ATileStartingAtTheImageEndIsNotPickedAndTheSelectionGoesAnyway) {
  const PickCase& c = GetParam();
  TChildForm* child = Open("small.bin", PatternBytes(static_cast<size_t>(c.size), 5));
  ASSERT_NE(child, nullptr);
  // An earlier pick that a failed one must leave alone.
  if (c.size > 0) QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(1, 1));
  const uint8_t* earlier = EditForm->BoundTile;
  MainForm->UndoDropReady = true;
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(100, 100));
  QTest::mouseRelease(child->View, Qt::RightButton, {}, QPoint(100, 100));
  const QImage unselected = child->ViewBitmap.copy();
  QTest::mouseClick(child->View, Qt::LeftButton, {}, c.at);
  EXPECT_FALSE(child->Doc.HasSelection);
  EXPECT_NE(child->ViewBitmap, unselected);  // the inversion came off
  if (c.picked) {
    EXPECT_EQ(child->Doc.EditTileOffset, c.offset);
    EXPECT_EQ(EditForm->BoundTile, child->Doc.RomData + c.offset);
    EXPECT_FALSE(MainForm->UndoDropReady);
  } else {
    EXPECT_EQ(EditForm->BoundTile, earlier);
    EXPECT_TRUE(MainForm->UndoDropReady);
    EXPECT_FALSE(TileDragArmed());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, PickEndTest,
    ::testing::Values(PickCase{"last_whole_tile", 1000, {12 * 24 + 3, 7 * 24 + 3}, true, 992},
                      PickCase{"at_the_end", 1000, {13 * 24 + 3, 7 * 24 + 3}, false, 0},
                      PickCase{"partial_last_tile", 1003, {13 * 24 + 3, 7 * 24 + 3}, true, 1000},
                      PickCase{"far_past_the_end", 1000, {15 * 24, 15 * 24}, false, 0},
                      PickCase{"empty_image", 0, {1, 1}, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

class DragStartTest : public MouseTest {
 protected:
  void SetUp() override {
    MouseTest::SetUp();
    SetTileDragRunner([this](QWidget* source, const QMimeData& data) {
      sources.push_back(source);
      tileType = IsOwnTileDrag(&data) &&
                 data.formats() == QStringList{QString::fromLatin1(kTileDragMimeType)};
    });
  }
  void TearDown() override {
    SetTileDragRunner({});
    DisarmTileDrag();
    MouseTest::TearDown();
  }
  std::vector<QWidget*> sources;
  bool tileType = false;
};

TEST_F(DragStartTest, APickedTileIsDraggedOnceThePointerLeavesTheDragDistance) {
  TChildForm* child = OpenAtZoom4();
  ASSERT_NE(child, nullptr);
  const int distance = QApplication::startDragDistance();
  QTest::mousePress(child->View, Qt::LeftButton, {}, QPoint(40, 70));
  MoveTo(child->View, QPoint(40 + distance - 1, 70), Qt::LeftButton);
  EXPECT_TRUE(sources.empty()) << "still inside the drag distance";
  MoveTo(child->View, QPoint(40 + distance, 70), Qt::LeftButton);
  ASSERT_EQ(sources.size(), 1u);
  EXPECT_EQ(sources[0], child->View);
  EXPECT_TRUE(tileType) << "the drag carries the private tile type and nothing else";
  MoveTo(child->View, QPoint(200, 200), Qt::LeftButton);
  EXPECT_EQ(sources.size(), 1u) << "one drag per press";
}

TEST_F(DragStartTest, NoDragWithoutAPickOrAfterTheRelease) {
  TChildForm* child = Open("small.bin", PatternBytes(100, 1));
  ASSERT_NE(child, nullptr);
  // Right drags select.
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(5, 5));
  MoveTo(child->View, QPoint(100, 100), Qt::RightButton);
  QTest::mouseRelease(child->View, Qt::RightButton, {}, QPoint(100, 100));
  // A press past the image's end picks nothing, so nothing is dragged.
  QTest::mousePress(child->View, Qt::LeftButton, {}, QPoint(300, 300));
  MoveTo(child->View, QPoint(10, 10), Qt::LeftButton);
  QTest::mouseRelease(child->View, Qt::LeftButton, {}, QPoint(10, 10));
  // A released pick is over.
  QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(5, 5));
  MoveTo(child->View, QPoint(100, 100), Qt::LeftButton);
  EXPECT_TRUE(sources.empty());
}

}  // namespace
}  // namespace varnock::test
