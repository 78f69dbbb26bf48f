// Palettes from the ROM image, from today's emulators' states and from image editors' files,
// through the ROM window's Palette menu.
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "document/rom_palette_form.h"
#include "palette/pal_form.h"
#include "support/app_fixture.h"
#include "support/compress.h"
#include "support/emulator_files.h"

namespace varnock::test {
namespace {

PaletteEntry EntryOf(const QColor& c) {
  return MakeEntry(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

// A Game Boy Color image of 32 KiB whose bytes 0x4000.. hold fifteen-bit red, green, blue,
// grey and whose last five bytes are 0x16 (a NES red) each.
constexpr int32_t kPaletteAt = 0x4000;
constexpr int32_t kImageBytes = 0x8000;

class PaletteSources : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Bytes image = PatternBytes(kImageBytes, 7);
    for (size_t k = 0; k < 4; ++k) {
      image[kPaletteAt + 2 * k] = static_cast<uint8_t>(kFifteenWords[k]);
      image[kPaletteAt + 2 * k + 1] = static_cast<uint8_t>(kFifteenWords[k] >> 8);
    }
    for (size_t k = kImageBytes - 5; k < kImageBytes; ++k) image[k] = 0x16;
    child = Open("GAME.gbc", image);
    ASSERT_NE(child, nullptr);
  }
  TRomPalForm* OpenRomDialog() {
    child->LoadFromRom1->trigger();
    return child->findChild<TRomPalForm*>();
  }
  std::string RomVrk() const { return dir.File("GAME.VRK"); }

  TChildForm* child = nullptr;
};

TEST_F(PaletteSources, RomItemClosesThePaletteMenuWithAMnemonicOfItsOwn) {
  QList<QAction*> items = child->Palette1->actions();
  ASSERT_FALSE(items.isEmpty());
  EXPECT_EQ(items.last(), child->LoadFromRom1);
  EXPECT_EQ(child->LoadFromRom1->text(), QStringLiteral("Carica da R&OM..."));
  for (QAction* item : items) {
    if (item == child->LoadFromRom1 || item->isSeparator()) continue;
    const QString text = item->menu() ? item->menu()->title() : item->text();
    const qsizetype amp = text.indexOf(QLatin1Char('&'));
    ASSERT_GE(amp, 0) << text.toStdString();
    EXPECT_NE(text.at(amp + 1).toUpper(), QLatin1Char('O')) << text.toStdString();
  }
}

TEST_F(PaletteSources, RomDialogStartsAtTheViewOffsetAndTheWindowsSettings) {
  child->MoveViewTo(0x1230);
  TRomPalForm* dialog = OpenRomDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->OffsetEdit->text(), QString::number(child->Doc.ViewOffset, 16).toUpper());
  EXPECT_NE(child->Doc.ViewOffset, 0);
  EXPECT_EQ(dialog->EncodingBox->currentData().toInt(), child->Doc.PalFormat);
  EXPECT_EQ(dialog->EntriesBox->currentData().toInt(), 256);
  // Text that is not a number is reported and the dialog stays.
  dialog->OffsetEdit->clear();
  QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("'' non è un valore integer valido"));
  EXPECT_TRUE(dialog->isVisible());
  QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
  EXPECT_FALSE(child->Doc.PaletteModified);
}

struct RomCase {
  const char* name;
  const char* offset;
  int encoding;  // index in the encoding box: RGB, NES, fifteen-bit
  int entriesIndex;
  int32_t loaded;  // 0: refused
  const char* status;
  friend void PrintTo(const RomCase& c, std::ostream* os) { *os << c.name; }
};

class RomPaletteTest : public PaletteSources, public ::testing::WithParamInterface<RomCase> {};

