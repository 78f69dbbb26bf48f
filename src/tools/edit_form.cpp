#include "tools/edit_form.h"

#include <QPainter>

#include "shell/glyphs.h"
#include "shell/surface_image.h"

namespace varnock {
namespace {

constexpr int kDrawingSize = 128;  // 8 pixels x 16

QToolButton* MakeButton(QWidget* panel, int x, int y, const QString& hint, const QIcon& glyph) {
  auto* button = new QToolButton(panel);
  button->setGeometry(x, y, 41, 39);
  button->setToolTip(hint);
  button->setIcon(glyph);
  button->setIconSize(QSize(32, 32));
  button->setAutoRaise(true);
  return button;
}

}  // namespace

TEditForm::TEditForm()
    : QWidget(nullptr,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(QStringLiteral("Tile Editor"));
  setFixedSize(208, 128);
  move(545, 373);
  setCursor(Qt::CrossCursor);
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::black);
  setPalette(background);

  ToolPanel = new QWidget(this);
  ToolPanel->setGeometry(kDrawingSize, 0, 80, 128);
  ToolPanel->setAutoFillBackground(true);
  QPalette workspace = ToolPanel->palette();
  workspace.setColor(QPalette::Window, palette().color(QPalette::Dark));
  ToolPanel->setPalette(workspace);
  SpeedButton1 = MakeButton(ToolPanel, 0, 0, QStringLiteral("Ribalta orizzontalmente"),
                            Glyph(GlyphKind::FlipHorizontal));
  SpeedButton2 = MakeButton(ToolPanel, 40, 0, QStringLiteral("Ribalta verticalmente"),
                            Glyph(GlyphKind::FlipVertical));
  SpeedButton3 =
      MakeButton(ToolPanel, 0, 37, QStringLiteral("Ruota di 90 gradi"), Glyph(GlyphKind::Rotate));
  SpeedButton4 = MakeButton(ToolPanel, 40, 37, QStringLiteral("Annulla ultima operazione"),
                            Glyph(GlyphKind::Undo));
  SpeedButton4->setEnabled(false);

  SetUpTileSurface(EditSurface, 1, 1);
}

void TEditForm::FormPaint() {
  update(0, 0, kDrawingSize, kDrawingSize);
}

void TEditForm::paintEvent(QPaintEvent*) {
  ++PaintCount;
  QPainter painter(this);
  painter.drawImage(QRect(0, 0, kDrawingSize, kDrawingSize), IndexedImage(EditSurface));
}

}  // namespace varnock
