#include "shell/about_form.h"

#include <QFrame>
#include <QLabel>

#include "shell/prompts.h"

namespace varnock {

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Info su Varnock Pro ITA"));
  setFixedSize(289, 252);
  setModal(true);
  KeepAboveToolWindows(this);

  auto* frame = new QFrame(this);
  frame->setGeometry(8, 8, 273, 185);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Raised);
  auto* title = new QLabel(QStringLiteral("Varnock Pro ITA"), frame);
  QFont big = title->font();
  big.setBold(true);
  big.setPixelSize(24);
  title->setFont(big);
  title->setAlignment(Qt::AlignCenter);
  title->setGeometry(0, 40, 273, 40);
  auto* version = new QLabel(QStringLiteral("Versione 1.1"), frame);
  version->setAlignment(Qt::AlignCenter);
  version->setGeometry(0, 90, 273, 20);
  auto* line = new QFrame(frame);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(16, 120, 241, 2);

  Button1 = new QPushButton(QStringLiteral("ClikkA kui!"), this);
  Button1->setGeometry(104, 208, 81, 33);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace varnock
