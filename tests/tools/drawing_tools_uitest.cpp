// The tile editor's drawing tools on the real windows: what a drag with each tool writes
// into the image (bytes worked out by hand in the Game Boy's 2-bit layout), one undo entry per
// shape, the colour picker handing its pick to the palette editor, and the pixel grid.
#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QTest>
#include <array>

#include "palette/pal_form.h"
#include "support/app_fixture.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using TileBytes = std::array<uint8_t, 16>;

// The client point at the middle of tile pixel (x, y) of the drawing area.
QPoint PixelAt(int x, int y) {
  return {x * 16 + 8, y * 16 + 8};
}

std::vector<uint8_t> BytesAt(const TChildForm* child, int32_t offset) {
  return {child->Doc.RomData + offset, child->Doc.RomData + offset + 16};
}

class DrawingTools : public AppTest {
 protected:
  // A Game Boy image made of one tile repeated, with the tile in cell (1, 1) picked.
  TChildForm* OpenAndPick(const TileBytes& tile) {
    std::vector<uint8_t> image(32768);
    for (size_t k = 0; k < image.size(); ++k) image[k] = tile[k % 16];
    TChildForm* child = Open("game.gb", image);
    if (!child) return nullptr;
    QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(24 + 4, 24 + 4));
    EditForm->LeftColor = 1;
    EditForm->RightColor = 2;
    return child;
  }
};

struct StrokeCase {
  const char* name;
  DrawingTool tool;
  Qt::MouseButton button;
  TileBytes before;
  std::vector<QPoint> points;  // the press, the moves, the release (client pixels)
  TileBytes after;
  friend void PrintTo(const StrokeCase& c, std::ostream* os) { *os << c.name; }
};

class StrokeTest : public DrawingTools, public ::testing::WithParamInterface<StrokeCase> {};

TEST_P(StrokeTest, ADragWritesItsShapeBackAsOneUndoStep) {
  const StrokeCase& c = GetParam();
  TChildForm* child = OpenAndPick(c.before);
  ASSERT_TRUE(child && EditForm->BoundTile);
  EditForm->ToolButtons[static_cast<size_t>(c.tool)]->click();
  const int32_t offset = EditForm->BoundOffset;
  QTest::mousePress(EditForm, c.button, {}, c.points.front());
  for (size_t k = 1; k + 1 < c.points.size(); ++k) {
    QMouseEvent move(QEvent::MouseMove, QPointF(c.points[k]), QPointF(c.points[k]), Qt::NoButton,
                     c.button, Qt::NoModifier);
    QApplication::sendEvent(EditForm, &move);
  }
  EXPECT_EQ(child->Doc.UndoCount, 0) << "nothing is written before the release";
  QTest::mouseRelease(EditForm, c.button, {}, c.points.back());
  EXPECT_EQ(BytesAt(child, offset), std::vector<uint8_t>(c.after.begin(), c.after.end()));
  EXPECT_EQ(BytesAt(child, offset + 16), std::vector<uint8_t>(c.before.begin(), c.before.end()))
      << "the next tile is untouched";
  EXPECT_EQ(child->Doc.UndoCount, 1);
  EditForm->SpeedButton4->click();
  EXPECT_EQ(BytesAt(child, offset), std::vector<uint8_t>(c.before.begin(), c.before.end()))
      << "one undo takes the whole shape back";
}

