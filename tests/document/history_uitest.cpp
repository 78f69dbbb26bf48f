// One history for every change, on the real windows: each way of writing into an image is one
// step that the Edit menu's undo puts back and its redo writes again, and every window showing
// those bytes draws them anew; Ctrl+Z falls to the history when no drop is ready; the caption's
// mark and Save follow the saved state; the history window lists and moves.
#include <QTest>

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

// A 64 KB image of varied bytes with, at kStreamAt, the LZ77 stream of 2 KB of GBA tiles whose
// first pixel is the odd one out, so drawing colour 2 there makes the stream shorter.
Bytes GbaImage() {
  Bytes tiles(2048);
  for (size_t i = 0; i < tiles.size(); ++i) tiles[i] = (i / 64) % 2 ? 0x11 : 0x12;
  tiles[0] = 0x13;
  Bytes image = PatternBytes(0x10000, 9);
  std::ranges::copy(*CompressGbaFormatGreedy(CompressionFormat::Lz10, tiles),
                    image.begin() + kStreamAt);
  return image;
}

// A key pressed in `window`, which is made the active window first.
void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  Activate(window, ActivationOrder::NewFirst);
  QTest::keyClick(window, key, modifiers);
}

// A double click on a history row as the platform delivers it: click, double-click press, release.
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

// Whatever shows `rom`'s bytes shows them as they are now: decoding its page, the tile editor's
// tile and the arranger's cells again changes none of them.
void ExpectWindowsShowTheBytes(TChildForm* rom, const char* when) {
  const Bytes page = rom->Doc.ViewSurface.Pixels, tile = EditForm->EditSurface.Pixels,
              cells = ClipForm->ArrangerSurface.Pixels;
  rom->Doc.DecodePage();
  EditForm->ReloadBoundTile(rom);
  ClipForm->RedecodeCellsIn(rom, 0, INT64_MAX);
  EXPECT_EQ(rom->Doc.ViewSurface.Pixels, page) << "the page, " << when;
  EXPECT_EQ(EditForm->EditSurface.Pixels, tile) << "the tile editor, " << when;
  EXPECT_EQ(ClipForm->ArrangerSurface.Pixels, cells) << "the arranger, " << when;
}

class HistoryTest : public AppTest {
 public:
  using AppTest::dir;
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
  // Picks tile `index` of `window`'s page and drags `color` with `tool` in the tile editor from
  // (1, 1) through `path`, released at its last point.
  void Drag(TChildForm* window, int index, uint8_t color, std::vector<QPoint> path,
            DrawingTool tool = DrawingTool::Pen) {
    QTest::mouseClick(window->View, Qt::LeftButton, {},
                      QPoint(index * window->Doc.CellWidth + 1, 1));
    EditForm->ToolButtonClick(tool);
    EditForm->LeftColor = color;
    EditForm->FormMouseDown(Qt::LeftButton, 1, 1);
    for (const QPoint& at : path) EditForm->FormMouseMove(at.x(), at.y());
    EditForm->FormMouseUp(Qt::LeftButton, path.back().x(), path.back().y());
  }
  void PenStroke(TChildForm* window, int index) {
    Drag(window, index, 9, {{17, 1}, {65, 1}, {127, 1}});
  }
  // The page's top left 3x2 tiles copied, pasted, moved by that many tiles and committed.
  void PasteAt(int toColumn, int toRow) {
    rom->Doc.SelLeft = rom->Doc.SelTop = 0;
    rom->Doc.SelRight = 3;
    rom->Doc.SelBottom = 2;
    rom->Doc.HasSelection = true;
    Click(rom, rom->Copy1);
    Click(rom, rom->Paste1);
    MovePanel(toColumn, toRow);
    rom->CommitPaste();
  }
  // The pasted panel dragged by that many tiles.
  void MovePanel(int column, int row) {
    const QPoint grab(1, 1), to(1 + column * rom->Doc.CellWidth, 1 + row * rom->Doc.CellHeight);
    QTest::mousePress(rom->PasteImage, Qt::LeftButton, {}, grab);
    QTest::mouseMove(rom->PasteImage, to);
    QTest::mouseRelease(rom->PasteImage, Qt::LeftButton, {}, grab);
  }
  void Drop(int tile) {
    SetCurrentTile(rom, 40 * rom->Doc.TileBytes);
    ASSERT_TRUE(DropTileAt(rom->View, QPoint(tile * rom->Doc.CellWidth + 1, 1)));
  }
  TChildForm* OpenStream() { return rom->OpenStreamWindow(kStreamAt, CompressionFormat::Lz10); }
  // Colour 2 into the stream's first pixel: a change its place has room for.
  void DrawIntoStream(TChildForm* stream) {
    ASSERT_NE(stream, nullptr);
    Drag(stream, 0, 2, {{1, 1}});
  }

