// Blocks of tiles between a ROM window's image, the tile clipboard and bitmap files: the
// arithmetic of Copy, of committing a paste, of Export and of placing the paste panel.
#pragma once

#include <cstdint>

#include "codec/bitmap_file.h"
#include "codec/tile_surface.h"
#include "document/rom_document.h"

namespace varnock {

// A block of view cells; Right and Bottom are one past the last column and row.
struct TileRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  friend bool operator==(const TileRect&, const TileRect&) = default;
};

// The selection with reversed ends exchanged (the document's fields are left as they are).
TileRect OrderedSelection(const RomDocument& doc);

// Copy: decodes the selected block from the image (not the screen) into `clip`, together with
// entries 0..15 of the view's colours, and records CopyOffset, CopyColumns and CopyRows. Bytes
// past the image's end decode as index 0.
void CopyBlock(RomDocument& doc, TileSurface& clip);

// Byte of the image where a paste's first tile lands: the panel's cell on the page shown.
int64_t PasteTarget(const RomDocument& doc);

// Encodes all of `block` into the image at PasteTarget in the window's format, each block row
// RowBytes after the one before (a block wider than the grid overlaps its own rows, the later
// row winning). Writes stop at the image's last byte. One history step, "Incolla 4x2 a ..."
// unless the caller opened a step of its own.
void CommitBlock(RomDocument& doc, TileSurface& block);

// Export: the ordered selection trimmed to the current grid, in pixels of the view surface.
// CopyColumns and CopyRows get the trimmed size.
PixelBlock ExportBlock(RomDocument& doc);

// Where a released paste panel settles: its corner clamped into the grid's `gridWidth` x
// `gridHeight` pixels, then snapped down to whole cells.
struct PanelPlace {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Column = 0;
  int32_t Row = 0;
  friend bool operator==(const PanelPlace&, const PanelPlace&) = default;
};
PanelPlace SnapPastePanel(int32_t left, int32_t top, int32_t gridWidth, int32_t gridHeight,
                          int32_t cellWidth, int32_t cellHeight);

}  // namespace varnock
