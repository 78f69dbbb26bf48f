// The palette editor driven through its real controls, and the ROM window's Palette menu.
#include <QTest>
#include <filesystem>
#include <functional>

#include "palette/nesticle_state.h"
#include "palette/pal_form.h"
#include "shell/clock.h"
#include "support/app_fixture.h"
#include "tools/clip_form.h"

namespace varnock::test {
namespace {

PaletteEntry EntryOf(const QColor& c) {
  return MakeEntry(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}
const auto kName = [](const auto& info) { return std::string(info.param.name); };
template <typename Case>
requires requires(const Case& c) {
  c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

// A Game Boy Color image: 2 bits per pixel, four swatches, the default palette.
class PalEditor : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    SetDoubleClickTimeSource([] { return 500u; });
    SetTickCountSource([this] { return now; });
    child = Open("GAME.gbc", PatternBytes(32768, 7));
    ASSERT_NE(child, nullptr);
  }
  void TearDown() override {
    SetDoubleClickTimeSource({});
    SetTickCountSource({});
    AppTest::TearDown();
  }
  PaletteEntry& Foreground() {
    return child->Doc.Palette[PalForm->FirstEntry + PalForm->LeftColor];
  }
  std::string Path(const char* name) const { return dir.File(name); }

  uint32_t now = 0;
  TChildForm* child = nullptr;
};

struct Click {
  int swatch;
  Qt::MouseButton button;
  uint32_t tick;
  bool doubleClickEvent = false;  // delivered as the window system's double-click event
};
struct DoubleClickCase {
  const char* name;
  std::vector<Click> clicks;
  bool opensDialog;
};
class DoubleClickTest : public PalEditor, public ::testing::WithParamInterface<DoubleClickCase> {};

TEST_P(DoubleClickTest, OnlyTheSameSwatchInTimeOpensTheDialog) {
  prompts.Colors.push_back(QColor(12, 34, 56));
  const int last = GetParam().clicks.back().swatch;
  const PaletteEntry shown = child->Doc.Palette[last];
  for (const Click& click : GetParam().clicks) {
    now = click.tick;
    if (click.doubleClickEvent)
      QTest::mouseDClick(PalForm->Shapes[click.swatch], click.button);
    else
      QTest::mouseClick(PalForm->Shapes[click.swatch], click.button);
  }
  ASSERT_EQ(prompts.ColorRequests.size(), GetParam().opensDialog ? 1u : 0u);
  EXPECT_EQ(child->Doc.PaletteModified, GetParam().opensDialog);
  if (!GetParam().opensDialog) return;
  EXPECT_EQ(EntryOf(prompts.ColorRequests[0]), shown);
  EXPECT_EQ(child->Doc.Palette[last], MakeEntry(12, 34, 56));
  EXPECT_EQ(EntryOf(PalForm->FGShape->Color()), MakeEntry(12, 34, 56));
  EXPECT_EQ(PalForm->GEdit->text(), QStringLiteral("34"));
}

constexpr auto L = Qt::LeftButton;
constexpr auto R = Qt::RightButton;
INSTANTIATE_TEST_SUITE_P(
    PalEditor, DoubleClickTest,
    ::testing::Values(
        DoubleClickCase{"WithinInterval", {{3, L, 1000}, {3, L, 1400}}, true},
        DoubleClickCase{"ExactlyTheInterval", {{3, L, 1000}, {3, L, 1500}}, true},
        DoubleClickCase{"TooSlow", {{3, L, 1000}, {3, L, 1501}}, false},
        DoubleClickCase{"OtherSwatchBetween", {{3, L, 1000}, {2, L, 1100}, {3, L, 1200}}, false},
        DoubleClickCase{"RightClickBetween", {{3, L, 1000}, {2, R, 1100}, {3, L, 1200}}, true},
        DoubleClickCase{
            "MiddleClickBetween", {{3, L, 1}, {2, Qt::MiddleButton, 2}, {3, L, 3}}, true},
        DoubleClickCase{"RightTwice", {{3, R, 1000}, {3, R, 1100}}, false},
        DoubleClickCase{"TickCounterWrapped", {{1, L, 0xFFFFFF00u}, {1, L, 0x40}}, true},
        DoubleClickCase{"FirstClickAtStart", {{1, L, 100}}, false},
        DoubleClickCase{"RealDoubleClick", {{2, L, 7}, {2, L, 7, true}}, true}),
    kName);

struct TypingCase {
  const char* name;
  int box;           // 0 red, 1 green, 2 blue
  const char* keys;  // typed over the selected text; '\b' is backspace
  const char* shown;
  int channel;
};
class ChannelTypingTest : public PalEditor, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(ChannelTypingTest, NormalisesTheBoxAndWritesTheChannel) {
  const TypingCase& c = GetParam();
  QLineEdit* edits[] = {PalForm->REdit, PalForm->GEdit, PalForm->BEdit};
  QScrollBar* bars[] = {PalForm->RedBar, PalForm->GreenBar, PalForm->BlueBar};
  const PaletteEntry before = Foreground();  // (99, 207, 99)
  edits[c.box]->selectAll();
  QTest::keyClicks(edits[c.box], QString::fromLatin1(c.keys));
  EXPECT_EQ(edits[c.box]->text(), QString::fromLatin1(c.shown));
  EXPECT_EQ(bars[c.box]->value(), c.channel);
  const PaletteEntry after = Foreground();
  const int channels[] = {after.red, after.green, after.blue};
  const int old[] = {before.red, before.green, before.blue};
  for (int k = 0; k < 3; ++k) EXPECT_EQ(channels[k], k == c.box ? c.channel : old[k]) << k;
}

INSTANTIATE_TEST_SUITE_P(PalEditor, ChannelTypingTest,
                         ::testing::Values(TypingCase{"AboveRangeClamps", 0, "300", "255", 255},
                                           TypingCase{"ClearedBoxIsZero", 0, "\b", "0", 0},
                                           TypingCase{"LettersIgnored", 1, "a1b2-", "12", 12},
                                           TypingCase{"BackspaceWorks", 2, "123\b", "12", 12},
                                           TypingCase{"LeadingZerosGo", 1, "007", "7", 7}),
                         kName);

struct BarCase {
  const char* name;
  int bar;
  int position;
  PaletteEntry written;
};
class BarTest : public PalEditor, public ::testing::WithParamInterface<BarCase> {};

TEST_P(BarTest, OneBarWritesAllThreeChannels) {
  // The entry disagrees with the bars, so writing only the moved channel would show.
  Foreground() = MakeEntry(1, 2, 3);
  QScrollBar* bars[] = {PalForm->RedBar, PalForm->GreenBar, PalForm->BlueBar};
  PalForm->BarsLive = false;
  for (int k = 0; k < 3; ++k) bars[k]->setValue(10 * (k + 1));
  PalForm->BarsLive = true;
  bars[GetParam().bar]->setValue(GetParam().position);
  EXPECT_EQ(Foreground(), GetParam().written);
  EXPECT_EQ(EntryOf(PalForm->Shapes[PalForm->LeftColor]->Color()), GetParam().written);
  EXPECT_TRUE(child->Doc.PaletteModified);
}

INSTANTIATE_TEST_SUITE_P(PalEditor, BarTest,
                         ::testing::Values(BarCase{"Green", 1, 77, MakeEntry(10, 77, 30)},
                                           BarCase{"Red", 0, 99, MakeEntry(99, 20, 30)}),
                         kName);

struct UpDownCase {
  int paletteSize, bits, highest;
};
class UpDownTest : public PalEditor, public ::testing::WithParamInterface<UpDownCase> {};

TEST_P(UpDownTest, RangesOverWholeSubPalettes) {
  PalForm->PaletteSize = GetParam().paletteSize;
  PalForm->BitsPerPixel = GetParam().bits;
  PalForm->RefreshPalette();
  EXPECT_EQ(PalForm->PalUpDown->maximum(), GetParam().highest);
  PalForm->PalUpDown->setValue(GetParam().highest);
  const int first = GetParam().highest << GetParam().bits;
  EXPECT_EQ(PalForm->FirstEntry, first);
  EXPECT_EQ(EntryOf(PalForm->Shapes[0]->Color()), child->Doc.Palette[first]);
}

// A palette shorter than one sub-palette (5 entries) still leaves sub-palette 0.
INSTANTIATE_TEST_SUITE_P(PalEditor, UpDownTest,
                         ::testing::Values(UpDownCase{16, 2, 3}, UpDownCase{16, 4, 0},
                                           UpDownCase{256, 1, 127}, UpDownCase{5, 4, 0}));

TEST_F(PalEditor, ArrangerEditsMarkNoRomWindow) {
  const PaletteTable romPalette = child->Doc.Palette;
  MainForm->ActiveRom = ClipForm;
  PalForm->TargetSurface = &ClipForm->ArrangerSurface;
  PalForm->TargetPalette = &ClipForm->ArrangerPalette;
  PalForm->BitsPerPixel = 4;
  PalForm->SubPalette = 0;
  PalForm->RefreshPalette();
  QTest::mouseClick(PalForm->Shapes[5], Qt::LeftButton);
  PalForm->RedBar->setValue(200);
  EXPECT_EQ(ClipForm->ArrangerPalette[5].red, 200);
  EXPECT_EQ(ClipForm->grab().toImage().pixel(8, 8), qRgb(64, 64, 64)) << "empty cells stay grey";
  EXPECT_FALSE(child->Doc.PaletteModified);
  EXPECT_EQ(child->Doc.Palette, romPalette);
  PalForm->FormDeactivate();
  EXPECT_EQ(ClipForm->LeftColor, 5);
}

TEST_F(PalEditor, AnEditRepaintsTheServedView) {
  const QImage before = child->ViewBitmap.copy();
  PalForm->RedBar->setValue(255 - Foreground().red);
  const QRgb edited = qRgb(Foreground().red, Foreground().green, Foreground().blue);
  int changed = 0, other = 0;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x)
      if (before.pixel(x, y) != child->ViewBitmap.pixel(x, y))
        ++(child->ViewBitmap.pixel(x, y) == edited ? changed : other);
  EXPECT_GT(changed, 0);
  EXPECT_EQ(other, 0);
}

struct Message {
  const char* text;
  PromptIcon icon;
};
const Message kQuestion{"Current palette has been modified. Save changes?", PromptIcon::Question};
const Message kCouldNotLoad{"Couldn't load palette.", PromptIcon::Stop};

struct LoadCase {
  const char* name;
  bool modified;
  PromptAnswer answer;
  const char* file;  // null: the open dialog is cancelled
  std::vector<uint8_t> bytes;
  std::vector<Message> messages;
  bool savedFirst, loaded;
};
class LoadTest : public PalEditor, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, AsksLoadsAndReportsWithExactWords) {
  const LoadCase& c = GetParam();
  PalForm->PalUpDown->setValue(1);
  child->Doc.PaletteModified = c.modified;
  const PaletteTable before = child->Doc.Palette;
  const std::string palettePath = child->Doc.PalettePath;
  prompts.Answers.push_back(c.answer);
  const QString chosen = c.file ? QString::fromStdString(dir.Write(c.file, c.bytes)) : QString();
  prompts.FileNames.push_back(c.file ? std::optional(chosen) : std::nullopt);
  child->Load1->trigger();
  ASSERT_EQ(prompts.Messages.size(), c.messages.size());
  for (size_t k = 0; k < c.messages.size(); ++k) {
    EXPECT_EQ(prompts.Messages[k].Text,
              QString::fromUtf8(c.messages[k].text).replace(QStringLiteral("%1"), chosen));
    EXPECT_EQ(prompts.Messages[k].Caption, QStringLiteral("Varnock Pro"));
    EXPECT_EQ(prompts.Messages[k].Icon, c.messages[k].icon);
  }
  ASSERT_EQ(prompts.FileDialogs.size(), 1u);
  EXPECT_EQ(prompts.FileDialogs[0].Title, QStringLiteral("Carica Palette"));
  EXPECT_EQ(prompts.FileDialogs[0].Preset, QString::fromStdString(palettePath));
  EXPECT_EQ(std::filesystem::exists(palettePath), c.savedFirst);
  EXPECT_EQ(child->Doc.Palette[3] != before[3], c.loaded);
  if (!c.loaded) return;
  EXPECT_EQ(child->Doc.Palette[3], MakeEntry(9, 10, 11));
  EXPECT_EQ(child->Doc.Palette[4], before[4]);
  EXPECT_TRUE(child->EntryItems[4]->isChecked());  // no item for 4 entries: "&256" stays
  EXPECT_EQ(PalForm->SubPalette, 0);
  EXPECT_EQ(PalForm->PalUpDown->maximum(), 0);
  EXPECT_EQ(EntryOf(PalForm->Shapes[3]->Color()), MakeEntry(9, 10, 11));
}

