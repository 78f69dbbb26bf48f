// The block editor's picture on the screen: its zoom steps and the zoom that fits a window,
// the block pixel under a point, and a box of block pixels composed zoomed, with the pixel and
// tile grids, into 32-bit screen pixels, so that a stroke repaints only the box it changed.
#pragma once

#include <cstdint>
#include <optional>

#include "codec/tile_surface.h"
#include "document/view_mouse.h"
#include "tools/tile_transform.h"

namespace varnock {

inline constexpr int32_t kMinBlockZoom = 1;
inline constexpr int32_t kMaxBlockZoom = 32;

// The next zoom of 1, 2, 3, 4, 6, 8, 12, 16, 24, 32 above `zoom` (direction > 0) or below it
// (direction < 0); `zoom` itself at either end.
int32_t StepBlockZoom(int32_t zoom, int32_t direction);

// The largest zoom (1..32) at which `width` x `height` block pixels fit an area of
// `areaWidth` x `areaHeight` screen pixels; 1 when not even that fits.
int32_t FitBlockZoom(int32_t width, int32_t height, int32_t areaWidth, int32_t areaHeight);

// The block pixel under screen point (x, y) of the zoomed picture, or nothing outside it.
std::optional<PenPixel> BlockPixelUnder(int32_t x, int32_t y, int32_t zoom, int32_t width,
                                        int32_t height);
// The same for a stroke, where a point outside counts as the nearest edge pixel.
PenPixel StrokePixelAt(int32_t x, int32_t y, int32_t zoom, int32_t width, int32_t height);

// Screen pixels of a box of block pixels, and the block pixels a box of the screen shows (cut
// to the block's `width` x `height`).
PixelRect ZoomedBox(const PixelRect& pixels, int32_t zoom);
PixelRect BlockPixelsIn(const PixelRect& screen, int32_t zoom, int32_t width, int32_t height);

struct BlockGrids {
  bool Pixels = false;  // between every two pixels, from zoom 4 on
  bool Tiles = false;   // between every two tiles
  uint32_t PixelColor = 0xFF808080;
  uint32_t TileColor = 0xFFFF00FF;
};

// The pixel grid is drawn from this zoom on; below it the lines would hide the pixels.
inline constexpr int32_t kPixelGridZoom = 4;

// Composes block pixels `box` of `block` at `zoom` into `image` (32-bit pixels, `stride` per
// row), whose pixel (0, 0) is the box's top-left screen pixel. A grid line lies over the first
// screen column (or row) of the pixel to its right (or below); the block's outer edges get
// none, and a tile line wins over a pixel line. `image` holds at least the box zoomed.
void ComposeBlockBox(const TileSurface& block, int32_t zoom, const PixelRect& box, uint32_t* image,
                     int32_t stride, const BlockGrids& grids);

}  // namespace varnock
