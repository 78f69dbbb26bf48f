// The ROM window and the block editor: "Modifica &blocco" (Ctrl+E) and a double click on the
// view open it over the selection, or over the arrangement's block around the picked tile.
#include <QMouseEvent>

#include "document/child_form.h"
#include "shell/clock.h"
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
  // The first press of the double click took the selection away; a double click inside it
  // opens the editor over it, shown again.
  // Within the two clicks' time of the press that took it.
  const bool recent = TickCount() - PressedSelectionTime <= 2 * DoubleClickTime();
  if (PressedSelection && recent && cell.Column >= PressedSelection->Left &&
      cell.Column < PressedSelection->Right && cell.Row >= PressedSelection->Top &&
      cell.Row < PressedSelection->Bottom) {
    const TileRect selection = *PressedSelection;
    Doc.SelLeft = selection.Left;
    Doc.SelTop = selection.Top;
    Doc.SelRight = selection.Right;
    Doc.SelBottom = selection.Bottom;
    Doc.HasSelection = true;
    Doc.Selecting = false;
    DrawSelection();
    ShowViewBlock(SelectionPixels(Doc));
  }
  EditBlock1Click();
}

void TileViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->FormDoubleClick(event->button(), at.x(), at.y());
}

}  // namespace varnock
