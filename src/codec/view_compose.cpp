#include "codec/view_compose.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "codec/codec_kernels.h"
#include "codec/surface_bounds.h"

namespace varnock {

void WidenRowTable(const uint8_t* indices, int32_t count, const uint32_t* screen, int32_t zoom,
                   uint32_t* out) {
  // Written out per zoom so the inner loop stays branch-free.
  switch (zoom) {
    case 1:
      for (int32_t x = 0; x < count; ++x) out[x] = screen[indices[x]];
      break;
    case 2:
      for (int32_t x = 0; x < count; ++x, out += 2) out[0] = out[1] = screen[indices[x]];
      break;
    case 3:
      for (int32_t x = 0; x < count; ++x, out += 3) out[0] = out[1] = out[2] = screen[indices[x]];
      break;
    case 4:
      for (int32_t x = 0; x < count; ++x, out += 4)
        out[0] = out[1] = out[2] = out[3] = screen[indices[x]];
      break;
    default:
      for (int32_t x = 0; x < count; ++x, out += zoom) std::fill_n(out, zoom, screen[indices[x]]);
      break;
  }
}

void ComposeSurface(const TileSurface& surface, int32_t zoom, uint32_t* image, int32_t width,
                    int32_t height, int32_t stride, ComposeGrid grid) {
  if (!image || zoom < 1 || width <= 0 || height <= 0 || stride < width) return;
  std::array<uint32_t, 256> screen;
  for (size_t i = 0; i < screen.size(); ++i) screen[i] = ScreenColor(surface.Colors[i]);

  // Size fields changed since the last RebuildSurface no longer describe the pixels: such a
  // surface is not drawn rather than read past its end.
  const SurfaceBounds bounds = BoundsOf(surface);
  if (bounds.Empty()) return;
  const CodecKernels& kernels = ActiveCodecKernels();
  const int64_t surfaceWidth = bounds.Width;
  const auto columns = static_cast<int32_t>(std::min<int64_t>(surfaceWidth, width / zoom));
  const auto rows = static_cast<int32_t>(std::min<int64_t>(bounds.Height, height / zoom));
  const size_t rowPixels = static_cast<size_t>(columns) * zoom;
  const int64_t cellWidth = int64_t{surface.TileWidth} * zoom;
  const int64_t cellHeight = int64_t{surface.TileHeight} * zoom;
  for (int32_t y = 0; y < rows; ++y) {
    const uint8_t* source = surface.Pixels.data() + y * surfaceWidth;
    // The first screen row of the block that no grid line covers is widened in place; the
    // block's other rows are copies of it, or grid lines.
    const uint32_t* widened = nullptr;
    for (int32_t k = 0; k < zoom; ++k) {
      const int32_t screenRow = y * zoom + k;
      uint32_t* to = image + static_cast<size_t>(screenRow) * stride;
      if (grid.Show && screenRow > 0 && cellHeight > 0 && screenRow % cellHeight == 0) {
        std::fill_n(to, rowPixels, grid.Color);
      } else if (widened) {
        std::memcpy(to, widened, rowPixels * sizeof(uint32_t));
      } else {
        kernels.WidenRow(source, columns, screen.data(), zoom, to);
        if (grid.Show && cellWidth > 0)
          for (auto x = static_cast<size_t>(cellWidth); x < rowPixels; x += cellWidth)
            to[x] = grid.Color;
        widened = to;
      }
    }
  }
}

}  // namespace varnock
