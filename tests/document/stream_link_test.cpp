// A compressed stream's document: opening it from an image, what saving it back would write,
// the raw write it goes through, and the command line's FORMAT:OFFSET.
#include "document/stream_link.h"

#include <gtest/gtest.h>

#include "compression/scan_presets.h"
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

// Random bytes with the stream of Tiles() at kAt; `room` bytes of 0xEE follow it.
Bytes Source(size_t room = 0) {
  Bytes image = test::PatternBytes(4096, 3);
  Bytes stream = *Compress(F::Lz10, Tiles());
  stream.insert(stream.end(), room, 0xEE);
  std::ranges::copy(stream, image.begin() + kAt);
  return image;
}

struct PlanCase {
  const char* name;
  size_t room;     // bytes between the stream's end and the place's end
  int edit;        // 0: graphics unchanged; 1: one pixel changed; 2: noise that compresses badly
  bool otherEdit;  // the place's last byte changed in the source since
  StreamSaveVerdict verdict;
};
void PrintTo(const PlanCase& c, std::ostream* os) {
  *os << c.name;
}

class PlanStreamSaveTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanStreamSaveTest, WritesOnlyWhatFitsAndNoticesOtherEdits) {
  const PlanCase& c = GetParam();
  Bytes source = Source();
  OpenedStream opened = OpenStreamAt(source, kAt, F::Lz10);
  ASSERT_TRUE(opened.ok());
  ASSERT_EQ(opened.Bytes, Tiles());
  opened.Link.PlaceLength += static_cast<int32_t>(c.room);  // as if the stream had shrunk before
  opened.Link.PlaceBytes.assign(source.begin() + kAt,
                                source.begin() + kAt + opened.Link.PlaceLength);
  Bytes graphics = opened.Bytes;
  if (c.edit == 1) graphics[3] ^= 0x01;
  if (c.edit == 2) graphics = test::PatternBytes(graphics.size(), 9);
  if (c.otherEdit) source[kAt + opened.Link.PlaceLength - 1] ^= 0xFF;

  const StreamSavePlan plan = PlanStreamSave(opened.Link, source, graphics);
  EXPECT_EQ(plan.Verdict, c.verdict);
  EXPECT_EQ(plan.PlaceChanged, c.otherEdit);
  EXPECT_EQ(Decompress(F::Lz10, plan.Compressed).Bytes, graphics);
}

INSTANTIATE_TEST_SUITE_P(
    Stream, PlanStreamSaveTest,
    ::testing::Values(
        PlanCase{"UnchangedWritesNothing", 0, 0, false, StreamSaveVerdict::Unchanged},
        PlanCase{"EditFitsWithRoom", 8, 1, false, StreamSaveVerdict::Write},
        PlanCase{"EditChangedElsewhereToo", 8, 1, true, StreamSaveVerdict::Write},
        PlanCase{"NoiseDoesNotFit", 0, 2, false, StreamSaveVerdict::TooLarge},
        // Another edit in the tail of the place, past the stream, still counts as a change.
        PlanCase{"UnchangedButTailEdited", 4, 0, true, StreamSaveVerdict::Unchanged}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenStreamAtTest, RefusesOffsetsOutsideTheImageAndTakesThePlace) {
  const Bytes source = Source();
  for (int64_t offset : {int64_t{-1}, int64_t{4096}, int64_t{1} << 40})
    EXPECT_EQ(OpenStreamAt(source, offset, F::Lz10).Error, DecompressError::EndsEarly) << offset;
  EXPECT_EQ(OpenStreamAt(source, kAt + 1, F::Lz10).Error, DecompressError::BadHeader);
  const OpenedStream opened = OpenStreamAt(source, kAt, F::Lz10);
  const size_t length = Compress(F::Lz10, Tiles())->size();
  EXPECT_EQ(opened.Link.PlaceLength, static_cast<int32_t>(length));
  EXPECT_EQ(opened.Link.PlaceBytes, Bytes(source.begin() + kAt, source.begin() + kAt + length));
  EXPECT_EQ(StreamCaption("sample.gba", 0x1C40, F::Lz10), "sample.gba @ 0x1C40 [LZ77 10]");
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

TEST(LoadStreamTest, ShowsFromTheFirstByteWithoutAHeader) {
  RomDocument doc;
  doc.Format = 9;  // GBA, whose images skip a 192-byte header
  doc.LoadStream(Bytes(0x4000, 0), {}, "x.gba");
  EXPECT_EQ(doc.ScrollMinimum, 0);
  EXPECT_EQ(doc.ViewOffset, 0);
  EXPECT_TRUE(doc.RomExt.empty());  // so no checksum rule applies to its own file
}

struct ArgumentCase {
  const char* text;
  std::optional<F> format;
  int32_t offset;
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
                                           ArgumentCase{"lz10", std::nullopt, 0}));

TEST(ScanPresetsTest, TicksTheConsolesFormats) {
  using V = std::vector<F>;
  EXPECT_EQ(ScanFormatsForExtension(".GBA"), (V{F::Lz10, F::Lz11, F::Rle30, F::Huffman}));
  for (const char* ext : {".SMC", ".SFC", ".GB", ".GBC"})
    EXPECT_EQ(ScanFormatsForExtension(ext), (V{F::Lz2, F::Lz5, F::Lz3, F::Hal})) << ext;
  for (const char* ext : {".SMD", ".GEN", ".MD", ".BIN"})
    EXPECT_EQ(ScanFormatsForExtension(ext), (V{F::Nemesis, F::Kosinski})) << ext;
  for (const char* ext : {"", ".NES", ".GBAX"})
    EXPECT_EQ(ScanFormatsForExtension(ext).size(), size_t{kCompressionFormatCount}) << ext;
}

}  // namespace
}  // namespace varnock
