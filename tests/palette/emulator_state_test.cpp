// Save states and memory dumps of today's emulators, each built here byte by byte from the
// emulator's own layout.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "palette/fceux_state.h"
#include "palette/genesis_state.h"
#include "palette/memory_dump.h"
#include "palette/mgba_state.h"
#include "palette/palette_file.h"
#include "palette/snes9x_state.h"
#include "support/compress.h"
#include "support/emulator_files.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::GzipCompress;
using test::PatternBytes;
using test::TempDir;
using test::ZlibCompress;

using namespace test;  // the hand-built states

// Every reader's table: the case name, the file, and what comes out.
struct StateCase {
  std::string name;
  Bytes file;
  PaletteFileError error;
};

void ExpectFifteenColors(const PaletteReadResult& read) {
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.Data.PalFormat, kPaletteFifteen);
  EXPECT_EQ(read.Data.PaletteSize, 256);
  ASSERT_EQ(read.Data.Entries.size(), 256u);
  for (size_t k = 0; k < 4; ++k) EXPECT_EQ(read.Data.Entries[k], kFifteenColors[k]) << k;
  EXPECT_EQ(read.Data.Entries[255], kLastColor);
}

// ---- Snes9x: "#!s9xsnp:VVVV\n", then "NAM:nnnnnn:" blocks; CGDATA big-endian in "PPU".

TEST(Snes9xStateTest, CgramComesFromThePpuBlock) {
  const Bytes packed = GzipCompress(Snes9xState(12));
  Bytes badCrc = packed;
  badCrc[badCrc.size() - 8] ^= 0x40;
  Bytes noSignature = Snes9xState(12);
  noSignature[2] = 'S';
  const StateCase cases[] = {
      {"gzip, version 12", packed, PaletteFileError::None},
      {"plain, version 12", Snes9xState(12), PaletteFileError::None},
      {"version 11", GzipCompress(Snes9xState(11)), PaletteFileError::None},
      {"version 10, no CGSavedByte", GzipCompress(Snes9xState(10)), PaletteFileError::None},
      {"version 6", Snes9xState(6), PaletteFileError::None},
      {"length in binary", Snes9xState(12, 3000, true), PaletteFileError::None},
      {"version 5", Snes9xState(5), PaletteFileError::UnknownVersion},
      {"version 13", GzipCompress(Snes9xState(13)), PaletteFileError::UnknownVersion},
      {"truncated stream", Cut(packed, packed.size() / 2), PaletteFileError::TooShort},
      {"damaged stream", badCrc, PaletteFileError::Damaged},
      {"wrong signature", noSignature, PaletteFileError::WrongSignature},
      {"wrong signature inside gzip", GzipCompress(noSignature), PaletteFileError::WrongSignature},
      {"state ends in the PPU block", Cut(Snes9xState(12), 200), PaletteFileError::TooShort},
      {"PPU block shorter than CGDATA", Snes9xState(12, 64 + 511), PaletteFileError::TooShort},
      {"header only", Cut(Snes9xState(12), 14), PaletteFileError::TooShort},
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = ParseSnes9xState(c.file);
    ASSERT_EQ(read.Error, c.error);
    if (read.ok()) {
      ExpectFifteenColors(read);
    } else {
      EXPECT_TRUE(read.Data.Entries.empty());
    }
  }
}

// ---- FCEUX: "FCSX", body size, version, packed size; sections of chunks; "PRAM" in section 3.

