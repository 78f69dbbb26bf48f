// Drops delivered as the platform delivers them: an enter, then a drop at a client point.
#pragma once

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <memory>

#include "document/child_form.h"
#include "shell/main_form.h"
#include "shell/tile_drag.h"

namespace varnock::test {

// Sends the drag enter and, when the target accepted it, the drop. True when the drop was
// accepted.
inline bool DropAt(QWidget* target, QPoint at, const QMimeData& data) {
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

// A tile drag of this program, as the drag start packs it.
inline bool DropTileAt(QWidget* target, QPoint at) {
  const std::unique_ptr<QMimeData> data(NewTileDragData());
  return DropAt(target, at, *data);
}

// Makes the tile at `offset` of `rom` the frame's current tile, as a pick does.
inline void SetCurrentTile(TChildForm* rom, int32_t offset) {
  MainForm->DragSourceRom = rom;
  MainForm->DragSourceTile = rom->Doc.RomData + offset;
  MainForm->DragSourceOffset = offset;
  MainForm->DragSurface.DecodeFormat = rom->Doc.Format;
  MainForm->DragSurface.DecodeTileBytes = rom->Doc.TileBytes;
  MainForm->DragSurface.DecodeBits = rom->Doc.BitsPerPixel;
  MainForm->UndoDropReady = false;
}

inline std::vector<uint8_t> ImageOf(const TChildForm* rom) {
  return {rom->Doc.RomData, rom->Doc.RomData + rom->Doc.RomSize};
}

}  // namespace varnock::test
