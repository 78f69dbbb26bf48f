// A compressed stream's document: opening it from an image, the raw write its save goes
// through, and the command line's FORMAT:OFFSET.
#include "document/stream_link.h"

#include <gtest/gtest.h>

#include "document/rom_document.h"
#include "document/stream_argument.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using Bytes = std::vector<uint8_t>;
using F = CompressionFormat;
constexpr int32_t kAt = 0x40;

// 512 bytes of tile rows in four colours: short once compressed.
Bytes Tiles() {
  Bytes tiles = test::PatternBytes(512, 7);
  for (size_t i = 0; i < tiles.size(); ++i) tiles[i] = i % 32 < 16 ? tiles[i] & 0x11 : 0;
  return tiles;
}

// Random bytes with the stream of Tiles() at kAt.
Bytes Source() {
  Bytes image = test::PatternBytes(4096, 3);
  std::ranges::copy(*Compress(F::Lz10, Tiles()), image.begin() + kAt);
  return image;
}

TEST(OpenStreamAtTest, RefusesOffsetsOutsideTheImageAndTakesThePlace) {
  const Bytes source = Source();
  for (int64_t offset : {int64_t{-1}, int64_t{4096}, int64_t{1} << 40})
    EXPECT_EQ(OpenStreamAt(source, offset, F::Lz10).Error, DecompressError::EndsEarly) << offset;
  EXPECT_EQ(OpenStreamAt(source, kAt + 1, F::Lz10).Error, DecompressError::BadHeader);
  const OpenedStream opened = OpenStreamAt(source, kAt, F::Lz10);
  const size_t length = Compress(F::Lz10, Tiles())->size();
  EXPECT_EQ(opened.Link.PlaceLength, static_cast<int32_t>(length));
  EXPECT_EQ(opened.Link.PlaceBytes, Bytes(source.begin() + kAt, source.begin() + kAt + length));
}

