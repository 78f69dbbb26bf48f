// Tiles dropped into ROM windows with real drop events, and "&Annulla Drop".
#include <QMdiArea>
#include <QTest>

#include "codec/tile_codec.h"
#include "support/app_fixture.h"
#include "support/drops.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using TileDrop = AppTest;

// Zoom 3: a view cell is 24 pixels; this point lies on column `c`, row `r`.
QPoint CellPoint(int c, int r) {
  return {c * 24 + 5, r * 24 + 20};
}

void UndoDrop(TChildForm* from) {
  TMainForm::RunThroughMenu([from] { from->Edit1Click(); }, from->Undodrop1);
}

// What `bytes` of a tile in format `from` become in format `to`, through their pixels.
std::vector<uint8_t> Reencoded(const uint8_t* bytes, TileFormat from, TileFormat to) {
  TileSurface tile;
  SetUpTileSurface(tile, 1, 1);
  tile.DecodeFormat = from;
  tile.DecodeTileBytes = TileFormatInfo(from).TileBytes;
  DecodeTiles({bytes, static_cast<size_t>(tile.DecodeTileBytes)}, tile);
  tile.EncodeFormat = to;
  tile.EncodeTileBytes = TileFormatInfo(to).TileBytes;
  std::vector<uint8_t> out(static_cast<size_t>(tile.EncodeTileBytes));
  EncodeTiles(tile, out);
  return out;
}

TEST_F(TileDrop, FourBitTileIntoTwoBitWindowWritesSixteenBytesAndUndoRestoresThem) {
  TChildForm* snes = Open("a.smc", PatternBytes(8192, 1));
  TChildForm* nes = Open("b.nes", PatternBytes(8192, 2));
  ASSERT_TRUE(snes && nes);
  ASSERT_EQ(nes->Doc.ViewOffset, 16);
  const std::vector<uint8_t> snesBefore = ImageOf(snes), nesBefore = ImageOf(nes);
  SetCurrentTile(snes, 512 + 32);
  const int decodes = nes->DecodeCount;

  ASSERT_TRUE(DropTileAt(nes->View, CellPoint(1, 1)));
  const int32_t at = 16 + 16 + 16 * 16;  // view offset, one tile, one row of sixteen
  std::vector<uint8_t> expected = nesBefore;
  const std::vector<uint8_t> tile = Reencoded(snes->Doc.RomData + 512 + 32, 6, 1);
  std::copy(tile.begin(), tile.end(), expected.begin() + at);
  EXPECT_EQ(ImageOf(nes), expected);
  EXPECT_NE(expected, nesBefore) << "the pattern tile must differ from what it overwrote";
  EXPECT_TRUE(nes->Doc.Modified);
  EXPECT_GT(nes->DecodeCount, decodes) << "the page is refreshed";
  EXPECT_EQ(ImageOf(snes), snesBefore);

  UndoDrop(nes);
  EXPECT_EQ(ImageOf(nes), nesBefore);
  EXPECT_TRUE(nes->Doc.Modified) << "undo leaves the window modified";
  EXPECT_FALSE(MainForm->UndoDropReady);
}

TEST_F(TileDrop, UndoFromAnotherWindowRedrawsTheWindowDroppedOn) {
  TChildForm* source = Open("a.bin", PatternBytes(8192, 3));
  TChildForm* target = Open("b.bin", std::vector<uint8_t>(8192, 0));
  ASSERT_TRUE(source && target);
  const QImage shown = target->ViewBitmap.copy();
  SetCurrentTile(source, 40);
  ASSERT_TRUE(DropTileAt(target->View, CellPoint(2, 0)));
  ASSERT_NE(target->ViewBitmap, shown);

  MainForm->MdiArea->setActiveSubWindow(source);
  const int targetDecodes = target->DecodeCount;
  UndoDrop(source);
  EXPECT_GT(target->DecodeCount, targetDecodes);
  EXPECT_EQ(target->ViewBitmap, shown);
  EXPECT_EQ(ImageOf(target), std::vector<uint8_t>(8192, 0));
}

