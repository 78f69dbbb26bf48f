// Blocks of tiles on the real windows: Copy, Paste with its depth question, the paste panel,
// committing, and export to and import from BMP and PNG files.
#include <QBuffer>
#include <QImage>
#include <QTest>

#include "codec/bitmap_file.h"
#include "codec/tile_codec.h"
#include "document/paste_image_widget.h"
#include "support/app_fixture.h"
#include "support/document_bytes.h"
#include "support/png_bytes.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using Clipboard = AppTest;

// Cells [left, right) x [top, bottom) selected, as a right drag leaves them.
void Select(TChildForm* child, int left, int top, int right, int bottom) {
  child->Doc.SelLeft = left;
  child->Doc.SelTop = top;
  child->Doc.SelRight = right;
  child->Doc.SelBottom = bottom;
  child->Doc.HasSelection = true;
}

// A menu item as the user reaches it: the menu opens (enabling its items), then the click.
void Click(TChildForm* child, QAction* item) {
  TMainForm::RunThroughMenu([child] { child->Edit1Click(); }, item);
}

// Drags the paste panel by its picture from `grab` by `by` pixels and lets it go.
void DragPanel(TChildForm* child, QPoint grab, QPoint by) {
  QTest::mousePress(child->PasteImage, Qt::LeftButton, {}, grab);
  QTest::mouseMove(child->PasteImage, grab + by);
  QTest::mouseRelease(child->PasteImage, Qt::LeftButton, {}, grab);
}

std::vector<uint8_t> Image(const TChildForm* child) {
  return {child->Doc.RomData, child->Doc.RomData + child->Doc.RomSize};
}

uint8_t ViewPixel(const TChildForm* child, int x, int y) {
  const TileSurface& view = child->Doc.ViewSurface;
  return view.Pixels.at(size_t(y * view.Width() + x));
}

