// Reading a palette from a file chosen by its extension, and writing palette files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "palette/palette.h"

namespace varnock {

enum class PaletteFileError {
  None,
  CannotOpen,         // missing, unreadable, or a folder
  UnknownExtension,   // not .VRK and not beginning with .ST or .ZS
  NotVarnockPalette,  // a .VRK file without the VRK signature
  TooShort,           // a save state or .VRK that ends before its entries do
  CannotWrite,        // the palette file could not be written
};

// What a successful read sets on the window. Nothing is applied unless the read succeeded.
struct PaletteFileData {
  PaletteFormat PalFormat = 0;
  int32_t PaletteSize = 0;            // entries the file holds (or 256 when it holds more)
  std::vector<PaletteEntry> Entries;  // entries 0..min(PaletteSize, 256)-1
};

struct PaletteReadResult {
  PaletteFileError Error = PaletteFileError::None;
  PaletteFileData Data;
  bool ok() const { return Error == PaletteFileError::None; }
};

struct PaletteWriteResult {
  PaletteFileError Error = PaletteFileError::None;
  std::string Reason;  // what the system said, for the message to the user
  bool ok() const { return Error == PaletteFileError::None; }
};

// Reads the palette at `path`, choosing the reader by extension: ".VRK", ".ST*" (NESticle),
// ".ZS*" (ZSNES).
PaletteReadResult ReadPaletteFile(const std::string& path);

// Writes a .VRK file with `paletteSize` entries (at most 256) encoded by `format`, through a
// temporary file renamed over `path` only when complete.
PaletteWriteResult WritePaletteFile(const std::string& path, const PaletteTable& palette,
                                    PaletteFormat format, int32_t paletteSize);

// One line for the user about a failure.
const char* PaletteFileErrorText(PaletteFileError error);

// Largest file the readers load into memory; palette files and save states are far smaller.
inline constexpr uint64_t kMaxPaletteFileBytes = 16u << 20;

// Reads the whole file at `path` for one of the readers: None, or CannotOpen when it is
// missing, unreadable, not a regular file or larger than kMaxPaletteFileBytes.
PaletteFileError ReadPaletteFileBytes(const std::string& path, std::vector<uint8_t>& out);

// The readers' common part: `count` entries encoded in `format`, one after another from
// `offset`, become palette entries 0.. with PaletteSize `count`. TooShort when the bytes end
// before the last entry does.
PaletteReadResult ParsePaletteEntries(std::span<const uint8_t> bytes, size_t offset, int32_t count,
                                      PaletteFormat format);

}  // namespace varnock
