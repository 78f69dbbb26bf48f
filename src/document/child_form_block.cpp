// The ROM window and the block editor: "Modifica &blocco" (Ctrl+E) and a double click on the
// view open it over the selection, or over the arrangement's block around the picked tile.
#include <QMouseEvent>

#include "document/child_form.h"
#include "shell/clock.h"
#include "shell/tile_drag.h"
#include "tools/block_form.h"

namespace varnock {

void TChildForm::BuildBlockItems() {
  EditBlock1 = Edit1->addAction(QStringLiteral("Modifica &blocco"));
  EditBlock1->setObjectName(QStringLiteral("EditBlock1"));
  // Shown in the menu; the frame's shortcut runs it through the menu.
  EditBlock1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  EditBlock1->setShortcutContext(Qt::WidgetShortcut);
  connect(EditBlock1, &QAction::triggered, this, &TChildForm::EditBlock1Click);
}

std::optional<TileRect> TChildForm::BlockToEdit() const {
  if (Doc.HasSelection) return SelectedBlockCells(OrderedSelection(Doc), Doc.Columns, Doc.Rows);
  // The picked tile's mark names its cell while it is on this grid.
  if (PickMark && PickMark->Columns == Doc.Columns && PickMark->Rows == Doc.Rows &&
      PickMark->Arrangement == Doc.Arrangement)
    return ArrangementBlockAround(Doc.Arrangement, Doc.Columns, Doc.Rows, PickMark->Cell);
  return std::nullopt;
}

void TChildForm::EditBlock1Click() {
  const std::optional<TileRect> cells = BlockToEdit();
  if (!cells) return;
  if (TBlockForm* editor = BlockEditor()) editor->OpenBlock(this, *cells);
}

void TChildForm::FormDoubleClick(Qt::MouseButton button, int x, int y) {
  if (button != Qt::LeftButton) return;
  const GridCell cell = CellAt(x, y, Doc.CellWidth, Doc.CellHeight);
  const auto holds = [&cell](const TileRect& r) {
    return cell.Column >= r.Left && cell.Column < r.Right && cell.Row >= r.Top &&
           cell.Row < r.Bottom;
  };
  // The first press of the double click took the selection away (within the two clicks' time
  // of it); a double click inside it opens the editor over it, shown again.
  const bool recent = TickCount() - PressedSelectionTime <= 2 * DoubleClickTime();
  if (Doc.HasSelection && holds(OrderedSelection(Doc))) {
    // Still shown (the click did not reach the view as a press): open over it.
  } else if (!Doc.HasSelection && PressedSelection && recent && holds(*PressedSelection)) {
    const TileRect selection = *PressedSelection;
    Doc.SelLeft = selection.Left;
    Doc.SelTop = selection.Top;
    Doc.SelRight = selection.Right;
    Doc.SelBottom = selection.Bottom;
    Doc.HasSelection = true;
    Doc.Selecting = false;
    DrawSelection();
    ShowViewBlock(SelectionPixels(Doc));
  } else {
    // Anywhere else the double click is a pick first, and opens the block around that tile.
    FormMouseDown(Qt::LeftButton, {}, x, y);
    DisarmTileDrag();
  }
  EditBlock1Click();
}

void TileViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->FormDoubleClick(event->button(), at.x(), at.y());
}

}  // namespace varnock
