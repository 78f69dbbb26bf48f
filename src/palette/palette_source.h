// The colours a block of tiles is shown in when no window holds them: a palette file (or save
// state, or dump), entries read from the ROM image, or the palette file beside the ROM when it
// loads, else the built-in colours, which is what a ROM window opens with.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "palette/palette.h"
#include "palette/rom_palette.h"

namespace varnock {

struct SourcedPalette {
  PaletteTable Entries{};
  int32_t Size = 0;
  PaletteFormat PalFormat = 0;  // how a palette file holds the entries
  std::string Failure;          // why the palette could not be read; empty when it was
  bool ok() const { return Failure.empty(); }
};

// The file at `palettePath` (the one beside a ROM), or the built-in 256 colours when it does
// not load. Never fails.
SourcedPalette PaletteOrDefault(const std::string& palettePath);
// Any file the editor reads a palette from.
SourcedPalette PaletteFromFile(const std::string& path);
// `count` entries encoded in `format` from `offset` of `image`, as far as the image holds them.
SourcedPalette PaletteFromImage(std::span<const uint8_t> image, int64_t offset,
                                RomPaletteFormat format, int32_t count);

}  // namespace varnock
