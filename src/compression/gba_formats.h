// Gba compression formats behind Decompress and Compress.
#pragma once

#include "compression/compression.h"

namespace varnock {

DecompressResult DecompressGbaFormat(CompressionFormat format, std::span<const uint8_t> input,
                                     size_t maxOutput);
std::optional<std::vector<uint8_t>> CompressGbaFormat(CompressionFormat format,
                                                      std::span<const uint8_t> data, int variant);

}  // namespace varnock
