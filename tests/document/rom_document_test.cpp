// Opening, format selection, scroll range, addressing and status texts of a RomDocument.
// Expected values are worked out from the rules by hand; the arithmetic is in the comments.
#include "document/rom_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codec/codec_registry.h"
#include "codec/tile_surface.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::TempDir;

// A file of `size` bytes starting with an iNES header whose bytes 4 (program banks), 5
// (character banks) and 6 (flags) are given.
std::vector<uint8_t> NesImage(size_t size, uint8_t byte4, uint8_t byte5, uint8_t byte6 = 0) {
  std::vector<uint8_t> bytes(size, 0x33);
  const uint8_t header[] = {0x4E, 0x45, 0x53, 0x1A, byte4, byte5, byte6};
  std::copy(std::begin(header), std::end(header), bytes.begin());
  return bytes;
}

struct ExtensionCase {
  const char* name;
  TileFormat format;
  int32_t bits;
  const char* ext;
  const char* palettePath;
};

void PrintTo(const ExtensionCase& c, std::ostream* out) {
  *out << c.name;
}

class ExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionTest, PicksFormatExtensionAndPalettePath) {
  const ExtensionCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.Write(c.name, PatternBytes(65536, 7));
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  EXPECT_EQ(doc.Format, c.format);
  EXPECT_EQ(doc.BitsPerPixel, c.bits);
  EXPECT_EQ(doc.TileBytes, c.bits * 8);
  EXPECT_EQ(doc.RomExt, c.ext);
  EXPECT_EQ(doc.PalettePath, dir.path() + "/" + c.palettePath);
  EXPECT_EQ(doc.RomPath, path);
  EXPECT_EQ(doc.RomSize, 65536);
  EXPECT_EQ(doc.Zoom, 3);
  EXPECT_FALSE(doc.Modified);
}

INSTANTIATE_TEST_SUITE_P(Extensions, ExtensionTest,
                         ::testing::Values(ExtensionCase{"a.NES", 1, 2, ".NES", "a.VRK"},
                                           ExtensionCase{"a.smc", 6, 4, ".SMC", "a.VRK"},
                                           ExtensionCase{"a.GB", 2, 2, ".GB", "a.VRK"},
                                           ExtensionCase{"a.GBC", 2, 2, ".GBC", "a.VRK"},
                                           ExtensionCase{"a.gBc", 2, 2, ".GBC", "a.VRK"},
                                           ExtensionCase{"a.VB", 3, 2, ".VB", "a.VRK"},
                                           ExtensionCase{"a.NGP", 4, 2, ".NGP", "a.VRK"},
                                           ExtensionCase{"a.SMS", 7, 4, ".SMS", "a.VRK"},
                                           ExtensionCase{"a.SMD", 8, 4, ".SMD", "a.VRK"},
                                           ExtensionCase{"a.GBA", 9, 4, ".GBA", "a.VRK"},
                                           // the names of today's dumps
                                           ExtensionCase{"a.sfc", 6, 4, ".SFC", "a.VRK"},
                                           ExtensionCase{"a.GEN", 8, 4, ".GEN", "a.VRK"},
                                           ExtensionCase{"a.md", 8, 4, ".MD", "a.VRK"},
                                           ExtensionCase{"a.gg", 7, 4, ".GG", "a.VRK"},
                                           ExtensionCase{"a.NGC", 4, 2, ".NGC", "a.VRK"},
                                           ExtensionCase{"a.BIN", 0, 1, ".BIN", "a.VRK"},
                                           ExtensionCase{"a", 0, 1, "", "a.VRK"},
                                           // compared whole, never as a prefix
                                           ExtensionCase{"a.GBX", 0, 1, ".GBX", "a.VRK"},
                                           ExtensionCase{"a.NESX", 0, 1, ".NESX", "a.VRK"},
                                           // only the last extension counts
                                           ExtensionCase{"a.nes.bak", 0, 1, ".BAK", "a.nes.VRK"},
                                           ExtensionCase{"a.bak.nes", 1, 2, ".NES", "a.bak.VRK"}));

