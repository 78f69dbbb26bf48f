// The GBA/DS LZ77 streams: type 0x10 (the BIOS's) and type 0x11 (three reference sizes).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "compression/compression.h"

namespace varnock::gba {

DecompressResult DecompressLz10(std::span<const uint8_t> input, size_t maxOutput);
DecompressResult DecompressLz11(std::span<const uint8_t> input, size_t maxOutput);

// `data` is at most kMaxStreamLength bytes. The optimal parse unless `greedy`.
std::vector<uint8_t> CompressLz10(std::span<const uint8_t> data, bool greedy);
std::vector<uint8_t> CompressLz11(std::span<const uint8_t> data, bool greedy);

}  // namespace varnock::gba