// A picture file of `width` x `height` pixels, all `index`, with a 256-colour palette.
std::vector<uint8_t> Picture(int width, int height, const char* format, uint8_t index = 1) {
  QImage image(width, height, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (int i = 0; i < 256; ++i) table << qRgb(i, 255 - i, i / 2);
  image.setColorTable(table);
  image.fill(index);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return {bytes.begin(), bytes.end()};
}

struct DepthCase {
  const char* name;
  const char *from, *to;  // the extensions pick the formats
  PromptAnswer answer;
  bool asked, pending;
  TileFormat fromFormat = -1, toFormat = -1;  // chosen from the menu instead, when set
};

void PrintTo(const DepthCase& c, std::ostream* out) {
  *out << c.name;
}

class PasteDepthTest : public AppTest, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(PasteDepthTest, AsksOnlyWhenPlanesWouldBeLostAndKeepsTheLowBits) {
  const DepthCase& c = GetParam();
  TChildForm* source = Open(c.from, PatternBytes(65536, 3));
  TChildForm* target = Open(c.to, std::vector<uint8_t>(65536, 0));
  ASSERT_TRUE(source && target);
  if (c.fromFormat >= 0) source->ChooseTileFormat(c.fromFormat);
  if (c.toFormat >= 0) target->ChooseTileFormat(c.toFormat);
  Select(source, 0, 0, 1, 1);
  Click(source, source->Copy1);
  const TileSurface copied = MainForm->ClipSurface;
  prompts.Answers.push_back(c.answer);
  Click(target, target->Paste1);
  ASSERT_EQ(prompts.Messages.size(), c.asked ? 1u : 0u);
  if (c.asked) {
    EXPECT_EQ(prompts.Messages[0].Text,
              QStringLiteral("Source bitmap is of higher bitdepth than destination. The upper "
                             "bitplanes will be lost. Continue paste anyway?"));
    EXPECT_EQ(prompts.Messages[0].Caption, QStringLiteral("Varnock Pro"));
    EXPECT_EQ(prompts.Messages[0].Buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Question);
  }
  EXPECT_EQ(target->Doc.PastePending, c.pending);
  if (!c.pending) return;
  target->CommitPaste();
  const int mask = (1 << target->Doc.BitsPerPixel) - 1;
  for (int i = 0; i < 64; ++i)
    ASSERT_EQ(ViewPixel(target, i % 8, i / 8), copied.Pixels[i] & mask) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Depths, PasteDepthTest,
    ::testing::Values(DepthCase{"four_into_two_yes", "a.smc", "b.gb", PromptAnswer::Yes, true,
                                true},
                      DepthCase{"four_into_two_no", "a.smc", "b.gb", PromptAnswer::No, true, false},
                      DepthCase{"two_into_four", "a.gb", "b.smc", PromptAnswer::No, false, true},
                      DepthCase{"same_depth", "a.nes", "b.gb", PromptAnswer::No, false, true},
                      DepthCase{"eight_into_four_no", "a.bin", "b.smc", PromptAnswer::No, true,
                                false, kLinear8Format},
                      DepthCase{"four_into_eight", "a.smc", "b.bin", PromptAnswer::No, false, true,
                                -1, kSnes8Format}),
    [](const auto& info) { return std::string(info.param.name); });

// A SNES block in a Game Boy window: exactly the bytes the Game Boy encoding gives for the copied
// indices, at the cell where the panel was let go.
TEST_F(Clipboard, PasteIntoAnotherFormatWritesTheEncodedIndicesAtThePanelCell) {
  TChildForm* snes = Open("a.smc", PatternBytes(65536, 5));
  TChildForm* gb = Open("b.gb", std::vector<uint8_t>(65536, 0x5A));
  ASSERT_TRUE(snes && gb);
  Select(snes, 1, 2, 4, 4);
  Click(snes, snes->Copy1);
  TileSurface copied = MainForm->ClipSurface;
  prompts.Answers.push_back(PromptAnswer::Yes);
  Click(gb, gb->Paste1);
  const int cell = gb->Doc.CellWidth;
  ASSERT_EQ(gb->PastePanel->parentWidget(), gb->View);
  EXPECT_EQ(gb->PastePanel->geometry(), QRect(0, 0, 3 * cell, 2 * cell));
  EXPECT_EQ(gb->PasteImage->cursor().shape(), Qt::SizeAllCursor);
  DragPanel(gb, {5, 5}, {2 * cell + 3, cell + 7});
  EXPECT_EQ(gb->PastePanel->pos(), QPoint(2 * cell, cell));

  std::vector<uint8_t> expected = Image(gb);
  copied.EncodeAcross = 3;
  copied.EncodeDown = 2;
  copied.EncodeSkip = 16 - 3;
  copied.EncodeFormat = 2;
  copied.EncodeTileBytes = 16;
  EncodeTiles(copied, std::span(expected).subspan(size_t(gb->Doc.ViewOffset) + 2 * 16 + 256));
  ASSERT_NE(expected, Image(gb));
  gb->CommitPaste();
  EXPECT_EQ(Image(gb), expected);
  EXPECT_TRUE(gb->Doc.Modified);
  EXPECT_FALSE(gb->PastePanel->isVisible());
  EXPECT_EQ(ViewPixel(gb, 16 + 3, 8), copied.Pixels[3] & 3) << "the page shows the block";
}

TEST_F(Clipboard, ABlockPastTheLastColumnGoesOnInTheNextGridRow) {
  TChildForm* child = Open("a.bin", std::vector<uint8_t>(8192, 0xFF));
  ASSERT_NE(child, nullptr);
  Select(child, 0, 0, 3, 1);  // three tiles of index 1
  Click(child, child->Copy1);
  test::PokeBytes(child->Doc, 0, 0x00, 8192);
  Click(child, child->Paste1);
  DragPanel(child, {1, 1}, {14 * child->Doc.CellWidth, 0});
  child->CommitPaste();
  const std::vector<uint8_t> image = Image(child);
  // tiles 14 and 15 of grid row 0, then tile 0 of grid row 1
  EXPECT_EQ(std::count(image.begin(), image.end(), 0xFF), 24);
  EXPECT_TRUE(std::all_of(&image[14 * 8], &image[17 * 8], [](uint8_t b) { return b == 0xFF; }));
}

TEST_F(Clipboard, ScrollingWhilePendingKeepsThePanelAndCommitsOnThePageShown) {
  TChildForm* child = Open("a.bin", std::vector<uint8_t>(65536, 0xFF));
  ASSERT_NE(child, nullptr);
  Select(child, 0, 0, 1, 1);
  Click(child, child->Copy1);
  test::PokeBytes(child->Doc, 0, 0x00, 65536);
  Click(child, child->Paste1);
  const int cell = child->Doc.CellWidth;
  DragPanel(child, {2, 2}, {3 * cell, 2 * cell});
  QTest::keyClick(child->View, Qt::Key_PageDown);
  ASSERT_GT(child->Doc.ViewOffset, 0);
  EXPECT_TRUE(child->PastePanel->isVisible());
  EXPECT_EQ(child->PastePanel->pos(), QPoint(3 * cell, 2 * cell));
  child->CommitPaste();
  const std::vector<uint8_t> image = Image(child);
  EXPECT_EQ(std::count(image.begin(), image.end(), 0xFF), 8);
  EXPECT_EQ(image[child->Doc.ViewOffset + 3 * 8 + 2 * child->Doc.RowBytes], 0xFF);
}

// The press that places the block is also an ordinary press: a right press starts a selection.
TEST_F(Clipboard, APressInTheViewCommitsThePasteAndGoesOn) {
  TChildForm* child = Open("a.bin", std::vector<uint8_t>(65536, 0xFF));
  ASSERT_NE(child, nullptr);
  Select(child, 0, 0, 1, 1);
  Click(child, child->Copy1);
  test::PokeBytes(child->Doc, 0, 0x00, 65536);
  child->RedrawPage();
  const int cell = child->Doc.CellWidth;
  // The tile editor holds the tile the block lands on; it must show the pasted pixels after.
  QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(2 * cell + 2, cell + 2));
  ASSERT_EQ(EditForm->EditSurface.Pixels[0], 0);
  Click(child, child->Paste1);
  DragPanel(child, {1, 1}, {2 * cell, cell});
  QTest::mousePress(child->View, Qt::RightButton, {}, QPoint(5 * cell + 2, 6 * cell + 2));
  EXPECT_FALSE(child->Doc.PastePending);
  EXPECT_FALSE(child->PastePanel->isVisible());
  const std::vector<uint8_t> image = Image(child);
  EXPECT_EQ(std::count(image.begin(), image.end(), 0xFF), 8);
  EXPECT_EQ(image[2 * 8 + child->Doc.RowBytes], 0xFF);
  EXPECT_EQ(ViewPixel(child, 2 * 8, 8), 1) << "the page is refreshed";
  EXPECT_EQ(EditForm->EditSurface.Pixels[0], 1) << "the editor shows the pasted tile";
  EXPECT_TRUE(child->Doc.HasSelection);
  EXPECT_EQ((std::vector{child->Doc.SelLeft, child->Doc.SelTop}), (std::vector{5, 6}));
}

