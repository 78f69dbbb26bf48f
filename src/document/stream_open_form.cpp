#include "document/stream_open_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "document/goto_form.h"
#include "shell/prompts.h"
#include "shell/window_places.h"

namespace varnock {

TStreamOpenForm::TStreamOpenForm(QWidget* parent, int32_t offset, CompressionFormat format)
    : QDialog(parent) {
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

  OkButton = new QPushButton(QStringLiteral("OK"), this);
  OkButton->setObjectName(QStringLiteral("OkButton"));
  OkButton->setDefault(true);
  CancelButton = new QPushButton(QStringLiteral("Annulla"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  connect(OkButton, &QPushButton::clicked, this, &TStreamOpenForm::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Formato:"), FormatBox);
  fields->addRow(QStringLiteral("&Offset (hex):"), OffsetEdit);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  FailureLabel = new QLabel(this);
  FailureLabel->setObjectName(QStringLiteral("FailureLabel"));
  FailureLabel->setWordWrap(true);
  FailureLabel->setStyleSheet(QStringLiteral("color: #b00000"));
  FailureLabel->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(FailureLabel);
  layout->addLayout(buttons);
  // The offset is what a user comes to type: it takes the keys first, ready to be typed over.
  OffsetEdit->setFocus();
  OffsetEdit->selectAll();
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
  failed_ = false;
  FailureLabel->hide();
  emit Chosen(*offset, format);
  if (failed_) {
    OffsetEdit->setFocus();
    OffsetEdit->selectAll();
    return;
  }
  accept();
}

}  // namespace varnock
