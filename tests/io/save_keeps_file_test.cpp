// Saves keep what the file was besides its bytes (owner, group, mode, hard links), and a save
// that fails part-way leaves the old bytes.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "document/rom_document.h"
#include "io/file_io.h"
#include "support/document_bytes.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::TempDir;

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info;
}

struct KeepCase {
  const char* name;
  uid_t owner;
  gid_t group;
  mode_t mode;
  bool twin;  // a second name, twin.bin, for the same file
  friend void PrintTo(const KeepCase& c, std::ostream* os) { *os << c.name; }
};

class KeepTest : public ::testing::TestWithParam<KeepCase> {};

// The tests run as root, who may give a file to anyone: a replacement takes the original's
// owner, group and mode (the mode last, since a change of owner clears set-user-ID). A file
// with other names is written where it is, so they all see the save.
TEST_P(KeepTest, TheSavedFileIsTheSameFileWithNewBytes) {
  const KeepCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.Write("g.bin", PatternBytes(8192, 1));
  ASSERT_EQ(::chown(path.c_str(), c.owner, c.group), 0);
  ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
  ASSERT_TRUE(!c.twin || ::link(path.c_str(), dir.File("twin.bin").c_str()) == 0);
  const struct stat was = StatOf(path);
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  test::FlipByte(doc, 77);
  const SaveResult saved = doc.SaveRom(path);
  ASSERT_TRUE(saved.Ok) << saved.Reason;
  const std::vector<uint8_t> image(doc.RomData, doc.RomData + doc.RomSize);
  const struct stat now = StatOf(path);
  EXPECT_EQ(now.st_ino == was.st_ino, c.twin);
  EXPECT_EQ(now.st_uid, c.owner);
  EXPECT_EQ(now.st_gid, c.group);
  EXPECT_EQ(now.st_mode & 07777, c.mode);
  const std::vector<std::string> names =
      c.twin ? std::vector<std::string>{"g.bin", "twin.bin"} : std::vector<std::string>{"g.bin"};
  EXPECT_EQ(Entries(dir.path()), names);
  for (const std::string& name : names) EXPECT_EQ(ReadFile(dir.File(name)), image) << name;
  EXPECT_FALSE(doc.ChangedOnDisk(path));
}

INSTANTIATE_TEST_SUITE_P(SafeSave, KeepTest,
                         ::testing::Values(KeepCase{"OwnFile", 0, 0, 0644, false},
                                           KeepCase{"AnotherUsersFile", 1234, 5678, 0640, false},
                                           KeepCase{"SetUserIdProgram", 1234, 1234, 04755, false},
                                           KeepCase{"HardLinked", 1234, 5678, 0644, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// An ordinary user may write another user's file that its mode opens to everyone, but may not
// give a new file that owner: the save goes in place. Run in a child that drops root.
TEST(SafeSave, AFileWhoseOwnerCannotBeKeptIsWrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  TempDir dir;
  const std::string folder = dir.File("shared");
  ASSERT_EQ(::mkdir(folder.c_str(), 0777) | ::chmod(folder.c_str(), 0777), 0);  // past the umask
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const std::string path = dir.Write("shared/g.bin", PatternBytes(4096, 1));
  ASSERT_EQ(::chown(path.c_str(), 4321, 4321), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  const ino_t inode = StatOf(path).st_ino;
  const std::vector<uint8_t> bytes = PatternBytes(4096, 2);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(1234) == 0 && ::setuid(1234) == 0;
    _exit(dropped && WriteFileSafely(path, bytes).Ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const struct stat now = StatOf(path);
  EXPECT_EQ(now.st_ino, inode);
  EXPECT_EQ(std::tuple(now.st_uid, now.st_gid, now.st_mode & 07777),
            std::tuple(4321u, 4321u, 0666u));
  EXPECT_EQ(ReadFile(path), bytes);
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"g.bin"});
}

// A write in place that runs out of room half-way puts the copy's bytes back. The file on disk
// is shorter than the image, so the copy of it fits below the limit and the new bytes do not.
TEST(SafeSave, AWriteInPlaceThatFailsPutsTheOldBytesBack) {
  TempDir dir;
  const std::string path = dir.Write("g.bin", PatternBytes(8192, 1));
  ASSERT_EQ(::link(path.c_str(), dir.File("twin.bin").c_str()), 0);
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
  const std::vector<uint8_t> onDisk = ReadFile(path);
  test::FlipByte(doc, 10);
  doc.Modified = true;
  SaveResult saved;
  {
    test::FullDisk full(4096);
    saved = doc.SaveRom(path);
  }
  EXPECT_FALSE(saved.Ok);
  EXPECT_EQ(saved.Reason, "File too large");
  EXPECT_TRUE(doc.Modified);
  EXPECT_EQ(ReadFile(path), onDisk);
  EXPECT_EQ(ReadFile(dir.File("twin.bin")), onDisk);
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"g.bin", "twin.bin"}));
}

// The last step of a replacing save is the rename; a file marked immutable refuses it, even to
// root. The save is a failure, the file keeps its bytes and the image stays modified.
TEST(SafeSave, AFailedRenameIsAFailedSave) {
  TempDir dir;
  const std::vector<uint8_t> original = PatternBytes(4096, 1);
  const std::string path = dir.Write("g.bin", original);
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  const int fd = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  int flags = 0;
  const bool immutable = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                         (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
  if (!immutable) {
    ::close(fd);
    GTEST_SKIP() << "this file system or user cannot mark a file immutable";
  }
  test::FlipByte(doc, 5);
  doc.Modified = true;
  const SaveResult saved = doc.SaveRom(path);
  flags &= ~FS_IMMUTABLE_FL;
  ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
  ::close(fd);
  EXPECT_FALSE(saved.Ok);
  EXPECT_EQ(saved.Reason, "Operation not permitted");
  EXPECT_TRUE(doc.Modified);
  EXPECT_EQ(ReadFile(path), original);
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"g.bin"});
}

}  // namespace
}  // namespace varnock
