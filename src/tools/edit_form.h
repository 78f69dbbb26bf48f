// The tile editor: one tile magnified 16 times, bound to a tile's bytes in a ROM image.
#pragma once

#include <QPointer>
#include <QToolButton>
#include <QWidget>

#include "codec/tile_surface.h"

namespace varnock {

class TChildForm;

class TEditForm : public QWidget {
  Q_OBJECT
 public:
  TEditForm();

  // Redraws the magnified tile.
  void FormPaint();

  TileSurface EditSurface;
  QPointer<TChildForm> BoundRom;  // becomes null when the window closes
  uint8_t* BoundTile = nullptr;   // null: no tile, editing input is ignored
  TileFormat BoundFormat = 0;
  int32_t BoundOffset = 0;
  int32_t BoundTileBytes = 0;
  int32_t BoundBitsPerPixel = 0;
  uint8_t LeftColor = 1;
  uint8_t RightColor = 0;

  QWidget* ToolPanel = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton4 = nullptr;

  // Paints of the tile area so far, for tests that check what repaints.
  int PaintCount = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace varnock
