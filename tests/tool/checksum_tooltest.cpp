// checksum: what the editor's save writes, shown, checked and written.
#include <gtest/gtest.h>

#include <cstdio>

#include "document/rom_document.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::RunTool;
using test::TempDir;

struct ChecksumCase {
  const char* name;
  std::vector<size_t> shown;  // the bytes of the last field, most significant first
};

class ToolChecksumTest : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(ToolChecksumTest, FixWritesWhatTheEditorsSaveWrites) {
  const ChecksumCase& c = GetParam();
  TempDir dir;
  const std::vector<uint8_t> image = PatternBytes(0x9000, 6);
  const std::string rom = dir.Write(c.name, image);
  RomDocument editor;
  ASSERT_EQ(editor.LoadRom(rom), kLoadLoaded);
  ASSERT_TRUE(editor.SaveRom(dir.File(std::string("editor-") + c.name)).Ok);
  const std::vector<uint8_t> saved = ReadFile(dir.File(std::string("editor-") + c.name));

  const test::ToolRun check = RunTool(dir, {"checksum", rom});
  EXPECT_EQ(check.status, saved == image ? 0 : 1) << check.err;
  EXPECT_EQ(check.out.find("DIFFER") != std::string::npos, saved != image) << check.out;

  const std::string fixed = dir.File(std::string("fixed-") + c.name);
  ASSERT_EQ(RunTool(dir, {"checksum", rom, "--fix", "-o", fixed}).status, 0);
  EXPECT_EQ(ReadFile(fixed), saved);
  EXPECT_EQ(ReadFile(rom), image);
  const test::ToolRun again = RunTool(dir, {"checksum", fixed});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out.find("DIFFER"), std::string::npos) << again.out;
  char written[64] = "no header checksum";
  if (!c.shown.empty())
    std::snprintf(written, sizeof written, "a save writes 0x%02X%02X (agree)", saved[c.shown[0]],
                  saved[c.shown[1]]);
  EXPECT_NE(again.out.find(written), std::string::npos) << again.out;
  ASSERT_EQ(RunTool(dir, {"checksum", rom, "--fix"}).status, 0);
  EXPECT_EQ(ReadFile(rom), saved);
}

INSTANTIATE_TEST_SUITE_P(Rules, ToolChecksumTest,
                         ::testing::Values(ChecksumCase{"game.gb", {0x14E, 0x14F}},
                                           ChecksumCase{"game.GBC", {0x14E, 0x14F}},
                                           ChecksumCase{"game.gba", {0xBF, 0xBE}},
                                           ChecksumCase{"game.smc", {}}),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           return name.substr(name.find('.') + 1);
                         });

// A console's own header: shown, checked, written by --fix with what it wrote said, and left
// alone by the editor's save.
using Placed = std::vector<std::pair<size_t, std::string>>;  // bytes and where; else zeros

struct ConsoleCase {
  const char* name;
  size_t size;
  Placed bytes;
  const char* found;               // the report's first line, or null
  std::vector<std::string> fixed;  // the lines --fix prints
  Placed written;                  // the bytes --fix writes
  friend void PrintTo(const ConsoleCase& c, std::ostream* out) { *out << c.name; }
};

ConsoleCase Row(const char* name, size_t size, Placed bytes, const char* found,
                std::vector<std::string> fixed, Placed written) {
  return {name, size, std::move(bytes), found, std::move(fixed), std::move(written)};
}

class ToolConsoleHeaderTest : public ::testing::TestWithParam<ConsoleCase> {};

std::vector<uint8_t> Put(std::vector<uint8_t> image, const Placed& bytes) {
  for (const auto& [at, text] : bytes) std::copy(text.begin(), text.end(), image.begin() + at);
  return image;
}

TEST_P(ToolConsoleHeaderTest, FixWritesTheHeadersFieldsAndSaysWhat) {
  const ConsoleCase& c = GetParam();
  TempDir dir;
  const std::vector<uint8_t> image = Put(std::vector<uint8_t>(c.size, 0), c.bytes);
  const std::string rom = dir.Write(c.name, image);

  const test::ToolRun check = RunTool(dir, {"checksum", rom});
  EXPECT_EQ(check.status, 1) << check.err;
  EXPECT_TRUE(!c.found || check.out.starts_with(std::string(c.found) + "\n")) << check.out;
  EXPECT_NE(check.out.find("DIFFER"), std::string::npos) << check.out;

  const std::string fixed = dir.File(std::string("fixed-") + c.name);
  const test::ToolRun fix = RunTool(dir, {"checksum", rom, "--fix", "-o", fixed});
  ASSERT_EQ(fix.status, 0) << fix.err;
  std::vector<std::string> said;
  for (const std::string& line : test::Lines(fix.out))
    if (line.rfind("fixed: ", 0) == 0) said.push_back(line);
  EXPECT_EQ(said, c.fixed);
  EXPECT_EQ(ReadFile(fixed), Put(image, c.written));
  const test::ToolRun again = RunTool(dir, {"checksum", fixed});
  EXPECT_EQ(again.status, 0) << again.out;
  EXPECT_EQ(again.out.find("DIFFER"), std::string::npos) << again.out;

  if (std::string(c.name).ends_with(".gba")) return;  // the save's own rule
  RomDocument editor;
  ASSERT_EQ(editor.LoadRom(rom), kLoadLoaded);
  ASSERT_TRUE(editor.SaveRom(dir.File("editor.bin")).Ok);
  EXPECT_EQ(ReadFile(dir.File("editor.bin")), image) << "the editor's save keeps its rules";
}

INSTANTIATE_TEST_SUITE_P(
    Consoles, ToolConsoleHeaderTest,
    ::testing::Values(
        Row("game.smc", 0x8200, {{0x81D5, "\x20"}},
            "SNES LoROM header at 0x81C0, after a 512-byte copier header",
            {"fixed: 0x81DC 0x0000 -> 0xFDE1", "fixed: 0x81DE 0x0000 -> 0x021E"},
            {{0x81DC, "\xE1\xFD\x1E\x02"}}),
        // the checksum right already
        Row("game.sfc", 0x10000, {{0xFFD5, "\x21"}, {0xFFDE, "\x1F\x02"}},
            "SNES HiROM header at 0xFFC0", {"fixed: 0xFFDC 0x0000 -> 0xFDE0"},
            {{0xFFDC, "\xE0\xFD"}}),
        Row("game.md", 0x204, {{0x100, "SEGA"}, {0x200, "\x12\x34\xFF\xFF"}},
            "Genesis header at 0x100", {"fixed: 0x18E 0x0000 -> 0x1233"}, {{0x18E, "\x12\x33"}}),
        Row("game.gg", 0x8000, {{0x7FF0, "TMR SEGA"}, {0x7FFF, "\x6C"}, {0x10, "\x05"}},
            "Game Gear header at 0x7FF0", {"fixed: 0x7FFA 0x0000 -> 0x0005"},
            {{0x7FFA, std::string("\x05\0", 2)}}),
        Row("game.gba", 0xC0, {{0xBD, "\x3A"}}, nullptr,
            {"fixed: 0xBD 0x3A -> 0xE7", "fixed: 0xBE 0x0000 -> 0x00E7"}, {{0xBD, "\xE7\xE7"}})),
    [](const auto& info) { return std::string(info.param.name).substr(5); });

}  // namespace
}  // namespace varnock
