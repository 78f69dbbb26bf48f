// A block of tiles at any offset of an image, shown as a grid in an arrangement: what a view
// page shows, what the command-line tool exports to a picture, and where a picture's tiles go
// back. The grid holds Columns x Rows consecutive tiles from Offset; the arrangement only
// orders them on it (document/tile_arrangement.h).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "codec/tile_format.h"
#include "codec/tile_surface.h"
#include "document/rom_document.h"
#include "document/tile_arrangement.h"

namespace varnock {

struct TileBlockPlace {
  int64_t Offset = 0;
  TileFormat Format = 0;
  TileArrangement Arrangement = kArrangement8x8;
  int32_t Columns = 16;
  int32_t Rows = 1;
};

// Rows of `columns` tiles that hold `tiles` tiles, the last row filled up by the tiles that
// follow; 0 for no tiles or no columns.
int32_t RowsForTiles(int64_t tiles, int32_t columns);

// How many tiles a block shows of the `available` bytes from its first: `tiles`, or `length`
// bytes rounded up to whole tiles, or all of them (the last one partly past the end).
int64_t BlockTileCount(std::optional<int64_t> tiles, std::optional<int64_t> length,
                       int64_t available, int32_t tileBytes);
// The columns of a block of `tiles` when none are asked for: 16, or fewer when there are fewer.
int32_t DefaultBlockColumns(int64_t tiles);
// Whether a grid of `columns` x `rows` tiles makes a picture one import can read back.
bool BlockFitsPicture(int32_t columns, int32_t rows);

// Decodes the block from `image` into `surface`, each tile in the cell the arrangement gives
// it. The surface becomes Columns x Rows tiles of 8 x 8 (kept, with its colours, when it is that
// size already) with a decode request for the whole grid; bytes past the image's end decode as
// index 0. A format that stands for nothing decodes nothing.
void DecodeTileBlock(std::span<const uint8_t> image, const TileBlockPlace& place,
                     TileSurface& surface);

// Encodes the whole 8 x 8 tiles of `block` into the document's image: the block is a grid of
// its own TilesAcross x TilesDown cells, so its cell (c, r) goes to the tile the arrangement
// gives that cell, counted from `offset`. Writes stop at the image's last byte (the document's
// one write path); `block` itself is left as it was.
void EncodeTileBlock(RomDocument& doc, int64_t offset, TileFormat format,
                     const TileArrangement& arrangement, const TileSurface& block);

}  // namespace varnock
