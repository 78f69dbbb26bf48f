// The editor's own palette file (".VRK"): a signature, the entry encoding and the entries.
//
//   offset 0   'V' 'R' 'K'
//   offset 3   PaletteFormat of the entries
//   offset 4   entries of PaletteEntryBytesOf(format) bytes each, no count field
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "palette/palette.h"
#include "palette/palette_file.h"

namespace varnock {

// Parses a whole .VRK file. The entry count is what the length holds (a trailing partial entry
// is ignored), capped at 256. A format byte other than 0, 1 or 2 is kept and its entries read as
// RGB. Fails with NotVarnockPalette when the first three bytes are not the signature.
PaletteReadResult ParseVrkPalette(std::span<const uint8_t> bytes);

// The bytes of a .VRK file holding entries 0..paletteSize-1 (paletteSize clamped to 0..256)
// encoded by `format`; an unknown format writes its byte and RGB entries.
std::vector<uint8_t> EncodeVrkPalette(const PaletteTable& palette, PaletteFormat format,
                                      int32_t paletteSize);

PaletteReadResult LoadVrkPalette(const std::string& path);

// Writes EncodeVrkPalette's bytes through a temporary file renamed over `path`, so a failed
// write leaves any existing file as it was.
PaletteWriteResult SaveVrkPalette(const std::string& path, const PaletteTable& palette,
                                  PaletteFormat format, int32_t paletteSize);

}  // namespace varnock
