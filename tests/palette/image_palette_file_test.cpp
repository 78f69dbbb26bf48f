// The palette files of image editors: Adobe colour tables, GIMP, JASC and RIFF palettes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "palette/act_file.h"
#include "palette/gpl_file.h"
#include "palette/jasc_pal_file.h"
#include "palette/palette_file.h"
#include "palette/riff_pal_file.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::TempDir;
using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

struct ParseCase {
  const char* name;
  Bytes file;
  PaletteFileError error;
  std::vector<PaletteEntry> entries;  // all of them, when the read succeeds
};

void RunTable(PaletteReadResult (*parse)(std::span<const uint8_t>),
              const std::vector<ParseCase>& cases) {
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PaletteReadResult read = parse(c.file);
    ASSERT_EQ(read.Error, c.error);
    if (!read.ok()) {
      EXPECT_TRUE(read.Data.Entries.empty());
      continue;
    }
    EXPECT_EQ(read.Data.PalFormat, kPaletteRgb);
    EXPECT_EQ(read.Data.PaletteSize, static_cast<int32_t>(c.entries.size()));
    EXPECT_EQ(read.Data.Entries, c.entries);
  }
}

const std::vector<PaletteEntry> kThree = {MakeEntry(255, 0, 0), MakeEntry(0, 128, 7),
                                          MakeEntry(1, 2, 255)};

TEST(GplPaletteTest, ColourLinesAfterTheHeader) {
  RunTable(
      ParseGplPalette,
      {
          {"names, comments, columns",
           Text("GIMP Palette\nName: Test\nColumns: 4\n#\n# a comment\n255   0   0\tRed\n"
                "  0 128   7 Leaf green\n\n  1   2 255\n"),
           PaletteFileError::None, kThree},
          {"CRLF lines", Text("GIMP Palette\r\n255 0 0\r\n0 128 7\r\n1 2 255\r\n"),
           PaletteFileError::None, kThree},
          {"wrong first line",
           Text("GIMP Palett\n255 0 0\n"),
           PaletteFileError::WrongSignature,
           {}},
          {"channel above 255", Text("GIMP Palette\n255 256 0\n"), PaletteFileError::Damaged, {}},
          {"two numbers", Text("GIMP Palette\n255 0\n"), PaletteFileError::Damaged, {}},
          {"name glued to a number", Text("GIMP Palette\n1 2 3x\n"), PaletteFileError::Damaged, {}},
          {"no colours", Text("GIMP Palette\nName: Empty\n#\n"), PaletteFileError::TooShort, {}},
          {"truncated in a line",
           Text("GIMP Palette\n255 0 0\n12 "),
           PaletteFileError::Damaged,
           {}},
      });
}

TEST(JascPaletteTest, CountedColourLines) {
  RunTable(
      ParseJascPalette,
      {
          {"CRLF", Text("JASC-PAL\r\n0100\r\n3\r\n255 0 0\r\n0 128 7\r\n1 2 255\r\n"),
           PaletteFileError::None, kThree},
          {"LF and extra lines",
           Text("JASC-PAL\n0100\n2\n255 0 0\n0 128 7\n9 9 9\n"),
           PaletteFileError::None,
           {kThree[0], kThree[1]}},
          {"fewer lines than counted",
           Text("JASC-PAL\r\n0100\r\n4\r\n255 0 0\r\n0 128 7\r\n"),
           PaletteFileError::TooShort,
           {}},
          {"no count", Text("JASC-PAL\r\n0100\r\n"), PaletteFileError::TooShort, {}},
          {"count of zero", Text("JASC-PAL\r\n0100\r\n0\r\n"), PaletteFileError::Damaged, {}},
          {"count not a number", Text("JASC-PAL\r\n0100\r\nx\r\n"), PaletteFileError::Damaged, {}},
          {"wrong version",
           Text("JASC-PAL\r\n0200\r\n1\r\n1 2 3\r\n"),
           PaletteFileError::WrongSignature,
           {}},
          {"wrong signature",
           Text("JASC-PAM\r\n0100\r\n1\r\n1 2 3\r\n"),
           PaletteFileError::WrongSignature,
           {}},
          {"four numbers",
           Text("JASC-PAL\r\n0100\r\n1\r\n1 2 3 4\r\n"),
           PaletteFileError::Damaged,
           {}},
      });
}