TEST(PalettePathTest, ReplacesOnlyTheFileNamesExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"X", "X.VRK"},
      {"/a/game.nes", "/a/game.VRK"},
      {"/a/game.NES", "/a/game.VRK"},
      {"/a.b/game", "/a.b/game.VRK"},  // the dot belongs to the folder
      {"/a.b/game.gb", "/a.b/game.VRK"},
      {"rel/x.tar.gz", "rel/x.tar.VRK"},
  };
  for (const auto& [rom, palette] : cases)
    EXPECT_EQ(RomDocument::DefaultPalettePath(rom), palette) << rom;
}

TEST(PalettePathTest, FolderWithDotAndNoExtensionOpensAsOneBit) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("v1.nes").c_str(), 0755), 0);
  const std::string path = dir.Write("v1.nes/game", PatternBytes(4096, 1));
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  EXPECT_EQ(doc.Format, 0);
  EXPECT_EQ(doc.RomExt, "");
  EXPECT_EQ(doc.PalettePath, path + ".VRK");
}

TEST(LoadRomTest, MissingFileAndDirectoryCannotBeOpened) {
  TempDir dir;
  RomDocument doc;
  EXPECT_EQ(doc.LoadRom(dir.File("absent.nes")), kLoadCannotOpen);
  EXPECT_EQ(doc.RomPath, dir.File("absent.nes"));
  EXPECT_EQ(doc.LoadRom(dir.path()), kLoadCannotOpen);
  EXPECT_EQ(doc.RomData, nullptr);
  EXPECT_EQ(doc.RomSize, 0);
}

TEST(LoadRomTest, TwoGibibytesIsRefused) {
  TempDir dir;
  const std::string path = dir.Write("huge.bin", {});
  ASSERT_EQ(::truncate(path.c_str(), 0x80000000LL), 0);  // sparse: costs no disk
  RomDocument doc;
  EXPECT_EQ(doc.LoadRom(path), kLoadTooLarge);
  EXPECT_EQ(doc.RomData, nullptr);
}

TEST(LoadRomTest, ReadsTheWholeFile) {
  TempDir dir;
  const std::vector<uint8_t> bytes = PatternBytes(100000, 3);
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.smd", bytes)), kLoadLoaded);
  EXPECT_EQ(doc.IoCount, 100000u);
  ASSERT_NE(doc.RomData, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(doc.RomData, doc.RomData + doc.RomSize), bytes);
}

TEST(LoadRomTest, EmptyFileLoads) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("empty.gba", {})), kLoadLoaded);
  EXPECT_EQ(doc.RomSize, 0);
  EXPECT_EQ(doc.ViewOffset, 0);
  EXPECT_EQ(doc.ScrollMinimum, 0);
  EXPECT_EQ(doc.ScrollMaximum, 0);
  EXPECT_EQ(doc.OffsetText(), "Offset: 00000000 (0%)");
  EXPECT_EQ(doc.SizeText(), "0K");
  EXPECT_TRUE(doc.BytesFrom(0).empty());
}

struct RangeCase {
  const char* label;
  std::vector<uint8_t> image;
  const char* name;
  int32_t minimum;
  int32_t maximum;
  int32_t opensAt;
  // A format chosen after opening and the offset it leaves; the range is then that format's.
  TileFormat switchTo = -1;
  int32_t switchedAt = 0;
};

void PrintTo(const RangeCase& c, std::ostream* out) {
  *out << c.label;
}

class ScrollRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ScrollRangeTest, WhereTheViewOpensAndHowFarBackItGoes) {
  const RangeCase& c = GetParam();
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write(c.name, c.image)), kLoadLoaded);
  EXPECT_EQ(doc.ViewOffset, c.opensAt);
  if (c.switchTo >= 0) {
    doc.SetTileFormat(c.switchTo);
    EXPECT_EQ(doc.ViewOffset, c.switchedAt);
  }
  EXPECT_EQ(doc.ScrollMinimum, c.minimum);
  EXPECT_EQ(doc.ScrollMaximum, c.maximum);
}

