// Bitmap bounds of a TileSurface computed in 64 bits, shared by the pixel helpers and the codec
// so that no request field, however wild, can address outside Pixels.
#pragma once

#include <cstdint>

#include "codec/tile_surface.h"

namespace varnock {

struct SurfaceBounds {
  int64_t Width = 0;  // also the row stride
  int64_t Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  bool Contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};

// The bitmap as the size fields describe it, or an empty one when those fields no longer match
// the pixels (changed without a RebuildSurface).
inline SurfaceBounds BoundsOf(const TileSurface& surface) {
  const int64_t width = int64_t{surface.TileWidth} * surface.TilesAcross;
  const int64_t height = int64_t{surface.TileHeight} * surface.TilesDown;
  if (surface.PixelCount <= 0 || surface.TileWidth <= 0 || surface.TileHeight <= 0 ||
      surface.TilesAcross <= 0 || surface.TilesDown <= 0 || width > surface.PixelCount ||
      height > surface.PixelCount || width * height != surface.PixelCount ||
      surface.Pixels.size() < static_cast<uint64_t>(surface.PixelCount))
    return {};
  return {width, height};
}

}  // namespace varnock
