// Tiles of 8 bits per pixel in the tool windows: the palette editor's 256 swatches, a pick of a
// high entry reaching the tile editor's pen, and the arranger drawing every index in its colour.
#include <QTest>

#include "palette/pal_form.h"
#include "support/app_fixture.h"
#include "support/drops.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

QRgb RgbOf(const PaletteEntry& entry) {
  return qRgb(entry.red, entry.green, entry.blue);
}

using EightBits = AppTest;

TEST_F(EightBits, ThePaletteEditorShowsAllEntriesAndAPickOf200ReachesThePen) {
  TChildForm* child = Open("a.gba", PatternBytes(65536, 4));
  ASSERT_NE(child, nullptr);
  child->FormatItems[kLinear8Format]->trigger();
  // 14 x 14 swatches in a block of their own below the designed controls.
  EXPECT_EQ(PalForm->size(), QSize(431, 82 + 16 * 14 + 8)) << "grown to hold 16 rows";
  EXPECT_EQ(PalForm->Shapes[255]->geometry(), QRect(8 + 15 * 14, 82 + 15 * 14, 14, 14));
  EXPECT_TRUE(PalForm->Shapes[255]->isVisible());
  EXPECT_EQ(PalForm->Shapes[200]->Color(), QColor(RgbOf(child->Doc.Palette[200])));
  QTest::mouseClick(PalForm->Shapes[200], Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(24 + 5, 5));
  EXPECT_EQ(EditForm->EditSurface.Colors[200], child->Doc.ViewSurface.Colors[200]);
  QTest::mouseClick(EditForm, Qt::LeftButton, {}, QPoint(1, 1));
  // One byte per pixel, from the GBA header on: the second tile's first byte is its top left.
  ASSERT_EQ(EditForm->BoundOffset, 0xC0 + 64);
  EXPECT_EQ(child->Doc.RomData[0xC0 + 64], 200);
  child->FormatItems[9]->trigger();  // back to 4 bits
  EXPECT_EQ(PalForm->size(), QSize(431, 82));
  EXPECT_FALSE(PalForm->Shapes[16]->isVisible());
}

TEST_F(EightBits, TheArrangerDrawsIndex16And200InTheirColoursAndEmptyCellsGrey) {
  std::vector<uint8_t> bytes(65536, 0);
  std::fill_n(bytes.begin(), 32, 16);        // rows 0-3 of tile 0: index 16
  std::fill_n(bytes.begin() + 32, 32, 200);  // rows 4-7: index 200
  TChildForm* child = Open("a.bin", bytes);
  ASSERT_NE(child, nullptr);
  child->ChooseTileFormat(kLinear8Format);
  SetCurrentTile(child, 0);
  ASSERT_TRUE(DropTileAt(ClipForm, QPoint(3, 3)));
  const QImage shown = ClipForm->grab().toImage();
  const PaletteTable& palette = ClipForm->ArrangerPalette;
  ASSERT_NE(RgbOf(palette[16]), qRgb(64, 64, 64)) << "the check needs a colour other than grey";
  EXPECT_EQ(shown.pixel(2, 2), RgbOf(palette[16]));
  EXPECT_EQ(shown.pixel(2, 13), RgbOf(palette[200]));
  EXPECT_EQ(shown.pixel(16 + 2, 2), qRgb(64, 64, 64)) << "the next cell is empty";
}

}  // namespace
}  // namespace varnock::test
