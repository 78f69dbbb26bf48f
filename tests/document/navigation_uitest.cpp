// Moving the page of a ROM window: keys on the real view, the scroll bar, the format key and
// the Format menu.
#include <QApplication>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include "palette/pal_form.h"
#include "support/app_fixture.h"
#include "tools/clip_form.h"

namespace varnock::test {
namespace {

using Navigation = AppTest;

// An iNES image whose header says one 16 KB program bank and one 8 KB character bank: it opens
// at the character ROM, 16 + 16384, and the view may go back to byte 16.
std::vector<uint8_t> NesImage(size_t size) {
  std::vector<uint8_t> bytes = PatternBytes(size, 7);
  bytes[0] = 'N';
  bytes[1] = 'E';
  bytes[2] = 'S';
  bytes[3] = 0x1A;
  bytes[4] = 1;
  bytes[5] = 1;
  bytes[6] = 0;
  return bytes;
}

void ExpectInRange(const TChildForm* child) {
  EXPECT_LE(child->Doc.ScrollMinimum, child->Doc.ViewOffset);
  EXPECT_LE(child->Doc.ViewOffset, child->Doc.ScrollMaximum);
  EXPECT_EQ(child->ScrollBar->value(), child->Doc.ViewOffset);
  EXPECT_EQ(child->ScrollBar->minimum(), child->Doc.ScrollMinimum);
  EXPECT_EQ(child->ScrollBar->maximum(), child->Doc.ScrollMaximum);
}

struct KeyCase {
  const char* name;
  const char* file;  // the extension picks the format
  size_t size;
  int start;
  int key;
  Qt::KeyboardModifiers modifiers;
  int expected;
};
void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << c.name;
}

class KeyTest : public AppTest, public ::testing::WithParamInterface<KeyCase> {};

// Virtual Boy and NGPC are 2 bits per pixel with no header; Genesis 4 bits, with a 512-byte copier
// header when the length is 1 KB x n + 512; 16 x 16 tiles per page.
const KeyCase kKeyCases[] = {
    {"RightTile2bpp", "a.vb", 65536, 4096, Qt::Key_Right, Qt::NoModifier, 4112},
    {"CtrlRightByte", "a.vb", 65536, 4096, Qt::Key_Right, Qt::ControlModifier, 4097},
    {"PlusByte", "a.vb", 65536, 4096, Qt::Key_Plus, Qt::NoModifier, 4097},
    {"EqualsKeyIsPlus", "a.vb", 65536, 4096, Qt::Key_Equal, Qt::NoModifier, 4097},
    {"KeypadPlusIgnored", "a.vb", 65536, 4096, Qt::Key_Plus, Qt::KeypadModifier, 4096},
    {"LeftTile", "a.ngp", 65536, 4096, Qt::Key_Left, Qt::NoModifier, 4080},
    {"CtrlLeftByte", "a.ngp", 65536, 4096, Qt::Key_Left, Qt::ControlModifier, 4095},
    {"MinusByte", "a.ngp", 65536, 4096, Qt::Key_Minus, Qt::NoModifier, 4095},
    {"KeypadMinusIgnored", "a.ngp", 65536, 4096, Qt::Key_Minus, Qt::KeypadModifier, 4096},
    {"Down4bppRow", "a.smd", 65536, 4096, Qt::Key_Down, Qt::NoModifier, 4608},
    {"CtrlDownStillRow", "a.smd", 65536, 4096, Qt::Key_Down, Qt::ControlModifier, 4608},
    {"Up4bppRow", "a.smd", 65536, 4096, Qt::Key_Up, Qt::NoModifier, 3584},
    {"PageDown", "a.vb", 65536, 4096, Qt::Key_PageDown, Qt::ShiftModifier, 8192},
    {"PageUpClampsToMinimum", "a.smd", 65536 + 512, 4096, Qt::Key_PageUp, Qt::NoModifier, 512},
    {"EndIsMaximum", "a.vb", 65536, 4096, Qt::Key_End, Qt::ControlModifier, 61440},
    {"DownAtMaximumStays", "a.vb", 65536, 61440, Qt::Key_Down, Qt::NoModifier, 61440},
    {"HomeNesHeader", "a.nes", 40000, 20000, Qt::Key_Home, Qt::NoModifier, 16},
    {"UpAtNesMinimumStays", "a.nes", 40000, 16, Qt::Key_Up, Qt::NoModifier, 16},
    {"CtrlLeftAtMinimumStays", "a.nes", 40000, 16, Qt::Key_Left, Qt::ControlModifier, 16},
    {"HomeGameBoy", "a.gb", 65536, 9000, Qt::Key_Home, Qt::ShiftModifier, 336},
    {"LetterDoesNothing", "a.vb", 65536, 4096, Qt::Key_A, Qt::NoModifier, 4096},
    {"DigitTwoDoesNothing", "a.vb", 65536, 4096, Qt::Key_2, Qt::NoModifier, 4096},
    {"EscWithoutPasteDoesNothing", "a.vb", 65536, 4096, Qt::Key_Escape, Qt::NoModifier, 4096},
    {"DeleteWithoutPasteDoesNothing", "a.vb", 65536, 4096, Qt::Key_Delete, Qt::NoModifier, 4096},
};

TEST_P(KeyTest, MovesThePageAndDecodesOnlyWhenItMoved) {
  const KeyCase& c = GetParam();
  const std::string file = c.file;
  TChildForm* child =
      Open(file, file.ends_with(".nes") ? NesImage(c.size) : PatternBytes(c.size, 3));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(c.start);
  ASSERT_EQ(child->Doc.ViewOffset, c.start);
  const TileFormat format = child->Doc.Format;
  const int columns = child->Doc.Columns;
  const int decodes = child->DecodeCount;
  QTest::keyClick(child->View, static_cast<Qt::Key>(c.key), c.modifiers);
  EXPECT_EQ(child->Doc.ViewOffset, c.expected);
  ExpectInRange(child);
  // Holding a key must stay cheap: one page decode per step that moved, none otherwise.
  EXPECT_EQ(child->DecodeCount - decodes, c.expected == c.start ? 0 : 1);
  EXPECT_EQ(child->Doc.Format, format);
  EXPECT_EQ(child->Doc.Columns, columns);
  EXPECT_EQ(Panel(1), QString::fromStdString(child->Doc.OffsetText()));
  EXPECT_TRUE(prompts.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyTest, ::testing::ValuesIn(kKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Navigation, NesOpensAtItsCharacterRomAndHomeGoesBackToTheHeadersEnd) {
  TChildForm* child = Open("a.nes", NesImage(40000));
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->Doc.ViewOffset, 16400);
  EXPECT_EQ(Panel(1), QStringLiteral("Offset: 00004010 (41%)"));  // 16400 x 100 / 40000
  ExpectInRange(child);
  QTest::keyClick(child->View, Qt::Key_Home);
  EXPECT_EQ(child->Doc.ViewOffset, 16);
  ExpectInRange(child);
}

TEST_F(Navigation, EscAndDeleteDropAPendingPaste) {
  TChildForm* child = Open("a.vb", PatternBytes(65536, 3));
  ASSERT_NE(child, nullptr);
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Delete}) {
    child->Doc.PastePending = true;
    QTest::keyClick(child->View, key);
    EXPECT_FALSE(child->Doc.PastePending) << key;
  }
}

