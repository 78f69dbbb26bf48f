// Where searched tiles lie in a run of bytes, at every byte offset and in every format of a
// search. The tables are built once per search from the searched tiles; then each run of bytes
// (the image, a stream's decompressed bytes) is slid over once per format, so the work grows
// with the bytes times the formats, whatever the bytes hold.
//
// Two ways, by what a match needs:
//   exact values in a fixed format: the tile's bytes are a one-to-one encoding of its pixels,
//     so each searched tile (and flip) is encoded once and the bytes are compared, through a
//     rolling hash of every window of TileBytes bytes (formats of one size share it);
//   palette-free, or a described format: every tile position is decoded, a column at a time,
//     and its pixels are looked up, first by which neighbours are equal (cheap, and the same in
//     every palette), then by their renumbered values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "codec/tile_format.h"
#include "search/searched_tiles.h"

namespace varnock {

struct TileMatch {
  size_t Offset = 0;  // first byte of the matching tile
  uint32_t Tile = 0;  // index into the searched tiles
  TileOrientation Orientation = TileOrientation::Straight;
};

// Gets every match of a format in ascending offsets for each residue of the offset modulo the
// format's tile size; the matches at one offset arrive together.
using TileMatchSink = std::function<void(size_t formatIndex, const TileMatch& match)>;
// Told the bytes done so far of one pass (bytes x formats in all); false stops the pass.
using TileMatchTicker = std::function<bool(uint64_t bytesDone)>;

class TileMatcher {
 public:
  // `formats` are searched in this order; a format without a table row is skipped. Without
  // `flips` only the straight orientation is looked for.
  TileMatcher(const SearchedTiles& tiles, std::span<const TileFormat> formats, bool flips);
  ~TileMatcher();
  TileMatcher(const TileMatcher&) = delete;
  TileMatcher& operator=(const TileMatcher&) = delete;

  // Every match in `bytes`; false when the ticker stopped it (what was found is delivered).
  bool Match(std::span<const uint8_t> bytes, const TileMatchSink& sink,
             const TileMatchTicker& ticker = {}) const;

  // Tile size of the format at `formatIndex` (0 for a skipped format).
  int32_t TileBytes(size_t formatIndex) const;
  size_t FormatCount() const;

 private:
  struct Tables;
  std::unique_ptr<Tables> tables_;
};

}  // namespace varnock
