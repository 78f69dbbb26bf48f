// The ROM window's palette: loading and saving it, and the Palette menu.
#include <QFile>

#include "document/child_form.h"
#include "io/file_io.h"
#include "palette/pal_form.h"
#include "palette/palette_file.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"
#include "tools/clip_form.h"

namespace varnock {
namespace {

const FileDialogInfo kOpenPalDialog{
    QStringLiteral("Carica Palette"),
    QStringLiteral("Tutti i tipi supportati|*.VRK;*.ST?;*.ZS?|Varnock Palettes (*.VRK)|*.VRK|"
                   "NESticle Save States (*.STA)|*.ST?|ZSNES Save States (*.ZST)|*.ZS?"),
    QStringLiteral("VRK"), /*OverwritePrompt=*/false, /*FileMustExist=*/true};

const FileDialogInfo kSavePalDialog{QStringLiteral("Salva Palette"),
                                    QStringLiteral("Varnock Palettes (*.VRK)|*.VRK"),
                                    QStringLiteral("VRK"), /*OverwritePrompt=*/false,
                                    /*FileMustExist=*/false};

// Saves to a name the user picks; `preset` is offered first. False when cancelled or failed.
QString Shown(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

bool SaveUnderChosenName(TChildForm& rom, const QString& preset) {
  const std::optional<QString> chosen = CurrentPrompts().SaveFileName(kSavePalDialog, preset);
  if (!chosen) return false;
  rom.Doc.PalettePath = QFile::encodeName(*chosen).toStdString();
  return rom.SavePalette(rom.Doc.PalettePath);
}

// Saves over PalettePath, unless the palette was read out of an emulator save state and not
// saved since: a palette file written there would destroy the state, so a palette file name
// is asked for instead.
bool SaveToPalettePath(TChildForm& rom) {
  if (!rom.PaletteFromSaveState()) return rom.SavePalette(rom.Doc.PalettePath);
  return SaveUnderChosenName(rom, Shown(RomDocument::DefaultPalettePath(rom.Doc.PalettePath)));
}

}  // namespace

void TChildForm::ConnectPaletteMenu() {
  connect(Load1, &QAction::triggered, this, &TChildForm::Load1Click);
  connect(Save1, &QAction::triggered, this, &TChildForm::Save1Click);
  connect(SaveAs1, &QAction::triggered, this, &TChildForm::SaveAs1Click);
}

bool TChildForm::LoadPalette(const QString& path) {
  return LoadPalette(QFile::encodeName(path).toStdString());
}

bool TChildForm::LoadPalette(const std::string& path) {
  const PaletteReadResult read = ReadPaletteFile(path);
  if (!read.ok()) {
    if (read.Error == PaletteFileError::NotVarnockPalette)
      ShowError(QStringLiteral("Error: Palette is not a valid Varnock Pro palette."));
    return false;
  }
  SetPaletteFormat(read.Data.PalFormat);
  Doc.PaletteSize = read.Data.PaletteSize;
  MarkPaletteSize(Doc.PaletteSize);
  Doc.PalettePath = path;
  // Only the palette file reader takes ".VRK"; every other name it reads is a save state.
  PaletteReadFromState = UpperExtension(path) != ".VRK";
  Doc.SubPalette = 0;
  // The editor's working copies belong to the window it serves; another window's stay put.
  if (ServesPaletteEditor()) {
    PalForm->SubPalette = 0;
    PalForm->PaletteSize = Doc.PaletteSize;
  }
  for (size_t k = 0; k < read.Data.Entries.size() && k < Doc.Palette.size(); ++k)
    Doc.Palette[k] = read.Data.Entries[k];
  return true;
}

bool TChildForm::SavePalette(const QString& path) {
  return SavePalette(QFile::encodeName(path).toStdString());
}

bool TChildForm::SavePalette(const std::string& path) {
  const PaletteWriteResult written =
      WritePaletteFile(path, Doc.Palette, Doc.PalFormat, Doc.PaletteSize);
  if (written.ok()) {
    // The palette now lives in a palette file, wherever the state it came from was.
    if (path == Doc.PalettePath) PaletteReadFromState = false;
    return true;
  }
  ShowError(QStringLiteral("Error: Could not save the palette '%1'.\n%2")
                .arg(Shown(path), QString::fromStdString(written.Reason)));
  return false;
}

void TChildForm::Load1Click() {
  if (Doc.PaletteModified) {
    const PromptAnswer answer = CurrentPrompts().MessageBox(
        QStringLiteral("Current palette has been modified. Save changes?"),
        QStringLiteral("Varnock Pro"), PromptButtons::YesNo, PromptIcon::Question);
    // Edits the user chose to keep are not replaced when they could not be saved.
    if (answer == PromptAnswer::Yes && !SaveToPalettePath(*this)) return;
  }
  const std::optional<QString> chosen =
      CurrentPrompts().OpenFileName(kOpenPalDialog, Shown(Doc.PalettePath));
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
  SaveUnderChosenName(*this, Shown(Doc.PalettePath));
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
