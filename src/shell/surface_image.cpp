#include "shell/surface_image.h"

namespace varnock {

QImage IndexedImage(const TileSurface& surface) {
  QImage image(surface.Pixels.data(), surface.Width(), surface.Height(), surface.Width(),
               QImage::Format_Indexed8);
  QList<QRgb> table;
  table.reserve(static_cast<qsizetype>(surface.Colors.size()));
  for (const SurfaceColor& c : surface.Colors) table.append(qRgb(c.red, c.green, c.blue));
  image.setColorTable(table);
  return image;
}

}  // namespace varnock
