#include "palette/palette_file.h"

#include <algorithm>

#include "io/file_io.h"
#include "palette/nesticle_state.h"
#include "palette/vrk_file.h"
#include "palette/zsnes_state.h"

namespace varnock {

PaletteFileError ReadPaletteFileBytes(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  return ReadWholeFile(path, out, kMaxPaletteFileBytes) ? PaletteFileError::None
                                                        : PaletteFileError::CannotOpen;
}

PaletteReadResult ReadPaletteFile(const std::string& path) {
  // Save states keep their emulator's numbered slots in the last character (.ST0, .ZS1, ...),
  // so only their first three characters choose the reader.
  const std::string ext = UpperExtension(path);
  if (ext == ".VRK") return LoadVrkPalette(path);
  if (ext.starts_with(".ST")) return LoadNesticleState(path);
  if (ext.starts_with(".ZS")) return LoadZsnesState(path);
  PaletteReadResult result;
  result.Error = PaletteFileError::UnknownExtension;
  return result;
}

PaletteWriteResult WritePaletteFile(const std::string& path, const PaletteTable& palette,
                                    PaletteFormat format, int32_t paletteSize) {
  return SaveVrkPalette(path, palette, format, paletteSize);
}

const char* PaletteFileErrorText(PaletteFileError error) {
  switch (error) {
    case PaletteFileError::None:
      return "The palette was read.";
    case PaletteFileError::CannotOpen:
      return "The palette file could not be opened.";
    case PaletteFileError::UnknownExtension:
      return "The file is neither a palette file nor a known save state.";
    case PaletteFileError::NotVarnockPalette:
      return "Error: Palette is not a valid Varnock Pro palette.";
    case PaletteFileError::TooShort:
      return "The file ends before its palette does.";
    case PaletteFileError::CannotWrite:
      return "The palette file could not be written.";
  }
  return "Unknown palette file error.";
}

PaletteReadResult ParsePaletteEntries(std::span<const uint8_t> bytes, size_t offset, int32_t count,
                                      PaletteFormat format) {
  PaletteReadResult result;
  const size_t entryBytes = static_cast<size_t>(PaletteEntryBytesOf(format));
  const size_t entries = static_cast<size_t>(std::max(count, 0));
  if (offset > bytes.size() || (bytes.size() - offset) / entryBytes < entries) {
    result.Error = PaletteFileError::TooShort;
    return result;
  }
  result.Data.PalFormat = format;
  result.Data.PaletteSize = static_cast<int32_t>(entries);
  result.Data.Entries.reserve(entries);
  for (size_t k = 0; k < entries; ++k)
    result.Data.Entries.push_back(
        DecodePaletteEntry(format, bytes.data() + offset + k * entryBytes));
  return result;
}

}  // namespace varnock
