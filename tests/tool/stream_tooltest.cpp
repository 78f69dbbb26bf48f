// decompress, compress, scan and compressed import against the core's compressors and scan:
// round trips for every format, planted streams found, and a stream put back only where it fits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "compression/compression.h"
#include "compression/stream_scan.h"
#include "document/stream_move.h"
#include "pictures/picture_file.h"
#include "support/sega_reference.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::RunTool;
using test::TempDir;

// Tile-like bytes: runs and repeats that every format compresses, with some noise.
std::vector<uint8_t> TileLikeBytes(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes = PatternBytes(size, seed);
  for (size_t i = 0; i < size; ++i)
    if (bytes[i] % 4 != 0) bytes[i] = i >= 32 ? bytes[i - 32] : static_cast<uint8_t>(i / 8);
  return bytes;
}

class CompressionRoundTripTest : public ::testing::TestWithParam<CompressionFormatInfo> {};

TEST_P(CompressionRoundTripTest, CompressWritesTheCoresStreamAndDecompressReadsItBack) {
  const CompressionFormatInfo& info = GetParam();
  TempDir dir;
  const std::vector<uint8_t> data = TileLikeBytes(2048, 3);
  ASSERT_EQ(RunTool(dir, {"compress", dir.Write("data.bin", data), info.ShortName, "-o",
                          dir.File("stream.bin")})
                .status,
            0);
  const std::vector<uint8_t> stream = ReadFile(dir.File("stream.bin"));
  EXPECT_EQ(stream, Compress(info.Format, data).value());
  // Planted at an aligned offset of a ROM, it decompresses to the data again.
  std::vector<uint8_t> rom = PatternBytes(0x400, 4);
  rom.insert(rom.end(), stream.begin(), stream.end());
  ASSERT_EQ(RunTool(dir, {"decompress", dir.Write("rom.bin", rom), "0x400", info.ShortName, "-o",
                          dir.File("out.bin")})
                .status,
            0);
  EXPECT_EQ(ReadFile(dir.File("out.bin")), data);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, CompressionRoundTripTest,
                         ::testing::ValuesIn(AllCompressionFormats().begin(),
                                             AllCompressionFormats().end()),
                         [](const auto& info) { return std::string(info.param.ShortName); });

TEST(ToolScan, ListsThePlantedStreamsAsTextAndAsJson) {
  TempDir dir;
  std::vector<uint8_t> rom(0x3000, 0);
  const std::pair<size_t, CompressionFormat> planted[] = {{0x100, CompressionFormat::Lz10},
                                                          {0x1000, CompressionFormat::Huffman},
                                                          {0x2004, CompressionFormat::Rle30}};
  std::string text, json;
  for (const auto& [offset, format] : planted) {
    const std::vector<uint8_t> data = TileLikeBytes(512 + offset / 8, uint32_t(offset));
    const std::vector<uint8_t> stream = Compress(format, data).value();
    std::copy(stream.begin(), stream.end(), rom.begin() + static_cast<ptrdiff_t>(offset));
    const char* name = CompressionInfo(format).ShortName;
    // Scored as 4-bit tiles, the format of a .gba image.
    const int score = ScoreStream(format, data, stream.size(), 32);
    char line[200];
    std::snprintf(line, sizeof line, "0x%08zX %-8s %8zu %8zu %3d\n", offset, name, stream.size(),
                  data.size(), score);
    text += line;
    std::snprintf(line, sizeof line,
                  "%s  {\"offset\": %zu, \"format\": \"%s\", \"compressed\": %zu, "
                  "\"decompressed\": %zu, \"score\": %d}",
                  json.empty() ? "[\n" : ",\n", offset, name, stream.size(), data.size(), score);
    json += line;
  }
  const std::string path = dir.Write("rom.gba", rom);
  const std::string formats = "--formats=LZ10,huff,rle30";  // names in any case
  EXPECT_EQ(RunTool(dir, {"scan", path, formats, "--all"}).out, text);
  EXPECT_EQ(RunTool(dir, {"scan", path, formats, "--all", "--json"}).out, json + "\n]\n");
  EXPECT_EQ(RunTool(dir, {"scan", path, "--formats", "lz2", "--json"}).out, "[]\n");
}

