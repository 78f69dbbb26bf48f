// Button pictures, drawn by the program so no image files are needed.
#pragma once

#include <QIcon>

namespace varnock {

enum class GlyphKind {
  Open,
  Save,
  ZoomIn,
  ZoomOut,
  Grid,
  FlipHorizontal,
  FlipVertical,
  Rotate,
  Undo
};

// The glyph at its button size (16 x 16 for the toolbar, 32 x 32 for the tile editor); the
// disabled state is derived by the icon.
QIcon Glyph(GlyphKind kind);

}  // namespace varnock
