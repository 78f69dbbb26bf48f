// The tile editor: one tile magnified 16 times, bound to a tile's bytes in a ROM image.
// Every finished edit goes straight back into the image and onto that window's undo stack.
#pragma once

#include <QButtonGroup>
#include <QMenu>
#include <QPointer>
#include <QToolButton>
#include <QWidget>
#include <array>

#include "codec/tile_surface.h"
#include "tools/tile_drawing.h"
#include "tools/tile_transform.h"

namespace varnock {

class TChildForm;

class TEditForm : public QWidget {
  Q_OBJECT
 public:
  TEditForm();

  // Redraws the magnified tile.
  void FormPaint();
  // Takes the drawing colours of the window the tool windows serve.
  void FormActivate();
  // The same, run also whenever the served window or its picks change: without a window
  // manager a press reaches the editor before its activation does.
  void TakeServedColors();

  // The pen (or the chosen drawing tool), in client pixels of the drawing area.
  void FormMouseDown(Qt::MouseButton button, int x, int y);
  void FormMouseMove(int x, int y);
  void FormMouseUp(Qt::MouseButton button, int x, int y);
  // Shift + arrow shifts the tile one pixel, wrapping around; other keys do nothing.
  void FormKeyDown(int key, Qt::KeyboardModifiers shift);
  void SpeedButton1Click();  // flip horizontally
  void SpeedButton2Click();  // flip vertically
  void SpeedButton3Click();  // rotate 90 degrees clockwise
  void SpeedButton4Click();  // undo
  // The drawing tools below the designed buttons: the tool the drawing area's presses use.
  void ToolButtonClick(DrawingTool tool);
  // The one-pixel grid between the magnified pixels, on or off (the context menu's item).
  void GridButtonClick();

  // Records the tile's bytes for undo, encodes the shown tile into them and shows the change
  // wherever the same bytes are on screen. One step of the window's history, named after
  // `operation` ("Matita, tile 0x00340"); without one, after the chosen drawing tool.
  void WriteBackTile(const QString& operation = {});
  // Puts back the bytes of the bound window's newest undo entry.
  void UndoTileEdit();
  // No tile: the drawing area shows index 0 and editing input is ignored.
  void Unbind();
  // After a paste or a drop wrote into `rom`'s image: the bound tile is decoded again if it is
  // in that image, so the next stroke does not write the old pixels back over the new ones.
  void ReloadBoundTile(const TChildForm* rom);
  // Binds the editor to the tile at `offset` of `rom`'s image, encoded as given.
  void BindTile(TChildForm* rom, int32_t offset, TileFormat format, int32_t tileBytes,
                int32_t bitsPerPixel);
  // Shows tile cell (column, row) of `from` as it is drawn there, with its colours.
  void ShowTile(const TileSurface& from, int column, int row);

  TileSurface EditSurface;
  QPointer<TChildForm> BoundRom;       // becomes null when the window is freed
  const uint8_t* BoundTile = nullptr;  // null: no tile, editing input is ignored
  TileFormat BoundFormat = 0;
  int32_t BoundOffset = 0;
  int32_t BoundTileBytes = 0;
  int32_t BoundBitsPerPixel = 0;
  uint8_t LeftColor = 0;
  uint8_t RightColor = 0;
  bool Drawing = false;
  Qt::MouseButton DrawButton = Qt::NoButton;
  DrawingTool Tool = DrawingTool::Pen;
  bool PixelGrid = false;

  QWidget* ToolPanel = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  // Pen, line, rectangle, filled rectangle, fill, colour picker: in DrawingTool order, in the
  // panel below the four designed buttons.
  std::array<QToolButton*, 6> ToolButtons{};
  QButtonGroup* ToolGroup = nullptr;
  QMenu* EditorMenu = nullptr;
  QAction* PixelGrid1 = nullptr;

  // Paints of the tile area so far, for tests that check what repaints.
  int PaintCount = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // The bound window while it is open, else null.
  TChildForm* Bound() const;
  uint8_t PenColor(Qt::MouseButton button) const;
  void Transform(TileTransform transform);
  // Decodes the bound tile from its window's image into the drawing area.
  void DecodeBoundTile(const TChildForm& rom);
  void BuildDrawingTools();
  void BuildContextMenu();
  // A shape tool's drag: the tile as it was at the press, with the shape to `to` drawn over it.
  void DrawShapeTo(PenPixel to);
  // The colour picker: the pixel's index becomes the foreground (left button) or background.
  void PickColorAt(Qt::MouseButton button, int x, int y);

  // Where a shape tool's drag started, and the tile's pixels before it.
  PenPixel StrokeStart;
  std::array<uint8_t, 64> StrokeBefore{};
};

}  // namespace varnock
