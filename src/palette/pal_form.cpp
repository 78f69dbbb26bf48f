#include "palette/pal_form.h"

#include <QFont>
#include <QSignalBlocker>
#include <algorithm>

#include "document/child_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "tools/block_form.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

constexpr int kSwatchLeft = 72;
constexpr int kSwatchTop = 16;
// The designed client area, and the taller one that holds 16 rows of swatches at 8 bits.
constexpr QSize kDesignedSize(431, 82);
constexpr int kSwatchBlock = 128;  // side of the area every layout of the swatches covers
// At 8 bits the 16 x 16 swatches get a block of their own below the designed controls, big
// enough to aim at, and the line, the field and the button beside it.
constexpr QSize kEightBitSize(431, kWideSwatchTop + 16 * kWideSwatchSide + 8);

QColor ColorOf(const PaletteEntry& entry) {
  return QColor(entry.red, entry.green, entry.blue);
}

QScrollBar* MakeBar(QWidget* parent, int top) {
  auto* bar = new QScrollBar(Qt::Horizontal, parent);
  bar->setGeometry(240, top, 128, 16);
  bar->setRange(0, 255);
  bar->setPageStep(16);
  return bar;
}

QLineEdit* MakeEdit(QWidget* parent, int top) {
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(392, top, 33, 21);
  edit->setMaxLength(3);
  QFont font(QStringLiteral("Courier"));
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(11);
  edit->setFont(font);
  return edit;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int top) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(true);
  font.setPixelSize(13);
  label->setFont(font);
  label->move(376, top);
  return label;
}

}  // namespace

TChildForm* ServedRom() {
  return MainForm ? qobject_cast<TChildForm*>(MainForm->ActiveRom.data()) : nullptr;
}

bool ServingArranger() {
  return MainForm && ClipForm && MainForm->ActiveRom.data() == ClipForm;
}

TPalForm::TPalForm() : QWidget(nullptr) {
  setWindowTitle(QStringLiteral("Editor Palette"));
  setFixedSize(kDesignedSize);
  move(545, 535);

  RedBar = MakeBar(this, 8);
  GreenBar = MakeBar(this, 32);
  BlueBar = MakeBar(this, 56);
  BGShape = new SwatchWidget(this, -1);
  BGShape->setGeometry(24, 32, 33, 33);
  FGShape = new SwatchWidget(this, -1);
  FGShape->setGeometry(8, 16, 33, 33);
  REdit = MakeEdit(this, 7);
  GEdit = MakeEdit(this, 31);
  BEdit = MakeEdit(this, 55);
  for (int i = 0; i < kPaletteEntries; ++i) {
    Shapes[i] = new SwatchWidget(this, i);
    Shapes[i]->setObjectName(QStringLiteral("Shape%1").arg(i + 1));
    Shapes[i]->setGeometry(kSwatchLeft + (i % 8) * 17, kSwatchTop + (i / 8) * 25, 17, 25);
    Shapes[i]->setVisible(i < 16);
  }
  PalUpDown = new QSpinBox(this);
  PalUpDown->setGeometry(208, 16, 16, 49);
  PalUpDown->setRange(0, 0);
  PalUpDown->setWrapping(false);
  PalUpDown->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  Label1 = MakeLabel(this, QStringLiteral("R"), 8);
  Label2 = MakeLabel(this, QStringLiteral("G"), 32);
  Label3 = MakeLabel(this, QStringLiteral("B"), 56);

  setTabOrder(RedBar, GreenBar);
  setTabOrder(GreenBar, BlueBar);
  setTabOrder(BlueBar, REdit);
  setTabOrder(REdit, GEdit);
  setTabOrder(GEdit, BEdit);
  setTabOrder(BEdit, PalUpDown);
  BuildEightBitControls();
  ConnectHandlers();
}

int32_t TPalForm::ForegroundEntry() const {
  return std::clamp(FirstEntry + LeftColor, 0, kPaletteEntries - 1);
}

