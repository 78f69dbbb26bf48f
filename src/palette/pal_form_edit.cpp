// The palette editor's handlers: picking swatches, editing the foreground colour with the bars,
// the boxes or the colour dialog, paging sub-palettes, and handing the picks back.
#include <QEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <utility>

#include "document/child_form.h"
#include "palette/channel_text.h"
#include "palette/pal_form.h"
#include "shell/clock.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

bool Serving() {
  return MainForm && !MainForm->ActiveRom.isNull();
}

PaletteEntry EntryOf(const QColor& color) {
  return MakeEntry(static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
                   static_cast<uint8_t>(color.blue()));
}

}  // namespace

void TPalForm::ConnectHandlers() {
  for (SwatchWidget* swatch : Shapes)
    connect(swatch, &SwatchWidget::Pressed, this, &TPalForm::Shape1MouseDown);
  for (QScrollBar* bar : {RedBar, GreenBar, BlueBar})
    connect(bar, &QScrollBar::valueChanged, this, [this] { RedBarChange(); });
  for (QLineEdit* edit : {REdit, GEdit, BEdit}) {
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { REditChange(edit); });
    edit->installEventFilter(this);
  }
  connect(PalUpDown, &QSpinBox::valueChanged, this, [this] { PalUpDownClick(); });
}

void TPalForm::MarkPaletteModified() {
  if (TChildForm* rom = ServedRom()) rom->Doc.PaletteModified = true;
}

void TPalForm::Shape1MouseDown(SwatchWidget* swatch, Qt::MouseButton button) {
  if (!Serving() || !TargetPalette || !swatch) return;
  const int tag = swatch->Tag();
  // Hidden swatches lie past the shown sub-palette; they pick nothing.
  if (tag < 0 || tag >= SwatchCount) return;
  if (button == Qt::RightButton || button == Qt::MiddleButton) {
    RightColor = static_cast<uint8_t>(tag);
    BGShape->SetColor(swatch->Color());
    StorePicks();
    return;
  }
  if (button != Qt::LeftButton) return;
  DoubleClickInterval = varnock::DoubleClickTime();
  ClickTime = TickCount();
  // Unsigned difference, so a tick counter that wrapped between the clicks still measures.
  const bool single = ClickTime - LastClickTime > DoubleClickInterval || swatch != LastSwatch;
  if (single) {
    LeftColor = static_cast<uint8_t>(tag);
    FGShape->SetColor(swatch->Color());
  } else if (const std::optional<QColor> chosen = CurrentPrompts().ChooseColor(swatch->Color())) {
    // The edited entry is the double-clicked swatch's, even if something re-served the editor
    // between the two presses.
    LeftColor = static_cast<uint8_t>(tag);
    const int32_t entry = FirstEntry + tag;
    if (entry < kPaletteEntries) {
      swatch->SetColor(*chosen);
      FGShape->SetColor(*chosen);
      (*TargetPalette)[entry] = EntryOf(*chosen);
      MarkPaletteModified();
      ApplyPalette();
    }
  }
  BarsLive = EditsLive = false;
  ShowForegroundChannels();
  BarsLive = EditsLive = true;
  LastSwatch = swatch;
  LastClickTime = ClickTime;
  StorePicks();
}

bool TPalForm::PickSwatch(int index, bool background) {
  if (!Serving() || !TargetPalette || index < 0 || index >= SwatchCount ||
      index >= static_cast<int>(Shapes.size()))
    return false;
  const QColor color = Shapes[static_cast<size_t>(index)]->Color();
  if (background) {
    RightColor = static_cast<uint8_t>(index);
    BGShape->SetColor(color);
  } else {
    LeftColor = static_cast<uint8_t>(index);
    FGShape->SetColor(color);
    BarsLive = EditsLive = false;
    ShowForegroundChannels();
    BarsLive = EditsLive = true;
  }
  StorePicks();
  return true;
}

void TPalForm::RedBarChange() {
  if (!BarsLive || !Serving() || !TargetPalette) return;
  EditsLive = false;
  // A box that already shows its bar's value is left alone: rewriting it would throw the
  // cursor of the box being typed in to its end.
  for (const auto& [edit, bar] :
       {std::pair{REdit, RedBar}, std::pair{GEdit, GreenBar}, std::pair{BEdit, BlueBar}}) {
    const QString shown = QString::number(bar->value());
    if (edit->text() != shown) edit->setText(shown);
  }
  EditsLive = true;
  const QColor color(RedBar->value(), GreenBar->value(), BlueBar->value());
  (*TargetPalette)[ForegroundEntry()] = EntryOf(color);
  FGShape->SetColor(color);
  if (LeftColor < Shapes.size()) Shapes[LeftColor]->SetColor(color);
  MarkPaletteModified();
  ApplyPalette();
}

void TPalForm::REditChange(QLineEdit* edit) {
  if (!EditsLive) return;
  const std::optional<ChannelEntry> entry = ChannelFromBoxText(edit->text().toStdString());
  if (!entry) {
    // Only pasted text gets here; the bar and the palette stay as they were.
    ShowNotAnInteger(edit->text());
    return;
  }
  if (!entry->Rewrite.empty()) {
    const QSignalBlocker blocker(edit);
    edit->setText(QString::fromStdString(entry->Rewrite));
  }
  const int value = entry->Value;
  QScrollBar* bar = edit == REdit ? RedBar : edit == GEdit ? GreenBar : BlueBar;
  // A moved bar runs RedBarChange itself; the direct call covers a bar that did not move,
  // and rewrites the box from the bar (a negative value shows as 0, leading zeros go).
  bar->setValue(value);
  RedBarChange();
}

bool TPalForm::REditKeyPress(QChar key) {
  return (key >= u'0' && key <= u'9') || key == u'\b';
}

bool TPalForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
    if (auto* swatch = qobject_cast<SwatchWidget*>(watched))
      ShowSwatchInfo(event->type() == QEvent::Enter ? swatch->Tag() : -1);
  }
  if (event->type() == QEvent::KeyPress &&
      (watched == REdit || watched == GEdit || watched == BEdit)) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    // Keys without a character (arrows, Delete) and control chords (copy, paste) keep working;
    // every other character but digits and backspace is dropped.
    if (!text.isEmpty() && text[0].isPrint() && !REditKeyPress(text[0])) return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TPalForm::PalUpDownClick() {
  if (!Serving()) return;
  SubPalette = PalUpDown->value();
  FirstEntry = FirstEntryOf(SubPalette, SwatchCount);
  StorePicks();
  RefreshPalette();
}

void TPalForm::FormDeactivate() {
  StorePicks();
}

void TPalForm::StorePicks() {
  if (TChildForm* rom = ServedRom()) {
    rom->Doc.LeftColor = LeftColor;
    rom->Doc.RightColor = RightColor;
    rom->Doc.SubPalette = SubPalette;
  } else if (ServingArranger()) {
    ClipForm->LeftColor = LeftColor;
    ClipForm->RightColor = RightColor;
  }
  if (EditForm) EditForm->TakeServedColors();
  ShowMarkers();
}

void TPalForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) FormDeactivate();
  QWidget::changeEvent(event);
}

}  // namespace varnock
