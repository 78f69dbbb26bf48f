#include "palette/palette_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "palette/nesticle_state.h"
#include "palette/vrk_file.h"
#include "palette/zsnes_state.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::TempDir;

std::vector<uint8_t> VrkBytes(uint8_t format, size_t length, uint32_t seed = 1) {
  std::vector<uint8_t> bytes = PatternBytes(length, seed);
  if (length >= 4) {
    bytes[0] = 'V';
    bytes[1] = 'R';
    bytes[2] = 'K';
    bytes[3] = format;
  }
  return bytes;
}

// A NESticle state whose palette begins 0x16 ... 0x30, with white just before it so an
// off-by-one read would show.
std::vector<uint8_t> NesticleBytes(size_t length) {
  std::vector<uint8_t> bytes = PatternBytes(length, 7);
  if (length > 22790) bytes[22790] = 0x20;
  if (length > 22791) bytes[22791] = 0x16;
  if (length > 22822) bytes[22822] = 0x30;
  return bytes;
}

// A ZSNES state whose palette begins with pure red and ends with pure blue.
std::vector<uint8_t> ZsnesBytes(size_t length) {
  std::vector<uint8_t> bytes = PatternBytes(length, 9);
  if (length > 52244) {
    bytes[52242] = 0xFF;
    bytes[52243] = 0x1F;
    bytes[52244] = 0x00;
  }
  if (length >= 52243 + 512) {
    bytes[52243 + 510] = 0x00;
    bytes[52243 + 511] = 0x7C;
  }
  return bytes;
}

struct LengthCase {
  uint8_t format;
  size_t length;
  int32_t entries;
  friend void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << "format " << int{c.format} << ", " << c.length << " bytes";
  }
};

class VrkLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(VrkLengthTest, EntryCountFollowsTheLength) {
  const LengthCase& c = GetParam();
  const std::vector<uint8_t> bytes = VrkBytes(c.format, c.length);
  const PaletteReadResult read = ParseVrkPalette(bytes);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.Data.PalFormat, c.format);
  EXPECT_EQ(read.Data.PaletteSize, c.entries);
  EXPECT_EQ(read.Data.Entries.size(), static_cast<size_t>(c.entries));
}

INSTANTIATE_TEST_SUITE_P(Lengths, VrkLengthTest,
                         testing::Values(LengthCase{0, 52, 16}, LengthCase{0, 772, 256},
                                         LengthCase{2, 36, 16}, LengthCase{1, 20, 16},
                                         LengthCase{0, 54, 16},  // two trailing bytes
                                         LengthCase{0, 4, 0}, LengthCase{2, 5, 0},
                                         LengthCase{1, 8, 4},  // less than one sub-palette
                                         LengthCase{0, 4 + 3 * 300, 256},
                                         LengthCase{1, 4 + 257, 256},
                                         LengthCase{2, 4 + 2 * 4000, 256},
                                         LengthCase{9, 10, 2}));  // unknown: 3 bytes each

TEST(VrkFileTest, EntriesDecodeFromTheirBytes) {
  struct Case {
    std::vector<uint8_t> bytes;
    std::vector<PaletteEntry> entries;
  };
  const Case cases[] = {
      {{'V', 'R', 'K', 0, 10, 20, 30, 40, 50, 60}, {MakeEntry(10, 20, 30), MakeEntry(40, 50, 60)}},
      {{'V', 'R', 'K', 1, 0x16, 0x30, 0x7F},
       {MakeEntry(219, 43, 0), MakeEntry(255, 255, 255), MakeEntry(0, 0, 0)}},
      {{'V', 'R', 'K', 2, 0x1F, 0x00, 0x41, 0x8C, 0x01},
       {MakeEntry(248, 0, 0), MakeEntry(8, 16, 24)}},
      // An unknown format byte is kept; its entries read as red, green, blue.
      {{'V', 'R', 'K', 9, 1, 2, 3, 4, 5}, {MakeEntry(1, 2, 3)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.bytes[3]));
    const PaletteReadResult read = ParseVrkPalette(c.bytes);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.Data.PalFormat, c.bytes[3]);
    EXPECT_EQ(read.Data.Entries, c.entries);
  }

  // Entry 255 of a longer file comes from bytes 769..771; the rest is not read.
  std::vector<uint8_t> longer = VrkBytes(0, 4 + 3 * 260);
  const PaletteReadResult read = ParseVrkPalette(longer);
  ASSERT_EQ(read.Data.Entries.size(), 256u);
  EXPECT_EQ(read.Data.Entries[255], MakeEntry(longer[769], longer[770], longer[771]));
}

