// The scan dialog: the scan runs on a worker over a copy, its finds are listed with numbers
// that sort as numbers, and a find opens or moves the view; stopping and closing wait for it.
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <thread>

#include "compression/compression.h"
#include "document/stream_link.h"
#include "document/stream_scan_form.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

using Bytes = std::vector<uint8_t>;

// `size` bytes of tiles in a few colours: they compress well.
Bytes Tiles(size_t size) {
  Bytes tiles = PatternBytes(size, 6);
  for (auto& byte : tiles) byte &= 0x21;
  return tiles;
}

// Zeros with LZ77 10 streams of 2048 bytes at 0x1C40 and 768 bytes at 0x8000.
Bytes PlantedImage() {
  Bytes image(0x10000, 0);
  std::ranges::copy(*Compress(CompressionFormat::Lz10, Tiles(2048)), image.begin() + 0x1C40);
  std::ranges::copy(*Compress(CompressionFormat::Lz10, Tiles(768)), image.begin() + 0x8000);
  return image;
}

// `count` RLE 30 streams of 256 bytes of tiles, one every 80 bytes, after 0x100 zeros.
Bytes ManyStreams(size_t count) {
  Bytes image(0x100 + count * 80, 0);
  for (size_t i = 0; i < count; ++i) {
    Bytes tiles(256);
    for (size_t b = 0; b < tiles.size(); ++b)
      tiles[b] = static_cast<uint8_t>(0x11 * (1 + (b / 8 + i) % 3));
    std::ranges::copy(*Compress(CompressionFormat::Rle30, tiles), image.begin() + 0x100 + i * 80);
  }
  return image;
}

