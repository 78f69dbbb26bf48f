// The about box.
#pragma once

#include <QDialog>
#include <QPushButton>

namespace varnock {

class TAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutForm(QWidget* parent);
  QPushButton* Button1 = nullptr;
};

}  // namespace varnock
