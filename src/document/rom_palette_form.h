// The small dialog of "Carica da R&OM...": where in the image a palette starts, its encoding
// and how many colours it has.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>

#include "palette/rom_palette.h"

namespace varnock {

class TRomPalForm : public QDialog {
  Q_OBJECT
 public:
  // Preset with the offset in hexadecimal, an encoding and an entry count.
  TRomPalForm(QWidget* parent, int32_t offset, RomPaletteFormat format, int32_t count);

  // Reads the boxes: a palette is chosen, or the offset is not a number (which is reported and
  // keeps the dialog open).
  void OkButtonClick();

  QLineEdit* OffsetEdit = nullptr;
  QComboBox* EncodingBox = nullptr;  // item data: RomPaletteFormat
  QComboBox* EntriesBox = nullptr;   // item data: entry count
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 signals:
  void Chosen(int32_t offset, RomPaletteFormat format, int32_t count);
};

}  // namespace varnock
