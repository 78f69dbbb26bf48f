// Geometry of mouse work on the tile grid: which tile a client point lies on, the selection's
// pixel block, the area a selection move repaints, and the inversion of a block of the back
// buffer.
#pragma once

#include <cstdint>
#include <optional>

namespace varnock {

class RomDocument;

struct GridCell {
  int32_t Column = 0;
  int32_t Row = 0;
  friend bool operator==(const GridCell&, const GridCell&) = default;
};

// A block of client pixels, right and bottom exclusive. Empty when right <= left or
// bottom <= top.
struct PixelRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The tile under client point (x, y): truncating division by the cell size.
GridCell CellAt(int32_t x, int32_t y, int32_t cellWidth, int32_t cellHeight);

// A move reported over the scroll bar (the rightmost 16 pixels) or below the grid counts as
// the last column or row.
void ClampToGrid(int32_t& x, int32_t& y, int32_t clientWidth, int32_t clientHeight);

// Columns SelLeft .. SelRight - 1 and rows SelTop .. SelBottom - 1 in pixels; a reversed
// selection covers nothing.
PixelRect SelectionPixels(const RomDocument& doc);

// The smallest block covering both; an empty one adds nothing.
PixelRect UnionRect(const PixelRect& a, const PixelRect& b);

// Inverts the colour bits (not alpha) of `block` in a 32-bit image, clipped to the image.
void InvertBlock(uint32_t* image, int32_t width, int32_t height, int32_t stride,
                 const PixelRect& block);

// The same as inverting `before` and then `after`, in one pass that touches only the pixels
// lying in exactly one of the two: a selection drag changes a thin border per move.
void InvertChange(uint32_t* image, int32_t width, int32_t height, int32_t stride,
                  const PixelRect& before, const PixelRect& after);

// The client pixels of grid cell `cell`, right and bottom exclusive.
PixelRect CellPixels(const RomDocument& doc, GridCell cell);

// Outlines `block` of a 32-bit image with a one-pixel frame along its inside edge, in dashes of
// two black and two white pixels, which show on tiles of any colour. Clipped to the image.
void FrameBlock(uint32_t* image, int32_t width, int32_t height, int32_t stride,
                const PixelRect& block);

// The byte offset of the tile at grid cell `cell`, or nothing when that tile starts at or past
// the end of the image (an empty image has no tiles at all).
std::optional<int32_t> PickOffset(const RomDocument& doc, GridCell cell);

}  // namespace varnock
