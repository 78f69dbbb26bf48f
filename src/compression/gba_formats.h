// GBA/DS system compression formats (LZ77 10 and 11, RLE 30, Huffman) behind Decompress and
// Compress.
#pragma once

#include "compression/compression.h"

namespace varnock {

DecompressResult DecompressGbaFormat(CompressionFormat format, std::span<const uint8_t> input,
                                     size_t maxOutput);
std::optional<std::vector<uint8_t>> CompressGbaFormat(CompressionFormat format,
                                                      std::span<const uint8_t> data, int variant);

// The length bytes 1-3 of the header declare.
std::optional<size_t> DeclaredGbaLength(std::span<const uint8_t> input);
bool MayStartGbaStream(CompressionFormat format, std::span<const uint8_t> input);

// The stream a greedy parse gives (the longest match or run at every step), which the
// compressor's shortest stream is measured against; LZ77 and RLE only.
std::optional<std::vector<uint8_t>> CompressGbaFormatGreedy(CompressionFormat format,
                                                            std::span<const uint8_t> data);

}  // namespace varnock
