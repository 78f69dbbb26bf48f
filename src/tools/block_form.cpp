#include "tools/block_form.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>
#include <limits>

#include "document/child_form.h"
#include "document/view_readout.h"
#include "palette/pal_form.h"
#include "shell/forms.h"
#include "shell/glyphs.h"
#include "shell/main_form.h"
#include "tools/block_clip.h"

namespace varnock {
namespace {

constexpr char kBlockMimeType[] = "application/x-varnock-block";

PixelRect BoxOf(PenPixel a, PenPixel b) {
  return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X) + 1, std::max(a.Y, b.Y) + 1};
}

QRect QRectOf(const PixelRect& r) {
  return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

const char* ToolName(DrawingTool tool) {
  switch (tool) {
    case DrawingTool::Pen:
      return "Matita";
    case DrawingTool::Line:
      return "Linea";
    case DrawingTool::Rectangle:
      return "Rettangolo";
    case DrawingTool::FilledRectangle:
      return "Rettangolo pieno";
    case DrawingTool::Fill:
      return "Riempi area";
    case DrawingTool::ColorPicker:
      return "Preleva colore";
  }
  return "";
}

const char* TransformName(TileTransform transform) {
  switch (transform) {
    case TileTransform::FlipHorizontal:
      return "Ribalta orizzontalmente";
    case TileTransform::FlipVertical:
      return "Ribalta verticalmente";
    case TileTransform::RotateClockwise:
      return "Ruota di 90 gradi";
    default:
      return "Sposta";
  }
}

}  // namespace

BlockCanvasWidget::BlockCanvasWidget(TBlockForm* owner) : QWidget(nullptr), owner_(owner) {
  setMouseTracking(true);
  setCursor(Qt::CrossCursor);
  // Every pixel is composed: nothing to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void BlockCanvasWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  owner_->PaintCanvas(painter, event->rect());
}

void BlockCanvasWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->CanvasMouseDown(event->button(), at.x(), at.y());
}

void BlockCanvasWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->CanvasMouseMove(event->buttons(), at.x(), at.y());
}

void BlockCanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  owner_->CanvasMouseUp(event->button(), at.x(), at.y());
}

void BlockCanvasWidget::wheelEvent(QWheelEvent* event) {
  if (owner_->CanvasWheel(event->angleDelta().y(), event->modifiers()))
    event->accept();
  else
    QWidget::wheelEvent(event);
}

void BlockCanvasWidget::leaveEvent(QEvent* event) {
  owner_->CanvasLeft();
  QWidget::leaveEvent(event);
}

TBlockForm* BlockEditor(bool create) {
  static QPointer<TBlockForm> editor;
  if (!editor && create && MainForm) editor = new TBlockForm(MainForm);
  return editor.data();
}

// A tool window of the frame: it stays above the ROM windows it draws into, and the frame's
// shortcuts that it has no key of its own for work in it too.
TBlockForm::TBlockForm(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setObjectName(QStringLiteral("BlockForm"));
  setWindowTitle(QStringLiteral("Editor Blocchi"));
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  ToolBar = new QToolBar(this);
  ToolBar->setIconSize(QSize(16, 16));
  ToolBar->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(ToolBar);
  Scroller = new QScrollArea(this);
  Scroller->setBackgroundRole(QPalette::Dark);
  // Shift+arrows shift the block; the scroll area must not take them.
  Scroller->setFocusPolicy(Qt::NoFocus);
  Canvas = new BlockCanvasWidget(this);
  Canvas->setObjectName(QStringLiteral("BlockCanvas"));
  Scroller->setWidget(Canvas);
  layout->addWidget(Scroller, 1);
  StatusLine = new QLabel(this);
  StatusLine->setObjectName(QStringLiteral("BlockStatus"));
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::Monospace);
  StatusLine->setFont(font);
  StatusLine->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(StatusLine);
  BuildActions();
  SetUpTileSurface(BlockSurface, 1, 1);
  resize(560, 520);
  EnableItems();
}