// Copying another block while a paste is pending does not change what that paste writes; a
// second Paste replaces the panel.
TEST_F(Clipboard, APendingPasteWritesTheBlockItsPanelShows) {
  TChildForm* child = Open("a.bin", std::vector<uint8_t>(65536, 0x00));
  ASSERT_NE(child, nullptr);
  test::PokeBytes(child->Doc, 0, 0xFF, 8);  // tile 0: index 1, the rest index 0
  child->RedrawPage();
  Select(child, 0, 0, 1, 1);
  Click(child, child->Copy1);
  Click(child, child->Paste1);
  DragPanel(child, {1, 1}, {200, 0});
  Click(child, child->Paste1);
  EXPECT_EQ(child->View->findChildren<PasteImageWidget*>().size(), 1);
  EXPECT_EQ(child->PastePanel->pos(), QPoint(0, 0));
  Select(child, 1, 0, 3, 2);
  Click(child, child->Copy1);  // a 2 x 2 block of index 0
  DragPanel(child, {1, 1}, {5 * child->Doc.CellWidth, 0});
  child->CommitPaste();
  const std::vector<uint8_t> image = Image(child);
  EXPECT_EQ(std::count(image.begin(), image.end(), 0xFF), 16);
  EXPECT_EQ(image[5 * 8], 0xFF);
}

