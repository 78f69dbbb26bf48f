// Putting edited graphics back where their compressed stream came from. A stream's place in
// the image is the bytes it took when it was read; whatever follows belongs to something else,
// so a recompressed stream that needs more is refused instead of written over its neighbour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "compression/compression.h"

namespace varnock {

struct StreamPlaceResult {
  bool Ok = false;
  std::vector<uint8_t> Compressed;  // the new stream: at most the place's length
  std::string Reason;               // why nothing may be written, in whole sentences
};

// Compresses `decompressed` in `format`, keeping `variant` (DecompressResult::Variant), for the
// place of `placeLength` bytes at `offset`. Refused, with the reason the user reads: a stream
// longer than the place ("The graphics take 1234 bytes compressed and only 1200 are free at
// 0x1C40. Nothing was written."), and graphics the format cannot hold at all ("The graphics
// cannot be compressed as LZ77 10. Nothing was written.").
StreamPlaceResult CompressForPlace(CompressionFormat format, std::span<const uint8_t> decompressed,
                                   int variant, size_t placeLength, int64_t offset);

}  // namespace varnock
