// The ROM window's blocks of tiles: Copy and Paste through the application's tile clipboard,
// the floating paste panel, and export to and import from picture files.
#include <QFile>
#include <algorithm>

#include "document/block_transfer.h"
#include "document/child_form.h"
#include "document/paste_image_widget.h"
#include "document/step_names.h"
#include "io/file_io.h"
#include "pictures/picture_file.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

// BMP first: it is the default, and what a user who never touches the filter gets.
const QString kPictureFilter = QStringLiteral("Windows Bitmap (*.BMP)|*.BMP|PNG (*.PNG)|*.PNG");

const FileDialogInfo kSavePictureDialog{QStringLiteral("Salva bitmap"), kPictureFilter,
                                        QStringLiteral("BMP"), true, false};
const FileDialogInfo kOpenPictureDialog{QStringLiteral("Carica Bitmap"), kPictureFilter,
                                        QStringLiteral("BMP"), false, true};

}  // namespace

void TChildForm::ConnectClipboardMenu() {
  connect(Copy1, &QAction::triggered, this, &TChildForm::Copy1Click);
  connect(Paste1, &QAction::triggered, this, &TChildForm::Paste1Click);
  connect(ImportBitmap1, &QAction::triggered, this, &TChildForm::ImportBitmap1Click);
  connect(ExportBitmap1, &QAction::triggered, this, &TChildForm::ExportBitmap1Click);
}

void TChildForm::Copy1Click() {
  if (!Doc.HasSelection || !Doc.ClipSurface) return;
  CopyBlock(Doc, *Doc.ClipSurface);
  if (MainForm) MainForm->ClipboardFull = true;
}

void TChildForm::Paste1Click() {
  if (!MainForm || !MainForm->ClipboardFull || !Doc.ClipSurface) return;
  if (Doc.ClipSurface->DecodeBits > Doc.BitsPerPixel &&
      CurrentPrompts().MessageBox(
          QStringLiteral("Source bitmap is of higher bitdepth than destination. The upper "
                         "bitplanes will be lost. Continue paste anyway?"),
          QStringLiteral("Varnock Pro"), PromptButtons::YesNo,
          PromptIcon::Question) != PromptAnswer::Yes)
    return;
  BeginPaste();
}

void TChildForm::BeginPaste() {
  if (!Doc.ClipSurface) return;
  // A paste still pending is dropped with its panel.
  delete PastePanel;
  PastePanel = nullptr;
  PasteImage = nullptr;
  Doc.PanelDragging = false;

  PasteSurface = *Doc.ClipSurface;
  PastePanel = new QWidget(View);
  PastePanel->setObjectName(QStringLiteral("PastePanel"));
  // The picture covers the whole panel: nothing to erase underneath it.
  PastePanel->setAttribute(Qt::WA_NoSystemBackground);
  PastePanel->setAttribute(Qt::WA_OpaquePaintEvent);
  PasteImage = new PasteImageWidget(this, PastePanel, PasteSurface, Doc.Zoom);
  PasteImage->setObjectName(QStringLiteral("PasteImage"));
  PasteImage->move(0, 0);
  PastePanel->setGeometry(0, 0, PasteImage->width(), PasteImage->height());
  Doc.PasteColumn = 0;
  Doc.PasteRow = 0;
  PasteFromImport = false;
  PastePanel->show();
  Doc.PastePending = true;
  ScrollBar->raise();
}

void TChildForm::CommitPaste() {
  Doc.PastePending = false;
  Doc.PanelDragging = false;
  if (PastePanel) PastePanel->hide();
  {
    // The block's own step names it a paste; a picture's commit is the import.
    std::optional<HistoryStep> import;
    if (PasteFromImport) import.emplace(Doc, ImportStepName());
    CommitBlock(Doc, PasteSurface);
  }
  RedrawPage();
  if (EditForm) EditForm->ReloadBoundTile(this);
}

void TChildForm::PasteImageMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
  Doc.PanelDragging = true;
  Doc.PanelGrabX = x;
  Doc.PanelGrabY = y;
  PasteImage->grabMouse();
}

void TChildForm::PasteImageMouseMove(Qt::KeyboardModifiers, int x, int y) {
  if (!Doc.PanelDragging) return;
  PastePanel->move(PastePanel->pos() + QPoint(x - Doc.PanelGrabX, y - Doc.PanelGrabY));
}

void TChildForm::PasteImageMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  Doc.PanelDragging = false;
  // The grid is the view less the scroll bar; a window larger than the grid (maximised) does
  // not let the panel settle on cells that show nothing.
  const QSize client = ClientSize();
  const PanelPlace place =
      SnapPastePanel(PastePanel->x(), PastePanel->y(), std::min(client.width() - 16, View->width()),
                     std::min(client.height(), View->height()), Doc.CellWidth, Doc.CellHeight);
  PastePanel->move(place.Left, place.Top);
  Doc.PasteColumn = place.Column;
  Doc.PasteRow = place.Row;
  PasteImage->releaseMouse();
}

void TChildForm::ExportBitmap1Click() {
  const auto path = CurrentPrompts().SaveFileName(kSavePictureDialog, QString());
  if (!path) return;
  ExportBitmap(*path);
}

bool TChildForm::ExportBitmap(const QString& path) {
  const PixelBlock block = ExportBlock(Doc);
  const std::string name = PathBytes(path);
  const std::vector<uint8_t> file =
      EncodePictureFile(name, Doc.ViewSurface, block, PictureColorCount(Doc.BitsPerPixel));
  FileWriteResult written;
  if (file.empty()) {
    written.Reason = "the block is empty";
  } else {
    written = WriteFileSafely(name, file);
  }
  if (written.Ok) return true;
  ShowError(QStringLiteral("Error: Could not save the file '%1'.\n%2")
                .arg(path, QString::fromStdString(written.Reason)));
  return false;
}

void TChildForm::ImportBitmap1Click() {
  const auto path = CurrentPrompts().OpenFileName(kOpenPictureDialog, QString());
  if (!path) return;
  ImportBitmap(*path);
}

bool TChildForm::ImportBitmap(const QString& path) {
  if (!Doc.ClipSurface) return false;
  const PictureReadResult read = ReadPictureFile(path, *Doc.ClipSurface);
  if (!read.Ok) {
    CurrentPrompts().MessageBox(QStringLiteral("Could not open bitmap.\n%1").arg(read.Reason),
                                QString(), PromptButtons::Ok, PromptIcon::Stop);
    return false;
  }
  BeginPaste();
  PasteFromImport = true;
  return true;
}

}  // namespace varnock
