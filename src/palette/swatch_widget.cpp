#include "palette/swatch_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace varnock {

SwatchWidget::SwatchWidget(QWidget* parent, int tag) : QWidget(parent), tag_(tag) {}

void SwatchWidget::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void SwatchWidget::SetMarks(bool foreground, bool background) {
  if (foreground == foreground_ && background == background_) return;
  foreground_ = foreground;
  background_ = background;
  update();
}

void SwatchWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(color_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (!foreground_ && !background_) return;
  // Marks in whichever of black and white stands out on the colour.
  const QColor mark = qGray(color_.rgb()) < 128 ? Qt::white : Qt::black;
  if (foreground_) {
    painter.setPen(mark);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
  }
  if (background_) {
    const int side = std::max(4, width() / 2);
    const QPoint corner(width() - 1, height() - 1);
    const QPoint triangle[] = {corner, corner - QPoint(side, 0), corner - QPoint(0, side)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawPolygon(triangle, 3);
  }
}

void SwatchWidget::mousePressEvent(QMouseEvent* event) {
  emit Pressed(this, event->button());
}

// The editor times its own double clicks, so a second press is just another press.
void SwatchWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  emit Pressed(this, event->button());
}

}  // namespace varnock
