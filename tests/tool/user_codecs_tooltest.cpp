// The encodings of the user's folder, loaded at start as the editor loads them: --format and
// formats know them without --codec, and a file refused there is named without stopping.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::RunTool;
using test::TempDir;

TEST(ToolUserCodecs, TheUsersFolderIsReadAtStartAndABadFileIsNamed) {
  TempDir dir;
  // One bit a pixel, rows of one byte: the layout of the 1bpp format, under the user's name.
  const std::string mine = "[encoding]\nbits = 1\nbytes = 8\nplane0 = 0, 1, 8\n";
  const std::string bad = "[encoding]\nbits = 1\nbytes = 1\nplane0 = 0, 1, 8\n";
  std::filesystem::create_directories(dir.File("Varnock Pro/codecs"));
  dir.Write("Varnock Pro/codecs/mine.vrkcodec", {mine.begin(), mine.end()});
  const std::string refused =
      dir.Write("Varnock Pro/codecs/short.vrkcodec", {bad.begin(), bad.end()});
  const std::string rom = dir.Write("rom.bin", PatternBytes(0x100, 4));

  const test::ToolRun run =
      RunTool(dir, {"export", rom, dir.File("mine.png"), "--format", "MINE", "--tiles", "8"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "varnock-tool: " + refused +
                ": line 3: 1 bytes cannot hold 64 pixels of 1 bits; they need at least 8\n")
      << "one line, and the command goes on";
  ASSERT_EQ(RunTool(dir, {"export", rom, dir.File("1bpp.png"), "--format", "1bpp", "--tiles", "8"})
                .status,
            0);
  EXPECT_EQ(ReadFile(dir.File("mine.png")), ReadFile(dir.File("1bpp.png")));
  EXPECT_NE(RunTool(dir, {"formats"}).out.find("  mine "), std::string::npos);
}

}  // namespace
}  // namespace varnock
