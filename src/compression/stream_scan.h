// Finding compressed streams in an image: every offset is tried for every chosen format, and
// a stream counts only when it decodes completely and gives enough bytes to be graphics.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "compression/compression.h"

namespace varnock {

// Fewer bytes than two 4-bit tiles are too little to be worth a window.
inline constexpr size_t kMinimumScanOutput = 64;

struct StreamFind {
  size_t Offset = 0;
  CompressionFormat Format = CompressionFormat::Lz10;
  size_t CompressedLength = 0;
  size_t DecompressedLength = 0;
  int Variant = 0;
};

// Called now and then with the bytes scanned so far and the total; returning false stops the
// scan, which then returns what it found up to there.
using ScanProgress = std::function<bool(size_t done, size_t total)>;

// Streams of `formats` in `image`, in offset order. After a find, the offsets inside that
// stream are not tried again: its bytes are taken.
std::vector<StreamFind> ScanForStreams(std::span<const uint8_t> image,
                                       std::span<const CompressionFormat> formats,
                                       const ScanProgress& progress = {});

}  // namespace varnock
