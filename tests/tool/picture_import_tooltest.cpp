// Pictures into tiles: an indexed PNG's indices exactly as the file holds them (also past its
// colour table), for the tool's import and the editor's alike, and a damaged one refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "pictures/picture_file.h"
#include "support/png_bytes.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PngPicture;
using test::ReadFile;
using test::RunTool;
using test::TempDir;

// 8 x 8 pixels of indices (3x + 5y) mod 2^bits (at most 16, as GBA tiles hold), and a table of
// `colours` grey entries.
PngPicture Indexed(int bits, int colours, bool interlaced = false) {
  PngPicture png;
  png.BitDepth = bits;
  png.Interlaced = interlaced;
  for (uint32_t p = 0; p < 64; ++p)
    png.Samples.push_back((3 * (p % 8) + 5 * (p / 8)) % std::min(1u << bits, 16u));
  for (int i = 0; i < colours; ++i)
    png.Palette.insert(png.Palette.end(), 3, static_cast<uint8_t>(40 * i));
  return png;
}

// GBA tiles hold two pixels a byte, the left one in the low half.
std::vector<uint8_t> GbaTile(const std::vector<uint32_t>& indices) {
  std::vector<uint8_t> tile(32);
  for (size_t b = 0; b < 32; ++b)
    tile[b] = static_cast<uint8_t>((indices[2 * b] & 15) | (indices[2 * b + 1] & 15) << 4);
  return tile;
}

struct IndexedCase {
  const char* label;
  PngPicture png;
  bool pastTable;  // some index lies past the colour table
};

void PrintTo(const IndexedCase& c, std::ostream* out) {
  *out << c.label;
}

class IndexedPngTest : public ::testing::TestWithParam<IndexedCase> {};

TEST_P(IndexedPngTest, EveryIndexIsTheFilesForTheToolAndTheEditor) {
  const IndexedCase& c = GetParam();
  TempDir dir;
  const std::string png = dir.Write("p.png", test::EncodePng(c.png));
  const std::string rom = dir.Write("rom.bin", std::vector<uint8_t>(0x400, 0xAA));
  TileSurface clip;
  const PictureReadResult read = ReadPictureFile(png, clip);  // the editor's "Carica Bitmap"
  ASSERT_TRUE(read.Ok) << read.Reason.toStdString();
  EXPECT_EQ(read.ColorCount, static_cast<int32_t>(c.png.Palette.size() / 3));
  EXPECT_EQ(std::vector<uint32_t>(clip.Pixels.begin(), clip.Pixels.end()), c.png.Samples);

  const test::ToolRun run =
      RunTool(dir, {"import", rom, png, "--format", "gba", "-o", dir.File("o")});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<uint8_t> want = GbaTile(c.png.Samples);
  want.resize(0x400, 0xAA);
  EXPECT_EQ(ReadFile(dir.File("o")), want);
  EXPECT_EQ(run.err.find("past its colour table") != std::string::npos, c.pastTable) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Depths, IndexedPngTest,
    ::testing::Values(IndexedCase{"eight_bits_four_colours", Indexed(8, 4), true},
                      IndexedCase{"four_bits_four_colours", Indexed(4, 4), true},
                      IndexedCase{"four_bits_sixteen_colours", Indexed(4, 16), false},
                      IndexedCase{"two_bits_interlaced_two_colours", Indexed(2, 2, true), true},
                      IndexedCase{"one_bit_one_colour", Indexed(1, 1), true},
                      IndexedCase{"eight_bits_interlaced", Indexed(8, 16, true), false}),
    [](const auto& info) { return std::string(info.param.label); });

// A picture's colour table against the sub-palette its tiles go to (entries 0..15 of
// colours.act, entry k the colour (10k, 255 - k, 3k), entry 9 the same as entry 5; entry 16,
// the first past the sub-palette, has a colour too).
struct OrderCase {
  const char* label;
  std::vector<int> table;    // each entry the palette entry whose colour it has; -1: a colour
                             // the palette lacks; an empty table makes an RGB picture
  std::vector<int> indices;  // the picture's pixels, repeated over the tile
  std::vector<std::string> options;
  int status;
  std::vector<int> written;  // the tile's indices on disk when status is 0
  const char* says;          // on standard error; "" for nothing at all
};

void PrintTo(const OrderCase& c, std::ostream* out) {
  *out << c.label;
}

std::array<uint8_t, 3> Entry(int k) {
  if (k == 9) k = 5;
  if (k < 0) return {1, 2, 3};
  return {static_cast<uint8_t>(10 * k), static_cast<uint8_t>(255 - k), static_cast<uint8_t>(3 * k)};
}

class ColourOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ColourOrderTest, IndicesAsTheyAreAndSaidSoOrMappedByColour) {
  const OrderCase& c = GetParam();
  TempDir dir;
  std::vector<uint8_t> act(768, 0);
  for (int k = 0; k < 17; ++k) std::copy_n(Entry(k).begin(), 3, act.begin() + 3 * k);
  dir.Write("colours.act", act);
  PngPicture png;
  png.ColourType = c.table.empty() ? 2 : 3;
  for (const int entry : c.table) {
    const std::array<uint8_t, 3> colour = Entry(entry);
    png.Palette.insert(png.Palette.end(), colour.begin(), colour.end());
  }
  for (size_t p = 0; p < 64; ++p) {
    const int index = c.indices[p % c.indices.size()];
    if (c.table.empty()) {
      for (const uint8_t channel : Entry(index)) png.Samples.push_back(channel);
    } else {
      png.Samples.push_back(static_cast<uint32_t>(index));
    }
  }
  const std::string picture = dir.Write("p.png", test::EncodePng(png));
  const std::vector<uint8_t> image(0x40, 0xAA);
  const std::string rom = dir.Write("rom.bin", image);
  std::vector<std::string> words = {
      "import", rom, picture, "--format", "gba", "--palette", dir.File("colours.act")};
  words.insert(words.end(), c.options.begin(), c.options.end());
  const test::ToolRun run = RunTool(dir, words);
  EXPECT_EQ(run.status, c.status) << run.err;
  if (*c.says == 0) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  std::vector<uint8_t> want = image;
  if (c.status == 0) {
    std::vector<uint32_t> pixels;
    for (size_t p = 0; p < 64; ++p)
      pixels.push_back(static_cast<uint32_t>(c.written[p % c.written.size()]));
    want = GbaTile(pixels);
    want.resize(image.size(), 0xAA);
  }
  EXPECT_EQ(ReadFile(rom), want);
}

constexpr const char* kReordered =
    "p.png: the picture's colours are the palette's in another order: indices taken as they "
    "are; --by-colour maps them";

INSTANTIATE_TEST_SUITE_P(
    Tables, ColourOrderTest,
    ::testing::Values(
        OrderCase{"same_order", {0, 1, 2, 3}, {0, 1, 2, 3}, {}, 0, {0, 1, 2, 3}, ""},
        OrderCase{"renumbered", {2, 0, 3, 1}, {0, 1, 2, 3}, {}, 0, {0, 1, 2, 3}, kReordered},
        OrderCase{"unused_foreign_entry_ignored", {0, 1, -1}, {0, 1}, {}, 0, {0, 1}, ""},
        OrderCase{"renumbered_by_colour",
                  {2, 0, 3, 1},
                  {0, 1, 2, 3},
                  {"--by-colour"},
                  0,
                  {2, 0, 3, 1},
                  ""},
        // a colour two entries share: its own index where it has it, else the lower one
        OrderCase{"shared_colour_by_colour",
                  {0, 1, 2, 5, 4, 5, 6, 7, 8, 9},
                  {9, 3, 5},
                  {"--by-colour"},
                  0,
                  {9, 5, 5},
                  ""},
        OrderCase{"last_colour_of_the_sub_palette", {15}, {0}, {"--by-colour"}, 0, {15}, ""},
        OrderCase{"first_colour_past_the_sub_palette",
                  {16},
                  {0},
                  {"--by-colour"},
                  1,
                  {},
                  "p.png: The picture's colour #A0EF30 (index 0) is none of the 16 colours"},
        OrderCase{"foreign_colour",
                  {0, -1},
                  {0, 1},
                  {"--by-colour"},
                  1,
                  {},
                  "p.png: The picture's colour #010203 (index 1) is none of the 16 colours of the "
                  "sub-palette; --quantize takes the nearest."},
        OrderCase{"index_past_the_table",
                  {0, 1},
                  {0, 5},
                  {"--by-colour"},
                  1,
                  {},
                  "p.png: The picture's index 5 lies past the picture's 2-colour table: it has no "
                  "colour."},
        OrderCase{"past_the_table_as_they_are",
                  {0, 1},
                  {0, 5},
                  {},
                  0,
                  {0, 5},
                  "p.png: the picture uses indices up to 5, past its colour table of 2: indices "
                  "taken as they are"},
        OrderCase{"past_the_table_quantize",
                  {0, 1},
                  {0, 200},
                  {"--quantize"},
                  1,
                  {},
                  "p.png: The picture's index 200 lies past the picture's 2-colour table: it has "
                  "no colour to match."},
        OrderCase{"high_indices_refused_with_the_remedy",
                  {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 3},
                  {16, 1},
                  {},
                  1,
                  {},
                  "index 16 and GBA [4BPP] tiles hold 0 to 15; --by-colour maps its colours"},
        OrderCase{"high_indices_by_colour",
                  {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 3},
                  {16, 1},
                  {"--by-colour"},
                  0,
                  {3, 1},
                  ""},
        OrderCase{"colours_of_the_palette_refused_with_the_remedy",
                  {},
                  {7, 2},
                  {},
                  1,
                  {},
                  "not indexed: its pixels are colours, not palette indices; --by-colour maps"},
        OrderCase{"colours_of_the_palette_by_colour", {}, {7, 2}, {"--by-colour"}, 0, {7, 2}, ""},
        OrderCase{"both_options",
                  {0},
                  {0},
                  {"--by-colour", "--quantize"},
                  2,
                  {},
                  "--by-colour and --quantize exclude each other"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace varnock
