#include "palette/zsnes_state.h"

#include <cstring>
#include <vector>

namespace varnock {

PaletteReadResult ParseZsnesState(std::span<const uint8_t> bytes) {
  return ParsePaletteEntries(bytes, kZsnesPaletteOffset, kZsnesPaletteEntries, kPaletteFifteen);
}

VideoMemoryRead ParseZsnesVideoMemory(std::span<const uint8_t> bytes) {
  static constexpr char kSignature[] = "ZSNES Save State File";
  if (bytes.size() < sizeof kSignature - 1 ||
      std::memcmp(bytes.data(), kSignature, sizeof kSignature - 1) != 0)
    return VideoMemoryFailure(VideoMemoryError::NotAState);
  return VideoMemoryAt(bytes, kZsnesVideoMemoryOffset, kZsnesVideoMemoryBytes,
                       kSnesVideoMemoryFormat);
}

PaletteReadResult LoadZsnesState(const std::string& path) {
  std::vector<uint8_t> bytes;
  PaletteReadResult result;
  result.Error = ReadPaletteFileBytes(path, bytes);
  if (!result.ok()) return result;
  return ParseZsnesState(bytes);
}

}  // namespace varnock
