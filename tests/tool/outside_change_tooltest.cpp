// Another program changes the ROM while the tool works on it: the tool writes nothing, says so
// and fails, and the file keeps what the other program left. The tool is stopped just after
// it made the first file of its save, the moment a change is most easily lost.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <QBuffer>
#include <QImage>

#include "support/test_files.h"
#include "support/tool_run.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::TempDir;

struct OutsideCase {
  const char* name;
  const char* command;  // "import" or "checksum"
  bool twin;            // the ROM has a second name, twin.gba, so the save goes in place
  std::function<void(const TempDir&)> change;  // null: nobody touches the file
  // Stopped just after the tool read the ROM, not when its save began.
  bool whileRead = false;
};
void PrintTo(const OutsideCase& c, std::ostream* os) {
  *os << c.name;
}

// File times tick every few milliseconds: a change right after the tool read the file could
// carry the very same times, which no check can tell apart.
void WaitForTheClock() {
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void WriteOneByte(const std::string& path) {
  WaitForTheClock();
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, "x", 1, 0x2000), 1);
  ::close(fd);
}

void ReplaceByMove(const TempDir& d) {
  const std::string other = d.Write("other.gba", PatternBytes(0x8000, 7));
  ASSERT_EQ(::rename(other.c_str(), d.File("g.gba").c_str()), 0);
}

const OutsideCase kOutsideCases[] = {
    {"Untouched", "import", false, nullptr},
    {"ReplacedByMove", "checksum", false, ReplaceByMove},
    {"EditedInPlace", "import", false, [](const TempDir& d) { WriteOneByte(d.File("g.gba")); }},
    {"Truncated", "checksum", false,
     [](const TempDir& d) { ASSERT_EQ(::truncate(d.File("g.gba").c_str(), 0x100), 0); }},
    {"TwoNamesEditedThroughTheOther", "import", true,
     [](const TempDir& d) { WriteOneByte(d.File("twin.gba")); }},
    {"TwoNamesOneReplacedByMove", "checksum", true, ReplaceByMove},
    {"TwoNamesTruncated", "import", true,
     [](const TempDir& d) { ASSERT_EQ(::truncate(d.File("g.gba").c_str(), 0x100), 0); }},
    {"EditedJustAfterItWasRead", "checksum", false,
     [](const TempDir& d) { WriteOneByte(d.File("g.gba")); }, true},
};

class OutsideChangeTest : public ::testing::TestWithParam<OutsideCase> {};

TEST_P(OutsideChangeTest, WritesNothingOverAChangeMadeWhileItWorked) {
  const OutsideCase& c = GetParam();
  TempDir dir;
  // Random header bytes: the GBA checksums are wrong, so checksum --fix has to save.
  const std::vector<uint8_t> image = PatternBytes(0x8000, 1);
  const std::string rom = dir.Write("g.gba", image);
  ASSERT_TRUE(!c.twin || ::link(rom.c_str(), dir.File("twin.gba").c_str()) == 0);
  QImage picture(16, 16, QImage::Format_Indexed8);
  picture.setColorTable(QList<QRgb>(16, qRgb(1, 2, 3)));  // no palette's colours
  picture.fill(7);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "png");
  const std::string pictureFile = dir.Write("p.png", {png.begin(), png.end()});
  const std::vector<std::string> arguments =
      std::string(c.command) == "import"
          ? std::vector<std::string>{"import", rom, pictureFile, "--offset", "0x1000"}
          : std::vector<std::string>{"checksum", rom, "--fix"};

  std::vector<uint8_t> left, twinLeft;
  const auto change = [&] {
    if (c.change) c.change(dir);
    left = ReadFile(rom);
    if (c.twin) twinLeft = ReadFile(dir.File("twin.gba"));
  };
  const test::ToolRun run = test::RunToolPausedAtOpen(
      dir, arguments, c.whileRead ? "/g.gba" : ".varnock-", {change, false, c.whileRead});
  ASSERT_TRUE(run.paused) << run.err;
  if (!c.change) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadFile(rom), image);
  } else {
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, "varnock-tool: The file '" + rom +
                           "' changed on disk while varnock-tool worked. Nothing was written.\n");
    EXPECT_EQ(ReadFile(rom), left);
    if (c.twin) {
      EXPECT_EQ(ReadFile(dir.File("twin.gba")), twinLeft);
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".varnock-"), std::string::npos)
        << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Tool, OutsideChangeTest, ::testing::ValuesIn(kOutsideCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A save killed part-way leaves a file named after the ROM beside it; the ROM is as it was,
// and the next save says what that file is. Replacing and in place (the copy is begun under
// the unfinished name too).
TEST(KilledSave, LeavesAFileThatSaysWhoseItIs) {
  for (const bool twin : {false, true}) {
    TempDir dir;
    const std::vector<uint8_t> image = PatternBytes(0x8000, 1);
    const std::string rom = dir.Write("g.gba", image);
    ASSERT_TRUE(!twin || ::link(rom.c_str(), dir.File("twin.gba").c_str()) == 0);
    const test::ToolRun killed =
        test::RunToolPausedAtOpen(dir, {"checksum", rom, "--fix"}, ".varnock-", {nullptr, true});
    ASSERT_TRUE(killed.paused);
    EXPECT_EQ(ReadFile(rom), image);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      if (entry.path().filename().string().starts_with(".g.gba.varnock-save-"))
        left.push_back(entry.path().string());
    ASSERT_EQ(left.size(), 1u) << twin;
    EXPECT_EQ(left[0].size(), dir.File(".g.gba.varnock-save-XXXXXX").size());

    const test::ToolRun next = test::RunTool(dir, {"checksum", rom, "--fix"});
    EXPECT_EQ(next.status, 0);
    EXPECT_EQ(next.err, "varnock-tool: '" + left[0] +
                            "' is a partial file left by an interrupted save of '" + rom +
                            "': it is safe to delete.\n");
  }
}

}  // namespace
}  // namespace varnock
