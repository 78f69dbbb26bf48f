// The short words a user types to choose a tile format or an arrangement: the editor's command
// line and the command-line tool both read them here, so the two accept the same names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "codec/tile_format.h"
#include "document/tile_arrangement.h"

namespace varnock {

// "1bpp nes gb vb ngpc snes3 snes4 sms genesis gba snes8 linear8" for the fixed formats, then a
// described encoding by the name of its file without the extension; without regard to case.
std::optional<TileFormat> ParseFormatName(std::string_view name);
// The name ParseFormatName reads back to `format`; empty for a Tag that stands for nothing.
std::string FormatShortName(int format);
// Every format name, separated by spaces: the fixed ones, then those loaded so far.
std::string FormatNameList();

// "8x8", "8x16", "16x16", "cols:WxH", "rows:WxH" (W and H 1..8), without regard to case, read
// into the Canonical arrangement, so names of the same order read alike.
std::optional<TileArrangement> ParseArrangementName(std::string_view name);
std::string ArrangementName(const TileArrangement& arrangement);
// The forms an arrangement name may take, for help texts and refusals.
inline constexpr const char* kArrangementNameForms = "8x8 8x16 16x16 cols:WxH rows:WxH";

}  // namespace varnock
