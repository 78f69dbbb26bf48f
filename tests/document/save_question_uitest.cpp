// Saving from the frame: a file changed on disk is overwritten only when the user agrees, and
// a read-only file is refused with its reason.
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "support/app_fixture.h"

namespace varnock::test {
namespace {

struct SaveCase {
  const char* name;
  std::function<void(const std::string& path)> outside;  // what another program did
  bool saveAs;                                           // Save As to a new name instead
  std::vector<PromptAnswer> answers;
  const char* message;  // the one message expected, "%1" for the path; null for none
  bool written;
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
    {"ReadOnly",
     [](const std::string& p) { ::chmod(p.c_str(), 0444); },
     false,
     {},
     "Error: Could not save the file '%1'.\nThe file is read-only.",
     false},
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
  child->Doc.RomData[0x1000] ^= 0xFF;
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
    ASSERT_EQ(prompts.Messages.size(), 1u);
    const RecordedMessage& message = prompts.Messages[0];
    EXPECT_EQ(message.Text, QString::fromUtf8(c.message).arg(QString::fromStdString(path)));
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
