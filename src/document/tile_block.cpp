#include "document/tile_block.h"

#include "codec/codec_registry.h"
#include "codec/tile_codec.h"

#include <algorithm>

namespace varnock {
namespace {

constexpr int32_t kTileSide = 8;

std::span<const uint8_t> BytesFromOffset(std::span<const uint8_t> image, int64_t offset) {
  if (offset < 0 || offset > static_cast<int64_t>(image.size())) return {};
  return image.subspan(static_cast<size_t>(offset));
}

}  // namespace

int32_t RowsForTiles(int64_t tiles, int32_t columns) {
  if (tiles <= 0 || columns <= 0) return 0;
  const int64_t rows = (tiles + columns - 1) / columns;
  return rows > INT32_MAX ? INT32_MAX : static_cast<int32_t>(rows);
}

int64_t BlockTileCount(std::optional<int64_t> tiles, std::optional<int64_t> length,
                       int64_t available, int32_t tileBytes) {
  if (tiles) return *tiles;
  if (tileBytes <= 0) return 0;
  return (length.value_or(available) + tileBytes - 1) / tileBytes;
}

int32_t DefaultBlockColumns(int64_t tiles) {
  return static_cast<int32_t>(std::clamp<int64_t>(tiles, 1, 16));
}

bool BlockFitsPicture(int32_t columns, int32_t rows) {
  return columns >= 1 && rows >= 1 && int64_t{columns} * kTileSide <= kMaxPictureSide &&
         int64_t{rows} * kTileSide <= kMaxPictureSide &&
         int64_t{rows} * columns * kTileSide * kTileSide <= kMaxSurfacePixels;
}

void DecodeTileBlock(std::span<const uint8_t> image, const TileBlockPlace& place,
                     TileSurface& surface) {
  if (surface.PixelCount == 0 || surface.TileWidth != kTileSide ||
      surface.TileHeight != kTileSide || surface.TilesAcross != place.Columns ||
      surface.TilesDown != place.Rows) {
    surface.TileWidth = kTileSide;
    surface.TileHeight = kTileSide;
    surface.TilesAcross = place.Columns;
    surface.TilesDown = place.Rows;
    RebuildSurface(surface);
  }
  const TileFormatRow* row = LookUpTileFormat(place.Format);
  if (!row) return;
  surface.DecodeFormat = place.Format;
  surface.DecodeTileBytes = row->TileBytes;
  surface.DecodeBits = row->BitsPerPixel;
  surface.DecodeSkip = 0;
  surface.DecodeColumn = 0;
  surface.DecodeRow = 0;
  surface.DecodeAcross = place.Columns;
  surface.DecodeDown = place.Rows;
  DecodeTiles(BytesFromOffset(image, place.Offset), surface);
  ArrangeSurfaceTiles(surface, place.Arrangement);
}

void EncodeTileBlock(RomDocument& doc, int64_t offset, TileFormat format,
                     const TileArrangement& arrangement, const TileSurface& block) {
  const TileFormatRow* row = LookUpTileFormat(format);
  if (!row || offset < 0) return;
  // The tiles in byte order, so one request writes them all, row after row without gaps.
  TileSurface linear = block;
  LinearizeSurfaceTiles(linear, arrangement);
  linear.EncodeFormat = format;
  linear.EncodeTileBytes = row->TileBytes;
  linear.EncodeBits = row->BitsPerPixel;
  linear.EncodeSkip = 0;
  linear.EncodeColumn = 0;
  linear.EncodeRow = 0;
  linear.EncodeAcross = linear.TilesAcross;
  linear.EncodeDown = linear.TilesDown;
  doc.EncodeIntoImage(linear, offset);
}

}  // namespace varnock
