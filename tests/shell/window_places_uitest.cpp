// What the tool windows, which stay on top of everything, leave uncovered: each other at their
// first places, new ROM and stream windows, and the dialogs (the real ones, not scripted).
#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QTimer>
#include <functional>

#include "compression/compression.h"
#include "palette/pal_form.h"
#include "shell/prompts.h"
#include "support/app_fixture.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

// The tool frames that `window` (a ROM window, in its client area, or a top-level one) covers.
QStringList ToolsCovering(const QWidget* window) {
  const QRect onScreen = window->isWindow()
                             ? window->frameGeometry()
                             : QRect(window->parentWidget()->mapToGlobal(window->pos()),
                                     window->frameGeometry().size());
  QStringList covered;
  for (const QWidget* tool : {static_cast<QWidget*>(PalForm), static_cast<QWidget*>(EditForm),
                              static_cast<QWidget*>(ClipForm)})
    if (tool->window()->frameGeometry().intersects(onScreen)) covered << tool->windowTitle();
  return covered;
}

using WindowPlaces = AppTest;

TEST_F(WindowPlaces, TheToolWindowsAtTheirFirstPlacesOverlapNoOther) {
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 1)), nullptr);
  const std::vector<std::pair<QWidget*, QPoint>> tools{
      {ClipForm, {545, 81}}, {EditForm, {545, 373}}, {PalForm, {545, 535}}};
  for (const auto& [tool, place] : tools) {
    EXPECT_TRUE(tool->window()->isVisible()) << tool->windowTitle().toStdString();
    EXPECT_EQ(tool->window()->pos(), place) << tool->windowTitle().toStdString();
    for (const auto& [other, unused] : tools) {
      if (other == tool) continue;
      EXPECT_FALSE(tool->window()->frameGeometry().intersects(other->window()->frameGeometry()))
          << tool->windowTitle().toStdString() << " covers " << other->windowTitle().toStdString();
    }
  }
}

TEST_F(WindowPlaces, NewRomAndStreamWindowsOpenWhereNoToolCoversThemOneStepApart) {
  std::vector<uint8_t> image = PatternBytes(0x8000, 3);
  std::ranges::copy(*Compress(CompressionFormat::Lz10, std::vector<uint8_t>(2048, 0x11)),
                    image.begin() + 0x400);
  QList<QPoint> places;
  for (const char* name : {"a.gba", "b.gba", "c.gba"}) {
    TChildForm* rom = Open(name, image);
    ASSERT_NE(rom, nullptr);
    EXPECT_EQ(ToolsCovering(rom), QStringList()) << name;
    EXPECT_FALSE(places.contains(rom->pos())) << name << " hides a caption";
    places << rom->pos();
  }
  TChildForm* stream = MainForm->ActiveChild()->OpenStreamWindow(0x400, CompressionFormat::Lz10);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ToolsCovering(stream), QStringList());
  EXPECT_FALSE(places.contains(stream->pos()));
}

TEST_F(WindowPlaces, WithoutRoomBesideTheToolsAWindowStaysWhereItOpened) {
  MainForm->showNormal();
  MainForm->setGeometry(560, 100, 300, 300);  // the client area lies under the tools
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 1)), nullptr);
  EXPECT_EQ(MainForm->ActiveChild()->pos(), QPoint(0, 0));
}

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
};

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
      covered = ToolsCovering(dialog);
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
    WindowPlaces, DialogPlaceTest,
    ::testing::Values(
        DialogCase{"MessageBox", [](TChildForm*) { ShowError(QStringLiteral("Couldn't load.")); }},
        DialogCase{"OpenStream", [](TChildForm* rom) { rom->OpenStream1->trigger(); }},
        DialogCase{"RomPalette", [](TChildForm* rom) { rom->LoadFromRom1->trigger(); }},
        DialogCase{"Goto", [](TChildForm* rom) { rom->Goto1->trigger(); }},
        DialogCase{"About", [](TChildForm*) { MainForm->About1->trigger(); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
