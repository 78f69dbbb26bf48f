// The three tool windows as a user meets them: keys reach what the user is looking at, the
// menus' shortcuts work from them, one closed by the window manager comes back (with the next
// ROM window, back in the frame, from the Window menu), hints show while another window is
// active, and the caption moves the window.
#include <QMdiArea>
#include <QTest>
#include <QToolTip>

#include "palette/pal_form.h"
#include "shell/tool_window_frame.h"
#include "support/activation.h"
#include "support/app_fixture.h"
#include "support/document_bytes.h"
#include "support/drops.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using Window = QWidget* (*)();
const Window kPalette = [] { return static_cast<QWidget*>(PalForm); };
const Window kEditor = [] { return static_cast<QWidget*>(EditForm); };
const Window kArranger = [] { return static_cast<QWidget*>(ClipForm); };
const Window kFrame = [] { return static_cast<QWidget*>(MainForm); };

// A key pressed where Qt sends it: the focus widget of the active window.
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}

std::vector<uint8_t> Bytes(const TChildForm* rom, int32_t offset, int32_t count) {
  return {rom->Doc.RomData + offset, rom->Doc.RomData + offset + count};
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
  ASSERT_TRUE(OpenAndPick() && EditForm->BoundTile);
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
}

INSTANTIATE_TEST_SUITE_P(
    ToolWindows, EditorKeyTest,
    ::testing::Values(EditorKeyCase{"ShiftLeft", false, Qt::Key_Left, Qt::ShiftModifier, -1, 0},
                      EditorKeyCase{"TabThenShiftDown", true, Qt::Key_Down, Qt::ShiftModifier, 0,
                                    1},
                      EditorKeyCase{"TabThenSpace", true, Qt::Key_Space, Qt::NoModifier, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct UndoKeyCase {
  const char* name;
  Window window;
  bool editAfterTheDrop;
  bool dropUndone, editUndone;
};

class UndoKeyTest : public ToolWindows, public ::testing::WithParamInterface<UndoKeyCase> {};

// Ctrl+Z after an arranger drop, from the window that kept the focus.
TEST_P(UndoKeyTest, CtrlZIsTheUndoTheUserIsLookingAt) {
  const UndoKeyCase& c = GetParam();
  TChildForm* rom = OpenAndPick();
  ASSERT_TRUE(rom && EditForm->BoundTile);
  const int32_t picked = EditForm->BoundOffset, dropped = rom->Doc.ViewOffset + 3 * 16;
  const std::vector<uint8_t> underDrop = Bytes(rom, dropped, 16), unedited = Bytes(rom, picked, 16);
  ASSERT_TRUE(DropTileAt(rom->View, QPoint(3 * 24 + 4, 4)));
  if (c.editAfterTheDrop) EditForm->SpeedButton1->click();
  const std::vector<uint8_t> dropped16 = Bytes(rom, dropped, 16), edited = Bytes(rom, picked, 16);
  ASSERT_NE(dropped16, underDrop);
  Activate(c.window(), ActivationOrder::NewFirst);
  PressKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Bytes(rom, dropped, 16), c.dropUndone ? underDrop : dropped16);
  EXPECT_EQ(Bytes(rom, picked, 16), c.editUndone ? unedited : edited);
}

INSTANTIATE_TEST_SUITE_P(
    ToolWindows, UndoKeyTest,
    ::testing::Values(UndoKeyCase{"Arranger", kArranger, false, true, false},
                      UndoKeyCase{"PaletteEditor", kPalette, false, true, false},
                      UndoKeyCase{"EditorAfterAnEdit", kEditor, true, false, true},
                      UndoKeyCase{"EditorWithNothingToUndo", kEditor, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Ctrl+S runs the File menu's opening first: an unmodified window is not written, from any
// window the user is in.
TEST_F(ToolWindows, CtrlSSavesOnlyAModifiedWindowFromEveryWindow) {
  TChildForm* rom = Open("game.bin", PatternBytes(4096, 3));
  ASSERT_NE(rom, nullptr);
  const std::string path = dir.File("game.bin");
  for (Window window : {kFrame, kPalette, kEditor, kArranger}) {
    // Bytes the file lacks, with the mark taken off: Ctrl+S goes by the mark alone.
    test::FlipByte(rom->Doc, 0);
    rom->Doc.Modified = false;
    const std::vector<uint8_t> onDisk = ReadFile(path);
    Activate(window(), ActivationOrder::NewFirst);
    PressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(path), onDisk) << "saved though not modified";
    rom->Doc.Modified = true;
    PressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(path), Bytes(rom, 0, 4096)) << "not saved though modified";
    EXPECT_FALSE(rom->Doc.Modified);
  }
  EXPECT_TRUE(prompts.Messages.empty());
}

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

struct ComebackCase {
  const char* name;
  Window tool;
  // The Window menu's item that brings it back; none: the frame is activated instead.
  QAction* TMainForm::*item;
  ActivationOrder order;
  bool romOpen, shown;
};

class ComebackTest : public ToolWindows, public ::testing::WithParamInterface<ComebackCase> {};

TEST_P(ComebackTest, AToolWindowTheWindowManagerClosedComesBack) {
  const ComebackCase& c = GetParam();
  TChildForm* rom = Open("a.gb", PatternBytes(32768, 1));
  ASSERT_NE(rom, nullptr);
  if (!c.romOpen) MainForm->CloseAll1->trigger();
  Activate(c.tool(), ActivationOrder::NewFirst);
  c.tool()->window()->close();  // what the window manager's close does
  ASSERT_FALSE(c.tool()->isVisible());
  if (c.item)
    (MainForm->*c.item)->trigger();
  else
    Activate(MainForm, c.order);
  Settle();
  EXPECT_EQ(c.tool()->isVisible(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    ToolWindows, ComebackTest,
    ::testing::Values(ComebackCase{"EditorFromTheMenu", kEditor, &TMainForm::ShowTileEditor1,
                                   ActivationOrder::NewFirst, true, true},
                      ComebackCase{"ArrangerFromTheMenu", kArranger, &TMainForm::ShowTileArranger1,
                                   ActivationOrder::NewFirst, true, true},
                      ComebackCase{"PaletteEditorFromTheMenu", kPalette,
                                   &TMainForm::ShowEditorPalette1, ActivationOrder::NewFirst, true,
                                   true},
                      ComebackCase{"ArrangerBackToTheFrame", kArranger, nullptr,
                                   ActivationOrder::NewFirst, true, true},
                      ComebackCase{"EditorBackToTheFrameOldFirst", kEditor, nullptr,
                                   ActivationOrder::OldFirst, true, true},
                      ComebackCase{"NoneWithoutARomWindow", kPalette, nullptr,
                                   ActivationOrder::NewFirst, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

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

struct CaptionClickCase {
  const char* name;
  bool dragged;          // the pointer moves with the button held before the release
  bool systemTakesOver;  // the window system's move takes the drag when asked
  int systemMoves;       // how often it is asked
  QPoint moved;          // how far the caption itself moved the window
};

class CaptionClickTest : public ToolWindows,
                         public ::testing::WithParamInterface<CaptionClickCase> {};

// The window system is asked to move a window only while the button is held: asked after a
// tap's release, a window manager would keep the window on the pointer until the next click.
TEST_P(CaptionClickTest, AReleaseEndsTheDragWhateverItsTiming) {
  const CaptionClickCase& c = GetParam();
  ASSERT_NE(Open("game.gb", PatternBytes(32768, 7)), nullptr);
  int asked = 0;
  const auto real = ToolCaption::SystemMove;
  ToolCaption::SystemMove = [&](QWindow*) { return ++asked, c.systemTakesOver; };
  QWidget* frame = EditForm->window();
  auto* caption = frame->findChild<ToolCaption*>();
  ASSERT_NE(caption, nullptr);
  const QPoint before = frame->pos();
  QTest::mousePress(caption, Qt::LeftButton, {}, QPoint(40, 8));
  if (c.dragged) QTest::mouseMove(caption, QPoint(50, 18));
  QTest::mouseRelease(caption, Qt::LeftButton, {}, QPoint(50, 18));
  QTest::mouseMove(caption, QPoint(90, 8));  // no button: nothing follows the pointer
  ToolCaption::SystemMove = real;
  EXPECT_EQ(asked, c.systemMoves);
  EXPECT_EQ(frame->pos(), before + c.moved);
}

INSTANTIATE_TEST_SUITE_P(
    ToolWindows, CaptionClickTest,
    ::testing::Values(CaptionClickCase{"Tap", false, true, 0, {}},
                      CaptionClickCase{"DragTheSystemMoves", true, true, 1, {}},
                      CaptionClickCase{"DragTheCaptionMoves", true, false, 1, {10, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace varnock::test
