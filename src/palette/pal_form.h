// The palette editor: the served window's sub-palette as swatches, the foreground and
// background picks, and red, green and blue controls for the foreground entry.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QWidget>
#include <array>

#include "codec/tile_surface.h"
#include "palette/palette.h"
#include "palette/swatch_widget.h"

namespace varnock {

class TChildForm;

class TPalForm : public QWidget {
  Q_OBJECT
 public:
  TPalForm();

  // Rebuilds the controls from the served palette and publishes the sub-palette.
  void RefreshPalette();
  // Puts the shown sub-palette into the served surface's colours and repaints what shows it.
  void ApplyPalette();

  // --- editor state, loaded by the window that activates itself ---
  TileSurface* TargetSurface = nullptr;
  PaletteTable* TargetPalette = nullptr;
  uint8_t LeftColor = 1;
  uint8_t RightColor = 0;
  int32_t SwatchCount = 2;
  int32_t FirstEntry = 0;
  int32_t BitsPerPixel = 1;
  int32_t SubPalette = 0;
  int32_t PaletteSize = 256;

  // --- designed controls ---
  QScrollBar* RedBar = nullptr;
  QScrollBar* GreenBar = nullptr;
  QScrollBar* BlueBar = nullptr;
  SwatchWidget* BGShape = nullptr;
  SwatchWidget* FGShape = nullptr;
  QLineEdit* REdit = nullptr;
  QLineEdit* GEdit = nullptr;
  QLineEdit* BEdit = nullptr;
  std::array<SwatchWidget*, 16> Shapes{};  // Shape1 .. Shape16
  QSpinBox* PalUpDown = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;

  // Change-event guards: the editor's own updates of its controls must not act as edits.
  bool EditsLive = false;
  bool BarsLive = false;

 private:
  void LayOutSwatches();
  // The served entry the bars and boxes edit, kept inside the palette.
  int32_t ForegroundEntry() const;
  void ShowForegroundChannels();
};

// The ROM window the tool windows serve, or null (none, or the arranger is served).
TChildForm* ServedRom();
// True when the tile arranger is the served window.
bool ServingArranger();

}  // namespace varnock
