// One history for every change, on the real windows: each way of writing into an image is one
// step that the Edit menu's undo puts back and its redo writes again, and every window showing
// those bytes draws them anew; Ctrl+Z falls to the history when no drop is ready; the caption's
// mark and Save follow the saved state; the history window lists and moves.
#include <QMdiArea>
#include <QTest>

#include "codec/tile_codec.h"
#include "compression/compression.h"
#include "compression/gba_formats.h"
#include "document/history_form.h"
#include "document/paste_image_widget.h"
#include "palette/pal_form.h"
#include "support/activation.h"
#include "support/app_fixture.h"
#include "support/document_bytes.h"
#include "support/drops.h"
#include "support/png_bytes.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr int32_t kStreamAt = 0x1C40;

// 2 KB of GBA tiles whose LZ77 stream sits at kStreamAt of a 64 KB image of varied bytes; the
// first pixel is the odd one out, so drawing colour 2 there makes the stream shorter.
Bytes StreamTiles() {
  Bytes tiles(2048);
  for (size_t i = 0; i < tiles.size(); ++i) tiles[i] = (i / 64) % 2 ? 0x11 : 0x12;
  tiles[0] = 0x13;
  return tiles;
}

Bytes GbaImage() {
  Bytes image = PatternBytes(0x10000, 9);
  const Bytes stream = *CompressGbaFormatGreedy(CompressionFormat::Lz10, StreamTiles());
  std::ranges::copy(stream, image.begin() + kStreamAt);
  return image;
}

// A key pressed in `window`, which is made the active window first.
void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  Activate(window, ActivationOrder::NewFirst);
  QTest::keyClick(window, key, modifiers);
}

// A double click on a row of the history window, as the platform delivers one: a click, then the
// second press as a double click, then its release.
void DoubleClickRow(THistoryForm* form, int row) {
  QWidget* list = form->StepList->viewport();
  const QPoint at = form->StepList->visualRect(form->Steps->index(row)).center();
  QTest::mouseClick(list, Qt::LeftButton, {}, at);
  QTest::mouseDClick(list, Qt::LeftButton, {}, at);
  QTest::mouseRelease(list, Qt::LeftButton, {}, at);
}

// A menu item as the user reaches it: the menu opens (enabling its items), then the click.
void Click(TChildForm* child, QAction* item) {
  TMainForm::RunThroughMenu([child] { child->Edit1Click(); }, item);
}

// Whatever shows `rom`'s bytes shows them as they are now: its page, the tile editor's tile
// when it is one of them, and the arranger's cells.
void ExpectWindowsShowTheBytes(TChildForm* rom, const char* when) {
  const std::vector<uint8_t> page = rom->Doc.ViewSurface.Pixels;
  rom->Doc.DecodePage();
  EXPECT_EQ(rom->Doc.ViewSurface.Pixels, page) << "the page, " << when;
  if (EditForm->BoundRom == rom && EditForm->BoundTile) {
    TileSurface tile;
    SetUpTileSurface(tile, 1, 1);
    tile.DecodeFormat = EditForm->BoundFormat;
    tile.DecodeBits = EditForm->BoundBitsPerPixel;
    tile.DecodeTileBytes = EditForm->BoundTileBytes;
    DecodeTiles(rom->Doc.BytesFrom(EditForm->BoundOffset), tile);
    EXPECT_TRUE(std::equal(tile.Pixels.begin(), tile.Pixels.begin() + 64,
                           EditForm->EditSurface.Pixels.begin()))
        << "the tile editor, " << when;
  }
  TileSurface cells = ClipForm->ArrangerSurface;
  for (int row = 0; row < kArrangerRows; ++row)
    for (int column = 0; column < kArrangerColumns; ++column)
      if (const ArrangerCell* cell = ClipForm->OccupiedCell(column, row);
          cell && cell->Rom == rom) {
        cells.DecodeColumn = column;
        cells.DecodeRow = row;
        cells.DecodeAcross = cells.DecodeDown = 1;
        cells.DecodeFormat = cell->Format;
        cells.DecodeBits = cell->BitsPerPixel;
        cells.DecodeTileBytes = cell->TileBytes;
        DecodeTiles(rom->Doc.BytesFrom(cell->Offset), cells);
      }
  EXPECT_EQ(cells.Pixels, ClipForm->ArrangerSurface.Pixels) << "the arranger, " << when;
}

