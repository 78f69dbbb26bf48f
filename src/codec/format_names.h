// The short words that name the fixed formats wherever a name is typed (the editor's command
// line, the command-line tool): one per Tag, in Tag order.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "codec/tile_format.h"

namespace varnock {

inline constexpr std::array<const char*, kFixedTileFormatCount> kFormatShortNames{
    "1bpp",  "nes", "gb",      "vb",  "ngpc",  "snes3",
    "snes4", "sms", "genesis", "gba", "snes8", "linear8"};

// Equal but for the case of ASCII letters; other bytes must match exactly.
bool SameShortName(std::string_view a, std::string_view b);

// The fixed format a short name stands for.
std::optional<TileFormat> ParseFixedFormatName(std::string_view name);

}  // namespace varnock
