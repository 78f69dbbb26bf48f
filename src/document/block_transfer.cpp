#include "document/block_transfer.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "codec/surface_bounds.h"
#include "codec/tile_codec.h"
#include "document/step_names.h"

namespace varnock {
namespace {

int32_t ToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Tiles the surface's bitmap really holds (none when its size fields do not match it), so a
// wild size never drives a loop the codec would only refuse tile by tile.
struct TilesInside {
  int32_t Across = 0;
  int32_t Down = 0;
};

TilesInside TilesOf(const TileSurface& surface) {
  const SurfaceBounds bounds = BoundsOf(surface);
  if (bounds.Empty() || surface.TileWidth <= 0 || surface.TileHeight <= 0) return {};
  return {ToInt32(bounds.Width / surface.TileWidth), ToInt32(bounds.Height / surface.TileHeight)};
}

}  // namespace

TileRect OrderedSelection(const RomDocument& doc) {
  TileRect rect{doc.SelLeft, doc.SelTop, doc.SelRight, doc.SelBottom};
  if (rect.Right < rect.Left) std::swap(rect.Left, rect.Right);
  if (rect.Bottom < rect.Top) std::swap(rect.Top, rect.Bottom);
  return rect;
}

void CopyBlock(RomDocument& doc, TileSurface& clip) {
  const TileRect block = OrderedSelection(doc);
  const int64_t offset = doc.TileOffset(block.Top, block.Left);
  doc.CopyOffset = ToInt32(offset);
  doc.CopyColumns = ToInt32(int64_t{block.Right} - block.Left);
  doc.CopyRows = ToInt32(int64_t{block.Bottom} - block.Top);

  clip.TileWidth = doc.TileWidth;
  clip.TileHeight = doc.TileHeight;
  clip.TilesAcross = doc.CopyColumns;
  clip.TilesDown = doc.CopyRows;
  RebuildSurface(clip);
  clip.DecodeTileBytes = doc.TileBytes;
  clip.DecodeFormat = doc.Format;
  clip.DecodeBits = doc.BitsPerPixel;
  // Block rows lie RowBytes apart in the image: skip the rest of each grid row.
  clip.DecodeSkip = 0;
  clip.DecodeDown = 1;
  // The cells' tiles, in runs of consecutive tiles; in byte order a run is a whole block row.
  const TilesInside inside = TilesOf(clip);
  for (int32_t row = 0; row < inside.Down; ++row)
    ForEachTileRun(doc.Arrangement, doc.Columns, doc.Rows, block.Left, block.Top + row,
                   inside.Across, [&](int32_t column, int32_t count, int64_t) {
                     clip.DecodeColumn = column - block.Left;
                     clip.DecodeRow = row;
                     clip.DecodeAcross = count;
                     DecodeTiles(doc.BytesFrom(doc.TileOffset(block.Top + row, column)), clip);
                   });
  // The request as one block: rows RowBytes apart in the image, as Paste reads it.
  clip.DecodeSkip = doc.Columns - doc.CopyColumns;
  clip.DecodeColumn = 0;
  clip.DecodeRow = 0;
  clip.DecodeAcross = doc.CopyColumns;
  clip.DecodeDown = doc.CopyRows;
  // Entries 0..15 as ever; a deeper format needs its whole sub-palette.
  const int32_t colors = std::clamp(1 << std::clamp(doc.BitsPerPixel, 0, 8), 16, 256);
  std::copy_n(doc.ViewSurface.Colors.begin(), colors, clip.Colors.begin());
}

int64_t PasteTarget(const RomDocument& doc) {
  return doc.TileOffset(doc.PasteRow, doc.PasteColumn);
}

void CommitBlock(RomDocument& doc, TileSurface& block) {
  // A commit is an edit even where nothing of it lands inside the image.
  HistoryStep step(doc, PasteStepName(doc, block.TilesAcross, block.TilesDown, PasteTarget(doc)),
                   StepKeeping::Always);
  block.EncodeFormat = doc.Format;
  block.EncodeTileBytes = doc.TileBytes;
  block.EncodeBits = doc.BitsPerPixel;
  block.EncodeSkip = 0;
  block.EncodeDown = 1;
  // Each tile goes to the cell under it in this window's arrangement, whatever order it was
  // copied in; block rows go out top to bottom, so where they overlap the later one wins.
  const TilesInside inside = TilesOf(block);
  for (int32_t row = 0; row < inside.Down; ++row)
    ForEachTileRun(doc.Arrangement, doc.Columns, doc.Rows, doc.PasteColumn, doc.PasteRow + row,
                   inside.Across, [&](int32_t column, int32_t count, int64_t) {
                     block.EncodeColumn = column - doc.PasteColumn;
                     block.EncodeRow = row;
                     block.EncodeAcross = count;
                     doc.EncodeIntoImage(block, doc.TileOffset(doc.PasteRow + row, column));
                   });
  block.EncodeColumn = 0;
  block.EncodeRow = 0;
  block.EncodeAcross = block.TilesAcross;
  block.EncodeDown = block.TilesDown;
  block.EncodeSkip = doc.Columns - block.TilesAcross;
}

PixelBlock ExportBlock(RomDocument& doc) {
  const TileRect selected = OrderedSelection(doc);
  // The grid may have shrunk since the selection was made: only cells still shown are
  // exported, since the view surface holds nothing else.
  const int32_t left = std::clamp(selected.Left, 0, doc.Columns);
  const int32_t right = std::clamp(selected.Right, left, doc.Columns);
  const int32_t top = std::clamp(selected.Top, 0, doc.Rows);
  const int32_t bottom = std::clamp(selected.Bottom, top, doc.Rows);
  doc.CopyColumns = right - left;
  doc.CopyRows = bottom - top;
  return {left * doc.TileWidth, top * doc.TileHeight, doc.CopyColumns * doc.TileWidth,
          doc.CopyRows * doc.TileHeight};
}

PanelPlace SnapPastePanel(int32_t left, int32_t top, int32_t gridWidth, int32_t gridHeight,
                          int32_t cellWidth, int32_t cellHeight) {
  if (cellWidth <= 0 || cellHeight <= 0) return {};
  left = std::clamp(left, 0, std::max(gridWidth - 1, 0));
  top = std::clamp(top, 0, std::max(gridHeight - 1, 0));
  const int32_t column = left / cellWidth;
  const int32_t row = top / cellHeight;
  return {column * cellWidth, row * cellHeight, column, row};
}

}  // namespace varnock
