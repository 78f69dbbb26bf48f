// Palettes inside Snes9x save states (".000"-".009", ".frz"): the 256 CGRAM colours.
//
// Layout (snes9x snapshot.cpp, S9xFreezeToStream and FreezeStruct; ppu.h, struct SPPU):
//   the file is usually one gzip stream; inside it
//   "#!s9xsnp:VVVV\n"            signature and four-digit decimal version
//   blocks, one after another:   "NAM:nnnnnn:" then nnnnnn bytes (3-letter name, decimal
//                                length; "NAM:------:" with the length as a big-endian
//                                32-bit number in bytes 6..9 when it needs more digits)
//   the "PPU" block holds SPPU's fields in order, each integer big-endian:
//     VMA 10 bytes, WRAM 4, BG[4] 11 each, BGMode, BG3Priority, CGFLIP, CGFLIPRead, CGADD
//     (63 bytes), then CGSavedByte from version 11 on, then CGDATA: 256 words 0bbbbbgggggrrrrr
//   the "VRA" block is VRAM, 64 KB in the console's own byte order, in every version
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"
#include "palette/video_memory.h"

namespace varnock {

// Versions whose PPU block layout is known: CGDATA is present from 6, one byte later from 11.
inline constexpr int kSnes9xFirstVersion = 6;
inline constexpr int kSnes9xLastVersion = 12;

// True when `bytes` begin like a Snes9x state: its signature, or a gzip stream.
bool LooksLikeSnes9xState(std::span<const uint8_t> bytes);

// Reads CGDATA as fifteen-bit entries 0..255 with PaletteSize 256. Refuses a state without the
// signature (WrongSignature), of another version (UnknownVersion), with a damaged or truncated
// stream, or whose blocks end before CGDATA does.
PaletteReadResult ParseSnes9xState(std::span<const uint8_t> bytes);

PaletteReadResult LoadSnes9xState(const std::string& path);

inline constexpr size_t kSnes9xVideoMemoryBytes = 0x10000;

// VRAM from the "VRA" block; refused as the palette reader refuses (without its version limit,
// since the block never changed), and when the block is shorter than 64 KB.
VideoMemoryRead ParseSnes9xVideoMemory(std::span<const uint8_t> bytes);

}  // namespace varnock