TEST_F(TileDrop, AtTheImageEndOnlyTheBytesInsideAreWrittenAndRestored) {
  // 56 bytes of 2 bits per pixel: three whole tiles and half of a fourth, all on one page.
  TChildForm* source = Open("a.nes", std::vector<uint8_t>(64, 0xFF));
  TChildForm* target = Open("b.nes", PatternBytes(56, 4));
  ASSERT_TRUE(source && target);
  const std::vector<uint8_t> before = ImageOf(target);
  SetCurrentTile(source, 16);

  EXPECT_TRUE(DropTileAt(target->View, CellPoint(4, 0)));
  EXPECT_EQ(ImageOf(target), before) << "a tile past the last byte is not written";
  EXPECT_FALSE(MainForm->UndoDropReady);
  EXPECT_FALSE(target->Doc.Modified);

  ASSERT_TRUE(DropTileAt(target->View, CellPoint(3, 0)));
  std::vector<uint8_t> expected = before;
  std::fill(expected.begin() + 48, expected.end(), 0xFF);
  EXPECT_EQ(ImageOf(target), expected);
  EXPECT_EQ(MainForm->UndoDropLength, 8);
  UndoDrop(target);
  EXPECT_EQ(ImageOf(target), before);
}

TEST_F(TileDrop, DroppingATileOnItsOwnPlaceReencodesItAndMarksTheWindow) {
  TChildForm* rom = Open("a.nes", PatternBytes(8192, 5));
  ASSERT_NE(rom, nullptr);
  const std::vector<uint8_t> before = ImageOf(rom);
  SetCurrentTile(rom, 16 + 16);
  ASSERT_TRUE(DropTileAt(rom->View, CellPoint(1, 0)));
  EXPECT_EQ(ImageOf(rom), before);
  EXPECT_TRUE(rom->Doc.Modified);
  EXPECT_TRUE(MainForm->UndoDropReady);
}

TEST_F(TileDrop, APickInAnyViewAfterADropDisablesAnnullaDrop) {
  TChildForm* source = Open("a.bin", PatternBytes(8192, 13));
  TChildForm* target = Open("b.bin", PatternBytes(8192, 14));
  ASSERT_TRUE(source && target);
  SetCurrentTile(source, 16);
  ASSERT_TRUE(DropTileAt(target->View, CellPoint(0, 0)));
  target->Edit1Click();
  ASSERT_TRUE(target->Undodrop1->isEnabled());
  QTest::mouseClick(source->View, Qt::LeftButton, {}, CellPoint(3, 3));
  target->Edit1Click();
  EXPECT_FALSE(target->Undodrop1->isEnabled());
  const std::vector<uint8_t> dropped = ImageOf(target);
  UndoDrop(target);
  EXPECT_EQ(ImageOf(target), dropped);
}

// The 8 x 8 pixels of tile cell (c, r) of `surface`.
std::vector<uint8_t> CellPixels(const TileSurface& surface, int c, int r) {
  std::vector<uint8_t> out;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      out.push_back(surface.Pixels[static_cast<size_t>((r * 8 + y) * surface.Width() + c * 8 + x)]);
  return out;
}

TEST_F(TileDrop, TheTileEditorShowsWhatADropAndItsUndoLeaveInItsTile) {
  TChildForm* source = Open("a.nes", PatternBytes(8192, 21));
  TChildForm* target = Open("b.nes", PatternBytes(8192, 22));
  ASSERT_TRUE(source && target);
  QTest::mouseClick(target->View, Qt::LeftButton, {}, CellPoint(2, 1));
  const std::vector<uint8_t> picked = CellPixels(EditForm->EditSurface, 0, 0);
  SetCurrentTile(source, 16 + 5 * 16);
  ASSERT_TRUE(DropTileAt(target->View, CellPoint(2, 1)));
  const std::vector<uint8_t> dropped = CellPixels(target->Doc.ViewSurface, 2, 1);
  ASSERT_NE(dropped, picked) << "the pattern tiles must differ";
  // A stroke now must not write the picked tile's old pixels back over the dropped ones.
  EXPECT_EQ(CellPixels(EditForm->EditSurface, 0, 0), dropped);
  UndoDrop(target);
  EXPECT_EQ(CellPixels(EditForm->EditSurface, 0, 0), picked);
}

struct ClosedCase {
  const char* name;
  bool closeSource;  // else the window dropped on closes after the drop
};

void PrintTo(const ClosedCase& c, std::ostream* out) {
  *out << c.name;
}

class ClosedWindowTest : public AppTest, public ::testing::WithParamInterface<ClosedCase> {};

