#include "document/rom_palette_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "document/goto_form.h"
#include "palette/rom_palette.h"
#include "shell/dialog_buttons.h"
#include "shell/prompts.h"

namespace varnock {

TRomPalForm::TRomPalForm(QWidget* parent, int32_t offset, RomPaletteFormat format, int32_t count)
    : QDialog(parent) {
  setObjectName(QStringLiteral("RomPalForm"));
  KeepAboveToolWindows(this);
  setWindowTitle(QStringLiteral("Carica da ROM"));
  setAttribute(Qt::WA_DeleteOnClose);

  OffsetEdit =
      new QLineEdit(QStringLiteral("%1").arg(static_cast<uint32_t>(offset), 0, 16).toUpper(), this);
  OffsetEdit->setObjectName(QStringLiteral("OffsetEdit"));
  // Offsets are 32-bit: at most eight hexadecimal digits.
  OffsetEdit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,8}")), OffsetEdit));

  EncodingBox = new QComboBox(this);
  EncodingBox->setObjectName(QStringLiteral("EncodingBox"));
  for (const RomPaletteEncoding& encoding : RomPaletteEncodings())
    EncodingBox->addItem(QString::fromUtf8(encoding.DisplayName), encoding.Format);
  const int encoding = EncodingBox->findData(format);
  EncodingBox->setCurrentIndex(encoding < 0 ? 0 : encoding);

  EntriesBox = new QComboBox(this);
  EntriesBox->setObjectName(QStringLiteral("EntriesBox"));
  for (int entries : {16, 32, 64, 128, 256}) EntriesBox->addItem(QString::number(entries), entries);
  const int entries = EntriesBox->findData(count);
  EntriesBox->setCurrentIndex(entries < 0 ? 0 : entries);

  const DialogButtonRow buttons = MakeDialogButtonRow(this);
  OkButton = buttons.Accept;
  CancelButton = buttons.Cancel;
  connect(OkButton, &QPushButton::clicked, this, &TRomPalForm::OkButtonClick);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Offset (hex):"), OffsetEdit);
  fields->addRow(QStringLiteral("&Codifica:"), EncodingBox);
  fields->addRow(QStringLiteral("&Numero colori:"), EntriesBox);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons.Row);
}

void TRomPalForm::OkButtonClick() {
  const std::optional<int32_t> offset = TGotoForm::ParseHex(OffsetEdit->text());
  if (!offset) {
    ShowNotAnInteger(OffsetEdit->text());
    OffsetEdit->setFocus();
    return;
  }
  const auto format = static_cast<RomPaletteFormat>(EncodingBox->currentData().toInt());
  const int32_t count = EntriesBox->currentData().toInt();
  accept();
  emit Chosen(*offset, format, count);
}

}  // namespace varnock
