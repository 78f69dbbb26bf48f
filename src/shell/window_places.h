// Windows that open clear of the tool windows: the tool windows stay on top of every other
// window of the program, so whatever opens under them has its caption, its close box or its
// boxes hidden.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

class QMdiSubWindow;
class QWidget;

namespace varnock {

// The frames of the tool windows shown now, in screen coordinates.
QList<QRect> ShownToolWindowFrames();

// Moves a new ROM or stream window of the frame into the part of the client area that the tool
// windows leave free: the first of `first` (client-area places a stream window tries beside its
// source) that lies clear, else a cascade step into the largest free part, past the windows
// already there. False when no free part holds the window: it stays where it is.
bool PlaceInFreePart(QMdiSubWindow* window, const QList<QPoint>& first = {});

// Moves the top-level `window` to the place nearest where it is now at which its frame covers
// no tool window and stays on its screen, where the screen has one.
void MoveClearOfToolWindows(QWidget* window);

// From now on, each time `window` shows, it first takes the place it would have (a dialog
// centres itself over its parent) and then moves clear of the tool windows.
void OpenClearOfToolWindows(QWidget* window);

}  // namespace varnock
