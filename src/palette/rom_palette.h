// A palette read straight out of the ROM image, where games keep their colours.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "palette/palette_file.h"

namespace varnock {

// The encodings a palette in a ROM may have, in the order the ROM palette dialog lists them.
// The dialog and the command-line tool both take them from here.
struct RomPaletteEncoding {
  PaletteFormat Format;
  const char* ShortName;    // the word typed on a command line: "bgr15"
  const char* DisplayName;  // the dialog's item
};
std::span<const RomPaletteEncoding> RomPaletteEncodings();
// The encoding whose short name is `name`, without regard to case; null for none.
const RomPaletteEncoding* RomPaletteEncodingNamed(std::string_view name);

// Up to `count` (at most 256) entries encoded in `format`, one after another from `offset`.
// Where the image ends first, only the whole entries before its end are read, and PaletteSize
// says how many; when not one fits (or the offset is outside the image) the read fails with
// TooShort.
PaletteReadResult ReadPaletteFromImage(std::span<const uint8_t> image, int64_t offset,
                                       PaletteFormat format, int32_t count);

}  // namespace varnock
