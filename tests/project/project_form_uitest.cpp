// The project window: resources added from ROM and stream windows land in the file at once,
// and a double click reaches each of them again, a compressed one in its stream window.
#include <QTest>

#include "project/project_form.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

class ProjectWindowTest : public AppTest {
 protected:
  TProjectForm* Form() const { return MainForm->ProjectForm; }
  void DoubleClick(int row) {
    QListView* list = Form()->List;
    QApplication::processEvents();
    const QRect cell = list->visualRect(Form()->Model->index(row));
    ASSERT_FALSE(cell.isEmpty()) << row;
    // A user's double click: a click, then the second press that the system calls double.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
  }
  void Keys(QKeySequence keys) {
    QTest::keyClick(MainForm->ActiveChild()->View, keys[0].key(), keys[0].keyboardModifiers());
  }
  ProjectReadResult OnDisk() const { return ReadProjectFile(dir.File("game.vrkproj")); }
};

TEST_F(ProjectWindowTest, ResourcesAddedToANewProjectAreReachedAgainByADoubleClick) {
  TChildForm* rom = Open("game.gba", ReadFile(VARNOCK_SAMPLES_DIR "/sample-compressed.gba"));
  ASSERT_NE(rom, nullptr);
  // No project yet: Ctrl+D starts one where the user says, then asks the resource's name.
  prompts.FileNames.push_back(QString::fromStdString(dir.File("game")));
  prompts.Texts.push_back(QStringLiteral("font"));
  rom->MoveViewTo(0x2C0);
  Keys(QKeySequence(Qt::CTRL | Qt::Key_D));
  ASSERT_TRUE(Form()->isVisibleTo(MainForm));
  ASSERT_EQ(prompts.TextQuestions.size(), 1u);
  EXPECT_EQ(prompts.TextQuestions[0].Preset, QStringLiteral("risorsa1"));
  ProjectReadResult read = OnDisk();
  ASSERT_TRUE(read.Ok) << read.Message();
  EXPECT_EQ(read.Read.Rom, "game.gba");
  ASSERT_EQ(read.Read.Resources.size(), 1u);
  EXPECT_EQ(read.Read.Resources[0].Offset, 0x2C0);
  EXPECT_EQ(read.Read.Resources[0].Tiles, int64_t{rom->Doc.Columns} * rom->Doc.Rows);

  // The card's stream, in 4 bits with sub-palette 2, added from its stream window.
  TChildForm* stream = rom->OpenStreamWindow(0x2100, CompressionFormat::Lz10);
  ASSERT_NE(stream, nullptr);
  prompts.Texts.push_back(QStringLiteral("card"));
  Keys(QKeySequence(Qt::CTRL | Qt::Key_D));
  // A name taken is refused and nothing is added.
  prompts.Texts.push_back(QStringLiteral("card"));
  Keys(QKeySequence(Qt::CTRL | Qt::Key_D));
  ASSERT_FALSE(prompts.Messages.empty());
  EXPECT_EQ(prompts.Messages.back().Text,
            QStringLiteral("A resource named 'card' is in the project already."));
  read = OnDisk();
  ASSERT_EQ(read.Read.Resources.size(), 2u);
  EXPECT_EQ(read.Read.Resources[1].Compression, CompressionFormat::Lz10);
  EXPECT_EQ(read.Read.Resources[1].Offset, 0x2100);
  EXPECT_EQ(read.Read.Resources[1].Room, 1958);

  // Everything closed and the project opened again: a double click opens the ROM once.
  ASSERT_TRUE(MainForm->CloseAllRoms());
  QApplication::processEvents();
  ASSERT_TRUE(Form()->OpenProject(dir.File("game.vrkproj")));
  ASSERT_EQ(Form()->Model->rowCount({}), 2);
  DoubleClick(1);
  TChildForm* shown = MainForm->ActiveChild();
  ASSERT_NE(shown, nullptr);
  ASSERT_TRUE(shown->IsStreamWindow());
  EXPECT_EQ(shown->Doc.Stream->Offset, 0x2100);
  EXPECT_EQ(shown->Doc.Stream->Format, CompressionFormat::Lz10);
  EXPECT_EQ(MainForm->RomWindowCount(), 2);
  DoubleClick(0);
  TChildForm* view = MainForm->ActiveChild();
  ASSERT_NE(view, nullptr);
  EXPECT_FALSE(view->IsStreamWindow());
  EXPECT_EQ(view->Doc.ViewOffset, 0x2C0);
  EXPECT_EQ(Panel(1).left(16), QStringLiteral("Offset: 000002C0"));
  // The stream's window again, not a second one.
  DoubleClick(1);
  EXPECT_EQ(MainForm->ActiveChild(), shown);
  EXPECT_EQ(MainForm->RomWindowCount(), 2);
}

TEST_F(ProjectWindowTest, ARefusedFileIsReportedWithItsLineAndTheOpenProjectStays) {
  ASSERT_TRUE(Form()->OpenProject(VARNOCK_SAMPLES_DIR "/sample-compressed.vrkproj"));
  const std::string bad = dir.Write("bad.vrkproj", {'r', 'o', 'm', ' ', '=', ' ', '3', '\n'});
  EXPECT_FALSE(Form()->OpenProject(bad));
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text,
            QStringLiteral("Error: Could not open the project '%1'.\nline 1: rom must be a text in "
                           "quotes")
                .arg(QString::fromStdString(bad)));
  EXPECT_EQ(Form()->Model->rowCount({}), 3);
}

TEST_F(ProjectWindowTest, RenameAndRemoveWriteTheFileAtOnce) {
  dir.Write("sample-compressed.gba", ReadFile(VARNOCK_SAMPLES_DIR "/sample-compressed.gba"));
  const std::string path =
      dir.Write("game.vrkproj", ReadFile(VARNOCK_SAMPLES_DIR "/sample-compressed.vrkproj"));
  ASSERT_TRUE(Form()->OpenProject(path));
  prompts.Texts.push_back(QStringLiteral("letters"));
  EXPECT_TRUE(Form()->RenameResource(1));
  prompts.Answers.push_back(PromptAnswer::Yes);
  EXPECT_TRUE(Form()->RemoveResource(0));
  const ProjectReadResult read = OnDisk();
  ASSERT_TRUE(read.Ok);
  ASSERT_EQ(read.Read.Resources.size(), 2u);
  EXPECT_EQ(read.Read.Resources[0].Name, "letters");
  EXPECT_EQ(read.Read.Resources[1].Name, "card");
}

}  // namespace
}  // namespace varnock::test
