// The ten console tile encodings, one table row each.
#pragma once

#include <array>
#include <cstdint>

namespace varnock {

// Tag of the Format menu items; signed 8-bit as the document stores it.
using TileFormat = int8_t;

inline constexpr int kTileFormatCount = 10;

struct TileFormatRow {
  const char* Name;       // status bar text
  const char* MenuItem;   // designed name of the Format menu item
  const char* Caption;    // Format menu caption
  int32_t BitsPerPixel;   // 1..4
  int32_t TileBytes;      // BitsPerPixel x 8 x 8 / 8
  int32_t FirstViewable;  // scroll minimum: bytes of header to skip
  bool NesHeaderRule;     // minimum grows by 8 KB per character bank of an iNES header
};

inline constexpr std::array<TileFormatRow, kTileFormatCount> kTileFormats{{
    // one plane, one byte per row
    {"Monochrome [1BPP]", "N1BPP1", "&1BPP", 1, 8, 0, false},
    // plane 0 in bytes 0-7, plane 1 in bytes 8-15
    {"NES [2BPP]", "NES1", "&NES", 2, 16, 16, true},
    // planes 0 and 1 interleaved row by row; the cartridge header ends at 0x150
    {"Game Boy [2BPP]", "GameBoy1", "&Game Boy", 2, 16, 0x150, false},
    // packed 2-bit pixels, leftmost pixel in the lowest bits
    {"Virtual Boy [2BPP]", "VirtualBoy1", "&Virtual Boy", 2, 16, 0, false},
    // packed 2-bit pixels in little-endian words, leftmost pixel in the highest bits
    {"NGPC [2BPP]", "NGPC1", "NG&PC", 2, 16, 0, false},
    // planes 0/1 interleaved in bytes 0-15, plane 2 in bytes 16-23; 512-byte copier header
    {"SNES [3BPP]", "SNES3BPP1", "SNES &3BPP", 3, 24, 512, false},
    // planes 0/1 interleaved in bytes 0-15, planes 2/3 in bytes 16-31
    {"SNES [4BPP]", "SNES1", "&SNES", 4, 32, 512, false},
    // planes 0-3 interleaved, four bytes per row
    {"SMS [4BPP]", "SMS1", "S&MS", 4, 32, 0, false},
    // packed 4-bit pixels, high nibble is the left pixel
    {"Genesis [4BPP]", "Genesis1", "&Genesis", 4, 32, 512, false},
    // packed 4-bit pixels, low nibble is the left pixel; the cartridge header ends at 0xC0
    {"GBA [4BPP]", "GBA1", "GB&A", 4, 32, 0xC0, false},
}};

inline constexpr std::array<const char*, kTileFormatCount> FormatNames = [] {
  std::array<const char*, kTileFormatCount> names{};
  for (int i = 0; i < kTileFormatCount; ++i) names[i] = kTileFormats[i].Name;
  return names;
}();

constexpr bool IsTileFormat(int format) {
  return format >= 0 && format < kTileFormatCount;
}

// Row of a format; anything outside 0..9 is read as 1BPP so callers never index out of the table.
constexpr const TileFormatRow& TileFormatInfo(int format) {
  return kTileFormats[IsTileFormat(format) ? format : 0];
}

}  // namespace varnock
