// The GBA/DS BIOS Huffman stream: types 0x24 (4-bit symbols) and 0x28 (8-bit symbols).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "compression/compression.h"

namespace varnock::gba {

// Variant of the result: the symbol size, 4 or 8.
DecompressResult DecompressHuffman(std::span<const uint8_t> input, size_t maxOutput);

// `data` is at most kMaxStreamLength bytes; `symbolBits` is 4 or 8.
std::vector<uint8_t> CompressHuffman(std::span<const uint8_t> data, int symbolBits);

// Whether the code table at the start of `input` is one a compressor writes: a tree that holds
// each node once, each symbol once and no node it does not use. The BIOS decodes more than
// that; a scan wants less.
bool HuffmanTableLooksWritten(std::span<const uint8_t> input);

}  // namespace varnock::gba
