// The block editor: a block of up to 16 x 16 tiles of a ROM (or stream) window shown as one
// picture in the view's arrangement, drawn on with the tile editor's tools across tile edges.
// Every stroke, shape, flip, shift and paste is written back into the image at once as one
// step of its history, and Ctrl+Z / Ctrl+Y walk that history.
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QToolBar>
#include <QWidget>
#include <array>

#include "codec/tile_surface.h"
#include "document/block_transfer.h"
#include "tools/block_geometry.h"
#include "tools/block_view.h"
#include "tools/tile_drawing.h"

namespace varnock {

class TChildForm;
class TBlockForm;

// The zoomed picture; it draws only the part the paint event asks for.
class BlockCanvasWidget : public QWidget {
  Q_OBJECT
 public:
  explicit BlockCanvasWidget(TBlockForm* owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  TBlockForm* owner_;
};

class TBlockForm : public QWidget {
  Q_OBJECT
 public:
  explicit TBlockForm(QWidget* parent);

  // Shows cells `cells` of `rom`'s page (cut to 16 x 16 tiles) and the window. False, with
  // nothing changed, when they hold no tile.
  bool OpenBlock(TChildForm* rom, const TileRect& cells);

  // The drawing area's mouse, in the canvas's own pixels.
  void CanvasMouseDown(Qt::MouseButton button, int x, int y);
  void CanvasMouseMove(Qt::MouseButtons buttons, int x, int y);
  void CanvasMouseUp(Qt::MouseButton button, int x, int y);
  // Ctrl+wheel zooms; anything else scrolls.
  bool CanvasWheel(int angleDelta, Qt::KeyboardModifiers modifiers);
  void CanvasLeft();
  // Shift + arrows shift the whole block one pixel, wrapping around.
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void ToolButtonClick(DrawingTool tool);
  // Flips, the quarter turn (square blocks only) and shifts of the whole block, one step each.
  void TransformBlock(TileTransform transform);
  // The image's history: its newest step undone, or the next one done again.
  void Undo1Click();
  void Redo1Click();
  // The block to the clipboard (the program's block and a picture for other programs), and a
  // block or picture from it over the block's top-left corner, cut to the block.
  void Copy1Click();
  void Paste1Click();
  void SetZoom(int32_t zoom);
  void ZoomIn1Click();
  void ZoomOut1Click();
  void Fit1Click();
  void PixelGrid1Click();
  void TileGrid1Click();

  // After `rom`'s image changed elsewhere: the block shows it (unless a stroke is under way).
  void ImageChanged(const TChildForm* rom);
  // After the colours `rom` shows changed.
  void ColorsChanged(const TChildForm* rom);
  // A closing window: the editor lets go of its block.
  void ForgetRom(const TChildForm* rom);

  // The bound window while it is open, else null.
  TChildForm* Bound() const;

  BlockLayout Layout;
  TileSurface BlockSurface;  // the block as drawn, 8-bit indices
  QPointer<TChildForm> BoundRom;
  TileRect Cells;  // the view cells the block was opened over
  int32_t Zoom = 8;
  BlockGrids Grids;
  DrawingTool Tool = DrawingTool::Pen;
  bool Drawing = false;
  Qt::MouseButton DrawButton = Qt::NoButton;

  QToolBar* ToolBar = nullptr;
  std::array<QAction*, 6> ToolItems{};  // in DrawingTool order
  QActionGroup* ToolGroup = nullptr;
  QAction* FlipHorizontal1 = nullptr;
  QAction* FlipVertical1 = nullptr;
  QAction* Rotate1 = nullptr;
  QAction* Undo1 = nullptr;
  QAction* Redo1 = nullptr;
  QAction* Copy1 = nullptr;
  QAction* Paste1 = nullptr;
  QAction* ZoomIn1 = nullptr;
  QAction* ZoomOut1 = nullptr;
  QAction* Fit1 = nullptr;
  QAction* PixelGrid1 = nullptr;
  QAction* TileGrid1 = nullptr;
  QScrollArea* Scroller = nullptr;
  BlockCanvasWidget* Canvas = nullptr;
  QLabel* StatusLine = nullptr;

  // Paints of the canvas so far and the screen pixels they composed, for tests and the
  // benchmark that check a stroke repaints only what it changed.
  int PaintCount = 0;
  int64_t PaintedPixels = 0;

  // Composes the canvas pixels `area` and draws them (the canvas's paint event).
  void PaintCanvas(QPainter& painter, const QRect& area);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildActions();
  // The item whose shortcut the key is, or null.
  QAction* ItemForKeys(const QKeyEvent* event) const;
  uint8_t PenColor(Qt::MouseButton button) const;
  // Decodes the block from the bound image; true (and the canvas repainted) when it changed.
  bool DecodeFromImage();
  // Writes the pixels that differ from StrokeBefore back as one step named after `operation`;
  // every window showing them follows.
  void WriteBack(std::string_view operation);
  void DrawShapeTo(PenPixel to);
  void RepaintPixels(const PixelRect& pixels);
  void ResizeCanvas();
  void ShowPointer(int x, int y);
  void EnableItems();

  TileSurface StrokeBefore;  // the block before the stroke or shape under way
  PenPixel StrokeStart;
  PenPixel LastPixel;
  PixelRect ShapeBox;  // block pixels the shape drawn so far covers
};

// The one block editor, made on first use (null until then, and after the frame is gone).
TBlockForm* BlockEditor(bool create = true);

}  // namespace varnock
