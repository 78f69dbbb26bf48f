// The palette editor keeps the user's picks across depths, leaves the box being typed in alone,
// and asks for a palette file name only when saving would write over an emulator save state.
#include <QTest>
#include <filesystem>
#include <functional>

#include "palette/nesticle_state.h"
#include "palette/pal_form.h"
#include "palette/palette_file.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

const auto kName = [](const auto& info) { return std::string(info.param.name); };

QColor ColorOf(const PaletteEntry& entry) {
  return QColor(entry.red, entry.green, entry.blue);
}

QAction* FormatItem(TChildForm* child, TileFormat format) {
  return child->FormatItems[format];
}

struct PickCase {
  const char* name;
  const char* file;
  std::vector<TileFormat> formats;  // chosen in turn from the Format menu
  uint8_t left, right;
};
void PrintTo(const PickCase& c, std::ostream* os) {
  *os << c.name;
}

class PicksTest : public AppTest, public ::testing::WithParamInterface<PickCase> {};

const PickCase kPickCases[] = {
    {"TwoBitsToOneAndBack", "a.gbc", {0, 2}, 3, 2},
    {"FourBitsToTwoAndBack", "a.gba", {2, 9}, 15, 9},
    {"FourBitsToOneToThree", "a.gba", {0, 5}, 7, 6},
};

TEST_P(PicksTest, SurviveFewerBitsPerPixel) {
  const PickCase& c = GetParam();
  TChildForm* child = Open(c.file, PatternBytes(65536, 2));
  ASSERT_NE(child, nullptr);
  QTest::mouseClick(PalForm->Shapes[c.left], Qt::LeftButton);
  QTest::mouseClick(PalForm->Shapes[c.right], Qt::RightButton);
  ASSERT_EQ(PalForm->LeftColor, c.left);
  for (TileFormat format : c.formats) FormatItem(child, format)->trigger();
  EXPECT_EQ(PalForm->LeftColor, c.left);
  EXPECT_EQ(PalForm->RightColor, c.right);
  PalForm->FormDeactivate();
  EXPECT_EQ(child->Doc.LeftColor, c.left);
  EXPECT_EQ(child->Doc.RightColor, c.right);
  const PaletteTable& palette = child->Doc.Palette;
  EXPECT_EQ(PalForm->FGShape->Color(), ColorOf(palette[PalForm->FirstEntry + c.left]));
  EXPECT_EQ(PalForm->BGShape->Color(), ColorOf(palette[PalForm->FirstEntry + c.right]));
}

INSTANTIATE_TEST_SUITE_P(PalEditor, PicksTest, ::testing::ValuesIn(kPickCases), kName);

using PalEditorPicks = AppTest;

// At 1 bit per pixel the last sub-palette starts at entry 254: a kept pick of 3 would address
// entry 257, past the palette. The edit lands on the last entry and nothing else changes.
TEST_F(PalEditorPicks, AnEditThroughAKeptPickStaysInsideThePalette) {
  TChildForm* child = Open("a.gbc", PatternBytes(65536, 2));
  ASSERT_NE(child, nullptr);
  QTest::mouseClick(PalForm->Shapes[3], Qt::LeftButton);
  FormatItem(child, 0)->trigger();
  PalForm->PalUpDown->setValue(127);
  ASSERT_EQ(PalForm->FirstEntry, 254);
  const PaletteTable before = child->Doc.Palette;
  PalForm->RedBar->setValue(PalForm->RedBar->value() ^ 0x55);
  for (int k = 0; k < kPaletteEntries - 1; ++k) ASSERT_EQ(child->Doc.Palette[k], before[k]) << k;
  EXPECT_NE(child->Doc.Palette[255], before[255]);
  EXPECT_EQ(PalForm->LeftColor, 3);
}

struct TypingCase {
  const char* name;
  int box;  // 0 red, 1 green, 2 blue
  const char* text;
  int cursor;
  char typed;
  const char* expectText;
  int expectCursor;  // -1: not checked (the box was rewritten)
  int expectValue;
};
void PrintTo(const TypingCase& c, std::ostream* os) {
  *os << c.name;
}

class BoxTypingTest : public AppTest, public ::testing::WithParamInterface<TypingCase> {};

const TypingCase kTypingCases[] = {
    {"RedMiddle", 0, "12", 1, '3', "132", 2, 132},
    {"GreenFront", 1, "12", 0, '1', "112", 1, 112},
    {"BlueEnd", 2, "2", 1, '5', "25", 2, 25},
    {"ClampedIsRewritten", 0, "25", 1, '9', "255", -1, 255},
    {"LeadingZeroGoes", 1, "5", 0, '0', "5", -1, 5},
};

