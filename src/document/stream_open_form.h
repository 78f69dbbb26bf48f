// The small dialog of "Apri grafica compressa...": which compression format, and the offset
// the stream starts at.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
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
  // keeps the dialog open). The dialog closes unless the receiver of Chosen calls ShowFailure.
  void OkButtonClick();
  // The chosen stream could not be opened: the dialog stays open and says why.
  void ShowFailure(const QString& reason);

  QComboBox* FormatBox = nullptr;  // item data: CompressionFormat
  QLineEdit* OffsetEdit = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QLabel* FailureLabel = nullptr;  // hidden until a chosen stream does not open

 signals:
  void Chosen(int32_t offset, varnock::CompressionFormat format);

 private:
  bool failed_ = false;
};

}  // namespace varnock