TEST(VrkFileTest, MissingSignatureIsRefused) {
  const std::vector<std::vector<uint8_t>> files = {{},
                                                   {'V', 'R', 'K'},
                                                   {'V', 'R', 'J', 0, 1, 2, 3},
                                                   {'v', 'r', 'k', 0, 1, 2, 3},
                                                   {'K', 'R', 'V', 0, 1, 2, 3}};
  for (const auto& bytes : files)
    EXPECT_EQ(ParseVrkPalette(bytes).Error, PaletteFileError::NotVarnockPalette) << bytes.size();
}

struct StateCase {
  const char* extension;
  size_t length;
  PaletteFileError error;
  friend void PrintTo(const StateCase& c, std::ostream* os) {
    *os << c.extension << ", " << c.length << " bytes";
  }
};

class SaveStateLengthTest : public testing::TestWithParam<StateCase> {};

TEST_P(SaveStateLengthTest, StatesEndingBeforeTheirPaletteAreRefused) {
  const StateCase& c = GetParam();
  TempDir dir;
  const bool nesticle = std::string(c.extension) == ".STA";
  const std::string path = dir.Write(std::string("game") + c.extension,
                                     nesticle ? NesticleBytes(c.length) : ZsnesBytes(c.length));
  EXPECT_EQ(ReadPaletteFile(path).Error, c.error);
}

INSTANTIATE_TEST_SUITE_P(Lengths, SaveStateLengthTest,
                         testing::Values(StateCase{".STA", 0, PaletteFileError::TooShort},
                                         StateCase{".STA", 22791, PaletteFileError::TooShort},
                                         StateCase{".STA", 22791 + 31, PaletteFileError::TooShort},
                                         StateCase{".STA", 22791 + 32, PaletteFileError::None},
                                         StateCase{".ZST", 52243 + 511, PaletteFileError::TooShort},
                                         StateCase{".ZST", 52243 + 512, PaletteFileError::None},
                                         StateCase{".ZST", 60000, PaletteFileError::None}));

enum class Content { Vrk, Nesticle, Zsnes };

struct ExtensionCase {
  const char* name;
  Content content;
  PaletteFileError error;
  PaletteFormat format;
  int32_t size;
  friend void PrintTo(const ExtensionCase& c, std::ostream* os) { *os << c.name; }
};

