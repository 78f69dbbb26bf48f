// What a tile drag carries between the program's windows, and the one way such a drag starts.
// The drag carries a private MIME type whose payload is only this process's id; the frame's
// drag state (DragSourceRom, DragSourceTile, DragSourceOffset and DragSurface's decode
// request) says which tile is dragged.
#pragma once

#include <QMimeData>
#include <QPoint>
#include <QWidget>
#include <functional>

namespace varnock {

inline constexpr char kTileDragMimeType[] = "application/x-varnock-tile";

// The data of a tile drag started by this process.
QMimeData* NewTileDragData();
// True only for a tile drag that this process started: another program's data, or a tile
// dragged from another running copy of the program, is not one of ours.
bool IsOwnTileDrag(const QMimeData* data);
// True when the data names local files, which open as ROM windows wherever they are dropped.
bool IsFileDrop(const QMimeData* data);
// True for what the program's windows take when dropped: its own tile drags and local files.
bool IsProgramDrop(const QMimeData* data);
// Runs the drag of the current tile from `source` (the platform's drag loop, or the runner
// tests set below) and returns when it ended.
void StartTileDrag(QWidget* source);
// Opens every local file `data` names as a ROM window.
void OpenDroppedFiles(const QMimeData* data);

// The deferred start from a tile view: a press at `pressPos` (in `source`'s coordinates)
// made a tile current, and the drag begins if the pointer then moves far enough with a button
// held.
void ArmTileDrag(QWidget* source, QPoint pressPos);
// A move in `source`: once the pointer is QApplication::startDragDistance() away from the
// press with a button held, the drag starts (once per press). True when it started.
bool FollowTileDrag(QWidget* source, QPoint pos, Qt::MouseButtons buttons);
// The release ends the chance of a drag.
void DisarmTileDrag();
// True while a press is waiting to become a drag.
bool TileDragArmed();

// Runs a drag instead of QDrag::exec, which waits for a real pointer: tests record the drag
// here (and may deliver the drop themselves). An empty function restores the real loop.
using TileDragRunner = std::function<void(QWidget* source, const QMimeData& data)>;
void SetTileDragRunner(TileDragRunner runner);

}  // namespace varnock
