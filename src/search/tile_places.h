// Matches gathered into places: the tiles of one format that lie together, at one alignment, in
// one run of bytes (the image or one stream). A place says how many of the searched tiles it
// holds and how many of them follow each other in the searched order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "codec/tile_format.h"
#include "search/tile_matcher.h"

namespace varnock {

// More tiles than this between two matches start a new place.
inline constexpr size_t kPlaceGapTiles = 16;

struct TilePlace {
  size_t FormatIndex = 0;  // into the search's formats
  TileFormat Format = 0;
  // In the image, or in the decompressed bytes of the stream.
  size_t Offset = 0;             // first byte of the first matching tile
  size_t End = 0;                // just past the last matching tile
  std::optional<size_t> Stream;  // index into the search's streams; none for the image itself
  int32_t TileCount = 0;         // different searched tiles found here
  // The longest run of matches, in offset order, whose searched tiles follow one another.
  int32_t InOrder = 0;
  int32_t Matches = 0;  // tile positions that match a searched tile
  std::array<int32_t, kTileOrientationCount> Orientations{};  // matches per orientation
  uint32_t FirstTile = 0;                                     // the searched tile at Offset
  TileOrientation FirstOrientation = TileOrientation::Straight;
  // On the tile grid of its bytes: whole tiles from the first byte the view shows in this
  // format, or from the stream's start. A graphic with few colours also decodes, shifted by
  // part of a tile, into the same shapes; the place on the grid is where it lives.
  bool OnGrid = false;
};

// Takes the matches of one run of bytes, as a matcher delivers them, and gives its places.
class PlaceCollector {
 public:
  explicit PlaceCollector(const TileMatcher& matcher, std::span<const TileFormat> formats);
  void Add(size_t formatIndex, const TileMatch& match);
  // Closes every place and appends them to `places`, marked with `stream`.
  void Finish(std::optional<size_t> stream, std::vector<TilePlace>& places);

 private:
  struct Open {
    bool Active = false;
    TilePlace Place;
    std::vector<uint32_t> Tiles;  // every match's tile, counted once when the place closes
    size_t At = 0;                // offset of the latest matches
    // Searched tiles at the latest matching offset and the one before, with the run each ends.
    std::vector<std::pair<uint32_t, int32_t>> Latest;
    std::vector<std::pair<uint32_t, int32_t>> Before;
  };
  Open& Builder(size_t formatIndex, size_t offset);
  void Close(Open& open, std::optional<size_t> stream, std::vector<TilePlace>& places);

  std::vector<TileFormat> formats_;
  std::vector<int32_t> tileBytes_;
  std::vector<size_t> first_;  // builders of format f: first_[f] .. first_[f] + tileBytes_[f]
  std::vector<Open> open_;
  std::vector<TilePlace> closed_;
};

// Best first: more searched tiles, then more of them in order, then on the grid, then the image
// before streams, then the earlier format of the search, then the lower offset.
void SortPlaces(std::vector<TilePlace>& places);

}  // namespace varnock
