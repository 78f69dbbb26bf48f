#include "codec/view_compose.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnock {
namespace {

// Copies one composed row to another. A large back buffer is not read again before it is
// shown, so streaming stores keep it out of the cache, as a large memset does.
void CopyRow(uint32_t* to, const uint32_t* from, size_t count, bool stream) {
#if defined(__SSE2__)
  if (stream && (reinterpret_cast<uintptr_t>(to) & 15) == 0 &&
      (reinterpret_cast<uintptr_t>(from) & 15) == 0) {
    size_t i = 0;
    for (; i + 4 <= count; i += 4)
      _mm_stream_si128(reinterpret_cast<__m128i*>(to + i),
                       _mm_load_si128(reinterpret_cast<const __m128i*>(from + i)));
    for (; i < count; ++i) to[i] = from[i];
    return;
  }
#endif
#if !defined(__SSE2__)
  (void)stream;
#endif
  std::memcpy(to, from, count * sizeof(uint32_t));
}

// Above this the back buffer no longer fits the caches, and streaming pays.
constexpr size_t kStreamingBytes = size_t{4} << 20;

}  // namespace

void ComposeSurface(const TileSurface& surface, int32_t zoom, uint32_t* image, int32_t width,
                    int32_t height, int32_t stride) {
  if (!image || zoom < 1 || width <= 0 || height <= 0 || stride < width) return;
  std::array<uint32_t, 256> screen;
  for (size_t i = 0; i < screen.size(); ++i) screen[i] = ScreenColor(surface.Colors[i]);

  const int32_t surfaceWidth = surface.Width();
  const int32_t columns = std::min(surfaceWidth, width / zoom);
  const int32_t rows = std::min(surface.Height(), height / zoom);
  const size_t rowPixels = static_cast<size_t>(columns) * zoom;
  // One widened row, built once per surface row and then copied Zoom times down.
  alignas(16) thread_local std::vector<uint32_t> scratch;
  scratch.resize(rowPixels + 4);
  uint32_t* row = scratch.data();
  const bool stream = rowPixels * zoom * rows * sizeof(uint32_t) >= kStreamingBytes;
  while (reinterpret_cast<uintptr_t>(row) & 15) ++row;
  for (int32_t y = 0; y < rows; ++y) {
    const uint8_t* source = surface.Pixels.data() + static_cast<size_t>(y) * surfaceWidth;
    uint32_t* out = row;
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
    uint32_t* first = image + static_cast<size_t>(y) * zoom * stride;
    for (int32_t k = 0; k < zoom; ++k)
      CopyRow(first + static_cast<size_t>(k) * stride, row, rowPixels, stream);
  }
#if defined(__SSE2__)
  _mm_sfence();  // streamed rows are visible to whoever reads the buffer next
#endif
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
