// The tiles a search looks for, in one form whatever they came from (bytes of an emulator's
// video memory, tiles of a ROM window, cells of a picture): 8 x 8 pixel values, each tile once.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "codec/tile_format.h"

namespace varnock {

inline constexpr int kSearchTileValues = 64;
using TileValues = std::array<uint8_t, kSearchTileValues>;

// How a tile is stored relative to the searched one: games keep one orientation and show the
// others with the flip bits of their sprites and maps.
enum class TileOrientation : uint8_t { Straight, Horizontal, Vertical, Both };
inline constexpr int kTileOrientationCount = 4;

// More different tiles than this are refused: no screen holds as many, and the tables of a
// search grow with them.
inline constexpr size_t kMaxSearchedTiles = 16384;

TileValues Oriented(const TileValues& tile, TileOrientation orientation);
// The tile with its values renumbered by first appearance (the top-left pixel becomes 0, the
// next new value 1, ...): two tiles drawn in different palettes have the same form.
TileValues PaletteFree(const TileValues& tile);
// One value everywhere: such a tile matches every run of filler and says nothing about where a
// graphic lives.
bool IsBlank(const TileValues& tile);

struct SearchedTiles {
  std::vector<TileValues> Tiles;  // in the order their source gives them
  // Only which pixels share a value counts (pictures: their colours are not the ROM's).
  bool PaletteFree = false;
  int32_t Blank = 0;     // tiles left out because they are blank
  int32_t Repeated = 0;  // tiles left out because an earlier one is the same
  bool TooMany = false;  // more than kMaxSearchedTiles different tiles: the rest were left out
};

// Adds tiles in the order given, leaving out blank ones and those already there.
class SearchedTilesBuilder {
 public:
  explicit SearchedTilesBuilder(bool paletteFree);
  void Add(const TileValues& tile);
  SearchedTiles Take();

 private:
  SearchedTiles tiles_;
  std::unordered_multimap<uint64_t, uint32_t> seen_;  // tile hash, index
};

// Every whole tile of `bytes` decoded in `format` (the tiles of a video memory).
SearchedTiles TilesFromBytes(std::span<const uint8_t> bytes, TileFormat format);
// The tiles at `offsets` of `image` in `format` (a ROM window's picked tile or selection);
// offsets whose tile does not lie wholly inside the image are left out.
SearchedTiles TilesAtOffsets(std::span<const uint8_t> image, TileFormat format,
                             std::span<const int64_t> offsets);
// The 8 x 8 cells of a picture of `width` x `height` values (row by row), the first cell's
// top-left pixel at (originX, originY) with origins taken modulo 8, row by row; cells that
// reach past the picture's edges are left out. Palette-free.
SearchedTiles TilesFromPicture(int32_t width, int32_t height, std::span<const uint32_t> values,
                               int32_t originX, int32_t originY);

}  // namespace varnock
