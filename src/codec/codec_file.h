// Description files (".vrkcodec"): an encoding a user describes, in INI syntax.
//
//   ; SNES 4 bits per pixel
//   [encoding]
//   name = SNES [4BPP]      ; optional; the file's name and the depth otherwise
//   bits = 4                ; bits per pixel, 1..8
//   bytes = 32              ; bytes per tile
//   order = msb             ; bit 0 of a byte is its most (msb) or least (lsb) significant bit
//   plane0 = 0, 1, 16       ; first bit, step to the next pixel, step to the next row
//   plane1 = 8, 1, 16
//   plane2 = 128, 1, 16
//   plane3 = 136, 1, 16
//
// Numbers are decimal or 0x hexadecimal, steps may be negative. A refused file names the line
// at fault and why. The encoding takes its short name (the one the command line uses) from the
// file's name without the extension.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/described_codec.h"
#include "codec/tile_format.h"

namespace varnock {

inline constexpr const char* kCodecFileExtension = ".vrkcodec";
// A description is a few lines; anything larger is not one.
inline constexpr uint64_t kMaxCodecFileBytes = 64 * 1024;

struct CodecFileResult {
  bool Ok = false;
  std::string DisplayName;
  CodecDescription Description;
  int32_t Line = 0;    // line of the first fault, from 1; 0 when the file could not be read
  std::string Reason;  // what is wrong there

  // "line 3: bits per pixel must be 1 to 8, not 9", or the reason alone without a line.
  std::string Message() const;
};

// Reads the text of a description file; `shortName` gives the display name when the file
// names none.
CodecFileResult ParseCodecFile(std::string_view text, const std::string& shortName);

// The file's name without its folder and without its last extension.
std::string CodecShortName(const std::string& path);

// Reads and parses the file at `path`.
CodecFileResult ReadCodecFile(const std::string& path);

struct CodecLoadResult {
  std::string Path;
  std::optional<TileFormat> Format;  // the Tag it is registered under
  bool Replaced = false;             // it was loaded before and kept its Tag
  std::string Message;               // why it was refused, with the line
};

// Reads, parses and registers one description file.
CodecLoadResult LoadCodecFile(const std::string& path);

// Loads every file in `folder` whose name ends in kCodecFileExtension (any case), in byte order
// of their names; a bad file is reported and the others still load. A missing folder has none.
std::vector<CodecLoadResult> LoadCodecFolder(const std::string& folder);

}  // namespace varnock
