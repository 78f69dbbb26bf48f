// Turning a decoded surface into screen pixels: each index through the colour table once,
// each pixel repeated Zoom times across and down.
#pragma once

#include <cstdint>

#include "codec/tile_surface.h"

namespace varnock {

// 0xFFRRGGBB, the layout of a 32-bit RGB screen image.
constexpr uint32_t ScreenColor(const SurfaceColor& c) {
  return 0xFF000000u | (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
}

// Writes the whole surface, zoomed, into a `width` x `height` image of 32-bit pixels with
// `stride` pixels per row. Only the part that fits both is written.
void ComposeSurface(const TileSurface& surface, int32_t zoom, uint32_t* image, int32_t width,
                    int32_t height, int32_t stride);

// Interior grid lines over the tiles: vertical at k x cellWidth for k = 1..columns-1 and
// horizontal at k x cellHeight for k = 1..rows-1, clipped to the image.
void DrawGridLines(uint32_t* image, int32_t width, int32_t height, int32_t stride,
                   int32_t cellWidth, int32_t cellHeight, int32_t columns, int32_t rows,
                   uint32_t color);

}  // namespace varnock
