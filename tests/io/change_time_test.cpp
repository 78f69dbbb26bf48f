// A change another program hides: same size, same inode, the modification time put back to the
// nanosecond. Only the status change time, which no program can set, still shows it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "document/rom_document.h"
#include "io/file_io.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::TempDir;

// Tried until the status change time stays within one second for the whole attempt, so that
// nothing but its nanoseconds tells the change.
TEST(ChangeTime, AChangeSeenOnlyInTheChangeTimesNanosecondsIsNoticed) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    TempDir dir;
    const std::string path = dir.Write("g.bin", PatternBytes(4096, 1));
    RomDocument doc;
    ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
    const FileIdentity known = doc.KnownFile;
    // File times come from a clock that ticks every few milliseconds.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "x", 1, 100), 1);
    const struct timespec times[2] = {{known.ModifiedSeconds, known.ModifiedNanoseconds},
                                      {known.ModifiedSeconds, known.ModifiedNanoseconds}};
    ASSERT_EQ(::futimens(fd, times), 0);
    ::close(fd);
    FileIdentity now = IdentifyFile(path);
    if (now.ChangedSeconds != known.ChangedSeconds) continue;
    ASSERT_NE(now.ChangedNanoseconds, known.ChangedNanoseconds);
    now.ChangedNanoseconds = known.ChangedNanoseconds;
    ASSERT_EQ(now, known) << "inode, size and modification time as they were";

    EXPECT_TRUE(doc.ChangedOnDisk(path));
    const std::vector<uint8_t> changed = ReadFile(path);
    const SaveResult saved = doc.SaveRom(path);
    EXPECT_FALSE(saved.Ok);
    EXPECT_TRUE(saved.ChangedOnDisk);
    EXPECT_EQ(ReadFile(path), changed) << "the other program's byte stays";
    return;
  }
  GTEST_SKIP() << "the clock never stayed within one second";
}

}  // namespace
}  // namespace varnock
