// What the headers of a BMP file say about its pixel rows, read before any pixel is decoded,
// so that a file too short for the rows it declares is refused before memory is given to it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace varnock {

// The first bytes a layout needs: file header, the largest information header, bit masks.
inline constexpr size_t kBitmapHeadBytes = 14 + 124 + 12;

struct BitmapLayout {
  // The rows are stored uncompressed from a known place, so where they end is known. False
  // for run-length data, whose length only decoding tells, and for headers a reader might take
  // apart differently (unusual header sizes, a pixel offset pointing into the headers).
  bool RowsKnown = false;
  // Where the last row ends, from the start of the file, when RowsKnown.
  uint64_t PixelEnd = 0;
};

// The layout of the BMP file that starts with `head` (at most kBitmapHeadBytes are looked at);
// nullopt when it does not start with "BM". Headers cut short leave RowsKnown false.
//
//   0 "BM"   10 pixel offset (32 bits)   14 information header size: 12 (old style) or 40, 64,
//   108, 124. Old style: 18 width, 20 height (16 bits each), 22 planes, 24 bits per pixel.
//   Otherwise: 18 width, 22 height (32 bits, negative for top-down rows), 26 planes, 28 bits,
//   30 compression (0 none, 1 and 2 run-length, 3 bit masks, which follow a 40-byte header),
//   46 colours used (0: all 2^bits for 1..8 bits). Colour entries are 3 bytes old style, else
//   4. Each row holds width x bits, rounded up to whole 32-bit words.
std::optional<BitmapLayout> ReadBitmapLayout(std::span<const uint8_t> head);

}  // namespace varnock
