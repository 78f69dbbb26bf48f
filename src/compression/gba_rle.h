// The GBA/DS BIOS run-length stream, type 0x30.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "compression/compression.h"

namespace varnock::gba {

DecompressResult DecompressRle30(std::span<const uint8_t> input, size_t maxOutput);

// `data` is at most kMaxStreamLength bytes. The fewest bytes unless `greedy`.
std::vector<uint8_t> CompressRle30(std::span<const uint8_t> data, bool greedy);

// Whether the blocks of the stream at the start of `input` are ones a compressor writes (see
// the source for the rules); false as soon as one is not. Every byte sequence after a header
// decodes as run-length blocks, so the decode alone cannot tell a stream from noise.
bool Rle30StreamLooksWritten(std::span<const uint8_t> input);

}  // namespace varnock::gba