// Pages of 16 x 16 tiles: 2048 bytes at 1 bit, 4096 at 2, 6144 at 3, 8192 at 4. iNES images
// open at their character ROM, 16 + 16384 x byte 4 (+ 512 for a trainer), and scroll back to
// byte 16; copier-header formats skip 512 bytes only when the length is 1 KB x n + 512.
INSTANTIATE_TEST_SUITE_P(
    Images, ScrollRangeTest,
    ::testing::Values(
        // 16 + 16384 = 16400; 16 + 16384 + 8192 - 4096 = 20496
        RangeCase{"NesOneProgramBank", NesImage(16 + 16384 + 8192, 1, 1), "g.nes", 16, 20496,
                  16400},
        // 16 + 2 x 16384 = 32784 (0x8010); 16 + 32768 + 16384 - 4096 = 45072
        RangeCase{"NesTwoProgramBanks", NesImage(16 + 32768 + 16384, 2, 2), "g.nes", 16, 45072,
                  32784},
        // 16 + 512 + 16384 = 16912
        RangeCase{"NesTrainer", NesImage(16 + 512 + 16384 + 8192, 1, 1, 0x04), "g.nes", 16, 21008,
                  16912},
        // byte 5 = 0: no character ROM, whatever follows the program banks
        RangeCase{"NesNoCharacterRom", NesImage(16 + 16384 + 8192, 1, 0), "g.nes", 16, 20496, 16},
        // four program banks announced, two present: the character ROM lies past the end
        RangeCase{"NesCharacterRomPastTheEnd", NesImage(16 + 32768, 4, 1), "g.nes", 16, 28688, 16},
        // character ROM inside the image but less than a page before its end: the last page
        RangeCase{"NesCharacterRomInTheLastPage", NesImage(16 + 16384 + 1024, 1, 1), "g.nes", 16,
                  13328, 13328},
        // bytes 4 and 5 say 1 and 1, but without the signature they are no header
        RangeCase{"NesNoSignature", std::vector<uint8_t>(24592, 1), "g.nes", 16, 20496, 16},
        RangeCase{"NesOneKilobyte", NesImage(1024, 0, 1), "g.nes", 0, 0, 0},
        // a later change to NES keeps the view where it is, clamped to byte 16
        RangeCase{"SwitchedToNesStaysPut", NesImage(16 + 16384 + 8192, 1, 1), "g.bin", 16, 20496, 0,
                  1, 16},
        RangeCase{"SnesCopierHeader", PatternBytes(65536 + 512, 5), "g.smc", 512, 57856, 512},
        RangeCase{"SnesNoCopierHeader", PatternBytes(65536, 5), "g.smc", 0, 57344, 0},
        RangeCase{"SfcCopierHeader", PatternBytes(32768 + 512, 5), "g.sfc", 512, 25088, 512},
        RangeCase{"GenesisCopierHeader", PatternBytes(65536 + 512, 5), "g.smd", 512, 57856, 512},
        RangeCase{"GenesisNoCopierHeader", PatternBytes(65536, 5), "g.smd", 0, 57344, 0},
        // SNES 3 bits from the Format menu: 65536 + 512 - 6144 = 59904
        RangeCase{"Snes3BppCopierHeader", PatternBytes(65536 + 512, 5), "g.bin", 512, 59904, 0, 5,
                  512},
        RangeCase{"GameBoyColor", PatternBytes(32768, 5), "GAME.gbc", 336, 28672, 336},
        RangeCase{"GbaOnePage", PatternBytes(192 + 8192, 5), "g.gba", 192, 192, 192},
        RangeCase{"GbaOneByteShort", PatternBytes(192 + 8191, 5), "g.gba", 0, 0, 0},
        RangeCase{"GbaOddLength", PatternBytes(65536 + 512, 5), "g.gba", 192, 57856, 192},
        RangeCase{"BinaryPageSized", PatternBytes(2048, 5), "g.bin", 0, 0, 0},
        RangeCase{"BinaryShort", PatternBytes(100, 5), "g.bin", 0, 0, 0},
        // 8-bit pages are 16384 bytes: 65536 + 512 - 16384 = 49664
        RangeCase{"Snes8BppCopierHeader", PatternBytes(65536 + 512, 5), "g.bin", 512, 49664, 0, 10,
                  512},
        RangeCase{"Linear8BppInAGbaFile", PatternBytes(65536, 5), "g.gba", 192, 49152, 192, 11,
                  192},
        RangeCase{"Linear8BppElsewhereHasNoHeader", PatternBytes(65536, 5), "g.smc", 0, 49152, 0,
                  11, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ScrollRangeTest, FormatChangeKeepsViewOffsetInRange) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.bin", PatternBytes(65536, 9))), kLoadLoaded);
  doc.ViewOffset = doc.ClampOffset(INT64_MAX);
  EXPECT_EQ(doc.ViewOffset, 63488);  // 65536 - 2048

  doc.SetTileFormat(9);  // page 8192: the maximum drops to 57344
  EXPECT_EQ(doc.ViewOffset, 57344);
  EXPECT_EQ(doc.ScrollMaximum, 57344);

  doc.ViewOffset = 0;
  doc.SetTileFormat(2);  // Game Boy skips its 0x150-byte header
  EXPECT_EQ(doc.ViewOffset, 336);
  doc.SetTileFormat(7);  // an offset inside the range stays where it is
  EXPECT_EQ(doc.ViewOffset, 336);
  EXPECT_EQ(doc.ScrollMinimum, 0);

  // Tags that stand for nothing read as 1 bit per pixel
  for (const int bad : {-1, 127, -128}) {
    doc.SetTileFormat(static_cast<TileFormat>(bad));
    EXPECT_EQ(doc.Format, 0) << bad;
    EXPECT_EQ(doc.BitsPerPixel, 1) << bad;
    EXPECT_EQ(doc.ScrollMaximum, 63488) << bad;
  }
}

TEST(ScrollRangeTest, FormatChangeSetsTheDecodeRequest) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.bin", PatternBytes(65536, 9))), kLoadLoaded);
  doc.Columns = 20;
  doc.Rows = 12;
  doc.SetTileFormat(5);
  EXPECT_EQ(doc.TileBytes, 24);
  EXPECT_EQ(doc.RowBytes, 480);
  EXPECT_EQ(doc.PageBytes, 5760);
  EXPECT_EQ(doc.ScrollMaximum, 65536 - 5760);
  EXPECT_EQ(doc.ViewSurface.DecodeFormat, 5);
  EXPECT_EQ(doc.ViewSurface.DecodeTileBytes, 24);
  EXPECT_EQ(doc.ViewSurface.DecodeBits, 3);
  EXPECT_EQ(doc.ViewSurface.DecodeSkip, 0);
  EXPECT_EQ(doc.ViewSurface.DecodeAcross, 20);
  EXPECT_EQ(doc.ViewSurface.DecodeDown, 12);
}

