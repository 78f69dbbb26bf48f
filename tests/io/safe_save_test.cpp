// Saves that refuse a read-only file and notice a file changed on disk since it was opened.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "document/rom_document.h"
#include "io/file_io.h"
#include "support/document_bytes.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::PatternBytes;
using test::ReadFile;
using test::TempDir;

const auto kName = [](const auto& info) { return std::string(info.param.name); };

size_t EntryCount(const std::string& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

struct ModeCase {
  const char* name;
  mode_t mode;
  bool saved;
};
void PrintTo(const ModeCase& c, std::ostream* os) {
  *os << c.name;
}

class ReadOnlyTest : public ::testing::TestWithParam<ModeCase> {};

// The file is the test's own, so the owner's bits decide for an ordinary user; for root,
// whom the system lets through, a file with no write bit at all is still refused.
TEST_P(ReadOnlyTest, AFileWithoutWritePermissionIsNotReplaced) {
  const ModeCase& c = GetParam();
  TempDir dir;
  const std::vector<uint8_t> original = PatternBytes(4096, 1);
  const std::string path = dir.Write("g.bin", original);
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
  test::FlipByte(doc, 0);
  doc.Modified = true;
  // The new mode is a change on disk: saved as after the user agreed to overwrite it.
  const SaveResult result = doc.SaveRom(path, {.AcceptedFile = IdentifyFile(path)});
  EXPECT_EQ(result.Ok, c.saved);
  EXPECT_EQ(doc.Modified, !c.saved);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, c.mode);
  EXPECT_EQ(EntryCount(dir.path()), 1u);
  if (c.saved) return;
  EXPECT_EQ(result.Reason, "The file is read-only.");
  EXPECT_EQ(ReadFile(path), original);
  // Another name is the way out.
  EXPECT_TRUE(doc.SaveRom(dir.File("copy.bin")).Ok);
  EXPECT_FALSE(doc.Modified);
}

INSTANTIATE_TEST_SUITE_P(SafeSave, ReadOnlyTest,
                         ::testing::Values(ModeCase{"ReadOnly", 0444, false},
                                           ModeCase{"OwnerReadOnly", 0400, false},
                                           ModeCase{"ExecutableNotWritable", 0555, false},
                                           ModeCase{"Writable", 0644, true},
                                           ModeCase{"OwnerWriteOnly", 0200, true}),
                         kName);

TEST(SafeSave, AReadOnlyTargetBehindALinkIsRefusedToo) {
  TempDir dir;
  const std::string target = dir.Write("real.bin", {1, 2, 3});
  const std::string link = dir.File("link.bin");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  const FileWriteResult result = WriteFileSafely(link, std::vector<uint8_t>{9});
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(result.Reason, kReadOnlyReason);
  EXPECT_EQ(ReadFile(target), (std::vector<uint8_t>{1, 2, 3}));
}

// Sets the file's modification time to a fixed second, so a rewrite is seen even when it
// happens within the clock's resolution.
void Touch(const std::string& path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct ChangeCase {
  const char* name;
  bool openThroughLink;
  // What another program does to the folder after the file was opened as "g.bin".
  std::function<void(const TempDir&)> change;
  bool changed;
};
void PrintTo(const ChangeCase& c, std::ostream* os) {
  *os << c.name;
}

class ChangedOnDiskTest : public ::testing::TestWithParam<ChangeCase> {};

const ChangeCase kChangeCases[] = {
    {"Untouched", false, [](const TempDir&) {}, false},
    {"OnlyRead", false, [](const TempDir& d) { ReadFile(d.File("g.bin")); }, false},
    {"RewrittenSameSize", false,
     [](const TempDir& d) {
       d.Write("g.bin", PatternBytes(4096, 9));
       Touch(d.File("g.bin"), 2000000000);
     },
     true},
    {"TouchedOnly", false, [](const TempDir& d) { Touch(d.File("g.bin"), 1000000000); }, true},
    {"Grown", false,
     [](const TempDir& d) {
       d.Write("g.bin", PatternBytes(4097, 1));
       Touch(d.File("g.bin"), 1500000000);
     },
     true},
    {"ReplacedByRename", false,
     [](const TempDir& d) {
       const std::string other = d.Write("other.bin", PatternBytes(4096, 1));
       Touch(other, 1500000000);
       ASSERT_EQ(::rename(other.c_str(), d.File("g.bin").c_str()), 0);
     },
     true},
    {"Deleted", false, [](const TempDir& d) { std::filesystem::remove(d.File("g.bin")); }, true},
    {"SwappedForALink", false,
     [](const TempDir& d) {
       const std::string other = d.Write("other.bin", PatternBytes(4096, 1));
       std::filesystem::remove(d.File("g.bin"));
       ASSERT_EQ(::symlink(other.c_str(), d.File("g.bin").c_str()), 0);
     },
     true},
    {"LinkUnchanged", true, [](const TempDir&) {}, false},
    {"LinkRetargeted", true,
     [](const TempDir& d) {
       const std::string other = d.Write("other.bin", PatternBytes(4096, 1));
       std::filesystem::remove(d.File("g.bin"));
       ASSERT_EQ(::symlink(other.c_str(), d.File("g.bin").c_str()), 0);
     },
     true},
    {"LinkReplacedByItsTargetsCopy", true,
     [](const TempDir& d) {
       std::filesystem::remove(d.File("g.bin"));
       std::filesystem::copy_file(d.File("real.bin"), d.File("g.bin"));
     },
     true},
};

TEST_P(ChangedOnDiskTest, SeesWhatAnotherProgramDid) {
  const ChangeCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("g.bin");
  if (c.openThroughLink) {
    const std::string real = dir.Write("real.bin", PatternBytes(4096, 1));
    ASSERT_EQ(::symlink(real.c_str(), path.c_str()), 0);
  } else {
    dir.Write("g.bin", PatternBytes(4096, 1));
  }
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
  c.change(dir);
  EXPECT_EQ(doc.ChangedOnDisk(path), c.changed);
  // Any other name was never seen, so there is nothing to compare with.
  EXPECT_FALSE(doc.ChangedOnDisk(dir.File("elsewhere.bin")));
  // A save makes what is on disk the known file again; only one the user agreed to overwrite
  // writes over a change.
  EXPECT_EQ(doc.SaveRom(path).ChangedOnDisk, c.changed);
  ASSERT_TRUE(doc.SaveRom(path, {.AcceptedFile = IdentifyFile(path)}).Ok);
  EXPECT_FALSE(doc.ChangedOnDisk(path));
}

INSTANTIATE_TEST_SUITE_P(SafeSave, ChangedOnDiskTest, ::testing::ValuesIn(kChangeCases), kName);

// Another program writes one byte where it is within the second the file was read in: same
// size, same inode, the same second in both times, only the nanoseconds differ. Tried until
// the clock stays within one second for the whole attempt.
TEST(SafeSave, AChangeWithinTheSameSecondIsSeen) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    TempDir dir;
    const std::string path = dir.Write("g.bin", PatternBytes(4096, 1));
    RomDocument doc;
    ASSERT_EQ(doc.LoadRom(path), kLoadLoaded);
    // File times come from a clock that ticks every few milliseconds.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "x", 1, 100), 1);
    ::close(fd);
    const FileIdentity now = IdentifyFile(path);
    ASSERT_EQ(now.Inode, doc.KnownFile.Inode);
    ASSERT_EQ(now.Size, doc.KnownFile.Size);
    if (now.ModifiedSeconds != doc.KnownFile.ModifiedSeconds ||
        now.ChangedSeconds != doc.KnownFile.ChangedSeconds)
      continue;
    EXPECT_TRUE(doc.ChangedOnDisk(path));
    return;
  }
  GTEST_SKIP() << "the clock never stayed within one second";
}

