// Stream windows: a compressed stream opened as a window, edited with the tile editor, saved
// back into its ROM window, refused when it no longer fits, and closed before its source.
#include <QMdiArea>
#include <QTest>
#include <functional>

#include "compression/compression.h"
#include "compression/gba_formats.h"
#include "document/stream_open_form.h"
#include "support/app_fixture.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr int32_t kAt = 0x1C40;

// 2 KB of GBA tiles (32 bytes each) in a few colours; the first pixel is the odd one out, so
// that drawing colour 2 there makes the stream shorter.
Bytes Tiles() {
  Bytes tiles = PatternBytes(2048, 5);
  for (size_t i = 0; i < tiles.size(); ++i) tiles[i] = (i / 64) % 2 ? tiles[i] & 0x11 : 0x12;
  tiles[0] = 0x13;
  return tiles;
}

// As a game's own compressor wrote it: a greedy parse, a little longer than ours.
Bytes PlantedStream() {
  return *CompressGbaFormatGreedy(CompressionFormat::Lz10, Tiles());
}

Bytes GbaImage() {
  Bytes image = PatternBytes(0x10000, 4);
  const Bytes stream = PlantedStream();
  std::ranges::copy(stream, image.begin() + kAt);
  return image;
}

Bytes ImageBytes(const TChildForm* rom, int32_t offset, size_t count) {
  return Bytes(rom->Doc.RomData + offset, rom->Doc.RomData + offset + count);
}

class StreamWindowTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    source = Open("sample.gba", GbaImage());
    ASSERT_NE(source, nullptr);
    source->Doc.SubPalette = 3;
  }
  // Through the menu's dialog, as a user does; the new window or null.
  TChildForm* OpenThroughDialog(const QString& offset) {
    source->OpenStream1->trigger();
    auto* dialog = source->findChild<TStreamOpenForm*>();
    if (!dialog) return nullptr;
    preset = dialog->OffsetEdit->text();
    dialog->OffsetEdit->setText(offset);
    dialog->OkButton->click();
    TChildForm* active = MainForm->ActiveChild();
    return active == source ? nullptr : active;
  }
  // Draws colour 2 into the stream's first pixel with the tile editor.
  Bytes DrawPixel(TChildForm* stream) {
    QTest::mouseClick(stream->View, Qt::LeftButton, {}, QPoint(1, 1));
    EditForm->LeftColor = 2;
    QTest::mouseClick(EditForm, Qt::LeftButton, {}, QPoint(1, 1));
    Bytes edited = Tiles();
    edited[0] = 0x12;
    return edited;
  }
  TChildForm* source = nullptr;
  QString preset;
};

TEST_F(StreamWindowTest, OpensWithTheSourcesFormatAndPaletteAndNoHeader) {
  const int cell = source->Doc.CellWidth;
  QTest::mouseClick(source->View, Qt::LeftButton, {}, QPoint(cell + 1, 1));  // picks tile 1
  TChildForm* stream = OpenThroughDialog(QStringLiteral("1C40"));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(preset, QString::number(source->Doc.ViewOffset + 32, 16).toUpper());
  EXPECT_EQ(
      stream->windowTitle(),
      QStringLiteral("sample.gba @ 0x1C40 [LZ77 10, spazio %1 byte]").arg(PlantedStream().size()));
  EXPECT_EQ(ImageBytes(stream, 0, 2048), Tiles());
  EXPECT_EQ(stream->Doc.RomSize, 2048);
  EXPECT_EQ(stream->Doc.Format, 9);
  EXPECT_EQ(stream->Doc.Palette, source->Doc.Palette);
  EXPECT_EQ(stream->Doc.SubPalette, 3);
  EXPECT_EQ(stream->Doc.ScrollMinimum, 0);
  EXPECT_EQ(stream->Doc.Zoom, 3);
  EXPECT_GT(stream->x(), source->x()) << "beside its source";
  EXPECT_EQ(Panel(0), QStringLiteral("2K"));
}

struct SaveCase {
  const char* name;
  std::function<void(TChildForm* stream, ScriptedPrompts& prompts)> save;
};
void PrintTo(const SaveCase& c, std::ostream* os) {
  *os << c.name;
}

