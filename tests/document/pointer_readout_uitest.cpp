// The status bar's fourth panel as the pointer moves over a ROM window's grid: the tile under
// it, the size of the block being selected, and the tile picked last.
#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTest>
#include <functional>

#include "support/app_fixture.h"

namespace varnock::test {
namespace {

void MoveWithButton(QWidget* widget, QPoint at, Qt::MouseButtons held) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                   held, Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

class PointerReadout : public AppTest {
 protected:
  // A Game Boy image (16 bytes a tile, 256 a grid row) showing offset 0x1C00 at `zoom`.
  TChildForm* OpenAt(int zoom, size_t size = 65536) {
    TChildForm* child = Open("game.gb", PatternBytes(size, 5));
    if (!child) return nullptr;
    child->Doc.Zoom = zoom;
    child->LayoutView();
    child->MoveViewTo(0x1C00);
    return child;
  }
};

struct PointCase {
  const char* name;
  int zoom;
  QPoint at;
  const char* text;
  friend void PrintTo(const PointCase& c, std::ostream* os) { *os << c.name; }
};

class PointTest : public PointerReadout, public ::testing::WithParamInterface<PointCase> {};

TEST_P(PointTest, AMoveWithoutAButtonShowsTheTileUnderThePointer) {
  const PointCase& c = GetParam();
  TChildForm* child = OpenAt(c.zoom);
  ASSERT_NE(child, nullptr);
  // Through the platform's own path, which reports such moves only to a tracking widget.
  QTest::mouseMove(child->View, c.at);
  EXPECT_EQ(Panel(3), QString::fromUtf8(c.text));
  EXPECT_EQ(Panel(1), QStringLiteral("Offset: 00001C00 (10%)")) << "the designed panels stay";
}

INSTANTIATE_TEST_SUITE_P(
    TileView, PointTest,
    ::testing::Values(PointCase{"zoom1_first_row", 1, {17, 1}, "0x01C20 #01C2"},
                      PointCase{"zoom4", 4, {70, 40}, "0x01D20 #01D2"},
                      PointCase{"zoom4_last_cell", 4, {511, 511}, "0x02BF0 #02BF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PointerReadout, SelectingShowsTheBlocksSizeAndAPickTheTilesOffset) {
  TChildForm* child = OpenAt(1);
  ASSERT_NE(child, nullptr);
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(17, 1));
  EXPECT_EQ(Panel(3), QStringLiteral("1x1 tiles, 16 bytes"));
  MoveWithButton(child->View, QPoint(40, 20), Qt::RightButton);
  EXPECT_EQ(Panel(3), QStringLiteral("4x3 tiles, 192 bytes"));
  QTest::mouseRelease(child->View, Qt::RightButton, {}, QPoint(40, 20));

  QTest::mousePress(child->View, Qt::LeftButton, {}, QPoint(20, 9));
  EXPECT_EQ(Panel(3), QStringLiteral("Picked 0x01D20 #01D2"));
  QTest::mouseRelease(child->View, Qt::LeftButton, {}, QPoint(21, 10));
  QTest::mouseMove(child->View, QPoint(1, 1));
  EXPECT_EQ(Panel(3), QStringLiteral("0x01C00 #01C0"));
  // Off the grid (to the tile editor, say) the panel says which tile is being edited.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(child->View, &leave);
  EXPECT_EQ(Panel(3), QStringLiteral("Picked 0x01D20 #01D2"));
}

TEST_F(PointerReadout, TilesPastTheImagesEndShowNothingAndAnotherWindowItsOwnPick) {
  TChildForm* small = OpenAt(1, 1000);  // the grid shows 4096 bytes
  ASSERT_NE(small, nullptr);
  QTest::mouseMove(small->View, QPoint(100, 100));
  EXPECT_EQ(Panel(3), QString());
  QTest::mouseClick(small->View, Qt::LeftButton, {}, QPoint(9, 1));
  TChildForm* other = OpenAt(1);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(Panel(3), QString()) << "nothing picked in the new window";
  MainForm->MdiArea->setActiveSubWindow(small);
  EXPECT_EQ(Panel(3), QStringLiteral("Picked 0x00010 #0001"));
}

struct ActiveWindowCase {
  const char* name;
  bool picked;  // a tile picked in the window that becomes active
  // What reaches the window that was active before, after the other became active.
  std::function<void(QWidget* oldView)> late;
  const char* text;
  friend void PrintTo(const ActiveWindowCase& c, std::ostream* os) { *os << c.name; }
};

class ActiveWindowTest : public PointerReadout,
                         public ::testing::WithParamInterface<ActiveWindowCase> {};

TEST_P(ActiveWindowTest, ThePanelShowsTheActiveWindowsReadoutFromItsActivationOn) {
  const ActiveWindowCase& c = GetParam();
  TChildForm* active = OpenAt(1);
  TChildForm* old = OpenAt(1);
  ASSERT_TRUE(active && old);
  if (c.picked) QTest::mouseClick(active->View, Qt::LeftButton, {}, QPoint(17, 1));
  MainForm->MdiArea->setActiveSubWindow(old);
  MoveWithButton(old->View, QPoint(40, 20), Qt::NoButton);
  ASSERT_EQ(Panel(3), QStringLiteral("0x01E50 #01E5"));
  MainForm->MdiArea->setActiveSubWindow(active);
  c.late(old->View);
  EXPECT_EQ(Panel(3), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    TileView, ActiveWindowTest,
    ::testing::Values(ActiveWindowCase{"nothing_picked", false, [](QWidget*) {}, ""},
                      ActiveWindowCase{"its_pick", true, [](QWidget*) {}, "Picked 0x01C20 #01C2"},
                      ActiveWindowCase{
                          "the_pointer_then_crosses_the_old_one", false,
                          [](QWidget* view) { MoveWithButton(view, QPoint(1, 1), Qt::NoButton); },
                          ""},
                      ActiveWindowCase{"the_pointer_then_leaves_the_old_one", true,
                                       [](QWidget* view) {
                                         QEvent leave(QEvent::Leave);
                                         QApplication::sendEvent(view, &leave);
                                       },
                                       "Picked 0x01C20 #01C2"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