class HistoryTest : public AppTest {
 public:
  void SetUp() override {
    AppTest::SetUp();
    rom = Open("game.gba", GbaImage());
    ASSERT_NE(rom, nullptr);
    // The first 24 tiles of the page on the arranger's top row.
    for (int column = 0; column < kArrangerColumns; ++column) {
      SetCurrentTile(rom, column * rom->Doc.TileBytes);
      ClipForm->DropOnCell(column * kArrangerCellPixels + 1, 1);
    }
  }
  // Picks tile `index` of the page and draws a stroke of `color` across its first row.
  void PenStroke(TChildForm* window, int index, uint8_t color = 9) {
    const int cell = window->Doc.CellWidth;
    QTest::mouseClick(window->View, Qt::LeftButton, {}, QPoint(index * cell + 1, 1));
    EditForm->LeftColor = color;
    EditForm->FormMouseDown(Qt::LeftButton, 1, 1);
    for (int x = 17; x < 128; x += 16) EditForm->FormMouseMove(x, 1);
    EditForm->FormMouseUp(Qt::LeftButton, 127, 1);
  }
  void CopyAndPaste(int toColumn, int toRow) {
    rom->Doc.SelLeft = rom->Doc.SelTop = 0;
    rom->Doc.SelRight = 3;
    rom->Doc.SelBottom = 2;
    rom->Doc.HasSelection = true;
    Click(rom, rom->Copy1);
    Click(rom, rom->Paste1);
    MovePanel(toColumn, toRow);
  }
  void MovePanel(int column, int row) {
    const QPoint grab(1, 1);
    const QPoint by(column * rom->Doc.CellWidth, row * rom->Doc.CellHeight);
    QTest::mousePress(rom->PasteImage, Qt::LeftButton, {}, grab);
    QTest::mouseMove(rom->PasteImage, grab + by);
    QTest::mouseRelease(rom->PasteImage, Qt::LeftButton, {}, grab);
  }
  void Drop(int tile) {
    SetCurrentTile(rom, 40 * rom->Doc.TileBytes);
    ASSERT_TRUE(DropTileAt(rom->View, QPoint(tile * rom->Doc.CellWidth + 1, 1)));
  }
  TChildForm* OpenStream() { return rom->OpenStreamWindow(kStreamAt, CompressionFormat::Lz10); }
  // Colour 2 into the stream's first pixel: a change its place has room for.
  void DrawIntoStream(TChildForm* stream) {
    QTest::mouseClick(stream->View, Qt::LeftButton, {}, QPoint(1, 1));
    EditForm->LeftColor = 2;
    EditForm->FormMouseDown(Qt::LeftButton, 1, 1);
    EditForm->FormMouseUp(Qt::LeftButton, 1, 1);
  }
  std::string WriteFile(const std::string& name, const Bytes& bytes) {
    return dir.Write(name, bytes);
  }

  TChildForm* rom = nullptr;
};

// One change: `prepare` runs before it (not part of the step), `change` makes it and returns
// the window whose history holds it.
struct ChangeCase {
  const char* name;
  void (*prepare)(HistoryTest&);
  TChildForm* (*change)(HistoryTest&);
};

void PrintTo(const ChangeCase& c, std::ostream* out) {
  *out << c.name;
}

class HistoryChangeTest : public HistoryTest, public ::testing::WithParamInterface<ChangeCase> {};

