// Arbitrary bytes as a picture file through the import the ROM window runs (Qt's image reader
// and the reduction to a block of tiles). Either the picture is refused and the clipboard is
// left exactly as it was, or the clipboard holds whole tiles that fit its pixel count and every
// pixel came from the file: decoded again into images filled with two different bytes, the
// picture comes out the same. scripts/fuzz.sh seeds the corpus with valid BMPs and PNGs
// (fuzz/picture_seeds.cpp), so the readers are reached at all.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

#include "codec/tile_surface.h"
#include "pictures/picture_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Smaller than the program's own limit, so one input cannot take gigabytes.
constexpr int kFuzzMaxSide = 2048;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  varnock::TileSurface clip;
  clip.TilesAcross = 1;
  clip.TilesDown = 2;
  varnock::RebuildSurface(clip);
  clip.Pixels[5] = 7;
  clip.Colors[3] = {1, 2, 3, 0};
  clip.DecodeBits = 4;
  const varnock::TileSurface before = clip;
  if (!varnock::ReadPictureBlock(buffer, clip, kFuzzMaxSide).Ok) {
    Check(clip.Pixels == before.Pixels && clip.TilesAcross == 1 && clip.TilesDown == 2 &&
          clip.Colors == before.Colors);
    return 0;
  }
  Check(clip.DecodeBits == 4);
  Check(clip.TilesAcross >= 0 && clip.TilesDown >= 0);
  Check(int64_t{clip.TilesAcross} * 8 <= kFuzzMaxSide &&
        int64_t{clip.TilesDown} * 8 <= kFuzzMaxSide);
  Check(clip.Pixels.size() == size_t(clip.PixelCount));
  Check(clip.PixelCount == 0 || clip.PixelCount == clip.Width() * clip.Height());

  QString reason;
  Check(buffer.seek(0));
  const QImage zeros = varnock::DecodePicture(buffer, kFuzzMaxSide, 0x00, &reason);
  Check(buffer.seek(0));
  const QImage ones = varnock::DecodePicture(buffer, kFuzzMaxSide, 0xFF, &reason);
  Check(!zeros.isNull() && varnock::SamePixels(zeros, ones));
  return 0;
}
