#include "document/stream_room_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "document/child_form.h"
#include "shell/dialog_buttons.h"
#include "shell/prompts.h"
#include "shell/window_places.h"

namespace varnock {

QLineEdit* NewFillByteEdit(uint8_t fill, QWidget* parent) {
  auto* edit = new QLineEdit(
      QStringLiteral("%1").arg(static_cast<int>(fill), 2, 16, QLatin1Char('0')).toUpper(), parent);
  edit->setObjectName(QStringLiteral("FillEdit"));
  edit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9A-Fa-f]{1,2}")), edit));
  return edit;
}

std::optional<uint8_t> ReadFillByte(QLineEdit* edit) {
  bool isByte = false;
  const uint fill = edit->text().toUInt(&isByte, 16);
  if (isByte && fill <= 0xFF) return static_cast<uint8_t>(fill);
  ShowNotAnInteger(edit->text());
  edit->setFocus();
  return std::nullopt;
}

TStreamRoomForm::TStreamRoomForm(TChildForm* stream) : QDialog(stream), stream_(stream) {
  setObjectName(QStringLiteral("StreamRoomForm"));
  setWindowTitle(QStringLiteral("Spazio dello stream"));
  setAttribute(Qt::WA_DeleteOnClose);
  KeepAboveToolWindows(this);
  const StreamLink& link = *stream->Doc.Stream;
  const TChildForm* source = stream->StreamSource.data();
  const int64_t imageSize = source ? source->Doc.RomSize : link.Offset + link.PlaceLength;

  RoomBox = new QSpinBox(this);
  RoomBox->setObjectName(QStringLiteral("RoomBox"));
  // The box's own limits are loose: a room it refuses is explained, not silently clamped.
  RoomBox->setRange(1, INT_MAX);
  RoomBox->setValue(link.PlaceLength);
  RoomBox->setSuffix(QStringLiteral(" byte"));
  TakesLabel = new QLabel(QStringLiteral("Lo stream occupa %1 byte; fino alla fine dell'immagine "
                                         "ce ne sono %2.")
                              .arg(link.StreamLength)
                              .arg(std::max<int64_t>(imageSize - link.Offset, 0)),
                          this);
  TakesLabel->setObjectName(QStringLiteral("TakesLabel"));
  FillEdit = NewFillByteEdit(link.FillByte, this);
  FailureLabel = new QLabel(this);
  FailureLabel->setObjectName(QStringLiteral("FailureLabel"));
  FailureLabel->setWordWrap(true);
  FailureLabel->setStyleSheet(QStringLiteral("color: #b00000"));
  FailureLabel->hide();

  const DialogButtonRow buttons = MakeDialogButtonRow(this);
  OkButton = buttons.Accept;
  CancelButton = buttons.Cancel;
  connect(OkButton, &QPushButton::clicked, this, &TStreamRoomForm::OkButtonClick);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Spazio:"), RoomBox);
  fields->addRow(QString(), TakesLabel);
  fields->addRow(QStringLiteral("&Riempimento (hex):"), FillEdit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(FailureLabel);
  layout->addLayout(buttons.Row);
}

void TStreamRoomForm::OkButtonClick() {
  const std::optional<uint8_t> fill = ReadFillByte(FillEdit);
  if (!fill) return;
  const QString refusal = stream_->SetStreamRoom({RoomBox->value(), *fill});
  if (refusal.isEmpty()) {
    accept();
    return;
  }
  FailureLabel->setText(refusal);
  FailureLabel->show();
  adjustSize();
  MoveClearOfToolWindows(this);
}

}  // namespace varnock
