// Reading a palette from a file chosen by its extension, and writing palette files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "io/inflate_stream.h"
#include "palette/palette.h"

namespace varnock {

enum class PaletteFileError {
  None,
  CannotOpen,         // missing, unreadable, or a folder
  UnknownExtension,   // not .VRK and not beginning with .ST or .ZS
  NotVarnockPalette,  // a .VRK file without the VRK signature
  TooShort,           // a save state or .VRK that ends before its entries do
  CannotWrite,        // the palette file could not be written
  WrongSignature,     // the contents are not of the kind the name or signature says
  Damaged,            // a compressed stream, chunk or text line that does not hold together
  UnknownVersion,     // a save state of a version whose layout is not known
  TooLarge,           // a compressed stream that unpacks past the limit
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

// Emulators number their save slots in the last character: ".000".."009", ".FC0", ".SS0",
// ".GS0". True when the upper-cased `ext` is `stem` and one digit.
bool IsStateSlot(const std::string& ext, const char* stem);

// Reads the palette at `path`. ".VRK", ".ST*" (NESticle) and ".ZS*" (ZSNES) always choose
// their reader. Any other file is recognised by its signature, then by the extensions of the
// other readers, then, as a raw memory dump, by its exact size.
PaletteReadResult ReadPaletteFile(const std::string& path);

// The kinds of file a palette is written as. Every kind but .VRK holds red, green, blue.
enum class PaletteFileKind { Vrk, Act, Gpl, JascPal, RiffPal };

// The kind a palette written to `path` gets by its extension: ".ACT", ".GPL", ".PAL" (JASC text,
// unless the file already there is a RIFF palette), anything else .VRK.
PaletteFileKind PaletteFileKindFor(const std::string& path);

// True when `path` names a palette file that saving may replace; false for save states and
// memory dumps, which a palette file written in their place would destroy.
bool IsPaletteFilePath(const std::string& path);

// Writes entries 0..paletteSize-1 (at most 256) as `kind`, through a temporary file renamed
// over `path` only when complete. `format` is the entries' encoding in a .VRK file.
PaletteWriteResult WritePaletteFile(const std::string& path, const PaletteTable& palette,
                                    PaletteFormat format, int32_t paletteSize,
                                    PaletteFileKind kind);
// The same, with the kind PaletteFileKindFor(path) gives.
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

// Reads the whole file and hands its bytes to `parse`.
PaletteReadResult LoadPaletteFileWith(const std::string& path,
                                      PaletteReadResult (*parse)(std::span<const uint8_t>));

// How a failed decompression is reported.
PaletteFileError PaletteErrorOf(InflateError error);

// A failed read carrying `error`.
PaletteReadResult PaletteReadFailure(PaletteFileError error);

// Entries 0..n-1 as read from an RGB palette file: format RGB, PaletteSize n (at most 256).
PaletteReadResult RgbPaletteResult(std::vector<PaletteEntry> entries);

// Entries 0..paletteSize-1 (clamped to 0..256) of `palette`, for the writers of RGB files.
std::span<const PaletteEntry> PaletteEntriesToWrite(const PaletteTable& palette,
                                                    int32_t paletteSize);

// Writes `bytes` through a temporary file, as every palette writer does.
PaletteWriteResult WritePaletteBytes(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace varnock