class ReaderByExtensionTest : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ReaderByExtensionTest, ExtensionChoosesTheReader) {
  const ExtensionCase& c = GetParam();
  TempDir dir;
  std::filesystem::create_directory(dir.File("saves.st"));
  const std::vector<uint8_t> bytes = c.content == Content::Vrk        ? VrkBytes(2, 36)
                                     : c.content == Content::Nesticle ? NesticleBytes(23000)
                                                                      : ZsnesBytes(53000);
  const PaletteReadResult read = ReadPaletteFile(dir.Write(c.name, bytes));
  ASSERT_EQ(read.Error, c.error);
  if (!read.ok()) return;
  EXPECT_EQ(read.Data.PalFormat, c.format);
  EXPECT_EQ(read.Data.PaletteSize, c.size);
  ASSERT_EQ(read.Data.Entries.size(), static_cast<size_t>(c.size));
  if (c.content == Content::Nesticle) {
    EXPECT_EQ(read.Data.Entries[0], MakeEntry(219, 43, 0));
    EXPECT_EQ(read.Data.Entries[31], MakeEntry(255, 255, 255));
  } else if (c.content == Content::Zsnes) {
    EXPECT_EQ(read.Data.Entries[0], MakeEntry(248, 0, 0));
    EXPECT_EQ(read.Data.Entries[255], MakeEntry(0, 0, 248));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Extensions, ReaderByExtensionTest,
    testing::Values(
        ExtensionCase{"a.vrk", Content::Vrk, PaletteFileError::None, 2, 16},
        ExtensionCase{"a.VRK", Content::Vrk, PaletteFileError::None, 2, 16},
        ExtensionCase{"a.ST5", Content::Nesticle, PaletteFileError::None, 1, 32},
        ExtensionCase{"a.st", Content::Nesticle, PaletteFileError::None, 1, 32},
        ExtensionCase{"a.sta", Content::Nesticle, PaletteFileError::None, 1, 32},
        ExtensionCase{"a.ZS1", Content::Zsnes, PaletteFileError::None, 2, 256},
        ExtensionCase{"a.zst", Content::Zsnes, PaletteFileError::None, 2, 256},
        ExtensionCase{"a.BIN", Content::Vrk, PaletteFileError::UnknownExtension, 0, 0},
        ExtensionCase{"a.VRKS", Content::Vrk, PaletteFileError::UnknownExtension, 0, 0},
        ExtensionCase{"a.vr", Content::Vrk, PaletteFileError::UnknownExtension, 0, 0},
        ExtensionCase{"vrk", Content::Vrk, PaletteFileError::UnknownExtension, 0, 0},
        // The dot belongs to the folder, not the file.
        ExtensionCase{"saves.st/game", Content::Nesticle, PaletteFileError::UnknownExtension, 0, 0},
        // Wrong contents under the right name.
        ExtensionCase{"a.ZST", Content::Vrk, PaletteFileError::TooShort, 0, 0},
        ExtensionCase{"b.vrk", Content::Zsnes, PaletteFileError::NotVarnockPalette, 0, 0}));

TEST(ReadPaletteFileTest, MissingFilesAndFoldersCannotBeOpened) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder.vrk"));
  EXPECT_EQ(ReadPaletteFile(dir.File("missing.vrk")).Error, PaletteFileError::CannotOpen);
  EXPECT_EQ(ReadPaletteFile(dir.File("missing.sta")).Error, PaletteFileError::CannotOpen);
  EXPECT_EQ(ReadPaletteFile(dir.File("folder.vrk")).Error, PaletteFileError::CannotOpen);
}

PaletteTable PatternPalette(uint32_t seed) {
  const std::vector<uint8_t> bytes = PatternBytes(3 * kPaletteEntries, seed);
  PaletteTable palette{};
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = MakeEntry(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
  return palette;
}

TEST(WritePaletteFileTest, WritesTheHeaderAndPaletteSizeEntries) {
  struct Case {
    PaletteFormat format;
    int32_t paletteSize;
    size_t length;
  };
  const Case cases[] = {{1, 32, 36},   {2, 32, 68}, {0, 32, 100}, {7, 32, 100},
                        {0, 300, 772}, {2, -5, 4},  {1, 0, 4},    {2, 256, 516}};
  TempDir dir;
  const PaletteTable palette = PatternPalette(3);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.format} << " " << c.paletteSize);
    const std::string path = dir.File("out.vrk");
    ASSERT_TRUE(WritePaletteFile(path, palette, c.format, c.paletteSize).ok());
    const std::vector<uint8_t> bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), c.length);
    EXPECT_EQ(bytes[0], 'V');
    EXPECT_EQ(bytes[1], 'R');
    EXPECT_EQ(bytes[2], 'K');
    EXPECT_EQ(bytes[3], c.format);
  }
  // RGB entries are red, green, blue in palette order.
  ASSERT_TRUE(WritePaletteFile(dir.File("rgb.vrk"), palette, 0, 2).ok());
  const std::vector<uint8_t> rgb = ReadFile(dir.File("rgb.vrk"));
  EXPECT_EQ(rgb, (std::vector<uint8_t>{'V', 'R', 'K', 0, palette[0].red, palette[0].green,
                                       palette[0].blue, palette[1].red, palette[1].green,
                                       palette[1].blue}));
}

