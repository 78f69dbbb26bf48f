#include "palette/act_file.h"

#include <algorithm>

#include "io/byte_order.h"

namespace varnock {
namespace {

constexpr size_t kTableBytes = 3 * kPaletteEntries;

}  // namespace

PaletteReadResult ParseActPalette(std::span<const uint8_t> bytes) {
  if (bytes.size() != kTableBytes && bytes.size() != kTableBytes + 4)
    return PaletteReadFailure(bytes.size() < kTableBytes ? PaletteFileError::TooShort
                                                         : PaletteFileError::WrongSignature);
  size_t count = kPaletteEntries;
  if (bytes.size() == kTableBytes + 4) {
    count = ReadBe16(bytes, kTableBytes);
    if (count < 1 || count > kPaletteEntries) return PaletteReadFailure(PaletteFileError::Damaged);
  }
  std::vector<PaletteEntry> entries;
  for (size_t k = 0; k < count; ++k)
    entries.push_back(MakeEntry(bytes[3 * k], bytes[3 * k + 1], bytes[3 * k + 2]));
  return RgbPaletteResult(std::move(entries));
}

std::vector<uint8_t> EncodeActPalette(std::span<const PaletteEntry> entries) {
  const size_t count = std::min(entries.size(), static_cast<size_t>(kPaletteEntries));
  std::vector<uint8_t> bytes(kTableBytes + 4, 0);
  for (size_t k = 0; k < count; ++k) {
    bytes[3 * k] = entries[k].red;
    bytes[3 * k + 1] = entries[k].green;
    bytes[3 * k + 2] = entries[k].blue;
  }
  bytes[kTableBytes] = static_cast<uint8_t>(count >> 8);
  bytes[kTableBytes + 1] = static_cast<uint8_t>(count);
  bytes[kTableBytes + 2] = 0xFF;
  bytes[kTableBytes + 3] = 0xFF;
  return bytes;
}

PaletteReadResult LoadActPalette(const std::string& path) {
  return LoadPaletteFileWith(path, ParseActPalette);
}

PaletteWriteResult SaveActPalette(const std::string& path, std::span<const PaletteEntry> entries) {
  return WritePaletteBytes(path, EncodeActPalette(entries));
}

}  // namespace varnock
