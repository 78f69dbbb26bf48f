// The frame as a new user meets it: Ctrl+W and Ctrl+Q through the File menu, the line the empty
// frame shows, and the folder file dialogs start in.
#include <QApplication>
#include <QMdiArea>
#include <QTest>
#include <filesystem>

#include "support/activation.h"
#include "support/app_fixture.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using FileMenuKeys = AppTest;

// A key pressed where Qt sends it: the focus widget of the active window.
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}

struct CloseKeyCase {
  const char* name;
  bool fromEditor;  // pressed while the tile editor is the active window
  friend void PrintTo(const CloseKeyCase& c, std::ostream* os) { *os << c.name; }
};

class CloseKeyTest : public AppTest, public ::testing::WithParamInterface<CloseKeyCase> {};

TEST_P(CloseKeyTest, CtrlWClosesTheActiveRomWindowThroughTheMenu) {
  TChildForm* first = Open("a.gb", PatternBytes(32768, 1));
  TChildForm* second = Open("b.gb", PatternBytes(32768, 2));
  ASSERT_TRUE(first && second);
  second->Doc.Modified = true;
  prompts.Answers = {PromptAnswer::Cancel, PromptAnswer::No};
  Activate(GetParam().fromEditor ? static_cast<QWidget*>(EditForm) : MainForm,
           ActivationOrder::NewFirst);
  PressKey(Qt::Key_W, Qt::ControlModifier);
  QApplication::processEvents();
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("Save changes to b.gb?"));
  EXPECT_EQ(MainForm->RomWindowCount(), 2) << "Cancel keeps it";
  PressKey(Qt::Key_W, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(MainForm->RomWindows(), QList<TChildForm*>{first});
}

INSTANTIATE_TEST_SUITE_P(Frame, CloseKeyTest,
                         ::testing::Values(CloseKeyCase{"from_the_frame", false},
                                           CloseKeyCase{"from_the_tile_editor", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileMenuKeys, CtrlQEndsTheProgramAfterTheQuestionsOfModifiedWindows) {
  TChildForm* child = Open("a.gb", PatternBytes(32768, 1));
  ASSERT_NE(child, nullptr);
  child->Doc.Modified = true;
  prompts.Answers = {PromptAnswer::Cancel, PromptAnswer::No};
  QTest::keyClick(child->View, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_TRUE(MainForm->isVisible()) << "Cancel keeps the program running";
  EXPECT_EQ(MainForm->RomWindowCount(), 1);
  QTest::keyClick(child->View, Qt::Key_Q, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_FALSE(MainForm->isVisible());
  EXPECT_EQ(prompts.Messages.size(), 2u);
}

TEST_F(FileMenuKeys, TheEmptyFrameSaysHowToOpenARomUntilOneIsOpen) {
  QLabel* hint = MainForm->EmptyHint;
  EXPECT_TRUE(hint->isVisible());
  EXPECT_EQ(
      hint->text(),
      QStringLiteral("Per aprire una ROM scegli Apri... dal menu File, o trascina qui il file."));
  EXPECT_EQ(hint->geometry(), MainForm->MdiArea->viewport()->rect()) << "centred in the area";
  EXPECT_EQ(hint->alignment(), Qt::AlignCenter);
  TChildForm* child = Open("a.gb", PatternBytes(32768, 1));
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(hint->isVisible());
  MainForm->Close1Click();
  QApplication::processEvents();
  EXPECT_TRUE(hint->isVisible());
}

TEST_F(FileMenuKeys, DialogsWithoutAFolderOfTheirOwnStartWhereTheLastFileWas) {
  const auto lastStart = [this] { return prompts.FileDialogs.back().StartFolder; };
  MainForm->Open1Click();
  EXPECT_EQ(lastStart(), QString()) << "before any file, where the system puts it";
  std::filesystem::create_directories(dir.File("roms"));
  TChildForm* child = Open("roms/a.gb", PatternBytes(32768, 1));
  ASSERT_NE(child, nullptr);
  MainForm->Open1Click();
  EXPECT_EQ(lastStart(), QString::fromStdString(dir.File("roms")));
  std::filesystem::create_directories(dir.File("saved"));
  prompts.FileNames.push_back(QString::fromStdString(dir.File("saved/b.gb")));
  MainForm->SaveAs1Click();
  child->ImportBitmap1Click();
  EXPECT_EQ(lastStart(), QString::fromStdString(dir.File("saved")));
  // A dialog preset with a path of its own opens there.
  child->Load1Click();
  EXPECT_EQ(prompts.FileDialogs.back().Preset, QString::fromStdString(dir.File("roms/a.VRK")));
  EXPECT_EQ(lastStart(), QString());
}

}  // namespace
}  // namespace varnock::test
