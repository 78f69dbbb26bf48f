#include "document/goto_form.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <algorithm>
#include <cctype>

#include "document/child_form.h"
#include "document/goto_text.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"

namespace varnock {

TGotoForm::TGotoForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Vai all indirizzo"));
  setFixedSize(330, 122);
  move(192, 108);
  KeepAboveToolWindows(this);

  OffsetBox = new QGroupBox(QStringLiteral("Indirizzo"), this);
  OffsetBox->setGeometry(8, 8, 97, 57);
  GotoEdit = new QLineEdit(OffsetBox);
  GotoEdit->setGeometry(8, 24, 81, 21);
  // The eight-character limit applies to what the user types or pastes (see the key filter);
  // a radix conversion may show more, such as -2147483648.
  QFont courier(QStringLiteral("Courier"));
  courier.setStyleHint(QFont::Monospace);
  GotoEdit->setFont(courier);
  GotoEdit->installEventFilter(this);

  RadixGroup = new QGroupBox(QStringLiteral("Radice"), this);
  RadixGroup->setGeometry(112, 8, 97, 57);
  HexItem = new QRadioButton(QStringLiteral("&Hex"), RadixGroup);
  HexItem->setGeometry(8, 24, 42, 21);
  DecItem = new QRadioButton(QStringLiteral("&Dec"), RadixGroup);
  DecItem->setGeometry(52, 24, 42, 21);
  HexItem->setChecked(true);
  auto* radix = new QButtonGroup(this);
  radix->addButton(HexItem, 0);
  radix->addButton(DecItem, 1);
  connect(radix, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) RadixGroupClick();
  });

  MethodGroup = new QGroupBox(QStringLiteral("Metodo"), this);
  MethodGroup->setGeometry(216, 8, 81, 57);
  AbsoluteItem = new QRadioButton(QStringLiteral("&Assoluto"), MethodGroup);
  AbsoluteItem->setGeometry(8, 16, 70, 18);
  RelativeItem = new QRadioButton(QStringLiteral("&Relativo"), MethodGroup);
  RelativeItem->setGeometry(8, 34, 70, 18);
  AbsoluteItem->setChecked(true);

  GoButton = new QPushButton(QStringLiteral("Vai!"), this);
  GoButton->setGeometry(88, 80, 65, 33);
  GoButton->setAutoDefault(false);
  CancelButton = new QPushButton(QStringLiteral("Annulla"), this);
  CancelButton->setGeometry(168, 80, 65, 33);
  CancelButton->setAutoDefault(false);
  connect(GoButton, &QPushButton::clicked, this, &TGotoForm::GoButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TGotoForm::CancelButtonClick);

  setTabOrder(GotoEdit, GoButton);
  setTabOrder(GoButton, HexItem);
  setTabOrder(HexItem, AbsoluteItem);
  setTabOrder(AbsoluteItem, CancelButton);
}

std::optional<int32_t> TGotoForm::ParseHex(const QString& text) {
  return ParseGotoText(text.toStdString(), GotoRadix::Hex);
}

std::optional<int32_t> TGotoForm::ParseDecimal(const QString& text) {
  return ParseGotoText(text.toStdString(), GotoRadix::Dec);
}

void TGotoForm::ReportNotANumber(const QString& text) {
  ShowNotAnInteger(text);
}

void TGotoForm::GoButtonClick() {
  TChildForm* child = MainForm ? MainForm->ActiveChild() : nullptr;
  if (!child) return;
  const QString text = GotoEdit->text();
  if (text.isEmpty()) return;
  const auto value = IsHex() ? ParseHex(text) : ParseDecimal(text);
  if (!value) {
    ReportNotANumber(IsHex() ? QStringLiteral("0x") + text : text);
    return;
  }
  GotoValue = *value;
  const int64_t target =
      IsRelative() ? int64_t{child->Doc.ViewOffset} + GotoValue : int64_t{GotoValue};
  child->MoveViewTo(target);
  accept();
}

void TGotoForm::CancelButtonClick() {
  reject();
}

void TGotoForm::RadixGroupClick() {
  const bool toHex = IsHex();
  if (toHex == wasHex_) return;  // only a real change of radix converts
  wasHex_ = toHex;
  const QString text = GotoEdit->text();
  if (text.isEmpty()) return;
  const GotoRadix from = toHex ? GotoRadix::Dec : GotoRadix::Hex;
  const auto converted =
      ConvertGotoText(text.toStdString(), from, toHex ? GotoRadix::Hex : GotoRadix::Dec);
  if (!converted) return ReportNotANumber(toHex ? text : QStringLiteral("0x") + text);
  GotoValue = converted->Value;
  GotoEdit->setText(QString::fromStdString(converted->Text));
}

int TGotoForm::RoomForTyping() const {
  const qsizetype kept = GotoEdit->text().size() - GotoEdit->selectedText().size();
  return static_cast<int>(std::max<qsizetype>(0, kMaxTyped - kept));
}

bool TGotoForm::GotoEditKeyPress(const QString& typed, int key) {
  if (key == Qt::Key_Backspace) return false;
  // Keys that move the focus, close the dialog or delete text are not typed characters.
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape ||
      key == Qt::Key_Delete)
    return false;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    GoButtonClick();
    return true;
  }
  if (typed.isEmpty()) return false;  // a key that types nothing (arrows, Home) moves the caret
  const QString upper = typed.toUpper();
  const QChar c = upper.at(0);
  const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
  const bool hexLetter = c >= QLatin1Char('A') && c <= QLatin1Char('F');
  if (upper.size() == 1 && (digit || (IsHex() && hexLetter)) && RoomForTyping() > 0)
    GotoEdit->insert(upper);
  return true;
}

void TGotoForm::PasteLimited() {
  // Pasted text is not filtered, so a non-number can reach the box; only its length is held.
  const QString pasted = QGuiApplication::clipboard()->text().section(QLatin1Char('\n'), 0, 0);
  GotoEdit->insert(pasted.left(RoomForTyping()));
}

bool TGotoForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == GotoEdit && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste)) {
      PasteLimited();
      return true;
    }
    return GotoEditKeyPress(key->text(), key->key());
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace varnock