TEST_P(RomPaletteTest, ReadsTheWholeEntriesThatAreThere) {
  const RomCase& c = GetParam();
  const PaletteTable before = child->Doc.Palette;
  child->Doc.PalettePath = dir.File("elsewhere.gpl");
  TRomPalForm* dialog = OpenRomDialog();
  ASSERT_NE(dialog, nullptr);
  dialog->OffsetEdit->setText(QString::fromLatin1(c.offset));
  dialog->EncodingBox->setCurrentIndex(c.encoding);
  dialog->EntriesBox->setCurrentIndex(c.entriesIndex);
  QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
  EXPECT_EQ(MainForm->statusBar()->currentMessage(), QString::fromUtf8(c.status));
  if (c.loaded == 0) {
    ASSERT_EQ(prompts.Messages.size(), 1u);
    EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("Couldn't load palette."));
    EXPECT_EQ(child->Doc.Palette, before);
    EXPECT_FALSE(child->Doc.PaletteModified);
    EXPECT_EQ(child->Doc.PalettePath, dir.File("elsewhere.gpl"));
    return;
  }
  EXPECT_TRUE(prompts.Messages.empty());
  EXPECT_EQ(child->Doc.PaletteSize, c.loaded);
  EXPECT_TRUE(child->Doc.PaletteModified);
  EXPECT_EQ(child->Doc.PalettePath, RomVrk());
  EXPECT_EQ(child->Doc.SubPalette, 0);
  if (c.loaded < kPaletteEntries) {  // past the read: untouched
    EXPECT_EQ(child->Doc.Palette[c.loaded], before[c.loaded]);
  }
  if (c.encoding == 2) {
    EXPECT_TRUE(child->SNES2->isChecked());
    // What the user sees: the editor's swatches show the colours read.
    for (size_t k = 0; k < 4; ++k) {
      EXPECT_EQ(child->Doc.Palette[k], kFifteenColors[k]) << k;
      EXPECT_EQ(EntryOf(PalForm->Shapes[k]->Color()), kFifteenColors[k]) << k;
    }
  } else {
    EXPECT_TRUE(child->NES2->isChecked());
    for (int32_t k = 0; k < c.loaded; ++k) EXPECT_EQ(child->Doc.Palette[k], NesPalette[0x16]);
  }
  // "&Salva" keeps the result beside the ROM, without asking.
  child->Save1->trigger();
  EXPECT_TRUE(prompts.FileDialogs.empty());
  EXPECT_TRUE(std::filesystem::exists(RomVrk()));
}

