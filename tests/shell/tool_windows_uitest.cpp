// The three tool windows as a user meets them: keys reach what the user is looking at, the
// menus' shortcuts work from them, a window closed by the window manager comes back, and the
// hints show without the window being active.
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

using ToolWindows = AppTest;

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
