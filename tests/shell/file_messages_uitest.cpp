// What the user is told when a file cannot be opened, and what the open dialog offers.
#include <sys/stat.h>

#include <QStringList>
#include <functional>

#include "support/app_fixture.h"

namespace varnock::test {
namespace {

struct OpenFailureCase {
  const char* name;
  std::function<std::string(const TempDir&)> make;  // the path the user asks for
  const char* reason;
};
void PrintTo(const OpenFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class OpenFailureTest : public AppTest, public ::testing::WithParamInterface<OpenFailureCase> {};

TEST_P(OpenFailureTest, TheMessageSaysWhyOnItsSecondLine) {
  const OpenFailureCase& c = GetParam();
  const QString path = QString::fromStdString(c.make(dir));
  MainForm->OpenRom(path);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text,
            QStringLiteral("Error: Could not open the file '%1'.\n%2").arg(path, c.reason));
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
  EXPECT_EQ(MainForm->RomWindowCount(), 0);
}

std::string Folder(const TempDir& d) {
  ::mkdir(d.File("roms.nes").c_str(), 0755);
  return d.File("roms.nes");
}
std::string Pipe(const TempDir& d) {
  ::mkfifo(d.File("pipe.gb").c_str(), 0600);
  return d.File("pipe.gb");
}

const OpenFailureCase kOpenFailures[] = {
    {"Missing", [](const TempDir& d) { return d.File("a.nes"); }, "No such file or directory"},
    {"Folder", Folder, "It is a folder."},
    {"NamedPipe", Pipe, "It is not a regular file."},
    {"Device", [](const TempDir&) { return std::string("/dev/null"); },
     "It is not a regular file."},
};

INSTANTIATE_TEST_SUITE_P(Frame, OpenFailureTest, ::testing::ValuesIn(kOpenFailures),
                         [](const auto& info) { return std::string(info.param.name); });

using FileMessages = AppTest;

TEST_F(FileMessages, ABadPaletteBesideTheRomIsNamed) {
  dir.Write("game.VRK", PatternBytes(64, 2));
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 1)), nullptr);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text,
            QStringLiteral("Error: Palette is not a valid Varnock Pro palette.\n%1")
                .arg(QString::fromStdString(dir.File("game.VRK"))));
}

// Files an interrupted save left beside the ROM are named, with what each holds, once the
// window is open; another file's leftovers are not.
TEST_F(FileMessages, LeftoversOfAnInterruptedSaveAreNamed) {
  dir.Write(".game.gb.varnock-old-AbC123", PatternBytes(16, 3));
  dir.Write(".game.gb.varnock-save-Zz9876", PatternBytes(16, 3));
  dir.Write(".other.gb.varnock-save-Zz9876", PatternBytes(16, 3));
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 1)), nullptr);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  const QString rom = QString::fromStdString(dir.File("game.gb"));
  const QString folder = QString::fromStdString(dir.path());
  // One paragraph each, so that a long name that wraps does not run into the next.
  const QStringList lines = prompts.Messages[0].Text.split(QStringLiteral("\n\n"));
  ASSERT_EQ(lines.size(), 3) << prompts.Messages[0].Text.toStdString();
  EXPECT_EQ(lines[0], QStringLiteral("An interrupted save of '%1' left files behind:").arg(rom));
  EXPECT_TRUE(lines.contains(
      QStringLiteral("'%1/.game.gb.varnock-old-AbC123' holds the contents '%2' had before an "
                     "interrupted write, which may have left it partly new.")
          .arg(folder, rom)));
  EXPECT_TRUE(lines.contains(
      QStringLiteral("'%1/.game.gb.varnock-save-Zz9876' is a partial file left by an interrupted "
                     "save of '%2': it is safe to delete.")
          .arg(folder, rom)));
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Information);
  EXPECT_EQ(prompts.Messages[0].Buttons, PromptButtons::Ok);
}

// The names dumps carry today sit in "Tutti i tipi supportati" and in their console's entry.
TEST_F(FileMessages, TheOpenDialogOffersTodaysExtensions) {
  prompts.FileNames.push_back(std::nullopt);
  MainForm->Open1Click();
  ASSERT_EQ(prompts.FileDialogs.size(), 1u);
  const QStringList parts = prompts.FileDialogs[0].Filter.split(QLatin1Char('|'));
  const auto patterns = [&](const char* description) {
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
      if (parts[i].startsWith(QString::fromUtf8(description)))
        return QString(parts[i + 1]).remove(QLatin1Char(' ')).remove(QLatin1Char(')')).split(';');
    return QStringList();
  };
  for (const auto& [pattern, console] : {std::pair{"*.SFC", "SNES ("},
                                         {"*.GEN", "Genesis ("},
                                         {"*.MD", "Genesis ("},
                                         {"*.GG", "SMS ("},
                                         {"*.NGC", "NGPC ("}}) {
    EXPECT_TRUE(patterns(console).contains(QString::fromUtf8(pattern))) << pattern;
    EXPECT_TRUE(patterns("Tutti i tipi supportati").contains(QString::fromUtf8(pattern)))
        << pattern;
  }
}

}  // namespace
}  // namespace varnock::test
