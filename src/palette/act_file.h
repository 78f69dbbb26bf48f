// Adobe colour tables (".act"): 256 red, green, blue triples (768 bytes), optionally followed
// by a big-endian 16-bit count of the colours in use and a 16-bit transparent index
// (772 bytes).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "palette/palette_file.h"

namespace varnock {

// A 768-byte table gives 256 entries; a 772-byte one its count (1..256). Other lengths and
// a count outside 1..256 are refused.
PaletteReadResult ParseActPalette(std::span<const uint8_t> bytes);

// 772 bytes: the entries, zeros after them, the count, and 0xFFFF for "no transparent colour".
std::vector<uint8_t> EncodeActPalette(std::span<const PaletteEntry> entries);

PaletteReadResult LoadActPalette(const std::string& path);
PaletteWriteResult SaveActPalette(const std::string& path, std::span<const PaletteEntry> entries);

}  // namespace varnock
