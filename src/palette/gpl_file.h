// GIMP palettes (".gpl"): text lines
//   GIMP Palette
//   Name: ...            (optional, as is "Columns: n")
//   # ...                comments
//   R G B  name          one colour per line, decimal 0..255, the name optional
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "palette/palette_file.h"

namespace varnock {

bool LooksLikeGplPalette(std::span<const uint8_t> bytes);

// The first 256 colours. Refuses a file without the first line, with a colour line that is not
// three numbers 0..255, or without colours.
PaletteReadResult ParseGplPalette(std::span<const uint8_t> bytes);

// `name` goes on the Name line (line breaks in it become spaces).
std::vector<uint8_t> EncodeGplPalette(std::span<const PaletteEntry> entries,
                                      const std::string& name);

PaletteReadResult LoadGplPalette(const std::string& path);
// The palette is named after the file.
PaletteWriteResult SaveGplPalette(const std::string& path, std::span<const PaletteEntry> entries);

}  // namespace varnock
