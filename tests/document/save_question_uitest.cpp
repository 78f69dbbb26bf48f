// Saving from the frame: a file changed on disk is overwritten only when the user agrees, and
// a read-only file is refused with its reason.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "support/app_fixture.h"
#include "support/document_bytes.h"

namespace varnock::test {
namespace {

struct SaveCase {
  const char* name;
  std::function<void(const std::string& path)> outside;  // what another program did
  bool saveAs;                                           // Save As to a new name instead
  std::vector<PromptAnswer> answers;
  // The last message expected, "%1" for the path and "%2" for its folder; null for none.
  const char* message;
  bool written;
  bool askedFirst = false;  // the changed-on-disk question comes before that message
};
void PrintTo(const SaveCase& c, std::ostream* os) {
  *os << c.name;
}

// Another file of the same size takes the name; its time is set apart, since the clock that
// stamps files may not have moved since the open.
void Rewrite(const std::string& path) {
  std::filesystem::remove(path);
  std::filesystem::copy_file(path + ".other", path);
  const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

const char* const kChanged = "The file '%1' has changed on disk since it was opened. Overwrite it?";

// Another program writes into the file where it is and sets its times back, as `touch -r`
// does: only the status change time shows it.
void RewriteInPlaceKeepingTimes(const std::string& path) {
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  const std::vector<uint8_t> other = ReadFile(path + ".other");
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, other.data(), other.size(), 0), static_cast<ssize_t>(other.size()));
  ::close(fd);
  const struct timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

const SaveCase kSaveCases[] = {
    {"Unchanged", [](const std::string&) {}, false, {}, nullptr, true},
    {"ChangedYes", Rewrite, false, {PromptAnswer::Yes}, kChanged, true},
    {"ChangedNo", Rewrite, false, {PromptAnswer::No}, kChanged, false},
    {"DeletedYes",
     [](const std::string& p) { std::filesystem::remove(p); },
     false,
     {PromptAnswer::Yes},
     kChanged,
     true},
    {"SaveAsNewNameAsksNothing", Rewrite, true, {}, nullptr, true},
    {"RewrittenInPlaceTimesKeptNo",
     RewriteInPlaceKeepingTimes,
     false,
     {PromptAnswer::No},
     kChanged,
     false},
    // A new mode is a change of the file's status too, so the question comes first.
    {"ReadOnly",
     [](const std::string& p) { ::chmod(p.c_str(), 0444); },
     false,
     {PromptAnswer::Yes},
     "Error: Could not save the file '%1'.\nThe file is read-only.",
     false,
     true},
    // No new file may go into the folder, but the file may be written where it is.
    {"ReadOnlyFolder",
     [](const std::string& p) { ::chmod(p.substr(0, p.rfind('/')).c_str(), 0555); },
     false,
     {},
     nullptr,
     true},
};

class SaveQuestionTest : public AppTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveQuestionTest, AsksOnlyWhenTheFileChangedAndKeepsEditsOnNo) {
  const SaveCase& c = GetParam();
  TChildForm* child = Open("game.gb", PatternBytes(32768, 1));
  ASSERT_NE(child, nullptr);
  const std::string path = dir.File("game.gb");
  const std::vector<uint8_t> other = PatternBytes(32768, 2);
  dir.Write("game.gb.other", other);
  c.outside(path);
  const bool existed = std::filesystem::exists(path);
  const std::vector<uint8_t> onDisk = existed ? ReadFile(path) : std::vector<uint8_t>{};
  test::FlipByte(child->Doc, 0x1000);
  child->Doc.Modified = true;
  prompts.Answers.assign(c.answers.begin(), c.answers.end());
  const std::string target = c.saveAs ? dir.File("new.gb") : path;
  if (c.saveAs) {
    prompts.FileNames.push_back(QString::fromStdString(target));
    MainForm->SaveAs1Click();
  } else {
    MainForm->SaveSpdBtn->click();
  }
  if (c.message) {
    ASSERT_EQ(prompts.Messages.size(), c.askedFirst ? 2u : 1u);
    const QString shown = QString::fromStdString(path);
    if (c.askedFirst) {
      EXPECT_EQ(prompts.Messages[0].Text, QString::fromUtf8(kChanged).arg(shown));
    }
    const RecordedMessage& message = prompts.Messages.back();
    EXPECT_EQ(message.Text, QString::fromUtf8(c.message)
                                .replace(QStringLiteral("%1"), shown)
                                .replace(QStringLiteral("%2"), QString::fromStdString(dir.path())));
    EXPECT_EQ(message.Caption, QStringLiteral("Varnock Pro"));
    const bool question = c.message == kChanged;
    EXPECT_EQ(message.Buttons, question ? PromptButtons::YesNo : PromptButtons::Ok);
    EXPECT_EQ(message.Icon, question ? PromptIcon::Question : PromptIcon::Stop);
  } else {
    EXPECT_TRUE(prompts.Messages.empty());
  }
  EXPECT_EQ(child->Doc.Modified, !c.written);
  if (c.written) {
    EXPECT_EQ(ReadFile(target),
              std::vector<uint8_t>(child->Doc.RomData, child->Doc.RomData + child->Doc.RomSize));
    // What was saved is the known file now: saving again asks nothing.
    prompts.Messages.clear();
    child->Doc.Modified = true;
    MainForm->SaveSpdBtn->click();
    EXPECT_TRUE(prompts.Messages.empty());
    EXPECT_FALSE(child->Doc.Modified);
  } else {
    EXPECT_EQ(std::filesystem::exists(path), existed);
    if (existed) {
      EXPECT_EQ(ReadFile(path), onDisk);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Frame, SaveQuestionTest, ::testing::ValuesIn(kSaveCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
