// Saves keep what the file was besides its bytes (owner, group, mode, hard links), and a save
// that fails part-way leaves the old bytes.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "document/rom_document.h"
#include "io/file_io.h"
#include "io/save_temporaries.h"
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
  // Extended attributes the file has: name and value.
  std::vector<std::pair<std::string, std::string>> attributes = {};
  friend void PrintTo(const KeepCase& c, std::ostream* os) { *os << c.name; }
};

// A POSIX ACL as the attribute system.posix_acl_access holds it: a version word, then entries
// of tag, permissions and id (little-endian; see acl(5) and the kernel's posix_acl_xattr.h).
// Owner rw-, user 1234 rw-, group r--, mask rw-, others r--: what `setfacl -m u:1234:rw`
// makes of a file of mode 0644, which then shows mode 0664.
std::string AccessList() {
  std::string bytes;
  const auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  };
  put(2, 4);
  for (const auto& [tag, permissions, id] :
       {std::tuple{1u, 6u, ~0u}, std::tuple{2u, 6u, 1234u}, std::tuple{4u, 4u, ~0u},
        std::tuple{0x10u, 6u, ~0u}, std::tuple{0x20u, 4u, ~0u}}) {
    put(tag, 2);
    put(permissions, 2);
    put(id, 4);
  }
  return bytes;
}

std::string AttributeOf(const std::string& path, const std::string& name) {
  std::string value(256, '\0');
  const ssize_t length = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
  return length < 0 ? "(none)" : value.substr(0, static_cast<size_t>(length));
}

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
  for (const auto& [name, value] : c.attributes)
    if (::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) != 0)
      GTEST_SKIP() << "this file system keeps no attribute " << name << ": "
                   << std::strerror(errno);
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
  for (const auto& [name, value] : c.attributes) EXPECT_EQ(AttributeOf(path, name), value) << name;
}

INSTANTIATE_TEST_SUITE_P(SafeSave, KeepTest,
                         ::testing::Values(KeepCase{"OwnFile", 0, 0, 0644, false},
                                           KeepCase{"AnotherUsersFile", 1234, 5678, 0640, false},
                                           KeepCase{"SetUserIdProgram", 1234, 1234, 04755, false},
                                           KeepCase{"HardLinked", 1234, 5678, 0644, true},
                                           KeepCase{"UserAttributes",
                                                    0,
                                                    0,
                                                    0644,
                                                    false,
                                                    {{"user.origin", "dump 3"}, {"user.none", ""}}},
                                           KeepCase{"AccessControlList",
                                                    1234,
                                                    5678,
                                                    0664,
                                                    false,
                                                    {{"system.posix_acl_access", AccessList()}}}),
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

struct InPlaceCase {
  const char* name;
  mode_t folderMode;      // of the folder the file is in, which root owns
  uid_t fileOwner;        // the user's own file (1234) or root's
  const char* attribute;  // one root gives the file, with `value`; null for none
  std::string value = "label";
  friend void PrintTo(const InPlaceCase& c, std::ostream* os) { *os << c.name; }
};

class InPlaceTest : public ::testing::TestWithParam<InPlaceCase> {};

// An ordinary user saves a file they may write, but a replacement could not keep all it is: an
// attribute only root may set (security.*), or a folder the user may not add a file to, also
// for a file the user may write only through its ACL. The save goes in place, its copy beside
// the file or else in the temporary folder, and nothing is left behind. Run in a child that
// drops root.
TEST_P(InPlaceTest, WhatAReplacementCouldNotKeepIsWrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  const InPlaceCase& c = GetParam();
  TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  const std::string folder = dir.File("home");
  const std::string spare = dir.File("tmp");
  ASSERT_EQ(::mkdir(folder.c_str(), 0700) | ::chmod(folder.c_str(), c.folderMode), 0);
  ASSERT_EQ(::mkdir(spare.c_str(), 0700) | ::chmod(spare.c_str(), 0777), 0);
  const std::string path = dir.Write("home/g.bin", PatternBytes(4096, 1));
  ASSERT_EQ(::chown(path.c_str(), c.fileOwner, c.fileOwner) | ::chmod(path.c_str(), 0644), 0);
  if (c.attribute && ::setxattr(path.c_str(), c.attribute, c.value.data(), c.value.size(), 0) != 0)
    GTEST_SKIP() << "this file system keeps no attribute " << c.attribute;
  const struct stat was = StatOf(path);
  const std::vector<uint8_t> bytes = PatternBytes(4096, 2);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(1234) == 0 && ::setuid(1234) == 0;
    _exit(dropped && ::setenv("TMPDIR", spare.c_str(), 1) == 0 && WriteFileSafely(path, bytes).Ok
              ? 0
              : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const struct stat now = StatOf(path);
  EXPECT_EQ(std::tuple(now.st_ino, now.st_uid, now.st_mode),
            std::tuple(was.st_ino, was.st_uid, was.st_mode));
  EXPECT_EQ(ReadFile(path), bytes);
  EXPECT_EQ(AttributeOf(path, c.attribute ? c.attribute : "user.none"),
            c.attribute ? c.value : "(none)");
  EXPECT_EQ(Entries(folder), std::vector<std::string>{"g.bin"});
  EXPECT_EQ(Entries(spare), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    SafeSave, InPlaceTest,
    ::testing::Values(InPlaceCase{"AnAttributeOnlyRootMaySet", 0777, 1234, "security.varnock-test"},
                      InPlaceCase{"AFolderTheUserMayNotAddTo", 0755, 1234, nullptr},
                      InPlaceCase{"RootsFileTheUserMayWriteThroughItsAccessList", 0755, 0,
                                  "system.posix_acl_access", AccessList()}),
    [](const auto& info) { return std::string(info.param.name); });

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
    saved = doc.SaveRom(path, {.AcceptedFile = IdentifyFile(path)});
  }
  EXPECT_FALSE(saved.Ok);
  EXPECT_EQ(saved.Reason, "File too large");
  EXPECT_TRUE(doc.Modified);
  EXPECT_EQ(ReadFile(path), onDisk);
  EXPECT_EQ(ReadFile(dir.File("twin.bin")), onDisk);
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"g.bin", "twin.bin"}));
}

// The first write past the limit lowers it below the file's old size, so that putting the
// old bytes back fails too.
void LowerTheLimit(int) {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = 500;
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

// When even the restore fails, the message says that the file is partly new and where its old
// bytes are; that copy is whole, and it is what a later open of the file hears of.
TEST(SafeSave, AFailedRestoreSaysTheFileIsPartlyNewAndWhereTheOldBytesAre) {
  TempDir dir;
  const std::string path = dir.Write("g.bin", PatternBytes(1000, 1));
  ASSERT_EQ(::link(path.c_str(), dir.File("twin.bin").c_str()), 0);
  const std::vector<uint8_t> old = ReadFile(path);
  FileWriteResult written;
  {
    test::FullDisk full(4096);
    const auto handler = std::signal(SIGXFSZ, LowerTheLimit);
    written = WriteFileSafely(path, PatternBytes(8192, 2));
    std::signal(SIGXFSZ, handler);
  }
  EXPECT_FALSE(written.Ok);
  const std::string start =
      "File too large\nThe file '" + path + "' is now partly new; its old contents are kept in '";
  ASSERT_EQ(written.Reason.substr(0, start.size()), start) << written.Reason;
  const std::string copy =
      written.Reason.substr(start.size(), written.Reason.size() - start.size() - 2);
  EXPECT_EQ(written.Reason.substr(written.Reason.size() - 2), "'.");
  const std::string name = dir.path() + "/.g.bin.varnock-old-";
  EXPECT_EQ(copy.substr(0, name.size()), name);
  EXPECT_EQ(copy.size(), name.size() + 6);
  EXPECT_EQ(ReadFile(copy), old);
  const std::vector<SaveLeftover> leftovers = FindSaveLeftovers(path);
  ASSERT_EQ(leftovers.size(), 1u);
  EXPECT_EQ(leftovers[0].Path, copy);
  EXPECT_EQ(leftovers[0].Kind, SaveTemporaryKind::OldContents);
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
  const SaveResult saved = doc.SaveRom(path, {.AcceptedFile = IdentifyFile(path)});
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
