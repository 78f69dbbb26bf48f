#include "shell/tool_window_frame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWindow>

namespace varnock {

ToolCaption::ToolCaption(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Caption"));
  setFixedHeight(kHeight);
  setFocusPolicy(Qt::NoFocus);
}

void ToolCaption::paintEvent(QPaintEvent*) {
  const bool active = window()->isActiveWindow();
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(active ? QPalette::Highlight : QPalette::Mid));
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(11);
  painter.setFont(font);
  painter.setPen(palette().color(active ? QPalette::HighlightedText : QPalette::Window));
  painter.drawText(rect().adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   window()->windowTitle());
}

bool ToolCaption::AsksForSystemMove() {
  // X lets a program place its own windows, and then the caption moves the window itself: it
  // sees the release, so the drag ends there however short the click was. A window manager
  // asked to move a window after the button is up keeps it on the pointer until the next click.
  return QGuiApplication::platformName() != QStringLiteral("xcb");
}

void ToolCaption::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  held_ = event->globalPosition().toPoint() - window()->pos();
  systemMoveAsked_ = false;
}

void ToolCaption::mouseMoveEvent(QMouseEvent* event) {
  if (!held_ || !(event->buttons() & Qt::LeftButton)) return;
  QWidget* frame = window();
  // Where only the window system may place windows, it is asked once the pointer moves with
  // the button held, never on the press: a tap is over before anything moves.
  if (!systemMoveAsked_ && AsksForSystemMove()) {
    systemMoveAsked_ = true;
    if (SystemMove(frame->windowHandle())) {
      held_.reset();
      return;
    }
  }
  frame->move(event->globalPosition().toPoint() - *held_);
}

void ToolCaption::mouseReleaseEvent(QMouseEvent*) {
  held_.reset();
}

std::function<bool(QWindow*)> ToolCaption::SystemMove = [](QWindow* window) {
  return window && window->startSystemMove();
};

ToolWindowFrame::ToolWindowFrame(QWidget* tool)
    : QFrame(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint),
      tool_(tool),
      caption_(new ToolCaption(this)) {
  setWindowTitle(tool->windowTitle());
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setLineWidth(1);
  // Hints show when the pointer rests on a button, also while another window is active.
  setAttribute(Qt::WA_AlwaysShowToolTips);
  // Showing a tool window again leaves the activation where the user is working.
  setAttribute(Qt::WA_ShowWithoutActivating);
  const QPoint designed = tool->pos();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);  // the frame keeps its line clear itself
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(caption_);
  tool->setParent(this);
  layout->addWidget(tool);
  move(designed);
}

void ToolWindowFrame::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) {
    caption_->update();
    // Qt tells only windows of their activation; the tool's handlers are the window's.
    QCoreApplication::sendEvent(tool_, event);
  }
  QFrame::changeEvent(event);
}

}  // namespace varnock
