// Palettes inside NESticle save states: 32 NES master-colour indices at a fixed offset.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"

namespace varnock {

inline constexpr int32_t kNesticlePaletteOffset = 22791;  // 0x5907
inline constexpr int32_t kNesticlePaletteEntries = 32;

// Reads entries 0..31 as format 1 with PaletteSize 32. A state that ends before the last
// index is refused with TooShort rather than read past its end.
PaletteReadResult ParseNesticleState(std::span<const uint8_t> bytes);

PaletteReadResult LoadNesticleState(const std::string& path);

}  // namespace varnock
