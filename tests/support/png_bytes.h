// PNG files built byte by byte from the format's layout (signature, IHDR, PLTE, tRNS, one IDAT
// of unfiltered rows, IEND), so tests and seeds can hold what no encoder writes: indices past
// the colour table, fewer rows than the header declares, a damaged checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnock::test {

struct PngPicture {
  uint32_t Width = 8;
  uint32_t Height = 8;            // the rows Samples holds
  uint32_t DeclaredHeight = 0;    // what IHDR says, when not 0
  int BitDepth = 8;               // 1, 2, 4, 8 or 16 as the colour type allows
  int ColourType = 3;             // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
  bool Interlaced = false;        // Adam7: the seven passes' rows one after another
  std::vector<uint8_t> Palette;   // PLTE: red, green, blue of each entry; no chunk when empty
  std::vector<uint8_t> Alpha;     // tRNS; no chunk when empty
  std::vector<uint32_t> Samples;  // every channel of every pixel, row by row
};

std::vector<uint8_t> EncodePng(const PngPicture& picture);

// Sets `bits` bits of sample `index` in a row of MSB-first packed samples that starts at
// `first`; 16-bit samples are big-endian.
void PutPackedSample(std::vector<uint8_t>& row, size_t first, size_t index, int bits,
                     uint32_t value);

// Channels per pixel of a colour type.
int PngChannels(int colourType);

}  // namespace varnock::test
