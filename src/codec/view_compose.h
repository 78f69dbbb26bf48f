// Turning a decoded surface into screen pixels: each index through the colour table once,
// each pixel repeated Zoom times across and down, grid lines drawn in the same pass.
#pragma once

#include <cstdint>

#include "codec/tile_surface.h"

namespace varnock {

// 0xFFRRGGBB, the layout of a 32-bit RGB screen image.
constexpr uint32_t ScreenColor(const SurfaceColor& c) {
  return 0xFF000000u | (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
}

struct ComposeGrid {
  bool Show = false;
  uint32_t Color = 0xFFC0C0C0;  // silver
};

// Writes the whole surface, zoomed, into a `width` x `height` image of 32-bit pixels with
// `stride` pixels per row; only the part that fits both is written. With the grid shown, each
// interior tile boundary gets a line over the first pixel column (or row) of the tile to its
// right (or below); the outer edges get none.
void ComposeSurface(const TileSurface& surface, int32_t zoom, uint32_t* image, int32_t width,
                    int32_t height, int32_t stride, ComposeGrid grid = {});

}  // namespace varnock
