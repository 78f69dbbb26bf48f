// The row that ends the editor's small dialogs: the button that carries the dialog out, then
// "Annulla", both to the right.
#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

namespace varnock {

struct DialogButtonRow {
  QPushButton* Accept = nullptr;  // the default button
  QPushButton* Cancel = nullptr;  // "Annulla", object name "CancelButton": rejects the dialog
  QHBoxLayout* Row = nullptr;     // to add to the dialog's layout
};

// The row for `dialog`, its default button named `objectName` with the caption `text`; the
// caller connects that button.
DialogButtonRow MakeDialogButtonRow(QDialog* dialog, const QString& text = QStringLiteral("OK"),
                                    const QString& objectName = QStringLiteral("OkButton"));

}  // namespace varnock