const ChangeCase kChanges[] = {
    {"PenStroke", nullptr,
     [](HistoryTest& t) {
       t.PenStroke(t.rom, 2);
       return t.rom;
     }},
    {"Shape", nullptr,
     [](HistoryTest& t) {
       TChildForm* rom = t.rom;
       QTest::mouseClick(rom->View, Qt::LeftButton, {}, QPoint(3 * rom->Doc.CellWidth + 1, 1));
       EditForm->ToolButtonClick(DrawingTool::FilledRectangle);
       EditForm->LeftColor = 7;
       EditForm->FormMouseDown(Qt::LeftButton, 1, 1);
       EditForm->FormMouseMove(60, 60);
       EditForm->FormMouseUp(Qt::LeftButton, 100, 100);
       return rom;
     }},
    {"PasteCommit", nullptr,
     [](HistoryTest& t) {
       t.CopyAndPaste(5, 3);
       t.rom->CommitPaste();
       return t.rom;
     }},
    {"BitmapImport", nullptr,
     [](HistoryTest& t) {
       PngPicture picture;
       picture.Width = 16;
       picture.Palette.assign(16 * 3, 0x40);
       picture.Samples.assign(16 * 8, 6);
       const std::string path = t.WriteFile("block.png", EncodePng(picture));
       TChildForm* rom = t.rom;
       rom->ImportBitmap(QString::fromStdString(path));
       t.MovePanel(1, 0);
       rom->CommitPaste();
       return rom;
     }},
    {"Drop", nullptr,
     [](HistoryTest& t) {
       t.Drop(4);
       return t.rom;
     }},
    {"DropUndo", [](HistoryTest& t) { t.Drop(4); },
     [](HistoryTest& t) {
       t.rom->Undodrop1Click();
       return t.rom;
     }},
    {"StreamWriteBack",
     [](HistoryTest& t) {
       TChildForm* stream = t.OpenStream();
       ASSERT_NE(stream, nullptr);
       t.DrawIntoStream(stream);
     },
     [](HistoryTest& t) {
       TChildForm* stream = MainForm->ActiveChild();
       EXPECT_TRUE(stream->SaveDocument());
       return t.rom;
     }},
    {"PenStrokeInAStreamWindow", [](HistoryTest& t) { ASSERT_NE(t.OpenStream(), nullptr); },
     [](HistoryTest& t) {
       TChildForm* stream = MainForm->ActiveChild();
       t.PenStroke(stream, 1);
       return stream;
     }},
    {"TileEditorUndo", [](HistoryTest& t) { t.PenStroke(t.rom, 6); },
     [](HistoryTest& t) {
       EditForm->SpeedButton4Click();
       return t.rom;
     }},
};

TEST_P(HistoryChangeTest, IsOneStepThatUndoPutsBackAndRedoWritesAgain) {
  const ChangeCase& c = GetParam();
  if (c.prepare) c.prepare(*this);
  ASSERT_FALSE(HasFatalFailure());
  // The window the change lands in is the active one once it is made; its image as it was.
  TChildForm* before = MainForm->ActiveChild();
  const Bytes romBefore = ImageOf(rom);
  const Bytes activeBefore = ImageOf(before);
  const size_t romSteps = rom->Doc.History().StepCount();
  const size_t activeSteps = before->Doc.History().StepCount();
  TChildForm* window = c.change(*this);
  ASSERT_NE(window, nullptr);
  const Bytes original = window == rom ? romBefore : activeBefore;
  const size_t steps = window == rom ? romSteps : activeSteps;
  const Bytes changed = ImageOf(window);
  ASSERT_NE(changed, original) << "the change wrote nothing";
  EXPECT_EQ(window->Doc.History().StepCount(), steps + 1) << "one step";

  Click(window, window->UndoHistory1);
  EXPECT_EQ(ImageOf(window), original);
  ExpectWindowsShowTheBytes(window, "after the undo");
  Click(window, window->RedoHistory1);
  EXPECT_EQ(ImageOf(window), changed);
  ExpectWindowsShowTheBytes(window, "after the redo");
}

