// The floating frame of a tool window (palette editor, tile editor, tile arranger).
//
// Some window managers give every window with a title bar a close box, whatever the window
// asks for; a tool window must have none. So the frame asks the window manager for no
// decoration at all and draws its own caption bar, which moves the window when dragged. The
// tool sits below the bar at its designed client size and keeps its own coordinates.
#pragma once

#include <QFrame>
#include <QPoint>
#include <functional>
#include <optional>

class QWindow;

namespace varnock {

// The caption bar: the window's title, in the active colours while the window is active.
class ToolCaption : public QWidget {
  Q_OBJECT
 public:
  explicit ToolCaption(QWidget* parent);

  static constexpr int kHeight = 16;

  // The window system's own move of a window, as a drag of the caption asks for it where the
  // program may not place its windows itself (a seam for tests): true when it took over.
  static std::function<bool(QWindow*)> SystemMove;
  // Whether this platform's drags go through SystemMove.
  static bool AsksForSystemMove();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // While the caption is dragged: where the pointer holds the window, from its top-left corner.
  std::optional<QPoint> held_;
  bool systemMoveAsked_ = false;
};

class ToolWindowFrame : public QFrame {
  Q_OBJECT
 public:
  // Takes `tool`, a widget made without a parent, as the window's client. The window takes the
  // tool's title and its designed screen position.
  explicit ToolWindowFrame(QWidget* tool);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  QWidget* tool_;
  ToolCaption* caption_;
};

}  // namespace varnock
