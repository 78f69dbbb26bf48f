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

void DrawPen(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(255, 200, 0));
  p.drawPolygon(QPolygonF({QPointF(4, 10), QPointF(11, 3), QPointF(13, 5), QPointF(6, 12)}));
  p.setBrush(QColor(240, 200, 160));
  p.drawPolygon(QPolygonF({QPointF(4, 10), QPointF(6, 12), QPointF(2, 14)}));
}

void DrawLineTool(QPainter& p) {
  p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap));
  p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
}

void DrawBox(QPainter& p, bool filled) {
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(filled ? QBrush(QColor(0, 0, 200)) : QBrush(Qt::NoBrush));
  p.drawRect(QRectF(2.5, 3.5, 11, 9));
}

void DrawFill(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(192, 192, 192));
  p.drawPolygon(QPolygonF({QPointF(2, 7), QPointF(7, 2), QPointF(12, 7), QPointF(7, 12)}));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 220));
  p.drawPolygon(QPolygonF({QPointF(2, 7), QPointF(12, 7), QPointF(7, 12)}));
  p.drawEllipse(QRectF(11.5, 9, 3, 5));
}

void DrawColorPicker(QPainter& p) {
  p.setPen(QPen(QColor(64, 64, 64), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3, 13), QPointF(10, 6));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawEllipse(QRectF(9, 2, 5, 5));
  p.setBrush(QColor(220, 0, 0));
  p.drawEllipse(QRectF(1.5, 11.5, 3, 3));
}

void DrawPixelGrid(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(1, 1, 14, 14);
  p.setPen(QPen(QColor(96, 96, 96), 1));
  for (int k = 0; k <= 4; ++k) {
    p.drawLine(QPointF(1.5 + k * 3.25, 1.5), QPointF(1.5 + k * 3.25, 14.5));
    p.drawLine(QPointF(1.5, 1.5 + k * 3.25), QPointF(14.5, 1.5 + k * 3.25));
  }
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
    case GlyphKind::Pen:
      DrawPen(painter);
      break;
    case GlyphKind::Line:
      DrawLineTool(painter);
      break;
    case GlyphKind::Rectangle:
      DrawBox(painter, false);
      break;
    case GlyphKind::FilledRectangle:
      DrawBox(painter, true);
      break;
    case GlyphKind::Fill:
      DrawFill(painter);
      break;
    case GlyphKind::ColorPicker:
      DrawColorPicker(painter);
      break;
    case GlyphKind::PixelGrid:
      DrawPixelGrid(painter);
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
