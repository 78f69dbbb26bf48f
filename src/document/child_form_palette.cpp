// The ROM window's palette: loading and saving it, and the Palette menu.
#include <QFile>
#include <QStatusBar>
#include <algorithm>
#include <span>

#include "document/child_form.h"
#include "document/rom_palette_form.h"
#include "io/file_io.h"
#include "palette/pal_form.h"
#include "palette/palette_file.h"
#include "palette/rom_palette.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"
#include "tools/clip_form.h"

namespace varnock {
namespace {

const FileDialogInfo kOpenPalDialog{
    QStringLiteral("Carica Palette"),
    QStringLiteral(
        "Tutti i tipi supportati|*.VRK;*.ST?;*.ZS?;*.00?;*.FRZ;*.FC?;*.SS?;*.GS?;*.ACT;*.GPL;"
        "*.PAL;*.BIN;*.DMP|Varnock Palettes (*.VRK)|*.VRK|"
        "NESticle Save States (*.STA)|*.ST?|ZSNES Save States (*.ZST)|*.ZS?|"
        "Snes9x Save States (*.000, *.frz)|*.00?;*.FRZ|FCEUX Save States (*.fc0)|*.FC?|"
        "mGBA Save States (*.ss0)|*.SS?|Gens/Kega Save States (*.gs0)|*.GS?|"
        "Adobe Color Tables (*.act)|*.ACT|GIMP Palettes (*.gpl)|*.GPL|"
        "JASC and RIFF Palettes (*.pal)|*.PAL|"
        "CGRAM, CRAM and Palette RAM Dumps (*.bin)|*.BIN;*.DMP|Tutti i file (*.*)|*.*"),
    QStringLiteral("VRK"), /*OverwritePrompt=*/false, /*FileMustExist=*/true};

// The save filters in the order of kSaveKinds.
const FileDialogInfo kSavePalDialog{
    QStringLiteral("Salva Palette"),
    QStringLiteral("Varnock Palettes (*.VRK)|*.VRK|Adobe Color Tables (*.act)|*.ACT|"
                   "GIMP Palettes (*.gpl)|*.GPL|JASC Palettes (*.pal)|*.PAL|"
                   "Microsoft RIFF Palettes (*.pal)|*.PAL"),
    QStringLiteral("VRK"), /*OverwritePrompt=*/false, /*FileMustExist=*/false};

constexpr PaletteFileKind kSaveKinds[] = {PaletteFileKind::Vrk, PaletteFileKind::Act,
                                          PaletteFileKind::Gpl, PaletteFileKind::JascPal,
                                          PaletteFileKind::RiffPal};

// The extension says the kind; only the two kinds of ".pal" need the filter the user chose.
PaletteFileKind KindForChosenName(const std::string& path, int filter) {
  const PaletteFileKind byName = PaletteFileKindFor(path);
  const bool palFilter = filter == 3 || filter == 4;
  if ((byName == PaletteFileKind::JascPal || byName == PaletteFileKind::RiffPal) && palFilter)
    return kSaveKinds[filter];
  return byName;
}

// Saves to a name the user picks; `preset` is offered first. False when cancelled or failed.
bool SaveUnderChosenName(TChildForm& rom, const QString& preset) {
  int filter = -1;
  const std::optional<QString> chosen =
      CurrentPrompts().SaveFileNameWithFilter(kSavePalDialog, preset, &filter);
  if (!chosen) return false;
  rom.Doc.PalettePath = PathBytes(*chosen);
  return rom.SavePalette(rom.Doc.PalettePath, KindForChosenName(rom.Doc.PalettePath, filter));
}

// Saves over PalettePath, unless the palette was read out of an emulator save state and not
// saved since: a palette file written there would destroy the state, so a palette file name
// is asked for instead.
bool SaveToPalettePath(TChildForm& rom) {
  if (!rom.PaletteFromSaveState()) return rom.SavePalette(rom.Doc.PalettePath);
  return SaveUnderChosenName(rom,
                             PathForDisplay(RomDocument::DefaultPalettePath(rom.Doc.PalettePath)));
}

}  // namespace

void TChildForm::ConnectPaletteMenu() {
  connect(Load1, &QAction::triggered, this, &TChildForm::Load1Click);
  connect(Save1, &QAction::triggered, this, &TChildForm::Save1Click);
  connect(SaveAs1, &QAction::triggered, this, &TChildForm::SaveAs1Click);
}

bool TChildForm::LoadPalette(const QString& path) {
  return LoadPalette(PathBytes(path));
}

bool TChildForm::LoadPalette(const std::string& path) {
  const PaletteReadResult read = ReadPaletteFile(path);
  if (!read.ok()) {
    if (read.Error == PaletteFileError::NotVarnockPalette)
      ShowError(QStringLiteral("Error: Palette is not a valid Varnock Pro palette.\n%1")
                    .arg(PathForDisplay(path)));
    return false;
  }
  TakePaletteRead(read.Data);
  PaletteInRom.reset();
  Doc.PalettePath = path;
  // Palette files may be written again; anything else a palette came from is a state or dump.
  PaletteReadFromState = !IsPaletteFilePath(path);
  return true;
}

void TChildForm::TakePaletteRead(const PaletteFileData& read) {
  SetPaletteFormat(read.PalFormat);
  Doc.PaletteSize = read.PaletteSize;
  MarkPaletteSize(Doc.PaletteSize);
  Doc.SubPalette = 0;
  // The editor's working copies belong to the window it serves; another window's stay put.
  if (ServesPaletteEditor()) {
    PalForm->SubPalette = 0;
    PalForm->PaletteSize = Doc.PaletteSize;
  }
  for (size_t k = 0; k < read.Entries.size() && k < Doc.Palette.size(); ++k)
    Doc.Palette[k] = read.Entries[k];
}

bool TChildForm::SavePalette(const QString& path) {
  return SavePalette(PathBytes(path));
}

bool TChildForm::SavePalette(const std::string& path) {
  return SavePalette(path, PaletteFileKindFor(path));
}

bool TChildForm::SavePalette(const std::string& path, PaletteFileKind kind) {
  const PaletteWriteResult written =
      WritePaletteFile(path, Doc.Palette, Doc.PalFormat, Doc.PaletteSize, kind);
  if (written.ok()) {
    // The palette now lives in a palette file, wherever the state it came from was.
    if (path == Doc.PalettePath) PaletteReadFromState = false;
    return true;
  }
  ShowError(QStringLiteral("Error: Could not save the palette '%1'.\n%2")
                .arg(PathForDisplay(path), QString::fromStdString(written.Reason)));
  return false;
}

bool TChildForm::KeepPaletteEdits() {
  if (!Doc.PaletteModified) return true;
  const PromptAnswer answer = CurrentPrompts().MessageBox(
      QStringLiteral("Current palette has been modified. Save changes?"),
      QStringLiteral("Varnock Pro"), PromptButtons::YesNo, PromptIcon::Question);
  // Edits the user chose to keep are not replaced when they could not be saved.
  return answer != PromptAnswer::Yes || SaveToPalettePath(*this);
}

void TChildForm::Load1Click() {
  if (!KeepPaletteEdits()) return;
  const std::optional<QString> chosen =
      CurrentPrompts().OpenFileName(kOpenPalDialog, PathForDisplay(Doc.PalettePath));
  if (!chosen) return;
  if (!LoadPalette(*chosen)) {
    ShowError(QStringLiteral("Couldn't load palette."));
    return;
  }
  if (PalForm) PalForm->RefreshPalette();
}

void TChildForm::Save1Click() {
  SaveToPalettePath(*this);
}

void TChildForm::SaveAs1Click() {
  SaveUnderChosenName(*this, PathForDisplay(Doc.PalettePath));
}

void TChildForm::LoadFromRom1Click() {
  // The first time the page shown, the console's own colour words (a stream's are its source's)
  // or else the window's palette format, and its entry count; then the last choice.
  const std::string& extension = StreamSource ? StreamSource->Doc.RomExt : Doc.RomExt;
  const RomPaletteChoice preset = LastRomPalette.value_or(RomPaletteChoice{
      Doc.ViewOffset, ConsolePaletteFormat(extension, Doc.PalFormat), Doc.PaletteSize});
  auto* dialog = new TRomPalForm(this, preset.Offset, preset.Format, preset.Count);
  connect(dialog, &TRomPalForm::Chosen, this,
          [this](int32_t offset, RomPaletteFormat format, int32_t count) {
            LastRomPalette = RomPaletteChoice{offset, format, count};
            LoadPaletteFromRom(offset, format, count);
          });
  // Window-modal and without a loop of its own, so nothing waits for the user's click.
  dialog->open();
}

bool TChildForm::LoadPaletteFromRom(int32_t offset, RomPaletteFormat format, int32_t count) {
  const std::span<const uint8_t> image(Doc.RomData, static_cast<size_t>(std::max(Doc.RomSize, 0)));
  const PaletteReadResult read = ReadPaletteFromImage(image, offset, format, count);
  if (!read.ok()) {
    ShowError(QStringLiteral("Couldn't load palette."));
    return false;
  }
  TakePaletteRead(read.Data);
  PaletteInRom = RomPaletteChoice{offset, format, count};
  Doc.PalettePath = RomDocument::DefaultPalettePath(Doc.RomPath);
  // The palette now belongs beside the ROM, so Salva writes it there.
  PaletteReadFromState = false;
  Doc.PaletteModified = true;
  if (read.Data.PaletteSize < count && MainForm)
    MainForm->statusBar()->showMessage(
        QStringLiteral("The image ends first: %1 of %2 colours loaded.")
            .arg(read.Data.PaletteSize)
            .arg(count),
        5000);  // the panels come back after a few seconds
  if (PalForm) PalForm->RefreshPalette();
  return true;
}

void TChildForm::MarkPaletteSize(int32_t count) {
  for (QAction* item : EntryItems)
    if (item->data().toInt() == count) item->setChecked(true);
}

void TChildForm::SetPaletteFormat(PaletteFormat format) {
  Doc.SetPaletteFormat(format);
  // The three fifteen-bit items share one encoding; the mark always lands on SNES.
  QAction* marked = format == kPaletteNes ? NES2 : format == kPaletteFifteen ? SNES2 : RGB1;
  marked->setChecked(true);
}

void TChildForm::RGB1Click(QAction* item) {
  SetPaletteFormat(static_cast<PaletteFormat>(item->data().toInt() & 0xFF));
}

void TChildForm::N161Click(QAction* item) {
  Doc.PaletteSize = item->data().toInt();
  item->setChecked(true);
  Doc.SubPalette = 0;
  if (!ServesPaletteEditor()) return;
  PalForm->SubPalette = 0;
  PalForm->PaletteSize = Doc.PaletteSize;
  PalForm->RefreshPalette();
}

void TChildForm::Transfertoclipboard1Click() {
  if (!ClipForm) return;
  ClipForm->TakePalette(Doc.Palette);
  ClipForm->FormPaint();
}

}  // namespace varnock