INSTANTIATE_TEST_SUITE_P(EveryWayOfWriting, HistoryChangeTest, ::testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HistoryTest, TheMenuNamesTheStepsAndANewChangeDropsTheRedo) {
  CopyAndPaste(0, 8);
  rom->CommitPaste();
  rom->Edit1Click();
  EXPECT_EQ(rom->UndoHistory1->text(), QStringLiteral("Annulla &modifica: Incolla 3x2 a 0x010C0"));
  EXPECT_FALSE(rom->RedoHistory1->isEnabled());
  Click(rom, rom->UndoHistory1);
  rom->Edit1Click();
  EXPECT_EQ(rom->RedoHistory1->text(), QStringLiteral("&Ripeti: Incolla 3x2 a 0x010C0"));
  PenStroke(rom, 1);
  rom->Edit1Click();
  EXPECT_FALSE(rom->RedoHistory1->isEnabled()) << "the undone paste cannot come back";
}

// Ctrl+Z is "&Annulla Drop" while a drop is ready and the history's undo otherwise, from the
// ROM window and from the tool windows alike; Ctrl+Y and Ctrl+Shift+Z redo.
TEST_F(HistoryTest, CtrlZWithNoReadyDropUndoesACommittedPaste) {
  const Bytes original = ImageOf(rom);
  CopyAndPaste(6, 6);
  rom->CommitPaste();
  const Bytes pasted = ImageOf(rom);
  ASSERT_NE(pasted, original);
  ASSERT_FALSE(MainForm->UndoDropReady);
  PressKey(MainForm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), original);
  PressKey(ClipForm, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), pasted) << "Ctrl+Y in the arranger redoes the ROM window's step";
  PressKey(PalForm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), original) << "Ctrl+Z in the palette editor undoes it";
  PressKey(MainForm, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ImageOf(rom), pasted);

  // A ready drop takes Ctrl+Z first; the next Ctrl+Z is the history's again.
  Drop(9);
  const Bytes dropped = ImageOf(rom);
  ASSERT_TRUE(MainForm->UndoDropReady);
  PressKey(MainForm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(MainForm->UndoDropReady);
  EXPECT_EQ(ImageOf(rom), pasted) << "the drop was taken back";
  rom->Edit1Click();
  EXPECT_EQ(rom->UndoHistory1->text(), QStringLiteral("Annulla &modifica: Annulla Drop a 0x001E0"));
  PressKey(MainForm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), dropped) << "the history undoes the drop's undo";
}

