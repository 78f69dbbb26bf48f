// The go-to dialog: jump to an address, or by a distance, in hexadecimal or decimal.
#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdint>
#include <optional>

namespace varnock {

class TGotoForm : public QDialog {
  Q_OBJECT
 public:
  explicit TGotoForm(QWidget* parent);

  void GoButtonClick();
  void CancelButtonClick();
  void RadixGroupClick();
  bool IsHex() const { return HexItem->isChecked(); }
  bool IsRelative() const { return RelativeItem->isChecked(); }

  // The text read in the current radix as a 32-bit signed value (eight hex digits wrap to
  // negative); nothing when it is not a number.
  static std::optional<int32_t> ParseHex(const QString& text);
  static std::optional<int32_t> ParseDecimal(const QString& text);

  QGroupBox* RadixGroup = nullptr;
  QRadioButton* HexItem = nullptr;
  QRadioButton* DecItem = nullptr;
  QGroupBox* OffsetBox = nullptr;
  QLineEdit* GotoEdit = nullptr;
  QGroupBox* MethodGroup = nullptr;
  QRadioButton* AbsoluteItem = nullptr;
  QRadioButton* RelativeItem = nullptr;
  QPushButton* GoButton = nullptr;
  QPushButton* CancelButton = nullptr;
  int32_t GotoValue = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The key filter of the edit box; true when the key was dealt with here.
  bool GotoEditKeyPress(const QString& typed, int key);
  // Characters the user may still type or paste: at most eight stay in the box.
  int RoomForTyping() const;
  void PasteLimited();
  static constexpr int kMaxTyped = 8;
  void ReportNotANumber(const QString& text);
  bool wasHex_ = true;
};

}  // namespace varnock
