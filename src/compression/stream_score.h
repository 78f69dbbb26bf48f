// How much a scan find looks like a stream of graphics, from what it decodes to: a score the
// scan's list is sorted by and a threshold under which a find is not listed unless asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "compression/compression.h"

namespace varnock {

// Scores run from 0 (certainly not graphics) to 100.
inline constexpr int kLowestScore = 0;
inline constexpr int kHighestScore = 100;
// Finds scoring below this are hidden unless the user asks for every find.
inline constexpr int kDefaultScoreThreshold = 50;
// Finds decompressing to fewer bytes than this are hidden by default: eight 4-bit tiles.
inline constexpr size_t kDefaultMinimumStreamSize = 256;
// The tile size a score assumes when the caller names none: 4 bits per pixel, the commonest
// depth of the consoles with compressed graphics.
inline constexpr size_t kDefaultScanTileBytes = 32;

// The score of a stream of `format` that takes `compressedLength` bytes and decodes to
// `decompressed`, judged as tiles of `tileBytes` bytes: whole tiles, a ratio a compressor
// gives, enough bytes, and bytes that look like tiles rather than fill, noise, text or code.
int ScoreStream(CompressionFormat format, std::span<const uint8_t> decompressed,
                size_t compressedLength, size_t tileBytes = kDefaultScanTileBytes);

// True for the formats whose header declares the decompressed length, which a find has
// matched exactly: such finds are ranked above any headerless find of the same bytes.
bool HasLengthHeader(CompressionFormat format);

}  // namespace varnock
