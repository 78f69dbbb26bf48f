#include "tools/block_geometry.h"

#include <algorithm>
#include <cstring>

#include "codec/tile_codec.h"
#include "document/view_readout.h"

namespace varnock {
namespace {

constexpr int32_t kTileSide = 8;

bool SameSize(const TileSurface& a, const TileSurface& b) {
  return a.TilesAcross == b.TilesAcross && a.TilesDown == b.TilesDown &&
         a.PixelCount == b.PixelCount && a.Pixels.size() >= static_cast<size_t>(a.PixelCount) &&
         b.Pixels.size() >= static_cast<size_t>(b.PixelCount);
}

// Tile (c, r) of a surface of 8 x 8 tiles against the same tile of another of the same size.
bool SameTile(const TileSurface& a, const TileSurface& b, int32_t c, int32_t r) {
  const auto width = static_cast<size_t>(a.Width());
  for (int32_t y = 0; y < kTileSide; ++y) {
    const size_t at = (static_cast<size_t>(r) * kTileSide + y) * width + static_cast<size_t>(c) * 8;
    if (std::memcmp(a.Pixels.data() + at, b.Pixels.data() + at, kTileSide) != 0) return false;
  }
  return true;
}

}  // namespace

std::optional<TileRect> SelectedBlockCells(const TileRect& selection, int32_t gridColumns,
                                           int32_t gridRows) {
  const int32_t left = std::max(selection.Left, 0);
  const int32_t top = std::max(selection.Top, 0);
  const int32_t right = std::min({selection.Right, gridColumns, left + kMaxBlockTiles});
  const int32_t bottom = std::min({selection.Bottom, gridRows, top + kMaxBlockTiles});
  if (right <= left || bottom <= top) return std::nullopt;
  return TileRect{left, top, right, bottom};
}

std::optional<TileRect> ArrangementBlockAround(const TileArrangement& arrangement,
                                               int32_t gridColumns, int32_t gridRows,
                                               GridCell cell) {
  if (cell.Column < 0 || cell.Row < 0 || cell.Column >= gridColumns || cell.Row >= gridRows)
    return std::nullopt;
  const TileArrangement a = Canonical(arrangement);
  const int32_t left = cell.Column / a.BlockWidth * a.BlockWidth;
  const int32_t top = cell.Row / a.BlockHeight * a.BlockHeight;
  return TileRect{left, top, std::min(left + a.BlockWidth, gridColumns),
                  std::min(top + a.BlockHeight, gridRows)};
}

BlockLayout LayOutBlock(const RomDocument& doc, const TileRect& cells) {
  BlockLayout layout;
  layout.Format = doc.Format;
  layout.TileBytes = doc.TileBytes;
  layout.BitsPerPixel = doc.BitsPerPixel;
  layout.Columns = std::clamp(cells.Right - cells.Left, 0, kMaxBlockTiles);
  layout.Rows = std::clamp(cells.Bottom - cells.Top, 0, kMaxBlockTiles);
  if (layout.Empty()) return {};
  for (int32_t r = 0; r < layout.Rows; ++r)
    for (int32_t c = 0; c < layout.Columns; ++c)
      layout.TileOffsets.push_back(doc.TileOffset(cells.Top + r, cells.Left + c));
  return layout;
}

std::optional<BlockPixelPlace> PlaceOfBlockPixel(const BlockLayout& layout, PenPixel pixel) {
  if (pixel.X < 0 || pixel.Y < 0 || pixel.X >= layout.Width() || pixel.Y >= layout.Height())
    return std::nullopt;
  const int32_t tile = pixel.Y / kTileSide * layout.Columns + pixel.X / kTileSide;
  return BlockPixelPlace{tile,
                         layout.TileOffsets[static_cast<size_t>(tile)],
                         {pixel.X % kTileSide, pixel.Y % kTileSide}};
}

void DecodeBlock(std::span<const uint8_t> image, const BlockLayout& layout, TileSurface& block) {
  if (block.TilesAcross != layout.Columns || block.TilesDown != layout.Rows ||
      block.TileWidth != kTileSide || block.TileHeight != kTileSide ||
      block.PixelCount != layout.Width() * layout.Height()) {
    block.TileWidth = block.TileHeight = kTileSide;
    block.TilesAcross = layout.Columns;
    block.TilesDown = layout.Rows;
    RebuildSurface(block);
  }
  std::fill(block.Pixels.begin(), block.Pixels.end(), uint8_t{0});
  block.DecodeFormat = layout.Format;
  block.DecodeTileBytes = layout.TileBytes;
  block.DecodeBits = layout.BitsPerPixel;
  block.DecodeSkip = 0;
  block.DecodeAcross = block.DecodeDown = 1;
  for (int32_t r = 0; r < layout.Rows; ++r)
    for (int32_t c = 0; c < layout.Columns; ++c) {
      const int64_t offset = layout.TileOffsets[static_cast<size_t>(r * layout.Columns + c)];
      if (offset < 0 || offset >= static_cast<int64_t>(image.size())) continue;
      block.DecodeColumn = c;
      block.DecodeRow = r;
      DecodeTiles(image.subspan(static_cast<size_t>(offset)), block);
    }
}

PixelCanvas CanvasOfBlock(TileSurface& block) {
  return MakeCanvas(std::span<uint8_t>(block.Pixels), block.Width(), block.Height());
}

std::vector<int32_t> ChangedBlockTiles(const BlockLayout& layout, const TileSurface& before,
                                       const TileSurface& after) {
  std::vector<int32_t> changed;
  if (!SameSize(before, after) || before.TilesAcross != layout.Columns ||
      before.TilesDown != layout.Rows || before.PixelCount != layout.Width() * layout.Height())
    return changed;
  for (int32_t r = 0; r < layout.Rows; ++r)
    for (int32_t c = 0; c < layout.Columns; ++c)
      if (!SameTile(before, after, c, r)) changed.push_back(r * layout.Columns + c);
  return changed;
}

std::vector<int32_t> WriteBlockChanges(RomDocument& doc, const BlockLayout& layout,
                                       const TileSurface& before, TileSurface& after,
                                       std::string_view description) {
  const std::vector<int32_t> changed = ChangedBlockTiles(layout, before, after);
  if (changed.empty()) return changed;
  const HistoryStep step(doc, description);
  after.EncodeFormat = layout.Format;
  after.EncodeTileBytes = layout.TileBytes;
  after.EncodeBits = layout.BitsPerPixel;
  after.EncodeSkip = 0;
  after.EncodeAcross = after.EncodeDown = 1;
  for (const int32_t tile : changed) {
    after.EncodeColumn = tile % layout.Columns;
    after.EncodeRow = tile / layout.Columns;
    doc.EncodeIntoImage(after, layout.TileOffsets[static_cast<size_t>(tile)]);
  }
  return changed;
}

std::string BlockStepName(const RomDocument& doc, std::string_view operation,
                          const BlockLayout& layout) {
  std::string name(operation);
  name += ", blocco " + std::to_string(layout.Columns) + "x" + std::to_string(layout.Rows);
  if (!layout.TileOffsets.empty()) name += " a " + OffsetReadout(doc, layout.TileOffsets.front());
  return name;
}

PixelRect ChangedPixels(const TileSurface& before, const TileSurface& after) {
  if (!SameSize(before, after) || before.PixelCount == 0) return {};
  const int32_t width = before.Width(), height = before.Height();
  PixelRect box{width, height, 0, 0};
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* a = before.Pixels.data() + static_cast<size_t>(y) * width;
    const uint8_t* b = after.Pixels.data() + static_cast<size_t>(y) * width;
    if (std::memcmp(a, b, static_cast<size_t>(width)) == 0) continue;
    int32_t first = 0;
    while (a[first] == b[first]) ++first;
    int32_t last = width - 1;
    while (a[last] == b[last]) --last;
    box = {std::min(box.Left, first), std::min(box.Top, y), std::max(box.Right, last + 1), y + 1};
  }
  return box.Empty() ? PixelRect{} : box;
}

}  // namespace varnock