// 3 bits in 4 bytes per row (byte 3 of each row belongs to no pixel), in a copier-sized image.
TEST(ScrollRangeTest, ADescribedFormatTakesItsRowsTileLengthAndSkipsNoHeader) {
  CodecDescription described{3, 32};
  for (int32_t p = 0; p < 3; ++p) described.Planes[p] = {8 * p, 1, 32};
  const RegisterResult tag = RegisterDescribedFormat("three-in-four", "three", described);
  ASSERT_TRUE(tag.Format) << tag.Reason;
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.smc", PatternBytes(65536 + 512, 9))), kLoadLoaded);
  doc.SetTileFormat(*tag.Format);
  EXPECT_EQ(doc.Format, *tag.Format);
  EXPECT_EQ(doc.BitsPerPixel, 3);
  EXPECT_EQ(doc.ViewSurface.DecodeTileBytes, 32);
  EXPECT_EQ(doc.PageBytes, 8192);
  EXPECT_EQ(doc.ScrollMinimum, 0);
}

TEST(ScrollRangeTest, LargerGridShrinksTheRange) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.gba", PatternBytes(200000, 2))), kLoadLoaded);
  doc.ViewOffset = doc.ClampOffset(200000);
  doc.Columns = 64;
  doc.Rows = 64;
  doc.UpdateStrides();
  EXPECT_EQ(doc.PageBytes, 131072);  // 32 x 64 x 64
  EXPECT_EQ(doc.ScrollMaximum, 200000 - 131072);
  EXPECT_EQ(doc.ViewOffset, 200000 - 131072);
  doc.Columns = 8;
  doc.Rows = 8;
  doc.UpdateStrides();
  EXPECT_EQ(doc.ScrollMaximum, 200000 - 2048);
  EXPECT_EQ(doc.ViewOffset, 200000 - 131072);
}

