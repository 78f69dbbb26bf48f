// The palette editor: the served window's sub-palette as swatches, the foreground and
// background picks, and red, green and blue controls for the foreground entry.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

  // --- handlers ---
  // A press on swatch `swatch`: left picks the foreground (twice in a row on the same swatch
  // within the double-click interval opens the colour dialog), right or middle the background.
  void Shape1MouseDown(SwatchWidget* swatch, Qt::MouseButton button);
  // Any of the three bars moved: the foreground entry takes all three positions.
  void RedBarChange();
  // The text of `edit` (REdit, GEdit or BEdit) changed: normalise it and move its bar.
  void REditChange(QLineEdit* edit);
  // Whether a typed character reaches an edit box: only digits and backspace do.
  static bool REditKeyPress(QChar key);
  // The up-down moved: show the sub-palette at its position.
  void PalUpDownClick();
  // The editor lost activation: hand the picks (and a ROM window's sub-palette) back.
  void FormDeactivate();
  // Hands the picks (and a ROM window's sub-palette) to the served window. Run at every pick
  // and page as well as at deactivation: the platform may tell the next window that it is
  // active before telling this one that it is not, and that window reads the picks at once.
  void StorePicks();
  // Makes swatch `index` the foreground (or the background) as a single press on it does, for
  // the tile editor's colour picker. False, with nothing changed, while nothing is served or
  // when the index has no swatch.
  bool PickSwatch(int index, bool background);

  // --- the 8-bit layout's own controls ---
  // Index, hexadecimal RGB and console word of swatch `swatch` (the one under the pointer);
  // -1 clears the line.
  void ShowSwatchInfo(int swatch);
  // A colour typed in hexadecimal ("#RRGGBB") becomes the foreground entry's, as the bars'
  // would; anything else is refused in the line itself.
  void HexEdit1Return();
  // "Rampa di grigi": the whole served palette becomes 256 grey steps.
  void GreyRamp1Click();
  // The foreground and background marks on the swatches of the 8-bit layout.
  void ShowMarkers();

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
  // Shape1 .. Shape256: sixteen as designed, all 256 at 8 bits per pixel.
  std::array<SwatchWidget*, kPaletteEntries> Shapes{};
  QSpinBox* PalUpDown = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  // Shown only while 8-bit tiles are: the line about the swatch under the pointer, the
  // hexadecimal colour field and the grey ramp.
  QLabel* SwatchInfo = nullptr;
  QLineEdit* HexEdit1 = nullptr;
  QPushButton* GreyRamp1 = nullptr;

  // Change-event guards: the editor's own updates of its controls must not act as edits.
  bool EditsLive = false;
  bool BarsLive = false;

  // Double-click bookkeeping of left presses on the swatches.
  SwatchWidget* LastSwatch = nullptr;
  uint32_t DoubleClickInterval = 0;
  uint32_t LastClickTime = 0;
  uint32_t ClickTime = 0;

 protected:
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectHandlers();
  void BuildEightBitControls();
  // Marks the served ROM window's palette as edited; the arranger's palette has no such mark.
  void MarkPaletteModified();
  void LayOutSwatches();
  // The served entry the bars and boxes edit, kept inside the palette.
  int32_t ForegroundEntry() const;
  void ShowForegroundChannels();
};

// The layout of the 256 swatches at 8 bits per pixel: a block below the designed controls.
inline constexpr int kWideSwatchSide = 14;
inline constexpr int kWideSwatchLeft = 8;
inline constexpr int kWideSwatchTop = 82;

// The ROM window the tool windows serve, or null (none, or the arranger is served).
TChildForm* ServedRom();
// True when the tile arranger is the served window.
bool ServingArranger();

}  // namespace varnock
