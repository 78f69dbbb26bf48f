// The ROM window's side of tile drag and drop: drops on the view, "&Annulla Drop" and
// "Svuota Arranger".
#include <QDropEvent>

#include "codec/tile_codec.h"
#include "document/child_form.h"
#include "document/tile_drop.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/tile_drag.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

// Hands the view's drag events to its window, in the view's client coordinates.
class ViewDropFilter : public QObject {
 public:
  explicit ViewDropFilter(TChildForm* owner) : QObject(owner), owner_(owner) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* over = static_cast<QDragMoveEvent*>(event);
        if (TChildForm::FormDragOver(over->mimeData()))
          over->acceptProposedAction();
        else
          over->ignore();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!TChildForm::FormDragOver(drop->mimeData())) return true;
        drop->acceptProposedAction();
        const QPoint at = drop->position().toPoint();
        owner_->FormDragDrop(drop->mimeData(), at.x(), at.y());
        return true;
      }
      default:
        return false;
    }
  }

 private:
  TChildForm* owner_;
};

}  // namespace

void TChildForm::AttachDrops() {
  View->setAcceptDrops(true);
  View->installEventFilter(new ViewDropFilter(this));
  connect(Undodrop1, &QAction::triggered, this, &TChildForm::Undodrop1Click);
  connect(ClearArranger1, &QAction::triggered, this, &TChildForm::ClearArranger1Click);
}

bool TChildForm::FormDragOver(const QMimeData* data) {
  return IsProgramDrop(data);
}

void TChildForm::FormDragDrop(const QMimeData* data, int x, int y) {
  if (IsOwnTileDrag(data))
    DropOnRom(x, y);
  else if (IsFileDrop(data))
    OpenDroppedFiles(data);
}

void TChildForm::DropOnRom(int x, int y) {
  if (!MainForm || Closed || !MainForm->DragSourceTile) return;
  const TChildForm* source = MainForm->DragSourceRom.data();
  if (!source || source->Closed) return;
  const std::optional<int32_t> offset = DropOffset(Doc, x, y);
  if (!offset) return;
  // The current tile, decoded with its own format from its window's image.
  TileSurface& drag = MainForm->DragSurface;
  drag.DecodeColumn = drag.DecodeRow = drag.DecodeSkip = 0;
  drag.DecodeAcross = drag.DecodeDown = 1;
  DecodeTiles(source->Doc.BytesFrom(MainForm->DragSourceOffset), drag);
  const std::optional<DropUndo> undo = DropTileIntoImage(Doc, drag, *offset);
  if (!undo) return;
  MainForm->UndoDropTarget = Doc.RomData + undo->Offset;
  MainForm->UndoDropBytes = undo->Bytes;
  MainForm->UndoDropRom = this;
  MainForm->UndoDropOffset = undo->Offset;
  MainForm->UndoDropLength = undo->Length;
  MainForm->UndoDropReady = true;
  RedrawPage();
  if (EditForm) EditForm->ReloadBoundTile(this);
}

void TChildForm::Undodrop1Click() {
  if (!MainForm || !MainForm->UndoDropReady) return;
  MainForm->UndoDropReady = false;
  TChildForm* target = MainForm->UndoDropRom.data();
  if (!target || target->Closed) return;
  DropUndo undo;
  undo.Offset = MainForm->UndoDropOffset;
  undo.Length = MainForm->UndoDropLength;
  undo.Bytes = MainForm->UndoDropBytes;
  RestoreDroppedBytes(target->Doc, undo);
  target->RedrawPage();
  if (EditForm) EditForm->ReloadBoundTile(target);
}

void TChildForm::ClearArranger1Click() {
  if (ClipForm) ClipForm->ClearArranger();
}

void TChildForm::ForgetDragState() {
  if (!MainForm) return;
  if (MainForm->DragSourceRom == this) {
    MainForm->DragSourceRom = nullptr;
    MainForm->DragSourceTile = nullptr;
  }
  if (MainForm->UndoDropRom == this) {
    MainForm->UndoDropRom = nullptr;
    MainForm->UndoDropTarget = nullptr;
    MainForm->UndoDropReady = false;
  }
}

}  // namespace varnock
