#include "palette/vrk_file.h"

#include <algorithm>

namespace varnock {
namespace {

constexpr uint8_t kMagic[3] = {'V', 'R', 'K'};
constexpr size_t kHeaderBytes = 4;

}  // namespace

PaletteReadResult ParseVrkPalette(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeaderBytes || !std::equal(kMagic, kMagic + 3, bytes.begin())) {
    PaletteReadResult result;
    result.Error = PaletteFileError::NotVarnockPalette;
    return result;
  }
  const PaletteFormat format = bytes[3];
  const size_t entryBytes = static_cast<size_t>(PaletteEntryBytesOf(format));
  // The file has no count: whatever whole entries follow the header are the palette, and the
  // window only has room for the first 256 of them.
  const size_t count =
      std::min((bytes.size() - kHeaderBytes) / entryBytes, static_cast<size_t>(kPaletteEntries));

  return ParsePaletteEntries(bytes, kHeaderBytes, static_cast<int32_t>(count), format);
}

std::vector<uint8_t> EncodeVrkPalette(const PaletteTable& palette, PaletteFormat format,
                                      int32_t paletteSize) {
  const int32_t count = std::clamp(paletteSize, 0, kPaletteEntries);
  const size_t entryBytes = static_cast<size_t>(PaletteEntryBytesOf(format));
  std::vector<uint8_t> bytes(kHeaderBytes + static_cast<size_t>(count) * entryBytes);
  std::copy(kMagic, kMagic + 3, bytes.begin());
  bytes[3] = format;
  uint8_t* out = bytes.data() + kHeaderBytes;
  for (int32_t k = 0; k < count; ++k)
    out += EncodePaletteEntry(format, palette[static_cast<size_t>(k)], out);
  return bytes;
}

PaletteReadResult LoadVrkPalette(const std::string& path) {
  return LoadPaletteFileWith(path, ParseVrkPalette);
}

PaletteWriteResult SaveVrkPalette(const std::string& path, const PaletteTable& palette,
                                  PaletteFormat format, int32_t paletteSize) {
  return WritePaletteBytes(path, EncodeVrkPalette(palette, format, paletteSize));
}

}  // namespace varnock