class StreamSaveTest : public StreamWindowTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(StreamSaveTest, CompressesTheEditIntoTheSourceAndLeavesTheDisk) {
  TChildForm* stream = OpenThroughDialog(QStringLiteral("1C40"));
  ASSERT_NE(stream, nullptr);
  const Bytes edited = DrawPixel(stream);
  ASSERT_TRUE(stream->Doc.Modified);
  const Bytes compressed = *Compress(CompressionFormat::Lz10, edited);
  const int decodesBefore = source->DecodeCount;
  GetParam().save(stream, prompts);
  EXPECT_EQ(ImageBytes(source, kAt, compressed.size()), compressed);
  EXPECT_EQ(Decompress(CompressionFormat::Lz10, source->Doc.BytesFrom(kAt)).Bytes, edited);
  EXPECT_TRUE(source->Doc.Modified);
  EXPECT_GT(source->DecodeCount, decodesBefore) << "the source redraws";
  EXPECT_EQ(ReadFile(dir.File("sample.gba")), GbaImage()) << "the disk waits for the ROM's save";
  EXPECT_TRUE(prompts.Messages.size() <= 1u) << prompts.Messages.back().Text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Stream, StreamSaveTest,
                         ::testing::Values(SaveCase{"CtrlS",
                                                    [](TChildForm* s, ScriptedPrompts&) {
                                                      QTest::keyClick(s->View, Qt::Key_S,
                                                                      Qt::ControlModifier);
                                                    }},
                                           SaveCase{"ToolbarButton",
                                                    [](TChildForm*, ScriptedPrompts&) {
                                                      MainForm->SaveSpdBtn->click();
                                                    }},
                                           SaveCase{"YesToTheCloseQuestion",
                                                    [](TChildForm* s, ScriptedPrompts& p) {
                                                      p.Answers = {PromptAnswer::Yes};
                                                      s->close();
                                                    }}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
  const char* name;
  bool noise;      // graphics that no longer fit, instead of one pixel
  bool otherEdit;  // the source's byte at the place changed since the open
  std::vector<PromptAnswer> answers;
  const char* message;  // the last message, "%1" for the compressed length
  bool written;
};
void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

const char* const kNoRoom =
    "The graphics take %1 bytes compressed and only %2 are free at 0x1C40. Nothing was written.";
const char* const kChangedPlace =
    "The bytes at 0x1C40 in sample.gba have changed since these graphics were opened or last "
    "saved. Write over them?";

class StreamRefusalTest : public StreamWindowTest,
                          public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(StreamRefusalTest, WritesNothingUnlessItFitsAndTheUserAgrees) {
  const RefusalCase& c = GetParam();
  TChildForm* stream = OpenThroughDialog(QStringLiteral("1C40"));
  ASSERT_NE(stream, nullptr);
  const size_t place = PlantedStream().size();
  Bytes edited = DrawPixel(stream);
  if (c.noise) {
    edited = PatternBytes(2048, 8);
    stream->Doc.WriteBytes(0, edited);
  }
  if (c.otherEdit) source->Doc.WriteBytes(kAt + 20, Bytes{0x5A});
  const Bytes before = ImageBytes(source, 0, 0x10000);
  prompts.Answers.assign(c.answers.begin(), c.answers.end());
  MainForm->Save1Click();
  const Bytes compressed = *Compress(CompressionFormat::Lz10, edited);
  ASSERT_FALSE(prompts.Messages.empty());
  EXPECT_EQ(prompts.Messages.back().Text,
            QString::fromUtf8(c.message).arg(compressed.size()).arg(place));
  EXPECT_EQ(prompts.Messages.back().Caption, QStringLiteral("Varnock Pro"));
  EXPECT_EQ(stream->Doc.Modified, !c.written);
  if (c.written) {
    EXPECT_EQ(ImageBytes(source, kAt, compressed.size()), compressed);
  } else {
    EXPECT_EQ(ImageBytes(source, 0, 0x10000), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stream, StreamRefusalTest,
    ::testing::Values(
        RefusalCase{"DoesNotFit", true, false, {}, kNoRoom, false},
        RefusalCase{"ChangedPlaceNo", false, true, {PromptAnswer::No}, kChangedPlace, false},
        RefusalCase{"ChangedPlaceYes", false, true, {PromptAnswer::Yes}, kChangedPlace, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StreamWindowTest, SavesKeepThePlaceAndAnUnchangedStreamWritesNothing) {
  TChildForm* stream = OpenThroughDialog(QStringLiteral("1C40"));
  ASSERT_NE(stream, nullptr);
  MainForm->SaveSpdBtn->click();
  EXPECT_FALSE(source->Doc.Modified) << "an unmodified stream saves nothing";
  // A first save that shrinks the stream leaves its place as long as it was.
  const size_t place = PlantedStream().size();
  stream->Doc.WriteBytes(0, Bytes(2048, 0));
  MainForm->SaveSpdBtn->click();
  EXPECT_EQ(stream->Doc.Stream->PlaceLength, static_cast<int32_t>(place));
  // The stream's own last save is no other edit: the next save asks nothing.
  stream->Doc.WriteBytes(0, Bytes(1024, 1));
  MainForm->SaveSpdBtn->click();
  EXPECT_EQ(Decompress(CompressionFormat::Lz10, source->Doc.BytesFrom(kAt)).Bytes,
            ImageBytes(stream, 0, 2048));
  EXPECT_TRUE(prompts.Messages.empty());
  // Save As writes the graphics as they are, keeps where Save writes and the changes mark.
  stream->Doc.WriteBytes(0, Bytes{7});
  prompts.FileNames = {QString::fromStdString(dir.File("tiles.bin"))};
  MainForm->SaveAs1Click();
  ASSERT_EQ(prompts.FileDialogs.size(), 1u);
  EXPECT_EQ(prompts.FileDialogs[0].Preset, QString::fromStdString(dir.File("sample_1C40.bin")));
  EXPECT_EQ(ReadFile(dir.File("tiles.bin")), ImageBytes(stream, 0, 2048));
  EXPECT_TRUE(stream->Doc.Modified);
  // The caption keeps its place text, and the mark of the changes still to be saved.
  const QString caption =
      QStringLiteral("sample.gba @ 0x1C40 [LZ77 10, spazio %1 byte]").arg(place);
  EXPECT_EQ(stream->windowTitle(), caption + QLatin1Char('*'));
  MainForm->SaveSpdBtn->click();
  EXPECT_EQ(stream->windowTitle(), caption);
}

struct CloseCase {
  const char* name;
  std::function<void(TChildForm* source)> close;
  std::vector<PromptAnswer> answers;
  int questions;
  int windowsLeft;
};
void PrintTo(const CloseCase& c, std::ostream* os) {
  *os << c.name;
}

class StreamCloseTest : public StreamWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(StreamCloseTest, TheStreamWindowAsksFirstAndACancelKeepsBoth) {
  const CloseCase& c = GetParam();
  TChildForm* stream = OpenThroughDialog(QStringLiteral("1C40"));
  ASSERT_NE(stream, nullptr);
  DrawPixel(stream);
  prompts.Answers.assign(c.answers.begin(), c.answers.end());
  c.close(source);
  ASSERT_EQ(prompts.Messages.size(), static_cast<size_t>(c.questions));
  EXPECT_EQ(prompts.Messages[0].Text,
            QStringLiteral("Save changes to sample.gba @ 0x1C40 [LZ77 10, spazio %1 byte]?")
                .arg(PlantedStream().size()));
  if (c.questions > 1) {
    EXPECT_EQ(prompts.Messages[1].Text, QStringLiteral("Save changes to sample.gba?"));
  }
  QApplication::processEvents();
  EXPECT_EQ(MainForm->RomWindowCount(), c.windowsLeft);
  if (c.windowsLeft == 2) {
    EXPECT_TRUE(stream->Doc.Modified);
  }
}

const auto kCloseSource = [](TChildForm* source) { source->close(); };
const auto kCloseAll = [](TChildForm*) { MainForm->CloseAll1Click(); };
const auto kCloseFrame = [](TChildForm*) { MainForm->close(); };

INSTANTIATE_TEST_SUITE_P(
    Stream, StreamCloseTest,
    ::testing::Values(
        CloseCase{"CancelKeepsBoth", kCloseSource, {PromptAnswer::Cancel}, 1, 2},
        CloseCase{
            "YesThenTheSourceAsks", kCloseSource, {PromptAnswer::Yes, PromptAnswer::No}, 2, 0},
        CloseCase{"CloseAllStopsAtTheCancel", kCloseAll, {PromptAnswer::Cancel}, 1, 2},
        CloseCase{"FrameStopsAtTheCancel", kCloseFrame, {PromptAnswer::Cancel}, 1, 2},
        CloseCase{"NoClosesBoth", kCloseFrame, {PromptAnswer::No}, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The scan list, the dialog and the command line all open streams this way.
TEST_F(StreamWindowTest, AStreamAlreadyOpenActivatesItsWindowWithItsEdits) {
  TChildForm* stream = OpenThroughDialog(QStringLiteral("1C40"));
  ASSERT_NE(stream, nullptr);
  const Bytes edited = DrawPixel(stream);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed dialog
  MainForm->MdiArea->setActiveSubWindow(source);
  EXPECT_EQ(OpenThroughDialog(QStringLiteral("1C40")), stream);
  MainForm->MdiArea->setActiveSubWindow(source);
  EXPECT_EQ(source->OpenStreamWindow(kAt, CompressionFormat::Lz10), stream);
  EXPECT_EQ(MainForm->ActiveChild(), stream);
  EXPECT_EQ(MainForm->RomWindowCount(), 2);
  EXPECT_EQ(ImageBytes(stream, 0, 2048), edited) << "its edits stay";
  // The same place of another window's image is another stream.
  TChildForm* other = Open("other.gba", GbaImage());
  ASSERT_NE(other, nullptr);
  TChildForm* otherStream = other->OpenStreamWindow(kAt, CompressionFormat::Lz10);
  EXPECT_TRUE(otherStream && otherStream != stream);
}

TEST_F(StreamWindowTest, AStreamThatDoesNotOpenKeepsTheDialogOpenWithTheReason) {
  source->OpenStream1->trigger();
  auto* dialog = source->findChild<TStreamOpenForm*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->focusWidget(), dialog->OffsetEdit) << "the offset takes the keys first";
  EXPECT_EQ(dialog->OffsetEdit->selectedText(), dialog->OffsetEdit->text());
  dialog->OffsetEdit->setText(QStringLiteral("1C41"));
  dialog->OkButton->click();
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_TRUE(dialog->FailureLabel->isVisibleTo(dialog));
  EXPECT_EQ(
      dialog->FailureLabel->text(),
      QStringLiteral("No LZ77 10 stream starts at 0x1C41: its header is not of this format."));
  EXPECT_EQ(dialog->OffsetEdit->selectedText(), QStringLiteral("1C41")) << "ready to be typed over";
  EXPECT_TRUE(prompts.Messages.empty()) << "no box over the dialog";
  EXPECT_EQ(MainForm->RomWindowCount(), 1);
  dialog->OffsetEdit->setText(QStringLiteral("1C40"));
  dialog->OkButton->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(MainForm->RomWindowCount(), 2);
}

// Opened by a name without a folder (from the command line, in the folder it names).
TEST_F(StreamWindowTest, SaveAsOfAStreamFromANameWithoutAFolderProposesTheBareName) {
  TChildForm* stream = OpenThroughDialog(QStringLiteral("1C40"));
  ASSERT_NE(stream, nullptr);
  source->Doc.RomPath = "sample.gba";
  stream->Doc.RomPath = "sample.gba";
  prompts.FileNames = {};  // Cancel
  MainForm->SaveAs1Click();
  ASSERT_EQ(prompts.FileDialogs.size(), 1u);
  EXPECT_EQ(prompts.FileDialogs[0].Preset, QStringLiteral("sample_1C40.bin"));
}

TEST_F(StreamWindowTest, AStreamBelowAKilobyteShowsItsSizeInBytes) {
  Bytes image = GbaImage();
  const Bytes small = *Compress(CompressionFormat::Lz10, Bytes(944, 0x11));
  std::ranges::copy(small, image.begin() + 0x8000);
  TChildForm* rom = Open("small.gba", image);
  ASSERT_NE(rom, nullptr);
  ASSERT_NE(rom->OpenStreamWindow(0x8000, CompressionFormat::Lz10), nullptr);
  EXPECT_EQ(Panel(0), QStringLiteral("944 B"));
}
}  // namespace
}  // namespace varnock::test
