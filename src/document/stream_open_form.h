// The small dialog of "Apri grafica compressa...": which compression format, and the offset
// the stream starts at.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>

#include "compression/compression.h"

namespace varnock {

class TStreamOpenForm : public QDialog {
  Q_OBJECT
 public:
  // Preset with `format` and the offset in hexadecimal.
  TStreamOpenForm(QWidget* parent, int32_t offset, CompressionFormat format);

  // Reads the boxes: a stream is chosen, or the offset is not a number (which is reported and
  // keeps the dialog open).
  void OkButtonClick();

  QComboBox* FormatBox = nullptr;  // item data: CompressionFormat
  QLineEdit* OffsetEdit = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 signals:
  void Chosen(int32_t offset, varnock::CompressionFormat format);
};

}  // namespace varnock
