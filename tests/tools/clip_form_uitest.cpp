// The tile arranger: drops and stamps onto its cells, presses that load the tile editor, and
// what becomes of cells whose window closes.
#include <QMdiArea>
#include <QMouseEvent>
#include <QTest>

#include "codec/tile_codec.h"
#include "palette/pal_form.h"
#include "support/app_fixture.h"
#include "support/drops.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using Arranger = AppTest;

// 1 bit per pixel: the tile at offset 8 x k is all index 1 when its bytes are 0xFF.
std::vector<uint8_t> OneBitTiles() {
  std::vector<uint8_t> bytes(4096, 0x00);
  std::fill(bytes.begin() + 64, bytes.begin() + 72, 0xFF);  // tile 8
  return bytes;
}

// Every pixel of board cell (column, row), or -1 when they differ.
int CellIndex(int column, int row) {
  const TileSurface& board = ClipForm->ArrangerSurface;
  const uint8_t first = board.Pixels[static_cast<size_t>(row * 8 * board.Width() + column * 8)];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (board.Pixels[static_cast<size_t>((row * 8 + y) * board.Width() + column * 8 + x)] !=
          first)
        return -1;
  return first;
}

// Board cell (column, row) is painted as an empty cell, whatever its pixels hold.
bool ShownEmpty(int column, int row) {
  const QImage shown = ClipForm->grab().toImage();
  for (const QPoint at : {QPoint(column * 16, row * 16), QPoint(column * 16 + 15, row * 16 + 15)})
    if (shown.pixel(at) != qRgb(64, 64, 64)) return false;
  return true;
}

void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  QMouseEvent event(type, QPointF(at), ClipForm->mapToGlobal(QPointF(at)),
                    type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
  QApplication::sendEvent(ClipForm, &event);
}

QPoint Cell(int column, int row) {
  return {column * 16 + 7, row * 16 + 9};
}

struct PointCase {
  const char* name;
  QPoint at;
  int column, row;
};

void PrintTo(const PointCase& c, std::ostream* out) {
  *out << c.name;
}

class ArrangerDropTest : public AppTest, public ::testing::WithParamInterface<PointCase> {};

TEST_P(ArrangerDropTest, ADropFillsTheCellUnderThePointWithTheCurrentTile) {
  const PointCase& c = GetParam();
  TChildForm* rom = Open("a.bin", OneBitTiles());
  ASSERT_NE(rom, nullptr);
  SetCurrentTile(rom, 64);
  ASSERT_TRUE(DropTileAt(ClipForm, c.at));
  const ArrangerCell& cell = ClipForm->Cells[c.row][c.column];
  EXPECT_EQ(cell.Rom, rom);
  EXPECT_EQ(cell.Tile, rom->Doc.RomData + 64);
  EXPECT_EQ(cell.Offset, 64);
  EXPECT_EQ(cell.BitsPerPixel, 1);
  EXPECT_EQ(cell.TileBytes, 8);
  EXPECT_EQ(ClipForm->CurrentCell, &cell);
  EXPECT_EQ(CellIndex(c.column, c.row), 1);
  EXPECT_TRUE(ShownEmpty(c.column == 0 ? 1 : 0, c.row));
  EXPECT_FALSE(rom->Doc.Modified) << "an arranger drop changes no image";
}

