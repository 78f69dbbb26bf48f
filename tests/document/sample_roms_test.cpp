// The committed sample images open where their test card is: tile k of the first page is solid
// index k, followed by the font. Other tests and the screenshot check count on that layout.
#include <gtest/gtest.h>

#include <string>

#include "document/rom_document.h"

namespace varnock {
namespace {

const std::string kSamples = VARNOCK_SAMPLES_DIR;

struct SampleCase {
  const char* file;
  TileFormat format;
  int32_t size;
  int32_t viewStart;
};

void PrintTo(const SampleCase& c, std::ostream* out) {
  *out << c.file;
}

class SampleRomTest : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SampleRomTest, OpensOnTheTestCard) {
  const SampleCase& c = GetParam();
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(kSamples + "/" + c.file), kLoadLoaded);
  EXPECT_EQ(doc.Format, c.format);
  EXPECT_EQ(doc.RomSize, c.size);
  EXPECT_EQ(doc.ViewOffset, c.viewStart);
  doc.DecodePage();
  const TileSurface& page = doc.ViewSurface;
  ASSERT_EQ(page.Width(), 128);
  auto pixel = [&](int tile, int x, int y) {
    const int px = (tile % 16) * 8 + x;
    const int py = (tile / 16) * 8 + y;
    return page.Pixels[static_cast<size_t>(py) * 128 + px];
  };
  const int colours = 1 << doc.BitsPerPixel;
  for (int k = 0; k < colours; ++k)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(pixel(k, x, y), k) << "tile " << k;
  // the glyph '1' right after the solid tiles: its bottom row is ".######."
  const int one = colours + 1;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(one, x, 6), x >= 1 && x <= 6 ? 1 : 0) << x;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(one, x, 7), 0) << x;
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRomTest,
                         ::testing::Values(SampleCase{"sample.nes", 1, 24592, 16400},
                                           SampleCase{"sample.smc", 6, 33280, 512},
                                           SampleCase{"sample.gb", 2, 32768, 0x150},
                                           SampleCase{"sample.vb", 3, 16384, 0},
                                           SampleCase{"sample.sms", 7, 32768, 0},
                                           SampleCase{"sample.smd", 8, 33280, 512},
                                           SampleCase{"sample.ngp", 4, 16384, 0},
                                           SampleCase{"sample.gba", 9, 32768, 0xC0},
                                           SampleCase{"sample-compressed.gba", 9, 32768, 0xC0}));

}  // namespace
}  // namespace varnock
