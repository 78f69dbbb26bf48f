// The ROM window's choice of encoding beyond the fixed formats and of tile arrangement: the
// described encodings of the Format menu, "Carica codifica..." and the "&Disposizione" menu.
#include <QActionGroup>
#include <QMenu>

#include "codec/codec_file.h"
#include "codec/codec_registry.h"
#include "document/block_size_form.h"
#include "document/child_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"

namespace varnock {
namespace {

const FileDialogInfo kOpenCodecDialog{
    QStringLiteral("Carica codifica"),
    QStringLiteral("Codifiche Varnock (*.vrkcodec)|*.VRKCODEC|Tutti i file (*.*)|*.*"),
    QStringLiteral("vrkcodec"), /*OverwritePrompt=*/false, /*FileMustExist=*/true};

// A menu caption shows '&' as the mark of its access key; a name's own '&' stays a character.
QString MenuCaption(const char* name) {
  return QString::fromUtf8(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

struct ArrangementItem {
  const char* Name;
  const char* Caption;
  ArrangementKind Kind;
};

constexpr ArrangementItem kArrangementItems[] = {
    {"N8x81", "&8x8", ArrangementKind::Tiles8x8},
    {"N8x161", "8x&16", ArrangementKind::Tiles8x16},
    {"N16x161", "1&6x16", ArrangementKind::Tiles16x16},
    {"ColumnBlocks1", "Blocchi &colonna...", ArrangementKind::ColumnBlocks},
    {"RowBlocks1", "Blocchi &riga...", ArrangementKind::RowBlocks},
};

}  // namespace

void TChildForm::ListDescribedFormats() {
  const std::vector<TileFormat> formats = DescribedFormats();
  for (size_t i = 0; i < formats.size(); ++i) {
    const TileFormatRow* row = LookUpTileFormat(formats[i]);
    if (!row) continue;
    if (i == DescribedItems.size()) {
      QAction* item = new QAction(this);
      item->setObjectName(QString::fromUtf8(row->MenuItem));
      item->setCheckable(true);
      item->setData(formats[i]);
      FormatGroup->addAction(item);
      Format1->insertAction(LoadCodecSeparator, item);
      DescribedItems.push_back(item);
    }
    // A file loaded again may have renamed its encoding.
    DescribedItems[i]->setText(MenuCaption(row->Caption));
  }
}

void TChildForm::LoadCodec1Click() {
  const std::optional<QString> path = CurrentPrompts().OpenFileName(kOpenCodecDialog, QString());
  if (path) LoadCodec(PathBytes(*path));
}

bool TChildForm::LoadCodec(const std::string& path) {
  const CodecLoadResult loaded = LoadCodecFile(path);
  if (!loaded.Format) {
    ShowError(QStringLiteral("Error: Could not load the encoding '%1'.\n%2")
                  .arg(PathForDisplay(path), QString::fromStdString(loaded.Message)));
    return false;
  }
  if (MainForm) {
    for (TChildForm* rom : MainForm->RomWindows()) {
      rom->ListDescribedFormats();
      // The Tag now decodes by the new description, which may have another tile length.
      if (loaded.Replaced && rom != this && rom->Doc.Format == *loaded.Format)
        rom->ChooseTileFormat(*loaded.Format);
    }
  }
  ListDescribedFormats();
  ChooseTileFormat(*loaded.Format);
  return true;
}

void TChildForm::BuildArrangementMenu() {
  Arrangement1 = Window1->addMenu(QStringLiteral("&Disposizione"));
  Arrangement1->setObjectName(QStringLiteral("Arrangement1"));
  ArrangementGroup = new QActionGroup(this);
  for (size_t i = 0; i < std::size(kArrangementItems); ++i) {
    const ArrangementItem& entry = kArrangementItems[i];
    QAction* item = Arrangement1->addAction(QString::fromUtf8(entry.Caption));
    item->setObjectName(QString::fromUtf8(entry.Name));
    item->setCheckable(true);
    item->setData(static_cast<int>(entry.Kind));
    ArrangementGroup->addAction(item);
    ArrangementItems[i] = item;
  }
  connect(ArrangementGroup, &QActionGroup::triggered, this, &TChildForm::Arrangement1Click);
  MirrorArrangement();
}

void TChildForm::Arrangement1Click(QAction* item) {
  const auto kind = static_cast<ArrangementKind>(item->data().toInt());
  switch (kind) {
    case ArrangementKind::Tiles8x8:
      return ChooseArrangement(kArrangement8x8);
    case ArrangementKind::Tiles8x16:
      return ChooseArrangement(kArrangement8x16);
    case ArrangementKind::Tiles16x16:
      return ChooseArrangement(kArrangement16x16);
    case ArrangementKind::ColumnBlocks:
    case ArrangementKind::RowBlocks:
      break;
  }
  const bool columns = kind == ArrangementKind::ColumnBlocks;
  const BlockOrder order = columns ? BlockOrder::Columns : BlockOrder::Rows;
  // The mark stays on what the page shows until a size is chosen.
  MirrorArrangement();
  auto* dialog = new TBlockSizeForm(
      this, columns ? QStringLiteral("Blocchi colonna") : QStringLiteral("Blocchi riga"),
      Doc.Arrangement.BlockWidth, Doc.Arrangement.BlockHeight);
  connect(dialog, &TBlockSizeForm::Chosen, this, [this, order](int32_t width, int32_t height) {
    ChooseArrangement(MakeArrangement(order, width, height));
  });
  // Window-modal and without a loop of its own, so nothing waits for the user's click.
  dialog->open();
}

void TChildForm::ChooseArrangement(const TileArrangement& arrangement) {
  Doc.SetArrangement(arrangement);
  Doc.HasSelection = false;
  Doc.Selecting = false;
  MirrorArrangement();
  LayoutView();
}

void TChildForm::MirrorArrangement() {
  const int kind = static_cast<int>(KindOf(Doc.Arrangement));
  for (QAction* item : ArrangementItems)
    if (item && item->data().toInt() == kind) item->setChecked(true);
}

}  // namespace varnock