void TPalForm::ShowForegroundChannels() {
  const PaletteEntry& entry = (*TargetPalette)[ForegroundEntry()];
  {
    const QSignalBlocker red(RedBar), green(GreenBar), blue(BlueBar);
    RedBar->setValue(entry.red);
    GreenBar->setValue(entry.green);
    BlueBar->setValue(entry.blue);
  }
  const QSignalBlocker r(REdit), g(GEdit), b(BEdit);
  REdit->setText(QString::number(RedBar->value()));
  GEdit->setText(QString::number(GreenBar->value()));
  BEdit->setText(QString::number(BlueBar->value()));
}

void TPalForm::RefreshPalette() {
  if (!MainForm || MainForm->ActiveRom.isNull() || !TargetPalette || !TargetSurface) return;
  BarsLive = EditsLive = false;
  SwatchCount = SwatchCountOf(std::clamp(BitsPerPixel, 1, 8));
  FirstEntry = FirstEntryOf(SubPalette, SwatchCount);
  // The picks outlive a depth with fewer swatches, so going back finds them again; only the
  // entry an edit writes is kept inside the palette (ForegroundEntry).
  for (int i = 0; i < SwatchCount; ++i) {
    const int32_t entry = FirstEntry + i;
    if (entry < kPaletteEntries) Shapes[i]->SetColor(ColorOf((*TargetPalette)[entry]));
  }
  FGShape->SetColor(ColorOf((*TargetPalette)[ForegroundEntry()]));
  BGShape->SetColor(
      ColorOf((*TargetPalette)[std::clamp(FirstEntry + RightColor, 0, kPaletteEntries - 1)]));
  ShowForegroundChannels();
  BarsLive = EditsLive = true;
  LayOutSwatches();
  ShowSwatchInfo(-1);
  for (int i = 0; i < kPaletteEntries; ++i) Shapes[i]->setVisible(i < SwatchCount);
  {
    const QSignalBlocker blocker(PalUpDown);
    PalUpDown->setRange(0, HighestSubPalette(PaletteSize, SwatchCount));
    PalUpDown->setValue(SubPalette);
    PalUpDown->setEnabled(true);
  }
  ApplyPalette();
}

void TPalForm::LayOutSwatches() {
  int width = 0;
  int height = 50;
  int perRow = SwatchCount;
  switch (BitsPerPixel) {
    case 1:
      width = 64;
      break;
    case 2:
      width = 32;
      break;
    case 3:
      width = 16;
      break;
    case 4:
      width = 16;
      height = 25;
      perRow = 8;
      break;
    case 5:
    case 6:
    case 7:
      // Rows of sixteen, as many as the designed area holds at its height (described
      // encodings may have these depths).
      width = kSwatchBlock / 16;
      perRow = 16;
      height = 50 / (SwatchCount / perRow);
      break;
    case 8:
      // Sixteen rows of sixteen swatches in a block of their own: the window grows to hold it.
      width = height = kWideSwatchSide;
      perRow = 16;
      break;
    default:
      return;
  }
  const bool wide = BitsPerPixel == 8;
  setFixedSize(wide ? kEightBitSize : kDesignedSize);
  for (QWidget* control : {static_cast<QWidget*>(SwatchInfo), static_cast<QWidget*>(HexEdit1),
                           static_cast<QWidget*>(GreyRamp1)})
    control->setVisible(wide);
  // The other layouts start where the first swatch was designed.
  const int x0 = wide ? kWideSwatchLeft : kSwatchLeft;
  const int y0 = wide ? kWideSwatchTop : kSwatchTop;
  for (int i = 0; i < SwatchCount; ++i)
    Shapes[i]->setGeometry(x0 + (i % perRow) * width, y0 + (i / perRow) * height, width, height);
  ShowMarkers();
}

void TPalForm::ApplyPalette() {
  if (!MainForm || MainForm->ActiveRom.isNull() || !TargetPalette || !TargetSurface) return;
  CopyPaletteToColors(*TargetPalette, FirstEntry, SwatchCount, TargetSurface->Colors);
  if (ServingArranger()) {
    ClipForm->FormPaint();
  } else if (TChildForm* rom = ServedRom()) {
    rom->FormPaint();
    if (TBlockForm* editor = BlockEditor(false)) editor->ColorsChanged(rom);
  }
  if (EditForm && EditForm->BoundTile) {
    CopyPaletteToColors(*TargetPalette, FirstEntry, SwatchCount, EditForm->EditSurface.Colors);
    EditForm->FormPaint();
  }
}

}  // namespace varnock
