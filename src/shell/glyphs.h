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
  Undo,
  // The tile editor's drawing tools.
  Pen,
  Line,
  Rectangle,
  FilledRectangle,
  Fill,
  ColorPicker,
  PixelGrid
};

// The glyph at its button size (16 x 16 for the toolbar, 32 x 32 for the tile editor); the
// disabled state is derived by the icon.
QIcon Glyph(GlyphKind kind);

// The program's own icon, the one the desktop shows for it, in every size it is drawn in.
QIcon ProgramIcon();

}  // namespace varnock
