// The palette editor at 256 colours on the real windows: controls shown only while 8-bit tiles
// are, the marks, the line about the swatch under the pointer, the hexadecimal field and the
// grey ramp.
#include <QTest>

#include "palette/pal_form.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

class WidePalette : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    child = Open("GAME.smc", std::vector<uint8_t>(65536, 0));
    ASSERT_NE(child, nullptr);
    designed = PalForm->size();
    child->FormatItems[10]->trigger();  // SNES 8BPP
  }
  TChildForm* child = nullptr;
  QSize designed;
};

// How far the window grows is eight_bit_uitest's; here, what comes and goes with 256 colours.
TEST_F(WidePalette, TheHexFieldAndGreyRampShowOnlyWhileEightBitTilesAreShown) {
  EXPECT_TRUE(PalForm->HexEdit1->isVisible() && PalForm->GreyRamp1->isVisible());
  child->FormatItems[6]->trigger();  // SNES 4 bits: back to the designed window
  EXPECT_EQ(PalForm->size(), designed);
  EXPECT_FALSE(PalForm->HexEdit1->isVisible() || PalForm->GreyRamp1->isVisible());
  EXPECT_EQ(PalForm->Shapes[0]->pos(), QPoint(72, 16));
}

TEST_F(WidePalette, PicksMarksHoverLineHexFieldAndGreyRamp) {
  QTest::mouseClick(PalForm->Shapes[200], Qt::LeftButton);
  QTest::mouseClick(PalForm->Shapes[17], Qt::RightButton);
  EXPECT_EQ(child->Doc.LeftColor, 200);
  EXPECT_EQ(PalForm->RightColor, 17);
  // The marks show as pixels of the swatch: the foreground's frame inside the outline.
  const QImage marked = PalForm->Shapes[200]->grab().toImage();
  const QImage plain = PalForm->Shapes[201]->grab().toImage();
  EXPECT_NE(marked.pixel(2, 2), marked.pixel(6, 6));
  EXPECT_EQ(plain.pixel(2, 2), plain.pixel(6, 6));

  child->Doc.Palette[17] = MakeEntry(0xFF, 0x80, 0x00);
  PalForm->RefreshPalette();
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(PalForm->Shapes[17], &enter);
  EXPECT_EQ(PalForm->SwatchInfo->text(), QStringLiteral("Indice 17 ($11)\n#FF8000\nBGR15 $021F"));

  PalForm->HexEdit1->setText(QStringLiteral("#102030"));
  QTest::keyClick(PalForm->HexEdit1, Qt::Key_Return);
  EXPECT_EQ(child->Doc.Palette[200], MakeEntry(0x10, 0x20, 0x30));
  EXPECT_TRUE(child->Doc.PaletteModified);
  PalForm->HexEdit1->setText(QStringLiteral("nonsense"));
  QTest::keyClick(PalForm->HexEdit1, Qt::Key_Return);
  EXPECT_EQ(child->Doc.Palette[200], MakeEntry(0x10, 0x20, 0x30)) << "a bad colour changes nothing";

  PalForm->GreyRamp1->click();
  for (int k = 0; k < 256; ++k)
    ASSERT_EQ(child->Doc.Palette[k], MakeEntry(uint8_t(k), uint8_t(k), uint8_t(k))) << k;
  EXPECT_EQ(child->Doc.ViewSurface.Colors[255].red, 255) << "the view shows the ramp";
}

}  // namespace
}  // namespace varnock::test
