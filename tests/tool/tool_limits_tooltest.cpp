// The tool's limits at their value and one past it: the picture's columns, the bytes --length
// shows, an offset at the image's end, a stream one byte longer than its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "compression/compression.h"
#include "pictures/picture_file.h"
#include "support/png_bytes.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::RunTool;
using test::TempDir;

struct LimitCase {
  const char* label;
  const char* words;  // ROM and DIR/ stand for the scratch image and folder
  int status;
  const char* says;  // on standard error; "" for nothing
  int width;         // of the picture written to DIR/p.png, when status is 0
};

void PrintTo(const LimitCase& c, std::ostream* out) {
  *out << c.label;
}

class ToolLimitTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ToolLimitTest, TheLimitIsTakenAndOnePastItIsRefused) {
  const LimitCase& c = GetParam();
  TempDir dir;
  const std::string rom = dir.Write("rom.bin", PatternBytes(0x4000, 3));
  std::vector<std::string> words;
  std::istringstream line(c.words);
  for (std::string word; line >> word;)
    words.push_back(word == "ROM"                ? rom
                    : word.rfind("DIR/", 0) == 0 ? dir.File(word.substr(4))
                                                 : word);
  const test::ToolRun run = RunTool(dir, words);
  EXPECT_EQ(run.status, c.status) << run.err;
  EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  if (*c.says == 0) {
    EXPECT_EQ(run.err, "");
  }
  if (c.status != 0) return;
  TileSurface picture;
  const PictureReadResult read = ReadPictureFile(dir.File("p.png"), picture);
  ASSERT_TRUE(read.Ok);
  EXPECT_EQ(read.Width, c.width);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ToolLimitTest,
    ::testing::Values(
        LimitCase{"columns_2048", "export ROM DIR/p.png --format 1bpp --columns 2048", 0, "",
                  2048 * 8},
        LimitCase{"columns_2049", "export ROM DIR/p.png --format 1bpp --columns 2049", 2,
                  "export: --columns takes 1 to 2048", 0},
        LimitCase{"columns_1", "export ROM DIR/p.png --columns 1 --tiles 2", 0, "", 8},
        LimitCase{"columns_0", "export ROM DIR/p.png --columns 0", 2,
                  "export: --columns takes 1 to 2048", 0},
        LimitCase{"offset_the_last_byte", "decompress ROM 0x3FFF lz10 -o DIR/out", 1,
                  "rom.bin: No LZ77 10 stream starts at 0x3FFF: ", 0},
        LimitCase{"offset_the_image_size", "decompress ROM 0x4000 lz10 -o DIR/out", 1,
                  "rom.bin: The offset 0x4000 lies past the end of the image (16384 bytes).", 0}),
    [](const auto& info) { return std::string(info.param.label); });

// --length rounds up to whole tiles: a part of a tile shows the whole tile, as many as --tiles
// gives, and the picture is the same file.
TEST(ToolExportLength, APartOfATileShowsThatTile) {
  TempDir dir;
  const std::string rom = dir.Write("rom.bin", PatternBytes(0x400, 6));
  const std::pair<int, int> lengths[] = {{1, 1},  {15, 1}, {16, 1}, {17, 2},
                                         {40, 3}, {48, 3}, {49, 4}};  // Game Boy: 16 bytes a tile
  for (const auto& [length, tiles] : lengths) {
    ASSERT_EQ(RunTool(dir, {"export", rom, dir.File("l.png"), "--format", "gb", "--length",
                            std::to_string(length)})
                  .status,
              0);
    ASSERT_EQ(RunTool(dir, {"export", rom, dir.File("t.png"), "--format", "gb", "--tiles",
                            std::to_string(tiles)})
                  .status,
              0);
    EXPECT_EQ(ReadFile(dir.File("l.png")), ReadFile(dir.File("t.png"))) << length << " bytes";
  }
}

// GBA tiles hold two pixels a byte, the left one in the low half.
std::vector<uint8_t> GbaPng(const std::vector<uint8_t>& tiles) {
  test::PngPicture png;
  png.Width = static_cast<uint32_t>(tiles.size() / 32 * 8);
  for (int i = 0; i < 16; ++i) png.Palette.insert(png.Palette.end(), 3, uint8_t(17 * i));
  png.Samples.assign(size_t{png.Width} * 8, 0);
  for (size_t b = 0; b < tiles.size(); ++b) {
    const size_t tile = b / 32, row = b % 32 / 4, pixel = tile * 8 + b % 4 * 2;
    png.Samples[row * png.Width + pixel] = tiles[b] & 15;
    png.Samples[row * png.Width + pixel + 1] = tiles[b] >> 4;
  }
  return test::EncodePng(png);
}

// The stream at 0x100 holds 16 solid tiles; its place ends where the filler after it starts.
TEST(ToolCompressedImport, AStreamOneByteLongerThanItsPlaceIsRefused) {
  TempDir dir;
  const std::vector<uint8_t> solid(16 * 32, 0x11);
  const std::vector<uint8_t> stream = Compress(CompressionFormat::Lz10, solid).value();
  std::vector<uint8_t> rom(0x100 + stream.size() + 16, 0xAB);
  std::fill_n(rom.begin(), 0x100, 0xEE);
  std::copy(stream.begin(), stream.end(), rom.begin() + 0x100);
  const std::string path = dir.Write("rom.bin", rom);
  // Noise over the first k bytes of the first two tiles, for the k whose stream takes one byte
  // more than the place.
  const std::vector<uint8_t> noise = PatternBytes(64, 12);
  std::vector<uint8_t> edited;
  for (size_t k = 1; k <= noise.size() && edited.empty(); ++k) {
    std::vector<uint8_t> tiles = solid;
    std::copy_n(noise.begin(), k, tiles.begin());
    if (Compress(CompressionFormat::Lz10, tiles)->size() == stream.size() + 1) edited = tiles;
  }
  ASSERT_FALSE(edited.empty()) << "no edit makes the stream exactly one byte longer";
  const std::string picture =
      dir.Write("p.png", GbaPng(std::vector<uint8_t>(edited.begin(), edited.begin() + 64)));
  const test::ToolRun run = RunTool(dir, {"import", path, picture, "--format", "gba", "--offset",
                                          "0x100", "--compressed", "lz10"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("The graphics take " + std::to_string(stream.size() + 1) +
                         " bytes compressed and only " + std::to_string(stream.size()) +
                         " are free at 0x100. Nothing was written."),
            std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFile(path), rom) << "the byte after the place, and every other, as it was";
}

}  // namespace
}  // namespace varnock
