#include "palette/rom_palette.h"

#include <gtest/gtest.h>

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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = ReadPaletteFromImage(image, c.offset, c.format, c.count);
    ASSERT_EQ(read.Error, c.error);
    EXPECT_EQ(read.Data.PaletteSize, c.entries);
    EXPECT_EQ(read.Data.Entries.size(), static_cast<size_t>(c.entries));
    if (read.ok()) {
      EXPECT_EQ(read.Data.PalFormat, c.format);
    }
  }
  const PaletteReadResult inside = ReadPaletteFromImage(image, 10, kPaletteFifteen, 15);
  ASSERT_EQ(inside.Data.Entries.size(), 15u);
  EXPECT_EQ(inside.Data.Entries[0], MakeEntry(248, 0, 0));
  EXPECT_EQ(inside.Data.Entries[1], MakeEntry(0, 248, 0));
  EXPECT_EQ(inside.Data.Entries[14], MakeEntry(0, 0, 248));
}

}  // namespace
}  // namespace varnock
