#include "palette/swatch_widget.h"

#include <QMouseEvent>
#include <QPainter>

namespace varnock {

SwatchWidget::SwatchWidget(QWidget* parent, int tag) : QWidget(parent), tag_(tag) {}

void SwatchWidget::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void SwatchWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(color_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SwatchWidget::mousePressEvent(QMouseEvent* event) {
  emit Pressed(this, event->button());
}

// The editor times its own double clicks, so a second press is just another press.
void SwatchWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  emit Pressed(this, event->button());
}

}  // namespace varnock
