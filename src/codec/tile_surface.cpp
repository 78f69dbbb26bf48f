#include "codec/tile_surface.h"

#include <algorithm>
#include <cstring>

#include "codec/surface_bounds.h"

namespace varnock {

void RebuildSurface(TileSurface& surface) {
  const int64_t width = int64_t{surface.TileWidth} * surface.TilesAcross;
  const int64_t height = int64_t{surface.TileHeight} * surface.TilesDown;
  const bool usable = surface.TileWidth > 0 && surface.TileHeight > 0 && surface.TilesAcross > 0 &&
                      surface.TilesDown > 0 && width <= kMaxSurfacePixels &&
                      height <= kMaxSurfacePixels && width * height <= kMaxSurfacePixels;
  surface.Pixels.clear();
  if (!usable) {
    surface.Pixels.shrink_to_fit();
    surface.PixelCount = 0;
    return;
  }
  surface.PixelCount = static_cast<int32_t>(width * height);
  surface.Pixels.assign(static_cast<size_t>(surface.PixelCount), 0);
}

void PutSurfacePixel(TileSurface& surface, int32_t x, int32_t y, uint8_t index) {
  const SurfaceBounds bounds = BoundsOf(surface);
  if (!bounds.Contains(x, y)) return;
  surface.Pixels[static_cast<size_t>(int64_t{y} * bounds.Width + x)] = index;
}

void FillSurfaceTile(TileSurface& surface, int32_t column, int32_t row, uint8_t index) {
  const SurfaceBounds bounds = BoundsOf(surface);
  if (bounds.Empty()) return;
  const int64_t left = std::max<int64_t>(int64_t{column} * surface.TileWidth, 0);
  const int64_t right =
      std::min(int64_t{column} * surface.TileWidth + surface.TileWidth, bounds.Width);
  const int64_t top = std::max<int64_t>(int64_t{row} * surface.TileHeight, 0);
  const int64_t bottom =
      std::min(int64_t{row} * surface.TileHeight + surface.TileHeight, bounds.Height);
  for (int64_t y = top; y < bottom && left < right; ++y)
    std::memset(surface.Pixels.data() + y * bounds.Width + left, index,
                static_cast<size_t>(right - left));
}

void CopySurfaceTile(TileSurface& destination, int32_t destColumn, int32_t destRow,
                     const TileSurface& source, int32_t sourceColumn, int32_t sourceRow) {
  const SurfaceBounds to = BoundsOf(destination);
  const SurfaceBounds from = BoundsOf(source);
  if (to.Empty() || from.Empty()) return;
  // The block is the source cell; (i, j) inside it maps to both corners below.
  const int64_t fromX = int64_t{sourceColumn} * source.TileWidth;
  const int64_t fromY = int64_t{sourceRow} * source.TileHeight;
  const int64_t toX = int64_t{destColumn} * destination.TileWidth;
  const int64_t toY = int64_t{destRow} * destination.TileHeight;
  const int64_t firstI = std::max<int64_t>({0, -fromX, -toX});
  const int64_t endI = std::min<int64_t>({source.TileWidth, from.Width - fromX, to.Width - toX});
  const int64_t firstJ = std::max<int64_t>({0, -fromY, -toY});
  const int64_t endJ = std::min<int64_t>({source.TileHeight, from.Height - fromY, to.Height - toY});
  if (firstI >= endI) return;
  for (int64_t j = firstJ; j < endJ; ++j)
    // memmove: source and destination may be the same surface.
    std::memmove(destination.Pixels.data() + (toY + j) * to.Width + toX + firstI,
                 source.Pixels.data() + (fromY + j) * from.Width + fromX + firstI,
                 static_cast<size_t>(endI - firstI));
}

void SetUpTileSurface(TileSurface& surface, int32_t across, int32_t down) {
  surface.TileWidth = 8;
  surface.TileHeight = 8;
  surface.TilesAcross = across;
  surface.TilesDown = down;
  RebuildSurface(surface);
  surface.DecodeColumn = surface.DecodeRow = surface.DecodeSkip = 0;
  surface.EncodeColumn = surface.EncodeRow = surface.EncodeSkip = 0;
  surface.DecodeAcross = surface.DecodeDown = 1;
  surface.EncodeAcross = surface.EncodeDown = 1;
}

}  // namespace varnock
