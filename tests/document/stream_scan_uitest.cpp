// The scan dialog: the scan runs on a worker over a copy, its finds are listed with numbers
// that sort as numbers, and a find opens or moves the view; stopping and closing wait for it.
#include <QTest>
#include <thread>

#include "compression/compression.h"
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

class StreamScanTest : public AppTest {
 protected:
  TStreamScanForm* OpenDialog(const Bytes& image) {
    source = Open("sample.gba", image);
    if (!source) return nullptr;
    source->FindStreams1->trigger();
    return source->ScanForm;
  }
  QTreeWidgetItem* Row(TStreamScanForm* dialog, int row) {
    return dialog->Results->topLevelItem(row);
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
  ASSERT_EQ(dialog->Results->topLevelItemCount(), 2);
  EXPECT_EQ(dialog->Progress->value(), dialog->Progress->maximum());

  // Sorted by the decompressed length as numbers: 768 before 2048 (as text, "2048" is first).
  dialog->Results->sortByColumn(kScanUnpacked, Qt::AscendingOrder);
  QTreeWidgetItem* small = Row(dialog, 0);
  EXPECT_EQ(small->text(kScanOffset), QStringLiteral("0x8000"));
  EXPECT_EQ(small->text(kScanFormat), QStringLiteral("LZ77 10"));
  EXPECT_EQ(small->text(kScanPacked),
            QString::number(Compress(CompressionFormat::Lz10, Tiles(768))->size()));
  EXPECT_EQ(small->text(kScanTiles), QStringLiteral("24"));  // 768 bytes of 4-bit tiles
  const QPixmap picture = small->data(kScanPicture, Qt::DecorationRole).value<QPixmap>();
  EXPECT_EQ(picture.size(), QSize(128, 16));

  dialog->Results->setCurrentItem(small);
  dialog->GotoButton->click();
  EXPECT_EQ(source->Doc.ViewOffset, 0x8000);
  EXPECT_EQ(source->ScrollBar->value(), 0x8000);

  QTreeWidgetItem* large = Row(dialog, 1);
  const QPoint at = dialog->Results->visualItemRect(large).center();
  // What a user's double click delivers: a press and release, then the double click.
  QTest::mouseClick(dialog->Results->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(dialog->Results->viewport(), Qt::LeftButton, {}, at);
  TChildForm* stream = MainForm->ActiveChild();
  ASSERT_NE(stream, source);
  EXPECT_EQ(stream->windowTitle(), QStringLiteral("sample.gba @ 0x1C40 [LZ77 10]"));
  EXPECT_EQ(stream->Doc.RomSize, 2048);
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