class StreamScanTest : public AppTest {
 protected:
  TStreamScanForm* OpenDialog(const Bytes& image) {
    source = Open("sample.gba", image);
    if (!source) return nullptr;
    source->FindStreams1->trigger();
    return source->ScanForm;
  }
  static QString Text(TStreamScanForm* dialog, int row, int column) {
    return dialog->Model->index(row, column).data().toString();
  }
  static QPixmap Picture(TStreamScanForm* dialog, int row) {
    return dialog->Model->index(row, kScanPicture).data(Qt::DecorationRole).value<QPixmap>();
  }
  // The colours of a row's picture: the tiles it shows, not a black strip, have more than 2.
  static int ColoursAt(TStreamScanForm* dialog, int row) {
    const QImage image = Picture(dialog, row).toImage().convertToFormat(QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
    return static_cast<int>(QSet<QRgb>(pixels, pixels + image.width() * image.height()).size());
  }
  TChildForm* source = nullptr;
};

TEST_F(StreamScanTest, FindsPlantedStreamsOnAWorkerAndOpensOneWithADoubleClick) {
  TStreamScanForm* dialog = OpenDialog(PlantedImage());
  ASSERT_NE(dialog, nullptr);
  QStringList ticked;
  for (QCheckBox* box : dialog->FormatBoxes)
    if (box->isChecked()) ticked << box->text();
  EXPECT_EQ(ticked.join(u','), QStringLiteral("LZ77 10,LZ77 11,RLE 30,Huffman"));
  dialog->StartButton->click();
  EXPECT_TRUE(dialog->Scanning());
  EXPECT_FALSE(dialog->StartButton->isEnabled());
  QTRY_VERIFY(!dialog->Scanning());
  EXPECT_NE(dialog->LastWorkerThread, std::this_thread::get_id());
  EXPECT_NE(dialog->LastWorkerThread, std::thread::id());
  ASSERT_EQ(dialog->Model->rowCount(), 2);
  EXPECT_EQ(dialog->Progress->value(), dialog->Progress->maximum());

  // Sorted by the decompressed length as numbers: 768 before 2048 (as text, "2048" is first).
  dialog->Results->sortByColumn(kScanUnpacked, Qt::AscendingOrder);
  EXPECT_EQ(Text(dialog, 0, kScanOffset), QStringLiteral("0x8000"));
  EXPECT_EQ(Text(dialog, 0, kScanFormat), QStringLiteral("LZ77 10"));
  EXPECT_EQ(Text(dialog, 0, kScanPacked),
            QString::number(Compress(CompressionFormat::Lz10, Tiles(768))->size()));
  EXPECT_EQ(Text(dialog, 0, kScanTiles), QStringLiteral("24"));  // 768 bytes of 4-bit tiles
  EXPECT_EQ(Picture(dialog, 0).size(), QSize(128, 16));

  dialog->Results->setCurrentIndex(dialog->Model->index(0, 0));
  dialog->GotoButton->click();
  EXPECT_EQ(source->Doc.ViewOffset, 0x8000);
  EXPECT_EQ(source->ScrollBar->value(), 0x8000);

  const QPoint at = dialog->Results->visualRect(dialog->Model->index(1, kScanFormat)).center();
  // What a user's double click delivers: a press and release, then the double click.
  QTest::mouseClick(dialog->Results->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(dialog->Results->viewport(), Qt::LeftButton, {}, at);
  TChildForm* stream = MainForm->ActiveChild();
  ASSERT_NE(stream, source);
  EXPECT_EQ(stream->windowTitle(),
            QStringLiteral("sample.gba @ 0x1C40 [LZ77 10, spazio %1 byte]")
                .arg(Compress(CompressionFormat::Lz10, Tiles(2048))->size()));
  EXPECT_EQ(stream->Doc.RomSize, 2048);
}

TEST_F(StreamScanTest, TenThousandFindsAreListedWithPicturesAndSortedWhileTheEventLoopAnswers) {
  TStreamScanForm* dialog = OpenDialog(ManyStreams(10000));
  ASSERT_NE(dialog, nullptr);
  // Every find listed, whatever the score makes of these tiles.
  dialog->ShowAllBox->setChecked(true);
  // The longest wait between two beats of a timer that asks for one every 5 ms.
  QElapsedTimer clock;
  qint64 last = 0, longest = 0;
  QTimer beat;
  QObject::connect(&beat, &QTimer::timeout, [&] {
    longest = std::max(longest, clock.elapsed() - last);
    last = clock.elapsed();
  });
  clock.start();
  beat.start(5);
  dialog->StartButton->click();
  QTRY_VERIFY_WITH_TIMEOUT(!dialog->Scanning(), 60000);
  QTest::qWait(100);  // the list is painted, pictures and all
  ASSERT_EQ(dialog->Model->rowCount(), 10000);
  dialog->Results->sortByColumn(kScanOffset, Qt::DescendingOrder);
  QTest::qWait(100);
  EXPECT_EQ(Text(dialog, 0, kScanOffset), QString::fromStdString(OffsetHexText(0x100 + 9999 * 80)));
  // A layout of every row takes minutes for this many; the list takes none.
  EXPECT_LT(longest, 1500);
  for (int row = 0; row < 16; ++row) EXPECT_GE(ColoursAt(dialog, row), 3) << "row " << row;
}

TEST_F(StreamScanTest, EveryFindHasItsPictureAlsoWhenTheScanWasStopped) {
  // The planted streams first, then 8 MiB of noise that every format takes long to scan.
  Bytes image = ManyStreams(16);
  const Bytes noise = PatternBytes(8u << 20, 2);
  image.insert(image.end(), noise.begin(), noise.end());
  TStreamScanForm* dialog = OpenDialog(image);
  ASSERT_NE(dialog, nullptr);
  // These tiles repeat one pattern, which the score hides: the pictures are what counts here.
  dialog->ShowAllBox->setChecked(true);
  for (QCheckBox* box : dialog->FormatBoxes) box->setChecked(true);
  dialog->StartButton->click();
  QTRY_VERIFY(dialog->Progress->value() > 0);
  dialog->CancelButton->click();
  QTRY_VERIFY(!dialog->Scanning());
  ASSERT_GE(dialog->Model->rowCount(), 16);
  for (int row = 0; row < 16; ++row) EXPECT_GE(ColoursAt(dialog, row), 3) << "row " << row;
}

// Scores and sizes: the list shows what the threshold and the minimum size let through, the
// likeliest first, and says how many the threshold hides.
TEST_F(StreamScanTest, TheThresholdAndTheMinimumSizeChooseTheRows) {
  const std::vector<StreamFind> finds = {{0x100, CompressionFormat::Lz10, 40, 2048, 0, 60},
                                         {0x200, CompressionFormat::Lz10, 40, 256, 0, 90},
                                         {0x300, CompressionFormat::Lz10, 40, 4096, 0, 40},
                                         {0x400, CompressionFormat::Lz10, 40, 100, 0, 10},
                                         {0x500, CompressionFormat::Lz10, 40, 255, 0, 70}};
  const struct {
    const char* name;
    int threshold, minimumSize;
    bool showAll;
    std::vector<int> scores;  // of the rows, in the list's order
    int hidden;               // the number "Mostra tutti" gives
  } cases[] = {
      {"Defaults", 50, 256, false, {90, 60}, 1},
      {"ShowAll", 50, 256, true, {90, 60, 40}, 1},
      {"NoMinimum", 50, 0, false, {90, 70, 60}, 2},
      {"HigherThreshold", 80, 256, false, {90}, 2},
  };
  TStreamScanForm* dialog = OpenDialog(Bytes(4096, 0));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->ThresholdBox->value(), 50);
  EXPECT_EQ(dialog->MinimumSizeBox->value(), 256);
  dialog->Model->SetFinds(finds, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialog->ThresholdBox->setValue(c.threshold);
    dialog->MinimumSizeBox->setValue(c.minimumSize);
    dialog->ShowAllBox->setChecked(c.showAll);
    dialog->FilterChanged();
    std::vector<int> scores;
    for (int row = 0; row < dialog->Model->rowCount(); ++row)
      scores.push_back(Text(dialog, row, kScanScore).toInt());
    EXPECT_EQ(scores, c.scores);
    EXPECT_EQ(dialog->ShowAllBox->text(), QStringLiteral("Mostra &tutti (%1)").arg(c.hidden));
  }
}

struct StopCase {
  const char* name;
  void (*stop)(TChildForm* source, TStreamScanForm* dialog);
};

class StreamScanStopTest : public StreamScanTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StreamScanStopTest, ARunningScanEndsAtOnceAndItsWorkerIsGone) {
  // 8 MiB of noise for every format takes the worker far longer than this test.
  TStreamScanForm* dialog = OpenDialog(PatternBytes(8u << 20, 2));
  ASSERT_NE(dialog, nullptr);
  for (QCheckBox* box : dialog->FormatBoxes) box->setChecked(true);
  QPointer<TStreamScanForm> alive = dialog;
  dialog->StartButton->click();
  ASSERT_TRUE(dialog->Scanning());
  GetParam().stop(source, dialog);
  ASSERT_FALSE(alive.isNull());
  EXPECT_FALSE(dialog->Scanning());
  EXPECT_LT(dialog->Progress->value(), dialog->Progress->maximum());
  QTRY_VERIFY(alive.isNull() || dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Scan, StreamScanStopTest,
    ::testing::Values(
        StopCase{"CancelButton", [](TChildForm*, TStreamScanForm* d) { d->CancelButton->click(); }},
        StopCase{"ClosingTheDialog", [](TChildForm*, TStreamScanForm* d) { d->close(); }},
        StopCase{"ClosingTheWindow", [](TChildForm* s, TStreamScanForm*) { s->close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
