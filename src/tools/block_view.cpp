#include "tools/block_view.h"

#include <algorithm>
#include <array>
#include <vector>

#include "codec/view_compose.h"

namespace varnock {
namespace {

constexpr std::array<int32_t, 10> kZoomSteps = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32};

int32_t FloorDiv(int32_t a, int32_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

int32_t StepBlockZoom(int32_t zoom, int32_t direction) {
  zoom = std::clamp(zoom, kMinBlockZoom, kMaxBlockZoom);
  if (direction > 0) {
    for (const int32_t step : kZoomSteps)
      if (step > zoom) return step;
  } else if (direction < 0) {
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
      if (*it < zoom) return *it;
  }
  return zoom;
}

int32_t FitBlockZoom(int32_t width, int32_t height, int32_t areaWidth, int32_t areaHeight) {
  if (width <= 0 || height <= 0) return kMinBlockZoom;
  return std::clamp(std::min(areaWidth / width, areaHeight / height), kMinBlockZoom, kMaxBlockZoom);
}

std::optional<PenPixel> BlockPixelUnder(int32_t x, int32_t y, int32_t zoom, int32_t width,
                                        int32_t height) {
  if (zoom <= 0 || x < 0 || y < 0) return std::nullopt;
  const PenPixel pixel{x / zoom, y / zoom};
  if (pixel.X >= width || pixel.Y >= height) return std::nullopt;
  return pixel;
}

PenPixel StrokePixelAt(int32_t x, int32_t y, int32_t zoom, int32_t width, int32_t height) {
  zoom = std::max(zoom, 1);
  return {std::clamp(FloorDiv(x, zoom), 0, std::max(width - 1, 0)),
          std::clamp(FloorDiv(y, zoom), 0, std::max(height - 1, 0))};
}

PixelRect ZoomedBox(const PixelRect& pixels, int32_t zoom) {
  if (pixels.Empty()) return {};
  return {pixels.Left * zoom, pixels.Top * zoom, pixels.Right * zoom, pixels.Bottom * zoom};
}

PixelRect BlockPixelsIn(const PixelRect& screen, int32_t zoom, int32_t width, int32_t height) {
  if (screen.Empty() || zoom <= 0) return {};
  const PixelRect box{std::max(FloorDiv(screen.Left, zoom), 0),
                      std::max(FloorDiv(screen.Top, zoom), 0),
                      std::min(FloorDiv(screen.Right + zoom - 1, zoom), width),
                      std::min(FloorDiv(screen.Bottom + zoom - 1, zoom), height)};
  return box.Empty() ? PixelRect{} : box;
}

void ComposeBlockBox(const TileSurface& block, int32_t zoom, const PixelRect& box, uint32_t* image,
                     int32_t stride, const BlockGrids& grids) {
  const int32_t width = block.Width(), height = block.Height();
  if (zoom <= 0 || box.Empty() || box.Left < 0 || box.Top < 0 || box.Right > width ||
      box.Bottom > height || block.Pixels.size() < static_cast<size_t>(width) * height)
    return;
  const bool pixelLines = grids.Pixels && zoom >= kPixelGridZoom;
  const bool tileLines = grids.Tiles;
  std::array<uint32_t, 256> colors;
  for (size_t k = 0; k < colors.size(); ++k) colors[k] = ScreenColor(block.Colors[k]);
  const int32_t rowPixels = (box.Right - box.Left) * zoom;
  // The screen row of a block row, and the row of a horizontal line across the box (which
  // crosses the vertical lines in its own colour).
  thread_local std::vector<uint32_t> row;
  row.resize(static_cast<size_t>(rowPixels));
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    const uint8_t* pixels = block.Pixels.data() + static_cast<size_t>(y) * width;
    uint32_t* out = row.data();
    for (int32_t x = box.Left; x < box.Right; ++x) {
      const uint32_t color = colors[pixels[x]];
      std::fill_n(out, zoom, color);
      if (x > 0 && tileLines && x % 8 == 0)
        out[0] = grids.TileColor;
      else if (x > 0 && pixelLines)
        out[0] = grids.PixelColor;
      out += zoom;
    }
    uint32_t* first = image + static_cast<size_t>(y - box.Top) * zoom * stride;
    int32_t line = 0;
    if (y > 0 && tileLines && y % 8 == 0) {
      std::fill_n(first, rowPixels, grids.TileColor);
      line = 1;
    } else if (y > 0 && pixelLines) {
      std::fill_n(first, rowPixels, grids.PixelColor);
      line = 1;
    }
    for (int32_t k = line; k < zoom; ++k)
      std::copy(row.begin(), row.end(), first + static_cast<size_t>(k) * stride);
  }
}

}  // namespace varnock
