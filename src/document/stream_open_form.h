// The small dialog of "Apri grafica compressa...": which compression format, the offset the
// stream starts at, the room its saves may take and the byte a shorter save leaves behind.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <span>

#include "compression/compression.h"
#include "document/stream_link.h"

namespace varnock {

class TStreamOpenForm : public QDialog {
  Q_OBJECT
 public:
  // Preset with `format` and the offset in hexadecimal. `image` is the window's image: the
  // room box shows what the stream there takes, the fill box its free-space byte.
  TStreamOpenForm(QWidget* parent, int32_t offset, CompressionFormat format,
                  std::span<const uint8_t> image);

  // Reads the boxes: a stream is chosen, or the offset is not a number (which is reported and
  // keeps the dialog open). The dialog closes unless the receiver of Chosen calls ShowFailure.
  void OkButtonClick();
  // The chosen stream could not be opened: the dialog stays open and says why.
  void ShowFailure(const QString& reason);

  QComboBox* FormatBox = nullptr;  // item data: CompressionFormat
  QLineEdit* OffsetEdit = nullptr;
  QLineEdit* RoomEdit = nullptr;  // bytes, decimal or 0x...; empty: what the stream takes
  QLineEdit* FillEdit = nullptr;  // hexadecimal byte
  QLabel* TakesLabel = nullptr;   // what the stream at the offset takes
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QLabel* FailureLabel = nullptr;  // hidden until a chosen stream does not open

 signals:
  void Chosen(int32_t offset, varnock::CompressionFormat format, varnock::StreamRoomChoice room);

 private:
  // The room box follows what the stream at the offset takes until the user types into it.
  void ShowWhatTheStreamTakes();

  std::span<const uint8_t> image_;
  bool failed_ = false;
  bool roomTyped_ = false;
};

}  // namespace varnock
