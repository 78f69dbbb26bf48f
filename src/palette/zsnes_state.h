// Palettes inside ZSNES save states: 256 little-endian fifteen-bit words at a fixed offset.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"

namespace varnock {

inline constexpr int32_t kZsnesPaletteOffset = 52243;  // 0xCC13
inline constexpr int32_t kZsnesPaletteEntries = 256;

// Reads entries 0..255 as format 2 with PaletteSize 256. A state that ends before the last
// word is refused with TooShort rather than read past its end.
PaletteReadResult ParseZsnesState(std::span<const uint8_t> bytes);

PaletteReadResult LoadZsnesState(const std::string& path);

}  // namespace varnock
