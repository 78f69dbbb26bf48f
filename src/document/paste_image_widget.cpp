#include "document/paste_image_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "document/child_form.h"
#include "shell/surface_image.h"

namespace varnock {
namespace {

// Zoomed pictures up to this many pixels (64 MB) are drawn once; a larger imported block is
// drawn from its indices where it is exposed, rather than allocating gigabytes.
constexpr qint64 kMaxDrawnOncePixels = qint64{1} << 24;

}  // namespace

PasteImageWidget::PasteImageWidget(TChildForm* owner, QWidget* parent, const TileSurface& block,
                                   int zoom)
    : QWidget(parent), owner_(owner) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::SizeAllCursor);
  const QSize size(block.Width() * zoom, block.Height() * zoom);
  if (!size.isEmpty() && qint64{size.width()} * size.height() <= kMaxDrawnOncePixels) {
    // Once, in screen colours: moving the panel only moves this picture.
    picture_ = IndexedImage(block)
                   .scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                   .convertToFormat(QImage::Format_RGB32);
  } else if (!size.isEmpty()) {
    indices_ = IndexedImage(block).copy();
  }
  resize(size);
}

void PasteImageWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect exposed = event->rect();
  if (!picture_.isNull()) {
    painter.drawImage(exposed, picture_, exposed);
  } else if (!indices_.isNull()) {
    const int zoom = std::max(width() / std::max(indices_.width(), 1), 1);
    const QRect source(exposed.left() / zoom, exposed.top() / zoom, exposed.width() / zoom + 2,
                       exposed.height() / zoom + 2);
    const QRect clipped = source & indices_.rect();
    painter.drawImage(QRect(clipped.topLeft() * zoom, clipped.size() * zoom), indices_, clipped);
  }
}

void PasteImageWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->PasteImageMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void PasteImageWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->PasteImageMouseMove(event->modifiers(), at.x(), at.y());
}

void PasteImageWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->PasteImageMouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

}  // namespace varnock
