// The Format menu beyond the ten: its items and Tags, and encodings described in files loaded
// through "Carica codifica...".
#include <QMdiArea>
#include <fstream>

#include "codec/codec_registry.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

class FormatMenu : public AppTest {
 protected:
  // "Carica codifica..." with the dialog answering a file of `text` named `name`.
  std::string Load(TChildForm* child, const std::string& name, const std::string& text) {
    std::ofstream(dir.File(name)) << text;
    prompts.FileNames.push_back(QString::fromStdString(dir.File(name)));
    child->LoadCodec1->trigger();
    return dir.File(name);
  }
};

TEST_F(FormatMenu, TheEightBitFormatsFollowTheTenAndLoadingComesLast) {
  TChildForm* child = Open("a.bin", PatternBytes(65536, 1));
  ASSERT_NE(child, nullptr);
  std::string layout;  // each item's Tag, "-" for a separator
  for (const QAction* item : child->Format1->actions())
    layout += item->isSeparator() ? "- " : std::to_string(item->data().toInt()) + " ";
  EXPECT_TRUE(layout.starts_with("0 1 2 3 4 5 6 7 8 9 - 10 11 - ")) << layout;
  EXPECT_EQ(child->Format1->actions().back(), child->LoadCodec1);
  EXPECT_EQ(child->FormatItems[10]->text(), QStringLiteral("SNES &8BPP"));
  EXPECT_EQ(child->FormatItems[11]->text(), QStringLiteral("&Linear 8BPP"));
  child->FormatItems[10]->trigger();
  EXPECT_EQ(Panel(2), QStringLiteral("SNES [8BPP]"));
  EXPECT_EQ(child->Doc.RowBytes, 16 * 64);
}

// NES planes described under a name with an '&': the same tiles as the NES format, listed in
// every window. Loaded again after an edit, it keeps its Tag, and a window showing it takes the
// new tile length. A bad file is refused with its line and changes nothing.
TEST_F(FormatMenu, DescribedEncodingsLoadIntoEveryWindowAndABadOneIsRefused) {
  TChildForm* child = Open("a.nes", PatternBytes(65536, 6));
  TChildForm* other = Open("b.nes", PatternBytes(65536, 7));
  ASSERT_TRUE(child && other);
  MainForm->MdiArea->setActiveSubWindow(child);
  const QImage builtIn = child->ViewBitmap.copy();
  Load(child, "mine.vrkcodec",
       "[encoding]\nname = R&D\nbits = 2\nbytes = 16\nplane0 = 0, 1, 8\nplane1 = 64, 1, 8\n");
  ASSERT_TRUE(prompts.Messages.empty()) << prompts.Messages[0].Text.toStdString();
  const std::optional<TileFormat> tag = DescribedFormatNamed("mine");
  ASSERT_TRUE(tag);
  EXPECT_EQ(Panel(2), QStringLiteral("R&D"));
  EXPECT_EQ(child->ViewBitmap, builtIn);
  for (TChildForm* window : {child, other}) {
    ASSERT_FALSE(window->DescribedItems.empty());
    EXPECT_EQ(window->DescribedItems.back()->data().toInt(), *tag);
    EXPECT_EQ(window->DescribedItems.back()->text(), QStringLiteral("R&&D"));
    EXPECT_EQ(window->DescribedItems.back()->isChecked(), window == child);
  }
  MainForm->MdiArea->setActiveSubWindow(other);
  Load(other, "mine.vrkcodec", "[encoding]\nname = one\nbits = 1\nbytes = 8\nplane0 = 0, 1, 8\n");
  EXPECT_EQ(DescribedFormatNamed("mine"), tag);
  EXPECT_EQ(child->Doc.TileBytes, 8);
  EXPECT_EQ(child->DescribedItems.back()->text(), QStringLiteral("one"));

  const size_t listed = other->DescribedItems.size();
  const std::string bad = Load(other, "nine.vrkcodec", "[encoding]\nbytes = 16\nbits = 9\n");
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_TRUE(prompts.Messages[0].Text.startsWith(
      QStringLiteral("Error: Could not load the encoding '%1'.\nline 3: ")
          .arg(QString::fromStdString(bad))))
      << prompts.Messages[0].Text.toStdString();
  EXPECT_EQ(other->Doc.Format, *tag);
  EXPECT_EQ(other->DescribedItems.size(), listed);
}

}  // namespace
}  // namespace varnock::test
