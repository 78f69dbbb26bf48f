// The block editor's block on the clipboard, in the program's own format: the palette indices
// of a picture, so a block pasted into another block (or another instance) keeps its indices.
//
//   "VRKB"  width (u16 LE)  height (u16 LE)  width x height indices, row by row, top row first
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "codec/tile_surface.h"
#include "tools/pixel_canvas.h"

namespace varnock {

struct BlockClip {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Pixels;  // Width x Height
};

std::vector<uint8_t> EncodeBlockClip(const TileSurface& block);
// Nothing for bytes that are not a whole block of this format (wrong mark, a size of zero,
// fewer indices than the size needs).
std::optional<BlockClip> DecodeBlockClip(std::span<const uint8_t> bytes);

// Draws `clip` over the canvas's top-left corner, cut to the canvas; each index keeps only the
// low `bits` bits, the ones the tiles can hold.
void PasteBlockClip(const BlockClip& clip, PixelCanvas canvas, int32_t bits);

}  // namespace varnock
