#include "palette/nesticle_state.h"

#include <vector>

namespace varnock {

PaletteReadResult ParseNesticleState(std::span<const uint8_t> bytes) {
  PaletteReadResult result;
  if (bytes.size() < static_cast<size_t>(kNesticlePaletteOffset + kNesticlePaletteEntries)) {
    result.Error = PaletteFileError::TooShort;
    return result;
  }
  result.Data.PalFormat = kPaletteNes;
  result.Data.PaletteSize = kNesticlePaletteEntries;
  result.Data.Entries.reserve(kNesticlePaletteEntries);
  const uint8_t* indices = bytes.data() + kNesticlePaletteOffset;
  for (int32_t k = 0; k < kNesticlePaletteEntries; ++k)
    result.Data.Entries.push_back(DecodePaletteEntry(kPaletteNes, indices + k));
  return result;
}

PaletteReadResult LoadNesticleState(const std::string& path) {
  std::vector<uint8_t> bytes;
  PaletteReadResult result;
  result.Error = ReadPaletteFileBytes(path, bytes);
  if (!result.ok()) return result;
  return ParseNesticleState(bytes);
}

}  // namespace varnock
