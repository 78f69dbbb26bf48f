// The small dialog of "Blocchi colonna..." and "Blocchi riga...": how many tiles wide and high
// one block of the arrangement is.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QSpinBox>
#include <cstdint>

namespace varnock {

class TBlockSizeForm : public QDialog {
  Q_OBJECT
 public:
  // Titled `title`, preset with a block of `width` x `height` tiles (kept within 1..8).
  TBlockSizeForm(QWidget* parent, const QString& title, int32_t width, int32_t height);

  QSpinBox* WidthBox = nullptr;
  QSpinBox* HeightBox = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 signals:
  void Chosen(int32_t width, int32_t height);
};

}  // namespace varnock