TEST_F(HistoryTest, TheUnsavedMarkAndSaveFollowTheSavedState) {
  const std::string path = rom->Doc.RomPath;
  const QString name = rom->Caption;
  PenStroke(rom, 0);
  EXPECT_TRUE(rom->Doc.Modified);
  EXPECT_EQ(rom->windowTitle(), name + QLatin1Char('*'));
  Click(rom, rom->UndoHistory1);
  EXPECT_FALSE(rom->Doc.Modified);
  EXPECT_EQ(rom->windowTitle(), name);
  // Back at the saved state Ctrl+S writes nothing: a file changed meanwhile stays as it is.
  const Bytes elsewhere(0x10000, 0x77);
  dir.Write("game.gba", elsewhere);
  PressKey(MainForm, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadFile(path), elsewhere);
  dir.Write("game.gba", ImageOf(rom));
  rom->Doc.KnownFile = IdentifyFile(path);

  Click(rom, rom->RedoHistory1);
  EXPECT_EQ(rom->windowTitle(), name + QLatin1Char('*'));
  PressKey(MainForm, Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(rom->Doc.Modified);
  const Bytes saved = ReadFile(path);
  EXPECT_EQ(saved, ImageOf(rom));
  // The history outlives the save: the stroke can still be undone, and that is unsaved.
  Click(rom, rom->UndoHistory1);
  EXPECT_TRUE(rom->Doc.Modified);
  EXPECT_EQ(rom->windowTitle(), name + QLatin1Char('*'));
  Click(rom, rom->RedoHistory1);
  EXPECT_FALSE(rom->Doc.Modified);
}

// Undoing a stream's write-back in its ROM leaves the stream window's bytes as they are but
// marks them unsaved again; the redo puts them back in the ROM.
TEST_F(HistoryTest, AStreamWindowsMarkFollowsItsWriteBackInTheRom) {
  TChildForm* stream = OpenStream();
  ASSERT_NE(stream, nullptr);
  DrawIntoStream(stream);
  const Bytes edited = ImageOf(stream);
  ASSERT_TRUE(stream->SaveDocument());
  ASSERT_FALSE(stream->Doc.Modified);
  Click(rom, rom->UndoHistory1);
  EXPECT_TRUE(stream->Doc.Modified);
  EXPECT_EQ(ImageOf(stream), edited);
  Click(rom, rom->RedoHistory1);
  EXPECT_FALSE(stream->Doc.Modified);
}

TEST_F(HistoryTest, TheHistoryWindowListsNewestFirstAndADoubleClickGoesThere) {
  const Bytes original = ImageOf(rom);
  for (int tile : {1, 2, 3}) PenStroke(rom, tile);
  Click(rom, rom->History1);
  THistoryForm* form = MainForm->HistoryForm;
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(form->isVisible());
  HistoryListModel* steps = form->Steps;
  ASSERT_EQ(steps->rowCount(), 4);
  EXPECT_EQ(steps->RowText(0), QStringLiteral("» 3. Matita, tile 0x00120"));
  EXPECT_EQ(steps->RowText(2), QStringLiteral("   1. Matita, tile 0x000E0"));
  EXPECT_EQ(steps->RowText(3), QStringLiteral("   Stato all'apertura"));

  Settle();  // the list lays its rows out
  // Two steps back in one move: the page is decoded once.
  const int decodes = rom->DecodeCount;
  DoubleClickRow(form, 2);
  EXPECT_EQ(rom->Doc.History().Position(), 1u);
  EXPECT_EQ(rom->DecodeCount, decodes + 1);
  EXPECT_EQ(form->CurrentRow(), 2);
  EXPECT_EQ(steps->RowText(0), QStringLiteral("   3. Matita, tile 0x00120"));
  EXPECT_EQ(steps->RowText(2), QStringLiteral("» 1. Matita, tile 0x000E0"));
  ExpectWindowsShowTheBytes(rom, "after the move");
  DoubleClickRow(form, 3);
  EXPECT_EQ(ImageOf(rom), original);
  EXPECT_FALSE(rom->Doc.Modified);

  // It follows the active window, and says where it starts once old steps were let go.
  TChildForm* other = Open("other.gba", PatternBytes(0x8000, 2));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(form->Rom, other);
  EXPECT_EQ(steps->rowCount(), 1);
  for (int tile : {1, 2, 3, 4}) PenStroke(other, tile);
  other->Doc.SetHistoryBudget(other->Doc.History().RecordedBytes() / 2);
  const int64_t dropped = other->Doc.History().DroppedSteps();
  ASSERT_GT(dropped, 0);
  EXPECT_EQ(steps->RowText(steps->rowCount() - 1),
            QStringLiteral("   Inizio della cronologia: %1 passi più vecchi scartati (l'ultimo: "
                           "Matita, tile 0x%2)")
                .arg(dropped)
                .arg(QString::number(0xC0 + 0x20 * dropped, 16)
                         .toUpper()
                         .rightJustified(5, QLatin1Char('0'))));
  EXPECT_EQ(steps->RowText(0), QStringLiteral("» 4. Matita, tile 0x00140"));
}

}  // namespace
}  // namespace varnock::test
