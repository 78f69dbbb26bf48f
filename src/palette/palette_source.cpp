#include "palette/palette_source.h"

#include "palette/palette_file.h"

namespace varnock {
namespace {

SourcedPalette Take(const PaletteReadResult& read) {
  SourcedPalette palette;
  for (size_t k = 0; k < read.Data.Entries.size() && k < palette.Entries.size(); ++k)
    palette.Entries[k] = read.Data.Entries[k];
  palette.Size = read.Data.PaletteSize;
  palette.PalFormat = read.Data.PalFormat;
  return palette;
}

}  // namespace

SourcedPalette PaletteOrDefault(const std::string& palettePath) {
  const PaletteReadResult read = ReadPaletteFile(palettePath);
  if (read.ok()) return Take(read);
  SourcedPalette palette;
  palette.Entries = DefaultPalette;
  palette.Size = kPaletteEntries;
  return palette;
}

SourcedPalette PaletteFromFile(const std::string& path) {
  const PaletteReadResult read = ReadPaletteFile(path);
  if (read.ok()) return Take(read);
  SourcedPalette failed;
  failed.Failure = PaletteFileErrorText(read.Error);
  return failed;
}

SourcedPalette PaletteFromImage(std::span<const uint8_t> image, int64_t offset,
                                RomPaletteFormat format, int32_t count) {
  const PaletteReadResult read = ReadPaletteFromImage(image, offset, format, count);
  if (read.ok()) return Take(read);
  SourcedPalette failed;
  failed.Failure = PaletteFileErrorText(read.Error);
  return failed;
}

}  // namespace varnock