TEST_P(BoxTypingTest, KeepsTheCursorWhereTheUserTypes) {
  const TypingCase& c = GetParam();
  TChildForm* child = Open("a.gbc", PatternBytes(65536, 2));
  ASSERT_NE(child, nullptr);
  QLineEdit* boxes[] = {PalForm->REdit, PalForm->GEdit, PalForm->BEdit};
  QScrollBar* bars[] = {PalForm->RedBar, PalForm->GreenBar, PalForm->BlueBar};
  QLineEdit* box = boxes[c.box];
  box->setText(QString::fromLatin1(c.text));
  box->setCursorPosition(c.cursor);
  QTest::keyClick(box, c.typed);
  EXPECT_EQ(box->text(), QString::fromLatin1(c.expectText));
  if (c.expectCursor >= 0) {
    EXPECT_EQ(box->cursorPosition(), c.expectCursor);
  }
  EXPECT_EQ(bars[c.box]->value(), c.expectValue);
  for (int other = 0; other < 3; ++other)
    EXPECT_EQ(boxes[other]->text(), QString::number(bars[other]->value()));
}

INSTANTIATE_TEST_SUITE_P(PalEditor, BoxTypingTest, ::testing::ValuesIn(kTypingCases), kName);

struct SalvaCase {
  const char* name;
  std::function<void(TChildForm*, ScriptedPrompts&, const TempDir&)> before;
  bool asksForAName;
  const char* writtenName;  // where "&Salva" writes without a question; null when it asks
};
void PrintTo(const SalvaCase& c, std::ostream* os) {
  *os << c.name;
}

class SalvaTest : public AppTest, public ::testing::WithParamInterface<SalvaCase> {};

void LoadState(TChildForm* child, ScriptedPrompts& prompts, const TempDir& dir) {
  const std::string state = dir.Write("game.sta", PatternBytes(kNesticlePaletteOffset + 40, 3));
  prompts.FileNames.push_back(QString::fromStdString(state));
  child->Load1->trigger();
}

void SaveAs(TChildForm* child, ScriptedPrompts& prompts, const TempDir& dir, const char* name) {
  prompts.FileNames.push_back(QString::fromStdString(dir.File(name)));
  child->SaveAs1->trigger();
}

const SalvaCase kSalvaCases[] = {
    {"BesideTheRom", [](TChildForm*, ScriptedPrompts&, const TempDir&) {}, false, "game.VRK"},
    {"NameChosenWithoutVrk",
     [](TChildForm* c, ScriptedPrompts& p, const TempDir& d) { SaveAs(c, p, d, "mine.pal"); },
     false, "mine.pal"},
    {"ReadFromAState", LoadState, true, nullptr},
    {"StateSavedSince",
     [](TChildForm* c, ScriptedPrompts& p, const TempDir& d) {
       LoadState(c, p, d);
       SaveAs(c, p, d, "kept.vrk");
     },
     false, "kept.vrk"},
    {"VrkLoadedAfterAState",
     [](TChildForm* c, ScriptedPrompts& p, const TempDir& d) {
       LoadState(c, p, d);
       const std::string vrk = d.File("other.VRK");
       ASSERT_TRUE(WritePaletteFile(vrk, c->Doc.Palette, 0, 16).ok());
       p.FileNames.push_back(QString::fromStdString(vrk));
       c->Load1->trigger();
     },
     false, "other.VRK"},
};

TEST_P(SalvaTest, AsksForANameOnlyOverAState) {
  const SalvaCase& c = GetParam();
  TChildForm* child = Open("game.gbc", PatternBytes(32768, 2));
  ASSERT_NE(child, nullptr);
  c.before(child, prompts, dir);
  ASSERT_TRUE(prompts.Messages.empty());
  prompts.FileDialogs.clear();
  if (c.writtenName) std::filesystem::remove(dir.File(c.writtenName));
  child->Save1->trigger();
  EXPECT_EQ(prompts.FileDialogs.size(), c.asksForAName ? 1u : 0u);
  if (c.writtenName) {
    EXPECT_EQ(child->Doc.PalettePath, dir.File(c.writtenName));
    EXPECT_TRUE(std::filesystem::exists(dir.File(c.writtenName)));
  }
}

INSTANTIATE_TEST_SUITE_P(PalEditor, SalvaTest, ::testing::ValuesIn(kSalvaCases), kName);

}  // namespace
}  // namespace varnock::test
