// The tile editor on the real windows: the pen, flips, rotation and shifts written back into
// the ROM image, the per-window undo stack, and how binding follows picks, activation and
// closing.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "codec/tile_codec.h"
#include "palette/pal_form.h"
#include "support/app_fixture.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

void MoveTo(QWidget* widget, QPoint at, Qt::MouseButtons held) {
  QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
                   held, Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

std::vector<uint8_t> Bytes(const TChildForm* child, int32_t offset, int32_t count) {
  return {child->Doc.RomData + offset, child->Doc.RomData + offset + count};
}

std::vector<uint8_t> EditPixels() {
  return EditForm->EditSurface.Pixels;
}

// The pixels of grid cell (column, row) of a surface, row by row.
std::vector<uint8_t> CellPixels(const TileSurface& surface, int column, int row) {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      pixels.push_back(surface.Pixels[(row * 8 + y) * surface.Width() + column * 8 + x]);
  return pixels;
}

// What the encoder makes of 64 pixels in `format`.
std::vector<uint8_t> Encoded(const std::vector<uint8_t>& pixels, TileFormat format) {
  TileSurface surface;
  SetUpTileSurface(surface, 1, 1);
  std::copy(pixels.begin(), pixels.end(), surface.Pixels.begin());
  surface.EncodeFormat = format;
  surface.EncodeBits = TileFormatInfo(format).BitsPerPixel;
  surface.EncodeTileBytes = surface.EncodeBits * 8;
  std::vector<uint8_t> bytes(static_cast<size_t>(surface.EncodeTileBytes), 0);
  EncodeTiles(surface, bytes);
  return bytes;
}

class EditorTest : public AppTest {
 protected:
  // Opens a Game Boy image of varied bytes and picks the tile in grid cell (column, row).
  TChildForm* OpenAndPick(int column = 1, int row = 1, int size = 65536,
                          const char* name = "game.gb") {
    TChildForm* child = Open(name, PatternBytes(static_cast<size_t>(size), 11));
    if (!child) return nullptr;
    Pick(child, column, row);
    return child;
  }
  void Pick(TChildForm* child, int column, int row) {
    const int cell = child->Doc.CellWidth;
    QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(column * cell + 1, row * cell + 1));
  }
  // One pen stroke: press at `from`, moves through `path`, release. (QTest takes the point
  // (0, 0) for the widget's centre, so strokes start at (1, 1) instead.)
  void Stroke(Qt::MouseButton button, QPoint from, std::initializer_list<QPoint> path = {}) {
    QTest::mousePress(EditForm, button, {}, from);
    QPoint last = from;
    for (QPoint at : path) MoveTo(EditForm, last = at, button);
    QTest::mouseRelease(EditForm, button, {}, last);
  }
};

TEST_F(EditorTest, ThePenDrawsWithTheButtonsColourAndClampsMovesToTheEdges) {
  TChildForm* child = OpenAndPick();
  ASSERT_NE(child, nullptr);
  EditForm->LeftColor = 3;
  EditForm->RightColor = 2;
  std::vector<uint8_t> expected = EditPixels();
  QTest::mousePress(EditForm, Qt::LeftButton, {}, QPoint(127, 127));
  expected[7 * 8 + 7] = 3;
  EXPECT_EQ(EditPixels(), expected);
  EXPECT_TRUE(EditForm->Drawing);
  MoveTo(EditForm, QPoint(300, -5), Qt::LeftButton);
  expected[0 * 8 + 7] = 3;
  EXPECT_EQ(EditPixels(), expected);
  EXPECT_EQ(child->Doc.UndoCount, 0) << "nothing is written back before the release";
  QTest::mouseRelease(EditForm, Qt::LeftButton, {}, QPoint(300, -5));
  EXPECT_FALSE(EditForm->Drawing);
  Stroke(Qt::RightButton, QPoint(1, 1), {QPoint(-40, 20)});
  expected[0] = expected[1 * 8 + 0] = 2;
  EXPECT_EQ(EditPixels(), expected);
  EXPECT_EQ(child->Doc.UndoCount, 2) << "one entry per stroke";
  EXPECT_TRUE(EditForm->SpeedButton4->isEnabled());
  EXPECT_TRUE(child->Doc.Modified);
  EXPECT_EQ(Bytes(child, EditForm->BoundOffset, 16), Encoded(expected, 2));
  // A press on the tool panel between the buttons is no pen press.
  QTest::mouseClick(EditForm->ToolPanel, Qt::LeftButton, {}, QPoint(5, 100));
  EXPECT_EQ(child->Doc.UndoCount, 2);
}