TEST(AddressingTest, TileOffsetStepsByRowAndTile) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.gba", PatternBytes(65536, 2))), kLoadLoaded);
  doc.ViewOffset = 1000;
  EXPECT_EQ(doc.TileOffset(0, 0), 1000);
  EXPECT_EQ(doc.TileOffset(2, 3), 1000 + 2 * 512 + 3 * 32);
  EXPECT_EQ(doc.TileOffset(15, 15), 1000 + 15 * 512 + 15 * 32);
  doc.SetTileFormat(0);
  EXPECT_EQ(doc.TileOffset(2, 3), 1000 + 2 * 128 + 3 * 8);
  // the last tile of a page can start past the end of the image
  doc.ViewOffset = 65536 - 2048;
  EXPECT_EQ(doc.TileOffset(16, 0), 65536);
  EXPECT_TRUE(doc.BytesFrom(65536).empty());
  EXPECT_EQ(doc.BytesFrom(65535).size(), 1u);
  EXPECT_TRUE(doc.BytesFrom(-1).empty());
  EXPECT_FALSE(doc.WriteBytes(65536, std::vector<uint8_t>{1})) << "nothing is written past the end";
}

TEST(StatusTextTest, OffsetTextAndSizeText) {
  struct Case {
    int32_t size;
    int32_t offset;
    const char* offsetText;
    const char* sizeText;
    bool stream = false;  // a stream window's document, which counts bytes below a kilobyte
  };
  const Case cases[] = {
      {262144, 0x8000, "Offset: 00008000 (12%)", "256K"},        // 32768 x 100 / 262144 = 12.5
      {33554432, 30000000, "Offset: 01C9C380 (89%)", "32768K"},  // 3e9 does not fit 32 bits
      {1048576, 1048575, "Offset: 000FFFFF (99%)", "1024K"},
      {1000, 0, "Offset: 00000000 (0%)", "0K"},
      {1025, 1, "Offset: 00000001 (0%)", "1K"},
      {944, 0, "Offset: 00000000 (0%)", "944 B", true},
      {1023, 0, "Offset: 00000000 (0%)", "1023 B", true},
      {1024, 0, "Offset: 00000000 (0%)", "1K", true},
  };
  for (const Case& c : cases) {
    RomDocument doc;
    if (c.stream) doc.Stream = StreamLink{};
    doc.RomSize = c.size;
    doc.ViewOffset = c.offset;
    EXPECT_EQ(doc.OffsetText(), c.offsetText);
    EXPECT_EQ(doc.SizeText(), c.sizeText);
  }
}

TEST(StatusTextTest, LastPageOfNesFile) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.nes", std::vector<uint8_t>(65536, 0))), kLoadLoaded);
  doc.ViewOffset = doc.ClampOffset(1LL << 40);
  // 65536 - 4096 = 0xF000; 61440 x 100 / 65536 = 93.75
  EXPECT_EQ(doc.OffsetText(), "Offset: 0000F000 (93%)");
  EXPECT_EQ(doc.SizeText(), "64K");
}

// -1 outside the bitmap, so a surface of the wrong size fails the test instead of crashing it.
int PixelAt(const TileSurface& surface, int x, int y) {
  if (x < 0 || y < 0 || x >= surface.Width() || y >= surface.Height()) return -1;
  return surface.Pixels[static_cast<size_t>(y) * surface.Width() + x];
}

