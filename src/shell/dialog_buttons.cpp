#include "shell/dialog_buttons.h"

namespace varnock {

DialogButtonRow MakeDialogButtonRow(QDialog* dialog, const QString& text,
                                    const QString& objectName) {
  DialogButtonRow row;
  row.Accept = new QPushButton(text, dialog);
  row.Accept->setObjectName(objectName);
  row.Accept->setDefault(true);
  row.Cancel = new QPushButton(QStringLiteral("Annulla"), dialog);
  row.Cancel->setObjectName(QStringLiteral("CancelButton"));
  QObject::connect(row.Cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  row.Row = new QHBoxLayout;
  row.Row->addStretch();
  row.Row->addWidget(row.Accept);
  row.Row->addWidget(row.Cancel);
  return row;
}

}  // namespace varnock
