// Palettes and video memory inside ZSNES save states.
//
// The palette: 256 little-endian fifteen-bit words at a fixed offset. VRAM (zsnes
// src/cpu/zstate.c, statesaver: what it writes in order): the 64 bytes from the signature
// "ZSNES Save State File V0.6" 0x1A to curnmi, then cycpbl (8 bytes), the PPU registers (3019),
// work RAM (128 KB) from 0xC13, and VRAM (64 KB) from 0x20C13.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"
#include "palette/video_memory.h"

namespace varnock {

inline constexpr int32_t kZsnesPaletteOffset = 52243;  // 0xCC13
inline constexpr int32_t kZsnesPaletteEntries = 256;

// Reads entries 0..255 as format 2 with PaletteSize 256. A state that ends before the last
// word is refused with TooShort rather than read past its end.
PaletteReadResult ParseZsnesState(std::span<const uint8_t> bytes);

PaletteReadResult LoadZsnesState(const std::string& path);

inline constexpr size_t kZsnesVideoMemoryOffset = 0x20C13;
inline constexpr size_t kZsnesVideoMemoryBytes = 0x10000;

// VRAM; refuses a file without the signature and one that ends before VRAM does.
VideoMemoryRead ParseZsnesVideoMemory(std::span<const uint8_t> bytes);

}  // namespace varnock
