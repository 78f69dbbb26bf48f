// Dropping one tile into a ROM image and taking the drop back: the arithmetic of where a drop
// lands and the image writes, kept apart from the windows so tests can drive them with numbers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "codec/tile_surface.h"
#include "document/rom_document.h"

namespace varnock {

// The bytes a drop overwrote: the tile's offset and the part of it that lay inside the image.
struct DropUndo {
  int32_t Offset = 0;
  int32_t Length = 0;  // at most the target's bytes per tile, fewer at the image's end
  std::array<uint8_t, kMaxTileBytes> Bytes{};
};

// Byte offset of the tile under client point (x, y) of the document's view, or nothing when
// the point is outside the grid or the tile starts at or past the end of the image.
std::optional<int32_t> DropOffset(const RomDocument& doc, int32_t x, int32_t y);

// Encodes tile (0, 0) of `tile` in the document's own format at `offset`, clipped at the
// image's end, as one history step ("Drop a ..."). The encode request of `tile` is set to the
// document's format first. Returns the overwritten bytes, or nothing (and no change) when the
// offset is outside the image.
std::optional<DropUndo> DropTileIntoImage(RomDocument& doc, TileSurface& tile, int64_t offset);

// Puts the bytes a drop overwrote back, never past the image's end, as a step of its own.
void RestoreDroppedBytes(RomDocument& doc, const DropUndo& undo);

}  // namespace varnock