INSTANTIATE_TEST_SUITE_P(Arranger, ArrangerDropTest,
                         ::testing::Values(PointCase{"bottom_right", {383, 255}, 23, 15},
                                           PointCase{"second_column", {16, 15}, 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Arranger, ACellDraggedToAnotherCarriesItsTileAndClosingTheWindowEmptiesBoth) {
  TChildForm* rom = Open("a.bin", OneBitTiles());
  ASSERT_NE(rom, nullptr);
  SetCurrentTile(rom, 64);
  ASSERT_TRUE(DropTileAt(ClipForm, Cell(2, 3)));
  SetCurrentTile(rom, 0);  // another pick since
  QTest::mousePress(ClipForm, Qt::LeftButton, {}, Cell(2, 3));
  QTest::mouseRelease(ClipForm, Qt::LeftButton, {}, Cell(2, 3));
  EXPECT_EQ(EditForm->BoundTile, rom->Doc.RomData + 64) << "the press loads the editor";
  EXPECT_EQ(EditForm->EditSurface.Pixels[0], 1);
  ASSERT_TRUE(DropTileAt(ClipForm, Cell(10, 4)));
  const ArrangerCell& first = ClipForm->Cells[3][2];
  const ArrangerCell& second = ClipForm->Cells[4][10];
  EXPECT_EQ(second.Rom, first.Rom);
  EXPECT_EQ(second.Tile, first.Tile);
  EXPECT_EQ(second.Offset, first.Offset);
  EXPECT_EQ(CellIndex(10, 4), 1);

  rom->close();
  EXPECT_EQ(first.Tile, nullptr);
  EXPECT_EQ(second.Tile, nullptr);
  EXPECT_TRUE(ShownEmpty(2, 3));
  EXPECT_TRUE(ShownEmpty(10, 4));
}

TEST_F(Arranger, TheRightButtonStampsTheCurrentTileIntoEveryCellItCrosses) {
  TChildForm* rom = Open("a.bin", OneBitTiles());
  ASSERT_NE(rom, nullptr);
  SetCurrentTile(rom, 64);
  Mouse(QEvent::MouseButtonPress, Qt::RightButton, Cell(0, 5));
  for (int column = 1; column < 5; ++column)
    Mouse(QEvent::MouseMove, Qt::RightButton, Cell(column, 5));
  Mouse(QEvent::MouseMove, Qt::RightButton, QPoint(-3, 5 * 16 + 2));  // off the board
  Mouse(QEvent::MouseButtonRelease, Qt::RightButton, Cell(4, 5));
  EXPECT_FALSE(ClipForm->Stamping);
  for (int column = 0; column < 5; ++column) {
    EXPECT_EQ(ClipForm->Cells[5][column].Tile, rom->Doc.RomData + 64) << column;
    EXPECT_EQ(CellIndex(column, 5), 1) << column;
  }
  EXPECT_EQ(ClipForm->Cells[5][5].Tile, nullptr);
  EXPECT_EQ(EditForm->BoundOffset, 64) << "the first stamped cell loads the editor";
  Mouse(QEvent::MouseMove, Qt::NoButton, Cell(8, 8));
  EXPECT_EQ(ClipForm->Cells[8][8].Tile, nullptr) << "stamping ends with the release";

  // A pen stroke in the editor (index 0 on the tile's top-left pixel) shows in all five.
  EditForm->RightColor = 0;
  EditForm->FormMouseDown(Qt::RightButton, 3, 3);
  EditForm->FormMouseUp(Qt::RightButton, 3, 3);
  EXPECT_EQ(rom->Doc.RomData[64], 0x7F);
  const TileSurface& board = ClipForm->ArrangerSurface;
  for (int column = 0; column < 5; ++column) {
    const size_t corner = static_cast<size_t>(5 * 8 * board.Width() + column * 8);
    EXPECT_EQ(board.Pixels[corner], 0) << column;
    EXPECT_EQ(board.Pixels[corner + 1], 1) << column;
  }
}

class ArrangerDrag : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    SetTileDragRunner([this](QWidget* source, const QMimeData& data) {
      ++drags;
      fromArranger = source && source->window() == ClipForm->window();
      ASSERT_NE(target, nullptr);
      DropAt(target, targetPoint, data);
    });
  }
  void TearDown() override {
    SetTileDragRunner({});
    DisarmTileDrag();
    AppTest::TearDown();
  }
  // Where the drag ends: the drop the platform would deliver there.
  QWidget* target = nullptr;
  QPoint targetPoint;
  int drags = 0;
  bool fromArranger = false;
};

