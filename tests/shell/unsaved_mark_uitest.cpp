// What a ROM window shows of its unsaved changes: an asterisk after its caption from the first
// change until a save, and the status bar's word that the save happened.
#include <QStatusBar>
#include <QTest>

#include "support/app_fixture.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

class UnsavedMark : public AppTest {
 protected:
  // A Game Boy image with the tile in cell (1, 1) picked for the editor.
  TChildForm* OpenAndPick(const char* name = "game.gb") {
    TChildForm* child = Open(name, PatternBytes(32768, 3));
    if (child) QTest::mouseClick(child->View, Qt::LeftButton, {}, QPoint(24 + 4, 24 + 4));
    return child;
  }
  QString Message() const { return MainForm->statusBar()->currentMessage(); }
};

struct ChangeCase {
  const char* name;
  void (*change)(TChildForm*);
  friend void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }
};

class ChangeTest : public UnsavedMark, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangeTest, TheFirstChangeMarksTheCaptionAndTheSaveClearsIt) {
  TChildForm* child = OpenAndPick();
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->windowTitle(), QStringLiteral("game.gb"));
  GetParam().change(child);
  EXPECT_EQ(child->windowTitle(), QStringLiteral("game.gb*"));
  EditForm->SpeedButton4->click();  // undo puts bytes back, but the image stays changed
  EXPECT_EQ(child->windowTitle(), QStringLiteral("game.gb*"));
  QTest::keyClick(child->View, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(child->windowTitle(), QStringLiteral("game.gb"));
  EXPECT_EQ(Message(), QStringLiteral("Saved game.gb."));
  EXPECT_TRUE(QTest::qWaitFor([this] { return Message().isEmpty(); }, 5000)) << "for two seconds";
}

INSTANTIATE_TEST_SUITE_P(
    Frame, ChangeTest,
    ::testing::Values(ChangeCase{"pen_stroke",
                                 [](TChildForm*) {
                                   QTest::mouseClick(EditForm, Qt::LeftButton, {}, QPoint(5, 5));
                                 }},
                      ChangeCase{"flip", [](TChildForm*) { EditForm->SpeedButton1->click(); }},
                      ChangeCase{"drop_on_the_view",
                                 [](TChildForm* child) { child->DropOnRom(100, 100); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UnsavedMark, AFailedSaveKeepsTheMarkAndSaysNothingOfASave) {
  TChildForm* child = OpenAndPick();
  ASSERT_NE(child, nullptr);
  EditForm->SpeedButton3->click();
  {
    FullDisk full(1024);
    MainForm->Save1Click();
  }
  EXPECT_EQ(child->windowTitle(), QStringLiteral("game.gb*"));
  EXPECT_NE(Message(), QStringLiteral("Saved game.gb."));
  ASSERT_EQ(prompts.Messages.size(), 1u);
}

}  // namespace
}  // namespace varnock::test