// Each save in turn as the stream window carries it out: what lands in the image is the stream,
// then the fill byte to the end of the room, and nothing after the room changes.
TEST(StreamRoomTest, SavesFillTheRoomAndKeepItForTheNextSave) {
  // Graphics whose stream is that of Tiles(), shorter, a little longer or far longer.
  const Bytes same = Tiles(), shorter(512, 0), noise = test::PatternBytes(512, 9);
  Bytes longer = Tiles();
  for (size_t i = 0; i < 40; ++i) longer[i * 7] = static_cast<uint8_t>(0x9C + i);
  using V = StreamSaveVerdict;
  const struct {
    const char* name;
    int32_t roomChange;  // added to the stream's length as its room (0: the default room)
    uint8_t fill;
    std::vector<std::pair<const Bytes*, V>> saves;
  } cases[] = {
      {"ShorterThenTheOriginalLength", 0, 0x00, {{&shorter, V::Write}, {&same, V::Write}}},
      {"ShorterWithFreeSpaceOfFF", 0, 0xFF, {{&shorter, V::Write}, {&same, V::Write}}},
      {"OverTheRoomIsRefused", 0, 0x00, {{&longer, V::TooLarge}, {&noise, V::TooLarge}}},
      {"ALargerRoomTakesALongerStream", 100, 0x00, {{&longer, V::Write}, {&shorter, V::Write}}},
      {"TheSameBytesWriteNothing", 0, 0x00, {{&shorter, V::Write}, {&shorter, V::Unchanged}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = Source();
    StreamLink link = OpenStreamAt(image, kAt, F::Lz10).Link;
    if (c.roomChange != 0) {
      ASSERT_EQ(ChangeStreamRoom(link, image, link.PlaceLength + c.roomChange), "");
    }
    link.FillByte = c.fill;
    const auto room = static_cast<ptrdiff_t>(link.PlaceLength);
    const Bytes after(image.begin() + kAt + room, image.end());
    for (const auto& [graphics, verdict] : c.saves) {
      const StreamSavePlan plan = PlanStreamSave(link, image, *graphics);
      ASSERT_EQ(plan.Verdict, verdict);
      if (plan.Verdict != V::Write) continue;
      std::ranges::copy(plan.Bytes, image.begin() + kAt);
      StreamSaved(link, image, plan);
      Bytes expected = *Compress(F::Lz10, *graphics);
      expected.resize(static_cast<size_t>(room), c.fill);
      EXPECT_EQ(Bytes(image.begin() + kAt, image.begin() + kAt + room), expected);
    }
    EXPECT_EQ(link.PlaceLength, room);
    EXPECT_EQ(Bytes(image.begin() + kAt + room, image.end()), after);
  }
}

TEST(StreamRoomTest, ARoomShorterThanTheStreamOrPastTheEndIsRefused) {
  const Bytes image = Source();
  StreamLink link = OpenStreamAt(image, kAt, F::Lz10).Link;
  const int32_t length = link.PlaceLength;
  EXPECT_EQ(ChangeStreamRoom(link, image, length - 1),
            "The stream at 0x40 takes " + std::to_string(length) + " bytes: a room of " +
                std::to_string(length - 1) + " bytes cannot hold it.");
  EXPECT_EQ(ChangeStreamRoom(link, image, 4096 - kAt + 1),
            "A room of 4033 bytes at 0x40 reaches past the end of the image (4096 bytes).");
  EXPECT_EQ(link.PlaceLength, length);
  EXPECT_EQ(ChangeStreamRoom(link, image, 4096 - kAt), "");
  // The bytes the room gained are remembered as they are: a save asks nothing about them.
  EXPECT_FALSE(PlanStreamSave(link, image, Tiles()).PlaceChanged);
}

struct WriteCase {
  const char* name;
  int64_t offset;
  Bytes bytes;
  Bytes image;  // what the 4-byte image of 1 2 3 4 becomes
  bool modified;
};
void PrintTo(const WriteCase& c, std::ostream* os) {
  *os << c.name;
}

class WriteBytesTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteBytesTest, ClipsAtTheEndAndMarksOnlyRealChanges) {
  RomDocument doc;
  const Bytes start{1, 2, 3, 4};
  doc.LoadStream(start, {}, "x.gba");
  EXPECT_EQ(doc.WriteBytes(GetParam().offset, GetParam().bytes), GetParam().modified);
  EXPECT_EQ(Bytes(doc.RomData, doc.RomData + 4), GetParam().image);
  EXPECT_EQ(doc.Modified, GetParam().modified);
}

INSTANTIATE_TEST_SUITE_P(Document, WriteBytesTest,
                         ::testing::Values(WriteCase{"Inside", 1, {9, 9}, {1, 9, 9, 4}, true},
                                           WriteCase{
                                               "ClippedAtTheEnd", 3, {9, 9, 9}, {1, 2, 3, 9}, true},
                                           WriteCase{"SameBytes", 1, {2, 3}, {1, 2, 3, 4}, false},
                                           WriteCase{"PastTheEnd", 4, {9}, {1, 2, 3, 4}, false},
                                           WriteCase{"Negative", -1, {9}, {1, 2, 3, 4}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ArgumentCase {
  const char* text;
  std::optional<F> format;
  int32_t offset;
  std::optional<int32_t> room = std::nullopt;
};

class StreamArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(StreamArgumentTest, ReadsFormatAndOffset) {
  const StreamArgumentParse parse = ParseStreamArgument(GetParam().text);
  ASSERT_EQ(parse.Value.has_value(), GetParam().format.has_value()) << parse.Error;
  if (!parse.Value) {
    EXPECT_FALSE(parse.Error.empty());
    return;
  }
  EXPECT_EQ(parse.Value->Format, *GetParam().format);
  EXPECT_EQ(parse.Value->Offset, GetParam().offset);
  EXPECT_EQ(parse.Value->Room, GetParam().room);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, StreamArgumentTest,
                         ::testing::Values(ArgumentCase{"lz10:0x1C40", F::Lz10, 0x1C40},
                                           ArgumentCase{"NEMESIS:7232", F::Nemesis, 7232},
                                           ArgumentCase{"huff:0X7fffffff", F::Huffman, 0x7FFFFFFF},
                                           ArgumentCase{"kosinski:0", F::Kosinski, 0},
                                           ArgumentCase{"lz10:0x80000000", std::nullopt, 0},
                                           ArgumentCase{"lz10:1C40", std::nullopt, 0},
                                           ArgumentCase{"lz10:-4", std::nullopt, 0},
                                           ArgumentCase{"lz10:0x", std::nullopt, 0},
                                           ArgumentCase{"lz10:", std::nullopt, 0},
                                           ArgumentCase{"lz12:0x10", std::nullopt, 0},
                                           ArgumentCase{"lz10", std::nullopt, 0},
                                           ArgumentCase{"lz10:0x1C40:2048", F::Lz10, 0x1C40, 2048},
                                           ArgumentCase{"lz3:16:0x800", F::Lz3, 16, 0x800},
                                           ArgumentCase{"lz10:0x1C40:0", std::nullopt, 0},
                                           ArgumentCase{"lz10:0x1C40:", std::nullopt, 0},
                                           ArgumentCase{"lz10:0x1C40:8:8", std::nullopt, 0}));

}  // namespace
}  // namespace varnock
