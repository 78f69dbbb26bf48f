// A tile surface seen as an 8-bit indexed image, for the small windows that draw it scaled.
#pragma once

#include <QImage>

#include "codec/tile_surface.h"

namespace varnock {

// Shares the surface's pixels (no copy): use it while the surface is unchanged.
QImage IndexedImage(const TileSurface& surface);

}  // namespace varnock
