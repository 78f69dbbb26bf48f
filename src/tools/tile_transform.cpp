#include "tools/tile_transform.h"

#include <algorithm>
#include <array>

namespace varnock {

void TransformTile(TilePixels pixels, TileTransform transform) {
  std::array<uint8_t, 64> before;
  std::copy(pixels.begin(), pixels.end(), before.begin());
  const auto p = [&before](int row, int column) { return before[row * 8 + column]; };
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 8; ++c) {
      uint8_t value = 0;
      switch (transform) {
        case TileTransform::FlipHorizontal:
          value = p(r, 7 - c);
          break;
        case TileTransform::FlipVertical:
          value = p(7 - r, c);
          break;
        case TileTransform::RotateClockwise:
          value = p(7 - c, r);
          break;
        case TileTransform::ShiftLeft:
          value = p(r, (c + 1) % 8);
          break;
        case TileTransform::ShiftRight:
          value = p(r, (c + 7) % 8);
          break;
        case TileTransform::ShiftUp:
          value = p((r + 1) % 8, c);
          break;
        case TileTransform::ShiftDown:
          value = p((r + 7) % 8, c);
          break;
      }
      pixels[static_cast<size_t>(r * 8 + c)] = value;
    }
  }
}

PenPixel PenPixelAt(int32_t x, int32_t y) {
  return {std::clamp(x, 0, 127) / 16, std::clamp(y, 0, 127) / 16};
}

}  // namespace varnock
