// The 256-colour palette, the NES master palette, the three file encodings of one entry and
// the sub-palette arithmetic.
#pragma once

#include <array>
#include <cstdint>

#include "codec/tile_surface.h"

namespace varnock {

// One palette entry in bitmap colour-table order, so it copies straight into Colors.
struct PaletteEntry {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};
static_assert(sizeof(PaletteEntry) == 3);

inline constexpr int kPaletteEntries = 256;
using PaletteTable = std::array<PaletteEntry, kPaletteEntries>;

constexpr PaletteEntry MakeEntry(uint8_t red, uint8_t green, uint8_t blue) {
  return PaletteEntry{blue, green, red};
}

// Encoding of entries in a palette file (Tag of the palette Format menu).
using PaletteFormat = uint8_t;
inline constexpr PaletteFormat kPaletteRgb = 0;      // red, green, blue bytes
inline constexpr PaletteFormat kPaletteNes = 1;      // one index into NesPalette
inline constexpr PaletteFormat kPaletteFifteen = 2;  // little-endian 0bbbbbgggggrrrrr

// Bytes per file entry: 1 for NES, 2 for fifteen-bit, 3 for RGB and any unknown format byte.
constexpr int32_t PaletteEntryBytesOf(PaletteFormat format) {
  return format == kPaletteNes ? 1 : format == kPaletteFifteen ? 2 : 3;
}

// The 64 colours of the NES picture processor.
extern const std::array<PaletteEntry, 64> NesPalette;

// Colours a ROM window starts with when no palette file loads.
extern const PaletteTable DefaultPalette;

// Decodes PaletteEntryBytesOf(format) bytes of a file entry. Unknown formats read as RGB.
// A NES index above 63 has no master colour; its low six bits are used.
PaletteEntry DecodePaletteEntry(PaletteFormat format, const uint8_t* bytes);

// Writes PaletteEntryBytesOf(format) bytes and returns that count. Unknown formats write RGB.
int32_t EncodePaletteEntry(PaletteFormat format, PaletteEntry entry, uint8_t* out);

// Lowest index among the nearest master colours by the sum of absolute channel differences.
uint8_t NearestNesIndex(PaletteEntry entry);

// Sub-palettes: tiles of b bits use 2^b consecutive entries from SubPalette x 2^b.
constexpr int32_t SwatchCountOf(int32_t bitsPerPixel) {
  return 1 << bitsPerPixel;
}
constexpr int32_t FirstEntryOf(int32_t subPalette, int32_t swatchCount) {
  return subPalette * swatchCount;
}
// Highest selectable sub-palette, never below 0 even when the palette is shorter than one.
constexpr int32_t HighestSubPalette(int32_t paletteSize, int32_t swatchCount) {
  const int32_t highest = paletteSize / swatchCount - 1;
  return highest < 0 ? 0 : highest;
}

// The sub-palette that holds the old first entry after bits per pixel change:
// SubPalette x 2^old / 2^new in floating point, truncated toward zero.
int32_t ConvertSubPalette(int32_t subPalette, int32_t oldBits, int32_t newBits);

// Copies `count` palette entries from `firstEntry` into colours 0..count-1 (reserved 0).
// Entries past the end of the palette are not read; their colours are left alone.
void CopyPaletteToColors(const PaletteTable& palette, int32_t firstEntry, int32_t count,
                         std::array<SurfaceColor, 256>& colors);

// The colour table of tiles of `bitsPerPixel` bits (1..8) shown in sub-palette `subPalette`:
// its 2^bits entries in colours 0.., every other colour black (and those of entries past the
// palette's end too).
std::array<SurfaceColor, 256> SubPaletteColors(const PaletteTable& palette, int32_t subPalette,
                                               int32_t bitsPerPixel);

// The lowest index among colours 0..count-1 nearest to `color` by the sum of absolute channel
// differences (the rule of NearestNesIndex).
uint8_t NearestColorIndex(const std::array<SurfaceColor, 256>& colors, int32_t count,
                          SurfaceColor color);

}  // namespace varnock
