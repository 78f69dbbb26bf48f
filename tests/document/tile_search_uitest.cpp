// The tile search dialog: Ctrl+F opens it preset, the search runs on a worker, a double click
// opens a place in the window or in a stream window with its first tile picked, the list draws
// only the rows it shows, and stopping waits for the worker.
#include <QTest>

#include "compression/compression.h"
#include "document/tile_search_form.h"
#include "document/tile_search_form_model.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes With(Bytes bytes, size_t at, const Bytes& part) {
  std::copy(part.begin(), part.end(), bytes.begin() + static_cast<ptrdiff_t>(at));
  return bytes;
}

// A GBA save state whose video memory holds `tiles` (and is blank elsewhere).
Bytes GbaState(const Bytes& tiles) {
  Bytes state = With(Bytes(0x61000, 0), 0x1000, tiles);
  state[0] = 0x0B;
  state[3] = 0x01;
  return state;
}

class TileSearchTest : public AppTest {
 protected:
  // Opens `image` as a GBA file and the dialog with Ctrl+F.
  TTileSearchForm* OpenDialog(const Bytes& image) {
    rom = Open("game.gba", image);
    if (!rom) return nullptr;
    QTest::keyClick(rom->View, Qt::Key_F, Qt::ControlModifier);
    return rom->SearchForm;
  }
  // Starts the search and waits until it has ended.
  void Search(TTileSearchForm* dialog) {
    dialog->StartButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->Searching(), 60000);
  }
  void DoubleClickRow(TTileSearchForm* dialog, int row) {
    const QRect cell = dialog->Results->visualRect(dialog->Model->index(row, 0));
    QTest::mouseClick(dialog->Results->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(dialog->Results->viewport(), Qt::LeftButton, {}, cell.center());
  }
  static QString Cell(TTileSearchForm* dialog, int row, int column) {
    return dialog->Model->index(row, column).data().toString();
  }
  TChildForm* rom = nullptr;
};

TEST_F(TileSearchTest, APickedTilesCopyOpensInTheWindowWithTheCopyPicked) {
  const Bytes tile = PatternBytes(32, 103);  // one GBA tile
  // The picked tile at 0x2000, its copy at an odd offset and in the Genesis format nowhere.
  TTileSearchForm* dialog =
      OpenDialog(With(With(PatternBytes(0x10000, 1), 0x2000, tile), 0x4321, tile));
  ASSERT_TRUE(dialog && dialog->isVisible());
  // Preset: every format, the streams and the flips; no tile picked yet, so a save state.
  EXPECT_TRUE(
      std::ranges::all_of(dialog->FormatBoxes, [](QCheckBox* b) { return b->isChecked(); }));
  EXPECT_TRUE(dialog->StreamsBox->isChecked() && dialog->FlipsBox->isChecked());
  EXPECT_TRUE(dialog->StateSource->isChecked());

  rom->MoveViewTo(0x2000);
  ASSERT_TRUE(rom->PickTile(0, 0));
  dialog->PickedSource->setChecked(true);
  Search(dialog);
  ASSERT_EQ(dialog->Model->rowCount(), 1);
  EXPECT_EQ(Cell(dialog, 0, kPlaceOffset), QStringLiteral("0x4321"));
  EXPECT_EQ(Cell(dialog, 0, kPlaceStream), QStringLiteral("-"));
  EXPECT_EQ(dialog->Progress->value(), dialog->Progress->maximum());

  // Another format shown meanwhile: the place opens in its own.
  rom->ChooseTileFormat(8);
  DoubleClickRow(dialog, 0);
  EXPECT_EQ(MainForm->ActiveChild(), rom);
  EXPECT_EQ(rom->Doc.Format, 9);
  EXPECT_EQ(rom->ScrollBar->value(), 0x4321);
  EXPECT_EQ(rom->Doc.EditTileOffset, 0x4321);
  EXPECT_TRUE(rom->PickMark && rom->PickMark->Cell == (GridCell{0, 0}));
}

TEST_F(TileSearchTest, AStatesTilesInsideAStreamOpenAStreamWindowThereWithTheFirstPicked) {
  // The state's video memory holds four tiles; the image holds them only inside an LZ77 10
  // stream of graphics that repeat close by.
  const Bytes tiles = PatternBytes(4 * 32, 105);  // four GBA tiles
  Bytes data(0x1000);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<uint8_t>(i % 32 < 16 ? 0x11 : 0x23);
  const Bytes stream = *Compress(CompressionFormat::Lz10, With(data, 0x400, tiles));
  TTileSearchForm* dialog = OpenDialog(With(PatternBytes(0x10000, 2), 0x8000, stream));
  ASSERT_NE(dialog, nullptr);
  dialog->StatePath->setText(QString::fromStdString(dir.Write("game.ss0", GbaState(tiles))));
  Search(dialog);
  ASSERT_GE(dialog->Model->rowCount(), 1);
  EXPECT_EQ(Cell(dialog, 0, kPlaceStream), QStringLiteral("LZ77 10 @ 0x8000"));
  EXPECT_EQ(Cell(dialog, 0, kPlaceOffset), QStringLiteral("0x400"));
  EXPECT_EQ(Cell(dialog, 0, kPlaceTiles), QStringLiteral("4"));
  EXPECT_EQ(Cell(dialog, 0, kPlaceInOrder), QStringLiteral("4"));

  DoubleClickRow(dialog, 0);
  TChildForm* opened = MainForm->ActiveChild();
  ASSERT_NE(opened, rom);
  EXPECT_EQ(opened->windowTitle(),
            QStringLiteral("game.gba @ 0x8000 [LZ77 10, spazio %1 byte]").arg(stream.size()));
  EXPECT_EQ(opened->Doc.Format, 9);
  EXPECT_EQ(opened->Doc.EditTileOffset, 0x400);
  EXPECT_TRUE(opened->PickMark.has_value());
}

