#include "palette/jasc_pal_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "palette/palette_text.h"

namespace varnock {
namespace {

constexpr std::string_view kFirstLine = "JASC-PAL";

}  // namespace

bool LooksLikeJascPalette(std::span<const uint8_t> bytes) {
  return bytes.size() >= kFirstLine.size() &&
         std::memcmp(bytes.data(), kFirstLine.data(), kFirstLine.size()) == 0;
}

PaletteReadResult ParseJascPalette(std::span<const uint8_t> bytes) {
  const std::vector<std::string_view> lines = SplitLines(bytes);
  if (lines.size() < 2 || TrimSpaces(lines[0]) != kFirstLine || TrimSpaces(lines[1]) != "0100")
    return PaletteReadFailure(PaletteFileError::WrongSignature);
  if (lines.size() < 3) return PaletteReadFailure(PaletteFileError::TooShort);
  std::string_view countLine = lines[2];
  const auto count = TakeNumber(countLine, 65535);
  if (!count || !TrimSpaces(countLine).empty() || *count == 0)
    return PaletteReadFailure(PaletteFileError::Damaged);
  const size_t wanted = std::min<size_t>(*count, kPaletteEntries);
  if (lines.size() - 3 < wanted) return PaletteReadFailure(PaletteFileError::TooShort);
  std::vector<PaletteEntry> entries;
  for (size_t k = 0; k < wanted; ++k) {
    std::string_view line = lines[3 + k];
    const auto red = TakeNumber(line, 255);
    const auto green = TakeNumber(line, 255);
    const auto blue = TakeNumber(line, 255);
    if (!red || !green || !blue || !TrimSpaces(line).empty())
      return PaletteReadFailure(PaletteFileError::Damaged);
    entries.push_back(MakeEntry(static_cast<uint8_t>(*red), static_cast<uint8_t>(*green),
                                static_cast<uint8_t>(*blue)));
  }
  return RgbPaletteResult(std::move(entries));
}

std::vector<uint8_t> EncodeJascPalette(std::span<const PaletteEntry> entries) {
  const size_t count = std::min(entries.size(), static_cast<size_t>(kPaletteEntries));
  std::string text = "JASC-PAL\r\n0100\r\n" + std::to_string(count) + "\r\n";
  for (size_t k = 0; k < count; ++k) {
    char line[24];
    std::snprintf(line, sizeof line, "%d %d %d\r\n", entries[k].red, entries[k].green,
                  entries[k].blue);
    text += line;
  }
  return std::vector<uint8_t>(text.begin(), text.end());
}

PaletteReadResult LoadJascPalette(const std::string& path) {
  return LoadPaletteFileWith(path, ParseJascPalette);
}

PaletteWriteResult SaveJascPalette(const std::string& path, std::span<const PaletteEntry> entries) {
  return WritePaletteBytes(path, EncodeJascPalette(entries));
}

}  // namespace varnock
