#include "palette/rom_palette.h"

#include <algorithm>

namespace varnock {

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