const std::vector<uint8_t> kFourEntries{'V', 'R', 'K', 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
INSTANTIATE_TEST_SUITE_P(
    PalEditor, LoadTest,
    ::testing::Values(
        LoadCase{"Unmodified", false, PromptAnswer::Yes, "p.Vrk", kFourEntries, {}, false, true},
        LoadCase{"NoStillLoads",
                 true,
                 PromptAnswer::No,
                 "p.vrk",
                 kFourEntries,
                 {kQuestion},
                 false,
                 true},
        LoadCase{"YesSavesFirst", true, PromptAnswer::Yes, nullptr, {}, {kQuestion}, true, false},
        LoadCase{"UnknownExtension",
                 false,
                 PromptAnswer::Yes,
                 "p.bin",
                 kFourEntries,
                 {kCouldNotLoad},
                 false,
                 false},
        LoadCase{"NoSignature",
                 false,
                 PromptAnswer::Yes,
                 "p.vrk",
                 {'V', 'R', 'X', 0, 1, 2, 3},
                 {{"Error: Palette is not a valid Varnock Pro palette.\n%1", PromptIcon::Stop},
                  kCouldNotLoad},
                 false,
                 false}),
    kName);

struct RoundTripCase {
  const char* name;  // the "&Formato" item chosen
  const char* marked;
  std::function<PaletteEntry(PaletteEntry)> precision;
};
class RoundTripTest : public PalEditor, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, SavedAndLoadedAgainKeepsTheEncodingsPrecision) {
  const std::vector<uint8_t> noise = PatternBytes(3 * 256, 11);
  for (int k = 0; k < kPaletteEntries; ++k)
    child->Doc.Palette[k] = MakeEntry(noise[3 * k], noise[3 * k + 1], noise[3 * k + 2]);
  const PaletteTable original = child->Doc.Palette;
  child->Format2->findChild<QAction*>(QString::fromLatin1(GetParam().name))->trigger();
  EXPECT_TRUE(
      child->Format2->findChild<QAction*>(QString::fromLatin1(GetParam().marked))->isChecked());
  const QString path = QString::fromStdString(Path("round.vrk"));
  prompts.FileNames = {path, path};
  child->SaveAs1->trigger();
  child->Doc.Palette.fill(MakeEntry(1, 2, 3));
  child->Load1->trigger();
  ASSERT_TRUE(prompts.Messages.empty());
  for (int k = 0; k < kPaletteEntries; ++k)
    ASSERT_EQ(child->Doc.Palette[k], GetParam().precision(original[k])) << k;
}

