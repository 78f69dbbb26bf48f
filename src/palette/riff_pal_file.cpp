#include "palette/riff_pal_file.h"

#include <algorithm>
#include <cstring>

#include "io/byte_order.h"

namespace varnock {
namespace {

// Writes into a buffer sized up front; growing it piece by piece trips a false overflow warning
// in optimised builds.
void PutLe16(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* out, uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out + 2, value >> 16);
}

}  // namespace

bool LooksLikeRiffPalette(std::span<const uint8_t> bytes) {
  return bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
         std::memcmp(bytes.data() + 8, "PAL ", 4) == 0;
}

PaletteReadResult ParseRiffPalette(std::span<const uint8_t> bytes) {
  if (!LooksLikeRiffPalette(bytes)) return PaletteReadFailure(PaletteFileError::WrongSignature);
  size_t at = 12;
  while (Fits(bytes.size(), at, 8)) {
    const uint32_t size = ReadLe32(bytes, at + 4);
    const bool data = std::memcmp(bytes.data() + at, "data", 4) == 0;
    at += 8;
    if (!Fits(bytes.size(), at, size)) return PaletteReadFailure(PaletteFileError::TooShort);
    if (data) {
      if (size < 4) return PaletteReadFailure(PaletteFileError::TooShort);
      const size_t count = ReadLe16(bytes, at + 2);
      if (count == 0) return PaletteReadFailure(PaletteFileError::Damaged);
      if ((size - 4) / 4 < count) return PaletteReadFailure(PaletteFileError::TooShort);
      std::vector<PaletteEntry> entries;
      for (size_t k = 0; k < std::min(count, static_cast<size_t>(kPaletteEntries)); ++k) {
        const size_t color = at + 4 + 4 * k;
        entries.push_back(MakeEntry(bytes[color], bytes[color + 1], bytes[color + 2]));
      }
      return RgbPaletteResult(std::move(entries));
    }
    at += size + (size & 1);
  }
  return PaletteReadFailure(PaletteFileError::TooShort);
}

std::vector<uint8_t> EncodeRiffPalette(std::span<const PaletteEntry> entries) {
  const uint32_t count =
      static_cast<uint32_t>(std::min(entries.size(), static_cast<size_t>(kPaletteEntries)));
  const uint32_t dataBytes = 4 + 4 * count;
  std::vector<uint8_t> out(20 + dataBytes, 0);
  std::memcpy(out.data(), "RIFF", 4);
  PutLe32(out.data() + 4, 4 + 8 + dataBytes);
  std::memcpy(out.data() + 8, "PAL data", 8);
  PutLe32(out.data() + 16, dataBytes);
  PutLe16(out.data() + 20, 0x0300);
  PutLe16(out.data() + 22, count);
  for (size_t k = 0; k < count; ++k) {
    uint8_t* color = out.data() + 24 + 4 * k;
    color[0] = entries[k].red;
    color[1] = entries[k].green;
    color[2] = entries[k].blue;
  }
  return out;
}

PaletteReadResult LoadRiffPalette(const std::string& path) {
  return LoadPaletteFileWith(path, ParseRiffPalette);
}

PaletteWriteResult SaveRiffPalette(const std::string& path, std::span<const PaletteEntry> entries) {
  return WritePaletteBytes(path, EncodeRiffPalette(entries));
}

}  // namespace varnock
