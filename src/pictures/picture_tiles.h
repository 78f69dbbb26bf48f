// A picture's 8 x 8 cells as searched tiles: a screenshot crop or an exported sheet, indexed or
// not, read as the clipboard reads pictures.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "search/searched_tiles.h"

namespace varnock {

struct PictureTilesRead {
  SearchedTiles Tiles;
  int32_t Width = 0;
  int32_t Height = 0;
  QString Reason;  // why the picture was refused; empty when it was read
  bool ok() const { return Reason.isEmpty(); }
};

// The cells of the picture at `path` (a name as bytes) from the grid origin (originX, originY):
// an indexed picture by its indices, any other by its colours, either way palette-free.
PictureTilesRead ReadPictureTiles(const std::string& path, int32_t originX, int32_t originY);

}  // namespace varnock
