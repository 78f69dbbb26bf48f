// Project files ("NAME.vrkproj"): a ROM's graphics, each named once with everything needed to
// show it, export it to a picture and put the picture back. TOML, for example:
//
//   rom = "game.gba"                 # relative to the project file
//
//   [[resource]]
//   name = "font"
//   offset = 0x2100                  # of the tiles, or of the stream with compression
//   format = "gba"                   # default: the one the ROM's extension selects
//   arrangement = "8x8"              # default 8x8
//   columns = 16                     # tiles per row of the picture (default 16, or fewer tiles)
//   tiles = 64                       # or length = BYTES; default: to the end of image or stream
//   palette = "font.vrk"             # a palette file or save state, relative to the project
//   palette-rom = { offset = 0x7E00, encoding = "bgr15", count = 16 }   # or colours in the ROM
//   subpalette = 0
//   compression = "lz10"             # the tiles are the stream that starts at offset
//   room = 1958                      # bytes the stream may take (default: what it takes now)
//   fill = 0xFF                      # what a shorter stream leaves in its room (default: the
//                                    # byte of the image's free space)
//   png = "gfx/font.png"             # default: NAME.png beside the project
//
// Keys the program does not know are kept, as they stand, when it writes the file again. A
// refused file names the line at fault and why.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/tile_format.h"
#include "compression/compression.h"
#include "document/tile_arrangement.h"
#include "io/file_io.h"
#include "palette/rom_palette.h"

namespace varnock {

inline constexpr const char* kProjectFileExtension = ".vrkproj";
// Thousands of resources take a few hundred kilobytes; anything far larger is not a project.
inline constexpr uint64_t kMaxProjectFileBytes = 8u << 20;

// The keys of a table the program does not know, kept for the next write.
struct ProjectExtras;

struct ResourcePalette {
  enum class Source {
    Beside,  // the palette file beside the ROM when it loads, else the built-in colours
    File,    // a palette file, save state or dump
    Rom,     // entries read from the ROM image
  };
  Source From = Source::Beside;
  std::string File;  // as written: relative to the project's folder, or absolute
  int64_t Offset = 0;
  RomPaletteFormat Encoding = 0;
  int32_t Count = 0;
  friend bool operator==(const ResourcePalette&, const ResourcePalette&) = default;
};

struct ProjectResource {
  std::string Name;
  int64_t Offset = 0;
  TileFormat Format = 0;
  TileArrangement Arrangement = kArrangement8x8;
  std::optional<int32_t> Columns;
  std::optional<int64_t> Tiles;   // how many tiles, or
  std::optional<int64_t> Length;  // how many bytes, rounded up to whole tiles
  ResourcePalette Palette;
  int32_t SubPalette = 0;
  std::optional<CompressionFormat> Compression;
  std::optional<int64_t> Room;
  std::optional<uint8_t> Fill;
  std::string Picture;  // the "png" key as written; empty: NAME.png beside the project
  std::shared_ptr<const ProjectExtras> Extras;
};

struct Project {
  std::string Rom;  // as written: relative to the project's folder, or absolute
  std::vector<ProjectResource> Resources;
  std::shared_ptr<const ProjectExtras> Extras;

  // The resource named `name`, or null.
  const ProjectResource* Find(std::string_view name) const;
  ProjectResource* Find(std::string_view name);
};

struct ProjectReadResult {
  bool Ok = false;
  Project Read;
  int32_t Line = 0;    // line of the fault, from 1; 0 when none can be named
  std::string Reason;  // what is wrong there

  // "line 7: offset must be a whole number from 0 to 2147483647", or the reason alone.
  std::string Message() const;
};

// Reads the text of a project file.
ProjectReadResult ParseProject(std::string_view text);
// Reads and parses the file at `path` (bytes).
ProjectReadResult ReadProjectFile(const std::string& path);

// The project as TOML text: its known keys from the fields, the unknown ones as they were read.
std::string ProjectText(const Project& project);
// Writes the text over `path` through the safe write: the old file stays whole if it fails.
FileWriteResult WriteProjectFile(const std::string& path, const Project& project);

// Why `name` cannot name a new resource of `project` (empty, taken, or with a control
// character); empty when it can.
std::string ResourceNameProblem(const Project& project, std::string_view name);

}  // namespace varnock
