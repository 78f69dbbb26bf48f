#include "palette/memory_dump.h"

#include <vector>

#include "io/byte_order.h"
#include "palette/genesis_state.h"

namespace varnock {

bool IsMemoryDumpSize(uint64_t size) {
  return size == 32 || size == 128 || size == 512 || size == 1024;
}

PaletteReadResult ParseMemoryDump(std::span<const uint8_t> bytes) {
  switch (bytes.size()) {
    case 32:
      return ParsePaletteEntries(bytes, 0, 32, kPaletteNes);
    case 128: {
      std::vector<PaletteEntry> entries;
      for (size_t k = 0; k < kGenesisColors; ++k)
        entries.push_back(GenesisColor(ReadBe16(bytes, 2 * k)));
      return RgbPaletteResult(std::move(entries));
    }
    case 512:
    case 1024:
      return ParsePaletteEntries(bytes, 0, 256, kPaletteFifteen);
    default:
      return PaletteReadFailure(PaletteFileError::WrongSignature);
  }
}

PaletteReadResult LoadMemoryDump(const std::string& path) {
  return LoadPaletteFileWith(path, ParseMemoryDump);
}

}  // namespace varnock