void TBlockForm::BuildActions() {
  const auto add = [this](const char* name, const QString& text, const QKeySequence& keys = {}) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty()) action->setShortcut(keys);
    // Shown beside the items; the keys themselves reach keyPressEvent (see event()).
    action->setShortcutContext(Qt::WidgetShortcut);
    addAction(action);
    return action;
  };
  struct ToolItem {
    DrawingTool Tool;
    const char* Name;
    GlyphKind Glyph;
  };
  static const ToolItem kTools[] = {
      {DrawingTool::Pen, "Pen1", GlyphKind::Pen},
      {DrawingTool::Line, "Line1", GlyphKind::Line},
      {DrawingTool::Rectangle, "Rectangle1", GlyphKind::Rectangle},
      {DrawingTool::FilledRectangle, "FilledRectangle1", GlyphKind::FilledRectangle},
      {DrawingTool::Fill, "Fill1", GlyphKind::Fill},
      {DrawingTool::ColorPicker, "ColorPicker1", GlyphKind::ColorPicker},
  };
  ToolGroup = new QActionGroup(this);
  for (size_t i = 0; i < ToolItems.size(); ++i) {
    const ToolItem& item = kTools[i];
    QString hint = QString::fromUtf8(ToolName(item.Tool));
    if (item.Tool == DrawingTool::ColorPicker)
      hint += QStringLiteral(" (sinistro: primo piano, destro: sfondo)");
    ToolItems[i] = add(item.Name, hint);
    ToolItems[i]->setIcon(Glyph(item.Glyph));
    ToolItems[i]->setCheckable(true);
    ToolGroup->addAction(ToolItems[i]);
    ToolBar->addAction(ToolItems[i]);
    connect(ToolItems[i], &QAction::triggered, this,
            [this, tool = item.Tool] { ToolButtonClick(tool); });
  }
  ToolItems[0]->setChecked(true);
  ToolBar->addSeparator();
  FlipHorizontal1 = add("FlipHorizontal1", QStringLiteral("Ribalta orizzontalmente"));
  FlipHorizontal1->setIcon(Glyph(GlyphKind::FlipHorizontal));
  FlipVertical1 = add("FlipVertical1", QStringLiteral("Ribalta verticalmente"));
  FlipVertical1->setIcon(Glyph(GlyphKind::FlipVertical));
  Rotate1 = add("Rotate1", QStringLiteral("Ruota di 90 gradi"));
  Rotate1->setIcon(Glyph(GlyphKind::Rotate));
  connect(FlipHorizontal1, &QAction::triggered, this,
          [this] { TransformBlock(TileTransform::FlipHorizontal); });
  connect(FlipVertical1, &QAction::triggered, this,
          [this] { TransformBlock(TileTransform::FlipVertical); });
  connect(Rotate1, &QAction::triggered, this,
          [this] { TransformBlock(TileTransform::RotateClockwise); });
  for (QAction* action : {FlipHorizontal1, FlipVertical1, Rotate1}) ToolBar->addAction(action);
  ToolBar->addSeparator();
  Undo1 = add("Undo1", QStringLiteral("Annulla"), QKeySequence(Qt::CTRL | Qt::Key_Z));
  Undo1->setIcon(Glyph(GlyphKind::Undo));
  Redo1 = add("Redo1", QStringLiteral("Ripeti"), QKeySequence(Qt::CTRL | Qt::Key_Y));
  Copy1 = add("Copy1", QStringLiteral("Copia blocco"), QKeySequence(Qt::CTRL | Qt::Key_C));
  Paste1 = add("Paste1", QStringLiteral("Incolla nel blocco"), QKeySequence(Qt::CTRL | Qt::Key_V));
  connect(Undo1, &QAction::triggered, this, &TBlockForm::Undo1Click);
  connect(Redo1, &QAction::triggered, this, &TBlockForm::Redo1Click);
  connect(Copy1, &QAction::triggered, this, &TBlockForm::Copy1Click);
  connect(Paste1, &QAction::triggered, this, &TBlockForm::Paste1Click);
  for (QAction* action : {Undo1, Redo1, Copy1, Paste1}) ToolBar->addAction(action);
  ToolBar->addSeparator();
  ZoomIn1 = add("ZoomIn1", QStringLiteral("Zoom +"), QKeySequence(Qt::CTRL | Qt::Key_Plus));
  ZoomIn1->setIcon(Glyph(GlyphKind::ZoomIn));
  ZoomOut1 = add("ZoomOut1", QStringLiteral("Zoom -"), QKeySequence(Qt::CTRL | Qt::Key_Minus));
  ZoomOut1->setIcon(Glyph(GlyphKind::ZoomOut));
  Fit1 = add("Fit1", QStringLiteral("Adatta alla finestra"), QKeySequence(Qt::CTRL | Qt::Key_0));
  connect(ZoomIn1, &QAction::triggered, this, &TBlockForm::ZoomIn1Click);
  connect(ZoomOut1, &QAction::triggered, this, &TBlockForm::ZoomOut1Click);
  connect(Fit1, &QAction::triggered, this, &TBlockForm::Fit1Click);
  PixelGrid1 = add("PixelGrid1", QStringLiteral("Griglia dei pixel"));
  PixelGrid1->setIcon(Glyph(GlyphKind::PixelGrid));
  TileGrid1 = add("TileGrid1", QStringLiteral("Griglia dei tile"));
  TileGrid1->setIcon(Glyph(GlyphKind::Grid));
  for (QAction* grid : {PixelGrid1, TileGrid1}) grid->setCheckable(true);
  Grids.Tiles = true;
  TileGrid1->setChecked(true);
  connect(PixelGrid1, &QAction::triggered, this, &TBlockForm::PixelGrid1Click);
  connect(TileGrid1, &QAction::triggered, this, &TBlockForm::TileGrid1Click);
  for (QAction* action : {ZoomIn1, ZoomOut1, Fit1, PixelGrid1, TileGrid1})
    ToolBar->addAction(action);
}

