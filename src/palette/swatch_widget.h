// A filled rectangle with a thin black outline: the palette editor's swatches and its
// foreground and background shapes.
#pragma once

#include <QColor>
#include <QWidget>

namespace varnock {

class SwatchWidget : public QWidget {
  Q_OBJECT
 public:
  SwatchWidget(QWidget* parent, int tag);

  int Tag() const { return tag_; }
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  // The marks of the foreground (a frame inside the outline) and the background (a corner).
  void SetMarks(bool foreground, bool background);

 signals:
  // A press on the swatch, with the button; the editor decides what it means.
  void Pressed(SwatchWidget* swatch, Qt::MouseButton button);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int tag_;
  QColor color_ = Qt::white;
  bool foreground_ = false;
  bool background_ = false;
};

}  // namespace varnock
