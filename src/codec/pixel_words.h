// Eight pixels of a tile row as one 64-bit word, and the bit-plane gather over such a word:
// shared by the fixed codecs and the described ones.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace varnock {

// Eight pixels as one word with pixel x in bits 8x..8x+7 whatever the machine's byte order.
inline uint64_t LoadPixels(const uint8_t* pixels) {
  uint64_t word;
  std::memcpy(&word, pixels, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

// Bit n of each of the eight pixels gathered into one byte, pixel 0 in bit 7. After masking, pixel
// x's bit sits at 8x; the multiplier's byte i (value 2^i) moves it to 8x + 9i, and only the terms
// with x + i = 7 reach the top byte, at bit 63 - x. No two terms share a bit, so nothing carries.
inline uint8_t PackPlaneWord(uint64_t pixels, int n) {
  return static_cast<uint8_t>((((pixels >> n) & 0x0101010101010101u) * 0x8040201008040201u) >> 56);
}

}  // namespace varnock
