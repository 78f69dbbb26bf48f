#include "document/view_readout.h"

#include <algorithm>
#include <cstdio>

#include "document/block_transfer.h"
#include "document/tile_drop.h"

namespace varnock {
namespace {

int HexDigits(uint32_t value) {
  int digits = 1;
  while (value >>= 4) ++digits;
  return digits;
}

}  // namespace

std::string OffsetReadout(const RomDocument& doc, int64_t offset) {
  const uint32_t last = static_cast<uint32_t>(std::max(doc.RomSize - 1, 0));
  char text[32];
  std::snprintf(text, sizeof text, "0x%0*llX", std::clamp(HexDigits(last), 5, 8),
                static_cast<unsigned long long>(std::max<int64_t>(offset, 0)));
  return text;
}

std::string TileReadout(const RomDocument& doc, int32_t offset) {
  const uint32_t last = static_cast<uint32_t>(std::max(doc.RomSize - 1, 0));
  const int32_t tileBytes = std::max(doc.TileBytes, 1);
  char number[24];
  std::snprintf(number, sizeof number, " #%0*X", std::max(4, HexDigits(last / tileBytes)),
                static_cast<uint32_t>(offset / tileBytes));
  return OffsetReadout(doc, offset) + number;
}

std::string PointerReadout(const RomDocument& doc, int32_t x, int32_t y) {
  // The tile a drop at this point would land on is the tile under the pointer.
  const std::optional<int32_t> offset = DropOffset(doc, x, y);
  return offset ? TileReadout(doc, *offset) : std::string();
}

std::string SelectionReadout(const RomDocument& doc) {
  const TileRect block = OrderedSelection(doc);
  const int64_t across = int64_t{block.Right} - block.Left;
  const int64_t down = int64_t{block.Bottom} - block.Top;
  return std::to_string(across) + "x" + std::to_string(down) + " tiles, " +
         std::to_string(across * down * doc.TileBytes) + " bytes";
}

std::string PickReadout(const RomDocument& doc) {
  if (!doc.EditTile) return {};
  return "Picked " + TileReadout(doc, doc.EditTileOffset);
}

}  // namespace varnock