class FormatStrokeTest : public EditorTest, public ::testing::WithParamInterface<TileFormat> {};

TEST_P(FormatStrokeTest, AStrokeWritesWhatTheEncoderMakesOfTheShownPixels) {
  const TileFormat format = GetParam();
  TChildForm* child = Open("game.bin", PatternBytes(65536, 21 + format));
  ASSERT_NE(child, nullptr);
  child->Genesis1Click(child->FormatItems[format]);
  Pick(child, 2, 1);
  const int32_t offset = EditForm->BoundOffset;
  const int32_t tileBytes = child->Doc.TileBytes;
  const std::vector<uint8_t> around = Bytes(child, offset - tileBytes, tileBytes);
  const std::vector<uint8_t> after = Bytes(child, offset + tileBytes, tileBytes);
  const uint8_t top = static_cast<uint8_t>((1 << child->Doc.BitsPerPixel) - 1);
  EditForm->LeftColor = top;
  EditForm->RightColor = 1;
  std::vector<uint8_t> expected = EditPixels();
  // Only the pixels under the press and the reported moves change.
  Stroke(Qt::LeftButton, QPoint(5, 5), {QPoint(40, 5), QPoint(40, 60)});
  expected[0] = expected[2] = expected[3 * 8 + 2] = top;
  Stroke(Qt::MiddleButton, QPoint(120, 120));
  expected[63] = 1;
  EXPECT_EQ(Bytes(child, offset, tileBytes), Encoded(expected, format));
  EXPECT_EQ(Bytes(child, offset - tileBytes, tileBytes), around) << "the tile before is untouched";
  EXPECT_EQ(Bytes(child, offset + tileBytes, tileBytes), after) << "the tile after is untouched";
  EXPECT_EQ(CellPixels(child->Doc.ViewSurface, 2, 1), expected) << "the view shows the edit";
  const SurfaceColor shown = child->Doc.ViewSurface.Colors[top];
  EXPECT_EQ(child->ViewBitmap.pixel(2 * 24 + 1, 24 + 1) & 0xFFFFFF,
            qRgb(shown.red, shown.green, shown.blue) & 0xFFFFFF);
}

INSTANTIATE_TEST_SUITE_P(Editor, FormatStrokeTest,
                         ::testing::Range<TileFormat>(0, kFixedTileFormatCount),
                         [](const auto& info) { return std::to_string(info.param); });

struct TransformCase {
  const char* name;
  std::function<void()> action;
  int times;
};

class TransformRestoreTest : public EditorTest,
                             public ::testing::WithParamInterface<TransformCase> {};

TEST_P(TransformRestoreTest, ACycleRestoresTheTileAndEveryStepIsAnUndoEntry) {
  const TransformCase& c = GetParam();
  TChildForm* child = OpenAndPick();
  ASSERT_NE(child, nullptr);
  const std::vector<uint8_t> pixels = EditPixels();
  const std::vector<uint8_t> bytes = Bytes(child, EditForm->BoundOffset, 16);
  c.action();
  EXPECT_NE(EditPixels(), pixels);
  EXPECT_EQ(Bytes(child, EditForm->BoundOffset, 16), Encoded(EditPixels(), 2));
  for (int i = 1; i < c.times; ++i) c.action();
  EXPECT_EQ(EditPixels(), pixels);
  EXPECT_EQ(Bytes(child, EditForm->BoundOffset, 16), bytes);
  EXPECT_EQ(child->Doc.UndoCount, c.times);
}

