#include "codec/view_compose.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace varnock {

void ComposeSurface(const TileSurface& surface, int32_t zoom, uint32_t* image, int32_t width,
                    int32_t height, int32_t stride) {
  if (!image || zoom < 1 || width <= 0 || height <= 0 || stride < width) return;
  std::array<uint32_t, 256> screen;
  for (size_t i = 0; i < screen.size(); ++i) screen[i] = ScreenColor(surface.Colors[i]);

  const int32_t surfaceWidth = surface.Width();
  const int32_t columns = std::min(surfaceWidth, width / zoom);
  const int32_t rows = std::min(surface.Height(), height / zoom);
  for (int32_t y = 0; y < rows; ++y) {
    const uint8_t* source = surface.Pixels.data() + static_cast<size_t>(y) * surfaceWidth;
    uint32_t* first = image + static_cast<size_t>(y) * zoom * stride;
    uint32_t* out = first;
    // Widening by the zoom is written out per case so the inner loop stays branch-free.
    switch (zoom) {
      case 1:
        for (int32_t x = 0; x < columns; ++x) out[x] = screen[source[x]];
        break;
      case 2:
        for (int32_t x = 0; x < columns; ++x, out += 2) out[0] = out[1] = screen[source[x]];
        break;
      case 3:
        for (int32_t x = 0; x < columns; ++x, out += 3)
          out[0] = out[1] = out[2] = screen[source[x]];
        break;
      case 4:
        for (int32_t x = 0; x < columns; ++x, out += 4)
          out[0] = out[1] = out[2] = out[3] = screen[source[x]];
        break;
      default:
        for (int32_t x = 0; x < columns; ++x, out += zoom)
          std::fill_n(out, zoom, screen[source[x]]);
        break;
    }
    const size_t rowBytes = static_cast<size_t>(columns) * zoom * sizeof(uint32_t);
    for (int32_t k = 1; k < zoom; ++k)
      std::memcpy(first + static_cast<size_t>(k) * stride, first, rowBytes);
  }
}

void DrawGridLines(uint32_t* image, int32_t width, int32_t height, int32_t stride,
                   int32_t cellWidth, int32_t cellHeight, int32_t columns, int32_t rows,
                   uint32_t color) {
  if (!image || width <= 0 || height <= 0 || cellWidth <= 0 || cellHeight <= 0) return;
  for (int32_t k = 1; k < columns; ++k) {
    const int64_t x = static_cast<int64_t>(k) * cellWidth;
    if (x >= width) break;
    for (int32_t y = 0; y < height; ++y) image[static_cast<size_t>(y) * stride + x] = color;
  }
  for (int32_t k = 1; k < rows; ++k) {
    const int64_t y = static_cast<int64_t>(k) * cellHeight;
    if (y >= height) break;
    std::fill_n(image + static_cast<size_t>(y) * stride, width, color);
  }
}

}  // namespace varnock