TEST_P(ClosedWindowTest, AClosedWindowIsNeitherReadNorWritten) {
  TChildForm* a = Open("a.bin", PatternBytes(8192, 6));
  TChildForm* b = Open("b.bin", PatternBytes(8192, 7));
  TChildForm* c = Open("c.bin", PatternBytes(8192, 8));
  ASSERT_TRUE(a && b && c);
  SetCurrentTile(a, 64);
  if (GetParam().closeSource) {
    a->close();
    const std::vector<uint8_t> before = ImageOf(b);
    EXPECT_TRUE(DropTileAt(b->View, CellPoint(0, 0)));
    EXPECT_EQ(ImageOf(b), before);
    EXPECT_FALSE(b->Doc.Modified);
    EXPECT_FALSE(MainForm->UndoDropReady);
    return;
  }
  ASSERT_TRUE(DropTileAt(b->View, CellPoint(0, 0)));
  prompts.Answers.push_back(PromptAnswer::No);
  b->close();
  const std::vector<uint8_t> cBefore = ImageOf(c);
  c->Edit1Click();
  EXPECT_FALSE(c->Undodrop1->isEnabled());
  c->Undodrop1Click();  // the command checks for itself
  EXPECT_EQ(ImageOf(c), cBefore);
}

INSTANTIATE_TEST_SUITE_P(TileDrop, ClosedWindowTest,
                         ::testing::Values(ClosedCase{"source_closed", true},
                                           ClosedCase{"target_closed", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct OutsideCase {
  const char* name;
  const char* format;
  QByteArray payload;
};

void PrintTo(const OutsideCase& c, std::ostream* out) {
  *out << c.name;
}

class OutsideDragTest : public AppTest, public ::testing::WithParamInterface<OutsideCase> {};

TEST_P(OutsideDragTest, NeverWritesIntoAnImageNorFillsACell) {
  TChildForm* rom = Open("a.bin", PatternBytes(8192, 9));
  ASSERT_NE(rom, nullptr);
  SetCurrentTile(rom, 0);
  const std::vector<uint8_t> before = ImageOf(rom);
  QMimeData data;
  data.setData(QString::fromLatin1(GetParam().format), GetParam().payload);
  EXPECT_FALSE(DropAt(rom->View, CellPoint(1, 1), data));
  EXPECT_FALSE(DropAt(ClipForm, QPoint(20, 20), data));
  EXPECT_EQ(ImageOf(rom), before);
  EXPECT_FALSE(rom->Doc.Modified);
  EXPECT_EQ(ClipForm->Cells[1][1].Tile, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    TileDrop, OutsideDragTest,
    ::testing::Values(OutsideCase{"text", "text/plain", "hello"},
                      OutsideCase{"image", "image/png", QByteArray(64, '\x01')},
                      // Our type from another running copy of the program.
                      OutsideCase{"other_process", kTileDragMimeType, "999999999"},
                      OutsideCase{"empty_payload", kTileDragMimeType, ""}),
    [](const auto& info) { return std::string(info.param.name); });

class FileDropTest : public AppTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FileDropTest, FilesDroppedOnAWindowOrTheArrangerOpenAsRomWindows) {
  TChildForm* rom = Open("a.bin", PatternBytes(8192, 10));
  ASSERT_NE(rom, nullptr);
  const std::vector<uint8_t> before = ImageOf(rom);
  QMimeData data;
  data.setUrls(
      {QUrl::fromLocalFile(QString::fromStdString(dir.Write("b.gb", PatternBytes(4096, 11))))});
  QWidget* target = GetParam() ? static_cast<QWidget*>(ClipForm) : rom->View;
  EXPECT_TRUE(DropAt(target, QPoint(20, 20), data));
  EXPECT_EQ(MainForm->RomWindowCount(), 2);
  EXPECT_EQ(ImageOf(rom), before);
  EXPECT_EQ(ClipForm->Cells[1][1].Tile, nullptr);
}

INSTANTIATE_TEST_SUITE_P(TileDrop, FileDropTest, ::testing::Values(false, true),
                         [](const auto& info) {
                           return std::string(info.param ? "on_arranger" : "on_rom_window");
                         });

struct EnablingCase {
  const char* name;
  bool dropped;
};

void PrintTo(const EnablingCase& c, std::ostream* out) {
  *out << c.name;
}

class EditMenuTest : public AppTest, public ::testing::WithParamInterface<EnablingCase> {};

TEST_P(EditMenuTest, AnnullaDropFollowsTheReadyDropAndTheRestStayEnabled) {
  TChildForm* rom = Open("a.bin", PatternBytes(8192, 12));
  ASSERT_NE(rom, nullptr);
  SetCurrentTile(rom, 8);
  if (GetParam().dropped) {
    ASSERT_TRUE(DropTileAt(rom->View, CellPoint(0, 0)));
  }
  rom->Edit1Click();
  EXPECT_EQ(rom->Undodrop1->isEnabled(), GetParam().dropped);
  for (QAction* item : {rom->Goto1, rom->GotoAgain1, rom->ImportBitmap1, rom->ClearArranger1})
    EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(TileDrop, EditMenuTest,
                         ::testing::Values(EnablingCase{"no_drop", false},
                                           EnablingCase{"after_drop", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