TEST(ToolScan, LooksForTheConsolesFormatsAndLeavesOutWhatTheEditorsListHides) {
  TempDir dir;
  // An LC_LZ2 and an LZ77 10 stream of tiles, LZ77 10 streams of noise and of 192 bytes of
  // tiles.
  std::vector<uint8_t> rom(0x8000, 0);
  const auto plant = [&rom](size_t offset, CompressionFormat format, std::vector<uint8_t> data) {
    const std::vector<uint8_t> stream = Compress(format, data).value();
    std::copy(stream.begin(), stream.end(), rom.begin() + static_cast<ptrdiff_t>(offset));
  };
  plant(0x100, CompressionFormat::Lz2, test::TileLikeBytes(2048, 1));
  plant(0x2000, CompressionFormat::Lz10, test::TileLikeBytes(2048, 2));
  plant(0x4000, CompressionFormat::Lz10, PatternBytes(2048, 3));
  plant(0x6000, CompressionFormat::Lz10, test::TileLikeBytes(192, 4));
  const std::string lz2 = "0x00000100 lz2 ", tiles = "0x00002000 lz10", noise = "0x00004000 lz10",
                    small = "0x00006000 lz10";
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> listed, notListed;
    bool leftOut;  // standard error says how many streams were left out
  };
  const Case cases[] = {
      {"SNES image", {"rom.smc"}, {lz2}, {tiles}, true},
      {"GBA image", {"rom.gba"}, {tiles}, {lz2, noise, small}, true},
      {"every format", {"rom.gba", "--formats", "all"}, {lz2, tiles}, {noise, small}, true},
      {"all scores", {"rom.gba", "--all"}, {tiles, noise}, {small}, true},
      {"smaller streams", {"rom.gba", "--min-size", "192"}, {tiles, small}, {noise}, true},
      {"everything", {"rom.gba", "--all", "--min-size=0"}, {tiles, noise, small}, {}, false},
  };
  dir.Write("rom.smc", rom);
  dir.Write("rom.gba", rom);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> arguments = {"scan", dir.File(c.arguments[0])};
    arguments.insert(arguments.end(), c.arguments.begin() + 1, c.arguments.end());
    const test::ToolRun run = RunTool(dir, arguments);
    EXPECT_EQ(run.status, 0);
    const auto listed = [&run](const std::string& start) {
      const std::vector<std::string> lines = test::Lines(run.out);
      return std::any_of(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    };
    for (const std::string& find : c.listed) EXPECT_TRUE(listed(find)) << find;
    for (const std::string& find : c.notListed) EXPECT_FALSE(listed(find)) << find;
    EXPECT_EQ(run.err.find("left out") != std::string::npos, c.leftOut) << run.err;
  }
}

// A picture of 16 tiles in GBA format whose pixels are `index`, written as PNG.
std::string SolidPicture(const TempDir& dir, const std::string& name, uint8_t index) {
  TileSurface picture;
  picture.TilesAcross = 16;
  picture.TilesDown = 1;
  RebuildSurface(picture);
  std::fill(picture.Pixels.begin(), picture.Pixels.end(), index);
  const QByteArray png = EncodePngBlock(picture, {0, 0, 128, 8});
  return dir.Write(name, {png.begin(), png.end()});
}

