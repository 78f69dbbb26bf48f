// The files interrupted saves leave are found by the name of the file they belong to, and
// only those.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "io/save_temporaries.h"
#include "support/test_files.h"

namespace varnock {
namespace {

using test::TempDir;

struct LeftoverCase {
  const char* name;
  std::vector<std::string> beside;                               // planted beside home/g.bin
  std::vector<std::string> inTemporary;                          // planted in the temporary folder
  bool folderReadOnly;                                           // home/ lets nobody add a file
  std::vector<std::pair<std::string, SaveTemporaryKind>> found;  // where, from the test folder
  friend void PrintTo(const LeftoverCase& c, std::ostream* os) { *os << c.name; }
};

constexpr auto kNew = SaveTemporaryKind::Unfinished;
constexpr auto kOld = SaveTemporaryKind::OldContents;

class SaveLeftoversTest : public ::testing::TestWithParam<LeftoverCase> {};

TEST_P(SaveLeftoversTest, FindsWhatASaveOfThisFileLeft) {
  const LeftoverCase& c = GetParam();
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("home").c_str(), 0755) | ::mkdir(dir.File("tmp").c_str(), 0755), 0);
  dir.Write("home/g.bin", {1, 2, 3});
  // The file is opened through a link elsewhere: its leftovers are beside the file itself.
  ASSERT_EQ(::symlink("home/g.bin", dir.File("link.bin").c_str()), 0);
  for (const std::string& name : c.beside) dir.Write("home/" + name, {9});
  for (const std::string& name : c.inTemporary) dir.Write("tmp/" + name, {9});
  ASSERT_TRUE(!c.folderReadOnly || ::chmod(dir.File("home").c_str(), 0555) == 0);
  const char* was = std::getenv("TMPDIR");
  const std::string saved = was ? was : "";
  ::setenv("TMPDIR", dir.File("tmp").c_str(), 1);
  std::vector<SaveLeftover> leftovers = FindSaveLeftovers(dir.File("link.bin"));
  was ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");

  std::vector<std::pair<std::string, SaveTemporaryKind>> found;
  for (const SaveLeftover& leftover : leftovers)
    found.emplace_back(leftover.Path.substr(dir.path().size() + 1), leftover.Kind);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, c.found);
}

INSTANTIATE_TEST_SUITE_P(
    SafeSave, SaveLeftoversTest,
    ::testing::Values(LeftoverCase{"BothKinds",
                                   {".g.bin.varnock-save-Ab12Cd", ".g.bin.varnock-old-zz9YY8"},
                                   {},
                                   false,
                                   {{"home/.g.bin.varnock-old-zz9YY8", kOld},
                                    {"home/.g.bin.varnock-save-Ab12Cd", kNew}}},
                      // Another file's, the link's own, or not mkstemp's six characters.
                      LeftoverCase{"NotThisFilesOnes",
                                   {".h.bin.varnock-save-Ab12Cd", ".g.bin2.varnock-old-Ab12Cd",
                                    ".link.bin.varnock-save-Ab12Cd", "g.bin.varnock-save-Ab12Cd",
                                    ".g.bin.varnock-save-Ab12C", ".g.bin.varnock-save-Ab12Cd7",
                                    ".g.bin.varnock-save-Ab-2Cd"},
                                   {},
                                   false,
                                   {}},
                      LeftoverCase{"OldCopyInTheTemporaryFolder",
                                   {},
                                   {".g.bin.varnock-old-Ab12Cd", ".g.bin.varnock-save-Ab12Cd"},
                                   true,
                                   {{"tmp/.g.bin.varnock-old-Ab12Cd", kOld}}},
                      LeftoverCase{"TemporaryFolderUnusedWhileTheFolderTakesFiles",
                                   {},
                                   {".g.bin.varnock-old-Ab12Cd"},
                                   false,
                                   {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock
