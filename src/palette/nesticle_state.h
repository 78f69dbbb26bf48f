// Palettes and pattern memory inside NESticle save states.
//
// Layout (NESticle source, ROM.CPP: class nesstate, written whole by m_savestate; PPU.H):
//   0x0000  battery RAM, 8 KB         0x2000  low RAM, 2 KB
//   0x2800  CPU registers, 7 bytes    0x2807  sprite memory, 64 x 4 bytes
//   0x2907  the two pattern tables, 2 x 256 tiles of 16 bytes (NES 2 bits per pixel)
//   0x4907  four name and attribute tables of 1 KB each
//   0x5907  background and sprite palettes: 32 NES master-colour indices
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"
#include "palette/video_memory.h"

namespace varnock {

inline constexpr int32_t kNesticlePaletteOffset = 22791;  // 0x5907
inline constexpr int32_t kNesticlePaletteEntries = 32;

// Reads entries 0..31 as format 1 with PaletteSize 32. A state that ends before the last
// index is refused with TooShort rather than read past its end.
PaletteReadResult ParseNesticleState(std::span<const uint8_t> bytes);

PaletteReadResult LoadNesticleState(const std::string& path);

inline constexpr size_t kNesticlePatternOffset = 0x2907;
inline constexpr size_t kNesticlePatternBytes = 0x2000;

// The pattern tables; a state that ends before they do is refused with TooShort.
VideoMemoryRead ParseNesticleVideoMemory(std::span<const uint8_t> bytes);

}  // namespace varnock
