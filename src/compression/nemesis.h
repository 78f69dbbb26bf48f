// Sega's Nemesis tile compression: a 16-bit header (bit 15 = XOR mode, the low bits the number
// of 32-byte tiles), a table of prefix codes for runs of one 4-bit pixel value, and the
// bitstream of those codes with an inline escape for runs that have no code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "compression/compression.h"

namespace varnock {

// The game's routine keeps the row count in 16 bits: a header of 0 or of 0x2000 tiles or more
// would decode to another number of tiles than it declares.
inline constexpr size_t kNemesisMaxTiles = 0x1FFF;
inline constexpr size_t kNemesisTileBytes = 32;

// Consumed ends at the byte that holds the last bit of the last code read (the code that
// completes the last row); the bits after it in that byte are padding. The game's reader
// fetches up to two bytes further ahead, but never uses them.
DecompressResult DecompressNemesis(std::span<const uint8_t> input, size_t maxOutput);

// A shortest stream the encoder finds for `data`, trying both the plain and the XOR mode.
// Empty when `data` is not a whole number of tiles, is empty, or holds more than
// kNemesisMaxTiles tiles: the header cannot declare it so that the game decodes it.
std::optional<std::vector<uint8_t>> CompressNemesis(std::span<const uint8_t> data);

// False when no stream a compressor writes can start here: see the rules in the source.
// The tiles the header's low 15 bits count, in bytes.
std::optional<size_t> DeclaredNemesisLength(std::span<const uint8_t> input);
bool MayStartNemesisStream(std::span<const uint8_t> input);

}  // namespace varnock
