// A ROM window and the tile search: which tiles of the window a search takes (the picked one,
// the selection), and where the view goes to show a tile a search found.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "document/rom_document.h"
#include "document/view_mouse.h"

namespace varnock {

// The picked tile's offset, when a tile is picked and lies wholly inside the image.
std::vector<int64_t> PickedTileOffsets(const RomDocument& doc);
// The offsets of the selected cells of the grid, row by row, each tile wholly inside the image.
std::vector<int64_t> SelectionTileOffsets(const RomDocument& doc);

struct TileOnView {
  int32_t ViewOffset = 0;
  std::optional<GridCell> Cell;  // the cell that then shows the tile; none when no page can
};

// The view that shows the tile at `offset` in its cell: the page starts at the tile when the
// scroll range allows it, else as near before it as the range allows, a whole number of tiles
// before it so that the tile has a cell. Without such a page (the tile lies before the first
// viewable byte) the view goes as near as it can and no cell shows the tile.
TileOnView ViewShowingTile(const RomDocument& doc, int64_t offset);

}  // namespace varnock
