// Palettes inside Genesis save states of the Gens and Kega family (".gs0"-".gs9"), and the
// console's colour words.
//
// Layout (gens src/gens/util/file/gsx_struct.h, gsx_struct_md_t; save.cpp checks the magic):
//   0x000  'G' 'S' 'T' 0x40 0xE0
//   0x112  CRAM: 64 colour words, little-endian like every number in the file
//   0x12478 VRAM: 64 KB as big-endian words, the console's own byte order (the loader swaps
//          them to the host's: savestate.cpp, GsxImportGenesis, be16_to_cpu_array)
// A colour word is ----bbb-ggg-rrr-: three bits per channel.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"
#include "palette/video_memory.h"

namespace varnock {

inline constexpr size_t kGenesisCramOffset = 0x112;
inline constexpr int32_t kGenesisColors = 64;

// One colour word as RGB: each 3-bit channel v becomes v x 255 / 7, rounded, so 7 is full
// brightness and the steps are even.
PaletteEntry GenesisColor(uint16_t word);

bool LooksLikeGenesisState(std::span<const uint8_t> bytes);

// Reads CRAM as RGB entries 0..63 with PaletteSize 64. Refuses a file without the magic and a
// state that ends before CRAM does.
PaletteReadResult ParseGenesisState(std::span<const uint8_t> bytes);

PaletteReadResult LoadGenesisState(const std::string& path);

inline constexpr size_t kGenesisVideoMemoryOffset = 0x12478;
inline constexpr size_t kGenesisVideoMemoryBytes = 0x10000;

// VRAM; refuses a file without the magic and a state that ends before VRAM does.
VideoMemoryRead ParseGenesisVideoMemory(std::span<const uint8_t> bytes);

}  // namespace varnock
