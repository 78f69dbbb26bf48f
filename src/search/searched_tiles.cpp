#include "search/searched_tiles.h"

#include <algorithm>

#include "codec/codec_registry.h"
#include "search/tile_column.h"
#include "search/tile_hash.h"

namespace varnock {

TileValues Oriented(const TileValues& tile, TileOrientation orientation) {
  const bool flipX =
      orientation == TileOrientation::Horizontal || orientation == TileOrientation::Both;
  const bool flipY =
      orientation == TileOrientation::Vertical || orientation == TileOrientation::Both;
  TileValues out;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      out[static_cast<size_t>(8 * y + x)] =
          tile[static_cast<size_t>(8 * (flipY ? 7 - y : y) + (flipX ? 7 - x : x))];
  return out;
}

TileValues PaletteFree(const TileValues& tile) {
  std::array<int16_t, 256> number;
  number.fill(-1);
  int16_t next = 0;
  TileValues out;
  for (size_t i = 0; i < tile.size(); ++i) {
    int16_t& n = number[tile[i]];
    if (n < 0) n = next++;
    out[i] = static_cast<uint8_t>(n);
  }
  return out;
}

bool IsBlank(const TileValues& tile) {
  return std::all_of(tile.begin(), tile.end(), [&tile](uint8_t v) { return v == tile[0]; });
}

SearchedTilesBuilder::SearchedTilesBuilder(bool paletteFree) {
  tiles_.PaletteFree = paletteFree;
}

void SearchedTilesBuilder::Add(const TileValues& given) {
  if (IsBlank(given)) {
    ++tiles_.Blank;
    return;
  }
  const TileValues tile = tiles_.PaletteFree ? PaletteFree(given) : given;
  const uint64_t hash = TileContentHash(tile.data());
  const auto [first, last] = seen_.equal_range(hash);
  for (auto same = first; same != last; ++same) {
    if (tiles_.Tiles[same->second] == tile) {
      ++tiles_.Repeated;
      return;
    }
  }
  if (tiles_.Tiles.size() >= kMaxSearchedTiles) {
    tiles_.TooMany = true;
    return;
  }
  seen_.emplace(hash, static_cast<uint32_t>(tiles_.Tiles.size()));
  tiles_.Tiles.push_back(tile);
}

SearchedTiles SearchedTilesBuilder::Take() {
  seen_.clear();
  return std::move(tiles_);
}

namespace {

// Decodes the tiles at `offsets` (each wholly inside `bytes`) into `builder`, a column at a time.
void AddTilesAt(std::span<const uint8_t> bytes, TileFormat format, std::span<const int64_t> offsets,
                SearchedTilesBuilder& builder) {
  const TileFormatRow* row = LookUpTileFormat(format);
  if (!row) return;
  const int64_t tileBytes = row->TileBytes;
  TileSurface tile;
  TileValues pixels;
  for (int64_t offset : offsets) {
    if (offset < 0 || offset > static_cast<int64_t>(bytes.size()) - tileBytes) continue;
    DecodeTileColumn(bytes.subspan(static_cast<size_t>(offset)), format, row->TileBytes, 1, tile);
    std::copy_n(tile.Pixels.begin(), pixels.size(), pixels.begin());
    builder.Add(pixels);
  }
}

}  // namespace

SearchedTiles TilesFromBytes(std::span<const uint8_t> bytes, TileFormat format) {
  SearchedTilesBuilder builder(false);
  const TileFormatRow* row = LookUpTileFormat(format);
  if (!row) return builder.Take();
  // A column of many tiles per decode: video memories hold thousands.
  constexpr int32_t kColumn = 512;
  const size_t tileBytes = static_cast<size_t>(row->TileBytes);
  const size_t count = bytes.size() / tileBytes;
  TileSurface column;
  TileValues pixels;
  for (size_t first = 0; first < count; first += kColumn) {
    const auto n = static_cast<int32_t>(std::min<size_t>(kColumn, count - first));
    DecodeTileColumn(bytes.subspan(first * tileBytes), format, row->TileBytes, n, column);
    for (int32_t k = 0; k < n; ++k) {
      std::copy_n(column.Pixels.begin() + 64 * k, pixels.size(), pixels.begin());
      builder.Add(pixels);
    }
  }
  return builder.Take();
}

SearchedTiles TilesAtOffsets(std::span<const uint8_t> image, TileFormat format,
                             std::span<const int64_t> offsets) {
  SearchedTilesBuilder builder(false);
  AddTilesAt(image, format, offsets, builder);
  return builder.Take();
}

SearchedTiles TilesFromPicture(int32_t width, int32_t height, std::span<const uint32_t> values,
                               int32_t originX, int32_t originY) {
  SearchedTilesBuilder builder(true);
  if (width <= 0 || height <= 0 ||
      values.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
    return builder.Take();
  const int32_t x0 = ((originX % 8) + 8) % 8;
  const int32_t y0 = ((originY % 8) + 8) % 8;
  TileValues cell;
  std::vector<uint32_t> seen;
  for (int32_t top = y0; top + 8 <= height; top += 8) {
    for (int32_t left = x0; left + 8 <= width; left += 8) {
      // A cell holds at most 64 different values: numbered by first appearance they fit a byte.
      seen.clear();
      for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
          const uint32_t v = values[static_cast<size_t>(top + y) * static_cast<size_t>(width) +
                                    static_cast<size_t>(left + x)];
          auto known = std::find(seen.begin(), seen.end(), v);
          if (known == seen.end()) known = seen.insert(seen.end(), v);
          cell[static_cast<size_t>(8 * y + x)] = static_cast<uint8_t>(known - seen.begin());
        }
      }
      builder.Add(cell);
    }
  }
  return builder.Take();
}

}  // namespace varnock
