// Which grid cell shows which tile of the page. The page is always consecutive tiles; an
// arrangement only orders them on the grid, in blocks of W x H tiles:
//
//   8x8        blocks of 1 x 1: tiles left to right, row by row (the order of the bytes)
//   8x16       blocks of 1 x 2: tile 2k above tile 2k + 1, the pairs left to right
//   16x16      blocks of 2 x 2 stored top-left, top-right, bottom-left, bottom-right
//   cols:WxH   blocks of W x H, inside a block top to bottom, then left to right
//   rows:WxH   blocks of W x H, inside a block left to right, then top to bottom
//
// Blocks fill the grid left to right, then a row of blocks further down; where the grid does
// not divide into whole blocks, the last block of a row (or the last row of blocks) is cut to
// what fits and holds that many fewer tiles. Decoding stays linear: a page is decoded in byte
// order and its tiles are then moved to their cells (ArrangeSurfaceTiles).
#pragma once

#include <cstdint>
#include <functional>

#include "codec/tile_surface.h"
#include "document/view_mouse.h"

namespace varnock {

enum class BlockOrder : uint8_t {
  Rows,     // inside a block: left to right, then top to bottom
  Columns,  // inside a block: top to bottom, then left to right
};

inline constexpr int32_t kMaxBlockSide = 8;

struct TileArrangement {
  BlockOrder Order = BlockOrder::Rows;
  int32_t BlockWidth = 1;   // tiles, 1..kMaxBlockSide
  int32_t BlockHeight = 1;  // tiles, 1..kMaxBlockSide
  friend bool operator==(const TileArrangement&, const TileArrangement&) = default;
};

inline constexpr TileArrangement kArrangement8x8{};
inline constexpr TileArrangement kArrangement8x16{BlockOrder::Columns, 1, 2};
inline constexpr TileArrangement kArrangement16x16{BlockOrder::Rows, 2, 2};

// Block sides brought into 1..kMaxBlockSide.
TileArrangement MakeArrangement(BlockOrder order, int32_t blockWidth, int32_t blockHeight);

// Block sides within 1..kMaxBlockSide, and for blocks one tile high or wide (which read the same
// in either order) the order that reads them straight: Rows for Wx1, Columns for 1xH. Equal
// orders of tiles then compare equal.
TileArrangement Canonical(const TileArrangement& arrangement);

// True when every cell shows the tile the byte order puts there: blocks one tile high.
bool IsByteOrder(const TileArrangement& arrangement);

// Which item of the arrangement menu stands for an arrangement.
enum class ArrangementKind { Tiles8x8, Tiles8x16, Tiles16x16, ColumnBlocks, RowBlocks };
ArrangementKind KindOf(const TileArrangement& arrangement);

// Index, from the page's first tile, of the tile that cell (column, row) of a `columns` x `rows`
// grid shows. Any cell has one: a column past the right edge continues on the next grid row (as
// bytes do), and rows below the grid belong to the following pages, each arranged alike. The 8x8
// arrangement gives row x columns + column. A grid without cells is read as byte order.
int64_t TileIndexAt(const TileArrangement& arrangement, int32_t columns, int32_t rows,
                    int32_t column, int32_t row);

// The cell that shows tile `index` (the inverse of TileIndexAt for cells inside the grid's
// columns); rows of later pages lie below the grid, earlier ones above it.
GridCell CellOfTile(const TileArrangement& arrangement, int32_t columns, int32_t rows,
                    int64_t index);

// Calls `run(firstColumn, count, firstIndex)` for the cells (column .. column + count - 1, row),
// grouped into runs whose tile indices follow one another, left to right. In byte order a whole
// row of cells is one run.
void ForEachTileRun(const TileArrangement& arrangement, int32_t columns, int32_t rows,
                    int32_t column, int32_t row, int32_t count,
                    const std::function<void(int32_t, int32_t, int64_t)>& run);

// Moves the tiles of a surface decoded in byte order (tile k in cell (k mod across, k div
// across)) to the cells the arrangement gives them, and back for encoding a page. A surface
// whose size fields do not match its pixels, or whose tiles are not 8 x 8, is left as it is.
void ArrangeSurfaceTiles(TileSurface& surface, const TileArrangement& arrangement);
void LinearizeSurfaceTiles(TileSurface& surface, const TileArrangement& arrangement);

// Grid sizes in whole blocks: the largest multiple of `block` within [least, most] not above
// `count`, or the smallest one when `count` is below them all. StepGridCount goes one block
// further (direction > 0) or back (direction < 0) from the snapped count, staying within
// [least, most].
int32_t SnapGridCount(int32_t count, int32_t block, int32_t least, int32_t most);
int32_t StepGridCount(int32_t count, int32_t block, int32_t direction, int32_t least, int32_t most);

}  // namespace varnock