// The road a user takes: a pick in a NES window, the tile dragged onto the board, edited
// there, and dragged from its cell into a SNES window, where it shows the same pixels.
TEST_F(ArrangerDrag, ATileFromANesWindowEditedOnTheBoardShowsTheSameInASnesWindow) {
  // 512 bytes past whole kilobytes: a copier header the view skips
  TChildForm* snes = Open("b.smc", std::vector<uint8_t>(16384 + 512, 0));
  TChildForm* nes = Open("a.nes", PatternBytes(8192, 21));
  ASSERT_TRUE(snes && nes);
  ASSERT_EQ(snes->Doc.ViewOffset, 512);
  // Zoom 3: view cell (2, 1) is the tile at 16 + 2 x 16 + 16 x 16.
  const int32_t picked = 16 + 2 * 16 + 16 * 16;
  target = ClipForm;
  targetPoint = Cell(5, 6);
  QTest::mousePress(nes->View, Qt::LeftButton, {}, QPoint(2 * 24 + 4, 24 + 4));
  QTest::mouseMove(nes->View, QPoint(2 * 24 + 30, 24 + 4));
  QTest::mouseRelease(nes->View, Qt::LeftButton, {}, QPoint(2 * 24 + 30, 24 + 4));
  ASSERT_EQ(drags, 1);
  ASSERT_EQ(ClipForm->Cells[6][5].Offset, picked);

  QTest::mousePress(ClipForm, Qt::LeftButton, {}, Cell(5, 6));
  EditForm->LeftColor = 2;
  EditForm->FormMouseDown(Qt::LeftButton, 127, 127);
  EditForm->FormMouseUp(Qt::LeftButton, 127, 127);
  target = snes->View;
  targetPoint = QPoint(24 + 4, 4);  // the tile at 512 + 32
  QTest::mouseMove(ClipForm, Cell(5, 6) + QPoint(20, 0));
  QTest::mouseRelease(ClipForm, Qt::LeftButton, {}, Cell(5, 6) + QPoint(20, 0));
  ASSERT_EQ(drags, 2);
  EXPECT_TRUE(fromArranger);

  TileSurface nesTile, snesTile;
  SetUpTileSurface(nesTile, 1, 1);
  SetUpTileSurface(snesTile, 1, 1);
  nesTile.DecodeFormat = 1;
  nesTile.DecodeTileBytes = 16;
  DecodeTiles(nes->Doc.BytesFrom(picked), nesTile);
  snesTile.DecodeFormat = 6;
  snesTile.DecodeTileBytes = 32;
  DecodeTiles(snes->Doc.BytesFrom(512 + 32), snesTile);
  EXPECT_EQ(nesTile.Pixels[63], 2) << "the edit reached the NES image";
  EXPECT_EQ(snesTile.Pixels, nesTile.Pixels);
  EXPECT_TRUE(snes->Doc.Modified);
}

struct NoTileCase {
  const char* name;
  bool closeWindow;  // else no tile was ever picked
};

void PrintTo(const NoTileCase& c, std::ostream* out) {
  *out << c.name;
}

class NoCurrentTileTest : public AppTest, public ::testing::WithParamInterface<NoTileCase> {};

