// Nintendo SNES and Game Boy compression formats (LC_LZ2, LC_LZ1, LC_LZ5, LZ3, HAL) behind
// Decompress and Compress.
#pragma once

#include "compression/compression.h"

namespace varnock {

DecompressResult DecompressNintendoFormat(CompressionFormat format, std::span<const uint8_t> input,
                                          size_t maxOutput);
std::optional<std::vector<uint8_t>> CompressNintendoFormat(CompressionFormat format,
                                                           std::span<const uint8_t> data,
                                                           int variant);
bool MayStartNintendoStream(CompressionFormat format, std::span<const uint8_t> input);

}  // namespace varnock
