// Raw dumps of a console's colour memory, as debuggers save them, told apart by their size:
//   32 bytes    NES palette RAM: one colour index per entry
//   128 bytes   Genesis CRAM: 64 big-endian colour words ----bbb-ggg-rrr-
//   512 bytes   SNES CGRAM: 256 little-endian words 0bbbbbgggggrrrrr
//   1024 bytes  GBA palette RAM: 512 such words, the first 256 for the background
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"

namespace varnock {

// True when `size` is one of the four dump sizes.
bool IsMemoryDumpSize(uint64_t size);

// Reads the dump by its size: NES 32 entries in NES encoding, Genesis 64 RGB entries, SNES and
// GBA 256 fifteen-bit entries. Any other size is refused with WrongSignature.
PaletteReadResult ParseMemoryDump(std::span<const uint8_t> bytes);

PaletteReadResult LoadMemoryDump(const std::string& path);

}  // namespace varnock