TChildForm* TBlockForm::Bound() const {
  TChildForm* rom = BoundRom.data();
  return rom && !rom->Closed ? rom : nullptr;
}

bool TBlockForm::OpenBlock(TChildForm* rom, const TileRect& cells) {
  if (!rom) return false;
  BlockLayout layout = LayOutBlock(rom->Doc, cells);
  if (layout.Empty()) return false;
  Drawing = false;
  BoundRom = rom;
  Cells = cells;
  Layout = std::move(layout);
  BlockSurface.Colors = rom->Doc.ViewSurface.Colors;
  DecodeFromImage();
  Canvas->update();
  setWindowTitle(
      QStringLiteral("Editor Blocchi - %1 (%2x%3)")
          .arg(QString::fromStdString(OffsetReadout(rom->Doc, Layout.TileOffsets.front())))
          .arg(Layout.Columns)
          .arg(Layout.Rows));
  // A new block opens at the largest zoom up to 8x that shows it whole.
  const QSize area = Scroller->viewport()->size();
  Zoom = std::min(8, FitBlockZoom(Layout.Width(), Layout.Height(), std::max(area.width(), 256),
                                  std::max(area.height(), 256)));
  ResizeCanvas();
  EnableItems();
  show();
  raise();
  activateWindow();
  return true;
}

void TBlockForm::EnableItems() {
  const bool bound = Bound() != nullptr;
  for (QAction* action : {FlipHorizontal1, FlipVertical1, Undo1, Redo1, Copy1, Paste1})
    action->setEnabled(bound);
  // A quarter turn of a block that is not square would not fit its tiles.
  Rotate1->setEnabled(bound && Layout.Columns == Layout.Rows);
}

bool TBlockForm::DecodeFromImage() {
  TChildForm* rom = Bound();
  if (!rom) return false;
  const std::vector<uint8_t> shown = BlockSurface.Pixels;
  DecodeBlock(rom->Doc.BytesFrom(0), Layout, BlockSurface);
  if (shown == BlockSurface.Pixels) return false;
  Canvas->update();
  return true;
}

uint8_t TBlockForm::PenColor(Qt::MouseButton button) const {
  uint8_t index = 0;
  if (PalForm) index = button == Qt::LeftButton ? PalForm->LeftColor : PalForm->RightColor;
  // Only the indices the tiles' depth holds.
  const int32_t bits = std::clamp(Layout.BitsPerPixel, 1, 8);
  return static_cast<uint8_t>(index & ((1 << bits) - 1));
}

void TBlockForm::ResizeCanvas() {
  Canvas->setFixedSize(Layout.Width() * Zoom, Layout.Height() * Zoom);
  Canvas->update();
}

void TBlockForm::SetZoom(int32_t zoom) {
  zoom = std::clamp(zoom, kMinBlockZoom, kMaxBlockZoom);
  if (zoom == Zoom) return;
  Zoom = zoom;
  ResizeCanvas();
}

void TBlockForm::ZoomIn1Click() {
  SetZoom(StepBlockZoom(Zoom, 1));
}

void TBlockForm::ZoomOut1Click() {
  SetZoom(StepBlockZoom(Zoom, -1));
}

