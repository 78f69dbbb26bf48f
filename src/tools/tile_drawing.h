// The drawing tools besides the pen: lines, rectangles (outlined or filled) and a fill, each
// drawn into a canvas of pixels (the tile editor's 8 x 8 tile, the block editor's block);
// nothing is drawn outside it.
#pragma once

#include <cstdint>

#include "tools/pixel_canvas.h"
#include "tools/tile_transform.h"

namespace varnock {

enum class DrawingTool {
  Pen,              // one pixel per press and move
  Line,             // from the press to the release
  Rectangle,        // the outline of the box the press and the release span
  FilledRectangle,  // the same box, filled
  Fill,             // the 4-connected area of the pressed pixel's index
  ColorPicker,      // takes the pressed pixel's index as a drawing colour; draws nothing
};

// Both ends and one pixel per step along the longer axis; the other coordinate is the nearest
// to the exact line, a half rounding away from `from`. Ends outside the canvas count as its
// nearest edge pixel, as the pen's moves do.
void DrawLine(PixelCanvas canvas, PenPixel from, PenPixel to, uint8_t index);

// The box with corners `corner` and `opposite`, whichever corner the drag started at; the part
// of it inside the canvas.
void DrawRectangle(PixelCanvas canvas, PenPixel corner, PenPixel opposite, uint8_t index,
                   bool filled);

// Gives `index` to the pressed pixel and to every pixel joined to it by edges (not corners)
// through pixels of the same index. The canvas's edge ends the area; a start outside it fills
// nothing.
void FloodFill(PixelCanvas canvas, PenPixel start, uint8_t index);

// What a drag from `from` to `to` draws with a shape tool (line, rectangles, fill); the pen and
// the colour picker draw nothing here.
void DrawShape(PixelCanvas canvas, DrawingTool tool, PenPixel from, PenPixel to, uint8_t index);

// The same on one 8 x 8 tile.
inline PixelCanvas CanvasOf(TilePixels pixels) {
  return {pixels, 8, 8};
}
inline void DrawLine(TilePixels pixels, PenPixel from, PenPixel to, uint8_t index) {
  DrawLine(CanvasOf(pixels), from, to, index);
}
inline void DrawRectangle(TilePixels pixels, PenPixel corner, PenPixel opposite, uint8_t index,
                          bool filled) {
  DrawRectangle(CanvasOf(pixels), corner, opposite, index, filled);
}
inline void FloodFill(TilePixels pixels, PenPixel start, uint8_t index) {
  FloodFill(CanvasOf(pixels), start, index);
}
inline void DrawShape(TilePixels pixels, DrawingTool tool, PenPixel from, PenPixel to,
                      uint8_t index) {
  DrawShape(CanvasOf(pixels), tool, from, to, index);
}

}  // namespace varnock
