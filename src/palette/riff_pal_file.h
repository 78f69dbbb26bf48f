// Microsoft RIFF palettes (".pal"), numbers little-endian:
//   0   "RIFF", size of what follows, "PAL "
//   12  chunks of a 4-letter name, a size and the data (padded to an even length);
//       chunk "data" holds version 0x0300, a 16-bit count, then count x (red, green, blue, flags)
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "palette/palette_file.h"

namespace varnock {

bool LooksLikeRiffPalette(std::span<const uint8_t> bytes);

// The first 256 colours of the "data" chunk. Refuses a file without the RIFF "PAL " header,
// without a data chunk, with a count of 0, or whose chunk or colours pass the end.
PaletteReadResult ParseRiffPalette(std::span<const uint8_t> bytes);

std::vector<uint8_t> EncodeRiffPalette(std::span<const PaletteEntry> entries);

PaletteReadResult LoadRiffPalette(const std::string& path);
PaletteWriteResult SaveRiffPalette(const std::string& path, std::span<const PaletteEntry> entries);

}  // namespace varnock
