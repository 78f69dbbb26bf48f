// The whole search for tiles in an image, as the editor's dialog and the command-line tool run
// it: the image's raw bytes in every chosen format, then the decompressed bytes of every stream
// the scan finds with the console's formats (those its list shows by default), the places of
// both sorted best first.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compression/stream_scan.h"
#include "search/searched_tiles.h"
#include "search/tile_places.h"

namespace varnock {

struct TileSearchRequest {
  SearchedTiles Tiles;
  std::vector<TileFormat> Formats;  // in the order of preference: the window's first
  bool Flips = true;
  bool Streams = true;
  std::vector<CompressionFormat> StreamFormats;  // what the scan looks for
  std::string UpperExtension;  // of the image's name: where its header puts the tile grid
  // The searched tiles' own places in the image (a picked tile or a selection), in OwnFormat:
  // finding a tile where it was taken from tells nothing.
  TileFormat OwnFormat = 0;
  std::vector<int64_t> OwnOffsets;
};

// A stream some place lies in, with its decompressed bytes.
struct SearchedStream {
  StreamFind Find;
  std::vector<uint8_t> Bytes;
};

struct TileSearchResult {
  std::vector<TilePlace> Places;        // best first (SortPlaces)
  std::vector<SearchedStream> Streams;  // those places lie in, in offset order
  size_t StreamsSearched = 0;           // streams the scan found and that were searched
  bool Cancelled = false;
};

// Told the work done and the whole work; false stops the search, which then gives what it found.
using TileSearchProgress = std::function<bool(uint64_t done, uint64_t total)>;

TileSearchResult SearchTiles(const TileSearchRequest& request, std::span<const uint8_t> image,
                             const TileSearchProgress& progress = {});

// The formats a search goes through: `first`, then every fixed format and every described one
// in their order, each once. With `chosen` not empty only those, still with `first` leading
// when it is among them.
std::vector<TileFormat> SearchFormatOrder(TileFormat first,
                                          std::span<const TileFormat> chosen = {});

// A request as both the dialog and the tool make it, for an image with the upper-cased
// extension `upperExtension`: formats by SearchFormatOrder, the console's stream formats.
TileSearchRequest MakeTileSearchRequest(SearchedTiles tiles, TileFormat windowFormat,
                                        std::span<const TileFormat> chosenFormats,
                                        std::string_view upperExtension, bool flips, bool streams);

}  // namespace varnock
