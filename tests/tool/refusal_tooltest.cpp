// Commands that cannot do what they are asked: one line on standard error naming the file or
// the command and the reason, status 1 (failure) or 2 (bad usage), and the ROM exactly as it
// was, although none of them was given -o.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <sstream>

#include <QBuffer>
#include <QImage>

#include "compression/compression.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::RunTool;
using test::TempDir;

struct RefusalCase {
  const char* label;
  const char* words;  // separated by spaces; ROM and DIR/ stand for the files the test makes
  int status;
  const char* says;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
  *out << c.label;
}

// `image` as a PNG file in `dir`.
void WritePng(const TempDir& dir, const std::string& name, const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "png");
  dir.Write(name, {bytes.begin(), bytes.end()});
}

// 4 x 4 tiles of `index`, or of indices 0..15 at random when `index` is negative.
QImage IndexedPicture(int index) {
  QImage image(32, 32, QImage::Format_Indexed8);
  image.setColorTable(QList<QRgb>(256, qRgb(1, 2, 3)));
  const std::vector<uint8_t> noise = PatternBytes(32 * 32, 9);
  for (int p = 0; p < 32 * 32; ++p)
    image.setPixel(p % 32, p / 32, index >= 0 ? index : noise[static_cast<size_t>(p)] & 15);
  return image;
}

QImage ColourPicture() {
  QImage image(32, 16, QImage::Format_RGB32);
  image.fill(qRgb(200, 100, 7));
  return image;
}

class ToolRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ToolRefusalTest, SaysWhyInOneLineAndLeavesTheRomAlone) {
  const RefusalCase& c = GetParam();
  TempDir dir;
  // A ROM with a stream of 32 solid tiles at 0x100: noise would need far more than its place.
  std::vector<uint8_t> image = PatternBytes(0x100, 1);
  const std::vector<uint8_t> stream =
      Compress(CompressionFormat::Lz10, std::vector<uint8_t>(32 * 32, 0x11)).value();
  image.insert(image.end(), stream.begin(), stream.end());
  image.resize(0x2000, 0x5A);
  const std::string rom = dir.Write("rom.bin", image);
  struct stat before {};
  ::stat(rom.c_str(), &before);
  WritePng(dir, "deep.png", IndexedPicture(16));
  WritePng(dir, "noise.png", IndexedPicture(-1));
  WritePng(dir, "rgb.png", ColourPicture());

  std::vector<std::string> words;
  std::istringstream line(c.words);
  for (std::string word; line >> word;)
    words.push_back(word == "ROM"                ? rom
                    : word.rfind("DIR/", 0) == 0 ? dir.File(word.substr(4))
                                                 : word);
  const test::ToolRun run = RunTool(dir, words);
  EXPECT_EQ(run.status, c.status);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadFile(rom), image);
  struct stat after {};
  ::stat(rom.c_str(), &after);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(after.st_ino, before.st_ino);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, ToolRefusalTest,
    ::testing::Values(
        RefusalCase{"more colours than the format holds", "import ROM DIR/deep.png --format gba", 1,
                    "deep.png: The picture uses index 16 and GBA [4BPP] tiles hold 0 to 15"},
        RefusalCase{"not indexed", "import ROM DIR/rgb.png", 1,
                    "rgb.png: The picture is not indexed"},
        RefusalCase{"does not fit compressed",
                    "import ROM DIR/noise.png --format=GBA --offset 256 --compressed lz10", 1,
                    "rom.bin: The graphics take "},
        RefusalCase{"no picture", "import ROM DIR/none.png", 1, "none.png: "},
        RefusalCase{"no stream there", "export ROM DIR/x.png --compressed lz11", 1,
                    "rom.bin: No LZ77 11 stream starts at 0x0: "},
        RefusalCase{"offset past the end", "import ROM DIR/noise.png --format=gba --offset 0x2000",
                    1, "rom.bin: The offset 0x2000 lies past the end of the image (8192 bytes)."},
        RefusalCase{"unknown format", "import ROM DIR/noise.png --format snes9", 2,
                    "import: unknown format 'snes9'; the formats are 1bpp nes gb"},
        RefusalCase{"unknown option", "export ROM DIR/x.png --tile 4", 2,
                    "export: unknown option '--tile' (see varnock-tool export --help)"},
        RefusalCase{"tiles and length", "export ROM DIR/x.png --tiles=4 --length=4", 2,
                    "--tiles and --length exclude each other"},
        RefusalCase{"not a number", "import ROM DIR/noise.png --offset -1", 2,
                    "--offset '-1' is not a whole number"},
        RefusalCase{"unknown command", "imports ROM", 2, "unknown command 'imports'"}));

TEST(ToolQuantize, MatchesEachColourToTheNearestOfTheSubPalette) {
  TempDir dir;
  const std::vector<uint8_t> image(0x400, 0);
  const std::string rom = dir.Write("rom.bin", image);
  std::vector<uint8_t> act(768, 0);
  for (int i = 0; i < 16; ++i) act[3 * i] = static_cast<uint8_t>(i * 16);  // reds 0, 16, ...
  for (const int entry : {21, 22}) {  // the same colour twice in sub-palette 1: the first wins
    act[3 * entry] = 190;
    act[3 * entry + 1] = 100;
    act[3 * entry + 2] = 9;
  }
  dir.Write("colours.act", act);
  WritePng(dir, "rgb.png", ColourPicture());
  const test::ToolRun run =
      RunTool(dir, {"import", rom, dir.File("rgb.png"), "--format", "gba", "--quantize",
                    "--palette", dir.File("colours.act"), "--subpalette", "1"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<uint8_t> want = image;
  std::fill_n(want.begin(), 8 * 32, 0x55);  // entry 21 is index 5 of sub-palette 1
  EXPECT_EQ(ReadFile(rom), want);
}

}  // namespace
}  // namespace varnock
