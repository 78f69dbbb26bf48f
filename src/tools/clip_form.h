// The tile arranger: a 24 x 16 scratch board of tiles that refer to bytes in ROM windows.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>

#include "codec/tile_surface.h"
#include "palette/palette.h"

namespace varnock {

class TChildForm;

struct ArrangerCell {
  QPointer<TChildForm> Rom;  // owner of the tile's bytes
  uint8_t* Tile = nullptr;   // null: the cell is empty
  TileFormat Format = 0;
  int32_t Offset = 0;
  int32_t BitsPerPixel = 0;
  int32_t TileBytes = 0;
};

inline constexpr int kArrangerColumns = 24;
inline constexpr int kArrangerRows = 16;
// Index the empty cells are filled with; ApplyPalette gives it a dark grey.
inline constexpr uint8_t kEmptyCellIndex = 16;

class TClipForm : public QWidget {
  Q_OBJECT
 public:
  TClipForm();

  void FormPaint();
  // Empties every cell that refers to `rom` (a ROM window that is closing).
  void ForgetRom(const TChildForm* rom);
  // Copies a window's palette in: all 256 entries, and entries 0..15 into the cell colours.
  void TakePalette(const PaletteTable& palette);

  uint8_t LeftColor = 1;
  uint8_t RightColor = 0;
  PaletteTable ArrangerPalette{};
  TileSurface ArrangerSurface;
  std::array<std::array<ArrangerCell, kArrangerColumns>, kArrangerRows> Cells{};

  int PaintCount = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace varnock
