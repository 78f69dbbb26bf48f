#include "codec/bitmap_file.h"

#include <algorithm>
#include <cstring>

#include "codec/surface_bounds.h"

namespace varnock {
namespace {

constexpr int kColorEntries = 256;

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

void CopyBlockRow(const TileSurface& surface, const PixelBlock& block, int32_t row, uint8_t* out) {
  if (block.Width <= 0) return;
  std::memset(out, 0, static_cast<size_t>(block.Width));
  const SurfaceBounds bounds = BoundsOf(surface);
  const int64_t y = int64_t{block.Y} + row;
  if (bounds.Empty() || y < 0 || y >= bounds.Height) return;
  const int64_t first = std::max<int64_t>(block.X, 0);
  const int64_t end = std::min<int64_t>(int64_t{block.X} + block.Width, bounds.Width);
  if (first >= end) return;
  std::memcpy(out + (first - block.X), surface.Pixels.data() + y * bounds.Width + first,
              static_cast<size_t>(end - first));
}

std::vector<uint8_t> EncodeBitmapFile(const TileSurface& surface, const PixelBlock& block,
                                      int32_t colorCount) {
  const int32_t width = std::max(block.Width, 0);
  const int32_t height = std::max(block.Height, 0);
  const size_t rowBytes = (static_cast<size_t>(width) + 3) & ~size_t{3};
  const size_t pixelBytes = rowBytes * static_cast<size_t>(height);
  std::vector<uint8_t> file(kBitmapPixelOffset + pixelBytes, 0);
  uint8_t* header = file.data();
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, static_cast<uint32_t>(file.size()));
  Put32(header + 10, kBitmapPixelOffset);
  Put32(header + 14, 40);
  Put32(header + 18, static_cast<uint32_t>(width));
  Put32(header + 22, static_cast<uint32_t>(height));
  Put16(header + 26, 1);
  Put16(header + 28, 8);
  uint8_t* table = header + 54;
  const int32_t colors = std::clamp(colorCount, 0, kColorEntries);
  for (int i = 0; i < colors; ++i) {
    const SurfaceColor& c = surface.Colors[static_cast<size_t>(i)];
    table[4 * i] = c.blue;
    table[4 * i + 1] = c.green;
    table[4 * i + 2] = c.red;
  }
  static_assert(kBitmapPixelOffset == 54 + 4 * kColorEntries);
  uint8_t* pixels = file.data() + kBitmapPixelOffset;
  for (int32_t row = height - 1; row >= 0; --row, pixels += rowBytes)
    CopyBlockRow(surface, block, row, pixels);
  return file;
}

}  // namespace varnock
