// The tool's limits at their value and one past it: the picture's columns, the bytes --length
// shows, an offset at the image's end, a stream one byte longer than its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "compression/compression.h"
#include "pictures/picture_file.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::RunTool;
using test::TempDir;

// Words (ROM, DIR/: the scratch image and folder), exit status, when 0 the width of the picture
// written to DIR/p.png, and what standard error says ("" for nothing).
TEST(ToolLimits, TheLimitIsTakenAndOnePastItIsRefused) {
  const struct {
    const char* words;
    int status;
    int width;
    const char* says;
  } cases[] = {
      {"export ROM DIR/p.png --format 1bpp --columns 2048", 0, 2048 * 8, ""},
      {"export ROM DIR/p.png --format 1bpp --columns 2049", 2, 0,
       "export: --columns takes 1 to 2048"},
      {"export ROM DIR/p.png --columns 1 --tiles 2", 0, 8, ""},
      {"export ROM DIR/p.png --columns 0", 2, 0, "export: --columns takes 1 to 2048"},
      {"decompress ROM 0x3FFF lz10 -o DIR/out", 1, 0,
       "rom.bin: No LZ77 10 stream starts at 0x3FFF: "},
      {"decompress ROM 0x4000 lz10 -o DIR/out", 1, 0,
       "rom.bin: The offset 0x4000 lies past the end of the image (16384 bytes)."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words);
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
    EXPECT_TRUE(*c.says || run.err.empty()) << run.err;
    if (c.status != 0) continue;
    TileSurface picture;
    const PictureReadResult read = ReadPictureFile(dir.File("p.png"), picture);
    EXPECT_TRUE(read.Ok);
    EXPECT_EQ(read.Width, c.width);
  }
}

// --length rounds up to whole tiles: a part of a tile shows the whole tile, as many as --tiles
// gives, and the picture is the same file.
TEST(ToolExportLength, APartOfATileShowsThatTile) {
  TempDir dir;
  const std::string rom = dir.Write("rom.bin", PatternBytes(0x400, 6));
  const std::pair<int, int> lengths[] = {{1, 1},  {15, 1}, {16, 1}, {17, 2},
                                         {40, 3}, {48, 3}, {49, 4}};  // Game Boy: 16 bytes a tile
  const auto picture = [&](const char* option, int count) {
    const test::ToolRun run = RunTool(
        dir, {"export", rom, dir.File("p.png"), "--format", "gb", option, std::to_string(count)});
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadFile(dir.File("p.png"));
  };
  for (const auto& [length, tiles] : lengths)
    EXPECT_EQ(picture("--length", length), picture("--tiles", tiles)) << length << " bytes";
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
  // The picture of the two edited tiles, as export writes it.
  edited.resize(64);
  const test::ToolRun exported =
      RunTool(dir, {"export", dir.Write("edited.bin", edited), dir.File("p.png"), "--format", "gba",
                    "--tiles", "2", "--columns", "2"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  const test::ToolRun run = RunTool(dir, {"import", path, dir.File("p.png"), "--format", "gba",
                                          "--offset", "0x100", "--compressed", "lz10"});
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