  TChildForm* rom = nullptr;
};

// One change: `prepare` runs before it (not part of the step), `change` makes it; its step lands
// in the ROM's history, or with `inStream` in that of the stream window `prepare` opened.
struct ChangeCase {
  const char* name;
  void (*prepare)(HistoryTest&);
  void (*change)(HistoryTest&);
  bool inStream = false;
  friend void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.name; }
};

class HistoryChangeTest : public HistoryTest, public ::testing::WithParamInterface<ChangeCase> {};

const ChangeCase kChanges[] = {
    {"PenStroke", nullptr, [](HistoryTest& t) { t.PenStroke(t.rom, 2); }},
    {"Shape", nullptr,
     [](HistoryTest& t) {
       t.Drag(t.rom, 3, 7, {{60, 60}, {100, 100}}, DrawingTool::FilledRectangle);
     }},
    {"PasteCommit", nullptr, [](HistoryTest& t) { t.PasteAt(5, 3); }},
    {"BitmapImport", nullptr,
     [](HistoryTest& t) {
       PngPicture picture;  // one 8x8 tile
       picture.Palette.assign(16 * 3, 0x40);
       picture.Samples.assign(8 * 8, 6);
       t.rom->ImportBitmap(QString::fromStdString(t.dir.Write("block.png", EncodePng(picture))));
       t.MovePanel(1, 0);
       t.rom->CommitPaste();
     }},
    {"Drop", nullptr, [](HistoryTest& t) { t.Drop(4); }},
    {"DropUndo", [](HistoryTest& t) { t.Drop(4); },
     [](HistoryTest& t) { t.rom->Undodrop1Click(); }},
    {"StreamWriteBack", [](HistoryTest& t) { t.DrawIntoStream(t.OpenStream()); },
     [](HistoryTest&) { EXPECT_TRUE(MainForm->ActiveChild()->SaveDocument()); }},
    {"PenStrokeInAStreamWindow", [](HistoryTest& t) { ASSERT_NE(t.OpenStream(), nullptr); },
     [](HistoryTest& t) { t.PenStroke(MainForm->ActiveChild(), 1); }, true},
    {"TileEditorUndo", [](HistoryTest& t) { t.PenStroke(t.rom, 6); },
     [](HistoryTest&) { EditForm->SpeedButton4Click(); }},
};

TEST_P(HistoryChangeTest, IsOneStepThatUndoPutsBackAndRedoWritesAgain) {
  const ChangeCase& c = GetParam();
  if (c.prepare) c.prepare(*this);
  ASSERT_FALSE(HasFatalFailure());
  TChildForm* window = c.inStream ? MainForm->ActiveChild() : rom;
  const Bytes original = ImageOf(window);
  const size_t steps = window->Doc.History().StepCount();
  c.change(*this);
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

// The Edit menu names the steps; Ctrl+Z is "&Annulla Drop" while a drop is ready and the
// history's undo otherwise, from the ROM window and from the tool windows alike; Ctrl+Y and
// Ctrl+Shift+Z redo; a new change drops what could be redone.
TEST_F(HistoryTest, TheKeysAndTheMenuUndoAndRedoAndANewChangeDropsTheRedo) {
  const Bytes original = ImageOf(rom);
  PasteAt(6, 6);
  const Bytes pasted = ImageOf(rom);
  rom->Edit1Click();
  EXPECT_EQ(rom->UndoHistory1->text(), QStringLiteral("Annulla &modifica: Incolla 3x2 a 0x00D80"));
  EXPECT_FALSE(rom->RedoHistory1->isEnabled());
  PressKey(MainForm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), original);
  rom->Edit1Click();
  EXPECT_EQ(rom->RedoHistory1->text(), QStringLiteral("&Ripeti: Incolla 3x2 a 0x00D80"));
  PressKey(ClipForm, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), pasted) << "Ctrl+Y in the arranger redoes the ROM window's step";
  PressKey(PalForm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), original) << "Ctrl+Z in the palette editor undoes it";
  PressKey(MainForm, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ImageOf(rom), pasted);

  // A ready drop takes Ctrl+Z first; the next Ctrl+Z is the history's again.
  Drop(9);
  const Bytes dropped = ImageOf(rom);
  PressKey(MainForm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), pasted) << "the drop was taken back";
  rom->Edit1Click();
  EXPECT_EQ(rom->UndoHistory1->text(), QStringLiteral("Annulla &modifica: Annulla Drop a 0x001E0"));
  PressKey(MainForm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ImageOf(rom), dropped) << "the history undoes the drop's undo";
  PenStroke(rom, 1);
  rom->Edit1Click();
  EXPECT_FALSE(rom->RedoHistory1->isEnabled()) << "the undone step cannot come back";
}

