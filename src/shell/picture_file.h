// Pictures through Qt's image reader and writer: the PNG form of an exported block, and any
// picture Qt can read turned into a block of tiles for the clipboard.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include "codec/bitmap_file.h"
#include "codec/tile_surface.h"

namespace varnock {

// Wider or taller pictures are refused: the clipboard could not hold them.
inline constexpr int kMaxPictureSide = 16384;

// `block` of `surface` as an 8-bit indexed PNG with the colours the bitmap file gets (entries
// 0..15 of the surface, the rest black). Empty when the block is empty or Qt could not encode.
QByteArray EncodePngBlock(const TileSurface& surface, const PixelBlock& block);

// Reads a picture from `device` into `clip`: whole tiles only (the right and bottom remainders
// of fewer than 8 pixels are dropped), the 256 colours of its palette, its indices unchanged
// when it is indexed and otherwise those of the nearest colour of a palette built for it.
// Returns false, and leaves `clip` as it was, when the picture cannot be read or is larger
// than `maxSide` pixels either way or than one surface can hold.
bool ReadPictureBlock(QIODevice& device, TileSurface& clip, int maxSide = kMaxPictureSide);
bool ReadPictureFile(const QString& path, TileSurface& clip);

}  // namespace varnock
