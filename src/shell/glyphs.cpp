#include "shell/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace varnock {
namespace {

void DrawOpen(QPainter& p) {
  p.setPen(QColor(128, 128, 0));
  p.setBrush(QColor(255, 255, 0));
  p.drawRect(1, 4, 12, 9);
  p.setBrush(QColor(255, 255, 128));
  p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
}

void DrawSave(QPainter& p) {
  p.setPen(Qt::black);
  p.setBrush(QColor(0, 0, 128));
  p.drawRect(1, 1, 13, 13);
  p.setBrush(Qt::white);
  p.drawRect(3, 1, 9, 5);
  p.setBrush(QColor(192, 192, 192));
  p.drawRect(4, 9, 7, 5);
}

void DrawMagnifier(QPainter& p, bool plus) {
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(QColor(224, 240, 255));
  p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
  p.setPen(QPen(QColor(128, 64, 0), 2.5));
  p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
  p.setPen(QPen(Qt::black, 1.5));
  p.drawLine(QPointF(3.5, 6), QPointF(8.5, 6));
  if (plus) p.drawLine(QPointF(6, 3.5), QPointF(6, 8.5));
}

void DrawGrid(QPainter& p) {
  p.setPen(Qt::black);
  p.setBrush(QColor(0, 128, 128));
  p.drawRect(1, 1, 13, 13);
  p.setPen(QColor(192, 192, 192));
  for (int k = 1; k < 3; ++k) {
    p.drawLine(1 + k * 13 / 3, 2, 1 + k * 13 / 3, 13);
    p.drawLine(2, 1 + k * 13 / 3, 13, 1 + k * 13 / 3);
  }
}

void DrawArrow(QPainter& p, bool horizontal) {
  p.setPen(QPen(QColor(0, 128, 0), 1));
  p.setBrush(QColor(0, 200, 0));
  QPolygonF arrow({QPointF(2, 16), QPointF(10, 8), QPointF(10, 13), QPointF(22, 13), QPointF(22, 8),
                   QPointF(30, 16), QPointF(22, 24), QPointF(22, 19), QPointF(10, 19),
                   QPointF(10, 24)});
  if (!horizontal) {
    for (QPointF& point : arrow) point = QPointF(point.y(), point.x());
  }
  p.drawPolygon(arrow);
}

void DrawRotate(QPainter& p) {
  p.setPen(QPen(QColor(0, 160, 0), 5, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath path(QPointF(3, 8));
  path.lineTo(18, 8);
  path.quadTo(24, 8, 24, 14);
  path.lineTo(24, 20);
  p.drawPath(path);
  p.setPen(QPen(QColor(0, 128, 0), 1));
  p.setBrush(QColor(0, 200, 0));
  p.drawPolygon(QPolygonF({QPointF(17, 19), QPointF(31, 19), QPointF(24, 29)}));
}

void DrawUndo(QPainter& p) {
  QFont font(QStringLiteral("Sans"));
  font.setBold(true);
  font.setPixelSize(9);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(QRect(1, 1, 32, 32), Qt::AlignCenter, QStringLiteral("UNDO"));
  p.setPen(Qt::red);
  p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("UNDO"));
}

}  // namespace

QIcon Glyph(GlyphKind kind) {
  const bool large = kind == GlyphKind::FlipHorizontal || kind == GlyphKind::FlipVertical ||
                     kind == GlyphKind::Rotate || kind == GlyphKind::Undo;
  QPixmap picture(large ? 32 : 16, large ? 32 : 16);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  switch (kind) {
    case GlyphKind::Open:
      DrawOpen(painter);
      break;
    case GlyphKind::Save:
      DrawSave(painter);
      break;
    case GlyphKind::ZoomIn:
      DrawMagnifier(painter, true);
      break;
    case GlyphKind::ZoomOut:
      DrawMagnifier(painter, false);
      break;
    case GlyphKind::Grid:
      DrawGrid(painter);
      break;
    case GlyphKind::FlipHorizontal:
      DrawArrow(painter, true);
      break;
    case GlyphKind::FlipVertical:
      DrawArrow(painter, false);
      break;
    case GlyphKind::Rotate:
      DrawRotate(painter);
      break;
    case GlyphKind::Undo:
      DrawUndo(painter);
      break;
  }
  painter.end();
  return QIcon(picture);
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace varnock