TEST(SafeSave, SaveAsMovesWhatIsKnownToTheNewName) {
  TempDir dir;
  RomDocument doc;
  ASSERT_EQ(doc.LoadRom(dir.Write("g.bin", PatternBytes(4096, 1))), kLoadLoaded);
  ASSERT_TRUE(doc.SaveRom(dir.File("h.bin")).Ok);
  std::filesystem::remove(dir.File("g.bin"));
  EXPECT_FALSE(doc.ChangedOnDisk(dir.File("g.bin")));
  Touch(dir.File("h.bin"), 1000000000);
  EXPECT_TRUE(doc.ChangedOnDisk(dir.File("h.bin")));
}

struct LinkCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> links;  // name -> where it points
  const char* written;  // the file the bytes land in; null when the save is refused
  const char* reason;   // the refusal's words
  friend void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }
};

class SaveThroughLinkTest : public ::testing::TestWithParam<LinkCase> {};

// A save through a symbolic link writes the file at the end of the chain, also one that is not
// there yet, and every link stays a link.
TEST_P(SaveThroughLinkTest, TheLinkStaysAndTheFileItNamesIsWritten) {
  const LinkCase& c = GetParam();
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
  for (const auto& [name, target] : c.links) {
    const std::string to = target.front() == '/' ? dir.path() + target : target;
    ASSERT_EQ(::symlink(to.c_str(), dir.File(name).c_str()), 0);
  }
  const std::vector<uint8_t> bytes = PatternBytes(300, 5);
  const FileWriteResult result = WriteFileSafely(dir.File(c.links[0].first), bytes);
  EXPECT_EQ(result.Ok, c.written != nullptr) << result.Reason;
  if (c.written) {
    EXPECT_EQ(ReadFile(dir.File(c.written)), bytes);
  } else {
    EXPECT_EQ(result.Reason, c.reason);
  }
  for (const auto& [name, target] : c.links)
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File(name))) << name;
  for (const std::string& folder : {dir.path(), dir.File("sub")})
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      EXPECT_EQ(entry.path().string().find(".varnock-"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    SafeSave, SaveThroughLinkTest,
    ::testing::Values(
        LinkCase{"ToAFileNotMadeYet", {{"link.bin", "new.bin"}}, "new.bin", ""},
        LinkCase{"AChainEndingInAFolder",
                 {{"a.bin", "b.bin"}, {"b.bin", "sub/../sub/c.bin"}},
                 "sub/c.bin",
                 ""},
        LinkCase{"AbsoluteToAFileNotMadeYet", {{"link.bin", "/sub/d.bin"}}, "sub/d.bin", ""},
        LinkCase{"IntoAFolderThatIsNot",
                 {{"link.bin", "none/e.bin"}},
                 nullptr,
                 "No such file or directory"},
        LinkCase{"ALoop",
                 {{"a.bin", "b.bin"}, {"b.bin", "a.bin"}},
                 nullptr,
                 "Too many levels of symbolic links"}),
    kName);

// A name as long as a file name may be still leaves room for its temporary file's name.
TEST(SafeSave, TheLongestNameIsSavedToo) {
  TempDir dir;
  const std::string path = dir.Write(std::string(255, 'n'), PatternBytes(100, 1));
  const FileWriteResult result = WriteFileSafely(path, PatternBytes(100, 2));
  EXPECT_TRUE(result.Ok) << result.Reason;
  EXPECT_EQ(ReadFile(path), PatternBytes(100, 2));
  EXPECT_EQ(EntryCount(dir.path()), 1u);
}

}  // namespace
}  // namespace varnock
