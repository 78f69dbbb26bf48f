// Small picture files built byte by byte from their layouts, for import tests and fuzz seeds.
#pragma once

#include <cstdint>
#include <vector>

namespace varnock::test {

struct BitmapSpec {
  int Bits = 8;  // 1, 4, 8, 16, 24 or 32
  int Width = 8;
  int Height = 8;          // negative: rows stored top-down
  bool RunLength = false;  // 8 bits only: every pixel a run of one, rows ended, bitmap ended
};

// A BMP file: 14-byte file header, 40-byte information header, a full colour table for 1..8
// bits, then the rows (bottom-up unless Height < 0) padded to 32-bit words. Pixel (x, y)
// holds (x + 3y) mod 2^bits for indexed pictures, red 8x, green 8y, blue 8(x+y) for others.
std::vector<uint8_t> MakeBitmap(const BitmapSpec& spec);

// A PNG file of `colourType` 0 (grey), 2 (RGB), 3 (palette), 4 (grey + alpha) or 6 (RGBA) at
// `bitDepth` (1, 2, 4, 8 or 16 as the type allows), unfiltered rows in one zlib stream; palette
// pictures have a full PLTE and a tRNS chunk.
std::vector<uint8_t> MakePng(int colourType, int bitDepth, int width, int height);

}  // namespace varnock::test
