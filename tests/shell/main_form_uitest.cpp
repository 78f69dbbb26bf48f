// The frame's commands driven through the real windows.
#include <sys/resource.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "palette/pal_form.h"
#include "shell/about_form.h"
#include "shell/help_window.h"
#include "support/app_fixture.h"
#include "support/document_bytes.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using Frame = AppTest;

std::vector<uint8_t> Image(size_t size, uint32_t seed = 1) {
  return PatternBytes(size, seed);
}

TEST_F(Frame, StartsEmptyWithOnlyOpenEnabled) {
  EXPECT_TRUE(MainForm->OpenSpdBtn->isEnabled());
  for (QToolButton* button : {MainForm->SaveSpdBtn, MainForm->ZoomInSpdBtn, MainForm->ZoomOutSpdBtn,
                              MainForm->GridSpdBtn})
    EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
  EXPECT_FALSE(MainForm->WindowMenu->menuAction()->isVisible());
  EXPECT_FALSE(PalForm->isVisible());
  EXPECT_EQ(MainForm->ActiveRom, nullptr);
  QStringList menus;
  for (QAction* menu : MainForm->menuBar()->actions())
    if (menu->isVisible()) menus << menu->text();
  EXPECT_EQ(menus, QStringList({QStringLiteral("&File"), QStringLiteral("&Aiuto")}));
}

struct EmptyCase {
  const char* name;
  int opened;  // windows opened, and their File menu opened, before all are closed
  void (*close)();
};

class EmptyStateTest : public AppTest, public ::testing::WithParamInterface<EmptyCase> {};

// With no ROM window the Window menu is gone and the File menu offers no Save As.
TEST_P(EmptyStateTest, HidesTheWindowMenuAndDisablesSaveAs) {
  for (int i = 0; i < GetParam().opened; ++i) {
    ASSERT_NE(Open(i == 0 ? "a.gb" : "b.gb", Image(32768, i)), nullptr);
    MainForm->FileMenu->popup(QPoint(0, 0));
    MainForm->FileMenu->hide();
    ASSERT_TRUE(MainForm->SaveAs1->isEnabled());
  }
  GetParam().close();
  QApplication::processEvents();
  ASSERT_EQ(MainForm->RomWindowCount(), 0);
  EXPECT_FALSE(MainForm->WindowMenu->menuAction()->isVisible());
  MainForm->FileMenu->popup(QPoint(0, 0));
  EXPECT_FALSE(MainForm->SaveAs1->isEnabled());
  EXPECT_FALSE(MainForm->Close1->isEnabled());
  MainForm->FileMenu->hide();
}

