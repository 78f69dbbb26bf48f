// "Spazio dello stream...": the room of a stream window's stream (the bytes its saves may
// take) and the byte a shorter save leaves in the rest of it.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <cstdint>
#include <optional>

namespace varnock {

class TChildForm;

// The hexadecimal box of a fill byte, preset with `fill`, as the open and room dialogs show it.
QLineEdit* NewFillByteEdit(uint8_t fill, QWidget* parent);
// The byte in `edit`; text that is not one is said to the user, the box takes the focus and
// none is returned.
std::optional<uint8_t> ReadFillByte(QLineEdit* edit);

class TStreamRoomForm : public QDialog {
  Q_OBJECT
 public:
  // Preset with the stream window's room and fill byte; the room cannot go below what the
  // stream takes nor past the end of the source's image.
  explicit TStreamRoomForm(TChildForm* stream);

  // Gives the stream the chosen room and fill byte, or says why not and stays open.
  void OkButtonClick();

  QSpinBox* RoomBox = nullptr;
  QLineEdit* FillEdit = nullptr;  // hexadecimal byte
  QLabel* TakesLabel = nullptr;
  QLabel* FailureLabel = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 private:
  TChildForm* stream_;
};

}  // namespace varnock