TEST_P(NoCurrentTileTest, StampingAndDroppingDoNothing) {
  TChildForm* rom = Open("a.bin", OneBitTiles());
  TChildForm* other = Open("b.bin", OneBitTiles());
  ASSERT_TRUE(rom && other);
  if (GetParam().closeWindow) {
    SetCurrentTile(rom, 64);
    rom->close();
  }
  Mouse(QEvent::MouseButtonPress, Qt::MiddleButton, Cell(3, 3));
  EXPECT_FALSE(ClipForm->Stamping);
  DropTileAt(ClipForm, Cell(4, 4));
  EXPECT_EQ(ClipForm->Cells[3][3].Tile, nullptr);
  EXPECT_EQ(ClipForm->Cells[4][4].Tile, nullptr);
  EXPECT_TRUE(ShownEmpty(3, 3));
  EXPECT_EQ(EditForm->BoundTile, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Arranger, NoCurrentTileTest,
                         ::testing::Values(NoTileCase{"never_picked", false},
                                           NoTileCase{"window_closed", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Arranger, AfterSvuotaArrangerAPressOnAFormerCellDoesNothing) {
  TChildForm* rom = Open("a.bin", OneBitTiles());
  ASSERT_NE(rom, nullptr);
  SetCurrentTile(rom, 64);
  ASSERT_TRUE(DropTileAt(ClipForm, Cell(6, 2)));
  const SurfaceColor colour1 = ClipForm->ArrangerSurface.Colors[1];
  rom->ClearArranger1->trigger();
  EXPECT_TRUE(ShownEmpty(6, 2));
  EXPECT_EQ(ClipForm->ArrangerSurface.Colors[1], colour1) << "the palette stays";
  SetCurrentTile(rom, 0);
  QTest::mousePress(ClipForm, Qt::LeftButton, {}, Cell(6, 2));
  EXPECT_EQ(MainForm->DragSourceOffset, 0) << "the current tile stays";
  EXPECT_EQ(EditForm->BoundTile, nullptr);
}

TEST_F(Arranger, TheTransferFromAWindowOnSubPaletteTwoGivesEntriesZeroToFifteen) {
  TChildForm* rom = Open("a.nes", PatternBytes(8192, 2));
  ASSERT_NE(rom, nullptr);
  for (int i = 0; i < 256; ++i)
    rom->Doc.Palette[i] = PaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                       static_cast<uint8_t>(i ^ 0x55)};
  rom->Doc.SubPalette = 2;
  PalForm->SubPalette = 2;
  rom->Transfertoclipboard1->trigger();
  EXPECT_EQ(ClipForm->ArrangerPalette, rom->Doc.Palette);
  for (int i = 0; i < 16; ++i) {
    const PaletteEntry& entry = rom->Doc.Palette[i];
    EXPECT_EQ(ClipForm->ArrangerSurface.Colors[i],
              (SurfaceColor{entry.blue, entry.green, entry.red, 0}))
        << i;
  }
}

TEST_F(Arranger, ActivationServesTheArrangerWithSixteenSwatchesAndGreyEmptyCells) {
  TChildForm* rom = Open("a.nes", PatternBytes(8192, 2));
  ASSERT_NE(rom, nullptr);
  ClipForm->RightColor = 3;
  ClipForm->FormActivate();
  EXPECT_EQ(MainForm->ActiveRom, ClipForm);
  EXPECT_EQ(PalForm->TargetSurface, &ClipForm->ArrangerSurface);
  EXPECT_EQ(PalForm->TargetPalette, &ClipForm->ArrangerPalette);
  EXPECT_EQ(PalForm->BitsPerPixel, 4);
  EXPECT_EQ(PalForm->SubPalette, 0);
  EXPECT_EQ(PalForm->RightColor, 3);
  EXPECT_TRUE(PalForm->Shapes[15]->isVisible());
  // Grey is painted over the empty cells: entry 16 stays the palette's, for 8-bit tiles.
  EXPECT_TRUE(ShownEmpty(0, 0));
  const PaletteEntry& sixteen = ClipForm->ArrangerPalette[16];
  EXPECT_EQ(ClipForm->ArrangerSurface.Colors[16],
            (SurfaceColor{sixteen.blue, sixteen.green, sixteen.red, 0}));
}

struct UndoButtonCase {
  const char* name;
  bool cellWindowEdited, activeWindowEdited;
};

class UndoButtonTest : public AppTest, public ::testing::WithParamInterface<UndoButtonCase> {};

// A press on a cell enables the tile editor's undo exactly when the cell's window has
// something to undo, whichever window was active before.
TEST_P(UndoButtonTest, APressOnACellSetsTheUndoButtonFromTheCellsWindow) {
  const UndoButtonCase& c = GetParam();
  TChildForm* cellRom = Open("a.gb", PatternBytes(32768, 1));
  TChildForm* active = Open("b.gb", PatternBytes(32768, 2));
  ASSERT_TRUE(cellRom && active);
  for (auto [rom, edited] :
       {std::pair{cellRom, c.cellWindowEdited}, {active, c.activeWindowEdited}}) {
    MainForm->MdiArea->setActiveSubWindow(rom);
    QTest::mouseClick(rom->View, Qt::LeftButton, {}, QPoint(4, 4));
    if (edited) EditForm->SpeedButton1->click();
  }
  SetCurrentTile(cellRom, 0x150);
  ASSERT_TRUE(DropTileAt(ClipForm, Cell(2, 3)));
  ASSERT_EQ(EditForm->SpeedButton4->isEnabled(), c.activeWindowEdited);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Cell(2, 3));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Cell(2, 3));
  EXPECT_EQ(EditForm->BoundRom, cellRom);
  EXPECT_EQ(EditForm->SpeedButton4->isEnabled(), c.cellWindowEdited);
}

INSTANTIATE_TEST_SUITE_P(Arranger, UndoButtonTest,
                         ::testing::Values(UndoButtonCase{"CellWindowHasEntries", true, false},
                                           UndoButtonCase{"OnlyTheActiveWindowHas", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