TEST(ToolCompressedImport, PutsTheTilesIntoTheStreamAndAnUnchangedPictureWritesNothing) {
  TempDir dir;
  // A stream of 32 tiles written by some other compressor (literals only: a flag byte of 0
  // before every 8 bytes), then its neighbour's bytes.
  const std::vector<uint8_t> tiles = TileLikeBytes(32 * 32, 8);
  std::vector<uint8_t> stream = {0x10, 0x00, 0x04, 0x00};  // LZ77 10, 1024 bytes
  for (size_t i = 0; i < tiles.size(); i += 8) {
    stream.push_back(0);
    stream.insert(stream.end(), tiles.begin() + static_cast<ptrdiff_t>(i),
                  tiles.begin() + static_cast<ptrdiff_t>(i + 8));
  }
  std::vector<uint8_t> rom = stream;
  rom.insert(rom.begin(), 0x200, 0xEE);
  rom.resize(rom.size() + 64, 0xAB);
  const std::string path = dir.Write("rom.bin", rom);  // no checksum rule for the save
  auto run = [&](const char* command, const std::string& picture, const std::string& out) {
    return RunTool(dir, {command, path, picture, command[0] == 'i' ? "-o" : "--tiles",
                         command[0] == 'i' ? dir.File(out) : "32", "--format", "gba", "--offset",
                         "0x200", "--compressed", "lz10"});
  };
  // Solid tiles take less room than noise: they go in, the stream keeps its length.
  ASSERT_EQ(run("import", SolidPicture(dir, "solid.png", 3), "solid.bin").status, 0);
  const std::vector<uint8_t> written = ReadFile(dir.File("solid.bin"));
  const DecompressResult back =
      Decompress(CompressionFormat::Lz10, std::span(written).subspan(0x200));
  ASSERT_TRUE(back.ok());
  std::vector<uint8_t> want = tiles;
  std::fill_n(want.begin(), 16 * 32, 0x33);  // the picture's 16 tiles, then the stream's own
  EXPECT_EQ(back.Bytes, want);
  EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.begin() + 0x200),
            std::vector<uint8_t>(0x200, 0xEE));
  EXPECT_EQ(std::vector<uint8_t>(written.end() - 64, written.end()),
            std::vector<uint8_t>(64, 0xAB));

  // The stream exported and imported unchanged leaves every byte as it was.
  ASSERT_EQ(run("export", dir.File("stream.png"), "").status, 0);
  ASSERT_EQ(run("import", dir.File("stream.png"), "same.bin").status, 0);
  EXPECT_EQ(ReadFile(dir.File("same.bin")), rom);
}