TEST(FceuxStateTest, PaletteRamComesFromThePpuSection) {
  const Bytes state = FceuxState(FceuxBody());
  Bytes badAdler = state;
  badAdler.back() ^= 1;
  Bytes wrongSize = state;
  wrongSize[4] += 1;  // the header's body size no longer matches
  Bytes noPpu = FceuxSection(1, FceuxChunk("PC\0\0", {0, 0}));
  const StateCase cases[] = {
      {"compressed", state, PaletteFileError::None},
      {"stored", FceuxState(FceuxBody(), false), PaletteFileError::None},
      {"truncated stream", Cut(state, state.size() - 10), PaletteFileError::TooShort},
      {"header only", Cut(state, 16), PaletteFileError::TooShort},
      {"shorter than the header", Cut(state, 10), PaletteFileError::TooShort},
      {"damaged stream", badAdler, PaletteFileError::Damaged},
      {"body of another size", wrongSize, PaletteFileError::Damaged},
      {"wrong signature", FceuxState(FceuxBody(), true, "FCSY"), PaletteFileError::WrongSignature},
      {"palette chunk of 16 bytes", FceuxState(FceuxBody(16)), PaletteFileError::Damaged},
      {"no picture section", FceuxState(noPpu), PaletteFileError::TooShort},
      {"stored body cut short", Cut(FceuxState(FceuxBody(), false), 100),
       PaletteFileError::TooShort},
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = ParseFceuxState(c.file);
    ASSERT_EQ(read.Error, c.error);
    if (!read.ok()) {
      EXPECT_TRUE(read.Data.Entries.empty());
      continue;
    }
    EXPECT_EQ(read.Data.PalFormat, kPaletteNes);
    EXPECT_EQ(read.Data.PaletteSize, 32);
    ASSERT_EQ(read.Data.Entries.size(), 32u);
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(read.Data.Entries[k], kNesColors[k]) << k;
    EXPECT_EQ(read.Data.Entries[31], NesPalette[0x21]);
  }
}

// ---- mGBA: version magic, palette RAM at 0x800; or a PNG carrying it in "gbAs".

TEST(MgbaStateTest, BackgroundColoursComeFromPaletteRam) {
  const Bytes packed = ZlibCompress(MgbaState(0x0100000B));
  const StateCase cases[] = {
      {"raw, version 11", MgbaState(0x0100000B), PaletteFileError::None},
      {"raw, version 1", MgbaState(0x01000001), PaletteFileError::None},
      {"raw, just past the palette", MgbaState(0x0100000B, 0xC00), PaletteFileError::None},
      {"PNG", MgbaPng(packed), PaletteFileError::None},
      {"raw ends in the background colours", MgbaState(0x0100000B, 0x9FF),
       PaletteFileError::TooShort},
      {"version 12", MgbaState(0x0100000C), PaletteFileError::UnknownVersion},
      {"Game Boy state", MgbaState(0x00400002), PaletteFileError::UnknownVersion},
      {"PNG without a state", MgbaPng(packed, true, "tEXt"), PaletteFileError::WrongSignature},
      {"PNG chunk with a bad CRC", MgbaPng(packed, false), PaletteFileError::Damaged},
      {"PNG state stream truncated", MgbaPng(Cut(packed, packed.size() / 2)),
       PaletteFileError::TooShort},
      {"PNG cut inside the state chunk", Cut(MgbaPng(packed), 400), PaletteFileError::TooShort},
      {"PNG carrying a Game Boy state", MgbaPng(ZlibCompress(MgbaState(0x00400002))),
       PaletteFileError::UnknownVersion},
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = ParseMgbaState(c.file);
    ASSERT_EQ(read.Error, c.error);
    if (read.ok()) {
      ExpectFifteenColors(read);
    } else {
      EXPECT_TRUE(read.Data.Entries.empty());
    }
  }
}

// ---- Gens/Kega: "GST" 0x40 0xE0, CRAM at 0x112, 64 little-endian words ----bbb-ggg-rrr-.

