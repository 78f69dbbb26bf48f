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
#include <functional>

#include "document/rom_document.h"
#include "io/file_io.h"
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
  std::function<void(const TempDir&, const std::string& path)> before;  // done to g.bin
  bool inPlace;                                                         // the same inode afterwards
  uid_t owner;
  gid_t group;
  mode_t mode;
  std::vector<std::string> entries;  // the folder afterwards
};
void PrintTo(const KeepCase& c, std::ostream* os) {
  *os << c.name;
}

class KeepTest : public ::testing::TestWithParam<KeepCase> {};

TEST_P(KeepTest, TheSavedFileIsTheSameFileWithNewBytes) {
  const KeepCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.Write("g.bin", PatternBytes(8192, 1));
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  c.before(dir, path);
  const struct stat was = StatOf(path);
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  doc.RomData[77] ^= 0xFF;
  doc.Modified = true;
  const SaveResult saved = doc.SaveRom(path);
  ASSERT_TRUE(saved.Ok) << saved.Reason;
  const std::vector<uint8_t> image(doc.RomData, doc.RomData + doc.RomSize);
  EXPECT_EQ(ReadFile(path), image);
  const struct stat now = StatOf(path);
  EXPECT_EQ(now.st_ino == was.st_ino, c.inPlace);
  EXPECT_EQ(now.st_uid, c.owner);
  EXPECT_EQ(now.st_gid, c.group);
  EXPECT_EQ(now.st_mode & 07777, c.mode);
  EXPECT_EQ(now.st_nlink, was.st_nlink);
  EXPECT_EQ(Entries(dir.path()), c.entries);
  for (const std::string& other : c.entries) EXPECT_EQ(ReadFile(dir.File(other)), image) << other;
  EXPECT_FALSE(doc.ChangedOnDisk(path));
}

// The tests run as root, who may give a file to anyone: the replacement takes the original's
// owner and group. A file with other names is written where it is, so they all see the save.
const KeepCase kKeepCases[] = {
    {"OwnFile", [](const TempDir&, const std::string&) {}, false, 0, 0, 0644, {"g.bin"}},
    {"AnotherUsersFile",
     [](const TempDir&, const std::string& p) {
       ASSERT_EQ(::chown(p.c_str(), 1234, 5678), 0);
       ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
     },
     false,
     1234,
     5678,
     0640,
     {"g.bin"}},
    // the change of owner would clear the bit if the mode were set first
    {"SetUserIdProgram",
     [](const TempDir&, const std::string& p) {
       ASSERT_EQ(::chown(p.c_str(), 1234, 1234), 0);
       ASSERT_EQ(::chmod(p.c_str(), 04755), 0);
     },
     false,
     1234,
     1234,
     04755,
     {"g.bin"}},
    {"HardLinked",
     [](const TempDir& d, const std::string& p) {
       ASSERT_EQ(::link(p.c_str(), d.File("twin.bin").c_str()), 0);
       ASSERT_EQ(::chown(p.c_str(), 1234, 5678), 0);
     },
     true,
     1234,
     5678,
     0644,
     {"g.bin", "twin.bin"}},
};

INSTANTIATE_TEST_SUITE_P(SafeSave, KeepTest, ::testing::ValuesIn(kKeepCases),
                         [](const auto& info) { return std::string(info.param.name); });

// An ordinary user may write another user's file that its mode opens to everyone, but may not
// give a new file that owner: the save goes in place. Run in a child that drops root.
TEST(SafeSave, AFileWhoseOwnerCannotBeKeptIsWrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  TempDir dir;
  const std::string folder = dir.File("shared");
  ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
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
  EXPECT_EQ(now.st_uid, 4321u);
  EXPECT_EQ(now.st_gid, 4321u);
  EXPECT_EQ(now.st_mode & 07777, 0666u);
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
  doc.RomData[10] ^= 0xFF;
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
  doc.RomData[5] ^= 0xFF;
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
