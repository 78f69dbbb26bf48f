// Pictures through Qt's image reader and writer, and indexed PNGs through libpng: the PNG form
// of an exported block, and any picture Qt can read turned into a block of tiles for the
// clipboard.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QImage>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/bitmap_file.h"
#include "codec/tile_surface.h"

namespace varnock {

// `block` of `surface` as an 8-bit indexed PNG with the colours the bitmap file gets (entries
// 0..colorCount-1 of the surface, the rest black; see PictureColorCount). Empty when the block
// is empty or Qt could not encode.
QByteArray EncodePngBlock(const TileSurface& surface, const PixelBlock& block,
                          int32_t colorCount = 16);

// The file an exported block becomes: PNG when `path` ends in ".png" in any case, else the
// bitmap file. Empty when a PNG could not be made.
std::vector<uint8_t> EncodePictureFile(const std::string& path, const TileSurface& surface,
                                       const PixelBlock& block, int32_t colorCount);

struct PictureReadResult {
  bool Ok = false;
  QString Reason;  // why the picture was refused, in a sentence
  // The file held palette indices (an indexed or two-colour picture), not colours that had to
  // be matched to a palette made for them.
  bool Indexed = false;
  // Entries of the colour table the picture came with (of a palette made for it when it was
  // not indexed); indices at or past it have no colour of the file's.
  int32_t ColorCount = 0;
  // Every pixel's colour is the table's colour of its index: always so for indexed pictures,
  // and for colour pictures of at most 256 colours.
  bool ExactColors = true;
  // The picture's own size in pixels, remainders of fewer than 8 pixels included.
  int32_t Width = 0;
  int32_t Height = 0;
};

// Reads a picture from `device` into `clip`: whole tiles only (the right and bottom remainders
// of fewer than 8 pixels are dropped), the 256 colours of its palette, its indices unchanged
// when it is indexed (an indexed PNG's through libpng, exactly as its rows hold them, also
// past its colour table) and otherwise those of the nearest colour of a palette built for it.
// Refuses, leaving `clip` as it was, a picture that cannot be read, one larger than `maxSide`
// pixels either way or than one surface can hold, and one whose file does not give every pixel
// (a bitmap shorter than the rows its header declares is refused before it is decoded).
PictureReadResult ReadPictureBlock(QIODevice& device, TileSurface& clip,
                                   int maxSide = kMaxPictureSide);
PictureReadResult ReadPictureFile(const QString& path, TileSurface& clip);
// The same for a file name given as bytes, as the command line gives it.
PictureReadResult ReadPictureFile(const std::string& path, TileSurface& clip);

// The picture from the start of `device`, decoded into an image whose pixels start as `fill`
// wherever the reader lets the caller give it the image, so that pixels a reader leaves unset
// show as the fill (`filled` says whether it could). Null, with `reason` set, when the picture
// is refused.
QImage DecodePicture(QIODevice& device, int maxSide, uint8_t fill, QString* reason,
                     bool* filled = nullptr);

// The whole picture from `device` as ReadPictureBlock reads it, before it is cut into tiles or
// made indexed: refused (null, `reason` set) on the same grounds.
QImage DecodeWholePicture(QIODevice& device, int maxSide, QString* reason);

// Opens the regular file named `path` (bytes) for reading, without waiting on a pipe; false, with
// `reason` set, when it cannot.
bool OpenPictureFile(const std::string& path, QFile& file, QString* reason);

// Whether two decodes of a picture hold the same pixels: the same size, format and colour
// table, and pixel for pixel the same index (indexed pictures, whose indices may lie past
// their colour table) or the same colour.
bool SamePixels(const QImage& a, const QImage& b);

// Why a bitmap shorter than its declared rows, and one that leaves pixels unset, is refused.
inline constexpr const char* kPictureTruncatedReason = "The file ends before its pixels do.";
inline constexpr const char* kPictureIncompleteReason = "The file does not give every pixel.";

}  // namespace varnock