TEST(ToolCompressedImport, AStreamThatTakesExactlyItsPlaceGoesIn) {
  TempDir dir;
  // 16 solid tiles of 1s, then 16 of 3s: the two streams have the same length.
  std::vector<uint8_t> rom(0x100, 0xEE);
  const std::vector<uint8_t> stream =
      Compress(CompressionFormat::Lz10, std::vector<uint8_t>(16 * 32, 0x11)).value();
  rom.insert(rom.end(), stream.begin(), stream.end());
  rom.resize(rom.size() + 16, 0xAB);
  const std::string path = dir.Write("rom.bin", rom);
  const test::ToolRun run =
      RunTool(dir, {"import", path, SolidPicture(dir, "solid.png", 3), "--format", "gba",
                    "--offset", "0x100", "--compressed", "lz10"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<uint8_t> want = rom;
  const std::vector<uint8_t> threes =
      Compress(CompressionFormat::Lz10, std::vector<uint8_t>(16 * 32, 0x33)).value();
  ASSERT_EQ(threes.size(), stream.size());
  std::copy(threes.begin(), threes.end(), want.begin() + 0x100);
  EXPECT_EQ(ReadFile(path), want);
}

// A GBA image: noise, words at 0x400 and 0x800 pointing at a stream of 16 solid tiles at
// 0x1000, and 0xFF from 0x6000 to its end. A picture of 16 noisy tiles does not fit there.
TEST(ToolCompressedImport, AStreamThatNoLongerFitsTakesARoomOrMovesWithItsPointers) {
  constexpr int64_t kAt = 0x1000;
  std::vector<uint8_t> rom = PatternBytes(0x8000, 5);
  std::ranges::replace_if(
      rom, [](uint8_t byte) { return byte == 0x00 || byte == 0xFF; }, 0x5A);
  std::fill(rom.begin() + 0x6000, rom.end(), uint8_t{0xFF});
  for (const size_t word : {0x400, 0x800})
    std::ranges::copy(GbaPointerBytes(kAt), rom.begin() + word);
  const std::vector<uint8_t> stream =
      Compress(CompressionFormat::Lz10, std::vector<uint8_t>(16 * 32, 0x11)).value();
  std::ranges::copy(stream, rom.begin() + kAt);
  TileSurface noisy;
  noisy.TilesAcross = 16;
  noisy.TilesDown = 1;
  RebuildSurface(noisy);
  const std::vector<uint8_t> noise = PatternBytes(noisy.Pixels.size(), 12);
  for (size_t i = 0; i < noise.size(); ++i) noisy.Pixels[i] = noise[i] % 16;
  const QByteArray png = EncodePngBlock(noisy, {0, 0, 128, 8});
  const struct {
    const char* name;
    std::vector<std::string> options;
    int status;    // when not 0, nothing is written
    int64_t at;    // where the stream is afterwards
    bool repoint;  // the pointer words follow it
    int fill;      // with a room at 0x1000: the byte after the stream
  } cases[] = {
      {"RefusedWithoutAMove", {}, 1, -1, false, -1},
      {"ALargerRoomTakesIt", {"--room=2048"}, 0, kAt, false, 0xFF},
      {"WithTheFillChosen", {"--room=0x800", "--fill=0"}, 0, kAt, false, 0x00},
      {"MovedPointersLeft", {"--move-to=auto"}, 0, 0x6010, false, -1},
      {"MovedAndRepointed", {"--move-to=auto", "--repoint"}, 0, 0x6010, true, -1},
      {"MovedToAnOffset", {"--move-to=0x7000", "--repoint"}, 0, 0x7000, true, -1},
      {"NotOverUsedBytes", {"--move-to=0x2000"}, 1, -1, false, -1},
      {"RepointNeedsAMove", {"--repoint", "--room=2048"}, 2, -1, false, -1},
      {"AStreamThatFitsStays", {"--room=2048", "--move-to=auto"}, 0, kAt, false, 0xFF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::vector<std::string> arguments = {
        "import",       dir.Write("rom.gba", rom), dir.Write("noise.png", {png.begin(), png.end()}),
        "--format=gba", "--offset=0x1000",         "--compressed=lz10",
        "-o",           dir.File("out.gba")};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const test::ToolRun run = RunTool(dir, arguments);
    ASSERT_EQ(run.status, c.status) << run.err;
    if (c.status != 0) {
      EXPECT_FALSE(std::filesystem::exists(dir.File("out.gba")));
      continue;
    }
    const std::vector<uint8_t> out = ReadFile(dir.File("out.gba"));
    const DecompressResult moved =
        Decompress(CompressionFormat::Lz10, std::span(out).subspan(static_cast<size_t>(c.at)));
    ASSERT_TRUE(moved.ok());
    if (c.fill >= 0) {
      EXPECT_EQ(out[static_cast<size_t>(kAt) + moved.Consumed], c.fill);
      EXPECT_EQ(out[0x17FF], c.fill);
      EXPECT_EQ(out[0x1800], rom[0x1800]);
      continue;
    }
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), out.begin() + kAt)) << "old place kept";
    for (const size_t word : {0x400, 0x800})
      EXPECT_TRUE(std::ranges::equal(std::span(out).subspan(word, 4),
                                     GbaPointerBytes(c.repoint ? c.at : kAt)))
          << word;
    const std::string where = OffsetHexText(c.at);
    std::string says =
        "The stream now starts at " + where + "; its old place at 0x1000 is as it was.";
    if (c.repoint) says += " 2 pointer words now point at " + where + ".";
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), says);
  }
}

}  // namespace
}  // namespace varnock
