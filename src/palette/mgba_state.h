// Palettes inside mGBA save states (".ss0"-".ss9"): the 256 background colours of palette RAM.
//
// Layout (mgba include/mgba/internal/gba/serialize.h, struct GBASerializedState; src/gba/
// serialize.c; src/core/serialize.c, _savePNGState), numbers little-endian:
//   0x000  version magic 0x01000000 + version (0x0100000B today)
//   0x800  palette RAM: 512 words 0bbbbbgggggrrrrr, the first 256 for the background
//   0x1000 VRAM: 96 KB, background tiles and maps in the first 64 KB, sprite tiles after them
//   0x61000 bytes in all, perhaps followed by extra data
// A state saved with a screenshot is a PNG image instead, carrying the state zlib-compressed in
// a chunk named "gbAs".
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette_file.h"
#include "palette/video_memory.h"

namespace varnock {

inline constexpr size_t kMgbaPaletteOffset = 0x800;
inline constexpr size_t kMgbaStateBytes = 0x61000;
inline constexpr uint32_t kMgbaMagic = 0x01000000;
// Versions 0..11 share this layout; a later one is refused until it is known.
inline constexpr uint32_t kMgbaLastVersion = 0x0B;

// A PNG image (perhaps a state with a screenshot).
bool LooksLikePng(std::span<const uint8_t> bytes);

// A raw GBA state: the version magic of a known version and the whole state's length.
bool LooksLikeMgbaRawState(std::span<const uint8_t> bytes);

// Reads the background colours as fifteen-bit entries 0..255, PaletteSize 256, from a raw state
// or a PNG carrying one. Refuses a PNG without "gbAs" or with a damaged chunk or stream, an
// unknown version magic (also Game Boy states), and a state that ends before its palette does.
PaletteReadResult ParseMgbaState(std::span<const uint8_t> bytes);

PaletteReadResult LoadMgbaState(const std::string& path);

inline constexpr size_t kMgbaVideoMemoryOffset = 0x1000;
inline constexpr size_t kMgbaVideoMemoryBytes = 0x18000;

// VRAM of a raw state or of a PNG carrying one, refused as the palette reader refuses.
VideoMemoryRead ParseMgbaVideoMemory(std::span<const uint8_t> bytes);

}  // namespace varnock