void TBlockForm::Fit1Click() {
  const QSize area = Scroller->viewport()->size();
  SetZoom(FitBlockZoom(Layout.Width(), Layout.Height(), area.width(), area.height()));
}

void TBlockForm::PixelGrid1Click() {
  Grids.Pixels = PixelGrid1->isChecked();
  Canvas->update();
}

void TBlockForm::TileGrid1Click() {
  Grids.Tiles = TileGrid1->isChecked();
  Canvas->update();
}

bool TBlockForm::CanvasWheel(int angleDelta, Qt::KeyboardModifiers modifiers) {
  if (!(modifiers & Qt::ControlModifier) || angleDelta == 0) return false;
  SetZoom(StepBlockZoom(Zoom, angleDelta > 0 ? 1 : -1));
  return true;
}

void TBlockForm::ToolButtonClick(DrawingTool tool) {
  Tool = tool;
  ToolItems[static_cast<size_t>(tool)]->setChecked(true);
}

void TBlockForm::PaintCanvas(QPainter& painter, const QRect& area) {
  ++PaintCount;
  const PixelRect pixels =
      BlockPixelsIn({area.left(), area.top(), area.right() + 1, area.bottom() + 1}, Zoom,
                    BlockSurface.Width(), BlockSurface.Height());
  if (pixels.Empty() || Layout.Empty()) {
    painter.fillRect(area, Qt::black);
    return;
  }
  const PixelRect screen = ZoomedBox(pixels, Zoom);
  QImage image(screen.Right - screen.Left, screen.Bottom - screen.Top, QImage::Format_RGB32);
  ComposeBlockBox(BlockSurface, Zoom, pixels, reinterpret_cast<uint32_t*>(image.bits()),
                  static_cast<int32_t>(image.bytesPerLine() / 4), Grids);
  PaintedPixels += static_cast<int64_t>(image.width()) * image.height();
  painter.drawImage(screen.Left, screen.Top, image);
}

void TBlockForm::RepaintPixels(const PixelRect& pixels) {
  if (pixels.Empty()) return;
  // A pixel's grid lines lie on its own first screen column and row: its box holds them.
  Canvas->update(QRectOf(ZoomedBox(pixels, Zoom)));
}

void TBlockForm::ShowPointer(int x, int y) {
  const std::optional<PenPixel> pixel =
      BlockPixelUnder(x, y, Zoom, BlockSurface.Width(), BlockSurface.Height());
  const std::optional<BlockPixelPlace> place =
      pixel ? PlaceOfBlockPixel(Layout, *pixel) : std::nullopt;
  TChildForm* rom = Bound();
  if (!place || !rom) {
    StatusLine->clear();
    return;
  }
  StatusLine->setText(
      QStringLiteral("Pixel %1,%2  Tile %3,%4 %5  (%6,%7)  Indice %8")
          .arg(pixel->X)
          .arg(pixel->Y)
          .arg(place->Tile % Layout.Columns)
          .arg(place->Tile / Layout.Columns)
          .arg(QString::fromStdString(OffsetReadout(rom->Doc, place->Offset)))
          .arg(place->Pixel.X)
          .arg(place->Pixel.Y)
          .arg(BlockSurface.Pixels[static_cast<size_t>(pixel->Y) * BlockSurface.Width() +
                                   static_cast<size_t>(pixel->X)]));
}

void TBlockForm::CanvasLeft() {
  StatusLine->clear();
}

void TBlockForm::CanvasMouseDown(Qt::MouseButton button, int x, int y) {
  if (!Bound() || Drawing) return;
  const PenPixel pixel = StrokePixelAt(x, y, Zoom, BlockSurface.Width(), BlockSurface.Height());
  if (Tool == DrawingTool::ColorPicker) {
    if (!BlockPixelUnder(x, y, Zoom, BlockSurface.Width(), BlockSurface.Height())) return;
    const uint8_t index = BlockSurface.Pixels[static_cast<size_t>(pixel.Y) * BlockSurface.Width() +
                                              static_cast<size_t>(pixel.X)];
    if (PalForm) PalForm->PickSwatch(index, button != Qt::LeftButton);
    return;
  }
  // The stroke starts from the image as it is now: an edit made elsewhere since the block was
  // shown is never written back over.
  DecodeFromImage();
  StrokeBefore = BlockSurface;
  DrawButton = button;
  Drawing = true;
  StrokeStart = LastPixel = pixel;
  ShapeBox = {};
  if (Tool == DrawingTool::Pen) {
    PixelCanvas canvas = CanvasOfBlock(BlockSurface);
    canvas.At(pixel.X, pixel.Y) = PenColor(button);
    RepaintPixels(BoxOf(pixel, pixel));
  } else {
    DrawShapeTo(pixel);
  }
}

