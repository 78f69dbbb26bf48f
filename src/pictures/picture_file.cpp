#include "pictures/picture_file.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
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

// An indexed PNG: its first chunk, IHDR, gives colour type 3. Qt's reader turns indices past
// the colour table into 0; libpng hands over the rows as the file holds them.
bool IsIndexedPng(QIODevice& device) {
  static constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";
  const QByteArray head = device.peek(26);
  return head.size() == 26 && std::memcmp(head.constData(), kSignature, 8) == 0 &&
         std::memcmp(head.constData() + 12, "IHDR", 4) == 0 && head[25] == 3;
}

// What libpng's callbacks share with the read. Only plain data: an error leaves the read by
// longjmp, which must not pass over anything with a destructor.
struct PngReadState {
  QIODevice* Device = nullptr;
  bool EndedEarly = false;
  char Message[160] = {};
};

void PngStop(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
  std::snprintf(state->Message, sizeof state->Message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings change no pixel (a colour profile, a chunk after IEND): the read goes on quietly.
void PngIgnore(png_structp, png_const_charp) {}

void PngReadBytes(png_structp png, png_bytep out, size_t length) {
  auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
  const qint64 wanted = static_cast<qint64>(length);
  if (state->Device->read(reinterpret_cast<char*>(out), wanted) != wanted) {
    state->EndedEarly = true;
    png_error(png, "the file ends early");
  }
}

struct PngReadRequest {
  int MaxSide = kMaxPictureSide;
  uint8_t Fill = 0;
  QImage Image;              // made by the read: 8-bit indices, the file's colour table
  std::vector<uchar*> Rows;  // the image's rows, for libpng
  QString Reason;            // why it was refused
  bool Filled = false;
};

// The read itself, between setjmp and libpng's calls: every object with a destructor belongs to
// `request` or `state`, which outlive it.
bool RunPngRead(png_structp png, png_infop info, PngReadRequest& request) {
  if (setjmp(png_jmpbuf(png))) return false;
  // Indices past the colour table are the file's own: no complaint, they are kept.
  png_set_check_for_invalid_index(png, 0);
#ifdef VARNOCK_FUZZ_IGNORE_PNG_CRC
  // The fuzzer's mutations would otherwise stop at the checksum of the chunk they touch.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
  png_read_info(png, info);
  const QSize size(static_cast<int>(png_get_image_width(png, info)),
                   static_cast<int>(png_get_image_height(png, info)));
  if (png_get_color_type(png, info) != PNG_COLOR_TYPE_PALETTE) {
    request.Reason = QStringLiteral("The PNG file is not indexed after all.");
    return false;
  }
  if (!Fits(size, request.MaxSide)) {
    request.Reason = TooLargeReason(request.MaxSide);
    return false;
  }
  png_colorp palette = nullptr;
  int colours = 0;
  png_get_PLTE(png, info, &palette, &colours);
  if (png_get_bit_depth(png, info) < 8) png_set_packing(png);  // one byte per index
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(size.width())) {
    request.Reason = QStringLiteral("The PNG file's rows are not one byte per pixel.");
    return false;
  }
  request.Image = QImage(size, QImage::Format_Indexed8);
  if (request.Image.isNull()) {
    request.Reason = QStringLiteral("There is not enough memory for the picture.");
    return false;
  }
  {
    // Gone before libpng reads on: a longjmp out of the rows must skip no destructor.
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
      table.append(qRgb(palette[i].red, palette[i].green, palette[i].blue));
    request.Image.setColorTable(table);
  }
  std::memset(request.Image.bits(), request.Fill, static_cast<size_t>(request.Image.sizeInBytes()));
  request.Filled = true;
  request.Rows.resize(static_cast<size_t>(size.height()));
  for (int y = 0; y < size.height(); ++y)
    request.Rows[static_cast<size_t>(y)] = request.Image.scanLine(y);
  png_read_image(png, request.Rows.data());
  // Through IEND: the last image chunk's checksum and anything the stream still holds.
  png_read_end(png, nullptr);
  return true;
}

// The indices of an indexed PNG exactly as its rows hold them, also those past its colour
// table; refused, with the reason, when libpng finds the file damaged or short of its rows.
QImage DecodeIndexedPng(QIODevice& device, int maxSide, uint8_t fill, QString* reason,
                        bool* filled) {
  PngReadState state;
  state.Device = &device;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, PngStop, PngIgnore);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    *reason = QStringLiteral("There is not enough memory for the picture.");
    return {};
  }
  png_set_read_fn(png, &state, PngReadBytes);
  PngReadRequest request;
  request.MaxSide = maxSide;
  request.Fill = fill;
  const bool read = RunPngRead(png, info, request);
  png_destroy_read_struct(&png, &info, nullptr);
  if (filled) *filled = request.Filled;
  if (read) return std::move(request.Image);
  if (!request.Reason.isEmpty()) {
    *reason = request.Reason;
  } else if (state.EndedEarly) {
    *reason = QString::fromUtf8(kPictureTruncatedReason);
  } else {
    *reason = QStringLiteral("The PNG file is damaged: %1.").arg(QString::fromUtf8(state.Message));
  }
  return {};
}