class PasteCancelTest : public AppTest, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(PasteCancelTest, EscapeOrDeleteDropsThePasteWithoutWriting) {
  TChildForm* child = Open("a.bin", PatternBytes(65536, 2));
  ASSERT_NE(child, nullptr);
  Select(child, 0, 0, 2, 2);
  Click(child, child->Copy1);
  Click(child, child->Paste1);
  QTest::keyClick(child->View, GetParam());
  EXPECT_FALSE(child->Doc.PastePending);
  EXPECT_FALSE(child->PastePanel->isVisible());
  EXPECT_EQ(Image(child), PatternBytes(65536, 2));
}

INSTANTIATE_TEST_SUITE_P(Keys, PasteCancelTest, ::testing::Values(Qt::Key_Escape, Qt::Key_Delete));

struct RoundTripCase {
  const char* file;
  TileFormat format;  // -1: the Genesis format of the image's extension
  int colors;         // the colours the file carries
};

class PictureRoundTripTest : public AppTest, public ::testing::WithParamInterface<RoundTripCase> {};

// Every index and the 16 colours (256 for 8-bit tiles) come back; a PNG is 8-bit indexed.
TEST_P(PictureRoundTripTest, ExportThenImportKeepsEveryIndex) {
  TChildForm* child = Open("a.smd", PatternBytes(65536, 11));
  ASSERT_NE(child, nullptr);
  if (GetParam().format >= 0) child->ChooseTileFormat(GetParam().format);
  Select(child, 6, 5, 2, 3);  // reversed ends: columns 2-5, rows 3-4
  const QString path = QString::fromStdString(dir.File(GetParam().file));
  prompts.FileNames = {path, path};
  Click(child, child->ExportBitmap1);
  Click(child, child->ImportBitmap1);
  ASSERT_TRUE(prompts.Messages.empty());
  const QString filter = QStringLiteral("Windows Bitmap (*.BMP)|*.BMP|PNG (*.PNG)|*.PNG");
  EXPECT_EQ(prompts.FileDialogs[0].Title, QStringLiteral("Salva bitmap"));
  EXPECT_EQ(prompts.FileDialogs[1].Title, QStringLiteral("Carica Bitmap"));
  for (const auto& dialog : prompts.FileDialogs) {
    EXPECT_EQ(dialog.Filter, filter);
    EXPECT_EQ(dialog.DefaultExtension, QStringLiteral("BMP"));
  }
  const std::vector<uint8_t> file = ReadFile(path.toStdString());
  if (path.endsWith(QStringLiteral(".png"))) {
    EXPECT_EQ((std::vector{file.at(24), file.at(25)}), (std::vector<uint8_t>{8, 3}))
        << "IHDR: bit depth 8, palette";
  }
  const TileSurface& clip = MainForm->ClipSurface;
  ASSERT_EQ(clip.Width(), 32);
  ASSERT_EQ(clip.Height(), 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(clip.Pixels[y * 32 + x], ViewPixel(child, 16 + x, 24 + y)) << x << "," << y;
  for (int i = 0; i < GetParam().colors; ++i)
    EXPECT_EQ(clip.Colors[i], child->Doc.ViewSurface.Colors[i]) << i;
  EXPECT_TRUE(child->Doc.PastePending);
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureRoundTripTest,
                         ::testing::Values(RoundTripCase{"b.bmp", -1, 16},
                                           RoundTripCase{"b.png", -1, 16},
                                           RoundTripCase{"c.bmp", kLinear8Format, 256},
                                           RoundTripCase{"c.png", kSnes8Format, 256}));

// In the save dialog, choosing the PNG filter makes a bare name a .PNG file.
TEST(PictureDialog, EachFilterStandsForItsOwnExtension) {
  const QStringList filters =
      QtNameFilters(QStringLiteral("Windows Bitmap (*.BMP)|*.BMP|PNG (*.PNG)|*.PNG|"
                                   "Tutti (*.*)|*.*|Due|*.GB;*.GBC"))
          .split(QStringLiteral(";;"));
  ASSERT_EQ(filters.size(), 4);
  EXPECT_EQ(FilterExtension(filters[0]), QStringLiteral("BMP"));
  EXPECT_EQ(FilterExtension(filters[1]), QStringLiteral("PNG"));
  EXPECT_EQ(FilterExtension(filters[2]), QString());
  EXPECT_EQ(FilterExtension(filters[3]), QString());
}

struct ImportCase {
  const char* name;
  std::vector<uint8_t> (*file)();
  int across, down;              // -1: refused
  const char* reason = nullptr;  // the second line of the refusal
};

void PrintTo(const ImportCase& c, std::ostream* out) {
  *out << c.name;
}

// The 70 first bytes of a 24-bit bitmap announcing `width` x `height`: its headers and 16
// bytes of pixels.
std::vector<uint8_t> Truncated(int width, int height) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "bmp");
  std::vector<uint8_t> file(bytes.begin(), bytes.begin() + 70);
  for (int i = 0; i < 4; ++i) {
    file[18 + i] = uint8_t(width >> (8 * i));
    file[22 + i] = uint8_t(height >> (8 * i));
  }
  return file;
}

