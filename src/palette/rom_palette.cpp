#include "palette/rom_palette.h"

#include <algorithm>

#include "codec/format_names.h"

namespace varnock {
namespace {

constexpr RomPaletteEncoding kRomPaletteEncodings[] = {
    {kPaletteRgb, "rgb", "RGB"},
    {kPaletteNes, "nes", "NES"},
    {kPaletteFifteen, "bgr15", "15 bit (SNES, GBC, GBA)"},
};

}  // namespace

std::span<const RomPaletteEncoding> RomPaletteEncodings() {
  return kRomPaletteEncodings;
}

const RomPaletteEncoding* RomPaletteEncodingNamed(std::string_view name) {
  for (const RomPaletteEncoding& encoding : kRomPaletteEncodings)
    if (SameShortName(name, encoding.ShortName)) return &encoding;
  return nullptr;
}

PaletteReadResult ReadPaletteFromImage(std::span<const uint8_t> image, int64_t offset,
                                       PaletteFormat format, int32_t count) {
  if (offset < 0 || static_cast<uint64_t>(offset) >= image.size())
    return PaletteReadFailure(PaletteFileError::TooShort);
  const size_t start = static_cast<size_t>(offset);
  const size_t fit = (image.size() - start) / static_cast<size_t>(PaletteEntryBytesOf(format));
  const size_t wanted = static_cast<size_t>(std::clamp(count, 0, kPaletteEntries));
  const size_t entries = std::min(fit, wanted);
  if (entries == 0) return PaletteReadFailure(PaletteFileError::TooShort);
  return ParsePaletteEntries(image, start, static_cast<int32_t>(entries), format);
}

}  // namespace varnock
