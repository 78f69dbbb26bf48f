// Mouse work on the tile grid: selecting a block of tiles with the right button, and picking
// a tile for the tile editor (which also makes it the tile a drag carries).
#include <QMouseEvent>

#include "codec/tile_codec.h"
#include "document/child_form.h"
#include "document/view_readout.h"
#include "shell/clock.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/tile_drag.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

constexpr int kViewScrollBarWidth = 16;

}  // namespace

void TileViewWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->FormMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TileViewWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->FormMouseMove(event->buttons(), event->modifiers(), at.x(), at.y());
}

void TileViewWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->FormMouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

void TileViewWidget::leaveEvent(QEvent* event) {
  owner_->ShowPickReadout();
  QWidget::leaveEvent(event);
}

void TChildForm::FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
  // A pending paste is placed first; the press then goes on as an ordinary press.
  if (Doc.PastePending) CommitPaste();
  // A double click's second press may come as a press too: only a new selection (or a press
  // that takes one away) changes what a double click finds.
  if (button != Qt::LeftButton) PressedSelection.reset();
  if (Doc.HasSelection && button == Qt::LeftButton) {
    PressedSelection = OrderedSelection(Doc);
    PressedSelectionTime = TickCount();
  }
  if (Doc.HasSelection) {
    const PixelRect old = SelectionPixels(Doc);
    DrawSelection();
    ShowViewBlock(old);
  }
  const GridCell cell = CellAt(x, y, Doc.CellWidth, Doc.CellHeight);
  if (button == Qt::RightButton) {
    Doc.Selecting = true;
    Doc.SelLeft = cell.Column;
    Doc.SelTop = cell.Row;
    Doc.SelRight = cell.Column + 1;
    Doc.SelBottom = cell.Row + 1;
    DrawSelection();
    ShowViewBlock(SelectionPixels(Doc));
    Doc.HasSelection = true;
    DisarmTileDrag();
    ShowReadout(SelectionReadout(Doc));
    return;
  }
  Doc.HasSelection = false;
  Doc.Selecting = false;
  // The press position is kept in the view's own coordinates, where its moves arrive.
  if (PickTile(cell.Column, cell.Row)) {
    ArmTileDrag(View, QPoint(x, y));
    ShowPickReadout();
  }
}

void TChildForm::FormMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x, int y) {
  if (!Doc.Selecting) {
    FollowTileDrag(View, QPoint(x, y), buttons);
    // With a button held the panel keeps what the press showed (the picked tile).
    if (buttons == Qt::NoButton) ShowReadout(PointerReadout(Doc, x, y));
    return;
  }
  // The grid's own client size (view plus scroll bar): the window around it may have been
  // squeezed by the frame, but the selection still spans the whole grid.
  ClampToGrid(x, y, ViewBitmap.width() + kViewScrollBarWidth, ViewBitmap.height());
  const PixelRect before = SelectionPixels(Doc);
  const GridCell cell = CellAt(x, y, Doc.CellWidth, Doc.CellHeight);
  Doc.SelRight = cell.Column + 1;
  Doc.SelBottom = cell.Row + 1;
  // The old inversion off and the new one on, touching only the pixels that change.
  const PixelRect after = SelectionPixels(Doc);
  if (!ViewBitmap.isNull())
    InvertChange(reinterpret_cast<uint32_t*>(ViewBitmap.bits()), ViewBitmap.width(),
                 ViewBitmap.height(), static_cast<int32_t>(ViewBitmap.bytesPerLine() / 4), before,
                 after);
  ShowViewBlock(UnionRect(before, after));
  ShowReadout(SelectionReadout(Doc));
}

void TChildForm::FormMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
  if (button == Qt::RightButton) Doc.Selecting = false;
  DisarmTileDrag();
}

bool TChildForm::PickTile(int column, int row) {
  const std::optional<int32_t> offset = PickOffset(Doc, {column, row});
  if (!offset) return false;
  Doc.EditTile = Doc.RomData + *offset;
  Doc.EditTileOffset = *offset;
  PickMark = PickMarkPlace{{column, row}, Doc.Columns, Doc.Rows, Doc.Arrangement};
  FormPaint();
  if (EditForm) {
    EditForm->BindTile(this, *offset, Doc.Format, Doc.TileBytes, Doc.BitsPerPixel);
    EditForm->ShowTile(Doc.ViewSurface, column, row);
  }
  if (MainForm) {
    MainForm->UndoDropReady = false;
    MainForm->SetDragSource(this, *offset, Doc.Format, Doc.TileBytes, Doc.BitsPerPixel);
  }
  return true;
}

void TChildForm::DrawSelection() {
  if (ViewBitmap.isNull()) return;
  InvertBlock(reinterpret_cast<uint32_t*>(ViewBitmap.bits()), ViewBitmap.width(),
              ViewBitmap.height(), static_cast<int32_t>(ViewBitmap.bytesPerLine() / 4),
              SelectionPixels(Doc));
}

void TChildForm::DrawPickMark() {
  if (!PickMark || ViewBitmap.isNull()) return;
  // A mark picked on another grid would outline some other tile.
  if (PickMark->Columns != Doc.Columns || PickMark->Rows != Doc.Rows ||
      PickMark->Arrangement != Doc.Arrangement) {
    PickMark.reset();
    return;
  }
  FrameBlock(reinterpret_cast<uint32_t*>(ViewBitmap.bits()), ViewBitmap.width(),
             ViewBitmap.height(), static_cast<int32_t>(ViewBitmap.bytesPerLine() / 4),
             CellPixels(Doc, PickMark->Cell));
}

void TChildForm::ShowReadout(const std::string& text) {
  // The panel is the active window's: one the pointer crosses or leaves after another window
  // became active keeps out of it, whichever order the two windows' events come in.
  if (MainForm && MainForm->ActiveChild() == this)
    MainForm->StatusPanel(3)->setText(QString::fromStdString(text));
}

void TChildForm::ShowPickReadout() {
  ShowReadout(PickReadout(Doc));
}

void TChildForm::ShowViewBlock(const PixelRect& block) {
  if (block.Empty()) return;
  PaintRect = QRect(block.Left, block.Top, block.Right - block.Left, block.Bottom - block.Top) &
              ViewBitmap.rect();
  View->update(PaintRect);
}

}  // namespace varnock