INSTANTIATE_TEST_SUITE_P(
    Frame, EmptyStateTest,
    ::testing::Values(EmptyCase{"AtStart", 0, [] {}},
                      EmptyCase{"AfterTheLastWindowClosed", 1, [] { MainForm->Close1Click(); }},
                      EmptyCase{"AfterCloseAll", 2, [] { MainForm->CloseAll1->trigger(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Frame, OpeningShowsTheWindowItsStatusAndTheToolWindows) {
  TChildForm* child = Open("GAME.gbc", Image(32768));
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->windowTitle(), QStringLiteral("GAME.gbc"));
  EXPECT_EQ(child->ClientSize(), QSize(400, 384));
  EXPECT_EQ(child->Doc.Zoom, 3);
  EXPECT_TRUE(child->ZoomItems[2]->isChecked());
  EXPECT_EQ(Panel(0), QStringLiteral("32K"));
  EXPECT_EQ(Panel(1), QStringLiteral("Offset: 00000150 (1%)"));
  EXPECT_EQ(Panel(2), QStringLiteral("Game Boy [2BPP]"));
  EXPECT_TRUE(PalForm->isVisible() && ClipForm->isVisible() && EditForm->isVisible());
  EXPECT_TRUE(MainForm->SaveSpdBtn->isEnabled());
  EXPECT_EQ(MainForm->ActiveRom, child);
  QStringList menus;
  for (QAction* menu : MainForm->menuBar()->actions())
    if (menu->isVisible()) menus << menu->text();
  EXPECT_EQ(menus, QStringList({"&File", "&Modifica", "&Vedi", "&Palette", "&Strumenti",
                                "&Finestra", "&Aiuto"}));
}

struct FailedOpen {
  const char* name;
  bool otherWindowOpen;
};

class FailedOpenTest : public AppTest, public ::testing::WithParamInterface<FailedOpen> {};

TEST_P(FailedOpenTest, ReportsAndEndsOnlyWhenNothingElseIsOpen) {
  TChildForm* other = nullptr;
  if (GetParam().otherWindowOpen) other = Open("other.nes", Image(40000));
  const QString missing = QString::fromStdString(dir.File("missing.gb"));
  MainForm->OpenRom(missing);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text,
            QStringLiteral("Error: Could not open the file '%1'.\nNo such file or directory")
                .arg(missing));
  EXPECT_EQ(prompts.Messages[0].Caption, QStringLiteral("Varnock Pro"));
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
  EXPECT_EQ(prompts.Messages[0].Buttons, PromptButtons::Ok);
  EXPECT_EQ(MainForm->TerminateRequested, !GetParam().otherWindowOpen);
  EXPECT_EQ(MainForm->RomWindowCount(), GetParam().otherWindowOpen ? 1 : 0);
  if (other) {
    EXPECT_EQ(MainForm->ActiveChild(), other);
  }
}

INSTANTIATE_TEST_SUITE_P(Frame, FailedOpenTest,
                         ::testing::Values(FailedOpen{"alone", false}, FailedOpen{"beside", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Frame, AFolderCannotBeOpenedAndSaysSo) {
  MainForm->OpenRom(QString::fromStdString(dir.path()));
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_TRUE(
      prompts.Messages[0].Text.startsWith(QStringLiteral("Error: Could not open the file")));
}

TEST_F(Frame, AFileOfTwoGigabytesGetsItsOwnMessage) {
  const std::string path = dir.File("huge.bin");
  { std::ofstream touch(path); }
  std::filesystem::resize_file(path, uint64_t{1} << 31);  // sparse: costs no disk
  MainForm->OpenRom(QString::fromStdString(path));
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_TRUE(prompts.Messages[0].Text.contains(QStringLiteral("2 GB or larger")))
      << prompts.Messages[0].Text.toStdString();
  EXPECT_EQ(MainForm->RomWindowCount(), 0);
}

TEST_F(Frame, SaveAsWithoutExtensionTakesTheCurrentOne) {
  TChildForm* child = Open("GAME.smc", Image(70000));
  ASSERT_NE(child, nullptr);
  prompts.FileNames.push_back(QString::fromStdString(dir.File("X")));
  MainForm->SaveAs1Click();
  ASSERT_EQ(prompts.FileDialogs.size(), 1u);
  EXPECT_EQ(prompts.FileDialogs[0].Title, QStringLiteral("Salva una ROM"));
  EXPECT_EQ(prompts.FileDialogs[0].Preset, QString::fromStdString(dir.File("GAME.smc")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("X.smc")));
  EXPECT_EQ(child->windowTitle(), QStringLiteral("X.smc"));
  EXPECT_EQ(child->Doc.RomPath, dir.File("X.smc"));
}

TEST_F(Frame, CtrlSSavesOnlyAModifiedWindowWhileTheButtonAlwaysSaves) {
  TChildForm* child = Open("game.bin", Image(4096));
  ASSERT_NE(child, nullptr);
  const std::string path = dir.File("game.bin");
  std::filesystem::remove(path);
  // The file is gone from disk: each save asks before writing it again.
  prompts.Answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  QTest::keyClick(child->View, Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(std::filesystem::exists(path)) << "Ctrl+S saved an unmodified window";
  child->Doc.Modified = true;
  QTest::keyClick(child->View, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_FALSE(child->Doc.Modified);
  std::filesystem::remove(path);
  MainForm->SaveSpdBtn->click();
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(Frame, CloseAllStopsAtTheFirstCancel) {
  TChildForm* first = Open("a.bin", Image(4096, 1));
  TChildForm* second = Open("b.bin", Image(4096, 2));
  TChildForm* third = Open("c.bin", Image(4096, 3));
  ASSERT_TRUE(first && second && third);
  second->Doc.Modified = true;
  prompts.Answers.push_back(PromptAnswer::Cancel);
  MainForm->CloseAll1->trigger();
  QApplication::processEvents();
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("Save changes to b.bin?"));
  EXPECT_EQ(prompts.Messages[0].Buttons, PromptButtons::YesNoCancel);
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Question);
  EXPECT_EQ(MainForm->RomWindows(), (QList<TChildForm*>{second, third}));
  EXPECT_TRUE(second->Doc.Modified);
  EXPECT_TRUE(PalForm->isVisible());
}

TEST_F(Frame, CloseAllThatSucceedsLeavesTheEmptyState) {
  ASSERT_NE(Open("a.bin", Image(4096, 1)), nullptr);
  ASSERT_NE(Open("b.bin", Image(4096, 2)), nullptr);
  MainForm->CloseAll1->trigger();
  QApplication::processEvents();
  EXPECT_EQ(MainForm->RomWindowCount(), 0);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Panel(i).isEmpty());
  EXPECT_FALSE(PalForm->isVisible() || ClipForm->isVisible() || EditForm->isVisible());
  EXPECT_FALSE(MainForm->SaveSpdBtn->isEnabled());
  EXPECT_EQ(MainForm->ActiveRom, nullptr);
}

TEST_F(Frame, AFailedSaveIsReportedAndKeepsTheChanges) {
  const std::vector<uint8_t> original = Image(65536);
  TChildForm* child = Open("game.bin", original);
  ASSERT_NE(child, nullptr);
  test::FlipByte(child->Doc, 100);
  child->Doc.Modified = true;
  {
    FullDisk full(1024);
    MainForm->Save1Click();
  }
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_TRUE(prompts.Messages[0].Text.contains(QString::fromStdString(dir.File("game.bin"))));
  EXPECT_EQ(prompts.Messages[0].Caption, QStringLiteral("Varnock Pro"));
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
  EXPECT_TRUE(child->Doc.Modified);
  EXPECT_EQ(ReadFile(dir.File("game.bin")), original);
}

TEST_F(Frame, YesToTheCloseQuestionWhenTheSaveFailsKeepsTheWindowAndStopsTheExit) {
  TChildForm* child = Open("game.bin", Image(65536));
  ASSERT_NE(child, nullptr);
  child->Doc.Modified = true;
  prompts.Answers.push_back(PromptAnswer::Yes);
  {
    FullDisk full(1024);
    MainForm->close();
  }
  QApplication::processEvents();
  EXPECT_EQ(MainForm->RomWindows(), QList<TChildForm*>{child});
  EXPECT_TRUE(child->Doc.Modified);
  EXPECT_TRUE(MainForm->isVisible());
  ASSERT_EQ(prompts.Messages.size(), 2u);  // the question, then the failure
}

TEST_F(Frame, ZoomButtonsStopAtTheLimitsAndMoveTheCheck) {
  TChildForm* child = Open("game.bin", Image(65536));
  ASSERT_NE(child, nullptr);
  for (int i = 0; i < 3; ++i) MainForm->ZoomInSpdBtn->click();
  EXPECT_EQ(child->Doc.Zoom, 4);
  EXPECT_TRUE(child->ZoomItems[3]->isChecked());
  EXPECT_EQ(child->ClientSize(), QSize(16 * 32 + 16, 16 * 32));
  for (int i = 0; i < 5; ++i) MainForm->ZoomOutSpdBtn->click();
  EXPECT_EQ(child->Doc.Zoom, 1);
  EXPECT_TRUE(child->ZoomItems[0]->isChecked());
  EXPECT_EQ(child->ClientSize(), QSize(16 * 8 + 16, 16 * 8));
}

TEST_F(Frame, ClosingTheLastWindowEmptiesTheStatusBar) {
  TChildForm* child = Open("game.bin", Image(4096));
  ASSERT_NE(child, nullptr);
  MainForm->Close1Click();
  QApplication::processEvents();
  EXPECT_EQ(MainForm->RomWindowCount(), 0);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Panel(i).isEmpty());
  EXPECT_FALSE(EditForm->isVisible());
}

}  // namespace
}  // namespace varnock::test

namespace varnock::test {
namespace {

TEST_F(Frame, DroppedFilesOpenInWindowsOfTheirOwn) {
  const std::string a = dir.Write("a.gb", PatternBytes(32768, 1));
  const std::string b = dir.Write("b.nes", PatternBytes(32768, 2));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)),
                QUrl::fromLocalFile(QString::fromStdString(b))});
  // As a file manager delivers it: the drag enters, then drops.
  QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(MainForm, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(MainForm, &drop);
  ASSERT_EQ(MainForm->RomWindowCount(), 2);
  EXPECT_EQ(MainForm->RomWindows()[0]->windowTitle(), QStringLiteral("a.gb"));
  EXPECT_EQ(MainForm->RomWindows()[1]->Doc.Format, 1);
}

