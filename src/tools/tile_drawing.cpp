#include "tools/tile_drawing.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace varnock {
namespace {

void Put(PixelCanvas canvas, int32_t x, int32_t y, uint8_t index) {
  if (canvas.Inside(x, y)) canvas.At(x, y) = index;
}

int32_t Sign(int32_t value) {
  return (value > 0) - (value < 0);
}

PenPixel Clamped(PixelCanvas canvas, PenPixel pixel) {
  return {std::clamp(pixel.X, 0, canvas.Width - 1), std::clamp(pixel.Y, 0, canvas.Height - 1)};
}

}  // namespace

void DrawLine(PixelCanvas canvas, PenPixel from, PenPixel to, uint8_t index) {
  if (canvas.Width <= 0 || canvas.Height <= 0) return;
  from = Clamped(canvas, from);
  to = Clamped(canvas, to);
  const int32_t dx = to.X - from.X;
  const int32_t dy = to.Y - from.Y;
  const int32_t major = std::max(std::abs(dx), std::abs(dy));
  if (major == 0) {
    Put(canvas, from.X, from.Y, index);
    return;
  }
  const bool alongX = std::abs(dx) >= std::abs(dy);
  const int32_t minor = alongX ? std::abs(dy) : std::abs(dx);
  for (int32_t step = 0; step <= major; ++step) {
    // step x minor / major to the nearest whole pixel, halves away from the start.
    const int32_t across = (2 * step * minor + major) / (2 * major);
    const int32_t x = from.X + (alongX ? step * Sign(dx) : across * Sign(dx));
    const int32_t y = from.Y + (alongX ? across * Sign(dy) : step * Sign(dy));
    Put(canvas, x, y, index);
  }
}

void DrawRectangle(PixelCanvas canvas, PenPixel corner, PenPixel opposite, uint8_t index,
                   bool filled) {
  const int32_t left = std::min(corner.X, opposite.X);
  const int32_t right = std::max(corner.X, opposite.X);
  const int32_t top = std::min(corner.Y, opposite.Y);
  const int32_t bottom = std::max(corner.Y, opposite.Y);
  for (int32_t y = std::max(top, 0); y <= std::min(bottom, canvas.Height - 1); ++y)
    for (int32_t x = std::max(left, 0); x <= std::min(right, canvas.Width - 1); ++x)
      if (filled || y == top || y == bottom || x == left || x == right) Put(canvas, x, y, index);
}

void FloodFill(PixelCanvas canvas, PenPixel start, uint8_t index) {
  if (!canvas.Inside(start.X, start.Y)) return;
  const uint8_t area = canvas.At(start.X, start.Y);
  if (area == index) return;
  // Every pixel enters the stack at most once: it takes the new index as it is pushed.
  std::vector<PenPixel> pending;
  pending.reserve(static_cast<size_t>(canvas.Width) * static_cast<size_t>(canvas.Height));
  const auto visit = [&](int32_t x, int32_t y) {
    if (!canvas.Inside(x, y) || canvas.At(x, y) != area) return;
    canvas.At(x, y) = index;
    pending.push_back({x, y});
  };
  visit(start.X, start.Y);
  while (!pending.empty()) {
    const PenPixel at = pending.back();
    pending.pop_back();
    visit(at.X - 1, at.Y);
    visit(at.X + 1, at.Y);
    visit(at.X, at.Y - 1);
    visit(at.X, at.Y + 1);
  }
}

void DrawShape(PixelCanvas canvas, DrawingTool tool, PenPixel from, PenPixel to, uint8_t index) {
  switch (tool) {
    case DrawingTool::Line:
      DrawLine(canvas, from, to, index);
      break;
    case DrawingTool::Rectangle:
    case DrawingTool::FilledRectangle:
      DrawRectangle(canvas, from, to, index, tool == DrawingTool::FilledRectangle);
      break;
    case DrawingTool::Fill:
      FloodFill(canvas, from, index);
      break;
    case DrawingTool::Pen:
    case DrawingTool::ColorPicker:
      break;
  }
}

}  // namespace varnock