TEST(PageTest, DecodePageFitsTheSurfaceAndReadsMissingTilesAsZero) {
  TempDir dir;
  RomDocument doc;
  // 1 KB at 1 bit: 128 tiles, the top 8 rows of a 16 x 16 page; all bits set
  ASSERT_EQ(doc.LoadRom(dir.Write("short.bin", std::vector<uint8_t>(1024, 0xFF))), kLoadLoaded);
  doc.DecodePage();
  ASSERT_EQ(doc.ViewSurface.Width(), 128);
  ASSERT_EQ(doc.ViewSurface.Height(), 128);
  EXPECT_EQ(PixelAt(doc.ViewSurface, 0, 0), 1);
  EXPECT_EQ(PixelAt(doc.ViewSurface, 127, 63), 1);
  EXPECT_EQ(PixelAt(doc.ViewSurface, 0, 64), 0);
  EXPECT_EQ(PixelAt(doc.ViewSurface, 127, 127), 0);

  // a wider grid gets a wider surface on the next decode
  doc.Columns = 32;
  doc.Rows = 8;
  doc.UpdateStrides();
  doc.DecodePage();
  ASSERT_EQ(doc.ViewSurface.Width(), 256);
  ASSERT_EQ(doc.ViewSurface.Height(), 64);
  EXPECT_EQ(PixelAt(doc.ViewSurface, 255, 31), 1);  // tile 127 ends row 3
  EXPECT_EQ(PixelAt(doc.ViewSurface, 0, 32), 0);
}

TEST(PageTest, DecodePageStartsAtViewOffsetInTheCurrentFormat) {
  TempDir dir;
  std::vector<uint8_t> bytes(16384 + 512, 0);  // with a copier header
  bytes[512 + 17 * 32] = 0x12;  // tile 17 of the page: row 1, column 1, its top-left byte
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.smd", bytes)), kLoadLoaded);
  ASSERT_EQ(doc.ViewOffset, 512);
  doc.DecodePage();
  EXPECT_EQ(PixelAt(doc.ViewSurface, 8, 8), 1);  // Genesis: high nibble is the left pixel
  EXPECT_EQ(PixelAt(doc.ViewSurface, 9, 8), 2);
  EXPECT_EQ(PixelAt(doc.ViewSurface, 7, 8), 0);
  doc.SetTileFormat(9);
  ASSERT_EQ(doc.ViewOffset, 512);
  doc.DecodePage();
  EXPECT_EQ(PixelAt(doc.ViewSurface, 8, 8), 2);  // GBA: low nibble is the left pixel
  EXPECT_EQ(PixelAt(doc.ViewSurface, 9, 8), 1);
}

TEST(PageTest, EncodeIntoImageClipsAtTheEndAndSetsModified) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.bin", std::vector<uint8_t>(4096, 0))), kLoadLoaded);
  TileSurface block;
  block.TilesAcross = 2;
  block.TilesDown = 1;
  RebuildSurface(block);
  FillSurfaceTile(block, 0, 0, 1);
  FillSurfaceTile(block, 1, 0, 1);
  block.EncodeFormat = 0;
  block.EncodeTileBytes = 8;
  block.EncodeBits = 1;
  block.EncodeAcross = 2;
  block.EncodeDown = 1;
  // two 8-byte tiles from 4 bytes before the end: only those 4 bytes change
  doc.EncodeIntoImage(block, 4092);
  EXPECT_TRUE(doc.Modified);
  for (int i = 4080; i < 4092; ++i) EXPECT_EQ(doc.RomData[i], 0) << i;
  for (int i = 4092; i < 4096; ++i) EXPECT_EQ(doc.RomData[i], 0xFF) << i;

  doc.Modified = false;
  doc.EncodeIntoImage(block, 100);
  EXPECT_TRUE(doc.Modified);
  for (int i = 100; i < 116; ++i) EXPECT_EQ(doc.RomData[i], 0xFF) << i;
  EXPECT_EQ(doc.RomData[99], 0);
  EXPECT_EQ(doc.RomData[116], 0);
}

}  // namespace
}  // namespace varnock