TEST_F(Frame, F1ShowsTheHelpAtItsContents) {
  QApplication::setActiveWindow(MainForm);
  QTest::keyClick(MainForm, Qt::Key_F1);
  auto* help = MainForm->findChild<QTextBrowser*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->source().fragment(), QStringLiteral("contents"));
  EXPECT_TRUE(help->toPlainText().contains(QStringLiteral("Moving through the image")));
}

TEST_F(Frame, TheAboutBoxClosesWithItsButton) {
  QTimer::singleShot(0, [] { AboutForm->Button1->click(); });
  MainForm->About1->trigger();
  EXPECT_EQ(AboutForm->result(), QDialog::Accepted);
  EXPECT_EQ(AboutForm->windowTitle(), QStringLiteral("Info su Varnock Pro ITA"));
}

TEST_F(Frame, TheFirstWindowHandsItsPaletteToTheArranger) {
  TChildForm* first = Open("a.bin", PatternBytes(4096, 1));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(ClipForm->ArrangerPalette, first->Doc.Palette);
  EXPECT_EQ(ClipForm->ArrangerSurface.Colors[1], (SurfaceColor{99, 207, 99, 0}));
  ClipForm->ArrangerPalette[0] = MakeEntry(1, 2, 3);
  ASSERT_NE(Open("b.bin", PatternBytes(4096, 2)), nullptr);
  EXPECT_EQ(ClipForm->ArrangerPalette[0], MakeEntry(1, 2, 3)) << "only the first window hands it";
}

}  // namespace
}  // namespace varnock::test

