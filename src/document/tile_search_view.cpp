#include "document/tile_search_view.h"

#include <algorithm>

#include "document/block_transfer.h"
#include "document/tile_arrangement.h"

namespace varnock {

std::vector<int64_t> PickedTileOffsets(const RomDocument& doc) {
  if (!doc.EditTile || doc.EditTileOffset < 0 ||
      int64_t{doc.EditTileOffset} + doc.TileBytes > doc.RomSize)
    return {};
  return {doc.EditTileOffset};
}

std::vector<int64_t> SelectionTileOffsets(const RomDocument& doc) {
  std::vector<int64_t> offsets;
  if (!doc.HasSelection) return offsets;
  const TileRect cells = OrderedSelection(doc);
  for (int32_t row = std::max(cells.Top, 0); row < std::min(cells.Bottom, doc.Rows); ++row)
    for (int32_t column = std::max(cells.Left, 0); column < std::min(cells.Right, doc.Columns);
         ++column) {
      const int64_t offset = doc.TileOffset(row, column);
      if (offset >= 0 && offset + doc.TileBytes <= doc.RomSize) offsets.push_back(offset);
    }
  return offsets;
}

TileOnView ViewShowingTile(const RomDocument& doc, int64_t offset) {
  TileOnView view;
  view.ViewOffset = doc.ClampOffset(offset);
  const int64_t tileBytes = std::max(doc.TileBytes, 1);
  const int64_t pageTiles = int64_t{doc.Columns} * doc.Rows;
  int64_t start = std::min<int64_t>(offset, doc.ScrollMaximum);
  // Back to a whole number of tiles before the tile.
  start -= (tileBytes - (offset - start) % tileBytes) % tileBytes;
  if (start < doc.ScrollMinimum || start > offset) return view;
  const int64_t index = (offset - start) / tileBytes;
  if (index >= pageTiles) return view;
  view.ViewOffset = static_cast<int32_t>(start);
  view.Cell = CellOfTile(doc.Arrangement, doc.Columns, doc.Rows, index);
  return view;
}

}  // namespace varnock