// A 16 x 8 bitmap of run-length rows, row y one run of index y; only the first `rows` present.
std::vector<uint8_t> RunLength(int rows) {
  std::vector<uint8_t> file = EncodeBitmapFile(TileSurface{}, {0, 0, 16, 8});
  file.resize(kBitmapPixelOffset);
  file[30] = 1;  // 8-bit runs
  for (int y = 0; y < rows; ++y) file.insert(file.end(), {16, uint8_t(y), 0, 0});
  if (rows == 8) file.insert(file.end(), {0, 1});
  return file;
}

const char* const kTooLarge =
    "The picture is larger than 16384 pixels across or down, or than the clipboard can hold.";
const char* const kTruncated = "The file ends before its pixels do.";

// A BMP header alone announcing `width` x `height`.
std::vector<uint8_t> Announcing(int32_t width, int32_t height) {
  std::vector<uint8_t> file = EncodeBitmapFile(TileSurface{}, {0, 0, 8, 8});
  for (int i = 0; i < 4; ++i) {
    file[18 + i] = uint8_t(width >> (8 * i));
    file[22 + i] = uint8_t(height >> (8 * i));
  }
  return file;
}

// An 8 x 8 indexed PNG of index `index` with a colour table of two entries, its rows as the
// file layout gives them, then changed by `damage`.
std::vector<uint8_t> IndexedPng(uint32_t index, void (*damage)(test::PngPicture&,
                                                               std::vector<uint8_t>&) = nullptr) {
  test::PngPicture png;
  png.Palette = {0, 0, 0, 255, 255, 255};
  png.Samples.assign(64, index);
  std::vector<uint8_t> file = test::EncodePng(png);
  if (damage) {
    damage(png, file);
    if (file.empty()) file = test::EncodePng(png);
  }
  return file;
}

// Where the IDAT chunk's data starts in an encoded PNG: after the signature, IHDR (25 bytes)
// and PLTE (12 + 6), past its own length and type.
constexpr size_t kIdatData = 8 + 25 + 18 + 8;

class ImportTest : public AppTest, public ::testing::WithParamInterface<ImportCase> {};

