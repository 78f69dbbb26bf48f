// The palette editor driven through its real controls, and the ROM window's Palette menu.
#include <QMdiArea>
#include <QTest>
#include <filesystem>
#include <functional>

#include "palette/nesticle_state.h"
#include "palette/pal_form.h"
#include "palette/zsnes_state.h"
#include "shell/clock.h"
#include "support/app_fixture.h"
#include "tools/clip_form.h"

namespace varnock {
// Readable failures for palette entries.
void PrintTo(const PaletteEntry& e, std::ostream* os) {
  *os << "(" << int(e.red) << "," << int(e.green) << "," << int(e.blue) << ")";
}
}  // namespace varnock

namespace varnock::test {
namespace {

constexpr uint32_t kInterval = 500;

PaletteEntry EntryOf(const QColor& c) {
  return MakeEntry(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

std::vector<uint8_t> Vrk(uint8_t format, std::vector<uint8_t> entries) {
  std::vector<uint8_t> bytes{'V', 'R', 'K', format};
  bytes.insert(bytes.end(), entries.begin(), entries.end());
  return bytes;
}

// A Game Boy Color image: 2 bits per pixel, so four swatches.
class PalEditor : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    SetDoubleClickTimeSource([] { return kInterval; });
    SetTickCountSource([this] { return now; });
    child = Open("GAME.gbc", PatternBytes(32768, 7));
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(PalForm->SwatchCount, 4);
  }
  void TearDown() override {
    SetDoubleClickTimeSource({});
    SetTickCountSource({});
    AppTest::TearDown();
  }

  void Press(int swatch, Qt::MouseButton button, uint32_t tick) {
    now = tick;
    QTest::mouseClick(PalForm->Shapes[swatch], button);
  }
  PaletteEntry Foreground() const {
    return child->Doc.Palette[PalForm->FirstEntry + PalForm->LeftColor];
  }
  std::string Path(const char* name) const { return dir.File(name); }

  uint32_t now = 1000;
  TChildForm* child = nullptr;
};

// --- double clicks ---

struct Click {
  int swatch;
  Qt::MouseButton button;
  uint32_t tick;
};
struct DoubleClickCase {
  const char* name;
  std::vector<Click> clicks;
  bool opensDialog;
};
void PrintTo(const DoubleClickCase& c, std::ostream* os) {
  *os << c.name;
}

class DoubleClickTest : public PalEditor, public ::testing::WithParamInterface<DoubleClickCase> {};

TEST_P(DoubleClickTest, OpensTheColourDialogOnlyForTheSameSwatchInTime) {
  for (const Click& click : GetParam().clicks) Press(click.swatch, click.button, click.tick);
  const int last = GetParam().clicks.back().swatch;
  if (GetParam().opensDialog) {
    ASSERT_EQ(prompts.ColorRequests.size(), 1u);
    EXPECT_EQ(EntryOf(prompts.ColorRequests[0]), child->Doc.Palette[PalForm->FirstEntry + last]);
  } else {
    EXPECT_TRUE(prompts.ColorRequests.empty());
  }
  EXPECT_FALSE(child->Doc.PaletteModified);  // the dialog was cancelled
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
            "MiddleClickBetween", {{3, L, 1000}, {2, Qt::MiddleButton, 1100}, {3, L, 1200}}, true},
        DoubleClickCase{"RightTwice", {{3, R, 1000}, {3, R, 1100}}, false},
        DoubleClickCase{"TickCounterWrapped", {{1, L, 0xFFFFFF00u}, {1, L, 0x40}}, true},
        DoubleClickCase{"FirstClickSoonAfterStart", {{1, L, 100}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PalEditor, RealDoubleClickAsksOnceAndOkWritesTheEntry) {
  prompts.Colors.push_back(QColor(12, 34, 56));
  // What a real double click delivers: press, release, then a double-click event in place of
  // the second press.
  QTest::mouseClick(PalForm->Shapes[2], Qt::LeftButton);
  QTest::mouseDClick(PalForm->Shapes[2], Qt::LeftButton);
  ASSERT_EQ(prompts.ColorRequests.size(), 1u);
  const PaletteEntry chosen = MakeEntry(12, 34, 56);
  EXPECT_EQ(PalForm->LeftColor, 2);
  EXPECT_EQ(child->Doc.Palette[PalForm->FirstEntry + 2], chosen);
  EXPECT_TRUE(child->Doc.PaletteModified);
  EXPECT_EQ(EntryOf(PalForm->Shapes[2]->Color()), chosen);
  EXPECT_EQ(EntryOf(PalForm->FGShape->Color()), chosen);
  EXPECT_EQ(PalForm->GreenBar->value(), 34);
  EXPECT_EQ(PalForm->BEdit->text(), QStringLiteral("56"));
}

// --- the edit boxes ---

struct TypingCase {
  const char* name;
  int box;           // 0 red, 1 green, 2 blue
  const char* keys;  // typed over the selected text; '\b' is backspace
  const char* shown;
  int channel;
};
void PrintTo(const TypingCase& c, std::ostream* os) {
  *os << c.name;
}

class TypingTest : public PalEditor, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(TypingTest, NormalisesTheBoxAndWritesTheChannel) {
  const TypingCase& c = GetParam();
  QLineEdit* edits[] = {PalForm->REdit, PalForm->GEdit, PalForm->BEdit};
  QScrollBar* bars[] = {PalForm->RedBar, PalForm->GreenBar, PalForm->BlueBar};
  const PaletteEntry before = Foreground();
  edits[c.box]->selectAll();
  QTest::keyClicks(edits[c.box], QString::fromLatin1(c.keys));
  EXPECT_EQ(edits[c.box]->text(), QString::fromLatin1(c.shown));
  EXPECT_EQ(bars[c.box]->value(), c.channel);
  const PaletteEntry after = Foreground();
  const int channels[] = {after.red, after.green, after.blue};
  const int old[] = {before.red, before.green, before.blue};
  for (int k = 0; k < 3; ++k) EXPECT_EQ(channels[k], k == c.box ? c.channel : old[k]) << k;
  EXPECT_TRUE(child->Doc.PaletteModified);
}

INSTANTIATE_TEST_SUITE_P(PalEditor, TypingTest,
                         ::testing::Values(TypingCase{"AboveRangeClamps", 0, "300", "255", 255},
                                           TypingCase{"ClearedBoxIsZero", 0, "\b", "0", 0},
                                           TypingCase{"LettersIgnored", 1, "a1b2-", "12", 12},
                                           TypingCase{"BackspaceWorks", 2, "123\b", "12", 12},
                                           TypingCase{"LeadingZerosGo", 1, "007", "7", 7},
                                           TypingCase{"BlueClamps", 2, "999", "255", 255}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- the bars ---

struct BarCase {
  const char* name;
  int bar;
  int position;
  PaletteEntry written;
};
void PrintTo(const BarCase& c, std::ostream* os) {
  *os << c.name;
}

class BarTest : public PalEditor, public ::testing::WithParamInterface<BarCase> {};

TEST_P(BarTest, OneBarWritesAllThreeChannels) {
  // The entry disagrees with the bars, so a handler writing only the moved channel shows.
  child->Doc.Palette[PalForm->FirstEntry + PalForm->LeftColor] = MakeEntry(1, 2, 3);
  PalForm->BarsLive = false;
  PalForm->RedBar->setValue(10);
  PalForm->GreenBar->setValue(30);
  PalForm->BlueBar->setValue(20);
  PalForm->BarsLive = true;
  QScrollBar* bars[] = {PalForm->RedBar, PalForm->GreenBar, PalForm->BlueBar};
  bars[GetParam().bar]->setValue(GetParam().position);
  EXPECT_EQ(Foreground(), GetParam().written);
  EXPECT_EQ(EntryOf(PalForm->FGShape->Color()), GetParam().written);
  EXPECT_EQ(EntryOf(PalForm->Shapes[PalForm->LeftColor]->Color()), GetParam().written);
  const QLineEdit* edits[] = {PalForm->REdit, PalForm->GEdit, PalForm->BEdit};
  EXPECT_EQ(edits[GetParam().bar]->text(), QString::number(GetParam().position));
}

INSTANTIATE_TEST_SUITE_P(PalEditor, BarTest,
                         ::testing::Values(BarCase{"Green", 1, 77, MakeEntry(10, 77, 20)},
                                           BarCase{"Red", 0, 99, MakeEntry(99, 30, 20)},
                                           BarCase{"Blue", 2, 0, MakeEntry(10, 30, 0)}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- the up-down ---

struct UpDownCase {
  int paletteSize;
  int bits;
  int highest;
};
class UpDownTest : public PalEditor, public ::testing::WithParamInterface<UpDownCase> {};

TEST_P(UpDownTest, RangesOverWholeSubPalettesAndPagesToTheTop) {
  PalForm->PaletteSize = GetParam().paletteSize;
  PalForm->BitsPerPixel = GetParam().bits;
  PalForm->SubPalette = 0;
  PalForm->RefreshPalette();
  EXPECT_EQ(PalForm->PalUpDown->minimum(), 0);
  EXPECT_EQ(PalForm->PalUpDown->maximum(), GetParam().highest);
  PalForm->PalUpDown->setValue(GetParam().highest);
  const int first = GetParam().highest << GetParam().bits;
  EXPECT_EQ(PalForm->SubPalette, GetParam().highest);
  EXPECT_EQ(PalForm->FirstEntry, first);
  EXPECT_EQ(EntryOf(PalForm->Shapes[0]->Color()), child->Doc.Palette[first]);
}

INSTANTIATE_TEST_SUITE_P(PalEditor, UpDownTest,
                         ::testing::Values(UpDownCase{16, 2, 3}, UpDownCase{16, 4, 0},
                                           UpDownCase{256, 1, 127}, UpDownCase{32, 3, 3},
                                           UpDownCase{5, 4, 0}, UpDownCase{0, 1, 0}));

// --- serving and handing back ---

TEST_F(PalEditor, ArrangerEditsTouchOnlyTheArrangersPalette) {
  const PaletteTable romPalette = child->Doc.Palette;
  MainForm->ActiveRom = ClipForm;
  PalForm->TargetSurface = &ClipForm->ArrangerSurface;
  PalForm->TargetPalette = &ClipForm->ArrangerPalette;
  PalForm->BitsPerPixel = 4;
  PalForm->SubPalette = 0;
  PalForm->RefreshPalette();
  ClipForm->ArrangerPalette[16] = MakeEntry(1, 2, 3);
  Press(5, Qt::LeftButton, 1000);
  Press(9, Qt::RightButton, 1100);
  PalForm->RedBar->setValue(200);
  EXPECT_EQ(ClipForm->ArrangerPalette[5].red, 200);
  const SurfaceColor grey = ClipForm->ArrangerSurface.Colors[kEmptyCellIndex];
  EXPECT_EQ(grey, (SurfaceColor{64, 64, 64, 0}));
  EXPECT_EQ(ClipForm->ArrangerSurface.Colors[5].red, 200);
  EXPECT_FALSE(child->Doc.PaletteModified);
  EXPECT_EQ(child->Doc.Palette, romPalette);
  PalForm->FormDeactivate();
  EXPECT_EQ(ClipForm->LeftColor, 5);
  EXPECT_EQ(ClipForm->RightColor, 9);
}

TEST_F(PalEditor, AnEditRepaintsTheServedView) {
  const QImage before = child->ViewBitmap.copy();
  const PaletteEntry old = Foreground();
  PalForm->RedBar->setValue(old.red == 255 ? 0 : 255);
  const QRgb fresh = qRgb(PalForm->RedBar->value(), old.green, old.blue);
  int changed = 0;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x)
      if (before.pixel(x, y) != child->ViewBitmap.pixel(x, y)) {
        ++changed;
        EXPECT_EQ(child->ViewBitmap.pixel(x, y) & 0xFFFFFF, fresh & 0xFFFFFF);
      }
  EXPECT_GT(changed, 0);
}

TEST_F(PalEditor, PicksAndSubPaletteTravelWithTheirWindow) {
  Press(2, Qt::LeftButton, 1000);
  Press(3, Qt::RightButton, 1100);
  PalForm->PalUpDown->setValue(5);
  PalForm->FormDeactivate();
  EXPECT_EQ(child->Doc.LeftColor, 2);
  EXPECT_EQ(child->Doc.RightColor, 3);
  EXPECT_EQ(child->Doc.SubPalette, 5);
  TChildForm* other = Open("OTHER.gbc", PatternBytes(32768, 9));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(PalForm->SubPalette, 0);
  MainForm->MdiArea->setActiveSubWindow(child);
  EXPECT_EQ(MainForm->ActiveRom, child);
  EXPECT_EQ(PalForm->SubPalette, 5);
  EXPECT_EQ(PalForm->LeftColor, 2);
  EXPECT_EQ(PalForm->FirstEntry, 20);
}

TEST_F(PalEditor, FewerBitsKeepTheEditedEntryInsideThePalette) {
  PalForm->BitsPerPixel = 4;
  PalForm->SubPalette = 15;
  PalForm->RefreshPalette();
  Press(15, Qt::LeftButton, 1000);
  Press(14, Qt::RightButton, 1100);
  // The last one-bit sub-palette: entries 254 and 255.
  PalForm->BitsPerPixel = 1;
  PalForm->SubPalette = 127;
  PalForm->RefreshPalette();
  EXPECT_LT(PalForm->LeftColor, PalForm->SwatchCount);
  EXPECT_LT(PalForm->RightColor, PalForm->SwatchCount);
  const PaletteTable before = child->Doc.Palette;
  PalForm->RedBar->setValue(before[PalForm->FirstEntry + PalForm->LeftColor].red ^ 0x80);
  int changed = 0;
  for (int k = 0; k < kPaletteEntries; ++k) changed += child->Doc.Palette[k] != before[k];
  EXPECT_EQ(changed, 1);
  EXPECT_NE(Foreground(), before[PalForm->FirstEntry + PalForm->LeftColor]);
}

TEST_F(PalEditor, WithNothingServedOnlyTheBoxesNormalise) {
  MainForm->ActiveRom = nullptr;
  const PaletteTable before = child->Doc.Palette;
  const uint8_t left = child->Doc.LeftColor;
  Press(3, Qt::LeftButton, 1000);
  Press(3, Qt::LeftButton, 1100);
  PalForm->GreenBar->setValue(123);
  PalForm->PalUpDown->setValue(1);
  PalForm->REdit->selectAll();
  QTest::keyClicks(PalForm->REdit, QStringLiteral("300"));
  PalForm->FormDeactivate();
  EXPECT_EQ(PalForm->REdit->text(), QStringLiteral("255"));
  EXPECT_EQ(PalForm->RedBar->value(), 255);
  EXPECT_TRUE(prompts.ColorRequests.empty());
  EXPECT_EQ(child->Doc.Palette, before);
  EXPECT_EQ(child->Doc.LeftColor, left);
  EXPECT_FALSE(child->Doc.PaletteModified);
}

// --- the Palette menu ---

struct Message {
  const char* text;
  PromptIcon icon;
};
const Message kQuestion{"Current palette has been modified. Save changes?", PromptIcon::Question};
const Message kCouldNotLoad{"Couldn't load palette.", PromptIcon::Stop};
const Message kNotVarnock{"Error: Palette is not a valid Varnock Pro palette.", PromptIcon::Stop};

struct LoadCase {
  const char* name;
  bool modified;
  PromptAnswer answer;
  const char* file;  // null: the open dialog is cancelled
  std::vector<uint8_t> bytes;
  std::vector<Message> messages;
  bool savedFirst;
  int loadedEntries;  // 0: the palette stays as it was
};
void PrintTo(const LoadCase& c, std::ostream* os) {
  *os << c.name;
}

std::vector<uint8_t> SixteenRgb() {
  std::vector<uint8_t> entries;
  for (int k = 0; k < 48; ++k) entries.push_back(uint8_t(k * 5 + 1));
  return Vrk(0, entries);
}

class LoadTest : public PalEditor, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, AsksLoadsAndReportsWithExactWords) {
  const LoadCase& c = GetParam();
  PalForm->PalUpDown->setValue(1);  // loading starts again at sub-palette 0
  PalForm->FormDeactivate();
  child->Doc.PaletteModified = c.modified;
  const PaletteTable before = child->Doc.Palette;
  const std::string palettePath = child->Doc.PalettePath;
  prompts.Answers.push_back(c.answer);
  if (c.file)
    prompts.FileNames.push_back(QString::fromStdString(dir.Write(c.file, c.bytes)));
  else
    prompts.FileNames.push_back(std::nullopt);
  child->Load1->trigger();

  ASSERT_EQ(prompts.Messages.size(), c.messages.size());
  for (size_t k = 0; k < c.messages.size(); ++k) {
    EXPECT_EQ(prompts.Messages[k].Text, QString::fromUtf8(c.messages[k].text));
    EXPECT_EQ(prompts.Messages[k].Caption, QStringLiteral("Varnock Pro"));
    EXPECT_EQ(prompts.Messages[k].Icon, c.messages[k].icon);
    EXPECT_EQ(prompts.Messages[k].Buttons, c.messages[k].icon == PromptIcon::Question
                                               ? PromptButtons::YesNo
                                               : PromptButtons::Ok);
  }
  ASSERT_EQ(prompts.FileDialogs.size(), 1u);
  const RecordedFileDialog& open = prompts.FileDialogs[0];
  EXPECT_FALSE(open.Save);
  EXPECT_EQ(open.Title, QStringLiteral("Carica Palette"));
  EXPECT_EQ(open.Filter, QStringLiteral("Tutti i tipi supportati|*.VRK;*.ST?;*.ZS?|Varnock "
                                        "Palettes (*.VRK)|*.VRK|NESticle Save States "
                                        "(*.STA)|*.ST?|ZSNES Save States (*.ZST)|*.ZS?"));
  EXPECT_EQ(open.DefaultExtension, QStringLiteral("VRK"));
  EXPECT_EQ(open.Preset, QString::fromStdString(palettePath));
  EXPECT_EQ(std::filesystem::exists(palettePath), c.savedFirst);
  if (c.savedFirst) {
    EXPECT_EQ(ReadFile(palettePath).size(), 4u + 3 * 256);
  }

  if (c.loadedEntries == 0) {
    EXPECT_EQ(child->Doc.Palette, before);
    EXPECT_EQ(child->Doc.PalettePath, palettePath);
    EXPECT_EQ(child->Doc.SubPalette, 1);
    return;
  }
  for (int k = 0; k < kPaletteEntries; ++k) {
    const uint8_t v = uint8_t(k * 15 + 1);
    const PaletteEntry expected = k < c.loadedEntries ? MakeEntry(v, v + 5, v + 10) : before[k];
    ASSERT_EQ(child->Doc.Palette[k], expected) << k;
  }
  EXPECT_EQ(child->Doc.PalettePath, dir.File(c.file));
  EXPECT_EQ(child->Doc.PaletteSize, c.loadedEntries);
  EXPECT_TRUE(child->EntryItems[0]->isChecked());
  EXPECT_EQ(child->Doc.SubPalette, 0);
  EXPECT_EQ(PalForm->SubPalette, 0);
  EXPECT_EQ(PalForm->PaletteSize, 16);
  EXPECT_EQ(PalForm->PalUpDown->maximum(), 3);
  EXPECT_EQ(EntryOf(PalForm->Shapes[1]->Color()), child->Doc.Palette[1]);
  EXPECT_EQ(child->Doc.PaletteModified, c.modified);  // loading never clears the mark
}

INSTANTIATE_TEST_SUITE_P(
    PalEditor, LoadTest,
    ::testing::Values(
        LoadCase{"Unmodified", false, PromptAnswer::Yes, "p.vrk", SixteenRgb(), {}, false, 16},
        LoadCase{
            "NoStillLoads", true, PromptAnswer::No, "p.vrk", SixteenRgb(), {kQuestion}, false, 16},
        LoadCase{
            "YesSavesBeforeTheDialog", true, PromptAnswer::Yes, nullptr, {}, {kQuestion}, true, 0},
        LoadCase{
            "LowerCaseExtension", false, PromptAnswer::Yes, "q.Vrk", SixteenRgb(), {}, false, 16},
        LoadCase{"UnknownExtension",
                 false,
                 PromptAnswer::Yes,
                 "p.bin",
                 SixteenRgb(),
                 {kCouldNotLoad},
                 false,
                 0},
        LoadCase{"NoSignature",
                 false,
                 PromptAnswer::Yes,
                 "p.vrk",
                 {'V', 'R', 'X', 0, 1, 2, 3},
                 {kNotVarnock, kCouldNotLoad},
                 false,
                 0},
        LoadCase{"SaveStateTooShort",
                 false,
                 PromptAnswer::Yes,
                 "p.zst",
                 std::vector<uint8_t>(52243 + 100),
                 {kCouldNotLoad},
                 false,
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct RoundTripCase {
  const char* item;    // "&Formato" item chosen
  const char* marked;  // item that shows the mark
  size_t fileBytes;
  std::function<PaletteEntry(PaletteEntry)> precision;
  std::array<PaletteEntry, 3> firstThree;  // from (0,0,0), (255,255,255), (7,0,0)
};
void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << c.item;
}

class RoundTripTest : public PalEditor, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, SavedAndLoadedAgainKeepsTheEncodingsPrecision) {
  const RoundTripCase& c = GetParam();
  const std::vector<uint8_t> noise = PatternBytes(3 * 256, 11);
  for (int k = 0; k < kPaletteEntries; ++k)
    child->Doc.Palette[k] = MakeEntry(noise[3 * k], noise[3 * k + 1], noise[3 * k + 2]);
  child->Doc.Palette[0] = MakeEntry(0, 0, 0);
  child->Doc.Palette[1] = MakeEntry(255, 255, 255);
  child->Doc.Palette[2] = MakeEntry(7, 0, 0);
  const PaletteTable original = child->Doc.Palette;
  child->Format2->findChild<QAction*>(QString::fromLatin1(c.item))->trigger();
  EXPECT_TRUE(child->Format2->findChild<QAction*>(QString::fromLatin1(c.marked))->isChecked());
  EXPECT_EQ(child->Doc.Palette, original);  // choosing an encoding converts nothing

  const QString path = QString::fromStdString(Path("round.vrk"));
  prompts.FileNames = {path, path};
  child->SaveAs1->trigger();
  ASSERT_EQ(prompts.FileDialogs.size(), 1u);
  EXPECT_EQ(prompts.FileDialogs[0].Title, QStringLiteral("Salva Palette"));
  EXPECT_EQ(prompts.FileDialogs[0].Filter, QStringLiteral("Varnock Palettes (*.VRK)|*.VRK"));
  EXPECT_EQ(prompts.FileDialogs[0].DefaultExtension, QStringLiteral("VRK"));
  EXPECT_EQ(ReadFile(path.toStdString()).size(), c.fileBytes);
  child->Doc.Palette.fill(MakeEntry(1, 2, 3));
  child->Load1->trigger();
  ASSERT_TRUE(prompts.Messages.empty());
  for (int k = 0; k < 3; ++k) EXPECT_EQ(child->Doc.Palette[k], c.firstThree[k]) << k;
  for (int k = 0; k < kPaletteEntries; ++k)
    ASSERT_EQ(child->Doc.Palette[k], c.precision(original[k])) << k;
}

PaletteEntry Same(PaletteEntry e) {
  return e;
}
PaletteEntry Fifteen(PaletteEntry e) {
  return MakeEntry(e.red & 0xF8, e.green & 0xF8, e.blue & 0xF8);
}
PaletteEntry Nes(PaletteEntry e) {
  return NesPalette[NearestNesIndex(e)];
}

constexpr PaletteEntry kBlack = MakeEntry(0, 0, 0);
constexpr PaletteEntry kWhite = MakeEntry(255, 255, 255);
constexpr PaletteEntry kFifteenWhite = MakeEntry(248, 248, 248);
INSTANTIATE_TEST_SUITE_P(
    PalEditor, RoundTripTest,
    ::testing::Values(
        RoundTripCase{"RGB1", "RGB1", 772, Same, {kBlack, kWhite, MakeEntry(7, 0, 0)}},
        RoundTripCase{"NES2", "NES2", 260, Nes, {kBlack, kWhite, kBlack}},
        RoundTripCase{"GBC2", "SNES2", 516, Fifteen, {kBlack, kFifteenWhite, kBlack}},
        RoundTripCase{"GBA2", "SNES2", 516, Fifteen, {kBlack, kFifteenWhite, kBlack}},
        RoundTripCase{"SNES2", "SNES2", 516, Fifteen, {kBlack, kFifteenWhite, kBlack}}),
    [](const auto& info) { return std::string(info.param.item); });

// --- a palette read from an emulator save state ---

struct SaveStateCase {
  const char* name;
  bool throughLoadQuestion;  // Yes to the load question instead of "&Salva"
  const char* newName;       // null: the save dialog is cancelled
};
void PrintTo(const SaveStateCase& c, std::ostream* os) {
  *os << c.name;
}

class SaveStateTest : public PalEditor, public ::testing::WithParamInterface<SaveStateCase> {};

TEST_P(SaveStateTest, SavingNeverWritesOverTheState) {
  std::vector<uint8_t> state = PatternBytes(kNesticlePaletteOffset + 40, 3);
  for (int k = 0; k < 32; ++k) state[kNesticlePaletteOffset + k] = uint8_t(k);
  const std::string statePath = dir.Write("game.sta", state);
  prompts.FileNames.push_back(QString::fromStdString(statePath));
  child->Load1->trigger();
  ASSERT_TRUE(prompts.Messages.empty());
  EXPECT_TRUE(child->NES2->isChecked());
  EXPECT_TRUE(child->EntryItems[1]->isChecked());
  EXPECT_EQ(child->Doc.PalettePath, statePath);
  EXPECT_EQ(child->Doc.Palette[5], NesPalette[5]);
  PalForm->RedBar->setValue(PalForm->RedBar->value() ^ 0x40);
  ASSERT_TRUE(child->Doc.PaletteModified);
  prompts.FileDialogs.clear();

  const char* newName = GetParam().newName;
  prompts.FileNames.push_back(newName ? std::optional(QString::fromStdString(Path(newName)))
                                      : std::nullopt);
  if (GetParam().throughLoadQuestion) {
    prompts.Answers.push_back(PromptAnswer::Yes);
    prompts.FileNames.push_back(std::nullopt);  // then cancel the open dialog
    child->Load1->trigger();
  } else {
    child->Save1->trigger();
  }
  ASSERT_GE(prompts.FileDialogs.size(), 1u);
  EXPECT_TRUE(prompts.FileDialogs[0].Save);
  EXPECT_EQ(prompts.FileDialogs[0].Preset, QString::fromStdString(Path("game.VRK")));
  EXPECT_EQ(ReadFile(statePath), state);
  // With nothing saved, a load that would replace the edits does not go on.
  if (GetParam().throughLoadQuestion) {
    EXPECT_EQ(prompts.FileDialogs.size(), newName ? 2u : 1u);
  }
  if (newName) {
    EXPECT_EQ(ReadFile(Path(newName)).size(), 4u + 32);
    EXPECT_EQ(child->Doc.PalettePath, Path(newName));
  } else {
    EXPECT_EQ(child->Doc.PalettePath, statePath);
  }
}

INSTANTIATE_TEST_SUITE_P(PalEditor, SaveStateTest,
                         ::testing::Values(SaveStateCase{"SalvaAsksForAName", false, "new.vrk"},
                                           SaveStateCase{"SalvaCancelled", false, nullptr},
                                           SaveStateCase{"LoadQuestionAsks", true, "new.vrk"},
                                           SaveStateCase{"LoadQuestionCancelled", true, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PalEditor, SaveAsOffersTheStatePathAndAFailedWriteNamesTheFile) {
  std::vector<uint8_t> state(kZsnesPaletteOffset + 512);
  const std::string statePath = dir.Write("game.zst", state);
  prompts.FileNames.push_back(QString::fromStdString(statePath));
  child->Load1->trigger();
  const std::string missing = Path("no-such-folder/p.vrk");
  prompts.FileNames.push_back(QString::fromStdString(missing));
  child->SaveAs1->trigger();
  ASSERT_EQ(prompts.FileDialogs.size(), 2u);
  EXPECT_EQ(prompts.FileDialogs[1].Preset, QString::fromStdString(statePath));
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_TRUE(prompts.Messages[0].Text.startsWith(
      QStringLiteral("Error: Could not save the palette '%1'.\n")
          .arg(QString::fromStdString(missing))))
      << prompts.Messages[0].Text.toStdString();
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
  EXPECT_EQ(ReadFile(statePath), state);
}

}  // namespace
}  // namespace varnock::test
