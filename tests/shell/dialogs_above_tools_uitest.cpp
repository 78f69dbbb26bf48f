// The real message boxes and file and colour dialogs (no scripted answers): they must come
// above the tool windows, which stay on top of everything else.
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QTimer>

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

}  // namespace
}  // namespace varnock::test
