// Saving a RomDocument: checksum rules by the extension the file was opened with, and writes
// that either complete or leave the old file alone.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "document/rom_document.h"
#include "support/document_bytes.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::TempDir;

std::vector<uint8_t> Filled(size_t size, uint8_t value) {
  return std::vector<uint8_t>(size, value);
}

std::vector<uint8_t> WithBytes(std::vector<uint8_t> bytes,
                               std::initializer_list<std::pair<size_t, uint8_t>> changes) {
  for (const auto& [at, value] : changes) bytes[at] = value;
  return bytes;
}

std::vector<uint8_t> Image(const RomDocument& doc) {
  return {doc.RomData, doc.RomData + doc.RomSize};
}

struct ChecksumCase {
  const char* label;
  const char* name;
  std::vector<uint8_t> image;
  // bytes expected at 0x14E/0x14F (Game Boy) or 0xBD/0xBE/0xBF (GBA); empty: image unchanged
  std::vector<uint8_t> expected;
};

void PrintTo(const ChecksumCase& c, std::ostream* out) {
  *out << c.label;
}

class ChecksumTest : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(ChecksumTest, SaveWritesTheChecksumIntoImageAndFile) {
  const ChecksumCase& c = GetParam();
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write(c.name, c.image)), kLoadLoaded);
  const std::string out = dir.File(std::string("saved-") + c.name);
  ASSERT_TRUE(doc.SaveRom(out).Ok);

  std::vector<uint8_t> want = c.image;
  const bool gameBoy = doc.RomExt == ".GB" || doc.RomExt == ".GBC";
  const size_t first = gameBoy ? 0x14E : 0xBD;
  for (size_t i = 0; i < c.expected.size(); ++i) want[first + i] = c.expected[i];
  EXPECT_EQ(ReadFile(out), want);
  EXPECT_EQ(Image(doc), want);  // the view shows the new bytes too

  // a second save finds nothing left to change
  ASSERT_TRUE(doc.SaveRom(out).Ok);
  EXPECT_EQ(ReadFile(out), want);
}