int Distance(PaletteEntry a, PaletteEntry b) {
  return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

TEST(WritePaletteFileTest, SavedPalettesComeBackWithTheirFormatsPrecision) {
  TempDir dir;
  PaletteTable palette = PatternPalette(11);
  palette[0] = MakeEntry(0, 0, 0);
  palette[1] = MakeEntry(250, 250, 250);
  palette[2] = MakeEntry(0, 161, 0);
  for (PaletteFormat format :
       {PaletteFormat{0}, PaletteFormat{1}, PaletteFormat{2}, PaletteFormat{200}}) {
    SCOPED_TRACE(static_cast<int>(format));
    const std::string path = dir.File("round.VRK");
    ASSERT_TRUE(WritePaletteFile(path, palette, format, 256).ok());
    const PaletteReadResult read = ReadPaletteFile(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.Data.PalFormat, format);
    ASSERT_EQ(read.Data.Entries.size(), 256u);
    for (size_t i = 0; i < 256; ++i) {
      const PaletteEntry saved = palette[i];
      const PaletteEntry loaded = read.Data.Entries[i];
      if (format == kPaletteFifteen) {
        ASSERT_EQ(loaded, MakeEntry(saved.red & 0xF8, saved.green & 0xF8, saved.blue & 0xF8)) << i;
      } else if (format == kPaletteNes) {
        // A master colour, and no master colour lies nearer the saved one.
        bool isMaster = false;
        for (const PaletteEntry& master : NesPalette) {
          isMaster = isMaster || master == loaded;
          ASSERT_GE(Distance(saved, master), Distance(saved, loaded)) << i;
        }
        ASSERT_TRUE(isMaster) << i;
      } else {
        ASSERT_EQ(loaded, saved) << i;
      }
    }
    if (format == kPaletteNes) {
      EXPECT_EQ(read.Data.Entries[0], MakeEntry(0, 0, 0));
      EXPECT_EQ(read.Data.Entries[1], MakeEntry(255, 255, 255));
      EXPECT_EQ(read.Data.Entries[2], MakeEntry(0, 151, 0));
    }
  }
}

TEST(WritePaletteFileTest, MissingFolderReportsFailure) {
  TempDir dir;
  const std::string path = dir.File("no/such/folder/pal.vrk");
  const PaletteWriteResult written = WritePaletteFile(path, DefaultPalette, 0, 16);
  EXPECT_EQ(written.Error, PaletteFileError::CannotWrite);
  EXPECT_FALSE(written.Reason.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(WritePaletteFileTest, ExistingFileSurvivesAFailedWrite) {
  TempDir dir;
  const std::vector<uint8_t> original = VrkBytes(0, 52, 5);
  const std::string path = dir.Write("keep.vrk", original);
  PaletteWriteResult written;
  {
    test::FullDisk limit(100);
    written = WritePaletteFile(path, PatternPalette(2), 0, 256);  // 772 bytes
  }
  EXPECT_EQ(written.Error, PaletteFileError::CannotWrite);
  EXPECT_FALSE(written.Reason.empty());
  EXPECT_EQ(ReadFile(path), original);
  // Only the target remains: the partial temporary file was removed.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);

  ASSERT_TRUE(WritePaletteFile(path, PatternPalette(2), 0, 256).ok());
  EXPECT_EQ(ReadFile(path).size(), 772u);
}

}  // namespace
}  // namespace varnock
