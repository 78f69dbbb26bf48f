// What an import may not lose or spoil unasked: pixels that make no whole tile, tiles past the
// end of their place, and tiles over a header checksum that the save would rewrite. Refused
// with nothing written, or with --clip / --no-checksum written as asked.
#include <gtest/gtest.h>

#include <sstream>

#include <QBuffer>
#include <QImage>

#include "compression/compression.h"
#include "document/checksum_rule.h"
#include "io/file_io.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::TempDir;

constexpr uint8_t kIndex = 3;  // every pixel: GBA tiles of 0x33, Game Boy tiles of 0xFF

struct ImportCase {
  const char* name;
  const char* rom;  // file name; .gba and .gb bring their checksum rule
  int width, height;
  const char* options;  // after "import ROM PICTURE"
  int status;
  const char* says;  // on standard error; "" for nothing
  // What lands: `bytes` bytes of tiles from `at` (from the start of the stream at `at` with
  // --compressed), the checksum rule after them unless --no-checksum.
  int64_t at, bytes;
};
void PrintTo(const ImportCase& c, std::ostream* os) {
  *os << c.name;
}

std::vector<uint8_t> PictureFile(int width, int height) {
  QImage image(width, height, QImage::Format_Indexed8);
  image.setColorTable(QList<QRgb>(16, qRgb(1, 2, 3)));  // no palette's colours
  image.fill(kIndex);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "png");
  return {bytes.begin(), bytes.end()};
}

// 0x1000 bytes with two streams: 2 GBA tiles of noise at 0xB0, over the GBA header's
// checksums (and long enough to take a tile of one index), and 32 tiles of zeros at 0x100.
std::vector<uint8_t> RomBytes() {
  std::vector<uint8_t> image = PatternBytes(0x1000, 3);
  for (const auto& [at, data] :
       {std::pair{0xB0, PatternBytes(64, 4)}, std::pair{0x100, std::vector<uint8_t>(1024, 0)}}) {
    const std::vector<uint8_t> stream = Compress(CompressionFormat::Lz10, data).value();
    std::copy(stream.begin(), stream.end(), image.begin() + at);
  }
  return image;
}

std::vector<uint8_t> StreamAt(const std::vector<uint8_t>& image, int64_t at) {
  const DecompressResult stream =
      Decompress(CompressionFormat::Lz10, std::span<const uint8_t>(image).subspan(at));
  EXPECT_TRUE(stream.ok());
  return stream.Bytes;
}

// The tile bytes the picture's index gives `count` bytes of tiles from `offset`.
void PutTiles(std::vector<uint8_t>& bytes, bool gameBoy, int64_t offset, int64_t count) {
  for (int64_t i = 0; i < count && offset + i < static_cast<int64_t>(bytes.size()); ++i)
    bytes[static_cast<size_t>(offset + i)] = gameBoy ? 0xFF : 0x33;
}

class ImportFitTest : public ::testing::TestWithParam<ImportCase> {};

