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

}  // namespace
}  // namespace varnock
