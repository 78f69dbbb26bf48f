#include "document/stream_move_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "document/child_form.h"
#include "document/goto_form.h"
#include "shell/dialog_buttons.h"
#include "shell/prompts.h"

namespace varnock {
namespace {

QString Hex(int64_t offset) {
  return QString::fromStdString(OffsetHexText(offset));
}

}  // namespace

TStreamMoveForm::TStreamMoveForm(TChildForm* stream, std::vector<uint8_t> compressed)
    : QDialog(stream), stream_(stream), compressed_(std::move(compressed)) {
  setObjectName(QStringLiteral("StreamMoveForm"));
  setWindowTitle(QStringLiteral("Sposta lo stream"));
  setAttribute(Qt::WA_DeleteOnClose);
  KeepAboveToolWindows(this);

  const TChildForm* source = stream->StreamSource.data();
  const TChildForm::StreamPlace place = stream->StreamMovePlace();
  const StreamMovePlan automatic =
      PlanStreamMove(*stream->Doc.Stream, place.Image, compressed_, std::nullopt, place.Gba);
  auto* intro = new QLabel(
      QStringLiteral("Lo stream compresso occupa %1 byte e non entra più a %2 in %3. Sarà scritto "
                     "all'offset scelto; il vecchio posto resta com'è.")
          .arg(compressed_.size())
          .arg(Hex(stream->Doc.Stream->Offset), source ? source->DocumentName() : QString()),
      this);
  intro->setWordWrap(true);
  OffsetEdit = new QLineEdit(
      automatic.Refusal.empty() ? QString::number(automatic.Offset, 16).toUpper() : QString(),
      this);
  OffsetEdit->setObjectName(QStringLiteral("OffsetEdit"));
  OffsetEdit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,8}")), OffsetEdit));
  PlaceLabel = new QLabel(this);
  PlaceLabel->setObjectName(QStringLiteral("PlaceLabel"));
  PlaceLabel->setWordWrap(true);
  if (!automatic.Refusal.empty()) PlaceLabel->setText(QString::fromStdString(automatic.Refusal));
  PointerList = new QListWidget(this);
  PointerList->setObjectName(QStringLiteral("PointerList"));
  PointerList->setVisible(place.Gba);
  // The words point at the old place whatever the new one: listed once, so the user's ticks
  // stay while the offset is typed.
  if (place.Gba)
    for (int64_t word : FindPointerWords(place.Image, stream->Doc.Stream->Offset)) {
      auto* item = new QListWidgetItem(
          QStringLiteral("%1: 0x%2")
              .arg(Hex(word))
              .arg(kGbaRomAddress + static_cast<uint32_t>(stream->Doc.Stream->Offset), 8, 16,
                   QLatin1Char('0')),
          PointerList);
      item->setData(Qt::UserRole, QVariant::fromValue<qint64>(word));
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(Qt::Checked);
    }

  const DialogButtonRow buttons =
      MakeDialogButtonRow(this, QStringLiteral("&Sposta"), QStringLiteral("MoveButton"));
  MoveButton = buttons.Accept;
  CancelButton = buttons.Cancel;
  connect(MoveButton, &QPushButton::clicked, this, &TStreamMoveForm::MoveButtonClick);
  connect(OffsetEdit, &QLineEdit::textChanged, this, &TStreamMoveForm::Replan);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Nuovo offset (hex):"), OffsetEdit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addLayout(fields);
  layout->addWidget(PlaceLabel);
  if (place.Gba)
    layout->addWidget(new QLabel(
        QStringLiteral("Puntatori al vecchio posto (spuntati: puntano al nuovo):"), this));
  layout->addWidget(PointerList, 1);
  layout->addLayout(buttons.Row);
  setMinimumWidth(420);
  if (automatic.Refusal.empty())
    Replan();
  else
    MoveButton->setEnabled(false);
}

void TStreamMoveForm::Replan() {
  const std::optional<int32_t> offset = TGotoForm::ParseHex(OffsetEdit->text());
  const TChildForm::StreamPlace place = stream_->StreamMovePlace();
  Plan = offset ? PlanStreamMove(*stream_->Doc.Stream, place.Image, compressed_, *offset, place.Gba)
                : StreamMovePlan{};
  if (!offset)
    PlaceLabel->setText(QStringLiteral("Scrivi l'offset in esadecimale."));
  else if (!Plan.Refusal.empty())
    PlaceLabel->setText(QString::fromStdString(Plan.Refusal));
  else if (Plan.TargetUsed)
    PlaceLabel->setText(QStringLiteral("I byte da %1 non sono spazio libero (tutti 0x00 o tutti "
                                       "0xFF): lo stream li sovrascriverebbe.")
                            .arg(Hex(Plan.Offset)));
  else
    PlaceLabel->setText(QStringLiteral("Da %1 a %2 lo spazio è libero.")
                            .arg(Hex(Plan.Offset),
                                 Hex(Plan.Offset + static_cast<int64_t>(compressed_.size()) - 1)));
  MoveButton->setEnabled(offset && Plan.Refusal.empty());
}

std::vector<int64_t> TStreamMoveForm::TickedPointers() const {
  std::vector<int64_t> ticked;
  for (int row = 0; row < PointerList->count(); ++row) {
    const QListWidgetItem* item = PointerList->item(row);
    if (item->checkState() == Qt::Checked) ticked.push_back(item->data(Qt::UserRole).toLongLong());
  }
  return ticked;
}

void TStreamMoveForm::MoveButtonClick() {
  Replan();
  if (!Plan.Refusal.empty() || Plan.Offset < 0) return;
  if (Plan.TargetUsed &&
      CurrentPrompts().MessageBox(
          QStringLiteral("The bytes at %1 are not free space (all 0x00 or all 0xFF). Write the "
                         "stream over them?")
              .arg(Hex(Plan.Offset)),
          QStringLiteral("Varnock Pro"), PromptButtons::YesNo,
          PromptIcon::Question) != PromptAnswer::Yes)
    return;
  if (stream_->MoveStreamTo(Plan, TickedPointers())) accept();
}

}  // namespace varnock
