#include "tools/tile_drawing.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace varnock {
namespace {

constexpr int32_t kSide = 8;

bool Inside(int32_t x, int32_t y) {
  return x >= 0 && x < kSide && y >= 0 && y < kSide;
}

void Put(TilePixels pixels, int32_t x, int32_t y, uint8_t index) {
  if (Inside(x, y)) pixels[static_cast<size_t>(y * kSide + x)] = index;
}

int32_t Sign(int32_t value) {
  return (value > 0) - (value < 0);
}

PenPixel Clamped(PenPixel pixel) {
  return {std::clamp(pixel.X, 0, kSide - 1), std::clamp(pixel.Y, 0, kSide - 1)};
}

}  // namespace

void DrawLine(TilePixels pixels, PenPixel from, PenPixel to, uint8_t index) {
  from = Clamped(from);
  to = Clamped(to);
  const int32_t dx = to.X - from.X;
  const int32_t dy = to.Y - from.Y;
  const int32_t major = std::max(std::abs(dx), std::abs(dy));
  if (major == 0) {
    Put(pixels, from.X, from.Y, index);
    return;
  }
  const bool alongX = std::abs(dx) >= std::abs(dy);
  const int32_t minor = alongX ? std::abs(dy) : std::abs(dx);
  for (int32_t step = 0; step <= major; ++step) {
    // step x minor / major to the nearest whole pixel, halves away from the start.
    const int32_t across = (2 * step * minor + major) / (2 * major);
    const int32_t x = from.X + (alongX ? step * Sign(dx) : across * Sign(dx));
    const int32_t y = from.Y + (alongX ? across * Sign(dy) : step * Sign(dy));
    Put(pixels, x, y, index);
  }
}

void DrawRectangle(TilePixels pixels, PenPixel corner, PenPixel opposite, uint8_t index,
                   bool filled) {
  const int32_t left = std::min(corner.X, opposite.X);
  const int32_t right = std::max(corner.X, opposite.X);
  const int32_t top = std::min(corner.Y, opposite.Y);
  const int32_t bottom = std::max(corner.Y, opposite.Y);
  for (int32_t y = std::max(top, 0); y <= std::min(bottom, kSide - 1); ++y)
    for (int32_t x = std::max(left, 0); x <= std::min(right, kSide - 1); ++x)
      if (filled || y == top || y == bottom || x == left || x == right) Put(pixels, x, y, index);
}

void FloodFill(TilePixels pixels, PenPixel start, uint8_t index) {
  if (!Inside(start.X, start.Y)) return;
  const uint8_t area = pixels[static_cast<size_t>(start.Y * kSide + start.X)];
  if (area == index) return;
  // Every pixel enters the stack at most once: it takes the new index as it is pushed.
  std::array<PenPixel, kSide * kSide> pending{};
  size_t count = 0;
  const auto visit = [&](int32_t x, int32_t y) {
    if (!Inside(x, y) || pixels[static_cast<size_t>(y * kSide + x)] != area) return;
    pixels[static_cast<size_t>(y * kSide + x)] = index;
    pending[count++] = {x, y};
  };
  visit(start.X, start.Y);
  while (count > 0) {
    const PenPixel at = pending[--count];
    visit(at.X - 1, at.Y);
    visit(at.X + 1, at.Y);
    visit(at.X, at.Y - 1);
    visit(at.X, at.Y + 1);
  }
}

void DrawShape(TilePixels pixels, DrawingTool tool, PenPixel from, PenPixel to, uint8_t index) {
  switch (tool) {
    case DrawingTool::Line:
      DrawLine(pixels, from, to, index);
      break;
    case DrawingTool::Rectangle:
    case DrawingTool::FilledRectangle:
      DrawRectangle(pixels, from, to, index, tool == DrawingTool::FilledRectangle);
      break;
    case DrawingTool::Fill:
      FloodFill(pixels, from, index);
      break;
    case DrawingTool::Pen:
    case DrawingTool::ColorPicker:
      break;
  }
}

}  // namespace varnock
