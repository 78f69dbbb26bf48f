#include "palette/rom_palette.h"

#include <gtest/gtest.h>

#include <span>
#include <vector>

namespace varnock {
namespace {

TEST(RomPaletteTest, WholeEntriesUpToTheImagesEnd) {
  // 0x1F 0x00 is fifteen-bit red; the image is 40 bytes.
  std::vector<uint8_t> image(40, 0);
  image[10] = 0x1F;
  image[12] = 0xE0;
  image[13] = 0x03;
  image[38] = 0x00;
  image[39] = 0x7C;
  struct Case {
    const char* name;
    int64_t offset;
    PaletteFormat format;
    int32_t count;
    PaletteFileError error;
    int32_t entries;
  };
  const Case cases[] = {
      {"inside", 10, kPaletteFifteen, 4, PaletteFileError::None, 4},
      {"ends exactly at the end", 8, kPaletteFifteen, 16, PaletteFileError::None, 16},
      {"runs past the end", 10, kPaletteFifteen, 16, PaletteFileError::None, 15},
      {"half an entry left", 39, kPaletteFifteen, 16, PaletteFileError::TooShort, 0},
      {"last RGB entry", 37, kPaletteRgb, 16, PaletteFileError::None, 1},
      {"two RGB bytes left", 38, kPaletteRgb, 16, PaletteFileError::TooShort, 0},
      {"last NES byte", 39, kPaletteNes, 32, PaletteFileError::None, 1},
      {"at the end", 40, kPaletteNes, 32, PaletteFileError::TooShort, 0},
      {"past the end", 1000, kPaletteRgb, 16, PaletteFileError::TooShort, 0},
      {"negative", -2, kPaletteRgb, 16, PaletteFileError::TooShort, 0},
      {"more than 256 asked", 0, kPaletteNes, 300, PaletteFileError::None, 40},
      {"last Genesis word", 38, kRomPaletteGenesis, 16, PaletteFileError::None, 1},
      {"half a Genesis word", 39, kRomPaletteGenesis, 16, PaletteFileError::TooShort, 0},
      {"last SMS byte", 39, kRomPaletteSms, 64, PaletteFileError::None, 1},
      {"NGPC words to the end", 20, kRomPaletteNgpc, 64, PaletteFileError::None, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = ReadPaletteFromImage(image, c.offset, c.format, c.count);
    ASSERT_EQ(read.Error, c.error);
    EXPECT_EQ(read.Data.PaletteSize, c.entries);
    EXPECT_EQ(read.Data.Entries.size(), static_cast<size_t>(c.entries));
    // Console colours become RGB entries, which a palette file keeps exactly.
    if (read.ok()) {
      EXPECT_EQ(read.Data.PalFormat, c.format > kPaletteFifteen ? kPaletteRgb : c.format);
    }
  }
  const PaletteReadResult inside = ReadPaletteFromImage(image, 10, kPaletteFifteen, 15);
  ASSERT_EQ(inside.Data.Entries.size(), 15u);
  EXPECT_EQ(inside.Data.Entries[0], MakeEntry(248, 0, 0));
  EXPECT_EQ(inside.Data.Entries[1], MakeEntry(0, 248, 0));
  EXPECT_EQ(inside.Data.Entries[14], MakeEntry(0, 0, 248));
}

// Every level of a channel, worked out by hand as v x 255 / (2^bits - 1), rounded.
constexpr uint8_t kThreeBit[] = {0, 36, 73, 109, 146, 182, 219, 255};
constexpr uint8_t kTwoBit[] = {0, 85, 170, 255};
constexpr uint8_t kFourBit[] = {0,   17,  34,  51,  68,  85,  102, 119,
                                136, 153, 170, 187, 204, 221, 238, 255};

struct ChannelCase {
  const char* name;
  RomPaletteFormat format;
  std::span<const uint8_t> levels;
  int shifts[3];  // where red, green and blue start in the colour word
};

TEST(RomPaletteTest, ConsoleChannelsTakeEveryLevel) {
  const ChannelCase cases[] = {
      {"genesis", kRomPaletteGenesis, kThreeBit, {1, 5, 9}},
      {"sms", kRomPaletteSms, kTwoBit, {0, 2, 4}},
      {"gamegear", kRomPaletteGameGear, kFourBit, {0, 4, 8}},
      {"ngpc", kRomPaletteNgpc, kFourBit, {0, 4, 8}},
  };
  for (const ChannelCase& c : cases) {
    for (int channel = 0; channel < 3; ++channel) {
      for (size_t v = 0; v < c.levels.size(); ++v) {
        SCOPED_TRACE(testing::Message() << c.name << " channel " << channel << " level " << v);
        const unsigned word = static_cast<unsigned>(v) << c.shifts[channel];
        // Genesis words are big-endian, the others little-endian (SMS has one byte).
        const std::vector<uint8_t> image =
            c.format == kRomPaletteGenesis
                ? std::vector<uint8_t>{static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)}
                : std::vector<uint8_t>{static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8)};
        const PaletteReadResult read = ReadPaletteFromImage(image, 0, c.format, 1);
        ASSERT_TRUE(read.ok());
        const PaletteEntry& entry = read.Data.Entries[0];
        const uint8_t got[3] = {entry.red, entry.green, entry.blue};
        for (int other = 0; other < 3; ++other)
          EXPECT_EQ(got[other], other == channel ? c.levels[v] : 0);
      }
    }
  }
}

TEST(RomPaletteTest, ConsoleWordsByHand) {
  struct Case {
    const char* name;
    RomPaletteFormat format;
    std::vector<uint8_t> bytes;
    PaletteEntry expected;
  };
  const Case cases[] = {
      // Read little-endian this would be red.
      {"genesis blue is the high byte", kRomPaletteGenesis, {0x0E, 0x00}, MakeEntry(0, 0, 255)},
      {"genesis unused bits", kRomPaletteGenesis, {0xF1, 0x11}, MakeEntry(0, 0, 0)},
      {"sms unused bits", kRomPaletteSms, {0xC0}, MakeEntry(0, 0, 0)},
      {"gamegear unused bits", kRomPaletteGameGear, {0x00, 0xF0}, MakeEntry(0, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = ReadPaletteFromImage(c.bytes, 0, c.format, 16);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.Data.Entries, std::vector<PaletteEntry>{c.expected});
  }
}

TEST(RomPaletteTest, EncodingsAreFoundByTheirShortNames) {
  for (const RomPaletteEncoding& encoding : RomPaletteEncodings()) {
    const RomPaletteEncoding* found = RomPaletteEncodingNamed(encoding.ShortName);
    ASSERT_NE(found, nullptr) << encoding.ShortName;
    EXPECT_EQ(found->Format, encoding.Format) << encoding.ShortName;
  }
  ASSERT_NE(RomPaletteEncodingNamed("GameGear"), nullptr);
  EXPECT_EQ(RomPaletteEncodingNamed("GameGear")->Format, kRomPaletteGameGear);
  EXPECT_EQ(RomPaletteEncodingNamed("crams"), nullptr);
}

TEST(RomPaletteTest, EncodingsAreFoundByTheNamesPeopleUse) {
  const std::pair<const char*, RomPaletteFormat> names[] = {{"gba", kPaletteFifteen},
                                                            {"SNES", kPaletteFifteen},
                                                            {"gbc", kPaletteFifteen},
                                                            {"cram", kRomPaletteGenesis},
                                                            {"GG", kRomPaletteGameGear}};
  for (const auto& [name, format] : names) {
    const RomPaletteEncoding* found = RomPaletteEncodingNamed(name);
    ASSERT_NE(found, nullptr) << name;
    EXPECT_EQ(found->Format, format) << name;
  }
  EXPECT_EQ(RomPaletteEncodingNamed("gb"), nullptr);  // Game Boy colours are not 15-bit words
}

}  // namespace
}  // namespace varnock
