#include "document/stream_open_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "document/free_space.h"
#include "document/goto_form.h"
#include "document/stream_argument.h"
#include "document/stream_room_form.h"
#include "shell/dialog_buttons.h"
#include "shell/prompts.h"
#include "shell/window_places.h"

namespace varnock {

TStreamOpenForm::TStreamOpenForm(QWidget* parent, int32_t offset, CompressionFormat format,
                                 std::span<const uint8_t> image)
    : QDialog(parent), image_(image) {
  setObjectName(QStringLiteral("StreamOpenForm"));
  setWindowTitle(QStringLiteral("Apri grafica compressa"));
  setAttribute(Qt::WA_DeleteOnClose);
  KeepAboveToolWindows(this);

  FormatBox = new QComboBox(this);
  FormatBox->setObjectName(QStringLiteral("FormatBox"));
  for (const CompressionFormatInfo& info : AllCompressionFormats())
    FormatBox->addItem(QString::fromUtf8(info.DisplayName), static_cast<int>(info.Format));
  FormatBox->setCurrentIndex(std::max(0, FormatBox->findData(static_cast<int>(format))));

  OffsetEdit =
      new QLineEdit(QStringLiteral("%1").arg(static_cast<uint32_t>(offset), 0, 16).toUpper(), this);
  OffsetEdit->setObjectName(QStringLiteral("OffsetEdit"));
  // Offsets are 32-bit: at most eight hexadecimal digits.
  OffsetEdit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,8}")), OffsetEdit));

  RoomEdit = new QLineEdit(this);
  RoomEdit->setObjectName(QStringLiteral("RoomEdit"));
  RoomEdit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{0,10}|0[xX][0-9A-Fa-f]{0,8}")), RoomEdit));
  TakesLabel = new QLabel(this);
  TakesLabel->setObjectName(QStringLiteral("TakesLabel"));
  FillEdit = NewFillByteEdit(FreeSpaceByte(image), this);
  connect(OffsetEdit, &QLineEdit::textChanged, this, &TStreamOpenForm::ShowWhatTheStreamTakes);
  connect(FormatBox, &QComboBox::currentIndexChanged, this,
          &TStreamOpenForm::ShowWhatTheStreamTakes);
  connect(RoomEdit, &QLineEdit::textEdited, this, [this] { roomTyped_ = true; });

  const DialogButtonRow buttons = MakeDialogButtonRow(this);
  OkButton = buttons.Accept;
  CancelButton = buttons.Cancel;
  connect(OkButton, &QPushButton::clicked, this, &TStreamOpenForm::OkButtonClick);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Formato:"), FormatBox);
  fields->addRow(QStringLiteral("&Offset (hex):"), OffsetEdit);
  fields->addRow(QStringLiteral("&Spazio (byte):"), RoomEdit);
  fields->addRow(QString(), TakesLabel);
  fields->addRow(QStringLiteral("&Riempimento (hex):"), FillEdit);
  FailureLabel = new QLabel(this);
  FailureLabel->setObjectName(QStringLiteral("FailureLabel"));
  FailureLabel->setWordWrap(true);
  FailureLabel->setStyleSheet(QStringLiteral("color: #b00000"));
  FailureLabel->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(FailureLabel);
  layout->addLayout(buttons.Row);
  ShowWhatTheStreamTakes();
  // The offset is what a user comes to type: it takes the keys first, ready to be typed over.
  OffsetEdit->setFocus();
  OffsetEdit->selectAll();
}

void TStreamOpenForm::ShowWhatTheStreamTakes() {
  const std::optional<int32_t> offset = TGotoForm::ParseHex(OffsetEdit->text());
  const auto format = static_cast<CompressionFormat>(FormatBox->currentData().toInt());
  std::optional<size_t> takes;
  if (offset && *offset >= 0 && static_cast<size_t>(*offset) < image_.size()) {
    const DecompressResult stream =
        Decompress(format, image_.subspan(static_cast<size_t>(*offset)));
    if (stream.ok()) takes = stream.Consumed;
  }
  TakesLabel->setText(takes ? QStringLiteral("Lo stream occupa %1 byte.").arg(*takes)
                            : QStringLiteral("Nessuno stream completo a questo offset."));
  if (!roomTyped_) RoomEdit->setText(takes ? QString::number(*takes) : QString());
}

void TStreamOpenForm::ShowFailure(const QString& reason) {
  failed_ = true;
  FailureLabel->setText(reason);
  FailureLabel->show();
  // The dialog grows to show the whole reason, and keeps clear of the tool windows.
  adjustSize();
  MoveClearOfToolWindows(this);
}

void TStreamOpenForm::OkButtonClick() {
  const std::optional<int32_t> offset = TGotoForm::ParseHex(OffsetEdit->text());
  if (!offset) {
    ShowNotAnInteger(OffsetEdit->text());
    OffsetEdit->setFocus();
    return;
  }
  const auto format = static_cast<CompressionFormat>(FormatBox->currentData().toInt());
  StreamRoomChoice room;
  if (!RoomEdit->text().isEmpty()) {
    const std::optional<int32_t> bytes = ParseStreamNumber(RoomEdit->text().toStdString());
    if (!bytes) {
      ShowNotAnInteger(RoomEdit->text());
      RoomEdit->setFocus();
      return;
    }
    room.Room = *bytes;
  }
  room.FillByte = ReadFillByte(FillEdit);
  if (!room.FillByte) return;
  failed_ = false;
  FailureLabel->hide();
  emit Chosen(*offset, format, room);
  if (failed_) {
    OffsetEdit->setFocus();
    OffsetEdit->selectAll();
    return;
  }
  accept();
}

}  // namespace varnock
