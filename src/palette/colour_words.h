// A colour as the palette editor shows and takes it at 256 colours: hexadecimal RGB
// ("#F8D0A0"), the word the console keeps it in, and the grey ramp for 8-bit tiles.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "palette/palette.h"
#include "palette/rom_palette.h"

namespace varnock {

// "#RRGGBB", upper case.
std::string HexColorText(PaletteEntry entry);
// Six hexadecimal digits, with or without a leading '#' or "0x", spaces around allowed; nothing
// for anything else.
std::optional<PaletteEntry> ParseHexColor(std::string_view text);

// The entry in the console's own colour word (15-bit as a palette file writes it, the others
// each channel rounded to the console's bits):
//
//   NES        "NES $30"          the nearest master colour's index
//   15-bit     "BGR15 $7FFF"      0bbbbbgggggrrrrr (SNES, GBC, GBA)
//   Genesis    "CRAM $0EEE"       ----bbb-ggg-rrr-
//   SMS        "SMS $3F"          --bbggrr
//   GG, NGPC   "BGR12 $0FFF"      ----bbbbggggrrrr
//
// RGB has no word of its own: empty.
std::string ConsoleColorWord(RomPaletteFormat format, PaletteEntry entry);

// The colour word a ROM of this extension (upper case, with the dot) keeps its colours in:
// NES, 15-bit for SNES, GBC and GBA, the consoles' own words for Genesis, SMS, Game Gear and
// NGPC; `otherwise` for any other.
RomPaletteFormat ConsoleWordFormat(std::string_view upperExtension, RomPaletteFormat otherwise);

// 256 grey steps: entry k is (k, k, k).
void FillGreyRamp(PaletteTable& palette);

}  // namespace varnock
