#include "palette/zsnes_state.h"

#include <vector>

namespace varnock {

PaletteReadResult ParseZsnesState(std::span<const uint8_t> bytes) {
  PaletteReadResult result;
  constexpr int32_t kWordBytes = PaletteEntryBytesOf(kPaletteFifteen);
  if (bytes.size() < static_cast<size_t>(kZsnesPaletteOffset + kZsnesPaletteEntries * kWordBytes)) {
    result.Error = PaletteFileError::TooShort;
    return result;
  }
  result.Data.PalFormat = kPaletteFifteen;
  result.Data.PaletteSize = kZsnesPaletteEntries;
  result.Data.Entries.reserve(kZsnesPaletteEntries);
  const uint8_t* words = bytes.data() + kZsnesPaletteOffset;
  for (int32_t k = 0; k < kZsnesPaletteEntries; ++k)
    result.Data.Entries.push_back(DecodePaletteEntry(kPaletteFifteen, words + k * kWordBytes));
  return result;
}

PaletteReadResult LoadZsnesState(const std::string& path) {
  std::vector<uint8_t> bytes;
  PaletteReadResult result;
  result.Error = ReadPaletteFileBytes(path, bytes);
  if (!result.ok()) return result;
  return ParseZsnesState(bytes);
}

}  // namespace varnock
