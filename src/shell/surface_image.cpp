#include "shell/surface_image.h"

#include "codec/surface_bounds.h"

namespace varnock {

QImage IndexedImage(const TileSurface& surface) {
  // Size fields changed since the last rebuild no longer describe the pixels: such a surface
  // gives no picture rather than one that reads past its end.
  const SurfaceBounds bounds = BoundsOf(surface);
  if (bounds.Empty()) return {};
  const auto width = static_cast<int>(bounds.Width);
  QImage image(surface.Pixels.data(), width, static_cast<int>(bounds.Height), width,
               QImage::Format_Indexed8);
  QList<QRgb> table;
  table.reserve(static_cast<qsizetype>(surface.Colors.size()));
  for (const SurfaceColor& c : surface.Colors) table.append(qRgb(c.red, c.green, c.blue));
  image.setColorTable(table);
  return image;
}

}  // namespace varnock
