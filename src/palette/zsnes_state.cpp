#include "palette/zsnes_state.h"

#include <vector>

namespace varnock {

PaletteReadResult ParseZsnesState(std::span<const uint8_t> bytes) {
  return ParsePaletteEntries(bytes, kZsnesPaletteOffset, kZsnesPaletteEntries, kPaletteFifteen);
}

PaletteReadResult LoadZsnesState(const std::string& path) {
  std::vector<uint8_t> bytes;
  PaletteReadResult result;
  result.Error = ReadPaletteFileBytes(path, bytes);
  if (!result.ok()) return result;
  return ParseZsnesState(bytes);
}

}  // namespace varnock
