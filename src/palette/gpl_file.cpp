#include "palette/gpl_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "palette/palette_text.h"

namespace varnock {
namespace {

constexpr std::string_view kFirstLine = "GIMP Palette";

}  // namespace

bool LooksLikeGplPalette(std::span<const uint8_t> bytes) {
  return bytes.size() >= kFirstLine.size() &&
         std::memcmp(bytes.data(), kFirstLine.data(), kFirstLine.size()) == 0;
}

PaletteReadResult ParseGplPalette(std::span<const uint8_t> bytes) {
  const std::vector<std::string_view> lines = SplitLines(bytes);
  if (lines.empty() || TrimSpaces(lines[0]) != kFirstLine)
    return PaletteReadFailure(PaletteFileError::WrongSignature);
  std::vector<PaletteEntry> entries;
  for (size_t i = 1; i < lines.size() && entries.size() < kPaletteEntries; ++i) {
    std::string_view line = TrimSpaces(lines[i]);
    if (line.empty() || line.front() == '#' || line.starts_with("Name:") ||
        line.starts_with("Columns:"))
      continue;
    const auto red = TakeNumber(line, 255);
    const auto green = TakeNumber(line, 255);
    const auto blue = TakeNumber(line, 255);
    // A colour's name must be set apart from its numbers.
    if (!red || !green || !blue || (!line.empty() && line.front() != ' ' && line.front() != '\t'))
      return PaletteReadFailure(PaletteFileError::Damaged);
    entries.push_back(MakeEntry(static_cast<uint8_t>(*red), static_cast<uint8_t>(*green),
                                static_cast<uint8_t>(*blue)));
  }
  if (entries.empty()) return PaletteReadFailure(PaletteFileError::TooShort);
  return RgbPaletteResult(std::move(entries));
}

std::vector<uint8_t> EncodeGplPalette(std::span<const PaletteEntry> entries,
                                      const std::string& name) {
  std::string oneLine = name;
  std::replace_if(
      oneLine.begin(), oneLine.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  std::string text = "GIMP Palette\nName: " + oneLine + "\nColumns: 16\n#\n";
  const size_t count = std::min(entries.size(), static_cast<size_t>(kPaletteEntries));
  for (size_t k = 0; k < count; ++k) {
    char line[48];
    std::snprintf(line, sizeof line, "%3d %3d %3d\tIndex %zu\n", entries[k].red, entries[k].green,
                  entries[k].blue, k);
    text += line;
  }
  return std::vector<uint8_t>(text.begin(), text.end());
}

PaletteReadResult LoadGplPalette(const std::string& path) {
  return LoadPaletteFileWith(path, ParseGplPalette);
}

PaletteWriteResult SaveGplPalette(const std::string& path, std::span<const PaletteEntry> entries) {
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return WritePaletteBytes(path, EncodeGplPalette(entries, name));
}

}  // namespace varnock
