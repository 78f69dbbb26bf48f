#include "document/tile_drop.h"

#include <algorithm>

#include "codec/tile_codec.h"
#include "document/step_names.h"
#include "document/view_mouse.h"

namespace varnock {

std::optional<int32_t> DropOffset(const RomDocument& doc, int32_t x, int32_t y) {
  // Truncating division would fold a point just left of or above the grid into its first
  // column or row, so those points are turned away before dividing.
  if (x < 0 || y < 0 || doc.CellWidth <= 0 || doc.CellHeight <= 0) return std::nullopt;
  const GridCell cell = CellAt(x, y, doc.CellWidth, doc.CellHeight);
  if (cell.Column >= doc.Columns || cell.Row >= doc.Rows) return std::nullopt;
  return PickOffset(doc, cell);
}

std::optional<DropUndo> DropTileIntoImage(RomDocument& doc, TileSurface& tile, int64_t offset) {
  const std::span<const uint8_t> target = doc.BytesFrom(offset);
  if (target.empty()) return std::nullopt;
  DropUndo undo;
  undo.Offset = static_cast<int32_t>(offset);
  undo.Length = static_cast<int32_t>(std::min<size_t>(
      {target.size(), static_cast<size_t>(std::max(doc.TileBytes, 0)), undo.Bytes.size()}));
  std::copy_n(target.begin(), undo.Length, undo.Bytes.begin());
  tile.EncodeFormat = doc.Format;
  tile.EncodeTileBytes = doc.TileBytes;
  tile.EncodeBits = doc.BitsPerPixel;
  tile.EncodeColumn = tile.EncodeRow = tile.EncodeSkip = 0;
  tile.EncodeAcross = tile.EncodeDown = 1;
  HistoryStep step(doc, DropStepName(doc, offset));
  doc.EncodeIntoImage(tile, offset);
  return undo;
}

void RestoreDroppedBytes(RomDocument& doc, const DropUndo& undo) {
  const size_t length = static_cast<size_t>(std::clamp<int32_t>(undo.Length, 0, kMaxTileBytes));
  HistoryStep step(doc, DropUndoStepName(doc, undo.Offset));
  doc.WriteBytes(undo.Offset, std::span(undo.Bytes).first(length));
}

}  // namespace varnock
