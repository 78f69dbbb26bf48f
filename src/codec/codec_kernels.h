// The kernel table behind DecodeTiles, EncodeTiles and ComposeSurface, one per CodecPath.
#pragma once

#include <array>
#include <cstdint>

#include "codec/tile_format.h"

namespace varnock {

// A run kernel converts up to `count` whole tiles of one tile row, stored one after another in
// the bytes, and returns how many it did (vector kernels work in groups and leave the rest to
// the table kernel). `stride` is the bitmap width; cells[0] is the top-left pixel of the first.
using DecodeRunKernel = int64_t (*)(const uint8_t* bytes, uint8_t* cells, int64_t stride,
                                    int64_t count);
using EncodeRunKernel = int64_t (*)(const uint8_t* cells, int64_t stride, uint8_t* bytes,
                                    int64_t count);

// Widens `count` indices into `count` x `zoom` screen pixels at `out` through `screen`.
using WidenRowKernel = void (*)(const uint8_t* indices, int32_t count, const uint32_t* screen,
                                int32_t zoom, uint32_t* out);
// The portable widening, also used by the vector kernels for what they leave.
void WidenRowTable(const uint8_t* indices, int32_t count, const uint32_t* screen, int32_t zoom,
                   uint32_t* out);

struct CodecKernels {
  std::array<DecodeRunKernel, kFixedTileFormatCount> Decode{};
  std::array<EncodeRunKernel, kFixedTileFormatCount> Encode{};
  WidenRowKernel WidenRow = nullptr;
};

// The kernels of the active path (chosen on first use).
const CodecKernels& ActiveCodecKernels();

// Each path's table; null where the build has no such path.
const CodecKernels& TableCodecKernels();
const CodecKernels* Avx2CodecKernels();
const CodecKernels* GfniCodecKernels();

}  // namespace varnock