TEST_P(ImportFitTest, WritesAllOrNothingUnlessAskedOtherwise) {
  const ImportCase& c = GetParam();
  TempDir dir;
  const std::vector<uint8_t> image = RomBytes();
  const std::string rom = dir.Write(c.rom, image);
  const std::string picture = dir.Write("p.png", PictureFile(c.width, c.height));
  std::vector<std::string> words{"import", rom, picture};
  std::istringstream options(c.options);
  for (std::string word; options >> word;) words.push_back(word);
  const bool gameBoy = std::string(c.rom).ends_with(".gb");
  words.push_back(gameBoy ? "--format=gb" : "--format=gba");

  const test::ToolRun run = test::RunTool(dir, words);
  EXPECT_EQ(run.status, c.status) << run.err;
  if (*c.says == '\0') {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  const std::vector<uint8_t> after = ReadFile(rom);
  if (c.status != 0) {
    EXPECT_EQ(after, image);
    return;
  }
  if (std::string(c.options).find("--compressed") != std::string::npos) {
    std::vector<uint8_t> tiles = StreamAt(image, c.at);
    PutTiles(tiles, false, 0, c.bytes);
    EXPECT_EQ(StreamAt(after, c.at), tiles);
    return;
  }
  std::vector<uint8_t> want = image;
  PutTiles(want, gameBoy, c.at, c.bytes);
  if (std::string(c.options).find("--no-checksum") == std::string::npos)
    ApplyChecksumRule(UpperExtension(c.rom), want);
  EXPECT_EQ(after, want);
}

// A place of 0x1000 - 0xF81 = 127 bytes holds 3 whole tiles of 32 bytes.
INSTANTIATE_TEST_SUITE_P(
    Fit, ImportFitTest,
    ::testing::Values(
        ImportCase{"Fits", "r.bin", 16, 16, "--offset 0xF80", 0, "", 0xF80, 128},
        ImportCase{"OneTileTooMany", "r.bin", 16, 16, "--offset 0xF81", 1,
                   "r.bin: The picture holds 4 tiles; only 3 fit at 0xF81. Nothing was written.\n",
                   0, 0},
        ImportCase{"OneTileTooManyClipped", "r.bin", 16, 16, "--offset 0xF81 --clip", 0,
                   "r.bin: --clip: 3 of the picture's 4 tiles fit at 0xF81; 1 tile was left out, "
                   "but for the first 31 bytes of the first.\n",
                   0xF81, 127},
        ImportCase{"RightAndBottomPixels", "r.bin", 12, 12, "--offset 0x400", 1,
                   "p.png: The picture is 12 x 12 pixels: its right 4 columns and bottom 4 rows "
                   "of pixels make no whole 8 x 8 tile and would be lost. Nothing was written.\n",
                   0, 0},
        ImportCase{"PixelsClipped", "r.bin", 12, 12, "--offset 0x400 --clip", 0,
                   "p.png: --clip: the picture's right 4 columns and bottom 4 rows of pixels (of "
                   "12 x 12) make no whole 8 x 8 tile and were left out.\n",
                   0x400, 32},
        ImportCase{"StreamTooSmall", "r.bin", 128, 128, "--offset 0x100 --compressed lz10", 1,
                   "The picture holds 256 tiles; only 32 fit at 0x100. Nothing was written.", 0, 0},
        ImportCase{"StreamClipped", "r.bin", 128, 128, "--offset 0x100 --compressed lz10 --clip", 0,
                   "--clip: 32 of the picture's 256 tiles fit at 0x100; 224 tiles were left out.",
                   0x100, 1024}),
    [](const auto& info) { return std::string(info.param.name); });

// GBA: complement at 0xBD, sum at 0xBE..0xBF; Game Boy: global checksum at 0x14E..0x14F (the
// header checksum at 0x14D is no field a save writes). Tiles of 32 and 16 bytes.
INSTANTIATE_TEST_SUITE_P(
    Checksums, ImportFitTest,
    ::testing::Values(
        ImportCase{"GbaEndsBeforeTheComplement", "g.gba", 8, 8, "--offset 0x9D", 0, "", 0x9D, 32},
        ImportCase{"GbaOverTheComplement", "g.gba", 8, 8, "--offset 0x9E", 1,
                   "g.gba: The import writes 0x9E..0xBD, over the GBA header complement at 0xBD, "
                   "which a save rewrites; --no-checksum writes it and leaves the header as it "
                   "is. Nothing was written.\n",
                   0, 0},
        ImportCase{"GbaOverTheSum", "g.gba", 8, 8, "--offset 0xBF", 1,
                   "over the GBA 16-bit sum at 0xBE", 0, 0},
        ImportCase{"GbaAfterTheSum", "g.gba", 8, 8, "--offset 0xC0", 0, "", 0xC0, 32},
        ImportCase{"GbaWithoutChecksums", "g.gba", 8, 8, "--offset 0xA0 --no-checksum", 0, "", 0xA0,
                   32},
        ImportCase{"GbaStreamOverTheComplement", "g.gba", 8, 8, "--offset 0xB0 --compressed lz10",
                   1, "g.gba: The import writes 0xB0..", 0, 0},
        ImportCase{"GbaStreamWithoutChecksums", "g.gba", 8, 8,
                   "--offset 0xB0 --compressed lz10 --no-checksum", 0, "", 0xB0, 32},
        ImportCase{"GameBoyOverTheHeaderChecksumOnly", "g.gb", 8, 8, "--offset 0x13E", 0, "", 0x13E,
                   16},
        ImportCase{"GameBoyOverTheGlobalChecksum", "g.gb", 8, 8, "--offset 0x13F", 1,
                   "over the Game Boy global checksum at 0x14E", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
