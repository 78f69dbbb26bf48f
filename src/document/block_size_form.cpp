#include "document/block_size_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "document/tile_arrangement.h"
#include "shell/dialog_buttons.h"
#include "shell/prompts.h"

namespace varnock {
namespace {

QSpinBox* MakeSideBox(QWidget* parent, const char* name, int32_t value) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setRange(1, kMaxBlockSide);
  box->setValue(value);
  return box;
}

}  // namespace

TBlockSizeForm::TBlockSizeForm(QWidget* parent, const QString& title, int32_t width, int32_t height)
    : QDialog(parent) {
  setObjectName(QStringLiteral("BlockSizeForm"));
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose);
  KeepAboveToolWindows(this);
  // Wide enough for the title to read whole in a window manager's caption.
  setMinimumWidth(260);
  WidthBox = MakeSideBox(this, "WidthBox", width);
  HeightBox = MakeSideBox(this, "HeightBox", height);
  const DialogButtonRow buttons = MakeDialogButtonRow(this);
  OkButton = buttons.Accept;
  CancelButton = buttons.Cancel;
  connect(OkButton, &QPushButton::clicked, this, [this] {
    accept();
    emit Chosen(WidthBox->value(), HeightBox->value());
  });

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Larghezza (tile):"), WidthBox);
  fields->addRow(QStringLiteral("&Altezza (tile):"), HeightBox);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons.Row);
}

}  // namespace varnock
