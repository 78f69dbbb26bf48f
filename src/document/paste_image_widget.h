// The picture inside a ROM window's paste panel: shows the pending block at the window's zoom
// and hands its mouse events to the window, which moves the panel.
#pragma once

#include <QImage>
#include <QWidget>

#include "codec/tile_surface.h"

namespace varnock {

class TChildForm;

class PasteImageWidget : public QWidget {
  Q_OBJECT
 public:
  // Draws `block` once, each pixel a `zoom` x `zoom` square, and takes that size.
  PasteImageWidget(TChildForm* owner, QWidget* parent, const TileSurface& block, int zoom);

  // The picture as drawn once (tests read its pixels); null for a block too large for that.
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TChildForm* owner_;
  QImage picture_;  // the zoomed picture, when drawn once
  QImage indices_;  // otherwise the block's indices, drawn where exposed
};

}  // namespace varnock
