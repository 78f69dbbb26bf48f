// A rectangle of 8-bit palette indices, row by row, that the drawing tools and the transforms
// draw into: the tile editor's one tile, or the block editor's many tiles side by side.
#pragma once

#include <cstdint>
#include <span>

namespace varnock {

struct PixelCanvas {
  std::span<uint8_t> Pixels;  // Width x Height, top row first
  int32_t Width = 0;
  int32_t Height = 0;

  bool Inside(int32_t x, int32_t y) const { return x >= 0 && x < Width && y >= 0 && y < Height; }
  uint8_t& At(int32_t x, int32_t y) const {
    return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
  }
};

// A canvas over `pixels` when it holds `width` x `height` of them; an empty one otherwise, so
// nothing is ever drawn outside the span.
inline PixelCanvas MakeCanvas(std::span<uint8_t> pixels, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 ||
      pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
    return {};
  return {pixels.first(static_cast<size_t>(width) * static_cast<size_t>(height)), width, height};
}

}  // namespace varnock