INSTANTIATE_TEST_SUITE_P(
    Editor, TransformRestoreTest,
    ::testing::Values(
        TransformCase{"flip_horizontally", [] { EditForm->SpeedButton1->click(); }, 2},
        TransformCase{"flip_vertically", [] { EditForm->SpeedButton2->click(); }, 2},
        TransformCase{"rotate", [] { EditForm->SpeedButton3->click(); }, 4},
        TransformCase{"shift_left",
                      [] { QTest::keyClick(EditForm, Qt::Key_Left, Qt::ShiftModifier); }, 8},
        TransformCase{"shift_right",
                      [] {
                        QTest::keyClick(EditForm, Qt::Key_Right,
                                        Qt::ShiftModifier | Qt::ControlModifier);
                      },
                      8},
        TransformCase{"shift_up", [] { EditForm->FormKeyDown(Qt::Key_Up, Qt::ShiftModifier); }, 8},
        TransformCase{"shift_down", [] { EditForm->FormKeyDown(Qt::Key_Down, Qt::ShiftModifier); },
                      8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, KeysWithoutShiftAndOtherKeysDoNothing) {
  TChildForm* child = OpenAndPick();
  ASSERT_NE(child, nullptr);
  const std::vector<uint8_t> pixels = EditPixels();
  const std::pair<int, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Left, Qt::NoModifier},
                                                        {Qt::Key_Down, Qt::ControlModifier},
                                                        {Qt::Key_A, Qt::ShiftModifier},
                                                        {Qt::Key_Home, Qt::ShiftModifier}};
  for (const auto& [key, modifiers] : keys) QTest::keyClick(EditForm, Qt::Key(key), modifiers);
  EXPECT_EQ(EditPixels(), pixels);
  EXPECT_EQ(child->Doc.UndoCount, 0);
  EXPECT_FALSE(child->Doc.Modified);
}

TEST_F(EditorTest, SixtyFourUndosOfSeventyEditsRestoreTheBytesBeforeTheSeventh) {
  TChildForm* child = OpenAndPick();
  ASSERT_NE(child, nullptr);
  std::vector<uint8_t> beforeSeventh;
  for (int edit = 1; edit <= 70; ++edit) {
    if (edit == 7) beforeSeventh = Bytes(child, 0, child->Doc.RomSize);
    EditForm->LeftColor = static_cast<uint8_t>(edit % 4);
    Stroke(Qt::LeftButton, QPoint((edit % 8) * 16, (edit / 8 % 8) * 16));
  }
  EXPECT_EQ(child->Doc.UndoCount, 64);
  for (int undo = 0; undo < 64; ++undo) {
    ASSERT_TRUE(EditForm->SpeedButton4->isEnabled()) << undo;
    EditForm->SpeedButton4->click();
  }
  EXPECT_EQ(Bytes(child, 0, child->Doc.RomSize), beforeSeventh);
  EXPECT_FALSE(EditForm->SpeedButton4->isEnabled());
  EXPECT_TRUE(child->Doc.Modified) << "undo restores bytes only";
  TileSurface shown;
  SetUpTileSurface(shown, 1, 1);
  shown.DecodeFormat = 2;
  shown.DecodeTileBytes = 16;
  DecodeTiles(child->Doc.BytesFrom(EditForm->BoundOffset), shown);
  EXPECT_EQ(EditPixels(), shown.Pixels) << "the editor shows its restored tile";
}

// Three arranger cells that refer to the tile at `offset`, showing blank pixels.
void PlaceInArranger(TChildForm* child, int32_t offset, std::initializer_list<QPoint> cells) {
  for (QPoint at : cells) {
    ArrangerCell& cell = ClipForm->Cells[at.y()][at.x()];
    cell = {child,  child->Doc.RomData + offset, child->Doc.Format,
            offset, child->Doc.BitsPerPixel,     child->Doc.TileBytes};
    FillSurfaceTile(ClipForm->ArrangerSurface, at.x(), at.y(), 0);
  }
}

TEST_F(EditorTest, AnEditShowsInEveryArrangerCellOfTheSameTile) {
  TChildForm* child = OpenAndPick(3, 2);
  ASSERT_NE(child, nullptr);
  PlaceInArranger(child, EditForm->BoundOffset, {{0, 0}, {5, 3}, {23, 15}});
  PlaceInArranger(child, EditForm->BoundOffset + 16, {{1, 0}});
  EditForm->LeftColor = 3;
  Stroke(Qt::LeftButton, QPoint(50, 50));
  for (QPoint at : {QPoint(0, 0), QPoint(5, 3), QPoint(23, 15)})
    EXPECT_EQ(CellPixels(ClipForm->ArrangerSurface, at.x(), at.y()), EditPixels()) << at.x();
  EXPECT_EQ(CellPixels(ClipForm->ArrangerSurface, 1, 0), std::vector<uint8_t>(64, 0))
      << "a cell of another tile keeps its pixels";
}