// The picture as 8-bit indices with a palette. Indexed pictures keep their indices; grey
// pictures become indices of a grey ramp; colour pictures take the nearest colour of Qt's
// palette for them (exactly their own colours when they have at most 256, otherwise a 6 x 6 x 6
// colour cube). Alpha is dropped first: it would force the cube even on a few colours.
// `exact` says whether every pixel's colour is its index's colour in the table.
QImage ToIndexed(const QImage& image, bool* exact) {
  *exact = true;
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
      break;
  }
  const QImage colours = image.convertToFormat(QImage::Format_RGB32);
  QImage indexed = colours.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  if (indexed.isNull()) return indexed;
  const QList<QRgb> table = indexed.colorTable();
  for (int y = 0; y < colours.height() && *exact; ++y) {
    const auto* rgb = reinterpret_cast<const QRgb*>(colours.constScanLine(y));
    const uchar* index = indexed.constScanLine(y);
    for (int x = 0; x < colours.width(); ++x)
      if (index[x] >= table.size() || (table[index[x]] | 0xFF000000u) != (rgb[x] | 0xFF000000u)) {
        *exact = false;
        break;
      }
  }
  return indexed;
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
  if (IsIndexedPng(device)) return DecodeIndexedPng(device, maxSide, fill, reason, filled);
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

QImage DecodeWholePicture(QIODevice& device, int maxSide, QString* reason) {
  const qint64 start = device.pos();
  const std::optional<BitmapLayout> layout = LayoutAtStart(device);
  bool filled = false;
  QImage image = DecodePicture(device, maxSide, 0x00, reason, &filled);
  if (image.isNull()) return {};
  if (layout && !layout->RowsKnown) {
    // Run-length rows may jump over pixels or stop early; decoded again over another fill,
    // such a picture comes out different. Without a fill, fresh memory could match itself.
    QImage again;
    if (filled && device.seek(start)) again = DecodePicture(device, maxSide, 0xFF, reason);
    if (again.isNull() || !SamePixels(again, image)) {
      *reason = QString::fromUtf8(kPictureIncompleteReason);
      return {};
    }
  }
  return image;
}

PictureReadResult ReadPictureBlock(QIODevice& device, TileSurface& clip, int maxSide) {
  QString reason;
  QImage image = DecodeWholePicture(device, maxSide, &reason);
  if (image.isNull()) return {false, reason};
  const bool indexed = image.format() == QImage::Format_Indexed8 ||
                       image.format() == QImage::Format_Mono ||
                       image.format() == QImage::Format_MonoLSB;
  bool exact = true;
  image = ToIndexed(image, &exact);
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
  return {true,          {},
          indexed,       static_cast<int32_t>(std::min<qsizetype>(table.size(), 256)),
          exact,         image.width(),
          image.height()};
}

PictureReadResult ReadPictureFile(const QString& path, TileSurface& clip) {
  return ReadPictureFile(QFile::encodeName(path).toStdString(), clip);
}

bool OpenPictureFile(const std::string& path, QFile& file, QString* reason) {
  // Non-blocking, so a named pipe is refused instead of waiting for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    *reason = QString::fromStdString(SystemReason(errno));
    return false;
  }
  struct stat info {};
  const bool examined = ::fstat(fd, &info) == 0;
  if (!examined || !S_ISREG(info.st_mode)) {
    *reason =
        QString::fromStdString(examined ? NotRegularFileReason(info.st_mode) : SystemReason(errno));
    ::close(fd);
    return false;
  }
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    *reason = file.errorString();
    return false;
  }
  return true;
}

PictureReadResult ReadPictureFile(const std::string& path, TileSurface& clip) {
  QFile file;
  QString reason;
  if (!OpenPictureFile(path, file, &reason)) return {false, reason};
  return ReadPictureBlock(file, clip);
}

}  // namespace varnock