// Whole tiles only, no depth question, the flag left as it was; what cannot be held is refused
// with the one message and changes nothing.
TEST_P(ImportTest, GivesWholeTilesOrSaysCouldNotOpenBitmap) {
  const ImportCase& c = GetParam();
  TChildForm* child = Open("a.gb", PatternBytes(65536, 1));
  ASSERT_NE(child, nullptr);
  MainForm->ClipSurface.DecodeBits = 4;
  MainForm->ClipSurface.Pixels.assign(5, 9);
  prompts.FileNames.push_back(QString::fromStdString(dir.Write("p.bmp", c.file())));
  Click(child, child->ImportBitmap1);
  const TileSurface& clip = MainForm->ClipSurface;
  EXPECT_EQ(clip.DecodeBits, 4);
  EXPECT_FALSE(MainForm->ClipboardFull);
  if (c.across < 0) {
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text,
              QStringLiteral("Could not open bitmap.\n%1").arg(QString::fromUtf8(c.reason)));
    EXPECT_EQ(prompts.Messages[0].Caption, QString());
    EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
    EXPECT_EQ(clip.Pixels, std::vector<uint8_t>(5, 9));
    EXPECT_FALSE(child->Doc.PastePending);
    return;
  }
  EXPECT_TRUE(prompts.Messages.empty());
  EXPECT_EQ(clip.TilesAcross, c.across);
  EXPECT_EQ(clip.TilesDown, c.down);
  EXPECT_EQ(clip.Pixels.size(), size_t(c.across * c.down * 64));
  EXPECT_TRUE(child->Doc.PastePending);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ImportTest,
    ::testing::Values(
        ImportCase{"twenty_by_thirteen", [] { return Picture(20, 13, "bmp"); }, 2, 1},
        ImportCase{"seven_by_hundred", [] { return Picture(7, 100, "png"); }, 0, 12},
        ImportCase{"not_a_picture", [] { return PatternBytes(5000, 3); }, -1, -1,
                   "Unsupported image format."},
        ImportCase{"wider_than_16384", [] { return Picture(16385, 8, "png"); }, -1, -1, kTooLarge},
        ImportCase{"taller_than_16384", [] { return Announcing(8, 20000); }, -1, -1, kTooLarge},
        // 128 M pixels: more than one surface holds
        ImportCase{"too_many_pixels", [] { return Announcing(16384, 8192); }, -1, -1, kTooLarge},
        // shorter than the rows their headers declare: refused before any pixel has memory
        ImportCase{"truncated", [] { return Truncated(256, 256); }, -1, -1, kTruncated},
        ImportCase{"truncated_huge", [] { return Truncated(8192, 8192); }, -1, -1, kTruncated},
        ImportCase{"one_byte_short",
                   [] {
                     std::vector<uint8_t> file = Picture(16, 8, "bmp");
                     file.pop_back();
                     return file;
                   },
                   -1, -1, kTruncated},
        ImportCase{"run_length", [] { return RunLength(8); }, 2, 1},
        // run-length rows that stop early: the rest would be whatever memory held
        ImportCase{"run_length_cut", [] { return RunLength(3); }, -1, -1,
                   "The file does not give every pixel."},
        // indexed PNGs go through libpng, which checks the rows the header declares
        ImportCase{"png_indices_past_its_table", [] { return IndexedPng(7); }, 1, 1},
        ImportCase{"png_16384_wide",
                   [] {
                     return IndexedPng(1, [](test::PngPicture& png, std::vector<uint8_t>& file) {
                       png.Width = 16384;
                       png.Samples.assign(16384 * 8, 1);
                       file.clear();
                     });
                   },
                   2048, 1},
        ImportCase{"png_16385_wide",
                   [] {
                     return IndexedPng(1, [](test::PngPicture& png, std::vector<uint8_t>& file) {
                       png.Width = 16385;
                       file.clear();
                     });
                   },
                   -1, -1, kTooLarge},
        ImportCase{"png_rows_missing",
                   [] {
                     return IndexedPng(1, [](test::PngPicture& png, std::vector<uint8_t>& file) {
                       png.DeclaredHeight = 16;
                       file.clear();
                     });
                   },
                   -1, -1, "The PNG file is damaged: Not enough image data."},
        ImportCase{"png_checksum_damaged",
                   [] {
                     return IndexedPng(1, [](test::PngPicture&, std::vector<uint8_t>& file) {
                       file[file.size() - 13] ^= 0x40;  // the IDAT's CRC, before IEND
                     });
                   },
                   -1, -1, "The PNG file is damaged: IDAT: CRC error."},
        ImportCase{"png_cut_in_its_rows",
                   [] {
                     return IndexedPng(1, [](test::PngPicture&, std::vector<uint8_t>& file) {
                       file.resize(kIdatData + 4);
                     });
                   },
                   -1, -1, kTruncated},
        ImportCase{"png_without_its_end_chunk",
                   [] {
                     return IndexedPng(1, [](test::PngPicture&, std::vector<uint8_t>& file) {
                       file.resize(file.size() - 12);
                     });
                   },
                   -1, -1, kTruncated},
        ImportCase{"png_without_colour_table",
                   [] {
                     return IndexedPng(1, [](test::PngPicture& png, std::vector<uint8_t>& file) {
                       png.Palette.clear();
                       file.clear();
                     });
                   },
                   -1, -1, "The PNG file is damaged: IDAT: Missing PLTE before IDAT."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Clipboard, ImportingAFolderSaysSo) {
  TChildForm* child = Open("a.gb", PatternBytes(65536, 1));
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(child->ImportBitmap(QString::fromStdString(dir.path())));
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("Could not open bitmap.\nIt is a folder."));
}

