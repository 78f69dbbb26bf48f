// How the colours of an imported picture stand to the palette its tiles are shown in: the same
// colours at the same indices, the same colours renumbered (image editors renumber the tables
// they write), or others; and the renumbering undone.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

#include "codec/tile_surface.h"

namespace varnock {

struct IndexUse {
  std::bitset<256> Used;  // indices some pixel has
  int32_t Highest = -1;   // -1 for a picture without pixels
};
IndexUse IndicesUsed(const TileSurface& picture);

// Same: every used index has the palette's colour at that index. Reordered: every used index
// has one of the palette's colours, some at another index. Other: a used index lies at or past
// the picture's `tableSize` entries (it has no colour of the file's), or has a colour none of
// the palette's first `count` entries has.
enum class ColorOrder { Same, Reordered, Other };
ColorOrder CompareToPalette(const TileSurface& picture, const IndexUse& use, int32_t tableSize,
                            const std::array<SurfaceColor, 256>& palette, int32_t count);

// Gives every pixel the palette index of its colour: its own index where the palette has that
// colour there, else the lowest index that has it; the picture then carries the palette's
// colours. When some used index cannot be mapped (as for Other above), nothing changes and
// that index is returned.
std::optional<int32_t> MapToPaletteByColor(TileSurface& picture, const IndexUse& use,
                                           int32_t tableSize,
                                           const std::array<SurfaceColor, 256>& palette,
                                           int32_t count);

}  // namespace varnock
