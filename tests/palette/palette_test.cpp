#include "palette/palette.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ostream>

namespace varnock {
namespace {

struct Rgb {
  int red, green, blue;
};

PaletteEntry Entry(Rgb c) {
  return MakeEntry(static_cast<uint8_t>(c.red), static_cast<uint8_t>(c.green),
                   static_cast<uint8_t>(c.blue));
}

// The master colours typed in again from the hardware table, red, green, blue.
constexpr std::array<Rgb, 64> kNesColours = {{
    {117, 117, 117}, {39, 27, 143},   {0, 0, 171},     {71, 0, 159},    {143, 0, 119},
    {171, 0, 19},    {167, 0, 0},     {127, 11, 0},    {67, 47, 0},     {0, 71, 0},
    {0, 81, 0},      {0, 63, 23},     {27, 63, 95},    {0, 0, 0},       {0, 0, 0},
    {0, 0, 0},       {188, 188, 188}, {0, 115, 239},   {35, 59, 239},   {131, 0, 243},
    {191, 0, 191},   {231, 0, 91},    {219, 43, 0},    {203, 79, 15},   {139, 115, 0},
    {0, 151, 0},     {0, 171, 0},     {0, 147, 59},    {0, 131, 139},   {0, 0, 0},
    {0, 0, 0},       {0, 0, 0},       {255, 255, 255}, {63, 191, 255},  {95, 151, 255},
    {167, 139, 253}, {247, 123, 255}, {255, 119, 183}, {255, 119, 99},  {255, 155, 59},
    {243, 191, 63},  {131, 211, 19},  {79, 223, 75},   {88, 248, 152},  {0, 235, 219},
    {0, 0, 0},       {0, 0, 0},       {0, 0, 0},       {255, 255, 255}, {171, 231, 255},
    {199, 215, 255}, {215, 203, 255}, {255, 199, 255}, {255, 199, 219}, {255, 191, 179},
    {255, 219, 171}, {255, 231, 163}, {227, 255, 163}, {171, 243, 191}, {179, 255, 207},
    {159, 255, 243}, {0, 0, 0},       {0, 0, 0},       {0, 0, 0},
}};

PaletteEntry DecodeBytes(PaletteFormat format, std::array<uint8_t, 3> bytes) {
  return DecodePaletteEntry(format, bytes.data());
}

TEST(NesPaletteTest, EveryIndexDecodesToItsColourAndEncodesToTheFirstIndexOfThatColour) {
  for (int index = 0; index < 64; ++index) {
    SCOPED_TRACE(index);
    const PaletteEntry colour = Entry(kNesColours[static_cast<size_t>(index)]);
    EXPECT_EQ(NesPalette[static_cast<size_t>(index)], colour);
    EXPECT_EQ(DecodeBytes(kPaletteNes, {static_cast<uint8_t>(index)}), colour);

    int first = 0;
    while (Entry(kNesColours[static_cast<size_t>(first)]) != colour) ++first;
    uint8_t out[3] = {0xAA, 0xAA, 0xAA};
    EXPECT_EQ(EncodePaletteEntry(kPaletteNes, colour, out), 1);
    EXPECT_EQ(out[0], first);
    EXPECT_EQ(out[1], 0xAA);  // nothing written past the one byte
  }
}

TEST(NesPaletteTest, BytesAboveSixtyThreeUseTheirLowSixBits) {
  EXPECT_EQ(DecodeBytes(kPaletteNes, {0x40}), Entry({117, 117, 117}));
  EXPECT_EQ(DecodeBytes(kPaletteNes, {0x60}), Entry({255, 255, 255}));
  EXPECT_EQ(DecodeBytes(kPaletteNes, {0xFF}), Entry({0, 0, 0}));
  EXPECT_EQ(DecodeBytes(kPaletteNes, {0x96}), Entry({219, 43, 0}));  // 0x16
}

struct NearestCase {
  Rgb colour;
  uint8_t index;
  friend void PrintTo(const NearestCase& c, std::ostream* os) {
    *os << c.colour.red << "," << c.colour.green << "," << c.colour.blue;
  }
};

class NearestNesTest : public testing::TestWithParam<NearestCase> {};

TEST_P(NearestNesTest, PicksTheLowestOfTheNearestIndices) {
  EXPECT_EQ(NearestNesIndex(Entry(GetParam().colour)), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NearestNesTest,
    testing::Values(NearestCase{{0, 0, 0}, 0x0D},        // 0D-0F, 1D-1F ... all black
                    NearestCase{{255, 255, 255}, 0x20},  // 20 before 30
                    NearestCase{{254, 255, 255}, 0x20},
                    // (0,151,0) and (0,171,0) are both 10 away; nothing else is nearer.
                    NearestCase{{0, 161, 0}, 0x19}, NearestCase{{0, 162, 0}, 0x1A},
                    NearestCase{{0, 160, 0}, 0x19},
                    // 85 from black, 86 from (0,0,171).
                    NearestCase{{0, 0, 85}, 0x0D}, NearestCase{{0, 0, 86}, 0x02}));

// Fifteen-bit words: red bits 0-4, green 5-9, blue 10-14.
TEST(FifteenBitTest, EveryFiveBitValueOfEveryChannelBothWays) {
  for (int shift : {0, 5, 10}) {
    for (int v = 0; v < 32; ++v) {
      SCOPED_TRACE(testing::Message() << "shift " << shift << " value " << v);
      const int word = v << shift;
      const Rgb decoded = {shift == 0 ? v * 8 : 0, shift == 5 ? v * 8 : 0, shift == 10 ? v * 8 : 0};
      const uint8_t low = static_cast<uint8_t>(word & 0xFF);
      const uint8_t high = static_cast<uint8_t>(word >> 8);
      EXPECT_EQ(DecodeBytes(kPaletteFifteen, {low, high}), Entry(decoded));
      EXPECT_EQ(DecodeBytes(kPaletteFifteen, {low, static_cast<uint8_t>(high | 0x80)}),
                Entry(decoded));  // bit 15 ignored

      for (int lowBits = 0; lowBits < 8; ++lowBits) {  // truncation, never rounding
        const Rgb colour = {shift == 0 ? v * 8 + lowBits : 0, shift == 5 ? v * 8 + lowBits : 0,
                            shift == 10 ? v * 8 + lowBits : 0};
        uint8_t out[3] = {0xAA, 0xAA, 0xAA};
        EXPECT_EQ(EncodePaletteEntry(kPaletteFifteen, Entry(colour), out), 2);
        EXPECT_EQ(out[0], low);
        EXPECT_EQ(out[1], high);
        EXPECT_EQ(out[2], 0xAA);
      }
    }
  }
}

TEST(FifteenBitTest, WorkedExamples) {
  uint8_t out[2] = {};
  EncodePaletteEntry(kPaletteFifteen, Entry({255, 255, 255}), out);
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[1], 0x7F);
  EXPECT_EQ(DecodeBytes(kPaletteFifteen, {0xFF, 0x7F}), Entry({248, 248, 248}));

  EncodePaletteEntry(kPaletteFifteen, Entry({7, 0, 0}), out);
  EXPECT_EQ(out[0], 0x00);
  EXPECT_EQ(out[1], 0x00);

  EncodePaletteEntry(kPaletteFifteen, Entry({8, 16, 24}), out);  // 1 | 2 << 5 | 3 << 10
  EXPECT_EQ(out[0], 0x41);
  EXPECT_EQ(out[1], 0x0C);

  EXPECT_EQ(DecodeBytes(kPaletteFifteen, {0x1F, 0x00}), Entry({248, 0, 0}));
  EXPECT_EQ(DecodeBytes(kPaletteFifteen, {0xE0, 0x03}), Entry({0, 248, 0}));
  EXPECT_EQ(DecodeBytes(kPaletteFifteen, {0x00, 0x7C}), Entry({0, 0, 248}));
}

TEST(RgbEntryTest, BytesAreRedGreenBlueForRgbAndUnknownFormats) {
  for (PaletteFormat format : {PaletteFormat{0}, PaletteFormat{3}, PaletteFormat{255}}) {
    SCOPED_TRACE(static_cast<int>(format));
    EXPECT_EQ(DecodeBytes(format, {10, 20, 30}), Entry({10, 20, 30}));
    uint8_t out[3] = {};
    EXPECT_EQ(EncodePaletteEntry(format, Entry({1, 2, 254}), out), 3);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 2);
    EXPECT_EQ(out[2], 254);
  }
}

TEST(SubPaletteTest, ConversionKeepsTheOldFirstEntryInside) {
  struct Case {
    int32_t sub, oldBits, newBits, expected;
  };
  const Case cases[] = {
      {1, 4, 2, 4},  // entry 16 -> sub-palette 4 of four entries
      {5, 2, 4, 1},  // entry 20 lies in entries 16..31
      {3, 2, 4, 0},  // 12 / 16 truncates to 0
      {0, 1, 4, 0}, {7, 2, 1, 14}, {127, 1, 4, 15}, {15, 4, 1, 120}, {2, 3, 3, 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConvertSubPalette(c.sub, c.oldBits, c.newBits), c.expected)
        << c.sub << " " << c.oldBits << "->" << c.newBits;
}

TEST(SubPaletteTest, HighestSubPalette) {
  EXPECT_EQ(HighestSubPalette(16, SwatchCountOf(2)), 3);
  EXPECT_EQ(HighestSubPalette(16, SwatchCountOf(4)), 0);
  EXPECT_EQ(HighestSubPalette(8, SwatchCountOf(4)), 0);  // shorter than one sub-palette
  EXPECT_EQ(HighestSubPalette(0, SwatchCountOf(1)), 0);
  EXPECT_EQ(HighestSubPalette(256, SwatchCountOf(1)), 127);
  EXPECT_EQ(HighestSubPalette(36, SwatchCountOf(3)), 3);
  EXPECT_EQ(FirstEntryOf(5, SwatchCountOf(2)), 20);
}

TEST(CopyPaletteToColorsTest, CopiesTheSubPaletteAndStopsAtThePaletteEnd) {
  PaletteTable palette{};
  for (int i = 0; i < kPaletteEntries; ++i)
    palette[static_cast<size_t>(i)] = MakeEntry(static_cast<uint8_t>(i), 1, 2);
  std::array<SurfaceColor, 256> colors;
  colors.fill(SurfaceColor{9, 9, 9, 9});

  CopyPaletteToColors(palette, 16, 4, colors);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(colors[static_cast<size_t>(i)],
              (SurfaceColor{2, 1, static_cast<uint8_t>(16 + i), 0}));
  EXPECT_EQ(colors[4], (SurfaceColor{9, 9, 9, 9}));

  colors.fill(SurfaceColor{9, 9, 9, 9});
  CopyPaletteToColors(palette, 250, 16, colors);  // entries 250..255 exist, 256.. do not
  for (int i = 0; i < 6; ++i) EXPECT_EQ(colors[static_cast<size_t>(i)].red, 250 + i);
  for (int i = 6; i < 17; ++i)
    EXPECT_EQ(colors[static_cast<size_t>(i)], (SurfaceColor{9, 9, 9, 9}));

  colors.fill(SurfaceColor{9, 9, 9, 9});
  CopyPaletteToColors(palette, -2, 4, colors);
  EXPECT_EQ(colors[0], (SurfaceColor{9, 9, 9, 9}));
  EXPECT_EQ(colors[2].red, 0);
  EXPECT_EQ(colors[3].red, 1);

  CopyPaletteToColors(palette, 0, 100000, colors);  // never past the colour table
  EXPECT_EQ(colors[255].red, 255);
}

TEST(DefaultPaletteTest, FirstSixteenAndWhiteEntrySeventeen) {
  const Rgb expected[16] = {
      {0, 0, 0},     {99, 207, 99},   {57, 51, 255}, {220, 255, 255}, {51, 0, 134},  {191, 115, 0},
      {0, 207, 255}, {239, 235, 180}, {147, 0, 0},   {81, 255, 0},    {255, 172, 0}, {188, 17, 164},
      {0, 0, 0},     {89, 140, 242},  {182, 0, 159}, {131, 220, 0},
  };
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(DefaultPalette[static_cast<size_t>(i)], Entry(expected[i])) << i;
  EXPECT_EQ(DefaultPalette[17], Entry({255, 255, 255}));
  // Stored blue first, so the bytes copy straight into a colour table.
  EXPECT_EQ(DefaultPalette[2].blue, 255);
  EXPECT_EQ(DefaultPalette[2].red, 57);
}

}  // namespace
}  // namespace varnock