// Rows are two bytes: the low bit of each pixel, then the high bit, the left pixel in bit 7.
INSTANTIATE_TEST_SUITE_P(
    Editor, StrokeTest,
    ::testing::Values(
        // The drag wanders first; only the line to the release is left.
        StrokeCase{"line_left_up_after_wandering",
                   DrawingTool::Line,
                   Qt::RightButton,
                   {},
                   {PixelAt(7, 7), PixelAt(0, 7), PixelAt(2, 0), PixelAt(4, 0)},
                   {0, 0x08, 0, 0x08, 0, 0x04, 0, 0x04, 0, 0x02, 0, 0x02, 0, 0x01, 0, 0x01}},
        StrokeCase{"filled_rectangle_from_top_right",
                   DrawingTool::FilledRectangle,
                   Qt::LeftButton,
                   {},
                   {PixelAt(5, 2), PixelAt(1, 5)},
                   {0, 0, 0, 0, 0x7C, 0, 0x7C, 0, 0x7C, 0, 0x7C, 0, 0, 0, 0, 0}},
        // A wall of index 2 in column 4: the fill keeps to its side and to the tile.
        StrokeCase{"fill_stops_at_a_wall_and_the_edge",
                   DrawingTool::Fill,
                   Qt::LeftButton,
                   {0, 0x08, 0, 0x08, 0, 0x08, 0, 0x08, 0, 0x08, 0, 0x08, 0, 0x08, 0, 0x08},
                   {PixelAt(0, 0), PixelAt(0, 0)},
                   {0xF0, 0x08, 0xF0, 0x08, 0xF0, 0x08, 0xF0, 0x08, 0xF0, 0x08, 0xF0, 0x08, 0xF0,
                    0x08, 0xF0, 0x08}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawingTools, TheToolsSitInTheDesignedPanelBelowItsButtonsAndTakeNoFocus) {
  EXPECT_EQ(EditForm->size(), QSize(208, 128)) << "the designed client area";
  EXPECT_EQ(EditForm->ToolPanel->geometry(), QRect(128, 0, 80, 128));
  EXPECT_TRUE(EditForm->ToolButtons[0]->isChecked()) << "the pen is chosen at start";
  const QRect belowTheFour(0, 37 + 39, 80, 128 - 37 - 39);
  QRegion taken;
  for (QToolButton* button : EditForm->ToolButtons) {
    const std::string hint = button->toolTip().toStdString();
    EXPECT_EQ(button->parentWidget(), EditForm->ToolPanel) << hint;
    EXPECT_TRUE(belowTheFour.contains(button->geometry())) << hint;
    EXPECT_FALSE(taken.intersects(button->geometry())) << hint << " covers another tool";
    taken += button->geometry();
    // Shift+arrows must keep reaching the editor after a click on a tool.
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << hint;
  }
}

TEST_F(DrawingTools, ThePickerHandsThePixelsIndexToThePaletteEditorAndDrawsNothing) {
  // Pixel (0, 0) has index 3, pixel (1, 0) index 2, the others 0.
  TChildForm* child = OpenAndPick({0x80, 0xC0});
  ASSERT_TRUE(child && EditForm->BoundTile);
  const std::vector<uint8_t> before = BytesAt(child, EditForm->BoundOffset);
  EditForm->ToolButtons[static_cast<size_t>(DrawingTool::ColorPicker)]->click();
  QTest::mouseClick(EditForm, Qt::LeftButton, {}, PixelAt(0, 0));
  QTest::mouseClick(EditForm, Qt::RightButton, {}, PixelAt(1, 0));
  EXPECT_EQ(PalForm->LeftColor, 3);
  EXPECT_EQ(PalForm->RightColor, 2);
  EXPECT_EQ(PalForm->FGShape->Color(), PalForm->Shapes[3]->Color()) << "the editor shows it";
  EXPECT_EQ(PalForm->BGShape->Color(), PalForm->Shapes[2]->Color());
  EXPECT_EQ(child->Doc.LeftColor, 3) << "the window keeps the pick";
  EXPECT_EQ(BytesAt(child, EditForm->BoundOffset), before);
  EXPECT_EQ(child->Doc.UndoCount, 0);
}

// The grid is the context menu's item; the menu opens over the buttons, while the right
// button keeps drawing on the tile.
TEST_F(DrawingTools, TheContextMenusGridItemDrawsOnePixelLinesBetweenTheMagnifiedPixels) {
  TChildForm* child = OpenAndPick({});
  ASSERT_NE(child, nullptr);
  const auto shown = [] { return EditForm->grab(QRect(0, 0, 128, 128)).toImage(); };
  const auto menuAt = [](QWidget* widget, QPoint at) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
    const bool open = EditForm->EditorMenu->isVisible();
    EditForm->EditorMenu->hide();
    return open;
  };
  const QImage plain = shown();
  EXPECT_FALSE(menuAt(EditForm, PixelAt(3, 3))) << "the drawing area";
  EXPECT_TRUE(menuAt(EditForm->ToolPanel, QPoint(40, 100)));
  EXPECT_TRUE(menuAt(EditForm->ToolButtons[4], QPoint(4, 4)));
  EditForm->PixelGrid1->trigger();
  const QImage grid = shown();
  EXPECT_TRUE(EditForm->PixelGrid1->isChecked());
  EXPECT_EQ(grid.pixel(16, 40), qRgb(128, 128, 128));
  EXPECT_EQ(grid.pixel(17, 41), plain.pixel(17, 41)) << "the pixels themselves stay";
  EXPECT_EQ(grid.pixel(0, 40), plain.pixel(0, 40)) << "no line on the outer edge";
  EditForm->PixelGrid1->trigger();
  EXPECT_FALSE(EditForm->PixelGrid1->isChecked());
  EXPECT_EQ(shown(), plain);
}

}  // namespace
}  // namespace varnock::test
