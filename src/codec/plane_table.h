// Bit-plane expansion table shared by the planar decoders.
#pragma once

#include <array>
#include <cstdint>

namespace varnock {

// PlaneTable[p][v][x] = (bit (7 - x) of v) << p: the eight pixel contributions of plane
// byte v to plane p, leftmost pixel first, so a planar row is a few ORs of 8-byte rows.
using PlaneTableArray = std::array<std::array<std::array<uint8_t, 8>, 256>, 4>;

constexpr PlaneTableArray BuildPlaneTable() {
  PlaneTableArray table{};
  for (int p = 0; p < 4; ++p)
    for (int v = 0; v < 256; ++v)
      for (int x = 0; x < 8; ++x) table[p][v][x] = static_cast<uint8_t>(((v >> (7 - x)) & 1) << p);
  return table;
}

inline constexpr PlaneTableArray PlaneTable = BuildPlaneTable();

}  // namespace varnock
