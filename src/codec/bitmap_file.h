// 8-bit uncompressed bitmap files holding a block of a tile surface.
#pragma once

#include <cstdint>
#include <vector>

#include "codec/tile_surface.h"

namespace varnock {

// File header (14) + information header (40) + 256 colour entries (1024): where pixels start.
inline constexpr int32_t kBitmapPixelOffset = 1078;

// A rectangle of surface pixels.
struct PixelBlock {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};

// Writes the `block.Width` indices of block row `row` (0 = top) to `out`. Pixels of the block
// that lie outside the surface come out as index 0.
void CopyBlockRow(const TileSurface& surface, const PixelBlock& block, int32_t row, uint8_t* out);

// The whole bitmap file for `block` of `surface`:
//
//   0  "BM"         2  file size    6  0, 0        10  1078 (pixel offset)
//   14 40 (header)  18 width        22 height (positive: rows stored bottom-up)
//   26 1 plane      28 8 bits       30..53 compression, sizes, resolutions, colour counts: 0
//   54 256 x (blue, green, red, 0): entries 0..colorCount-1 from the surface, the rest black
//   1078 the pixel rows, the block's bottom row first, each padded to four bytes
//
// Tile blocks are multiples of 8 pixels wide, so their rows need no padding.
// `colorCount` is 16 for tiles of up to 4 bits (a sub-palette at most), 256 for 8-bit tiles.
constexpr int32_t PictureColorCount(int32_t bitsPerPixel) {
  return bitsPerPixel > 4 ? 256 : 16;
}
std::vector<uint8_t> EncodeBitmapFile(const TileSurface& surface, const PixelBlock& block,
                                      int32_t colorCount = 16);

}  // namespace varnock
