// The ROM window's palette: loading it from a file and the Palette menu's marks.
#include "document/child_form.h"
#include "palette/pal_form.h"
#include "palette/palette_file.h"
#include "shell/forms.h"
#include "shell/prompts.h"
#include "tools/clip_form.h"

namespace varnock {

bool TChildForm::LoadPalette(const QString& path) {
  const PaletteReadResult read = ReadPaletteFile(path.toStdString());
  if (!read.ok()) {
    if (read.Error == PaletteFileError::NotVarnockPalette)
      ShowError(QStringLiteral("Error: Palette is not a valid Varnock Pro palette."));
    return false;
  }
  SetPaletteFormat(read.Data.PalFormat);
  Doc.PaletteSize = read.Data.PaletteSize;
  MarkPaletteSize(Doc.PaletteSize);
  Doc.PalettePath = path.toStdString();
  Doc.SubPalette = 0;
  if (PalForm) {
    PalForm->SubPalette = 0;
    PalForm->PaletteSize = Doc.PaletteSize;
  }
  for (size_t k = 0; k < read.Data.Entries.size() && k < Doc.Palette.size(); ++k)
    Doc.Palette[k] = read.Data.Entries[k];
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
  if (!PalForm) return;
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