TEST(GenesisColorTest, EveryChannelStepScalesEvenly) {
  const uint8_t steps[8] = {0, 36, 73, 109, 146, 182, 219, 255};
  for (int v = 0; v < 8; ++v) {
    SCOPED_TRACE(v);
    const uint16_t word = static_cast<uint16_t>(v << 1);
    EXPECT_EQ(GenesisColor(word), MakeEntry(steps[v], 0, 0));
    EXPECT_EQ(GenesisColor(static_cast<uint16_t>(word << 4)), MakeEntry(0, steps[v], 0));
    EXPECT_EQ(GenesisColor(static_cast<uint16_t>(word << 8)), MakeEntry(0, 0, steps[v]));
    // Bits outside the three channels are not colour.
    EXPECT_EQ(GenesisColor(static_cast<uint16_t>(word | 0xF111)), MakeEntry(steps[v], 0, 0));
  }
}

TEST(GenesisStateTest, CramBecomesRgb) {
  const StateCase cases[] = {
      {"whole state", GenesisState(), PaletteFileError::None},
      {"ends with CRAM", GenesisState(0x192), PaletteFileError::None},
      {"ends one byte into the last colour", GenesisState(0x191), PaletteFileError::TooShort},
      {"magic only", GenesisState(5), PaletteFileError::TooShort},
      {"wrong magic", GenesisState(0x22478, {'G', 'S', 'T', 0, 0}),
       PaletteFileError::WrongSignature},
  };
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = ParseGenesisState(c.file);
    ASSERT_EQ(read.Error, c.error);
    if (!read.ok()) continue;
    EXPECT_EQ(read.Data.PalFormat, kPaletteRgb);
    EXPECT_EQ(read.Data.PaletteSize, 64);
    ASSERT_EQ(read.Data.Entries.size(), 64u);
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(read.Data.Entries[k], kGenesisCramColors[k]) << k;
    EXPECT_EQ(read.Data.Entries[63], MakeEntry(255, 255, 255));
  }
}

// ---- Raw dumps, told apart by size.

TEST(MemoryDumpTest, TheSizeSaysWhichConsole) {
  Bytes nes = FceuxPaletteRam();
  Bytes genesis(128, 0);
  for (size_t k = 0; k < 4; ++k) {  // big-endian, as the console holds them
    genesis[2 * k] = static_cast<uint8_t>(kGenesisWords[k] >> 8);
    genesis[2 * k + 1] = static_cast<uint8_t>(kGenesisWords[k]);
  }
  Bytes snes(512);
  for (size_t k = 0; k < 256; ++k) {
    snes[2 * k] = static_cast<uint8_t>(FifteenWord(k));
    snes[2 * k + 1] = static_cast<uint8_t>(FifteenWord(k) >> 8);
  }
  Bytes gba = snes;
  gba.resize(1024, 0xFF);  // the sprites' half is not read

  struct Case {
    const char* name;
    Bytes file;
    PaletteFormat format;
    int32_t size;
    std::vector<PaletteEntry> first;
  };
  const Case cases[] = {
      {"NES", nes, kPaletteNes, 32, {kNesColors[0], kNesColors[1], kNesColors[2], kNesColors[3]}},
      {"Genesis",
       genesis,
       kPaletteRgb,
       64,
       {kGenesisCramColors[0], kGenesisCramColors[1], kGenesisCramColors[2],
        kGenesisCramColors[3]}},
      {"SNES",
       snes,
       kPaletteFifteen,
       256,
       {kFifteenColors[0], kFifteenColors[1], kFifteenColors[2], kFifteenColors[3]}},
      {"GBA",
       gba,
       kPaletteFifteen,
       256,
       {kFifteenColors[0], kFifteenColors[1], kFifteenColors[2], kFifteenColors[3]}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = ParseMemoryDump(c.file);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.Data.PalFormat, c.format);
    EXPECT_EQ(read.Data.PaletteSize, c.size);
    ASSERT_EQ(read.Data.Entries.size(), static_cast<size_t>(c.size));
    for (size_t k = 0; k < 4; ++k) EXPECT_EQ(read.Data.Entries[k], c.first[k]) << k;
  }
  for (size_t length : {0u, 31u, 33u, 127u, 511u, 513u, 1023u, 1025u})
    EXPECT_EQ(ParseMemoryDump(PatternBytes(length, 1)).Error, PaletteFileError::WrongSignature)
        << length;
}