INSTANTIATE_TEST_SUITE_P(PaletteSources, RomPaletteTest,
                         ::testing::Values(RomCase{"known_offset", "4000", 2, 0, 16, ""},
                                           RomCase{"known_offset_256", "4000", 2, 4, 256, ""},
                                           RomCase{"at_the_end", "7FFB", 1, 1, 5,
                                                   "The image ends first: 5 of 32 colours loaded."},
                                           RomCase{"last_byte", "7FFF", 1, 0, 1,
                                                   "The image ends first: 1 of 16 colours loaded."},
                                           RomCase{"half_an_entry", "7FFF", 2, 0, 0, ""},
                                           RomCase{"past_the_end", "8000", 0, 0, 0, ""},
                                           RomCase{"far_past_the_end", "FFFFFFFF", 0, 0, 0, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StateCase {
  const char* name;
  const char* file;
  Bytes bytes;
  QAction* TChildForm::*mark;
  int32_t size;
  std::vector<PaletteEntry> first;
  bool replaceable;  // "&Salva" writes the file in place rather than asking for a name
  friend void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }
};

class LoadSourceTest : public PaletteSources, public ::testing::WithParamInterface<StateCase> {};

TEST_P(LoadSourceTest, ColoursTheViewAndIsNeverOverwritten) {
  const StateCase& c = GetParam();
  const std::string path = dir.Write(c.file, c.bytes);
  prompts.FileNames.push_back(QString::fromStdString(path));
  const QImage before = child->ViewBitmap.copy();
  child->Load1->trigger();
  ASSERT_TRUE(prompts.Messages.empty()) << prompts.Messages[0].Text.toStdString();
  EXPECT_TRUE((child->*c.mark)->isChecked());
  EXPECT_EQ(child->Doc.PaletteSize, c.size);
  EXPECT_EQ(child->Doc.PalettePath, path);
  for (size_t k = 0; k < c.first.size(); ++k) {
    EXPECT_EQ(child->Doc.Palette[k], c.first[k]) << k;
    EXPECT_EQ(EntryOf(PalForm->Shapes[k]->Color()), c.first[k]) << k;
  }
  EXPECT_NE(child->ViewBitmap, before);  // the view took the new colours

  PalForm->RedBar->setValue(PalForm->RedBar->value() ^ 0x40);
  prompts.FileDialogs.clear();
  prompts.FileNames = {QString::fromStdString(dir.File("chosen.vrk"))};
  child->Save1->trigger();
  if (c.replaceable) {
    EXPECT_TRUE(prompts.FileDialogs.empty());
    EXPECT_NE(ReadFile(path), c.bytes);
    const PaletteReadResult again = ReadPaletteFile(path);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.Data.Entries[PalForm->FirstEntry + PalForm->LeftColor],
              child->Doc.Palette[PalForm->FirstEntry + PalForm->LeftColor]);
  } else {
    ASSERT_EQ(prompts.FileDialogs.size(), 1u);
    EXPECT_TRUE(prompts.FileDialogs[0].Save);
    EXPECT_EQ(ReadFile(path), c.bytes);
    EXPECT_TRUE(std::filesystem::exists(dir.File("chosen.vrk")));
  }
}

const std::vector<PaletteEntry> kFifteenFirst(std::begin(kFifteenColors), std::end(kFifteenColors));
const std::vector<PaletteEntry> kNesFirst(std::begin(kNesColors), std::end(kNesColors));

INSTANTIATE_TEST_SUITE_P(
    PaletteSources, LoadSourceTest,
    ::testing::Values(
        StateCase{"snes9x", "game.000", GzipCompress(Snes9xState(12)), &TChildForm::SNES2, 256,
                  kFifteenFirst, false},
        StateCase{"fceux", "game.fc0", FceuxState(FceuxBody()), &TChildForm::NES2, 32, kNesFirst,
                  false},
        StateCase{"mgba_png", "game.ss1", MgbaPng(ZlibCompress(MgbaState(0x0100000B))),
                  &TChildForm::SNES2, 256, kFifteenFirst, false},
        StateCase{
            "gens", "game.gs0", GenesisState(), &TChildForm::RGB1, 64,
            std::vector<PaletteEntry>(std::begin(kGenesisCramColors), std::end(kGenesisCramColors)),
            false},
        StateCase{"cgram_dump",
                  "cgram.bin",
                  [] {
                    Bytes words(512, 0x1F);  // every word 0x7C1F: red and blue
                    for (size_t k = 1; k < words.size(); k += 2) words[k] = 0x7C;
                    return words;
                  }(),
                  &TChildForm::SNES2,
                  256,
                  {MakeEntry(248, 0, 248)},
                  false},
        StateCase{"gimp", "art.gpl",
                  [] {
                    const std::string text =
                        "GIMP Palette\nName: Art\n#\n248 0 0 Red\n0 248 0\n0 0 248\n8 8 8\n";
                    return Bytes(text.begin(), text.end());
                  }(),
                  &TChildForm::RGB1, 4, kFifteenFirst, true},
        StateCase{"jasc",
                  "art.pal",
                  [] {
                    const std::string text = "JASC-PAL\r\n0100\r\n2\r\n0 0 0\r\n219 43 0\r\n";
                    return Bytes(text.begin(), text.end());
                  }(),
                  &TChildForm::RGB1,
                  2,
                  {kNesColors[0], kNesColors[1]},
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PaletteSources, RefusedStateChangesNothing) {
  Bytes damaged = FceuxState(FceuxBody());
  damaged.back() ^= 1;
  const PaletteTable before = child->Doc.Palette;
  const std::string path = child->Doc.PalettePath;
  prompts.FileNames.push_back(QString::fromStdString(dir.Write("bad.fc0", damaged)));
  child->Load1->trigger();
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("Couldn't load palette."));
  EXPECT_EQ(child->Doc.Palette, before);
  EXPECT_EQ(child->Doc.PalettePath, path);
}

TEST_F(PaletteSources, DialogFiltersKeepTheOldOnesFirst) {
  prompts.FileNames = {std::nullopt, std::nullopt};
  child->Load1->trigger();
  child->SaveAs1->trigger();
  ASSERT_EQ(prompts.FileDialogs.size(), 2u);
  const QString load = prompts.FileDialogs[0].Filter;
  const QStringList parts = load.split(QLatin1Char('|'));
  ASSERT_GE(parts.size(), 8);
  EXPECT_EQ(parts.mid(2, 6).join(QLatin1Char('|')),
            QStringLiteral("Varnock Palettes (*.VRK)|*.VRK|NESticle Save States (*.STA)|*.ST?|"
                           "ZSNES Save States (*.ZST)|*.ZS?"));
  EXPECT_EQ(parts[0], QStringLiteral("Tutti i tipi supportati"));
  EXPECT_TRUE(parts[1].startsWith(QStringLiteral("*.VRK;*.ST?;*.ZS?;")));
  for (const char* pattern :
       {"*.00?", "*.FRZ", "*.FC?", "*.SS?", "*.GS?", "*.ACT", "*.GPL", "*.PAL", "*.BIN"})
    EXPECT_TRUE(parts[1].split(QLatin1Char(';')).contains(QLatin1String(pattern))) << pattern;
  EXPECT_EQ(prompts.FileDialogs[0].DefaultExtension, QStringLiteral("VRK"));
  const QString save = prompts.FileDialogs[1].Filter;
  EXPECT_TRUE(save.startsWith(QStringLiteral("Varnock Palettes (*.VRK)|*.VRK|")))
      << save.toStdString();
  EXPECT_EQ(prompts.FileDialogs[1].DefaultExtension, QStringLiteral("VRK"));
}

struct SaveAsCase {
  const char* name;
  const char* file;
  int filter;
  const char* starts;  // the first bytes of the written file
  friend void PrintTo(const SaveAsCase& c, std::ostream* os) { *os << c.name; }
};

class SaveAsKindTest : public PaletteSources, public ::testing::WithParamInterface<SaveAsCase> {};

TEST_P(SaveAsKindTest, TheNameAndFilterChooseTheFile) {
  const SaveAsCase& c = GetParam();
  child->NES2->trigger();  // saved as the RGB colours whatever the encoding
  child->Doc.Palette[0] = MakeEntry(1, 2, 3);
  prompts.FileNames.push_back(QString::fromStdString(dir.File(c.file)));
  prompts.Filters.push_back(c.filter);
  child->SaveAs1->trigger();
  const Bytes written = ReadFile(dir.File(c.file));
  const std::string starts = c.starts;
  ASSERT_GE(written.size(), starts.size());
  EXPECT_EQ(std::string(written.begin(), written.begin() + starts.size()), starts);
  const PaletteReadResult read = ReadPaletteFile(dir.File(c.file));
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.Data.Entries[0],
            std::string(c.file).ends_with(".vrk") ? NesPalette[0x0F] : MakeEntry(1, 2, 3));
}

INSTANTIATE_TEST_SUITE_P(PaletteSources, SaveAsKindTest,
                         ::testing::Values(SaveAsCase{"vrk", "out.vrk", 0, "VRK\x01"},
                                           SaveAsCase{"act", "out.act", 1, "\x01\x02\x03"},
                                           SaveAsCase{"gimp", "out.gpl", 2, "GIMP Palette\n"},
                                           SaveAsCase{"jasc", "out.pal", 3, "JASC-PAL\r\n"},
                                           SaveAsCase{"riff", "out.pal", 4, "RIFF"},
                                           SaveAsCase{"pal_unknown_filter", "out.pal", -1,
                                                      "JASC-PAL\r\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PaletteSources, OpeningAReadsOnlyItsOwnVrk) {
  const std::string text = "GIMP Palette\n1 2 3\n";
  dir.Write("OTHER.gpl", Bytes(text.begin(), text.end()));
  dir.Write("OTHER.000", GzipCompress(Snes9xState(12)));
  TChildForm* other = Open("OTHER.gbc", PatternBytes(0x8000, 3));
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->Doc.Palette, DefaultPalette);
  EXPECT_EQ(other->Doc.PalettePath, dir.File("OTHER.VRK"));
}

struct ConsoleCase {
  const char* name;
  const char* file;
  RomPaletteFormat encoding;
};

class RomDialogConsoleTest : public AppTest, public ::testing::WithParamInterface<ConsoleCase> {};

TEST_P(RomDialogConsoleTest, StartsAtTheConsolesOwnColourWords) {
  const ConsoleCase& c = GetParam();
  TChildForm* rom = Open(c.file, PatternBytes(0x8000, 3));
  ASSERT_NE(rom, nullptr);
  rom->LoadFromRom1->trigger();
  auto* dialog = rom->findChild<TRomPalForm*>();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->EncodingBox->currentData().toInt(), c.encoding);
}

INSTANTIATE_TEST_SUITE_P(
    PaletteSources, RomDialogConsoleTest,
    ::testing::Values(ConsoleCase{"smd", "game.smd", kRomPaletteGenesis},
                      ConsoleCase{"md", "game.md", kRomPaletteGenesis},
                      ConsoleCase{"sms", "game.sms", kRomPaletteSms},
                      ConsoleCase{"gg", "game.gg", kRomPaletteGameGear},
                      ConsoleCase{"ngc", "game.ngc", kRomPaletteNgpc},
                      ConsoleCase{"gb", "game.gb", kPaletteRgb}),  // the window's palette format
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
}  // namespace varnock::test