TEST_F(Clipboard, ImportedIndexSeventeenIsStoredAsOneInAFourBitWindow) {
  TChildForm* child = Open("a.smd", std::vector<uint8_t>(65536, 0));
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(
      child->ImportBitmap(QString::fromStdString(dir.Write("p.bmp", Picture(8, 8, "bmp", 17)))));
  ASSERT_EQ(MainForm->ClipSurface.Pixels[0], 17);
  child->CommitPaste();
  // Genesis: two pixels a byte
  for (int b = 0; b < 32; ++b) ASSERT_EQ(child->Doc.RomData[child->Doc.ViewOffset + b], 0x11);
}

// Qt's reader would make index 7 of a two-colour table a 0.
TEST_F(Clipboard, APngsIndexPastItsColourTableReachesTheImage) {
  TChildForm* child = Open("a.smd", std::vector<uint8_t>(65536, 0));
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(child->ImportBitmap(QString::fromStdString(dir.Write("p.png", IndexedPng(7)))));
  child->CommitPaste();
  for (int b = 0; b < 32; ++b) ASSERT_EQ(child->Doc.RomData[child->Doc.ViewOffset + b], 0x77);
}

TEST_F(Clipboard, AColourPictureKeepsItsOwnFewColoursWithoutAlpha) {
  TChildForm* child = Open("a.smd", std::vector<uint8_t>(65536, 0));
  ASSERT_NE(child, nullptr);
  QImage image(16, 8, QImage::Format_ARGB32);
  image.fill(qRgba(10, 20, 30, 255));
  image.setPixel(3, 4, qRgba(200, 100, 50, 128));
  const QString path = QString::fromStdString(dir.File("p.png"));
  ASSERT_TRUE(image.save(path));
  ASSERT_TRUE(child->ImportBitmap(path));
  const TileSurface& clip = MainForm->ClipSurface;
  EXPECT_EQ(clip.Colors[clip.Pixels[0]], (SurfaceColor{30, 20, 10, 0}));
  EXPECT_EQ(clip.Colors[clip.Pixels[4 * 16 + 3]], (SurfaceColor{50, 100, 200, 0}));
}

TEST_F(Clipboard, AFailedExportIsReportedWithItsReasonAndKeepsTheOldFile) {
  TChildForm* child = Open("a.smc", PatternBytes(65536, 7));
  ASSERT_NE(child, nullptr);
  Select(child, 14, 15, 20, 18);  // partly off the 16 x 16 grid: trimmed to 2 x 1 tiles
  const std::string trimmed = dir.File("trim.bmp");
  ASSERT_TRUE(child->ExportBitmap(QString::fromStdString(trimmed)));
  EXPECT_EQ(ReadFile(trimmed).size(), 1078u + 16 * 8);
  const std::string old = dir.Write("old.bmp", {1, 2, 3});
  {
    FullDisk full(100);
    EXPECT_FALSE(child->ExportBitmap(QString::fromStdString(old)));
  }
  EXPECT_EQ(ReadFile(old), (std::vector<uint8_t>{1, 2, 3}));
  ASSERT_EQ(prompts.Messages.size(), 1u);
  const QString lead =
      QStringLiteral("Error: Could not save the file '%1'.\n").arg(QString::fromStdString(old));
  EXPECT_TRUE(prompts.Messages[0].Text.startsWith(lead));
  EXPECT_GT(prompts.Messages[0].Text.size(), lead.size()) << "the reason follows";
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
}

}  // namespace
}  // namespace varnock::test
