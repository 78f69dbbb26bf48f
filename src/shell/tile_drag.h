// What a tile drag carries between the program's windows: a private MIME type whose payload is
// only this process's id. The frame's drag state says which tile is dragged.
#pragma once

#include <QMimeData>
#include <QWidget>

namespace varnock {

inline constexpr char kTileDragMimeType[] = "application/x-varnock-tile";

// The data of a tile drag started by this process.
QMimeData* NewTileDragData();
// True only for a tile drag that this process started: another program's data, or a tile
// dragged from another running copy of the program, is not one of ours.
bool IsOwnTileDrag(const QMimeData* data);
// True when the data names local files, which open as ROM windows wherever they are dropped.
bool IsFileDrop(const QMimeData* data);
// Runs the drag of the current tile from `source` (the platform's drag loop).
void StartTileDrag(QWidget* source);
// Opens every local file `data` names as a ROM window.
void OpenDroppedFiles(const QMimeData* data);

}  // namespace varnock
