// Compressing into the Nintendo formats: a shortest-path parse over the exact byte cost of
// every command the format has, and the greedy parse it is measured against.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "compression/nintendo_lz_layout.h"

namespace varnock {

// The shortest stream the parse finds for `data`, end marker included; empty when `data` is
// larger than the 64 KiB the format's 16-bit offsets address.
std::optional<std::vector<uint8_t>> CompressNintendoStream(const NintendoLayout& layout,
                                                           std::span<const uint8_t> data);

// The same commands chosen greedily: at each byte the command that covers the most, if it is
// shorter than the bytes it covers, else a literal byte.
std::optional<std::vector<uint8_t>> CompressNintendoStreamGreedy(const NintendoLayout& layout,
                                                                 std::span<const uint8_t> data);

}  // namespace varnock
