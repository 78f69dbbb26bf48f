// The block editor's tiles: which view cells it opens over (the selection, or the
// arrangement's block around the picked tile), where each of those tiles lies in the image
// (through the view's arrangement), which tile and tile pixel a pixel of the block is, and the
// block decoded from the image and its changed tiles written back.
//
// A block of C x R tiles is one picture of 8C x 8R pixels, cell (c, r) showing the tile at
// TileOffsets[r * C + c]:
//
//   block pixel (x, y)  ->  tile (x div 8, y div 8)  ->  TileOffsets[...], pixel (x mod 8, y mod 8)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/tile_format.h"
#include "codec/tile_surface.h"
#include "document/block_transfer.h"
#include "document/rom_document.h"
#include "document/tile_arrangement.h"
#include "document/view_mouse.h"
#include "tools/pixel_canvas.h"
#include "tools/tile_transform.h"

namespace varnock {

// The most tiles a block has across and down.
inline constexpr int32_t kMaxBlockTiles = 16;

struct BlockLayout {
  int32_t Columns = 0;               // tiles across
  int32_t Rows = 0;                  // tiles down
  std::vector<int64_t> TileOffsets;  // of cell (c, r) at r x Columns + c
  TileFormat Format = 0;
  int32_t TileBytes = 0;
  int32_t BitsPerPixel = 0;

  int32_t Width() const { return Columns * 8; }
  int32_t Height() const { return Rows * 8; }
  bool Empty() const { return Columns <= 0 || Rows <= 0; }
};

// The cells the shown selection covers (columns SelLeft .. SelRight - 1, rows SelTop ..
// SelBottom - 1), cut to the grid and then to its first kMaxBlockTiles columns and rows;
// nothing when it covers no cell (a selection dragged back over its anchor shows none).
std::optional<TileRect> SelectedBlockCells(const TileRect& selection, int32_t gridColumns,
                                           int32_t gridRows);

// The block of the arrangement that holds `cell` (8x16: the pair, 16x16: the four, W x H
// blocks: theirs), cut where the grid cuts it; nothing for a cell outside the grid.
std::optional<TileRect> ArrangementBlockAround(const TileArrangement& arrangement,
                                               int32_t gridColumns, int32_t gridRows,
                                               GridCell cell);

// The block over `cells` of the page the document shows: each cell's tile as the view's
// arrangement places it, in the window's format.
BlockLayout LayOutBlock(const RomDocument& doc, const TileRect& cells);

// Where a pixel of the block lies: its cell's index, that tile's first byte and the pixel in
// the tile. Nothing outside the block.
struct BlockPixelPlace {
  int32_t Tile = 0;
  int64_t Offset = 0;
  PenPixel Pixel;
  friend bool operator==(const BlockPixelPlace&, const BlockPixelPlace&) = default;
};
std::optional<BlockPixelPlace> PlaceOfBlockPixel(const BlockLayout& layout, PenPixel pixel);

// Makes `block` Columns x Rows tiles (keeping its colours) and decodes every tile from its
// offset in `image`; bytes past the image's end decode as index 0.
void DecodeBlock(std::span<const uint8_t> image, const BlockLayout& layout, TileSurface& block);

// The whole block as a canvas the drawing tools draw into.
PixelCanvas CanvasOfBlock(TileSurface& block);

// Indices of the cells whose pixels differ between two decodes of the same layout.
std::vector<int32_t> ChangedBlockTiles(const BlockLayout& layout, const TileSurface& before,
                                       const TileSurface& after);

// Encodes the tiles of `after` that differ from `before` into the document's image, each at
// its offset (clipped at the image's end), all as one step of the history named
// `description`. Nothing is written, and no step made, when no pixel changed. The cells
// written. `after`'s encode request is used as scratch.
std::vector<int32_t> WriteBlockChanges(RomDocument& doc, const BlockLayout& layout,
                                       const TileSurface& before, TileSurface& after,
                                       std::string_view description);

// A block editor operation's step: "Matita, blocco 2x2 a 0x00340", at the first tile's place.
std::string BlockStepName(const RomDocument& doc, std::string_view operation,
                          const BlockLayout& layout);

// The smallest box of block pixels holding every pixel that differs between the two surfaces
// (of one size); empty when none does.
PixelRect ChangedPixels(const TileSurface& before, const TileSurface& after);

}  // namespace varnock
