#include "pictures/picture_tiles.h"

#include <QFile>
#include <QImage>
#include <vector>

#include "pictures/picture_file.h"

namespace varnock {

PictureTilesRead ReadPictureTiles(const std::string& path, int32_t originX, int32_t originY) {
  PictureTilesRead read;
  QFile file;
  if (!OpenPictureFile(path, file, &read.Reason)) return read;
  QImage image = DecodeWholePicture(file, kMaxPictureSide, &read.Reason);
  if (image.isNull()) return read;
  const bool indexed = image.format() == QImage::Format_Indexed8;
  // Two-colour pictures are read as indices too; anything else by its colours.
  if (!indexed) {
    const bool mono =
        image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    image = image.convertToFormat(mono ? QImage::Format_Indexed8 : QImage::Format_ARGB32);
    if (image.isNull()) {
      read.Reason = QStringLiteral("There is not enough memory for the picture.");
      return read;
    }
  }
  read.Width = image.width();
  read.Height = image.height();
  std::vector<uint32_t> values(static_cast<size_t>(read.Width) * static_cast<size_t>(read.Height));
  for (int32_t y = 0; y < read.Height; ++y) {
    uint32_t* row = values.data() + static_cast<size_t>(y) * static_cast<size_t>(read.Width);
    if (image.format() == QImage::Format_Indexed8) {
      const uchar* line = image.constScanLine(y);
      for (int32_t x = 0; x < read.Width; ++x) row[x] = line[x];
    } else {
      const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int32_t x = 0; x < read.Width; ++x) row[x] = line[x];
    }
  }
  read.Tiles = TilesFromPicture(read.Width, read.Height, values, originX, originY);
  return read;
}

}  // namespace varnock
