#include "palette/nesticle_state.h"

#include <vector>

namespace varnock {

PaletteReadResult ParseNesticleState(std::span<const uint8_t> bytes) {
  return ParsePaletteEntries(bytes, kNesticlePaletteOffset, kNesticlePaletteEntries, kPaletteNes);
}

VideoMemoryRead ParseNesticleVideoMemory(std::span<const uint8_t> bytes) {
  return VideoMemoryAt(bytes, kNesticlePatternOffset, kNesticlePatternBytes, kNesVideoMemoryFormat);
}

PaletteReadResult LoadNesticleState(const std::string& path) {
  std::vector<uint8_t> bytes;
  PaletteReadResult result;
  result.Error = ReadPaletteFileBytes(path, bytes);
  if (!result.ok()) return result;
  return ParseNesticleState(bytes);
}

}  // namespace varnock