struct GridCase {
  const char* name;
  int columns, rows;  // before the key
  int key;
  Qt::KeyboardModifiers modifiers;
  int expectColumns, expectRows;
};
void PrintTo(const GridCase& c, std::ostream* os) {
  *os << c.name;
}

class GridKeyTest : public AppTest, public ::testing::WithParamInterface<GridCase> {};

const GridCase kGridCases[] = {
    {"ShiftRightGrows", 63, 16, Qt::Key_Right, Qt::ShiftModifier, 64, 16},
    {"ShiftRightStopsAt64", 64, 16, Qt::Key_Right, Qt::ShiftModifier, 64, 16},
    {"ShiftLeftShrinks", 9, 16, Qt::Key_Left, Qt::ShiftModifier, 8, 16},
    {"ShiftLeftStopsAt8", 8, 16, Qt::Key_Left, Qt::ShiftModifier, 8, 16},
    {"ShiftDownStopsAt64", 16, 64, Qt::Key_Down, Qt::ShiftModifier, 16, 64},
    {"ShiftUpStopsAt8", 16, 8, Qt::Key_Up, Qt::ShiftModifier, 16, 8},
    {"ShiftBeatsCtrl", 16, 16, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier, 15, 16},
};

TEST_P(GridKeyTest, ResizesWithinTheLimitsWithoutMoving) {
  const GridCase& c = GetParam();
  TChildForm* child = Open("a.smd", PatternBytes(1 << 20, 5));
  ASSERT_NE(child, nullptr);
  child->Doc.Columns = c.columns;
  child->Doc.Rows = c.rows;
  child->LayoutView();
  child->MoveViewTo(5000);
  const int decodes = child->DecodeCount;
  QTest::keyClick(child->View, static_cast<Qt::Key>(c.key), c.modifiers);
  EXPECT_EQ(child->Doc.Columns, c.expectColumns);
  EXPECT_EQ(child->Doc.Rows, c.expectRows);
  EXPECT_EQ(child->Doc.ViewOffset, 5000);
  EXPECT_EQ(child->Doc.PageBytes, 32 * c.expectColumns * c.expectRows);
  EXPECT_EQ(child->ViewBitmap.size(), QSize(24 * c.expectColumns, 24 * c.expectRows));
  EXPECT_EQ(child->DecodeCount - decodes, 1);
  ExpectInRange(child);
}

