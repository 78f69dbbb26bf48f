#include "palette/genesis_state.h"

#include <cstring>
#include <vector>

#include "io/byte_order.h"

namespace varnock {
namespace {

constexpr uint8_t kMagic[5] = {'G', 'S', 'T', 0x40, 0xE0};

constexpr uint8_t ScaleChannel(int value) {
  return static_cast<uint8_t>((value * 255 + 3) / 7);
}

}  // namespace

PaletteEntry GenesisColor(uint16_t word) {
  return MakeEntry(ScaleChannel(word >> 1 & 7), ScaleChannel(word >> 5 & 7),
                   ScaleChannel(word >> 9 & 7));
}

bool LooksLikeGenesisState(std::span<const uint8_t> bytes) {
  return bytes.size() >= sizeof kMagic && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0;
}

PaletteReadResult ParseGenesisState(std::span<const uint8_t> bytes) {
  if (!LooksLikeGenesisState(bytes)) return PaletteReadFailure(PaletteFileError::WrongSignature);
  if (!Fits(bytes.size(), kGenesisCramOffset, 2 * kGenesisColors))
    return PaletteReadFailure(PaletteFileError::TooShort);
  std::vector<PaletteEntry> entries;
  for (size_t k = 0; k < kGenesisColors; ++k)
    entries.push_back(GenesisColor(ReadLe16(bytes, kGenesisCramOffset + 2 * k)));
  return RgbPaletteResult(std::move(entries));
}

VideoMemoryRead ParseGenesisVideoMemory(std::span<const uint8_t> bytes) {
  if (!LooksLikeGenesisState(bytes)) return VideoMemoryFailure(VideoMemoryError::NotAState);
  return VideoMemoryAt(bytes, kGenesisVideoMemoryOffset, kGenesisVideoMemoryBytes,
                       kGenesisVideoMemoryFormat);
}

PaletteReadResult LoadGenesisState(const std::string& path) {
  return LoadPaletteFileWith(path, ParseGenesisState);
}

}  // namespace varnock
