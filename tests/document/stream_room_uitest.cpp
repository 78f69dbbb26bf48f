// A stream window's room and its move: the room and fill byte chosen as it opens and changed
// later, a shorter save that leaves the room for a save of the old length, and a stream that
// no longer fits moved with the pointer words the user ticks.
#include <QTest>

#include "compression/compression.h"
#include "document/stream_move.h"
#include "document/stream_move_form.h"
#include "document/stream_open_form.h"
#include "document/stream_room_form.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

using Bytes = std::vector<uint8_t>;
using F = CompressionFormat;
constexpr int32_t kAt = 0x1C40;
constexpr int64_t kFree = 0xC000;  // 0xFF from here to the end

// GBA tiles, half of them a few colours at random: longer compressed than 2 KB of zeros.
Bytes Tiles() {
  Bytes tiles = PatternBytes(2048, 5);
  for (size_t i = 0; i < tiles.size(); ++i) tiles[i] = (i / 64) % 2 ? tiles[i] & 0x11 : 0x12;
  return tiles;
}

Bytes Slice(const TChildForm* rom, int64_t offset, size_t count) {
  const std::span<const uint8_t> bytes = rom->Doc.BytesFrom(offset).first(count);
  return Bytes(bytes.begin(), bytes.end());
}

QString Caption(int64_t at, size_t room) {
  return QStringLiteral("sample.gba @ %1 [LZ77 10, spazio %2 byte]")
      .arg(QString::fromStdString(OffsetHexText(at)))
      .arg(room);
}

class StreamRoomWindowTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    // Noise without free bytes, the stream at kAt, words at 0x100 and 0x200 to it, 0xFF from kFree.
    Bytes image = PatternBytes(0x10000, 4);
    for (uint8_t& byte : image)
      if (byte == 0x00 || byte == 0xFF) byte = 0x5A;
    std::fill(image.begin() + kFree, image.end(), uint8_t{0xFF});
    for (const size_t word : {0x100, 0x200})
      std::ranges::copy(GbaPointerBytes(kAt), image.begin() + word);
    std::ranges::copy(*Compress(F::Lz10, Tiles()), image.begin() + kAt);
    source = Open("sample.gba", image);
    ASSERT_NE(source, nullptr);
    source->OpenStream1->trigger();
    auto* dialog = source->findChild<TStreamOpenForm*>();
    ASSERT_NE(dialog, nullptr);
    dialog->OffsetEdit->setText(QStringLiteral("1C40"));
    roomShown = dialog->RoomEdit->text();
    fillShown = dialog->FillEdit->text();
    dialog->OkButton->click();
    stream = MainForm->ActiveChild();
    ASSERT_NE(stream, source);
  }
  TChildForm* source = nullptr;
  TChildForm* stream = nullptr;
  QString roomShown, fillShown;
  const size_t length = Compress(F::Lz10, Tiles())->size();
};

TEST_F(StreamRoomWindowTest, AShorterSaveFillsTheRoomAndTheOldLengthFitsAgain) {
  EXPECT_EQ(roomShown, QString::number(length)) << "the room the decoder consumed";
  EXPECT_EQ(fillShown, QStringLiteral("FF")) << "the image's free space is 0xFF";
  EXPECT_EQ(stream->windowTitle(), Caption(kAt, length));

  stream->Doc.WriteBytes(0, Bytes(2048, 0));
  MainForm->SaveSpdBtn->click();
  Bytes shorter = *Compress(F::Lz10, Bytes(2048, 0));
  ASSERT_LT(shorter.size(), length);
  shorter.resize(length, 0xFF);
  EXPECT_EQ(Slice(source, kAt, length), shorter);
  // The window keeps the room it wrote: the old length goes in again without a question.
  stream->Doc.WriteBytes(0, Tiles());
  MainForm->SaveSpdBtn->click();
  EXPECT_TRUE(prompts.Messages.empty()) << prompts.Messages.back().Text.toStdString();
  EXPECT_EQ(Slice(source, kAt, length), *Compress(F::Lz10, Tiles()));
  EXPECT_FALSE(stream->Doc.Modified);

  // A room the stream cannot have (the dialog says why and stays), then a larger one.
  for (const int room : {static_cast<int>(length) - 1, static_cast<int>(length) + 64}) {
    stream->StreamRoom1->trigger();
    auto* dialog = stream->findChild<TStreamRoomForm*>();
    ASSERT_NE(dialog, nullptr);
    dialog->RoomBox->setValue(room);
    dialog->OkButton->click();
    EXPECT_EQ(dialog->isVisible(), room < static_cast<int>(length));
    if (dialog->isVisible()) {
      EXPECT_TRUE(dialog->FailureLabel->text().endsWith(QStringLiteral("cannot hold it.")));
      dialog->CancelButton->click();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  EXPECT_EQ(stream->windowTitle(), Caption(kAt, length + 64));
}

TEST_F(StreamRoomWindowTest, AStreamThatNoLongerFitsMovesWithTheTickedPointers) {
  const Bytes noise = PatternBytes(2048, 8);
  stream->Doc.WriteBytes(0, noise);
  const Bytes compressed = *Compress(F::Lz10, noise);
  const Bytes before = Slice(source, 0, 0x10000);
  prompts.Answers = {PromptAnswer::Yes};  // "Sposta..."
  MainForm->SaveSpdBtn->click();
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Buttons, PromptButtons::OkMove);
  TStreamMoveForm* dialog = stream->MoveForm;
  ASSERT_NE(dialog, nullptr);
  // The first free run from the end, past its margin, 4-byte aligned.
  constexpr int64_t kNew = kFree + 16;
  EXPECT_EQ(dialog->OffsetEdit->text(), QString::number(kNew, 16).toUpper());
  ASSERT_EQ(dialog->PointerList->count(), 2);
  dialog->PointerList->item(1)->setCheckState(Qt::Unchecked);
  dialog->MoveButton->click();

  Bytes expected = before;
  std::ranges::copy(compressed, expected.begin() + kNew);
  std::ranges::copy(GbaPointerBytes(kNew), expected.begin() + 0x100);
  EXPECT_EQ(Slice(source, 0, 0x10000), expected) << "old place and the unticked word kept";
  EXPECT_EQ(prompts.Messages.back().Text,
            QStringLiteral("The stream now starts at 0xC010; its old place at 0x1C40 is as it "
                           "was. 1 pointer word now points at 0xC010."));
  EXPECT_EQ(stream->windowTitle(), Caption(kNew, compressed.size()));
  EXPECT_FALSE(stream->Doc.Modified);
  // The move and its pointer are one step.
  ASSERT_TRUE(source->Doc.Undo());
  EXPECT_EQ(Slice(source, 0, 0x10000), before);
}

}  // namespace
}  // namespace varnock::test
