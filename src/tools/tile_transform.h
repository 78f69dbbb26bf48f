// What the tile editor does to its one 8 x 8 tile, and the block editor to its block: flips,
// the quarter turn and the one-pixel shifts that wrap around, plus the mapping of a pointer
// position to a pixel of the tile editor.
#pragma once

#include <cstdint>
#include <span>

#include "tools/pixel_canvas.h"

namespace varnock {

// Pixels of one tile, row by row, top row first.
using TilePixels = std::span<uint8_t, 64>;

enum class TileTransform {
  FlipHorizontal,   // p'(r, c) = p(r, 7 - c)
  FlipVertical,     // p'(r, c) = p(7 - r, c)
  RotateClockwise,  // p'(r, c) = p(7 - c, r): the top-left pixel goes to the top-right corner
  ShiftLeft,        // p'(r, c) = p(r, (c + 1) mod 8)
  ShiftRight,       // p'(r, (c + 1) mod 8) = p(r, c)
  ShiftUp,          // p'(r, c) = p((r + 1) mod 8, c)
  ShiftDown,        // p'((r + 1) mod 8, c) = p(r, c)
};

void TransformTile(TilePixels pixels, TileTransform transform);

// The same over a whole canvas of W x H pixels (7 above reads W - 1 or H - 1, 8 reads W or H).
// The quarter turn keeps the canvas's shape only when it is square: any other canvas is left
// as it is, and the answer is false.
bool TransformCanvas(PixelCanvas canvas, TileTransform transform);

struct PenPixel {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const PenPixel&, const PenPixel&) = default;
};

// Tile pixel under a drawing-area point during a stroke: each pixel shows 16 x 16, and a point
// outside the 128 x 128 area counts as its nearest edge, so the stroke keeps to the border.
PenPixel PenPixelAt(int32_t x, int32_t y);

}  // namespace varnock