void TBlockForm::CanvasMouseMove(Qt::MouseButtons, int x, int y) {
  ShowPointer(x, y);
  if (!Drawing) return;
  const PenPixel pixel = StrokePixelAt(x, y, Zoom, BlockSurface.Width(), BlockSurface.Height());
  if (pixel == LastPixel) return;
  if (Tool == DrawingTool::Pen) {
    // Joined to the last pixel, so a quick move leaves no gaps.
    DrawLine(CanvasOfBlock(BlockSurface), LastPixel, pixel, PenColor(DrawButton));
    RepaintPixels(BoxOf(LastPixel, pixel));
  } else {
    DrawShapeTo(pixel);
  }
  LastPixel = pixel;
}

void TBlockForm::CanvasMouseUp(Qt::MouseButton button, int x, int y) {
  if (!Drawing || button != DrawButton) return;
  if (Tool != DrawingTool::Pen)
    DrawShapeTo(StrokePixelAt(x, y, Zoom, BlockSurface.Width(), BlockSurface.Height()));
  Drawing = false;
  WriteBack(ToolName(Tool));
}

void TBlockForm::DrawShapeTo(PenPixel to) {
  // A fill stays where it was pressed; the other shapes follow the pointer from the press.
  if (Tool == DrawingTool::Fill && ShapeBox.Left != ShapeBox.Right) return;
  const PixelRect before = ShapeBox;
  std::copy(StrokeBefore.Pixels.begin(), StrokeBefore.Pixels.end(), BlockSurface.Pixels.begin());
  DrawShape(CanvasOfBlock(BlockSurface), Tool, StrokeStart, to, PenColor(DrawButton));
  ShapeBox = Tool == DrawingTool::Fill ? ChangedPixels(StrokeBefore, BlockSurface)
                                       : BoxOf(StrokeStart, to);
  // A fill that changed nothing still counts as drawn.
  if (Tool == DrawingTool::Fill && ShapeBox.Empty()) ShapeBox = BoxOf(to, to);
  RepaintPixels(UnionRect(before, ShapeBox));
}

void TBlockForm::WriteBack(std::string_view operation) {
  TChildForm* rom = Bound();
  if (!rom) return;
  const std::vector<int32_t> written = WriteBlockChanges(
      rom->Doc, Layout, StrokeBefore, BlockSurface, BlockStepName(rom->Doc, operation, Layout));
  if (written.empty()) return;
  int64_t begin = std::numeric_limits<int64_t>::max(), end = 0;
  for (const int32_t tile : written) {
    const int64_t offset = Layout.TileOffsets[static_cast<size_t>(tile)];
    begin = std::min(begin, offset);
    end = std::max(end, offset + Layout.TileBytes);
  }
  rom->StreamWrittenAt(begin, end - begin);
}

void TBlockForm::TransformBlock(TileTransform transform) {
  if (!Bound() || Drawing) return;
  DecodeFromImage();
  StrokeBefore = BlockSurface;
  if (!TransformCanvas(CanvasOfBlock(BlockSurface), transform)) return;
  Canvas->update();
  WriteBack(TransformName(transform));
}

QAction* TBlockForm::ItemForKeys(const QKeyEvent* event) const {
  const QKeySequence keys(event->keyCombination());
  for (QAction* action : actions())
    if (!action->shortcut().isEmpty() && action->shortcut() == keys) return action;
  return nullptr;
}

