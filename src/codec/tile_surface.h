// A picture of 8 x 8 tiles: 8-bit palette indices plus a 256-entry colour table, and the
// decode and encode requests that say which tiles of it the codec converts.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "codec/tile_format.h"

namespace varnock {

// Colour table entry in bitmap order, so palette entries (blue, green, red) copy straight in.
struct SurfaceColor {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  uint8_t reserved = 0;
  friend bool operator==(const SurfaceColor&, const SurfaceColor&) = default;
};

struct TileSurface {
  int32_t TileWidth = 8;
  int32_t TileHeight = 8;
  int32_t TilesAcross = 0;
  int32_t TilesDown = 0;
  // Row stride is the bitmap width (TileWidth x TilesAcross); top row first.
  std::vector<uint8_t> Pixels;
  int32_t PixelCount = 0;

  TileFormat DecodeFormat = 0;
  int32_t DecodeTileBytes = 0;  // step from one source row of tiles to the next
  int32_t DecodeSkip = 0;       // tiles skipped in the source after each row of tiles
  int32_t DecodeBits = 0;       // recorded for Paste; the decoder ignores it
  int32_t DecodeColumn = 0;
  int32_t DecodeRow = 0;
  int32_t DecodeAcross = 0;
  int32_t DecodeDown = 0;

  TileFormat EncodeFormat = 0;
  int32_t EncodeTileBytes = 0;
  int32_t EncodeSkip = 0;
  int32_t EncodeBits = 0;
  int32_t EncodeColumn = 0;
  int32_t EncodeRow = 0;
  int32_t EncodeAcross = 0;
  int32_t EncodeDown = 0;

  std::array<SurfaceColor, 256> Colors{};

  // Bitmap size as it stands after the last RebuildSurface.
  int32_t Width() const { return PixelCount == 0 ? 0 : TileWidth * TilesAcross; }
  int32_t Height() const { return PixelCount == 0 ? 0 : TileHeight * TilesDown; }
};

// A bitmap larger than this (64 M pixels, a 8192 x 8192 board) is refused rather than allocated.
inline constexpr int64_t kMaxSurfacePixels = int64_t{1} << 26;
// Pictures wider or taller than this are refused: the clipboard could not hold them.
inline constexpr int kMaxPictureSide = 16384;

// Reallocates Pixels for the four size fields (set them first). Colors and requests stay.
// Sizes that are negative or too large for one bitmap give an empty surface.
void RebuildSurface(TileSurface& surface);

// A surface of `across` x `down` 8 x 8 tiles whose decode and encode requests cover one tile
// at (0, 0) with no skip: the shape of the tile editor's, the drag tile's and the arranger's.
void SetUpTileSurface(TileSurface& surface, int32_t across, int32_t down);

// The three pixel helpers ignore anything outside the bitmap.
void PutSurfacePixel(TileSurface& surface, int32_t x, int32_t y, uint8_t index);
void FillSurfaceTile(TileSurface& surface, int32_t column, int32_t row, uint8_t index);
// Copies the source's tile cell (source tile size) into the destination's cell (destination
// tile size); the part of the cell that falls outside either bitmap is left alone.
void CopySurfaceTile(TileSurface& destination, int32_t destColumn, int32_t destRow,
                     const TileSurface& source, int32_t sourceColumn, int32_t sourceRow);

}  // namespace varnock