TEST_F(TileSearchTest, TheListDrawsOnlyTheRowsItShows) {
  TTileSearchForm* dialog = OpenDialog(PatternBytes(0x10000, 3));
  ASSERT_NE(dialog, nullptr);
  TileSearchResult many;
  TilePlace place;
  place.Format = 9;
  for (; place.Offset < 20000 * 32; place.Offset += 32) {
    place.End = place.Offset + 32;
    many.Places.push_back(place);
  }
  dialog->Model->SetResult(std::move(many), PatternBytes(20000 * 32, 4));
  dialog->Results->scrollToBottom();
  QApplication::processEvents();
  dialog->Results->viewport()->repaint();
  EXPECT_GT(dialog->Model->PicturesDrawn(), 0);
  EXPECT_LT(dialog->Model->PicturesDrawn(), 200);
}

struct RefusalCase {
  const char* name;
  QRadioButton* TTileSearchForm::*source;
  const char* file;  // the save state chosen, if any
  Bytes contents;
  const char* message;  // "DIR" stands for the file's folder
};

class TileSearchRefusalTest : public TileSearchTest,
                              public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(TileSearchRefusalTest, SaysWhyAndStartsNothing) {
  const RefusalCase& c = GetParam();
  TTileSearchForm* dialog = OpenDialog(PatternBytes(0x4000, 4));
  ASSERT_NE(dialog, nullptr);
  if (c.file) dialog->StatePath->setText(QString::fromStdString(dir.Write(c.file, c.contents)));
  (dialog->*c.source)->setChecked(true);
  dialog->StartButton->click();
  EXPECT_FALSE(dialog->Searching());
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text,
            QString::fromUtf8(c.message).replace(QStringLiteral("DIR"),
                                                 QString::fromStdString(dir.path())));
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, TileSearchRefusalTest,
    ::testing::Values(
        RefusalCase{"NoState", &TTileSearchForm::StateSource, nullptr, Bytes(),
                    "Choose the save state whose video memory to search for."},
        RefusalCase{"NotAState", &TTileSearchForm::StateSource, "notes.txt", Bytes{'h'},
                    "Cannot read the video memory of 'DIR/notes.txt'.\nThe file is not a save "
                    "state of a known kind."},
        RefusalCase{"BlankState", &TTileSearchForm::StateSource, "blank.ss0", GbaState({}),
                    "Every tile of 'DIR/blank.ss0' is blank (one colour): there is nothing to "
                    "search for."},
        RefusalCase{"NoPick", &TTileSearchForm::PickedSource, nullptr, Bytes(),
                    "No tile is picked in this window."},
        RefusalCase{"NoSelection", &TTileSearchForm::SelectionSource, nullptr, Bytes(),
                    "Nothing is selected in this window."}),
    [](const auto& info) { return std::string(info.param.name); });

struct StopCase {
  const char* name;
  void (*stop)(TChildForm* rom, TTileSearchForm* dialog);
};

class TileSearchStopTest : public TileSearchTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(TileSearchStopTest, ARunningSearchEndsAtOnceAndItsWorkerIsGone) {
  // A picture's tiles palette-free through 16 MiB in every format take the worker far longer
  // than this test.
  TTileSearchForm* dialog = OpenDialog(PatternBytes(16u << 20, 5));
  ASSERT_NE(dialog, nullptr);
  QImage picture(16, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) picture.setPixel(x, y, qRgb(x * 13 % 256, y * 31, (x ^ y) * 17));
  const QString path = QString::fromStdString(dir.File("crop.png"));
  ASSERT_TRUE(picture.save(path));
  dialog->PicturePath->setText(path);
  dialog->PictureSource->setChecked(true);
  QPointer<TTileSearchForm> alive = dialog;
  dialog->StartButton->click();
  ASSERT_TRUE(dialog->Searching());
  GetParam().stop(rom, dialog);
  ASSERT_FALSE(alive.isNull());
  EXPECT_FALSE(dialog->Searching());
  EXPECT_LT(dialog->Progress->value(), dialog->Progress->maximum());
  QTRY_VERIFY(alive.isNull() || dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Dialog, TileSearchStopTest,
    ::testing::Values(
        StopCase{"CancelButton", [](TChildForm*, TTileSearchForm* d) { d->CancelButton->click(); }},
        StopCase{"ClosingTheDialog", [](TChildForm*, TTileSearchForm* d) { d->close(); }},
        StopCase{"ClosingTheWindow", [](TChildForm* r, TTileSearchForm*) { r->close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
