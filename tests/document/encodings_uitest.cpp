// The Format menu beyond the ten: its items and Tags, and encodings described in files loaded
// through "Carica codifica...".
#include <QMdiArea>
#include <QTest>
#include <algorithm>
#include <fstream>

#include "codec/codec_registry.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

using FormatMenu = AppTest;

// The menu as the user reads it: each item's Tag, or "-" for a separator, or its name.
std::vector<std::string> MenuLayout(const TChildForm* child) {
  std::vector<std::string> layout;
  for (const QAction* item : child->Format1->actions()) {
    if (item->isSeparator())
      layout.emplace_back("-");
    else if (item == child->LoadCodec1)
      layout.push_back(item->text().toStdString());
    else
      layout.push_back(std::to_string(item->data().toInt()));
  }
  return layout;
}

TEST_F(FormatMenu, TheEightBitFormatsFollowTheTenAndLoadingComesLast) {
  TChildForm* child = Open("a.bin", PatternBytes(65536, 1));
  ASSERT_NE(child, nullptr);
  const std::vector<std::string> layout = MenuLayout(child);
  const std::vector<std::string> fixed{"0", "1", "2", "3", "4",  "5",  "6",
                                       "7", "8", "9", "-", "10", "11", "-"};
  ASSERT_GE(layout.size(), fixed.size() + 2);
  EXPECT_EQ(std::vector(layout.begin(), layout.begin() + 14), fixed);
  EXPECT_EQ(layout.back(), "Carica &codifica...");
  EXPECT_EQ(child->FormatItems[10]->text(), QStringLiteral("SNES &8BPP"));
  EXPECT_EQ(child->FormatItems[11]->text(), QStringLiteral("&Linear 8BPP"));
  child->FormatItems[10]->trigger();
  EXPECT_TRUE(child->FormatItems[10]->isChecked());
  EXPECT_EQ(Panel(2), QStringLiteral("SNES [8BPP]"));
  EXPECT_EQ(child->Doc.TileBytes, 64);
  EXPECT_EQ(child->Doc.RowBytes, 16 * 64);
}

// NES planes as a description, under a name with an '&' in it.
const char kNesDescription[] =
    "[encoding]\n"
    "name = R&D [2BPP]\n"
    "bits = 2\n"
    "bytes = 16\n"
    "plane0 = 0, 1, 8\n"
    "plane1 = 64, 1, 8\n";

class LoadCodecTest : public AppTest {
 protected:
  std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = dir.File(name);
    std::ofstream(path) << text;
    return path;
  }
  // "Carica codifica..." with the dialog answering `path`.
  void LoadThroughMenu(TChildForm* child, const std::string& path) {
    prompts.FileNames.push_back(QString::fromStdString(path));
    child->LoadCodec1->trigger();
  }
};

TEST_F(LoadCodecTest, ADescribedEncodingShowsTheTilesOfTheFormatItDescribes) {
  TChildForm* child = Open("a.nes", PatternBytes(65536, 6));
  TChildForm* other = Open("b.nes", PatternBytes(4096, 6));
  ASSERT_TRUE(child && other);
  MainForm->MdiArea->setActiveSubWindow(child);
  const QImage builtIn = child->ViewBitmap.copy();
  LoadThroughMenu(child, WriteFile("nes-described.vrkcodec", kNesDescription));
  ASSERT_TRUE(prompts.Messages.empty()) << prompts.Messages[0].Text.toStdString();
  const std::optional<TileFormat> tag = DescribedFormatNamed("nes-described");
  ASSERT_TRUE(tag);
  EXPECT_EQ(prompts.FileDialogs.at(0).Title, QStringLiteral("Carica codifica"));
  EXPECT_EQ(child->Doc.Format, *tag);
  EXPECT_EQ(Panel(2), QStringLiteral("R&D [2BPP]"));
  EXPECT_EQ(child->ViewBitmap, builtIn) << "the same tiles as the NES format";
  for (TChildForm* window : {child, other}) {
    const auto item = std::find_if(window->DescribedItems.begin(), window->DescribedItems.end(),
                                   [&](QAction* a) { return a->data().toInt() == *tag; });
    ASSERT_NE(item, window->DescribedItems.end()) << "every window lists it";
    EXPECT_EQ((*item)->text(), QStringLiteral("R&&D [2BPP]"));
    EXPECT_EQ((*item)->isChecked(), window == child);
  }
}

TEST_F(LoadCodecTest, ABadFileIsRefusedWithItsLineAndTheWindowKeepsItsFormat) {
  TChildForm* child = Open("a.gb", PatternBytes(65536, 6));
  ASSERT_NE(child, nullptr);
  const size_t listed = child->DescribedItems.size();
  const std::string path =
      WriteFile("nine-bits.vrkcodec", "[encoding]\nbytes = 16\nbits = 9\nplane0 = 0, 1, 8\n");
  LoadThroughMenu(child, path);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_TRUE(prompts.Messages[0].Text.startsWith(
      QStringLiteral("Error: Could not load the encoding '%1'.\nline 3: ")
          .arg(QString::fromStdString(path))))
      << prompts.Messages[0].Text.toStdString();
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
  EXPECT_EQ(child->Doc.Format, 2);
  EXPECT_EQ(child->DescribedItems.size(), listed);
  EXPECT_FALSE(DescribedFormatNamed("nine-bits"));
}

// A file loaded again after an edit keeps its Tag; a window showing it takes the new tile
// length and name.
TEST_F(LoadCodecTest, ReloadingAnEditedFileRedecodesTheWindowsShowingIt) {
  TChildForm* first = Open("a.bin", PatternBytes(65536, 6));
  TChildForm* second = Open("b.bin", PatternBytes(65536, 7));
  ASSERT_TRUE(first && second);
  const std::string path = WriteFile("mine.vrkcodec",
                                     "[encoding]\nname = one\nbits = 1\nbytes = 8\n"
                                     "plane0 = 0, 1, 8\n");
  MainForm->MdiArea->setActiveSubWindow(first);
  LoadThroughMenu(first, path);
  const std::optional<TileFormat> tag = DescribedFormatNamed("mine");
  ASSERT_TRUE(tag);
  ASSERT_EQ(first->Doc.TileBytes, 8);
  WriteFile("mine.vrkcodec",
            "[encoding]\nname = two\nbits = 2\nbytes = 16\nplane0 = 0, 1, 8\nplane1 = 64, 1, 8\n");
  MainForm->MdiArea->setActiveSubWindow(second);
  const int decodes = first->DecodeCount;
  LoadThroughMenu(second, path);
  ASSERT_TRUE(prompts.Messages.empty()) << prompts.Messages[0].Text.toStdString();
  EXPECT_EQ(DescribedFormatNamed("mine"), tag);
  EXPECT_EQ(first->Doc.TileBytes, 16);
  EXPECT_GT(first->DecodeCount, decodes);
  const auto item = std::find_if(first->DescribedItems.begin(), first->DescribedItems.end(),
                                 [&](QAction* a) { return a->data().toInt() == *tag; });
  ASSERT_NE(item, first->DescribedItems.end());
  EXPECT_EQ((*item)->text(), QStringLiteral("two"));
}

}  // namespace
}  // namespace varnock::test
