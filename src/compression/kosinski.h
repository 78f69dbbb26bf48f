// Sega's Kosinski compression: LZ77 with an 8 KiB window, steered by 16-bit descriptor words
// read a bit at a time, and an end marker instead of a length header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "compression/compression.h"

namespace varnock {

// Consumed ends at the last byte of the end marker. Some games pad their streams to a multiple
// of 16 bytes after it; the game's routine never reads that padding, so it is not counted.
DecompressResult DecompressKosinski(std::span<const uint8_t> input, size_t maxOutput);

// The shortest stream for `data`: a shortest path over (position, bits used in the current
// descriptor word) with the exact byte cost of each token. Inputs over 1 MiB are parsed in
// 1 MiB pieces (still one stream, copies reach across), each piece exactly.
std::vector<uint8_t> CompressKosinski(std::span<const uint8_t> data);

// False when no stream a compressor writes can start here: see the rules in the source.
bool MayStartKosinskiStream(std::span<const uint8_t> input);

}  // namespace varnock
