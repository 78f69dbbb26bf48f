// Where a BMP's headers say its rows end, worked out by hand from the header layout.
#include "codec/bitmap_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "support/picture_files.h"

namespace varnock {
namespace {

// A file header and a 40-byte (or `headerBytes`) information header with the given fields.
std::vector<uint8_t> Head(uint32_t pixelOffset, int32_t width, int32_t height, uint16_t bits,
                          uint32_t compression = 0, uint32_t colours = 0,
                          uint32_t headerBytes = 40) {
  std::vector<uint8_t> head(14 + 124, 0);
  const auto put = [&](size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) head[at + size_t(i)] = uint8_t(value >> (8 * i));
  };
  head[0] = 'B';
  head[1] = 'M';
  put(10, pixelOffset, 4);
  put(14, headerBytes, 4);
  put(18, uint32_t(width), 4);
  put(22, uint32_t(height), 4);
  put(26, 1, 2);
  put(28, bits, 2);
  put(30, compression, 4);
  put(46, colours, 4);
  return head;
}

std::vector<uint8_t> OldStyleHead(uint32_t pixelOffset, int16_t width, int16_t height,
                                  uint16_t bits) {
  std::vector<uint8_t> head(26, 0);
  head[0] = 'B';
  head[1] = 'M';
  for (int i = 0; i < 4; ++i) head[10 + size_t(i)] = uint8_t(pixelOffset >> (8 * i));
  head[14] = 12;
  head[18] = uint8_t(width);
  head[19] = uint8_t(uint16_t(width) >> 8);
  head[20] = uint8_t(height);
  head[21] = uint8_t(uint16_t(height) >> 8);
  head[22] = 1;
  head[24] = uint8_t(bits);
  return head;
}

struct LayoutCase {
  const char* name;
  std::vector<uint8_t> head;
  bool known;
  uint64_t end;
};
void PrintTo(const LayoutCase& c, std::ostream* os) {
  *os << c.name;
}

class LayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTest, RowsEndWhereTheHeadersSay) {
  const LayoutCase& c = GetParam();
  const std::optional<BitmapLayout> layout = ReadBitmapLayout(c.head);
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->RowsKnown, c.known);
  EXPECT_EQ(c.known ? layout->PixelEnd : 0, c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Bitmaps, LayoutTest,
    ::testing::Values(
        // 256 x 256 x 3 bytes after the 54 header bytes: the truncated file users meet
        LayoutCase{"TrueColour", Head(54, 256, 256, 24), true, 54 + 196608},
        // rows of 3 x 3 = 9 bytes padded to 12
        LayoutCase{"TrueColourPadded", Head(54, 3, 2, 24), true, 54 + 24},
        LayoutCase{"TopDown", Head(54, 3, -2, 24), true, 54 + 24},
        // two colours (8 bytes); 10 pixels = 2 bytes, padded to 4
        LayoutCase{"OneBit", Head(62, 10, 3, 1), true, 62 + 12},
        // 16 colours (64 bytes); 9 pixels = 5 bytes, padded to 8
        LayoutCase{"FourBits", Head(118, 9, 2, 4), true, 118 + 16},
        // 8 of 256 colours used: the table is 32 bytes
        LayoutCase{"EightBitsFewColours", Head(86, 5, 5, 8, 0, 8), true, 86 + 40},
        LayoutCase{"PixelsAfterAGap", Head(2000, 8, 8, 8), true, 2000 + 64},
        // 16 bits with three masks after the 40-byte header; rows of 6 bytes padded to 8
        LayoutCase{"BitMasks", Head(66, 3, 4, 16, 3), true, 66 + 32},
        LayoutCase{"VersionFiveHeader", Head(138, 2, 2, 32, 3, 0, 124), true, 138 + 16},
        // old style: 3-byte colour entries, 256 of them
        LayoutCase{"OldStyle", OldStyleHead(14 + 12 + 768, 5, 5, 8), true, 794 + 40},
        // rows said to start inside the colour table: a reader finds them elsewhere
        LayoutCase{"OffsetInsideTheTable", Head(100, 8, 8, 8), false, 0},
        LayoutCase{"RunLength", Head(1078, 8, 8, 8, 1), false, 0},
        LayoutCase{"OddHeaderSize", Head(1078, 8, 8, 8, 0, 0, 52), false, 0},
        LayoutCase{"NoWidth", Head(54, 0, 8, 24), false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Only "BM" makes a bitmap; one whose headers are cut short has rows nobody can place.
TEST(LayoutTest, NotABitmapOrHeadersCutShort) {
  EXPECT_FALSE(ReadBitmapLayout(test::MakePng(2, 8, 4, 4)).has_value());
  EXPECT_FALSE(ReadBitmapLayout(std::vector<uint8_t>{'B'}).has_value());
  for (const size_t size : {2, 17, 25, 53}) {
    std::vector<uint8_t> head = size < 26 ? OldStyleHead(26, 1, 1, 24) : Head(54, 1, 1, 24);
    head.resize(size);
    const std::optional<BitmapLayout> layout = ReadBitmapLayout(head);
    ASSERT_TRUE(layout.has_value()) << size;
    EXPECT_FALSE(layout->RowsKnown) << size;
  }
}

// Whole files of every kind the builder makes end exactly where their headers say.
TEST(LayoutTest, AWholeFileEndsWhereItsRowsDo) {
  for (const int bits : {1, 4, 8, 16, 24, 32})
    for (const int height : {5, -5}) {
      const std::vector<uint8_t> file = test::MakeBitmap({bits, 13, height, false});
      const std::optional<BitmapLayout> layout = ReadBitmapLayout(file);
      ASSERT_TRUE(layout && layout->RowsKnown) << bits;
      EXPECT_EQ(layout->PixelEnd, file.size()) << bits << " " << height;
    }
}

}  // namespace
}  // namespace varnock
