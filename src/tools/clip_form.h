// The tile arranger: a 24 x 16 scratch board of tiles that refer to bytes in ROM windows.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <array>
#include <span>

#include "codec/tile_surface.h"
#include "history/edit_history.h"
#include "palette/palette.h"
#include "tools/arranger_grid.h"

namespace varnock {

class TChildForm;

struct ArrangerCell {
  QPointer<TChildForm> Rom;       // owner of the tile's bytes
  const uint8_t* Tile = nullptr;  // null: the cell is empty
  TileFormat Format = 0;
  int32_t Offset = 0;
  int32_t BitsPerPixel = 0;
  int32_t TileBytes = 0;
};

class TClipForm : public QWidget {
  Q_OBJECT
 public:
  TClipForm();

  void FormPaint();
  // Makes the arranger the tool windows' target and points the palette editor at it.
  void FormActivate();
  // Places the current tile (the frame's drag source) into the cell under client point (x, y).
  void DropOnCell(int x, int y);
  // Binds the tile editor to a cell's tile, with the cell's pixels and colours.
  void LoadEditorFromCell(int column, int row);
  // The presses: left loads the editor and arms the tile drag, right and middle stamp.
  void FormMouseDown(Qt::MouseButton button, int x, int y);
  void FormMouseMove(Qt::MouseButtons buttons, int x, int y);
  void FormMouseUp();
  // Empties every cell; the palette and the cells' other fields stay.
  void ClearArranger();
  // Empties every cell that refers to `rom` (a ROM window that is closing).
  void ForgetRom(const TChildForm* rom);
  // Decodes again every cell whose tile in `rom` overlaps bytes begin..end - 1 (they were
  // written), then repaints.
  void RedecodeCellsIn(const TChildForm* rom, int64_t begin, int64_t end);
  // The same for every range of `ranges` (an undo or a redo wrote them), with one repaint.
  void RedecodeCellsIn(const TChildForm* rom, std::span<const ByteRange> ranges);
  // Shows tile (0, 0) of `from` in every cell that refers to `tile`, then repaints.
  void RefreshCellsShowing(const uint8_t* tile, const TileSurface& from);
  // Copies a window's palette in, all 256 entries, also into the cell colours.
  void TakePalette(const PaletteTable& palette);
  // The cell's tile when it still has one in a window that is open, else null.
  const ArrangerCell* OccupiedCell(int column, int row) const;

  uint8_t LeftColor = 1;
  uint8_t RightColor = 0;
  PaletteTable ArrangerPalette{};
  TileSurface ArrangerSurface;
  std::array<std::array<ArrangerCell, kArrangerColumns>, kArrangerRows> Cells{};
  ArrangerCell* CurrentCell = nullptr;
  bool Stamping = false;
  // A press ran the activation before the platform's activation arrived.
  bool ActivatedByPress = false;
  QLabel* DragLabel = nullptr;  // never shown; the control a drag from the arranger carries

  int PaintCount = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Decodes a cell's tile from its window's image into its place on the board.
  void DecodeCell(int column, int row);
};

}  // namespace varnock
