// A palette read straight out of the ROM image, where games keep their colours.
#pragma once

#include <cstdint>
#include <span>

#include "palette/palette_file.h"

namespace varnock {

// Up to `count` (at most 256) entries encoded in `format`, one after another from `offset`.
// Where the image ends first, only the whole entries before its end are read, and PaletteSize
// says how many; when not one fits (or the offset is outside the image) the read fails with
// TooShort.
PaletteReadResult ReadPaletteFromImage(std::span<const uint8_t> image, int64_t offset,
                                       PaletteFormat format, int32_t count);

}  // namespace varnock
