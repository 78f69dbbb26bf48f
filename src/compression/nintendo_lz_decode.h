// Decoding the Nintendo formats' command streams, and the scan's stricter look at them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "compression/compression.h"
#include "compression/nintendo_lz_layout.h"

namespace varnock {

// Decodes the stream at the start of `input` as the game's routine would, refusing what would
// make it read past `input`, read output not written yet, or write more than `maxOutput` (or
// the 64 KiB a 16-bit index reaches).
DecompressResult DecodeNintendoStream(const NintendoLayout& layout, std::span<const uint8_t> input,
                                      size_t maxOutput);

// The first `count` bytes the stream at the start of `input` decodes to (all of them when it
// gives fewer), or nothing when it does not decode that far.
std::vector<uint8_t> DecodeNintendoFront(const NintendoLayout& layout,
                                         std::span<const uint8_t> input, size_t count);

// The input bytes of the stream at the start of `input` when it decodes to at most
// `maxOutput` bytes under the plausibility rules below, else 0.
size_t PlausibleNintendoStreamLength(const NintendoLayout& layout, std::span<const uint8_t> input,
                                     size_t maxOutput);

// True when the stream at the start of `input` decodes to at most `maxOutput` bytes and looks
// like a compressor's graphics: no command a compressor would have merged into its neighbour
// or written shorter, whole 8-byte units, a copy from close behind. See the rules in the
// source; a scan uses this before it decodes.
bool IsPlausibleNintendoStream(const NintendoLayout& layout, std::span<const uint8_t> input,
                               size_t maxOutput);

}  // namespace varnock