// Game Boy: big-endian sum at 0x14E of every other byte of the first whole 32 KB banks; the
// header checksum at 0x14D is left alone. GBA: 0xBD = 0 - (sum of 0xA0..0xBC) - 0x19, then the
// little-endian 16-bit sum of every other byte at 0xBE.
INSTANTIATE_TEST_SUITE_P(
    Rules, ChecksumTest,
    ::testing::Values(
        // 32765 bytes of 1 and 0x77 at 0x14D: 32765 + 119 = 32884 = 0x8074
        ChecksumCase{"GameBoyOnes",
                     "a.gb",
                     WithBytes(Filled(32768, 1), {{0x14D, 0x77}, {0x14E, 0xAB}, {0x14F, 0xCD}}),
                     {0x80, 0x74}},
        // 32766 bytes of 1 = 0x7FFE
        ChecksumCase{"GameBoyOnesOnly", "a.gb", Filled(32768, 1), {0x7F, 0xFE}},
        // 32766 x 255 = 8355330 = 0x7F7E02
        ChecksumCase{"GameBoyFull", "a.GBC", Filled(32768, 0xFF), {0x7E, 0x02}},
        // the 8 KB past the last whole bank are not summed
        ChecksumCase{"GameBoyFortyKilobytes",
                     "a.gb",
                     [] {
                       auto bytes = Filled(40960, 1);
                       std::fill(bytes.begin() + 32768, bytes.end(), 0xFF);
                       return bytes;
                     }(),
                     {0x7F, 0xFE}},
        // 98302 = 0x17FFE: only the low 16 bits are stored
        ChecksumCase{"GameBoyNinetySixKilobytes", "a.gb", Filled(98304, 1), {0x7F, 0xFE}},
        ChecksumCase{"GameBoyTooShort", "a.gb", PatternBytes(0x14F, 4), {}},
        // Shorter than one bank: summed whole. 0x150 - 2 = 0x14E; 0x7FFF - 2 = 0x7FFD.
        ChecksumCase{"GameBoyHeaderOnly", "a.gb", Filled(0x150, 1), {0x01, 0x4E}},
        ChecksumCase{"GameBoyOneByteShortOfABank", "a.gbc", Filled(0x7FFF, 1), {0x7F, 0xFD}},
        // header bytes 1: C = 29, complement 0 - 29 - 25 = 202 = 0xCA;
        // sum 29 + 0xCA + 0x10 + 0x80 + 0xF0 = 615 = 0x0267
        ChecksumCase{"GbaSmall",
                     "a.gba",
                     [] {
                       auto bytes = Filled(0x100, 0);
                       std::fill(bytes.begin() + 0xA0, bytes.begin() + 0xBD, 1);
                       bytes[0x00] = 0x10;
                       bytes[0xBD] = 0x99;
                       bytes[0xBE] = 0x55;
                       bytes[0xBF] = 0x66;
                       bytes[0xC0] = 0x80;
                       bytes[0xFF] = 0xF0;
                       return bytes;
                     }(),
                     {0xCA, 0x67, 0x02}},
        // C = 29 x 255 mod 256 = 227, complement 4; 65533 x 255 + 4 = 16710919 = 0xFEFD07
        ChecksumCase{"GbaFull", "a.GBA", Filled(65536, 0xFF), {0x04, 0x07, 0xFD}},
        ChecksumCase{"GbaTooShort", "a.gba", PatternBytes(0xBF, 4), {}},
        ChecksumCase{"BinaryUnchanged", "a.BIN", PatternBytes(32768, 4), {}},
        ChecksumCase{"GenesisUnchanged", "a.smd", PatternBytes(32768, 4), {}},
        ChecksumCase{"NoExtensionUnchanged", "a", PatternBytes(32768, 4), {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SaveRomTest, RuleFollowsTheExtensionTheFileWasOpenedWith) {
  TempDir dir;
  RomDocument gameBoy;
  ASSERT_EQ(gameBoy.LoadRom(dir.Write("X.GB", Filled(32768, 1))), kLoadLoaded);
  ASSERT_TRUE(gameBoy.SaveRom(dir.File("Y.BIN")).Ok);
  EXPECT_EQ(ReadFile(dir.File("Y.BIN")),
            WithBytes(Filled(32768, 1), {{0x14E, 0x7F}, {0x14F, 0xFE}}));

  RomDocument binary;
  ASSERT_EQ(binary.LoadRom(dir.Write("P.BIN", Filled(32768, 1))), kLoadLoaded);
  ASSERT_TRUE(binary.SaveRom(dir.File("Q.GB")).Ok);
  EXPECT_EQ(ReadFile(dir.File("Q.GB")), Filled(32768, 1));
}

TEST(SaveRomTest, SuccessClearsModifiedAndKeepsPermissions) {
  TempDir dir;
  const std::string path = dir.Write("g.bin", PatternBytes(8192, 1));
  ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  test::FlipByte(doc, 10);
  doc.Modified = true;
  const SaveResult result = doc.SaveRom(path);
  ASSERT_TRUE(result.Ok) << result.Reason;
  EXPECT_FALSE(doc.Modified);
  EXPECT_EQ(doc.IoCount, 8192u);
  EXPECT_EQ(ReadFile(path), Image(doc));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0604u);

  // a new file gets the usual mode of a new file
  const mode_t oldMask = ::umask(022);
  EXPECT_TRUE(doc.SaveRom(dir.File("new.bin")).Ok);
  ::umask(oldMask);
  ASSERT_EQ(::stat(dir.File("new.bin").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
}

// Lists the folder's entries, so a test can see that no temporary file was left behind.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SaveRomTest, FullDiskLeavesTheOriginalAndModified) {
  TempDir dir;
  const std::vector<uint8_t> original = PatternBytes(32768, 2);
  const std::string path = dir.Write("g.gb", original);
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  test::FlipByte(doc, 0x200);
  doc.Modified = true;

  // Running as root, permissions cannot make a write fail; a file size limit can.
  SaveResult result;
  {
    test::FullDisk full(4096);
    result = doc.SaveRom(path);
  }

  EXPECT_FALSE(result.Ok);
  EXPECT_FALSE(result.Reason.empty());
  EXPECT_TRUE(doc.Modified);
  EXPECT_EQ(ReadFile(path), original);
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"g.gb"});
}

TEST(SaveRomTest, MissingFolderFailsAndKeepsModified) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.bin", PatternBytes(4096, 2))), kLoadLoaded);
  doc.Modified = true;
  const SaveResult result = doc.SaveRom(dir.File("missing/g.bin"));
  EXPECT_FALSE(result.Ok);
  EXPECT_FALSE(result.Reason.empty());
  EXPECT_TRUE(doc.Modified);
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"g.bin"});
}

}  // namespace
}  // namespace varnock