bool TBlockForm::event(QEvent* event) {
  // The editor's own keys win over the frame's shortcuts of the same keys (Ctrl+Z is the
  // image's undo here, not the drop's), whichever window Qt counts them in.
  if (event->type() == QEvent::ShortcutOverride && ItemForKeys(static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

void TBlockForm::keyPressEvent(QKeyEvent* event) {
  if (QAction* item = ItemForKeys(event)) {
    if (item->isEnabled()) item->trigger();
    return;
  }
  FormKeyDown(event->key(), event->modifiers());
}

void TBlockForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  if (!(modifiers & Qt::ShiftModifier)) return;
  switch (key) {
    case Qt::Key_Left:
      TransformBlock(TileTransform::ShiftLeft);
      break;
    case Qt::Key_Right:
      TransformBlock(TileTransform::ShiftRight);
      break;
    case Qt::Key_Up:
      TransformBlock(TileTransform::ShiftUp);
      break;
    case Qt::Key_Down:
      TransformBlock(TileTransform::ShiftDown);
      break;
    default:
      break;
  }
}

void TBlockForm::Undo1Click() {
  TChildForm* rom = Bound();
  if (!rom || Drawing) return;
  // The history shows the undone bytes in every window, this one too.
  rom->Doc.Undo();
}

void TBlockForm::Redo1Click() {
  TChildForm* rom = Bound();
  if (!rom || Drawing) return;
  rom->Doc.Redo();
}

void TBlockForm::Copy1Click() {
  if (!Bound()) return;
  auto* data = new QMimeData;
  const std::vector<uint8_t> block = EncodeBlockClip(BlockSurface);
  data->setData(QString::fromLatin1(kBlockMimeType),
                QByteArray(reinterpret_cast<const char*>(block.data()),
                           static_cast<qsizetype>(block.size())));
  QImage picture(BlockSurface.Pixels.data(), BlockSurface.Width(), BlockSurface.Height(),
                 BlockSurface.Width(), QImage::Format_Indexed8);
  QList<QRgb> table;
  for (const SurfaceColor& color : BlockSurface.Colors)
    table.append(qRgb(color.red, color.green, color.blue));
  picture.setColorTable(table);
  data->setImageData(picture.copy());
  QGuiApplication::clipboard()->setMimeData(data);
}

void TBlockForm::Paste1Click() {
  if (!Bound() || Drawing) return;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return;
  std::optional<BlockClip> clip;
  if (data->hasFormat(QString::fromLatin1(kBlockMimeType))) {
    const QByteArray bytes = data->data(QString::fromLatin1(kBlockMimeType));
    clip = DecodeBlockClip(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                     static_cast<size_t>(bytes.size())));
  } else if (data->hasImage()) {
    // A picture of another program: each colour becomes the nearest shown colour of the tiles'
    // depth.
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    QList<QRgb> table;
    const int32_t colors = 1 << std::clamp(Layout.BitsPerPixel, 1, 8);
    for (int32_t k = 0; k < colors; ++k) {
      const SurfaceColor& color = BlockSurface.Colors[static_cast<size_t>(k)];
      table.append(qRgb(color.red, color.green, color.blue));
    }
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, table,
                                                   Qt::ThresholdDither | Qt::AvoidDither);
    if (!indexed.isNull()) {
      clip = BlockClip{indexed.width(), indexed.height(), {}};
      clip->Pixels.resize(static_cast<size_t>(indexed.width()) * indexed.height());
      for (int y = 0; y < indexed.height(); ++y)
        std::memcpy(clip->Pixels.data() + static_cast<size_t>(y) * indexed.width(),
                    indexed.constScanLine(y), static_cast<size_t>(indexed.width()));
    }
  }
  if (!clip) return;
  DecodeFromImage();
  StrokeBefore = BlockSurface;
  PasteBlockClip(*clip, CanvasOfBlock(BlockSurface), std::clamp(Layout.BitsPerPixel, 1, 8));
  Canvas->update();
  WriteBack("Incolla");
}

void TBlockForm::ImageChanged(const TChildForm* rom) {
  if (Drawing || !rom || Bound() != rom) return;
  DecodeFromImage();
}

void TBlockForm::ColorsChanged(const TChildForm* rom) {
  if (!rom || Bound() != rom) return;
  BlockSurface.Colors = rom->Doc.ViewSurface.Colors;
  StrokeBefore.Colors = BlockSurface.Colors;
  Canvas->update();
}

void TBlockForm::ForgetRom(const TChildForm* rom) {
  if (!rom || BoundRom.data() != rom) return;
  BoundRom = nullptr;
  Drawing = false;
  Layout = {};
  EnableItems();
  hide();
}

void TBlockForm::changeEvent(QEvent* event) {
  // Back in the editor: the block shows what other windows wrote meanwhile.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) ImageChanged(Bound());
  QWidget::changeEvent(event);
}

}  // namespace varnock
