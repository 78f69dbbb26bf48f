// The palette editor at 256 colours: the line about the swatch under the pointer (index,
// hexadecimal RGB, the console's colour word), the hexadecimal colour field, the marks on the
// foreground and background swatches, and the grey ramp.
#include <QEvent>
#include <QFont>

#include "document/child_form.h"
#include "palette/colour_words.h"
#include "palette/pal_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {
namespace {

constexpr int kSideLeft = kWideSwatchLeft + 16 * kWideSwatchSide + 12;

// The colour word of the served window's console; the arranger's palette has no console.
RomPaletteFormat ServedConsoleFormat() {
  const TChildForm* rom = ServedRom();
  if (!rom) return kPaletteRgb;
  // A stream window's colours are its source's.
  const TChildForm* file = rom->StreamSource ? rom->StreamSource.data() : rom;
  return ConsoleWordFormat(file->Doc.RomExt, rom->Doc.PalFormat);
}

}  // namespace

void TPalForm::BuildEightBitControls() {
  SwatchInfo = new QLabel(this);
  SwatchInfo->setObjectName(QStringLiteral("SwatchInfo"));
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(12);
  SwatchInfo->setFont(font);
  SwatchInfo->setGeometry(kSideLeft, kWideSwatchTop, 431 - kSideLeft - 4, 64);
  SwatchInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  HexEdit1 = new QLineEdit(this);
  HexEdit1->setObjectName(QStringLiteral("HexEdit1"));
  HexEdit1->setFont(font);
  HexEdit1->setMaxLength(9);
  HexEdit1->setPlaceholderText(QStringLiteral("#RRGGBB"));
  HexEdit1->setToolTip(QStringLiteral("Colore del primo piano in esadecimale (#RRGGBB)"));
  HexEdit1->setGeometry(kSideLeft, kWideSwatchTop + 80, 96, 22);
  GreyRamp1 = new QPushButton(QStringLiteral("Rampa di grigi"), this);
  GreyRamp1->setObjectName(QStringLiteral("GreyRamp1"));
  GreyRamp1->setGeometry(kSideLeft, kWideSwatchTop + 120, 140, 26);
  connect(HexEdit1, &QLineEdit::returnPressed, this, &TPalForm::HexEdit1Return);
  connect(GreyRamp1, &QPushButton::clicked, this, &TPalForm::GreyRamp1Click);
  for (SwatchWidget* swatch : Shapes) swatch->installEventFilter(this);
  for (QWidget* control : {static_cast<QWidget*>(SwatchInfo), static_cast<QWidget*>(HexEdit1),
                           static_cast<QWidget*>(GreyRamp1)})
    control->hide();
}

void TPalForm::ShowSwatchInfo(int swatch) {
  if (!SwatchInfo) return;
  if (swatch < 0 || swatch >= SwatchCount || !TargetPalette || FirstEntry + swatch >= 256) {
    SwatchInfo->clear();
    return;
  }
  const PaletteEntry entry = (*TargetPalette)[static_cast<size_t>(FirstEntry + swatch)];
  QString text = QStringLiteral("Indice %1 ($%2)\n%3")
                     .arg(swatch)
                     .arg(QString::number(swatch, 16).toUpper().rightJustified(2, u'0'))
                     .arg(QString::fromStdString(HexColorText(entry)));
  const std::string word = ConsoleColorWord(ServedConsoleFormat(), entry);
  if (!word.empty()) text += QLatin1Char('\n') + QString::fromStdString(word);
  SwatchInfo->setText(text);
}

void TPalForm::HexEdit1Return() {
  if (!MainForm || MainForm->ActiveRom.isNull() || !TargetPalette) return;
  const std::optional<PaletteEntry> entry = ParseHexColor(HexEdit1->text().toStdString());
  if (!entry) {
    // The field keeps what was typed, marked, for the user to mend.
    HexEdit1->selectAll();
    return;
  }
  // Through the bars, which write the entry, the swatches and the served views.
  RedBar->setValue(entry->red);
  GreenBar->setValue(entry->green);
  BlueBar->setValue(entry->blue);
  RedBarChange();
  HexEdit1->setText(QString::fromStdString(HexColorText(*entry)));
}

void TPalForm::GreyRamp1Click() {
  if (!MainForm || MainForm->ActiveRom.isNull() || !TargetPalette) return;
  FillGreyRamp(*TargetPalette);
  if (TChildForm* rom = ServedRom()) rom->Doc.PaletteModified = true;
  RefreshPalette();
}

void TPalForm::ShowMarkers() {
  const bool wide = BitsPerPixel == 8;
  for (int i = 0; i < static_cast<int>(Shapes.size()); ++i)
    Shapes[static_cast<size_t>(i)]->SetMarks(wide && i == LeftColor, wide && i == RightColor);
}

}  // namespace varnock