namespace varnock::test {
namespace {

// Address space for this process capped a little above what it uses now.
class ScarceMemory {
 public:
  explicit ScarceMemory(rlim_t headroom) {
    getrlimit(RLIMIT_AS, &saved_);
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    statm >> pages;
    rlimit limit = saved_;
    limit.rlim_cur = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + headroom;
    setrlimit(RLIMIT_AS, &limit);
  }
  ~ScarceMemory() { setrlimit(RLIMIT_AS, &saved_); }

 private:
  rlimit saved_{};
};

TEST_F(Frame, NoMemoryForTheImageIsReportedAsSuch) {
  const std::string path = dir.File("big.bin");
  { std::ofstream touch(path); }
  std::filesystem::resize_file(path, uint64_t{1} << 30);  // sparse
  {
    ScarceMemory scarce(uint64_t{256} << 20);
    MainForm->OpenRom(QString::fromStdString(path));
  }
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text,
            QStringLiteral("Fatal error: Could not allocate memory for file."));
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
  EXPECT_TRUE(MainForm->TerminateRequested);
  EXPECT_EQ(MainForm->RomWindowCount(), 0);
}

TEST_F(Frame, TheHelpWindowClosesOnEsc) {
  MainForm->Contents1->trigger();
  auto* help = MainForm->findChild<HelpWindow*>();
  ASSERT_TRUE(help && help->isVisible());
  QTest::keyClick(help, Qt::Key_Escape);
  EXPECT_FALSE(help->isVisible());
}
}  // namespace
}  // namespace varnock::test
