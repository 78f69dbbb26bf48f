#include "tools/tile_transform.h"

#include <algorithm>
#include <vector>

namespace varnock {

void TransformTile(TilePixels pixels, TileTransform transform) {
  TransformCanvas({pixels, 8, 8}, transform);
}

bool TransformCanvas(PixelCanvas canvas, TileTransform transform) {
  const int32_t w = canvas.Width, h = canvas.Height;
  if (w <= 0 || h <= 0) return false;
  if (transform == TileTransform::RotateClockwise && w != h) return false;
  const std::vector<uint8_t> before(canvas.Pixels.begin(), canvas.Pixels.end());
  const auto p = [&](int32_t row, int32_t column) {
    return before[static_cast<size_t>(row) * static_cast<size_t>(w) + static_cast<size_t>(column)];
  };
  for (int32_t r = 0; r < h; ++r) {
    for (int32_t c = 0; c < w; ++c) {
      uint8_t value = 0;
      switch (transform) {
        case TileTransform::FlipHorizontal:
          value = p(r, w - 1 - c);
          break;
        case TileTransform::FlipVertical:
          value = p(h - 1 - r, c);
          break;
        case TileTransform::RotateClockwise:
          value = p(w - 1 - c, r);
          break;
        case TileTransform::ShiftLeft:
          value = p(r, (c + 1) % w);
          break;
        case TileTransform::ShiftRight:
          value = p(r, (c + w - 1) % w);
          break;
        case TileTransform::ShiftUp:
          value = p((r + 1) % h, c);
          break;
        case TileTransform::ShiftDown:
          value = p((r + h - 1) % h, c);
          break;
      }
      canvas.At(c, r) = value;
    }
  }
  return true;
}

PenPixel PenPixelAt(int32_t x, int32_t y) {
  return {std::clamp(x, 0, 127) / 16, std::clamp(y, 0, 127) / 16};
}

}  // namespace varnock
