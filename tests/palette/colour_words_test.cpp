// The palette editor's colour texts at 256 colours: hexadecimal RGB both ways and the consoles'
// colour words.
#include "palette/colour_words.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

TEST(ColourWords, HexColourReadAndWritten) {
  EXPECT_EQ(HexColorText(MakeEntry(0xF8, 0xD0, 0x0A)), "#F8D00A");
  const std::pair<const char*, std::optional<PaletteEntry>> cases[] = {
      {"#f8d00a", MakeEntry(0xF8, 0xD0, 0x0A)},
      {" 0x102030 ", MakeEntry(0x10, 0x20, 0x30)},
      {"FFFFFF", MakeEntry(255, 255, 255)},
      {"#FFF", std::nullopt},
      {"#12345G", std::nullopt},
      {"#1234567", std::nullopt},
  };
  for (const auto& [text, entry] : cases) EXPECT_EQ(ParseHexColor(text), entry) << text;
}

TEST(ColourWords, EachConsoleWordFromTheLayout) {
  const PaletteEntry orange = MakeEntry(0xFF, 0x80, 0x00);
  const std::tuple<RomPaletteFormat, PaletteEntry, const char*> cases[] = {
      // 15-bit keeps the top five bits: red 31, green 16, blue 0.
      {kPaletteFifteen, orange, "BGR15 $021F"},
      {kPaletteFifteen, MakeEntry(255, 255, 255), "BGR15 $7FFF"},
      // Genesis: 3 bits a channel at bits 1, 5, 9; 0x80 rounds to 4.
      {kRomPaletteGenesis, orange, "CRAM $008E"},
      {kRomPaletteSms, orange, "SMS $0B"},
      {kRomPaletteNgpc, orange, "BGR12 $008F"},
      {kRomPaletteGameGear, MakeEntry(0, 0, 255), "BGR12 $0F00"},
      {kPaletteNes, NesPalette[0x30], "NES $20"},
      {kPaletteRgb, orange, ""},
  };
  for (const auto& [format, entry, word] : cases)
    EXPECT_EQ(ConsoleColorWord(format, entry), word) << word;
}

TEST(ColourWords, TheConsoleOfAnExtension) {
  EXPECT_EQ(ConsoleWordFormat(".NES", kPaletteRgb), kPaletteNes);
  EXPECT_EQ(ConsoleWordFormat(".SFC", kPaletteRgb), kPaletteFifteen);
  EXPECT_EQ(ConsoleWordFormat(".GBA", kPaletteNes), kPaletteFifteen);
  EXPECT_EQ(ConsoleWordFormat(".MD", kPaletteRgb), kRomPaletteGenesis);
  EXPECT_EQ(ConsoleWordFormat(".VB", kPaletteNes), kPaletteNes);
}

}  // namespace
}  // namespace varnock
