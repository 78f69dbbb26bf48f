#include "search/tile_column.h"

#include "codec/tile_codec.h"

namespace varnock {

void DecodeTileColumn(std::span<const uint8_t> source, TileFormat format, int32_t tileBytes,
                      int32_t count, TileSurface& column) {
  if (column.TilesAcross != 1 || column.TilesDown != count) {
    column.TilesAcross = 1;
    column.TilesDown = count;
    RebuildSurface(column);
  }
  column.DecodeFormat = format;
  column.DecodeTileBytes = tileBytes;
  column.DecodeSkip = 0;
  column.DecodeColumn = 0;
  column.DecodeRow = 0;
  column.DecodeAcross = 1;
  column.DecodeDown = count;
  DecodeTiles(source, column);
}

}  // namespace varnock
