#include "tools/clip_form.h"

#include "document/child_form.h"
#include "shell/surface_image.h"

#include <QPainter>

namespace varnock {

TClipForm::TClipForm()
    : QWidget(nullptr,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QStringLiteral("Tile Arranger"));
  setFixedSize(384, 256);
  move(545, 81);
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::black);
  setPalette(background);

  SetUpTileSurface(ArrangerSurface, kArrangerColumns, kArrangerRows);
  std::fill(ArrangerSurface.Pixels.begin(), ArrangerSurface.Pixels.end(), kEmptyCellIndex);
}

void TClipForm::FormPaint() {
  update();
}

void TClipForm::ForgetRom(const TChildForm* rom) {
  for (int row = 0; row < kArrangerRows; ++row) {
    for (int column = 0; column < kArrangerColumns; ++column) {
      ArrangerCell& cell = Cells[row][column];
      // A cell whose window is already gone counts as belonging to the closing one.
      if (cell.Tile && (cell.Rom == rom || cell.Rom.isNull())) {
        cell.Tile = nullptr;
        cell.Rom = nullptr;
        FillSurfaceTile(ArrangerSurface, column, row, kEmptyCellIndex);
      }
    }
  }
  FormPaint();
}

void TClipForm::TakePalette(const PaletteTable& palette) {
  ArrangerPalette = palette;
  CopyPaletteToColors(ArrangerPalette, 0, 16, ArrangerSurface.Colors);
}

void TClipForm::paintEvent(QPaintEvent*) {
  ++PaintCount;
  QPainter painter(this);
  painter.drawImage(rect(), IndexedImage(ArrangerSurface));
}

}  // namespace varnock
