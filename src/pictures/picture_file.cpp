#include "pictures/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "codec/bitmap_layout.h"
#include "io/file_io.h"

namespace varnock {
namespace {

constexpr int kTileSide = 8;

// Enough for the largest picture accepted, decoded at 32 bits per pixel: its whole tiles fill
// at most one surface, and the remainders add less than as much again.
int AllocationLimitMb(int maxSide) {
  const int64_t pixels = std::min(int64_t{maxSide} * maxSide, 2 * kMaxSurfacePixels);
  return static_cast<int>((pixels * 4 >> 20) + 1);
}

int64_t ImageBytes(const QSize& size, QImage::Format format) {
  const int64_t bits = QImage::toPixelFormat(format).bitsPerPixel();
  return (int64_t{size.width()} * bits + 31) / 32 * 4 * size.height();
}

QString TooLargeReason(int maxSide) {
  return QStringLiteral(
             "The picture is larger than %1 pixels across or down, or than the "
             "clipboard can hold.")
      .arg(maxSide);
}

std::optional<BitmapLayout> LayoutAtStart(QIODevice& device) {
  const QByteArray head = device.peek(static_cast<qint64>(kBitmapHeadBytes));
  return ReadBitmapLayout(
      {reinterpret_cast<const uint8_t*>(head.constData()), static_cast<size_t>(head.size())});
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

QByteArray EncodePngBlock(const TileSurface& surface, const PixelBlock& block, int32_t colorCount) {
  if (block.Width <= 0 || block.Height <= 0) return {};
  QImage image(block.Width, block.Height, QImage::Format_Indexed8);
  if (image.isNull()) return {};
  QList<QRgb> table(256, qRgb(0, 0, 0));
  for (int i = 0; i < std::clamp(colorCount, 0, 256); ++i) {
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

std::vector<uint8_t> EncodePictureFile(const std::string& path, const TileSurface& surface,
                                       const PixelBlock& block, int32_t colorCount) {
  if (UpperExtension(path) != ".PNG") return EncodeBitmapFile(surface, block, colorCount);
  const QByteArray png = EncodePngBlock(surface, block, colorCount);
  return {png.begin(), png.end()};
}

bool SamePixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.format() != b.format() || a.colorTable() != b.colorTable())
    return false;
  // QImage's own comparison looks indices up in the colour table, past its end when a file
  // uses more indices than it lists colours for.
  const bool indexed = a.format() == QImage::Format_Mono || a.format() == QImage::Format_MonoLSB ||
                       a.format() == QImage::Format_Indexed8;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (indexed ? a.pixelIndex(x, y) != b.pixelIndex(x, y) : a.pixel(x, y) != b.pixel(x, y))
        return false;
  return true;
}

QImage DecodePicture(QIODevice& device, int maxSide, uint8_t fill, QString* reason, bool* filled) {
  if (filled) *filled = false;
  const std::optional<BitmapLayout> layout = LayoutAtStart(device);
  QImageReader reader(&device);
  reader.setAllocationLimit(AllocationLimitMb(maxSide));
  // The size in the header, where the format has one, is checked before any pixel is decoded.
  // Bitmaps stored top-down announce a negative height.
  const QSize announced(reader.size().width(), std::abs(reader.size().height()));
  if (announced.isValid() && !Fits(announced, maxSide)) {
    *reason = TooLargeReason(maxSide);
    return {};
  }
  // A bitmap's headers say how long its rows are: a shorter file is refused before any pixel
  // has memory.
  if (layout && layout->RowsKnown && !device.isSequential() &&
      static_cast<uint64_t>(device.size()) < layout->PixelEnd) {
    *reason = QString::fromUtf8(kPictureTruncatedReason);
    return {};
  }
  QImage image;
  const QImage::Format format = reader.imageFormat();
  if (announced.isValid() && format != QImage::Format_Invalid) {
    // Readers that take the image they are given leave in it whatever pixels they skip: the
    // fill, never memory that held something else.
    if (ImageBytes(announced, format) > (int64_t{AllocationLimitMb(maxSide)} << 20)) {
      *reason = TooLargeReason(maxSide);
      return {};
    }
    image = QImage(announced, format);
    if (image.isNull()) {
      *reason = QStringLiteral("There is not enough memory for the picture.");
      return {};
    }
    std::memset(image.bits(), fill, static_cast<size_t>(image.sizeInBytes()));
    if (filled) *filled = true;
  }
  if (!reader.read(&image) || image.isNull()) {
    *reason = reader.errorString() + QLatin1Char('.');
    return {};
  }
  if (!Fits(image.size(), maxSide)) {
    *reason = TooLargeReason(maxSide);
    return {};
  }
  return image;
}

PictureReadResult ReadPictureBlock(QIODevice& device, TileSurface& clip, int maxSide) {
  const qint64 start = device.pos();
  const std::optional<BitmapLayout> layout = LayoutAtStart(device);
  QString reason;
  bool filled = false;
  QImage image = DecodePicture(device, maxSide, 0x00, &reason, &filled);
  if (image.isNull()) return {false, reason};
  if (layout && !layout->RowsKnown) {
    // Run-length rows may jump over pixels or stop early; decoded again over another fill,
    // such a picture comes out different. Without a fill, fresh memory could match itself.
    QImage again;
    if (filled && device.seek(start)) again = DecodePicture(device, maxSide, 0xFF, &reason);
    if (again.isNull() || !SamePixels(again, image))
      return {false, QString::fromUtf8(kPictureIncompleteReason)};
  }
  const bool indexed = image.format() == QImage::Format_Indexed8 ||
                       image.format() == QImage::Format_Mono ||
                       image.format() == QImage::Format_MonoLSB;
  image = ToIndexed(image);
  if (image.isNull()) return {false, QStringLiteral("There is not enough memory for the picture.")};

  TileSurface block;
  block.TileWidth = kTileSide;
  block.TileHeight = kTileSide;
  block.TilesAcross = image.width() / kTileSide;
  block.TilesDown = image.height() / kTileSide;
  RebuildSurface(block);
  // A picture of at least one whole tile that no surface could hold.
  if (block.PixelCount == 0 && block.TilesAcross > 0 && block.TilesDown > 0)
    return {false, TooLargeReason(maxSide)};

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
  return {true, {}, indexed, image.width(), image.height()};
}

PictureReadResult ReadPictureFile(const QString& path, TileSurface& clip) {
  return ReadPictureFile(QFile::encodeName(path).toStdString(), clip);
}

PictureReadResult ReadPictureFile(const std::string& path, TileSurface& clip) {
  // Non-blocking, so a named pipe is refused instead of waiting for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {false, QString::fromStdString(SystemReason(errno))};
  struct stat info {};
  const bool examined = ::fstat(fd, &info) == 0;
  if (!examined || !S_ISREG(info.st_mode)) {
    const QString reason =
        QString::fromStdString(examined ? NotRegularFileReason(info.st_mode) : SystemReason(errno));
    ::close(fd);
    return {false, reason};
  }
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return {false, file.errorString()};
  }
  return ReadPictureBlock(file, clip);
}

}  // namespace varnock
