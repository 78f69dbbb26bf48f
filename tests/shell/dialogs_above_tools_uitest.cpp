// The real message boxes and file and colour dialogs and the program's own dialogs (no scripted
// answers): they must come above the tool windows, which stay on top of everything else, and
// clear of them where the screen has room.
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QTimer>
#include <functional>

#include "shell/help_window.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

class RealDialogs : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    SetPrompts(nullptr);
  }
  void TearDown() override {
    SetPrompts(&prompts);
    AppTest::TearDown();
  }
  // Runs `ask` while a timer, at the first turn of the dialog's loop, notes whether the dialog
  // stays on top and then closes it through `close` (which may answer it).
  bool StaysOnTop(
      const std::function<void()>& ask,
      const std::function<void(QDialog*)>& close = [](QDialog* d) { d->reject(); }) {
    bool onTop = false;
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      seen = true;
      onTop = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      close(dialog);
    });
    ask();
    EXPECT_TRUE(seen) << "no dialog came up";
    return onTop;
  }
};

TEST_F(RealDialogs, MessageBoxesAndDialogsComeAboveTheToolWindows) {
  ASSERT_NE(Open("a.gb", PatternBytes(32768, 1)), nullptr);
  const FileDialogInfo info{QStringLiteral("Apri"), QStringLiteral("Tutti i file|*.*"), QString(),
                            false, false};
  EXPECT_TRUE(StaysOnTop([] { ShowError(QStringLiteral("Couldn't load palette.")); }));
  EXPECT_TRUE(StaysOnTop([&] { CurrentPrompts().OpenFileName(info, QString()); }));
  EXPECT_TRUE(StaysOnTop([&] { CurrentPrompts().SaveFileName(info, QString()); }));
  EXPECT_TRUE(StaysOnTop([] { CurrentPrompts().ChooseColor(Qt::red); }));
}

// The help is read beside the work, so it keeps clear of the tools without staying on top.
TEST_F(RealDialogs, TheHelpOpensClearOfTheToolWindowsWhereverItWasLeft) {
  ASSERT_NE(Open("game.gba", PatternBytes(0x8000, 2)), nullptr);
  // First where it opens by itself, then where the user left it, over the tools.
  for (const QPoint left : {QPoint(0, 0), QPoint(400, 0)}) {
    if (auto* help = MainForm->findChild<HelpWindow*>()) help->move(left);
    MainForm->Contents1->trigger();
    auto* help = MainForm->findChild<HelpWindow*>();
    ASSERT_TRUE(help && help->isVisible());
    EXPECT_FALSE(help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(ToolWindowsCovering(help->frameGeometry()), QStringList()) << left.x();
    help->close();
  }
}

struct DialogCase {
  const char* name;
  std::function<void(TChildForm*)> open;
};

class DialogPlaceTest : public RealDialogs, public ::testing::WithParamInterface<DialogCase> {};

// A dialog centres itself over the frame, which lies over the tools here.
TEST_P(DialogPlaceTest, OpensInFrontOfTheToolsAndClearOfThem) {
  MainForm->showNormal();
  MainForm->setGeometry(450, 100, 450, 450);
  TChildForm* rom = Open("game.gba", PatternBytes(0x8000, 2));
  ASSERT_NE(rom, nullptr);
  QStringList covered;
  bool seen = false, onTop = false;
  const auto take = [&] {
    if (seen) return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QDialog*>(window);
      if (!dialog || !dialog->isVisible()) continue;
      seen = true;
      onTop = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      covered = ToolWindowsCovering(dialog->frameGeometry());
      dialog->reject();
    }
  };
  // A dialog with a loop of its own is up at the loop's first turn, one without when it returns.
  QTimer firstTurn;
  firstTurn.setSingleShot(true);
  QObject::connect(&firstTurn, &QTimer::timeout, take);
  firstTurn.start(0);
  GetParam().open(rom);
  take();
  ASSERT_TRUE(seen) << "no dialog came up";
  EXPECT_TRUE(onTop);
  EXPECT_EQ(covered, QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    RealDialogs, DialogPlaceTest,
    ::testing::Values(
        DialogCase{"MessageBox", [](TChildForm*) { ShowError(QStringLiteral("Couldn't load.")); }},
        DialogCase{"OpenStream", [](TChildForm* rom) { rom->OpenStream1->trigger(); }},
        DialogCase{"RomPalette", [](TChildForm* rom) { rom->LoadFromRom1->trigger(); }},
        DialogCase{"Goto", [](TChildForm* rom) { rom->Goto1->trigger(); }},
        DialogCase{"About", [](TChildForm*) { MainForm->About1->trigger(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
