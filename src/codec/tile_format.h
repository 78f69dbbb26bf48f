// The console tile encodings, one table row each: the ten of the Format menu, then the fixed
// formats added after them. Encodings a user describes get Tags after all of these
// (codec/codec_registry.h).
#pragma once

#include <array>
#include <cstdint>

namespace varnock {

// Tag of the Format menu items; signed 8-bit as the document stores it.
using TileFormat = int8_t;

// The ten formats the Format menu and the format key cycle through, Tags 0..9.
inline constexpr int kTileFormatCount = 10;
// Every fixed format: the ten, then SNES 8BPP (Tag 10) and Linear 8BPP (Tag 11).
inline constexpr int kFixedTileFormatCount = 12;
inline constexpr TileFormat kSnes8Format = 10;
inline constexpr TileFormat kLinear8Format = 11;

// The most bytes one tile of any format (fixed or described) occupies.
inline constexpr int32_t kMaxTileBytes = 128;

struct TileFormatRow {
  const char* Name;       // status bar text
  const char* MenuItem;   // designed name of the Format menu item
  const char* Caption;    // Format menu caption
  int32_t BitsPerPixel;   // 1..8
  int32_t TileBytes;      // BitsPerPixel x 8 x 8 / 8
  int32_t FirstViewable;  // scroll minimum: the header every image of the console has
  bool CopierHeaderRule;  // the minimum grows by a copier's 512-byte header where there is one
  // When set, FirstViewable applies only to images with this upper-cased extension.
  const char* HeaderExtension = nullptr;
};

inline constexpr std::array<TileFormatRow, kFixedTileFormatCount> kTileFormats{{
    // one plane, one byte per row
    {"Monochrome [1BPP]", "N1BPP1", "&1BPP", 1, 8, 0, false},
    // plane 0 in bytes 0-7, plane 1 in bytes 8-15; the iNES header is 16 bytes
    {"NES [2BPP]", "NES1", "&NES", 2, 16, 16, false},
    // planes 0 and 1 interleaved row by row; the cartridge header ends at 0x150
    {"Game Boy [2BPP]", "GameBoy1", "&Game Boy", 2, 16, 0x150, false},
    // packed 2-bit pixels, leftmost pixel in the lowest bits
    {"Virtual Boy [2BPP]", "VirtualBoy1", "&Virtual Boy", 2, 16, 0, false},
    // packed 2-bit pixels in little-endian words, leftmost pixel in the highest bits
    {"NGPC [2BPP]", "NGPC1", "NG&PC", 2, 16, 0, false},
    // planes 0/1 interleaved in bytes 0-15, plane 2 in bytes 16-23
    {"SNES [3BPP]", "SNES3BPP1", "SNES &3BPP", 3, 24, 0, true},
    // planes 0/1 interleaved in bytes 0-15, planes 2/3 in bytes 16-31
    {"SNES [4BPP]", "SNES1", "&SNES", 4, 32, 0, true},
    // planes 0-3 interleaved, four bytes per row
    {"SMS [4BPP]", "SMS1", "S&MS", 4, 32, 0, false},
    // packed 4-bit pixels, high nibble is the left pixel
    {"Genesis [4BPP]", "Genesis1", "&Genesis", 4, 32, 0, true},
    // packed 4-bit pixels, low nibble is the left pixel; the cartridge header ends at 0xC0
    {"GBA [4BPP]", "GBA1", "GB&A", 4, 32, 0xC0, false},
    // the 4BPP layout extended: planes 0/1 in bytes 0-15, 2/3 in 16-31, 4/5 in 32-47, 6/7 in
    // 48-63; 512-byte copier header as for the 4-bit SNES format
    {"SNES [8BPP]", "SNES8BPP1", "SNES &8BPP", 8, 64, 0, true},
    // one byte per pixel, left to right, top to bottom (GBA and DS 8-bit tiles, SNES Mode 7);
    // the GBA cartridge header only in .GBA files
    {"Linear [8BPP]", "Linear8BPP1", "&Linear 8BPP", 8, 64, 0xC0, false, ".GBA"},
}};

inline constexpr std::array<const char*, kFixedTileFormatCount> FormatNames = [] {
  std::array<const char*, kFixedTileFormatCount> names{};
  for (int i = 0; i < kFixedTileFormatCount; ++i) names[i] = kTileFormats[i].Name;
  return names;
}();

// One of the ten formats of the Format menu.
constexpr bool IsTileFormat(int format) {
  return format >= 0 && format < kTileFormatCount;
}

// One of the fixed formats, the ten and those after them.
constexpr bool IsFixedTileFormat(int format) {
  return format >= 0 && format < kFixedTileFormatCount;
}

// Row of a fixed format; anything else is read as 1BPP so callers never index out of the table.
// Described formats have rows of their own (LookUpTileFormat in codec/codec_registry.h).
constexpr const TileFormatRow& TileFormatInfo(int format) {
  return kTileFormats[IsFixedTileFormat(format) ? format : 0];
}

}  // namespace varnock
