// The options several subcommands share: tile format, arrangement, compression, numbers and
// the palette a block is shown in. A bad value stops with status 2 and says what would do.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "codec/tile_format.h"
#include "compression/compression.h"
#include "document/rom_document.h"
#include "document/tile_arrangement.h"
#include "palette/palette.h"
#include "tool/tool_arguments.h"

namespace varnock {

// The encodings of the user's folder, as the editor loads them at start-up; a file that is
// refused is named on standard error with its line and reason, and the command goes on.
void LoadUserCodecs();

// --codec FILE: registers an encoding description, so --format can name it.
void LoadCodecOption(const ParsedArguments& arguments, std::string_view command);

// --format NAME, or the format the image's extension selects.
TileFormat FormatOption(const ParsedArguments& arguments, std::string_view command,
                        const RomDocument& doc);
// --arrangement NAME, or 8x8.
TileArrangement ArrangementOption(const ParsedArguments& arguments, std::string_view command);
// A compression format's short name.
CompressionFormat CompressionNamed(std::string_view name, std::string_view command);
// `option` as a number; `fallback` when it is not given.
int64_t NumberOption(const ParsedArguments& arguments, std::string_view command,
                     std::string_view option, int64_t fallback);
std::optional<int64_t> OptionalNumber(const ParsedArguments& arguments, std::string_view command,
                                      std::string_view option);
// A number given as an operand or part of a value; `what` names it in the complaint.
int64_t NumberText(std::string_view text, std::string_view command, std::string_view what);
// A palette encoding's short name (rgb, nes, bgr15, ...).
PaletteFormat PaletteEncodingNamed(std::string_view name, std::string_view command);

// The palette a block of tiles is shown in, as a ROM window gets it: --palette FILE (any file
// the editor reads), --palette-rom OFFSET:ENCODING:COUNT (read from `doc`'s image), or the
// palette file beside the ROM when it loads, else the built-in colours.
struct ToolPalette {
  PaletteTable Entries{};
  int32_t Size = 0;
};
ToolPalette PaletteOption(const ParsedArguments& arguments, std::string_view command,
                          const RomDocument& doc);

// --subpalette K of `palette` for tiles of `bitsPerPixel` bits, as the colour table a picture
// of them gets; stops when the palette has no such sub-palette.
std::array<SurfaceColor, 256> SubPaletteOption(const ParsedArguments& arguments,
                                               std::string_view command, const ToolPalette& palette,
                                               int32_t bitsPerPixel);

}  // namespace varnock