INSTANTIATE_TEST_SUITE_P(Keys, GridKeyTest, ::testing::ValuesIn(kGridCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A Game Boy image with room for one 16 x 16 page and 100 bytes past the 336-byte header: one
// more row makes the page longer than what follows the header.
TEST_F(Navigation, PageLongerThanTheImagePastTheMinimumKeepsTheOffsetInRange) {
  TChildForm* child = Open("a.gb", PatternBytes(336 + 4096 + 100, 9));
  ASSERT_NE(child, nullptr);
  struct Step {
    int key;
    Qt::KeyboardModifiers modifiers;
    int minimum, maximum, offset;
  };
  const Step steps[] = {
      {Qt::Key_End, Qt::NoModifier, 336, 436, 436},  {Qt::Key_Down, Qt::ShiftModifier, 0, 0, 0},
      {Qt::Key_Down, Qt::NoModifier, 0, 0, 0},       {Qt::Key_End, Qt::NoModifier, 0, 0, 0},
      {Qt::Key_Right, Qt::ControlModifier, 0, 0, 0}, {Qt::Key_Up, Qt::ShiftModifier, 336, 436, 336},
      {Qt::Key_End, Qt::NoModifier, 336, 436, 436},
  };
  for (const Step& step : steps) {
    QTest::keyClick(child->View, static_cast<Qt::Key>(step.key), step.modifiers);
    SCOPED_TRACE(step.key);
    EXPECT_EQ(child->Doc.ScrollMinimum, step.minimum);
    EXPECT_EQ(child->Doc.ScrollMaximum, step.maximum);
    EXPECT_EQ(child->Doc.ViewOffset, step.offset);
    ExpectInRange(child);
  }
}

struct FormatKeyCase {
  const char* name;
  const char* file;
  TileFormat before;
  bool atEnd;  // start at the last page
  int key;
  Qt::KeyboardModifiers modifiers;
  TileFormat after;
  const char* status;
};
void PrintTo(const FormatKeyCase& c, std::ostream* os) {
  *os << c.name;
}

class FormatKeyTest : public AppTest, public ::testing::WithParamInterface<FormatKeyCase> {};

const FormatKeyCase kFormatKeyCases[] = {
    {"GbaWrapsTo1bpp", "a.gba", 9, false, Qt::Key_1, Qt::NoModifier, 0, "Monochrome [1BPP]"},
    {"NesToGameBoy", "a.vb", 1, false, Qt::Key_1, Qt::NoModifier, 2, "Game Boy [2BPP]"},
    {"WithCtrl", "a.vb", 5, false, Qt::Key_1, Qt::ControlModifier, 6, "SNES [4BPP]"},
    {"ShiftedOne", "a.vb", 3, false, Qt::Key_Exclam, Qt::ShiftModifier, 4, "NGPC [2BPP]"},
    {"BiggerPagePullsOffsetBack", "a.vb", 0, true, Qt::Key_1, Qt::NoModifier, 1, "NES [2BPP]"},
    {"KeypadOneIgnored", "a.vb", 3, false, Qt::Key_1, Qt::KeypadModifier, 3, nullptr},
    // The formats after the ten are not in the cycle: the key goes back to the first.
    {"Snes8BppTo1bpp", "a.vb", 10, false, Qt::Key_1, Qt::NoModifier, 0, "Monochrome [1BPP]"},
    {"Linear8BppTo1bpp", "a.vb", 11, false, Qt::Key_1, Qt::NoModifier, 0, "Monochrome [1BPP]"},
};

TEST_P(FormatKeyTest, CyclesTheFormatAndStartsAtSubPaletteZero) {
  const FormatKeyCase& c = GetParam();
  TChildForm* child = Open(c.file, PatternBytes(65536, 11));
  ASSERT_NE(child, nullptr);
  child->FormatItems[c.before]->trigger();
  if (c.atEnd) QTest::keyClick(child->View, Qt::Key_End);
  child->Doc.SubPalette = 3;
  PalForm->SubPalette = 3;
  const QString status = Panel(2);
  const int decodes = child->DecodeCount;
  QTest::keyClick(child->View, static_cast<Qt::Key>(c.key), c.modifiers);
  EXPECT_EQ(child->Doc.Format, c.after);
  EXPECT_TRUE(child->FormatItems[c.after]->isChecked());
  ExpectInRange(child);
  if (!c.status) {
    EXPECT_EQ(child->DecodeCount, decodes);
    EXPECT_EQ(Panel(2), status);
    EXPECT_EQ(child->Doc.SubPalette, 3);
    return;
  }
  EXPECT_EQ(Panel(2), QString::fromUtf8(c.status));
  EXPECT_EQ(child->DecodeCount - decodes, 1);
  EXPECT_EQ(child->Doc.SubPalette, 0);
  EXPECT_EQ(PalForm->SubPalette, 0);
  EXPECT_EQ(PalForm->BitsPerPixel, child->Doc.BitsPerPixel);
  EXPECT_EQ(PalForm->SwatchCount, 1 << child->Doc.BitsPerPixel);
  EXPECT_EQ(PalForm->FirstEntry, 0);
  if (c.atEnd) {
    EXPECT_EQ(child->Doc.ViewOffset, 65536 - child->Doc.PageBytes);
  }
  EXPECT_EQ(Panel(1), QString::fromStdString(child->Doc.OffsetText()));
}

INSTANTIATE_TEST_SUITE_P(Keys, FormatKeyTest, ::testing::ValuesIn(kFormatKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The Format menu as the user reaches it: "&Vedi", "&Formato", the item.
QAction* FormatMenuItem(int format) {
  for (QAction* top : MainForm->menuBar()->actions()) {
    if (top->text() != QStringLiteral("&Vedi") || !top->menu()) continue;
    for (QAction* sub : top->menu()->actions())
      if (sub->text() == QStringLiteral("&Formato") && sub->menu())
        for (QAction* item : sub->menu()->actions())
          if (item->data().toInt() == format) return item;
  }
  return nullptr;
}

struct MenuFormatCase {
  const char* name;
  const char* file;
  int subPalette;
  TileFormat target;
  int expectSubPalette;
};
void PrintTo(const MenuFormatCase& c, std::ostream* os) {
  *os << c.name;
}

class FormatMenuTest : public AppTest, public ::testing::WithParamInterface<MenuFormatCase> {};

const MenuFormatCase kMenuFormatCases[] = {
    {"FourToTwoBits", "a.gba", 1, 1, 4},  // entries 16..19: the old first colour
    {"TwoToFourBits", "a.vb", 5, 8, 1},   {"TwoToFourBitsTruncates", "a.vb", 3, 7, 0},
    {"OneToThreeBits", "a.bin", 7, 5, 1},  // 7 x 2 / 8 = 1.75
    {"SameDepthKeeps", "a.vb", 3, 4, 3},
};

TEST_P(FormatMenuTest, ConvertsTheSubPaletteToTheNewDepth) {
  const MenuFormatCase& c = GetParam();
  TChildForm* child = Open(c.file, PatternBytes(65536, 13));
  ASSERT_NE(child, nullptr);
  child->Doc.SubPalette = c.subPalette;
  PalForm->SubPalette = c.subPalette;
  PalForm->RefreshPalette();
  QAction* item = FormatMenuItem(c.target);
  ASSERT_NE(item, nullptr);
  const int decodes = child->DecodeCount;
  item->trigger();
  EXPECT_EQ(child->Doc.Format, c.target);
  EXPECT_TRUE(item->isChecked());
  EXPECT_EQ(Panel(2), QString::fromUtf8(FormatNames[c.target]));
  EXPECT_EQ(child->DecodeCount - decodes, 1);
  EXPECT_EQ(child->Doc.SubPalette, c.expectSubPalette);
  EXPECT_EQ(PalForm->SubPalette, c.expectSubPalette);
  EXPECT_EQ(PalForm->BitsPerPixel, child->Doc.BitsPerPixel);
  EXPECT_EQ(PalForm->FirstEntry, c.expectSubPalette << child->Doc.BitsPerPixel);
  EXPECT_EQ(PalForm->PalUpDown->value(), c.expectSubPalette);
  ExpectInRange(child);
}

INSTANTIATE_TEST_SUITE_P(Menu, FormatMenuTest, ::testing::ValuesIn(kMenuFormatCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Navigation, FormatMenuOfAWindowTheEditorDoesNotServeLeavesTheEditorAlone) {
  TChildForm* child = Open("a.gba", PatternBytes(65536, 13));
  ASSERT_NE(child, nullptr);
  child->Doc.SubPalette = 1;
  MainForm->ActiveRom = ClipForm;  // the arranger took the palette editor
  PalForm->BitsPerPixel = 4;
  PalForm->SubPalette = 0;
  FormatMenuItem(1)->trigger();
  EXPECT_EQ(child->Doc.SubPalette, 4);
  EXPECT_EQ(PalForm->BitsPerPixel, 4);
  EXPECT_EQ(PalForm->SubPalette, 0);
}

// Game Boy, 16 columns of 16-byte tiles: rows of 256 bytes; range 336..28772.
struct ScrollCase {
  const char* name;
  int start;
  QAbstractSlider::SliderAction action;
  int dragTo;  // for SliderMove
  int expected;
};
void PrintTo(const ScrollCase& c, std::ostream* os) {
  *os << c.name;
}

class ScrollBarTest : public AppTest, public ::testing::WithParamInterface<ScrollCase> {};

const ScrollCase kScrollCases[] = {
    {"LineDown", 1000, QAbstractSlider::SliderSingleStepAdd, 0, 1256},
    {"LineUpToMinimum", 400, QAbstractSlider::SliderSingleStepSub, 0, 336},
    {"PageDown", 1000, QAbstractSlider::SliderPageStepAdd, 0, 5096},
    {"PageDownToMaximum", 27000, QAbstractSlider::SliderPageStepAdd, 0, 28772},
    {"PageUp", 5000, QAbstractSlider::SliderPageStepSub, 0, 904},
    {"Top", 5000, QAbstractSlider::SliderToMinimum, 0, 336},
    {"Bottom", 5000, QAbstractSlider::SliderToMaximum, 0, 28772},
    {"DragRoundsToRowFromZero", 5000, QAbstractSlider::SliderMove, 1000, 768},
    {"DragBelowMinimumRow", 5000, QAbstractSlider::SliderMove, 340, 336},
    {"DragToMaximum", 5000, QAbstractSlider::SliderMove, 28772, 28672},
    {"DragOntoRow", 336, QAbstractSlider::SliderMove, 4608, 4608},
};

TEST_P(ScrollBarTest, ActionsLandInRangeAndRedrawOnce) {
  const ScrollCase& c = GetParam();
  TChildForm* child = Open("a.gb", PatternBytes(32768 + 100, 17));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(c.start);
  child->Doc.HasSelection = true;
  const int decodes = child->DecodeCount;
  QScrollBar* bar = child->ScrollBar;
  if (c.action == QAbstractSlider::SliderMove) {
    bar->setSliderDown(true);
    bar->setSliderPosition(c.dragTo);
    EXPECT_EQ(child->Doc.ViewOffset, c.expected);
    bar->setSliderDown(false);  // releasing keeps the tracked offset
  } else {
    bar->triggerAction(c.action);
  }
  EXPECT_EQ(child->Doc.ViewOffset, c.expected);
  EXPECT_EQ(bar->sliderPosition(), c.expected);
  ExpectInRange(child);
  const bool moved = c.expected != c.start;
  EXPECT_EQ(child->DecodeCount - decodes, moved ? 1 : 0);
  EXPECT_EQ(child->Doc.HasSelection, !moved);
  EXPECT_EQ(Panel(1), QString::fromStdString(child->Doc.OffsetText()));
}

INSTANTIATE_TEST_SUITE_P(Bar, ScrollBarTest, ::testing::ValuesIn(kScrollCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
