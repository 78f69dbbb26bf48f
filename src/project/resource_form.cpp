#include "project/resource_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "codec/codec_registry.h"
#include "document/goto_text.h"
#include "document/view_names.h"
#include "shell/dialog_buttons.h"
#include "shell/prompts.h"

namespace varnock {
namespace {

QSpinBox* MakeNumberBox(QWidget* parent, const char* name, int highest, int value,
                        const QString& zeroText = {}) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setRange(0, highest);
  box->setValue(value);
  if (!zeroText.isEmpty()) box->setSpecialValueText(zeroText);
  return box;
}

}  // namespace

TResourceForm::TResourceForm(QWidget* parent, const ProjectResource& resource)
    : QDialog(parent), Original(resource) {
  setObjectName(QStringLiteral("ResourceForm"));
  setWindowTitle(QStringLiteral("Impostazioni di %1").arg(QString::fromStdString(resource.Name)));
  setAttribute(Qt::WA_DeleteOnClose);
  KeepAboveToolWindows(this);
  OffsetEdit = new QLineEdit(QString::fromStdString(FormatGotoValue(
                                 static_cast<int32_t>(resource.Offset), GotoRadix::Hex)),
                             this);
  OffsetEdit->setObjectName(QStringLiteral("OffsetEdit"));
  FormatBox = new QComboBox(this);
  FormatBox->setObjectName(QStringLiteral("FormatBox"));
  for (int format = 0; format < kFixedTileFormatCount; ++format)
    FormatBox->addItem(QString::fromUtf8(kTileFormats[static_cast<size_t>(format)].Name), format);
  for (TileFormat format : DescribedFormats())
    FormatBox->addItem(QString::fromUtf8(LookUpTileFormat(format)->Name), int{format});
  FormatBox->setCurrentIndex(FormatBox->findData(int{resource.Format}));
  ArrangementEdit =
      new QLineEdit(QString::fromStdString(ArrangementName(resource.Arrangement)), this);
  ArrangementEdit->setObjectName(QStringLiteral("ArrangementEdit"));
  ColumnsBox = MakeNumberBox(this, "ColumnsBox", 2048, resource.Columns.value_or(0),
                             QStringLiteral("automatiche"));
  TilesBox =
      MakeNumberBox(this, "TilesBox", INT32_MAX, static_cast<int>(resource.Tiles.value_or(0)),
                    resource.Length ? QStringLiteral("%1 byte").arg(*resource.Length)
                                    : QStringLiteral("fino alla fine"));
  CompressionBox = new QComboBox(this);
  CompressionBox->setObjectName(QStringLiteral("CompressionBox"));
  CompressionBox->addItem(QStringLiteral("nessuna"), -1);
  for (const CompressionFormatInfo& info : AllCompressionFormats())
    CompressionBox->addItem(QString::fromUtf8(info.DisplayName), static_cast<int>(info.Format));
  CompressionBox->setCurrentIndex(CompressionBox->findData(
      resource.Compression ? static_cast<int>(*resource.Compression) : -1));
  RoomBox = MakeNumberBox(this, "RoomBox", INT32_MAX, static_cast<int>(resource.Room.value_or(0)),
                          QStringLiteral("quanto occupa ora"));
  FillBox = MakeNumberBox(this, "FillBox", 255, 0, QStringLiteral("quello dello spazio libero"));
  FillBox->setDisplayIntegerBase(16);
  FillBox->setPrefix(QStringLiteral("0x"));
  // -1, below every byte, stands for no fill byte chosen.
  FillBox->setRange(-1, 255);
  FillBox->setValue(resource.Fill ? int{*resource.Fill} : -1);
  SubPaletteBox = MakeNumberBox(this, "SubPaletteBox", 255, resource.SubPalette);
  PictureEdit = new QLineEdit(QString::fromStdString(resource.Picture), this);
  PictureEdit->setObjectName(QStringLiteral("PictureEdit"));
  PictureEdit->setPlaceholderText(QString::fromStdString(resource.Name + ".png"));
  const DialogButtonRow buttons = MakeDialogButtonRow(this);
  OkButton = buttons.Accept;
  CancelButton = buttons.Cancel;
  connect(OkButton, &QPushButton::clicked, this, [this] {
    const std::optional<ProjectResource> read = ReadBoxes();
    if (!read) return;
    accept();
    emit Chosen(*read);
  });

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Offset (esadecimale):"), OffsetEdit);
  fields->addRow(QStringLiteral("&Formato:"), FormatBox);
  fields->addRow(QStringLiteral("&Disposizione:"), ArrangementEdit);
  fields->addRow(QStringLiteral("&Colonne:"), ColumnsBox);
  fields->addRow(QStringLiteral("&Tile:"), TilesBox);
  fields->addRow(QStringLiteral("Com&pressione:"), CompressionBox);
  fields->addRow(QStringLiteral("&Spazio (byte):"), RoomBox);
  fields->addRow(QStringLiteral("&Riempimento:"), FillBox);
  fields->addRow(QStringLiteral("Sotto-p&alette:"), SubPaletteBox);
  fields->addRow(QStringLiteral("File P&NG:"), PictureEdit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons.Row);
}

std::optional<ProjectResource> TResourceForm::ReadBoxes() {
  ProjectResource resource = Original;
  const std::optional<int32_t> offset =
      ParseGotoText(OffsetEdit->text().trimmed().toStdString(), GotoRadix::Hex);
  if (!offset || *offset < 0) {
    ShowError(QStringLiteral("'%1' is not an offset in hexadecimal.").arg(OffsetEdit->text()));
    return std::nullopt;
  }
  const std::optional<TileArrangement> arrangement =
      ParseArrangementName(ArrangementEdit->text().trimmed().toStdString());
  if (!arrangement) {
    ShowError(QStringLiteral("'%1' is not an arrangement; arrangements are %2 (W and H 1 to 8).")
                  .arg(ArrangementEdit->text(), QString::fromUtf8(kArrangementNameForms)));
    return std::nullopt;
  }
  resource.Offset = *offset;
  resource.Format = static_cast<TileFormat>(FormatBox->currentData().toInt());
  resource.Arrangement = *arrangement;
  resource.Columns =
      ColumnsBox->value() ? std::optional<int32_t>(ColumnsBox->value()) : std::nullopt;
  if (TilesBox->value() != 0) {
    resource.Tiles = TilesBox->value();
    resource.Length.reset();
  } else {
    resource.Tiles.reset();
  }
  const int compression = CompressionBox->currentData().toInt();
  resource.Compression =
      compression < 0 ? std::nullopt : std::optional(static_cast<CompressionFormat>(compression));
  resource.Room = resource.Compression && RoomBox->value() != 0
                      ? std::optional<int64_t>(RoomBox->value())
                      : std::nullopt;
  resource.Fill = resource.Compression && FillBox->value() >= 0
                      ? std::optional<uint8_t>(static_cast<uint8_t>(FillBox->value()))
                      : std::nullopt;
  resource.SubPalette = SubPaletteBox->value();
  resource.Picture = PictureEdit->text().trimmed().toStdString();
  return resource;
}

}  // namespace varnock
