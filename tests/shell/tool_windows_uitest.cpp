// The three tool windows as a user meets them: keys reach what the user is
// looking at, the menus' shortcuts work from them, a window closed by the
// window manager comes back, and the hints show without the window being
// active.
#include <QMdiArea>
#include <QTest>
#include <QToolTip>
#include <filesystem>

#include "codec/tile_codec.h"
#include "palette/pal_form.h"
#include "shell/tool_window_frame.h"
#include "support/activation.h"
#include "support/app_fixture.h"
#include "support/drops.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using Window = QWidget* (*)();
const Window kPalette = [] { return static_cast<QWidget*>(PalForm); };
const Window kEditor = [] { return static_cast<QWidget*>(EditForm); };
const Window kArranger = [] { return static_cast<QWidget*>(ClipForm); };

// A key pressed where Qt sends it: the focus widget of the active window.
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}

class ToolWindows : public AppTest {
 protected:
  // A Game Boy image with its tile in view cell (1, 1) picked for the editor.
  TChildForm* OpenAndPick() {
    TChildForm* rom = Open("game.gb", PatternBytes(32768, 7));
    if (rom) QTest::mouseClick(rom->View, Qt::LeftButton, {}, QPoint(24 + 4, 24 + 4));
    return rom;
  }
};

struct EditorKeyCase {
  const char* name;
  bool tabFirst;  // Tab would move the focus to a button, if one took it
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  int shiftRight, shiftDown;  // where each pixel moves, wrapping around
};

class EditorKeyTest : public ToolWindows, public ::testing::WithParamInterface<EditorKeyCase> {};

TEST_P(EditorKeyTest, KeysInTheActiveEditorShiftTheTileAndPressNoButton) {
  const EditorKeyCase& c = GetParam();
  TChildForm* rom = OpenAndPick();
  ASSERT_TRUE(rom && EditForm->BoundTile);
  const std::vector<uint8_t> before = EditForm->EditSurface.Pixels;
  Activate(EditForm, ActivationOrder::NewFirst);
  if (c.tabFirst) PressKey(Qt::Key_Tab);
  PressKey(c.key, c.modifiers);
  std::vector<uint8_t> expected(64);
  for (int r = 0; r < 8; ++r)
    for (int col = 0; col < 8; ++col)
      expected[((r + c.shiftDown + 8) % 8) * 8 + (col + c.shiftRight + 8) % 8] =
          before[r * 8 + col];
  EXPECT_EQ(EditForm->EditSurface.Pixels, expected);
  TileSurface tile;
  SetUpTileSurface(tile, 1, 1);
  tile.DecodeFormat = rom->Doc.Format;
  tile.DecodeTileBytes = rom->Doc.TileBytes;
  DecodeTiles(rom->Doc.BytesFrom(EditForm->BoundOffset), tile);
  EXPECT_EQ(tile.Pixels, expected) << "what the editor shows is in the image";
}

INSTANTIATE_TEST_SUITE_P(
    ToolWindows, EditorKeyTest,
    ::testing::Values(EditorKeyCase{"ShiftLeft", false, Qt::Key_Left, Qt::ShiftModifier, -1, 0},
                      EditorKeyCase{"TabThenShiftDown", true, Qt::Key_Down, Qt::ShiftModifier, 0,
                                    1},
                      EditorKeyCase{"TabThenSpace", true, Qt::Key_Space, Qt::NoModifier, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolWindows, AToolWindowClosedByTheWindowManagerComesBackWithTheNextRomWindow) {
  TChildForm* first = Open("a.gb", PatternBytes(32768, 1));
  TChildForm* second = Open("b.gb", PatternBytes(32768, 2));
  ASSERT_TRUE(first && second);
  for (Window tool : {kPalette, kEditor, kArranger}) {
    tool()->window()->close();  // what the window manager's close does
    ASSERT_FALSE(tool()->isVisible());
    MainForm->MdiArea->setActiveSubWindow(MainForm->ActiveChild() == first ? second : first);
    EXPECT_TRUE(tool()->isVisible());
  }
}

TEST_F(ToolWindows, HintsShowOnHoverWhileAnotherWindowIsActive) {
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 7)), nullptr);
  QApplication::processEvents();
  Activate(MainForm, ActivationOrder::NewFirst);
  QWidget* frame = EditForm->window();
  const QPoint button =
      EditForm->SpeedButton1->mapTo(frame, EditForm->SpeedButton1->rect().center());
  QTest::mouseMove(frame->windowHandle(), button - QPoint(2, 2));  // the pointer arrives
  QTest::mouseMove(frame->windowHandle(), button);                 // and rests
  EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 3000));
  EXPECT_EQ(QToolTip::text(), QStringLiteral("Ribalta orizzontalmente"));
  EXPECT_EQ(QApplication::activeWindow(), MainForm);
}

// Without a window manager's title bar, the caption moves the window.
TEST_F(ToolWindows, DraggingTheCaptionMovesTheWindow) {
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 7)), nullptr);
  QWidget* frame = ClipForm->window();
  auto* caption = frame->findChild<ToolCaption*>();
  ASSERT_NE(caption, nullptr);
  const QPoint before = frame->pos();
  QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(40, 8));
  QTest::mouseMove(caption, QPoint(100, 38));
  QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(100, 38));
  EXPECT_EQ(frame->pos(), before + QPoint(60, 30));
}

}  // namespace
}  // namespace varnock::test
