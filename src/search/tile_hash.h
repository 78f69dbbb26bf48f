// Hashes of a decoded tile (64 pixel bytes, row by row) for the search's tables.
#pragma once

#include <cstdint>
#include <cstring>

namespace varnock {

inline uint64_t MixHash(uint64_t h) {
  h ^= h >> 31;
  h *= 0x9E3779B97F4A7C15u;
  return h ^ (h >> 29);
}

// Of the values themselves.
inline uint64_t TileContentHash(const uint8_t* pixels) {
  uint64_t h = 0x243F6A8885A308D3u;
  for (int r = 0; r < 8; ++r) {
    uint64_t row;
    std::memcpy(&row, pixels + 8 * r, sizeof row);
    h = (h ^ row) * 0xD6E8FEB86659FD93u;
    h ^= h >> 32;
  }
  return MixHash(h);
}

// 0x80 in each byte of `x` that is zero, 0 in the others (exact per byte: no borrow crosses).
inline uint64_t ZeroByteFlags(uint64_t x) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// Of which neighbouring pixels are equal, to the right and below: the same for every palette
// a tile is drawn in, so a cheap first test for palette-free matches. Row r's flags, at bits
// 8k + 7, are shifted down by r so that the eight rows fill one word each way.
inline uint64_t TileShapeHash(const uint8_t* pixels) {
  uint64_t rows[8];
  std::memcpy(rows, pixels, sizeof rows);
  uint64_t across = 0;
  uint64_t down = 0;
  for (int r = 0; r < 8; ++r) {
    // Byte 7 of the shifted row compares the last pixel with nothing: masked off.
    across |= (ZeroByteFlags(rows[r] ^ (rows[r] >> 8)) & 0x0080808080808080u) >> r;
    if (r < 7) down |= ZeroByteFlags(rows[r] ^ rows[r + 1]) >> r;
  }
  return MixHash(across * 0xC2B2AE3D27D4EB4Fu ^ down);
}

}  // namespace varnock