// ---- Which reader a file gets: the three old extensions, then signature, extension, size.

struct ChoiceCase {
  const char* name;
  Bytes file;
  PaletteFileError error;
  PaletteFormat format;
  int32_t size;
  friend void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }
};

class ReaderChoiceTest : public testing::TestWithParam<ChoiceCase> {};

TEST_P(ReaderChoiceTest, SignatureThenExtensionThenSize) {
  const ChoiceCase& c = GetParam();
  TempDir dir;
  const PaletteReadResult read = ReadPaletteFile(dir.Write(c.name, c.file));
  ASSERT_EQ(read.Error, c.error);
  if (!read.ok()) return;
  EXPECT_EQ(read.Data.PalFormat, c.format);
  EXPECT_EQ(read.Data.PaletteSize, c.size);
}

Bytes FceuxOfLength(size_t length) {
  Bytes state = FceuxState(FceuxBody());
  state.resize(length, 0);
  return state;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReaderChoiceTest,
    testing::Values(
        ChoiceCase{"game.000", GzipCompress(Snes9xState(12)), PaletteFileError::None, 2, 256},
        ChoiceCase{"game.frz", GzipCompress(Snes9xState(12)), PaletteFileError::None, 2, 256},
        ChoiceCase{"game.fc3", FceuxState(FceuxBody()), PaletteFileError::None, 1, 32},
        ChoiceCase{"game.ss1", MgbaState(0x0100000B, 0xC00), PaletteFileError::None, 2, 256},
        ChoiceCase{"game.ss2", MgbaPng(ZlibCompress(MgbaState(0x0100000B))), PaletteFileError::None,
                   2, 256},
        ChoiceCase{"game.gs0", GenesisState(), PaletteFileError::None, 0, 64},
        // Signatures win over a wrong or missing extension.
        ChoiceCase{"renamed.fc0", GzipCompress(Snes9xState(12)), PaletteFileError::None, 2, 256},
        ChoiceCase{"state", FceuxState(FceuxBody()), PaletteFileError::None, 1, 32},
        ChoiceCase{"shot.png", MgbaPng(ZlibCompress(MgbaState(0x0100000B))), PaletteFileError::None,
                   2, 256},
        ChoiceCase{"whole.bin", MgbaState(0x0100000B), PaletteFileError::None, 2, 256},
        ChoiceCase{"genesis.sav", GenesisState(), PaletteFileError::None, 0, 64},
        // The extension's reader refuses what is not its kind.
        ChoiceCase{"game.001", Bytes(512, 0), PaletteFileError::WrongSignature, 0, 0},
        ChoiceCase{"game.gs1", Bytes(128, 0), PaletteFileError::WrongSignature, 0, 0},
        ChoiceCase{"game.ss3", Bytes(4000, 0), PaletteFileError::UnknownVersion, 0, 0},
        // Dumps by size, whatever their unknown extension.
        ChoiceCase{"cgram.bin", Bytes(512, 0), PaletteFileError::None, 2, 256},
        ChoiceCase{"pram.dmp", Bytes(1024, 0), PaletteFileError::None, 2, 256},
        ChoiceCase{"nes", Bytes(32, 0), PaletteFileError::None, 1, 32},
        ChoiceCase{"cram.bin", Bytes(128, 0), PaletteFileError::None, 0, 64},
        ChoiceCase{"other.bin", Bytes(130, 0), PaletteFileError::UnknownExtension, 0, 0},
        // The old extensions keep their reader whatever the contents say.
        ChoiceCase{"fceux.sta", FceuxOfLength(23000), PaletteFileError::None, 1, 32},
        ChoiceCase{"snes.zst", Bytes(512, 0), PaletteFileError::TooShort, 0, 0},
        ChoiceCase{"gens.vrk", GenesisState(), PaletteFileError::NotVarnockPalette, 0, 0}));

}  // namespace
}  // namespace varnock
