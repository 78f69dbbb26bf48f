// "Sposta...": a stream that no longer fits its place is written elsewhere, by default at the
// first free run from the image's end; in a GBA image the words that point at the old place
// are listed, and those ticked follow the stream.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cstdint>
#include <vector>

#include "document/stream_move.h"

namespace varnock {

class TChildForm;

class TStreamMoveForm : public QDialog {
  Q_OBJECT
 public:
  // For the stream window `stream`, whose graphics compress to `compressed`.
  TStreamMoveForm(TChildForm* stream, std::vector<uint8_t> compressed);

  // Moves the stream to the offset in the box, the ticked words following it; a place it
  // cannot take is explained and the dialog stays open.
  void MoveButtonClick();
  // The words ticked in the list.
  std::vector<int64_t> TickedPointers() const;

  QLineEdit* OffsetEdit = nullptr;     // hexadecimal; preset with the first free run
  QLabel* PlaceLabel = nullptr;        // what the box's offset holds, or why it cannot be used
  QListWidget* PointerList = nullptr;  // item data: the word's offset
  QPushButton* MoveButton = nullptr;
  QPushButton* CancelButton = nullptr;
  StreamMovePlan Plan;  // the move the box's offset gives

 private:
  // Plans the move to the box's offset and says what lies there.
  void Replan();

  TChildForm* stream_;
  std::vector<uint8_t> compressed_;
};

}  // namespace varnock