INSTANTIATE_TEST_SUITE_P(
    PalEditor, RoundTripTest,
    ::testing::Values(RoundTripCase{"RGB1", "RGB1", [](PaletteEntry e) { return e; }},
                      RoundTripCase{"NES2", "NES2",
                                    [](PaletteEntry e) { return NesPalette[NearestNesIndex(e)]; }},
                      RoundTripCase{"GBC2", "SNES2",
                                    [](PaletteEntry e) {
                                      return MakeEntry(e.red & 0xF8, e.green & 0xF8, e.blue & 0xF8);
                                    }}),
    kName);

struct SaveStateCase {
  const char* name;
  bool throughLoadQuestion;  // Yes to the load question instead of "&Salva"
  const char* newName;       // null: the save dialog is cancelled
  bool written;
};
class SaveStateTest : public PalEditor, public ::testing::WithParamInterface<SaveStateCase> {};

TEST_P(SaveStateTest, SavingNeverWritesOverTheState) {
  std::vector<uint8_t> state = PatternBytes(kNesticlePaletteOffset + 40, 3);
  const std::string statePath = dir.Write("game.sta", state);
  prompts.FileNames.push_back(QString::fromStdString(statePath));
  child->Load1->trigger();
  EXPECT_TRUE(child->NES2->isChecked() && child->EntryItems[1]->isChecked());  // "&32"
  PalForm->RedBar->setValue(PalForm->RedBar->value() ^ 0x40);
  const char* newName = GetParam().newName;
  prompts.FileDialogs.clear();
  prompts.FileNames = {
      newName ? std::optional(QString::fromStdString(Path(newName))) : std::nullopt, std::nullopt};
  prompts.Answers.push_back(PromptAnswer::Yes);
  (GetParam().throughLoadQuestion ? child->Load1 : child->Save1)->trigger();
  ASSERT_GE(prompts.FileDialogs.size(), 1u);
  EXPECT_TRUE(prompts.FileDialogs[0].Save);
  EXPECT_EQ(prompts.FileDialogs[0].Preset, QString::fromStdString(Path("game.VRK")));
  EXPECT_EQ(ReadFile(statePath), state);
  EXPECT_EQ(child->Doc.PalettePath, newName ? Path(newName) : statePath);
  EXPECT_EQ(std::filesystem::exists(Path(newName ? newName : "game.VRK")), GetParam().written);
  // Edits that were not saved are not replaced by a load.
  if (GetParam().throughLoadQuestion) {
    EXPECT_EQ(prompts.FileDialogs.size(), GetParam().written ? 2u : 1u);
  }
  if (newName && !GetParam().written) {
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_TRUE(prompts.Messages[0].Text.startsWith(
        QStringLiteral("Error: Could not save the palette '%1'.")
            .arg(QString::fromStdString(Path(newName)))));
  }
}

INSTANTIATE_TEST_SUITE_P(
    PalEditor, SaveStateTest,
    ::testing::Values(SaveStateCase{"SalvaAsksForAName", false, "new.vrk", true},
                      SaveStateCase{"SalvaCancelled", false, nullptr, false},
                      SaveStateCase{"SalvaCannotWrite", false, "missing/new.vrk", false},
                      SaveStateCase{"LoadQuestionAsks", true, "new.vrk", true},
                      SaveStateCase{"LoadQuestionCancelled", true, nullptr, false}),
    kName);

}  // namespace
}  // namespace varnock::test
