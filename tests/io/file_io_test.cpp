#include "io/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "document/rom_document.h"
#include "support/test_files.h"

namespace varnock {
namespace {

TEST(FileIo, SavingThroughASymbolicLinkReplacesTheTargetAndKeepsTheLink) {
  test::TempDir dir;
  const std::string target = dir.Write("real.bin", {1, 2, 3});
  const std::string link = dir.File("link.bin");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  const std::vector<uint8_t> bytes{9, 8, 7, 6};
  ASSERT_TRUE(WriteFileSafely(link, bytes).Ok);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadFile(target), bytes);
}

TEST(FileIo, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
  test::TempDir dir;
  const std::string pipe = dir.File("pipe.gb");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  RomDocument doc;
  EXPECT_EQ(doc.LoadRom(pipe), kLoadCannotOpen);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile(pipe, bytes, 1024));
}

}  // namespace
}  // namespace varnock
