// Decoding tiles that follow one another in bytes into one surface column, 64 contiguous
// pixel bytes per tile: the form the search hashes and compares.
#pragma once

#include <cstdint>
#include <span>

#include "codec/tile_format.h"
#include "codec/tile_surface.h"

namespace varnock {

// Makes `column` one tile wide and `count` tiles down and decodes into it the `count` tiles of
// `format` (each `tileBytes` long) from the start of `source`; bytes past its end give 0.
void DecodeTileColumn(std::span<const uint8_t> source, TileFormat format, int32_t tileBytes,
                      int32_t count, TileSurface& column);

}  // namespace varnock