Bytes RiffPalette(const std::vector<PaletteEntry>& colors, uint16_t count, bool extraChunk) {
  Bytes data = {0x00, 0x03, static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8)};
  for (const PaletteEntry& c : colors) data.insert(data.end(), {c.red, c.green, c.blue, 0});
  Bytes body = Text("PAL ");
  if (extraChunk) {  // an odd-sized chunk before the data, padded to even
    body.insert(body.end(), {'i', 'n', 'f', 'o', 3, 0, 0, 0, 'a', 'b', 'c', 0});
  }
  body.insert(body.end(), {'d', 'a', 't', 'a'});
  const uint32_t size = static_cast<uint32_t>(data.size());
  body.insert(body.end(), {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8), 0, 0});
  body.insert(body.end(), data.begin(), data.end());
  Bytes file = Text("RIFF");
  const uint32_t total = static_cast<uint32_t>(body.size());
  file.insert(file.end(), {static_cast<uint8_t>(total), static_cast<uint8_t>(total >> 8), 0, 0});
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

TEST(RiffPaletteTest, ColoursOfTheDataChunk) {
  Bytes wrongForm = RiffPalette(kThree, 3, false);
  wrongForm[8] = 'W';
  const Bytes whole = RiffPalette(kThree, 3, false);
  RunTable(
      ParseRiffPalette,
      {
          {"plain", whole, PaletteFileError::None, kThree},
          {"after another chunk", RiffPalette(kThree, 3, true), PaletteFileError::None, kThree},
          {"count above the colours",
           RiffPalette(kThree, 4, false),
           PaletteFileError::TooShort,
           {}},
          {"count of zero", RiffPalette(kThree, 0, false), PaletteFileError::Damaged, {}},
          {"truncated", Bytes(whole.begin(), whole.end() - 1), PaletteFileError::TooShort, {}},
          {"not a palette", wrongForm, PaletteFileError::WrongSignature, {}},
          {"header only", Bytes(whole.begin(), whole.begin() + 12), PaletteFileError::TooShort, {}},
      });
}

TEST(ActPaletteTest, TableWithOptionalCount) {
  Bytes table(768, 0);
  for (size_t k = 0; k < 3; ++k) {
    table[3 * k] = kThree[k].red;
    table[3 * k + 1] = kThree[k].green;
    table[3 * k + 2] = kThree[k].blue;
  }
  table[765] = 9;  // entry 255
  std::vector<PaletteEntry> all(256, MakeEntry(0, 0, 0));
  std::copy(kThree.begin(), kThree.end(), all.begin());
  all[255] = MakeEntry(9, 0, 0);
  Bytes counted = table;
  counted.insert(counted.end(), {0x00, 0x03, 0xFF, 0xFF});
  Bytes countZero = table;
  countZero.insert(countZero.end(), {0x00, 0x00, 0xFF, 0xFF});
  Bytes countHigh = table;
  countHigh.insert(countHigh.end(), {0x01, 0x01, 0xFF, 0xFF});
  Bytes full = table;
  full.insert(full.end(), {0x01, 0x00, 0x00, 0x00});
  RunTable(ParseActPalette,
           {
               {"768 bytes", table, PaletteFileError::None, all},
               {"count 3", counted, PaletteFileError::None, kThree},
               {"count 256", full, PaletteFileError::None, all},
               {"count 0", countZero, PaletteFileError::Damaged, {}},
               {"count 257", countHigh, PaletteFileError::Damaged, {}},
               {"truncated", Bytes(table.begin(), table.end() - 1), PaletteFileError::TooShort, {}},
               {"other length", Bytes(800, 0), PaletteFileError::WrongSignature, {}},
           });
}

PaletteTable PatternPalette(uint32_t seed) {
  const Bytes bytes = PatternBytes(3 * kPaletteEntries, seed);
  PaletteTable palette{};
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = MakeEntry(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
  return palette;
}

struct RoundTripCase {
  const char* name;
  PaletteFileKind kind;
  int32_t size;
  friend void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.name << " " << c.size; }
};

class PaletteFileRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

// Written through the common writer and read back through the common reader, in whatever
// encoding the window had: these files hold RGB, so every colour comes back exactly.
TEST_P(PaletteFileRoundTripTest, SavedColoursComeBackExactly) {
  const RoundTripCase& c = GetParam();
  TempDir dir;
  const PaletteTable palette = PatternPalette(static_cast<uint32_t>(c.size));
  const std::string path = dir.File(c.name);
  ASSERT_TRUE(WritePaletteFile(path, palette, kPaletteNes, c.size, c.kind).ok());
  const PaletteReadResult read = ReadPaletteFile(path);
  ASSERT_TRUE(read.ok()) << PaletteFileErrorText(read.Error);
  EXPECT_EQ(read.Data.PalFormat, kPaletteRgb);
  EXPECT_EQ(read.Data.PaletteSize, c.size);
  ASSERT_EQ(read.Data.Entries.size(), static_cast<size_t>(c.size));
  for (size_t k = 0; k < read.Data.Entries.size(); ++k)
    ASSERT_EQ(read.Data.Entries[k], palette[k]) << k;
}

