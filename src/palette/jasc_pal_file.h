// JASC palettes (".pal" text): lines "JASC-PAL", "0100", the colour count, then one
// "R G B" line per colour, decimal 0..255.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "palette/palette_file.h"

namespace varnock {

bool LooksLikeJascPalette(std::span<const uint8_t> bytes);

// The first 256 of the counted colours. Refuses a file without the two header lines, with a
// count of 0, with fewer colour lines than counted, or with a line that is not three numbers.
PaletteReadResult ParseJascPalette(std::span<const uint8_t> bytes);

std::vector<uint8_t> EncodeJascPalette(std::span<const PaletteEntry> entries);

PaletteReadResult LoadJascPalette(const std::string& path);
PaletteWriteResult SaveJascPalette(const std::string& path, std::span<const PaletteEntry> entries);

}  // namespace varnock
