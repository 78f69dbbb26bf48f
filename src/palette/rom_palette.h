// A palette read straight out of the ROM image, where games keep their colours: in one of the
// palette file encodings, or in a console's own colour words.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "palette/palette_file.h"

namespace varnock {

// How the colours of a palette in a ROM are encoded. The first three are the palette file
// encodings (PaletteFormat, same values); the rest are colour words of the consoles' video chips:
//
//   Genesis CRAM     16-bit big-endian     ----bbb-ggg-rrr-   3 bits a channel
//   SMS              one byte              --bbggrr           2 bits a channel
//   Game Gear, NGPC  16-bit little-endian  ----bbbbggggrrrr   4 bits a channel
using RomPaletteFormat = uint8_t;
inline constexpr RomPaletteFormat kRomPaletteGenesis = 3;
inline constexpr RomPaletteFormat kRomPaletteSms = 4;
inline constexpr RomPaletteFormat kRomPaletteGameGear = 5;
inline constexpr RomPaletteFormat kRomPaletteNgpc = 6;

// The encodings in the order the ROM palette dialog lists them. The dialog and the command-line
// tool both take them from here.
struct RomPaletteEncoding {
  RomPaletteFormat Format;
  const char* ShortName;    // the word typed on a command line: "genesis"
  const char* DisplayName;  // the dialog's item
};
std::span<const RomPaletteEncoding> RomPaletteEncodings();
// The encoding whose short name, or one of its other names (gba, snes and gbc for bgr15, cram
// for genesis, gg for gamegear), is `name`, without regard to case; null for none.
const RomPaletteEncoding* RomPaletteEncodingNamed(std::string_view name);
// The other names of `format`, in the order they are listed.
std::vector<std::string> RomPaletteEncodingAliases(RomPaletteFormat format);

// Bytes of one entry; unknown values read as RGB, as palette files do.
int32_t RomPaletteEntryBytes(RomPaletteFormat format);

// One console colour word as RGB. A channel of b bits with value v becomes v x 255 / (2^b - 1),
// rounded, so the highest value is full brightness and the steps are even.
PaletteEntry SmsColor(uint8_t byte);
PaletteEntry GameGearColor(uint16_t word);

// Up to `count` (at most 256) entries encoded in `format`, one after another from `offset`.
// Where the image ends first, only the whole entries before its end are read, and PaletteSize
// says how many; when not one fits (or the offset is outside the image) the read fails with
// TooShort. Console colours come back as RGB entries (PalFormat RGB), which a palette file keeps
// exactly.
PaletteReadResult ReadPaletteFromImage(std::span<const uint8_t> image, int64_t offset,
                                       RomPaletteFormat format, int32_t count);

// The encoding the consoles with colour words of their own keep their palettes in, for a file
// with such a console's extension (".SMD", ".GEN", ".MD", ".BIN": Genesis; ".SMS": SMS; ".GG":
// Game Gear; ".NGP", ".NGC": NGPC, upper case with the dot); `otherwise` for any other.
RomPaletteFormat ConsolePaletteFormat(std::string_view upperExtension, RomPaletteFormat otherwise);

}  // namespace varnock