INSTANTIATE_TEST_SUITE_P(Kinds, PaletteFileRoundTripTest,
                         testing::Values(RoundTripCase{"a.act", PaletteFileKind::Act, 16},
                                         RoundTripCase{"a.act", PaletteFileKind::Act, 256},
                                         RoundTripCase{"a.gpl", PaletteFileKind::Gpl, 32},
                                         RoundTripCase{"a.gpl", PaletteFileKind::Gpl, 256},
                                         RoundTripCase{"a.pal", PaletteFileKind::JascPal, 16},
                                         RoundTripCase{"a.pal", PaletteFileKind::JascPal, 256},
                                         RoundTripCase{"b.pal", PaletteFileKind::RiffPal, 64},
                                         RoundTripCase{"b.pal", PaletteFileKind::RiffPal, 256}));

TEST(PaletteFileKindTest, TheNameChoosesTheWriter) {
  TempDir dir;
  const std::string riff = dir.File("riff.pal");
  ASSERT_TRUE(WritePaletteFile(riff, DefaultPalette, 0, 16, PaletteFileKind::RiffPal).ok());
  struct Case {
    std::string path;
    PaletteFileKind kind;
    bool replaceable;
  };
  const Case cases[] = {
      {dir.File("a.vrk"), PaletteFileKind::Vrk, true},
      {dir.File("a.ACT"), PaletteFileKind::Act, true},
      {dir.File("a.gpl"), PaletteFileKind::Gpl, true},
      {dir.File("new.pal"), PaletteFileKind::JascPal, true},
      {riff, PaletteFileKind::RiffPal, true},
      {dir.File("a.000"), PaletteFileKind::Vrk, false},
      {dir.File("a.fc0"), PaletteFileKind::Vrk, false},
      {dir.File("a.sta"), PaletteFileKind::Vrk, false},
      {dir.File("cgram.bin"), PaletteFileKind::Vrk, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PaletteFileKindFor(c.path), c.kind);
    EXPECT_EQ(IsPaletteFilePath(c.path), c.replaceable);
  }
  // A RIFF palette saved again under its own name stays RIFF.
  ASSERT_TRUE(WritePaletteFile(riff, DefaultPalette, 0, 32).ok());
  const Bytes again = ReadFile(riff);
  EXPECT_TRUE(LooksLikeRiffPalette(again));
  EXPECT_EQ(again.size(), 12u + 8u + 4u + 4u * 32u);
}

TEST(PaletteFileWriterTest, FilesOnDiskHaveTheirKindsLayout) {
  const std::vector<PaletteEntry> colors = {MakeEntry(1, 2, 3), MakeEntry(250, 0, 16)};
  const Bytes jasc = EncodeJascPalette(colors);
  EXPECT_EQ(std::string(jasc.begin(), jasc.end()),
            "JASC-PAL\r\n0100\r\n2\r\n1 2 3\r\n250 0 16\r\n");
  const Bytes gpl = EncodeGplPalette(colors, "My\nGame");
  EXPECT_EQ(std::string(gpl.begin(), gpl.end()),
            "GIMP Palette\nName: My Game\nColumns: 16\n#\n  1   2   3\tIndex 0\n"
            "250   0  16\tIndex 1\n");
  const Bytes act = EncodeActPalette(colors);
  ASSERT_EQ(act.size(), 772u);
  EXPECT_EQ(Bytes(act.begin(), act.begin() + 7), (Bytes{1, 2, 3, 250, 0, 16, 0}));
  EXPECT_EQ(Bytes(act.end() - 4, act.end()), (Bytes{0x00, 0x02, 0xFF, 0xFF}));
  const Bytes riff = EncodeRiffPalette(colors);
  EXPECT_EQ(riff, (Bytes{'R', 'I', 'F', 'F', 24, 0, 0, 0, 'P', 'A', 'L', ' ', 'd', 'a', 't', 'a',
                         12,  0,   0,   0,   0,  3, 2, 0, 1,   2,   3,   0,   250, 0,   16,  0}));
}

}  // namespace
}  // namespace varnock