TEST_F(EditorTest, UndoingAnotherTileRestoresViewAndArrangerWhileTheEditorKeepsItsTile) {
  TChildForm* child = OpenAndPick(0, 0);
  ASSERT_NE(child, nullptr);
  const int32_t first = EditForm->BoundOffset;
  const std::vector<uint8_t> firstBytes = Bytes(child, first, 16);
  const std::vector<uint8_t> firstPixels = CellPixels(child->Doc.ViewSurface, 0, 0);
  PlaceInArranger(child, first, {{2, 2}});
  EditForm->LeftColor = 3;
  EditForm->RightColor = 3;
  Stroke(Qt::LeftButton, QPoint(1, 1), {QPoint(127, 0)});
  Pick(child, 4, 0);
  Stroke(Qt::LeftButton, QPoint(1, 127), {QPoint(127, 127)});
  EditForm->SpeedButton4->click();  // the second tile's stroke
  const std::vector<uint8_t> secondShown = EditPixels();
  EditForm->SpeedButton4->click();  // the first tile's stroke
  EXPECT_EQ(Bytes(child, first, 16), firstBytes);
  EXPECT_EQ(CellPixels(child->Doc.ViewSurface, 0, 0), firstPixels) << "the view was refreshed";
  EXPECT_EQ(CellPixels(ClipForm->ArrangerSurface, 2, 2), firstPixels) << "the arranger too";
  EXPECT_EQ(EditPixels(), secondShown) << "the editor keeps showing its own tile";
  EXPECT_EQ(EditForm->BoundOffset, child->Doc.ViewOffset + 4 * 16);
  EXPECT_FALSE(EditForm->SpeedButton4->isEnabled());
}

TEST_F(EditorTest, ThePageIsRefreshedOnlyWhenTheTileIsOnIt) {
  TChildForm* child = OpenAndPick(0, 0);
  ASSERT_NE(child, nullptr);
  int decodes = child->DecodeCount;
  EditForm->SpeedButton1->click();
  EXPECT_EQ(child->DecodeCount, decodes + 1);
  child->MoveViewTo(child->Doc.ViewOffset + child->Doc.PageBytes);
  decodes = child->DecodeCount;
  EditForm->SpeedButton1->click();
  EditForm->SpeedButton4->click();
  EXPECT_EQ(child->DecodeCount, decodes) << "the tile is off the shown page";
  EXPECT_EQ(child->Doc.UndoCount, 1);
}

TEST_F(EditorTest, APartialLastTileIsEditedAndUndoneOnlyInsideTheImage) {
  // 1000 bytes of Game Boy tiles: the tile at 992 has its first 8 bytes (rows 0..3) only.
  TChildForm* child = Open("short.gb", PatternBytes(1000, 4));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(0);
  const int32_t offset = 992;
  const int column = (offset - child->Doc.ViewOffset) / 16 % 16;
  const int row = (offset - child->Doc.ViewOffset) / 16 / 16;
  Pick(child, column, row);
  ASSERT_EQ(EditForm->BoundOffset, offset);
  const std::vector<uint8_t> before = Bytes(child, offset, 8);
  EditForm->LeftColor = 3;
  std::vector<uint8_t> expected = EditPixels();
  Stroke(Qt::LeftButton, QPoint(1, 1), {QPoint(0, 50), QPoint(0, 127)});
  expected[0] = expected[3 * 8] = expected[7 * 8] = 3;
  const std::vector<uint8_t> encoded = Encoded(expected, 2);
  EXPECT_EQ(Bytes(child, offset, 8), std::vector<uint8_t>(encoded.begin(), encoded.begin() + 8));
  EXPECT_EQ(child->Doc.UndoStack[0].Length, 8);
  EditForm->SpeedButton4->click();
  EXPECT_EQ(Bytes(child, offset, 8), before);
}

