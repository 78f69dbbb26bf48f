#include "tools/clip_form.h"

#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "codec/tile_codec.h"
#include "document/child_form.h"
#include "palette/pal_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/surface_image.h"
#include "shell/tile_drag.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

// Empty cells are painted over in dark grey rather than given a colour of their own: a tile of
// 8 bits may use every index of the table.
const QColor kEmptyCellColor(64, 64, 64);

// The window that owns the frame's current tile, when it is still open.
TChildForm* CurrentTileRom() {
  if (!MainForm || !MainForm->DragSourceTile) return nullptr;
  TChildForm* rom = MainForm->DragSourceRom.data();
  return rom && !rom->Closed ? rom : nullptr;
}

}  // namespace

TClipForm::TClipForm() : QWidget(nullptr) {
  setWindowTitle(QStringLiteral("Tile Arranger"));
  setFixedSize(kArrangerColumns * kArrangerCellPixels, kArrangerRows * kArrangerCellPixels);
  move(545, 81);
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::black);
  setPalette(background);
  setAcceptDrops(true);

  DragLabel = new QLabel(QStringLiteral("Drag"), this);
  DragLabel->setStyleSheet(QStringLiteral("color: lime"));
  DragLabel->hide();

  SetUpTileSurface(ArrangerSurface, kArrangerColumns, kArrangerRows);
}

void TClipForm::FormPaint() {
  update();
}

void TClipForm::paintEvent(QPaintEvent*) {
  ++PaintCount;
  QPainter painter(this);
  painter.drawImage(rect(), IndexedImage(ArrangerSurface));
  for (int row = 0; row < kArrangerRows; ++row)
    for (int column = 0; column < kArrangerColumns; ++column)
      if (!Cells[row][column].Tile)
        painter.fillRect(column * kArrangerCellPixels, row * kArrangerCellPixels,
                         kArrangerCellPixels, kArrangerCellPixels, kEmptyCellColor);
}

void TClipForm::changeEvent(QEvent* event) {
  // An activation that a press already brought forward is not run a second time: it would
  // undo what the press showed.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
      !std::exchange(ActivatedByPress, false))
    FormActivate();
  QWidget::changeEvent(event);
}

void TClipForm::FormActivate() {
  if (!MainForm || !PalForm) return;
  MainForm->ActiveRom = this;
  PalForm->TargetSurface = &ArrangerSurface;
  PalForm->TargetPalette = &ArrangerPalette;
  PalForm->LeftColor = LeftColor;
  PalForm->RightColor = RightColor;
  PalForm->BitsPerPixel = 4;
  PalForm->SubPalette = 0;
  PalForm->RefreshPalette();
  if (EditForm) EditForm->TakeServedColors();
}

const ArrangerCell* TClipForm::OccupiedCell(int column, int row) const {
  if (column < 0 || row < 0 || column >= kArrangerColumns || row >= kArrangerRows) return nullptr;
  const ArrangerCell& cell = Cells[row][column];
  if (!cell.Tile || cell.Rom.isNull() || cell.Rom->Closed) return nullptr;
  return &cell;
}

void TClipForm::DecodeCell(int column, int row) {
  const ArrangerCell* cell = OccupiedCell(column, row);
  if (!cell) return;
  ArrangerSurface.DecodeColumn = column;
  ArrangerSurface.DecodeRow = row;
  ArrangerSurface.DecodeAcross = ArrangerSurface.DecodeDown = 1;
  ArrangerSurface.DecodeSkip = 0;
  ArrangerSurface.DecodeFormat = cell->Format;
  ArrangerSurface.DecodeBits = cell->BitsPerPixel;
  ArrangerSurface.DecodeTileBytes = cell->TileBytes;
  // From the window's image, so a tile at the image's end reads no byte past it.
  DecodeTiles(cell->Rom->Doc.BytesFrom(cell->Offset), ArrangerSurface);
}

void TClipForm::DropOnCell(int x, int y) {
  const std::optional<BoardCell> at = ArrangerCellAt(x, y);
  TChildForm* rom = CurrentTileRom();
  if (!at || !rom) return;
  ArrangerCell& cell = Cells[at->Row][at->Column];
  CurrentCell = &cell;
  const TileSurface& drag = MainForm->DragSurface;
  cell.Rom = rom;
  cell.Tile = MainForm->DragSourceTile;
  cell.Offset = MainForm->DragSourceOffset;
  cell.Format = drag.DecodeFormat;
  cell.BitsPerPixel = drag.DecodeBits;
  cell.TileBytes = drag.DecodeTileBytes;
  DecodeCell(at->Column, at->Row);
  FormPaint();
}

void TClipForm::LoadEditorFromCell(int column, int row) {
  const ArrangerCell* cell = OccupiedCell(column, row);
  if (!cell || !EditForm) return;
  EditForm->BindTile(cell->Rom, cell->Offset, cell->Format, cell->TileBytes, cell->BitsPerPixel);
  EditForm->ShowTile(ArrangerSurface, column, row);
  if (PalForm) {
    PalForm->BitsPerPixel = cell->BitsPerPixel;
    PalForm->RefreshPalette();
  }
}

void TClipForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
  if (button == Qt::LeftButton) {
    const std::optional<BoardCell> at = ArrangerCellAt(x, y);
    if (!at) return;
    CurrentCell = &Cells[at->Row][at->Column];
    const ArrangerCell* cell = OccupiedCell(at->Column, at->Row);
    if (!cell || !MainForm) return;
    LoadEditorFromCell(at->Column, at->Row);
    if (EditForm) EditForm->SpeedButton4->setEnabled(cell->Rom->Doc.UndoCount != 0);
    MainForm->SetDragSource(cell->Rom, cell->Offset, cell->Format, cell->TileBytes,
                            cell->BitsPerPixel);
    ArmTileDrag(DragLabel, QPoint(x, y));
    return;
  }
  if (!CurrentTileRom()) return;
  const std::optional<BoardCell> at = ArrangerCellAt(x, y);
  Stamping = true;
  DropOnCell(x, y);
  if (at) LoadEditorFromCell(at->Column, at->Row);
}

void TClipForm::FormMouseMove(Qt::MouseButtons buttons, int x, int y) {
  if (Stamping)
    DropOnCell(x, y);
  else
    FollowTileDrag(DragLabel, QPoint(x, y), buttons);
}

void TClipForm::FormMouseUp() {
  Stamping = false;
  DisarmTileDrag();
}

void TClipForm::mousePressEvent(QMouseEvent* event) {
  // Without a window manager the activation a press asks for arrives after the press; the
  // arranger serves the tool windows before the press acts, as with one.
  if (!isActiveWindow() && !ActivatedByPress) {
    FormActivate();
    ActivatedByPress = true;
  }
  const QPoint at = event->position().toPoint();
  FormMouseDown(event->button(), at.x(), at.y());
}

void TClipForm::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  FormMouseMove(event->buttons(), at.x(), at.y());
}

void TClipForm::mouseReleaseEvent(QMouseEvent*) {
  FormMouseUp();
}

void TClipForm::dragEnterEvent(QDragEnterEvent* event) {
  if (IsProgramDrop(event->mimeData())) event->acceptProposedAction();
}

void TClipForm::dragMoveEvent(QDragMoveEvent* event) {
  if (IsProgramDrop(event->mimeData())) event->acceptProposedAction();
}

void TClipForm::dropEvent(QDropEvent* event) {
  const QMimeData* data = event->mimeData();
  if (IsOwnTileDrag(data)) {
    event->acceptProposedAction();
    const QPoint at = event->position().toPoint();
    DropOnCell(at.x(), at.y());
  } else if (IsFileDrop(data)) {
    event->acceptProposedAction();
    OpenDroppedFiles(data);
  }
}

void TClipForm::ClearArranger() {
  for (int row = 0; row < kArrangerRows; ++row) {
    for (int column = 0; column < kArrangerColumns; ++column) {
      Cells[row][column].Tile = nullptr;
      FillSurfaceTile(ArrangerSurface, column, row, 0);
    }
  }
  FormPaint();
}

void TClipForm::RedecodeCellsIn(const TChildForm* rom, int64_t begin, int64_t end) {
  const ByteRange written{begin, end - begin};
  RedecodeCellsIn(rom, std::span(&written, 1));
}

void TClipForm::RedecodeCellsIn(const TChildForm* rom, std::span<const ByteRange> ranges) {
  for (int row = 0; row < kArrangerRows; ++row)
    for (int column = 0; column < kArrangerColumns; ++column) {
      const ArrangerCell* cell = OccupiedCell(column, row);
      if (!cell || cell->Rom != rom) continue;
      const int64_t end = int64_t{cell->Offset} + cell->TileBytes;
      for (const ByteRange& range : ranges)
        if (range.Offset < end && range.End() > cell->Offset) {
          DecodeCell(column, row);
          break;
        }
    }
  FormPaint();
}

void TClipForm::ForgetRom(const TChildForm* rom) {
  for (int row = 0; row < kArrangerRows; ++row) {
    for (int column = 0; column < kArrangerColumns; ++column) {
      ArrangerCell& cell = Cells[row][column];
      // A cell whose window is already gone counts as belonging to the closing one.
      if (cell.Tile && (cell.Rom == rom || cell.Rom.isNull())) {
        cell.Tile = nullptr;
        cell.Rom = nullptr;
        FillSurfaceTile(ArrangerSurface, column, row, 0);
      }
    }
  }
  FormPaint();
}

void TClipForm::RefreshCellsShowing(const uint8_t* tile, const TileSurface& from) {
  for (int row = 0; row < kArrangerRows; ++row)
    for (int column = 0; column < kArrangerColumns; ++column)
      if (tile && Cells[row][column].Tile == tile)
        CopySurfaceTile(ArrangerSurface, column, row, from, 0, 0);
  FormPaint();
}

void TClipForm::TakePalette(const PaletteTable& palette) {
  ArrangerPalette = palette;
  // Every entry: 4-bit cells show entries 0..15, 8-bit ones any of the 256.
  CopyPaletteToColors(ArrangerPalette, 0, kPaletteEntries, ArrangerSurface.Colors);
}

}  // namespace varnock
