// palette: what each kind of palette file keeps of the colours read, from a palette file and
// from entries at an offset of a ROM.
#include <gtest/gtest.h>

#include "palette/palette_file.h"
#include "palette/rom_palette.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::RunTool;
using test::TempDir;

struct PaletteCase {
  const char* to;
  const char* out;
  std::string starts;                  // the kind's first bytes
  PaletteEntry (*kept)(PaletteEntry);  // what the file keeps of a colour
};

PaletteEntry Whole(PaletteEntry c) {
  return c;
}
PaletteEntry FifteenBits(PaletteEntry c) {  // five bits a channel, as the console has them
  return MakeEntry(c.red & 0xF8, c.green & 0xF8, c.blue & 0xF8);
}
PaletteEntry NesColour(PaletteEntry c) {
  return NesPalette[NearestNesIndex(c)];
}

class PaletteConversionTest : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(PaletteConversionTest, TheWrittenFileReadsBackAsTheColoursItKeeps) {
  const PaletteCase& c = GetParam();
  TempDir dir;
  // Entries 0..15 of a GIMP palette, and 24 bgr15 entries at 0x11 of a ROM.
  PaletteTable colours{};
  const std::vector<uint8_t> bytes = PatternBytes(3 * 16, 2);
  for (size_t i = 0; i < 16; ++i)
    colours[i] = MakeEntry(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
  ASSERT_TRUE(WritePaletteFile(dir.File("in.gpl"), colours, kPaletteRgb, 16).ok());
  const std::string rom = dir.Write("rom.bin", PatternBytes(0x100, 3));
  const PaletteReadResult inRom =
      ReadPaletteFromImage(test::ReadFile(rom), 0x11, kPaletteFifteen, 24);
  ASSERT_TRUE(inRom.ok());

  for (const bool fromRom : {false, true}) {
    std::vector<std::string> words = {"palette", fromRom ? rom : dir.File("in.gpl"),
                                      dir.File(c.out)};
    if (fromRom)
      words.insert(words.end(), {"--from", "BGR15", "--offset", "0x11", "--count", "24"});
    if (*c.to) words.insert(words.end(), {"--to", c.to});
    const test::ToolRun run = RunTool(dir, words);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<uint8_t> file = test::ReadFile(dir.File(c.out));
    EXPECT_EQ(std::string(file.begin(), file.begin() + c.starts.size()), c.starts);
    const PaletteReadResult back = ReadPaletteFile(dir.File(c.out));
    ASSERT_TRUE(back.ok());
    const std::vector<PaletteEntry> read =
        fromRom ? inRom.Data.Entries
                : std::vector<PaletteEntry>(colours.begin(), colours.begin() + 16);
    ASSERT_EQ(back.Data.PaletteSize, static_cast<int32_t>(read.size())) << fromRom;
    for (size_t i = 0; i < read.size(); ++i)
      EXPECT_EQ(back.Data.Entries[i], c.kept(read[i]))
          << "entry " << i << (fromRom ? " of the ROM" : "");
  }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, PaletteConversionTest,
                         ::testing::Values(PaletteCase{"", "out.act", "", Whole},
                                           PaletteCase{"gpl", "out.txt", "GIMP Palette", Whole},
                                           PaletteCase{"", "out.pal", "JASC-PAL", Whole},
                                           PaletteCase{"riff", "out.pal", "RIFF", Whole},
                                           PaletteCase{"vrk:rgb", "out.vrk", {"VRK\0", 4}, Whole},
                                           PaletteCase{"vrk:bgr15", "out.vrk", "VRK\2",
                                                       FifteenBits},
                                           PaletteCase{"VRK:nes", "out.vrk", "VRK\1", NesColour}));

// The names people use read the same entries as the short names.
TEST(ToolPaletteNames, OtherNamesOfAnEncodingReadWhatItsShortNameReads) {
  TempDir dir;
  const std::string rom = dir.Write("rom.bin", PatternBytes(0x40, 5));
  const std::pair<const char*, const char*> names[] = {{"gba", "bgr15"},
                                                       {"SNES", "bgr15"},
                                                       {"gbc", "bgr15"},
                                                       {"cram", "genesis"},
                                                       {"gg", "gamegear"}};
  for (const auto& [alias, name] : names) {
    ASSERT_EQ(
        RunTool(dir, {"palette", rom, dir.File("a.act"), "--from", alias, "--count", "16"}).status,
        0)
        << alias;
    ASSERT_EQ(
        RunTool(dir, {"palette", rom, dir.File("n.act"), "--from", name, "--count", "16"}).status,
        0);
    EXPECT_EQ(test::ReadFile(dir.File("a.act")), test::ReadFile(dir.File("n.act"))) << alias;
  }
  EXPECT_NE(RunTool(dir, {"formats"}).out.find("15 bit (SNES, GBC, GBA); also gba, snes, gbc"),
            std::string::npos);
}

}  // namespace
}  // namespace varnock
