// Sega compression formats (Nemesis, Kosinski) behind Decompress and Compress.
#pragma once

#include "compression/compression.h"

namespace varnock {

DecompressResult DecompressSegaFormat(CompressionFormat format, std::span<const uint8_t> input,
                                      size_t maxOutput);
std::optional<std::vector<uint8_t>> CompressSegaFormat(CompressionFormat format,
                                                       std::span<const uint8_t> data, int variant);

bool MayStartSegaStream(CompressionFormat format, std::span<const uint8_t> input);

}  // namespace varnock
