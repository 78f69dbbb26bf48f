#include "palette/riff_pal_file.h"

#include <algorithm>
#include <cstring>

#include "io/byte_order.h"

namespace varnock {
namespace {

void PutLe16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
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
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  PutLe32(out, 4 + 8 + dataBytes);
  PutTag(out, "PAL ");
  PutTag(out, "data");
  PutLe32(out, dataBytes);
  PutLe16(out, 0x0300);
  PutLe16(out, count);
  for (size_t k = 0; k < count; ++k) {
    out.push_back(entries[k].red);
    out.push_back(entries[k].green);
    out.push_back(entries[k].blue);
    out.push_back(0);
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
