// Moving the page: scroll bar actions, the navigation keys and the tile format keys.
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "document/child_form.h"
#include "document/goto_form.h"
#include "palette/pal_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {

void TChildForm::ScrollBarScroll(int action) {
  int64_t offset = Doc.ViewOffset;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      offset -= Doc.BlockRowBytes();
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      offset += Doc.BlockRowBytes();
      break;
    case QAbstractSlider::SliderPageStepSub:
      offset -= Doc.PageBytes;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      offset += Doc.PageBytes;
      break;
    case QAbstractSlider::SliderMove:
      // Dragging the thumb lands on whole rows (of blocks) counted from offset 0.
      if (const int64_t row = Doc.BlockRowBytes(); row > 0)
        offset = static_cast<int64_t>(ScrollBar->sliderPosition()) / row * row;
      break;
    case QAbstractSlider::SliderToMinimum:
      offset = Doc.ScrollMinimum;
      break;
    case QAbstractSlider::SliderToMaximum:
      offset = Doc.ScrollMaximum;
      break;
    default:
      break;
  }
  Doc.ViewOffset = Doc.ClampOffset(offset);
  // Handing the offset back as the slider position lets the bar's change event redraw.
  ScrollBar->setSliderPosition(Doc.ViewOffset);
}

void TChildForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool shift = modifiers & Qt::ShiftModifier;
  const bool ctrl = modifiers & Qt::ControlModifier;
  const bool keypad = modifiers & Qt::KeypadModifier;
  int64_t offset = Doc.ViewOffset;
  switch (key) {
    case Qt::Key_Left:
      if (shift) {
        Doc.Columns =
            StepGridCount(Doc.Columns, Doc.Arrangement.BlockWidth, -1, kMinGrid, kMaxGrid);
        LayoutView();
      } else {
        offset -= ctrl ? 1 : Doc.TileBytes;
      }
      break;
    case Qt::Key_Right:
      if (shift) {
        Doc.Columns = StepGridCount(Doc.Columns, Doc.Arrangement.BlockWidth, 1, kMinGrid, kMaxGrid);
        LayoutView();
      } else {
        offset += ctrl ? 1 : Doc.TileBytes;
      }
      break;
    case Qt::Key_Up:
      if (shift) {
        Doc.Rows = StepGridCount(Doc.Rows, Doc.Arrangement.BlockHeight, -1, kMinGrid, kMaxGrid);
        LayoutView();
      } else {
        offset -= Doc.BlockRowBytes();
      }
      break;
    case Qt::Key_Down:
      if (shift) {
        Doc.Rows = StepGridCount(Doc.Rows, Doc.Arrangement.BlockHeight, 1, kMinGrid, kMaxGrid);
        LayoutView();
      } else {
        offset += Doc.BlockRowBytes();
      }
      break;
    case Qt::Key_PageUp:
      offset -= Doc.PageBytes;
      break;
    case Qt::Key_PageDown:
      offset += Doc.PageBytes;
      break;
    case Qt::Key_Home:
      offset = Doc.ScrollMinimum;
      break;
    case Qt::Key_End:
      offset = Doc.ScrollMaximum;
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      if (keypad) return;
      offset += 1;
      break;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      if (keypad) return;
      offset -= 1;
      break;
    case Qt::Key_Escape:
    case Qt::Key_Delete:
      if (Doc.PastePending) CancelPaste();
      break;
    case Qt::Key_1:
    case Qt::Key_Exclam:  // the same key with Shift on common layouts
      if (keypad) return;
      NextTileFormat();
      offset = Doc.ViewOffset;
      break;
    default:
      return;  // keys outside the table do nothing at all
  }
  if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
    if (shift) offset = Doc.ViewOffset;
  }
  MoveViewTo(offset);
}

void TChildForm::FormMouseWheel(int delta, Qt::KeyboardModifiers modifiers) {
  // The wheel works on the window under the pointer; that window becomes the active one, so
  // the status bar and the tool windows describe the page that moves.
  if (MainForm && MainForm->ActiveChild() != this && !Closed)
    MainForm->MdiArea->setActiveSubWindow(this);
  WheelRest += delta;
  const int notches = WheelRest / QWheelEvent::DefaultDeltasPerStep;
  if (notches == 0) return;
  WheelRest -= notches * QWheelEvent::DefaultDeltasPerStep;
  if (modifiers & Qt::ControlModifier) {
    // Turning away from the user zooms in, one step per notch, as the toolbar's buttons do.
    const int32_t zoom = std::clamp(Doc.Zoom + notches, 1, 4);
    if (zoom == Doc.Zoom) return;
    Doc.Zoom = zoom;
    LayoutView();
    return;
  }
  // Turning away from the user shows earlier rows, through the same clamp as the keys.
  const int64_t rows = static_cast<int64_t>(notches) * QApplication::wheelScrollLines();
  MoveViewTo(Doc.ViewOffset - rows * Doc.BlockRowBytes());
}

void TChildForm::NextTileFormat() {
  // Only the ten take turns: from any format after them the key starts again at the first.
  const bool lastOrBeyond = !IsTileFormat(Doc.Format) || Doc.Format == kTileFormatCount - 1;
  SetTileFormat(static_cast<TileFormat>(lastOrBeyond ? 0 : Doc.Format + 1));
  DecodeView();
  ShowFormatName();
  Doc.SubPalette = 0;
  ShowNewFormat();
}

void TChildForm::Genesis1Click(QAction* item) {
  ChooseTileFormat(static_cast<TileFormat>(item->data().toInt()));
}

void TChildForm::ChooseTileFormat(TileFormat format) {
  const int32_t oldBits = Doc.BitsPerPixel;
  SetTileFormat(format);
  ShowFormatName();
  DecodeView();
  // The palette editor's depth is the one the shown sub-palette was picked in; a window the
  // editor is not serving converts from its own previous depth.
  const int32_t shownBits = ServesPaletteEditor() ? PalForm->BitsPerPixel : oldBits;
  if (shownBits != Doc.BitsPerPixel)
    Doc.SubPalette = ConvertSubPalette(Doc.SubPalette, shownBits, Doc.BitsPerPixel);
  ShowNewFormat();
}

bool TChildForm::ServesPaletteEditor() const {
  return PalForm && ServedRom() == this;
}

void TChildForm::ShowNewFormat() {
  if (!ServesPaletteEditor()) {
    // The editor serves another window (or the arranger): its state is not ours to change.
    FormPaint();
    return;
  }
  PalForm->BitsPerPixel = Doc.BitsPerPixel;
  PalForm->SubPalette = Doc.SubPalette;
  // Publishing the sub-palette repaints the served view, so the page is composed once.
  PalForm->RefreshPalette();
}

void TChildForm::Goto1Click() {
  if (GotoForm) GotoForm->exec();
}

void TChildForm::GotoAgain1Click() {
  if (GotoForm) GotoForm->GoButtonClick();
}

void TChildForm::CancelPaste() {
  Doc.PastePending = false;
  Doc.PanelDragging = false;
  if (PastePanel) PastePanel->hide();
}

}  // namespace varnock
