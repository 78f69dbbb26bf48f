// A page pulled back by a change of the range (grid keys, a larger window, a new format) shows
// its new offset and drops the selection, as every other move does; the wheel moves by rows
// through the same clamp, and with Ctrl zooms.
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <functional>

#include "support/app_fixture.h"

namespace varnock::test {
namespace {

using ViewRange = AppTest;
const auto kName = [](const auto& info) { return std::string(info.param.name); };

struct PullCase {
  const char* name;
  const char* file;
  size_t size;
  std::function<void(TChildForm*)> change;
  int32_t expectedOffset;
};
void PrintTo(const PullCase& c, std::ostream* os) {
  *os << c.name;
}

class PulledOffsetTest : public AppTest, public ::testing::WithParamInterface<PullCase> {};

const PullCase kPullCases[] = {
    // 2 bits, 16 x 16: pages of 4096; one more row is 256 more bytes before the end.
    {"ShiftDownAtTheEnd", "a.vb", 65536,
     [](TChildForm* c) { QTest::keyClick(c->View, Qt::Key_Down, Qt::ShiftModifier); },
     65536 - 4096 - 256},
    {"ShiftRightAtTheEnd", "a.vb", 65536,
     [](TChildForm* c) { QTest::keyClick(c->View, Qt::Key_Right, Qt::ShiftModifier); },
     65536 - 17 * 16 * 16},
    // 336-byte header and 100 bytes past one page: one more row leaves the range 0..0.
    {"RangeBecomesZero", "a.gb", 336 + 4096 + 100,
     [](TChildForm* c) { QTest::keyClick(c->View, Qt::Key_Down, Qt::ShiftModifier); }, 0},
    {"LargerWindow", "a.vb", 65536,
     [](TChildForm* c) {
       c->resize(c->size() + QSize(0, 10 * c->Doc.CellHeight));
       QApplication::processEvents();
     },
     65536 - 4096 - 10 * 256},
    // The NES format's page holds as many bytes; GBA's 4-bit page is twice as long.
    {"LongerPageFormat", "a.vb", 65536, [](TChildForm* c) { c->FormatItems[9]->trigger(); },
     65536 - 8192},
};

TEST_P(PulledOffsetTest, ReadoutFollowsAndSelectionGoes) {
  const PullCase& c = GetParam();
  TChildForm* child = Open(c.file, PatternBytes(c.size, 4));
  ASSERT_NE(child, nullptr);
  QTest::keyClick(child->View, Qt::Key_End);
  const QString before = Panel(1);
  child->Doc.HasSelection = true;
  c.change(child);
  EXPECT_EQ(child->Doc.ViewOffset, c.expectedOffset);
  EXPECT_EQ(child->ScrollBar->value(), c.expectedOffset);
  EXPECT_EQ(Panel(1), QString::fromStdString(child->Doc.OffsetText()));
  EXPECT_NE(Panel(1), before);
  EXPECT_FALSE(child->Doc.HasSelection);
}

INSTANTIATE_TEST_SUITE_P(Range, PulledOffsetTest, ::testing::ValuesIn(kPullCases), kName);

TEST_F(ViewRange, AGridChangeThatKeepsTheOffsetKeepsTheSelection) {
  TChildForm* child = Open("a.vb", PatternBytes(65536, 4));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(4096);
  child->Doc.HasSelection = true;
  QTest::keyClick(child->View, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(child->Doc.ViewOffset, 4096);
  EXPECT_TRUE(child->Doc.HasSelection);
}

struct WheelCase {
  const char* name;
  int lines;  // the desktop's rows per notch
  int start;
  int delta;
  Qt::KeyboardModifiers modifiers;
  bool overScrollBar;
  int expectedOffset;
  int expectedZoom;
};
void PrintTo(const WheelCase& c, std::ostream* os) {
  *os << c.name;
}

class WheelTest : public AppTest, public ::testing::WithParamInterface<WheelCase> {};

// Virtual Boy, 2 bits, 16 columns: rows of 256 bytes, range 0..61440; zoom 3 after loading.
const WheelCase kWheelCases[] = {
    {"NotchTowardsUserScrollsDown", 3, 4096, -120, Qt::NoModifier, false, 4096 + 3 * 256, 3},
    {"NotchAwayScrollsUp", 3, 4096, 120, Qt::NoModifier, false, 4096 - 3 * 256, 3},
    {"DesktopSettingCounts", 5, 4096, -120, Qt::NoModifier, false, 4096 + 5 * 256, 3},
    {"TwoNotchesAtOnce", 1, 4096, -240, Qt::NoModifier, false, 4096 + 2 * 256, 3},
    {"HalfNotchWaits", 3, 4096, -60, Qt::NoModifier, false, 4096, 3},
    {"ClampedAtTheTop", 3, 300, 120, Qt::NoModifier, false, 0, 3},
    {"ClampedAtTheEnd", 3, 61000, -120, Qt::NoModifier, false, 61440, 3},
    {"OverTheScrollBar", 3, 4096, -120, Qt::NoModifier, true, 4096 + 3 * 256, 3},
    {"CtrlAwayZoomsIn", 3, 4096, 120, Qt::ControlModifier, false, 4096, 4},
    {"CtrlTowardsZoomsOut", 3, 4096, -120, Qt::ControlModifier, false, 4096, 2},
    {"CtrlZoomStopsAtOne", 3, 4096, -720, Qt::ControlModifier, false, 4096, 1},
    {"CtrlOverTheScrollBar", 3, 4096, 120, Qt::ControlModifier, true, 4096, 4},
};

TEST_P(WheelTest, ScrollsByRowsOrZooms) {
  const WheelCase& c = GetParam();
  TChildForm* child = Open("a.vb", PatternBytes(65536, 5));
  ASSERT_NE(child, nullptr);
  const int savedLines = QApplication::wheelScrollLines();
  QApplication::setWheelScrollLines(c.lines);
  child->MoveViewTo(c.start);
  child->Doc.HasSelection = true;
  QWidget* target = c.overScrollBar ? static_cast<QWidget*>(child->ScrollBar) : child->View;
  const QPointF at(4, 4);
  QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, c.delta), Qt::NoButton,
                    c.modifiers, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &wheel);
  QApplication::setWheelScrollLines(savedLines);
  EXPECT_EQ(child->Doc.ViewOffset, c.expectedOffset);
  EXPECT_EQ(child->ScrollBar->value(), c.expectedOffset);
  EXPECT_EQ(child->Doc.Zoom, c.expectedZoom);
  EXPECT_EQ(child->ViewBitmap.width(), child->Doc.Columns * 8 * c.expectedZoom);
  EXPECT_EQ(Panel(1), QString::fromStdString(child->Doc.OffsetText()));
  EXPECT_EQ(child->Doc.HasSelection, c.expectedOffset == c.start);
}

INSTANTIATE_TEST_SUITE_P(Wheel, WheelTest, ::testing::ValuesIn(kWheelCases), kName);

TEST_F(ViewRange, TheWheelOverAnotherWindowMakesItTheActiveOne) {
  TChildForm* under = Open("a.vb", PatternBytes(65536, 5));
  TChildForm* active = Open("b.smd", PatternBytes(65536 + 512, 6));  // copier header
  ASSERT_TRUE(under && active);
  ASSERT_EQ(MainForm->ActiveChild(), active);
  const QPointF at(4, 4);
  QWheelEvent wheel(at, under->View->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(under->View, &wheel);
  EXPECT_EQ(MainForm->ActiveChild(), under);
  EXPECT_EQ(MainForm->ActiveRom, under);
  EXPECT_GT(under->Doc.ViewOffset, 0);
  EXPECT_EQ(active->Doc.ViewOffset, 512);
  EXPECT_EQ(Panel(1), QString::fromStdString(under->Doc.OffsetText()));
  EXPECT_EQ(Panel(2), QString::fromUtf8(FormatNames[under->Doc.Format]));
}

}  // namespace
}  // namespace varnock::test