TEST_F(EditorTest, WithoutABoundTileEveryInputIsIgnored) {
  TChildForm* child = Open("game.gb", PatternBytes(65536, 2));
  ASSERT_NE(child, nullptr);
  const std::vector<uint8_t> image = Bytes(child, 0, child->Doc.RomSize);
  Stroke(Qt::LeftButton, QPoint(10, 10), {QPoint(90, 90)});
  EditForm->SpeedButton1->click();
  EditForm->SpeedButton3->click();
  QTest::keyClick(EditForm, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(EditPixels(), std::vector<uint8_t>(64, 0));
  EXPECT_EQ(Bytes(child, 0, child->Doc.RomSize), image);
  EXPECT_EQ(child->Doc.UndoCount, 0);
  EXPECT_FALSE(child->Doc.Modified);
}

TEST_F(EditorTest, ActivatingAWindowWithoutAPickLetsGoOfTheTileSoNothingIsWrittenBlind) {
  TChildForm* first = OpenAndPick();
  ASSERT_NE(first, nullptr);
  const std::vector<uint8_t> image = Bytes(first, 0, first->Doc.RomSize);
  TChildForm* second = Open("other.gb", PatternBytes(4096, 3));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(EditForm->BoundTile, nullptr);
  EXPECT_EQ(EditPixels(), std::vector<uint8_t>(64, 0));
  EditForm->LeftColor = 3;
  Stroke(Qt::LeftButton, QPoint(10, 10));
  EditForm->SpeedButton2->click();
  EXPECT_EQ(Bytes(first, 0, first->Doc.RomSize), image);
  EXPECT_FALSE(first->Doc.Modified);
  EXPECT_EQ(second->Doc.UndoCount, 0);
  EXPECT_FALSE(second->Doc.Modified);
}

TEST_F(EditorTest, ActivationReloadsTheWindowsPickedTileAndItsUndoButton) {
  TChildForm* first = OpenAndPick(2, 3);
  ASSERT_NE(first, nullptr);
  EditForm->LeftColor = 3;
  Stroke(Qt::LeftButton, QPoint(64, 64));
  const std::vector<uint8_t> edited = EditPixels();
  TChildForm* second = OpenAndPick(5, 5, 4096, "other.gb");
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(EditForm->SpeedButton4->isEnabled());
  EXPECT_EQ(EditForm->BoundRom, second);
  MainForm->MdiArea->setActiveSubWindow(first);
  EXPECT_EQ(EditForm->BoundRom, first);
  EXPECT_EQ(EditForm->BoundOffset, first->Doc.EditTileOffset);
  EXPECT_EQ(EditPixels(), edited) << "decoded again from the image";
  EXPECT_TRUE(EditForm->SpeedButton4->isEnabled());
  EditForm->SpeedButton4->click();
  EXPECT_EQ(first->Doc.UndoCount, 0);
}

TEST_F(EditorTest, UndoAfterTheBoundWindowClosedDoesNothingAndTheButtonFollows) {
  TChildForm* first = OpenAndPick();
  ASSERT_NE(first, nullptr);
  TChildForm* second = Open("other.gb", PatternBytes(4096, 3));
  ASSERT_NE(second, nullptr);
  MainForm->MdiArea->setActiveSubWindow(first);
  EditForm->SpeedButton1->click();
  ASSERT_TRUE(EditForm->SpeedButton4->isEnabled());
  prompts.Answers.push_back(PromptAnswer::No);
  first->close();
  QApplication::processEvents();
  EXPECT_EQ(EditForm->BoundTile, nullptr);
  EXPECT_FALSE(EditForm->SpeedButton4->isEnabled());
  EditForm->UndoTileEdit();
  EditForm->WriteBackTile();
  EXPECT_EQ(second->Doc.UndoCount, 0);
  EXPECT_FALSE(second->Doc.Modified);
}

TEST_F(EditorTest, ThePaletteEditorsPicksReachThePenThroughActivation) {
  TChildForm* child = OpenAndPick();
  ASSERT_NE(child, nullptr);
  PalForm->LeftColor = 2;
  PalForm->RightColor = 3;
  PalForm->FormDeactivate();
  EditForm->FormActivate();
  EXPECT_EQ(EditForm->LeftColor, 2);
  EXPECT_EQ(EditForm->RightColor, 3);
  std::vector<uint8_t> expected = EditPixels();
  Stroke(Qt::LeftButton, QPoint(1, 1));
  Stroke(Qt::RightButton, QPoint(16, 1));
  expected[0] = 2;
  expected[1] = 3;
  EXPECT_EQ(EditPixels(), expected);

  // Serving the arranger, its own picks count.
  ClipForm->LeftColor = 1;
  ClipForm->RightColor = 0;
  MainForm->ActiveRom = ClipForm;
  EditForm->FormActivate();
  EXPECT_EQ(EditForm->LeftColor, 1);
  EXPECT_EQ(EditForm->RightColor, 0);
  // Serving nothing changes nothing.
  MainForm->ActiveRom = nullptr;
  EditForm->LeftColor = 3;
  EditForm->FormActivate();
  EXPECT_EQ(EditForm->LeftColor, 3);
}

}  // namespace
}  // namespace varnock::test