// The caption's mark shows the unsaved state, which the title is drawn from.
TEST_F(HistoryTest, TheUnsavedMarkAndSaveFollowTheSavedState) {
  const std::string path = rom->Doc.RomPath;
  const QString name = rom->Caption, marked = name + QLatin1Char('*');
  PenStroke(rom, 0);
  EXPECT_EQ(rom->windowTitle(), marked);
  Click(rom, rom->UndoHistory1);
  EXPECT_EQ(rom->windowTitle(), name);
  // Back at the saved state Ctrl+S writes nothing: a file changed meanwhile stays as it is.
  const Bytes elsewhere(0x10000, 0x77);
  dir.Write("game.gba", elsewhere);
  PressKey(MainForm, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadFile(path), elsewhere);
  dir.Write("game.gba", ImageOf(rom));
  rom->Doc.KnownFile = IdentifyFile(path);

  Click(rom, rom->RedoHistory1);
  EXPECT_EQ(rom->windowTitle(), marked);
  PressKey(MainForm, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(rom->windowTitle(), name);
  EXPECT_EQ(ReadFile(path), ImageOf(rom));
  // The history outlives the save: the stroke can still be undone, and that is unsaved.
  Click(rom, rom->UndoHistory1);
  EXPECT_EQ(rom->windowTitle(), marked);
  Click(rom, rom->RedoHistory1);
  EXPECT_EQ(rom->windowTitle(), name);

  // A stream's write-back undone in its ROM leaves the stream window's bytes as they are but
  // marks them unsaved again; the redo puts them back in the ROM.
  TChildForm* stream = OpenStream();
  DrawIntoStream(stream);
  ASSERT_FALSE(HasFatalFailure());
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
  ASSERT_TRUE(form && form->isVisible());
  HistoryListModel* steps = form->Steps;
  ASSERT_EQ(steps->rowCount(), 4);
  EXPECT_EQ(steps->RowText(0), QStringLiteral("» 3. Matita, tile 0x00120"));
  EXPECT_EQ(steps->RowText(2), QStringLiteral("   1. Matita, tile 0x000E0"));
  EXPECT_EQ(steps->RowText(3), QStringLiteral("   Stato all'apertura"));

  Settle();  // the list lays its rows out
  // Two steps back in one move: the page is decoded once.
  const int decodes = rom->DecodeCount;
  DoubleClickRow(form, 2);
  EXPECT_EQ(rom->DecodeCount, decodes + 1);
  EXPECT_EQ(steps->RowText(0), QStringLiteral("   3. Matita, tile 0x00120"));
  EXPECT_EQ(steps->RowText(2), QStringLiteral("» 1. Matita, tile 0x000E0"));
  ExpectWindowsShowTheBytes(rom, "after the move");
  DoubleClickRow(form, 3);
  EXPECT_EQ(ImageOf(rom), original);
  EXPECT_EQ(rom->windowTitle(), rom->Caption) << "back at the saved state";

  // It follows the active window, and says where it starts once old steps were let go.
  TChildForm* other = Open("other.gba", PatternBytes(0x8000, 2));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(steps->rowCount(), 1);
  for (int tile : {1, 2, 3, 4}) PenStroke(other, tile);
  other->Doc.SetHistoryBudget(other->Doc.History().RecordedBytes() / 2);
  // Two strokes of one tile each are half of what the four recorded.
  EXPECT_EQ(steps->RowText(steps->rowCount() - 1),
            QStringLiteral("   Inizio della cronologia: 2 passi più vecchi scartati (l'ultimo: "
                           "Matita, tile 0x00100)"));
  EXPECT_EQ(steps->RowText(0), QStringLiteral("» 4. Matita, tile 0x00140"));
}

}  // namespace
}  // namespace varnock::test
