// GBA/DS system compression formats (LZ77 10 and 11, RLE 30, Huffman) behind Decompress and
// Compress.
#pragma once

#include "compression/compression.h"

namespace varnock {

DecompressResult DecompressGbaFormat(CompressionFormat format, std::span<const uint8_t> input,
                                     size_t maxOutput);
std::optional<std::vector<uint8_t>> CompressGbaFormat(CompressionFormat format,
                                                      std::span<const uint8_t> data, int variant);

bool MayStartGbaStream(CompressionFormat format, std::span<const uint8_t> input);

}  // namespace varnock
