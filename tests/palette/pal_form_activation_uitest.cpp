// What the palette editor hands on and takes over when windows change activation, in each
// order a desktop delivers activation in.
#include <QMdiArea>
#include <QTest>

#include "palette/pal_form.h"
#include "support/activation.h"
#include "support/app_fixture.h"
#include "support/drops.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

void Pen(Qt::MouseButton button, int pixel) {
  QTest::mouseClick(EditForm, button, {}, QPoint(pixel * 16 + 1, 1));
}

class ActivationTest : public AppTest, public ::testing::WithParamInterface<ActivationOrder> {};

TEST_P(ActivationTest, PicksReachThePenAndOutliveTheArrangersActivation) {
  const ActivationOrder order = GetParam();
  TChildForm* other = Open("other.gb", std::vector<uint8_t>(32768, 0));
  TChildForm* rom = Open("game.gb", std::vector<uint8_t>(65536, 0));  // every pixel index 0
  ASSERT_TRUE(other && rom);
  QTest::mouseClick(rom->View, Qt::LeftButton, {}, QPoint(1, 1));
  ASSERT_NE(EditForm->BoundTile, nullptr);

  Activate(PalForm, order);
  QTest::mouseClick(PalForm->Shapes[3], Qt::LeftButton);
  QTest::mouseClick(PalForm->Shapes[2], Qt::RightButton);
  Activate(EditForm, order);
  Pen(Qt::LeftButton, 0);
  Pen(Qt::RightButton, 1);

  // A new pick for the window, then the arranger takes the palette editor and gets a pick of
  // its own: neither is lost, and the arranger's activation does not move its mark back.
  Activate(PalForm, order);
  QTest::mouseClick(PalForm->Shapes[1], Qt::LeftButton);
  Activate(ClipForm, order);
  Activate(PalForm, order);
  QTest::mouseClick(PalForm->Shapes[2], Qt::LeftButton);
  Activate(ClipForm, order);
  Settle();
  EXPECT_EQ(PalForm->FGShape->Color(), PalForm->Shapes[2]->Color());
  Activate(EditForm, order);
  Pen(Qt::LeftButton, 2);

  // Back to the window: it is activated again by way of another one.
  Activate(MainForm, order);
  MainForm->MdiArea->setActiveSubWindow(other);
  MainForm->MdiArea->setActiveSubWindow(rom);
  ASSERT_EQ(MainForm->ActiveRom, rom);
  EXPECT_EQ(PalForm->FGShape->Color(), PalForm->Shapes[1]->Color());
  Activate(EditForm, order);
  Pen(Qt::LeftButton, 3);

  // The window's activation decoded the tile again from the image before the last stroke.
  const std::vector<uint8_t>& pixels = EditForm->EditSurface.Pixels;
  EXPECT_EQ(std::vector<uint8_t>(pixels.begin(), pixels.begin() + 5),
            (std::vector<uint8_t>{3, 2, 2, 1, 0}));
}

TEST_P(ActivationTest, AWindowsSubPaletteAndEntryCountComeBackWithIt) {
  const ActivationOrder order = GetParam();
  TChildForm* small = Open("a.gb", std::vector<uint8_t>(32768, 0));
  TChildForm* large = Open("b.gb", std::vector<uint8_t>(32768, 0));
  ASSERT_TRUE(small && large);
  MainForm->MdiArea->setActiveSubWindow(small);
  small->EntryItems[0]->trigger();  // "&16": four sub-palettes of four colours
  Activate(PalForm, order);
  PalForm->PalUpDown->stepUp();
  PalForm->PalUpDown->stepUp();
  Activate(MainForm, order);

  MainForm->MdiArea->setActiveSubWindow(large);
  EXPECT_EQ(PalForm->PalUpDown->maximum(), 63);
  EXPECT_EQ(PalForm->PalUpDown->value(), 0);
  MainForm->MdiArea->setActiveSubWindow(small);
  EXPECT_EQ(PalForm->PalUpDown->maximum(), 3);
  EXPECT_EQ(PalForm->PalUpDown->value(), 2);
  const PaletteEntry& shown = small->Doc.Palette[2 * 4 + 1];
  EXPECT_EQ(small->Doc.ViewSurface.Colors[1],
            (SurfaceColor{shown.blue, shown.green, shown.red, 0}));
}

// A press on an arranger cell shows the cell's depth in the palette editor, also when the
// arranger's activation arrives after the press.
TEST_P(ActivationTest, APressOnACellShowsTheCellsDepthWhateverTheOrder) {
  TChildForm* rom = Open("a.smc", std::vector<uint8_t>(8192, 0));  // 4 bits per pixel
  ASSERT_NE(rom, nullptr);
  rom->FormatItems[2]->trigger();  // Game Boy, 2 bits per pixel
  SetCurrentTile(rom, 0);
  ASSERT_TRUE(DropTileAt(ClipForm, QPoint(7, 7)));
  rom->FormatItems[6]->trigger();  // back to 4 bits
  PalForm->PalUpDown->stepUp();    // sub-palette 1: colours a 2-bit depth would not show
  const auto viewColors = rom->Doc.ViewSurface.Colors;
  Activate(ClipForm, GetParam());
  QTest::mouseClick(ClipForm, Qt::LeftButton, {}, QPoint(7, 7));
  Settle();
  EXPECT_EQ(MainForm->ActiveRom, ClipForm);
  EXPECT_EQ(PalForm->SwatchCount, 4);
  EXPECT_FALSE(PalForm->Shapes[4]->isVisible());
  EXPECT_EQ(rom->Doc.ViewSurface.Colors, viewColors) << "the window's view keeps its colours";
}

INSTANTIATE_TEST_SUITE_P(PalEditor, ActivationTest,
                         ::testing::Values(ActivationOrder::NewFirst, ActivationOrder::OldFirst,
                                           ActivationOrder::PressFirst),
                         [](const auto& info) { return std::string(NameOf(info.param)); });

}  // namespace
}  // namespace varnock::test
