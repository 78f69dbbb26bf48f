// Where a BMP's headers say its rows end, worked out by hand from the header layout.
#include "codec/bitmap_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace varnock {
namespace {

// A file header and an information header of `headerBytes` (12: old style, 16-bit sizes)
// with the given fields.
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
  const int size = headerBytes == 12 ? 2 : 4;
  put(18, uint32_t(width), size);
  put(18 + size, uint32_t(height), size);
  put(18 + 2 * size, 1, 2);
  put(20 + 2 * size, bits, 2);
  if (headerBytes == 12) return head;
  put(30, compression, 4);
  put(46, colours, 4);
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
        // 8 of 256 colours used: the table is 32 bytes
        LayoutCase{"EightBitsFewColours", Head(86, 5, 5, 8, 0, 8), true, 86 + 40},
        // 16 bits with three masks after the 40-byte header; rows of 6 bytes padded to 8
        LayoutCase{"BitMasks", Head(66, 3, 4, 16, 3), true, 66 + 32},
        // old style: 3-byte colour entries, 256 of them
        LayoutCase{"OldStyle", Head(14 + 12 + 768, 5, 5, 8, 0, 0, 12), true, 794 + 40},
        // rows said to start inside the colour table: a reader finds them elsewhere
        LayoutCase{"OffsetInsideTheTable", Head(100, 8, 8, 8), false, 0},
        LayoutCase{"RunLength", Head(1078, 8, 8, 8, 1), false, 0},
        LayoutCase{"OddHeaderSize", Head(1078, 8, 8, 8, 0, 0, 52), false, 0}),

    [](const auto& info) { return std::string(info.param.name); });

// Only "BM" makes a bitmap; one whose headers are cut short has rows nobody can place.
TEST(LayoutTest, NotABitmapOrHeadersCutShort) {
  EXPECT_FALSE(ReadBitmapLayout(std::vector<uint8_t>{0x89, 'P', 'N', 'G'}).has_value());
  for (const size_t size : {2, 25, 53}) {
    std::vector<uint8_t> head = Head(54, 1, 1, 24, 0, 0, size < 26 ? 12 : 40);
    head.resize(size);
    const std::optional<BitmapLayout> layout = ReadBitmapLayout(head);
    EXPECT_TRUE(layout.has_value() && !layout->RowsKnown) << size;
  }
}

}  // namespace
}  // namespace varnock
