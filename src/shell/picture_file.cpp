#include "shell/picture_file.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cstring>

namespace varnock {
namespace {

constexpr int kTileSide = 8;

// Enough for the largest picture accepted, decoded at 32 bits per pixel: its whole tiles fill
// at most one surface, and the remainders add less than as much again.
int AllocationLimitMb(int maxSide) {
  const int64_t pixels = std::min(int64_t{maxSide} * maxSide, 2 * kMaxSurfacePixels);
  return static_cast<int>((pixels * 4 >> 20) + 1);
}

// Within `maxSide` either way, and its whole tiles fit one surface.
bool Fits(const QSize& size, int maxSide) {
  if (size.width() > maxSide || size.height() > maxSide) return false;
  const int64_t tilePixels =
      int64_t{size.width() / kTileSide * kTileSide} * (size.height() / kTileSide * kTileSide);
  return tilePixels <= kMaxSurfacePixels;
}

// The picture as 8-bit indices with a palette. Indexed pictures keep their indices; grey
// pictures become indices of a grey ramp; colour pictures take the nearest colour of Qt's
// palette for them (exactly their own colours when they have at most 256, otherwise a 6 x 6 x 6
// colour cube). Alpha is dropped first: it would force the cube even on a few colours.
QImage ToIndexed(const QImage& image) {
  switch (image.format()) {
    case QImage::Format_Indexed8:
      return image;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Grayscale8:
      return image.convertToFormat(QImage::Format_Indexed8);
    case QImage::Format_Grayscale16:
      return image.convertToFormat(QImage::Format_Grayscale8)
          .convertToFormat(QImage::Format_Indexed8);
    default:
      return image.convertToFormat(QImage::Format_RGB32)
          .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  }
}

}  // namespace

QByteArray EncodePngBlock(const TileSurface& surface, const PixelBlock& block) {
  if (block.Width <= 0 || block.Height <= 0) return {};
  QImage image(block.Width, block.Height, QImage::Format_Indexed8);
  if (image.isNull()) return {};
  QList<QRgb> table(256, qRgb(0, 0, 0));
  for (int i = 0; i < 16; ++i) {
    const SurfaceColor& c = surface.Colors[static_cast<size_t>(i)];
    table[i] = qRgb(c.red, c.green, c.blue);
  }
  image.setColorTable(table);
  for (int32_t row = 0; row < block.Height; ++row)
    CopyBlockRow(surface, block, row, image.scanLine(row));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image)) return {};
  return bytes;
}

bool ReadPictureBlock(QIODevice& device, TileSurface& clip, int maxSide) {
  QImageReader reader(&device);
  reader.setAllocationLimit(AllocationLimitMb(maxSide));
  // The size in the header, where the format has one, is checked before any pixel is decoded.
  const QSize announced = reader.size();
  if (announced.isValid() && !Fits(announced, maxSide)) return false;
  QImage image;
  if (!reader.read(&image) || image.isNull() || !Fits(image.size(), maxSide)) return false;
  image = ToIndexed(image);
  if (image.isNull()) return false;

  TileSurface block;
  block.TileWidth = kTileSide;
  block.TileHeight = kTileSide;
  block.TilesAcross = image.width() / kTileSide;
  block.TilesDown = image.height() / kTileSide;
  RebuildSurface(block);
  // A picture of at least one whole tile that no surface could hold.
  if (block.PixelCount == 0 && block.TilesAcross > 0 && block.TilesDown > 0) return false;

  const QList<QRgb> table = image.colorTable();
  for (qsizetype i = 0; i < std::min<qsizetype>(table.size(), 256); ++i)
    block.Colors[static_cast<size_t>(i)] = {static_cast<uint8_t>(qBlue(table[i])),
                                            static_cast<uint8_t>(qGreen(table[i])),
                                            static_cast<uint8_t>(qRed(table[i])), 0};
  const int32_t width = block.Width();
  for (int32_t y = 0; y < block.Height(); ++y)
    std::memcpy(block.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                image.constScanLine(y), static_cast<size_t>(width));

  // Only the pixels and colours change: the decode request (and so the depth the last Copy
  // recorded) stays with the clipboard.
  clip.TileWidth = block.TileWidth;
  clip.TileHeight = block.TileHeight;
  clip.TilesAcross = block.TilesAcross;
  clip.TilesDown = block.TilesDown;
  clip.Pixels = std::move(block.Pixels);
  clip.PixelCount = block.PixelCount;
  clip.Colors = block.Colors;
  return true;
}

bool ReadPictureFile(const QString& path, TileSurface& clip) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  return ReadPictureBlock(file, clip);
}

}  // namespace varnock
