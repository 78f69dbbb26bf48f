// Palettes inside FCEUX save states (".fc0"-".fc9"): the 32 bytes of palette RAM.
//
// Layout (fceux src/state.cpp, FCEUSS_SaveMS and WriteStateChunk; src/ppu.cpp,
// FCEUPPU_STATEINFO), all numbers little-endian:
//   0   "FCSX"
//   4   size of the unpacked body
//   8   emulator version
//   12  size of the zlib stream that follows, or 0xFFFFFFFF when the body is stored as it is
//   16  the body: sections of a type byte and a 32-bit size, each holding chunks of a 4-letter
//       name, a 32-bit size and the data. Section 3 holds chunk "PRAM": 32 NES colour indices.
//       Section 0x10 (the cartridge's, SFMDATA) holds chunk "CHRR", the character RAM, when the
//       game has some (src/ines.cpp and src/unif.cpp: AddExState(..., CHRRAMSize, 0, "CHRR")).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"
#include "palette/video_memory.h"

namespace varnock {

inline constexpr int32_t kFceuxPaletteEntries = 32;

bool LooksLikeFceuxState(std::span<const uint8_t> bytes);

// Reads "PRAM" as NES entries 0..31 with PaletteSize 32. Refuses a state without the signature,
// with a damaged stream or one that unpacks to another size than the header says, or without
// a 32-byte "PRAM" chunk in its picture-processor section.
PaletteReadResult ParseFceuxState(std::span<const uint8_t> bytes);

PaletteReadResult LoadFceuxState(const std::string& path);

// The character RAM as the pattern memory. A state without it (the game's tiles are in its
// character ROM) is refused with NoPatternMemory; otherwise refused as the palette reader is.
VideoMemoryRead ParseFceuxVideoMemory(std::span<const uint8_t> bytes);

}  // namespace varnock
