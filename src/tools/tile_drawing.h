// The tile editor's drawing tools besides the pen: lines, rectangles (outlined or filled) and a
// fill, each drawn into the 8 x 8 pixels of one tile; nothing is drawn outside it.
#pragma once

#include <cstdint>

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
// to the exact line, a half rounding away from `from`. Ends outside the tile count as its
// nearest edge pixel, as the pen's moves do.
void DrawLine(TilePixels pixels, PenPixel from, PenPixel to, uint8_t index);

// The box with corners `corner` and `opposite`, whichever corner the drag started at; the part
// of it inside the tile.
void DrawRectangle(TilePixels pixels, PenPixel corner, PenPixel opposite, uint8_t index,
                   bool filled);

// Gives `index` to the pressed pixel and to every pixel joined to it by edges (not corners)
// through pixels of the same index. The tile's edge ends the area; a start outside the tile
// fills nothing.
void FloodFill(TilePixels pixels, PenPixel start, uint8_t index);

// What a drag from `from` to `to` draws with a shape tool (line, rectangles, fill); the pen and
// the colour picker draw nothing here.
void DrawShape(TilePixels pixels, DrawingTool tool, PenPixel from, PenPixel to, uint8_t index);

}  // namespace varnock
