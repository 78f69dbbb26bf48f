#include "tools/edit_form.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "codec/tile_codec.h"
#include "document/child_form.h"
#include "document/step_names.h"
#include "palette/pal_form.h"
#include "shell/forms.h"
#include "shell/glyphs.h"
#include "shell/surface_image.h"
#include "tools/clip_form.h"

namespace varnock {
namespace {

constexpr int kDrawingSize = 128;  // 8 pixels x 16
constexpr int kPixelSize = 16;
// The drawing tools fill the panel below the four designed buttons: two rows of three.
constexpr int kToolButtonSize = 26;
constexpr int kToolButtonsTop = 37 + 39;
constexpr QRgb kPixelGridColor = 0xFF808080;

QToolButton* MakeButton(QWidget* panel, int x, int y, const QString& hint, const QIcon& glyph) {
  auto* button = new QToolButton(panel);
  button->setGeometry(x, y, 41, 39);
  button->setToolTip(hint);
  button->setIcon(glyph);
  button->setIconSize(QSize(32, 32));
  button->setAutoRaise(true);
  // The keys belong to the editor: Shift+arrows shift the tile, and Space presses nothing.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

// The drawing tools as their buttons name them, in DrawingTool order; the names also name the
// history's steps.
const char* const kToolNames[] = {
    "Matita",           "Linea",       "Rettangolo",
    "Rettangolo pieno", "Riempi area", "Preleva colore (sinistro: primo piano, destro: sfondo)",
};

// The history's names of the flips, the rotation and the shifts: the buttons' hints where
// there are buttons.
QString TransformName(TileTransform transform) {
  switch (transform) {
    case TileTransform::FlipHorizontal:
      return QStringLiteral("Ribalta orizzontalmente");
    case TileTransform::FlipVertical:
      return QStringLiteral("Ribalta verticalmente");
    case TileTransform::RotateClockwise:
      return QStringLiteral("Ruota di 90 gradi");
    case TileTransform::ShiftLeft:
      return QStringLiteral("Sposta a sinistra");
    case TileTransform::ShiftRight:
      return QStringLiteral("Sposta a destra");
    case TileTransform::ShiftUp:
      return QStringLiteral("Sposta in alto");
    case TileTransform::ShiftDown:
      return QStringLiteral("Sposta in basso");
  }
  return {};
}

TilePixels TileOf(TileSurface& surface) {
  return TilePixels(surface.Pixels.data(), 64);
}

QToolButton* MakeToolButton(QWidget* panel, int index, const QString& hint, GlyphKind glyph) {
  auto* button = new QToolButton(panel);
  button->setGeometry(1 + index % 3 * kToolButtonSize,
                      kToolButtonsTop + index / 3 * kToolButtonSize, kToolButtonSize,
                      kToolButtonSize);
  button->setToolTip(hint);
  button->setIcon(Glyph(glyph));
  button->setIconSize(QSize(16, 16));
  button->setAutoRaise(true);
  button->setCheckable(true);
  button->setFocusPolicy(Qt::NoFocus);  // Shift+arrows keep shifting the tile
  return button;
}

}  // namespace

TEditForm::TEditForm() : QWidget(nullptr) {
  setWindowTitle(QStringLiteral("Tile Editor"));
  setFixedSize(208, 128);
  move(545, 373);
  setCursor(Qt::CrossCursor);
  // The editor takes the focus when its window is activated, so its keys reach it.
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::black);
  setPalette(background);

  ToolPanel = new QWidget(this);
  ToolPanel->setGeometry(kDrawingSize, 0, 80, 128);
  ToolPanel->setAutoFillBackground(true);
  // A press on the panel between the buttons is not a pen press.
  ToolPanel->setAttribute(Qt::WA_NoMousePropagation);
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
  connect(SpeedButton1, &QToolButton::clicked, this, &TEditForm::SpeedButton1Click);
  connect(SpeedButton2, &QToolButton::clicked, this, &TEditForm::SpeedButton2Click);
  connect(SpeedButton3, &QToolButton::clicked, this, &TEditForm::SpeedButton3Click);
  connect(SpeedButton4, &QToolButton::clicked, this, &TEditForm::SpeedButton4Click);
  BuildDrawingTools();
  BuildContextMenu();

  SetUpTileSurface(EditSurface, 1, 1);
}

void TEditForm::BuildDrawingTools() {
  struct ToolItem {
    DrawingTool Tool;
    GlyphKind Glyph;
  };
  static const ToolItem kTools[] = {
      {DrawingTool::Pen, GlyphKind::Pen},
      {DrawingTool::Line, GlyphKind::Line},
      {DrawingTool::Rectangle, GlyphKind::Rectangle},
      {DrawingTool::FilledRectangle, GlyphKind::FilledRectangle},
      {DrawingTool::Fill, GlyphKind::Fill},
      {DrawingTool::ColorPicker, GlyphKind::ColorPicker},
  };
  ToolGroup = new QButtonGroup(this);
  ToolGroup->setExclusive(true);
  for (int i = 0; i < static_cast<int>(ToolButtons.size()); ++i) {
    const ToolItem& item = kTools[i];
    ToolButtons[i] = MakeToolButton(ToolPanel, i, QString::fromUtf8(kToolNames[i]), item.Glyph);
    ToolGroup->addButton(ToolButtons[i], i);
    connect(ToolButtons[i], &QToolButton::clicked, this,
            [this, tool = item.Tool] { ToolButtonClick(tool); });
  }
  ToolButtons[0]->setChecked(true);
}

void TEditForm::BuildContextMenu() {
  EditorMenu = new QMenu(this);
  EditorMenu->setObjectName(QStringLiteral("EditorMenu"));
  PixelGrid1 = EditorMenu->addAction(QStringLiteral("&Griglia dei pixel"));
  PixelGrid1->setObjectName(QStringLiteral("PixelGrid1"));
  PixelGrid1->setIcon(Glyph(GlyphKind::PixelGrid));
  PixelGrid1->setCheckable(true);
  connect(PixelGrid1, &QAction::triggered, this, [this] {
    // The item's own toggle is undone: the handler sets the mark from the grid.
    PixelGrid1->setChecked(PixelGrid);
    GridButtonClick();
  });
  // The right button draws on the tile, so the menu opens on the button panel, or from the
  // keyboard (the menu key, Shift+F10) anywhere in the editor.
  ToolPanel->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ToolPanel, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { EditorMenu->popup(ToolPanel->mapToGlobal(at)); });
}

void TEditForm::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Mouse && event->pos().x() < kDrawingSize) return;
  EditorMenu->popup(event->globalPos());
}

void TEditForm::ToolButtonClick(DrawingTool tool) {
  Tool = tool;
  ToolButtons[static_cast<size_t>(tool)]->setChecked(true);
}

void TEditForm::GridButtonClick() {
  PixelGrid = !PixelGrid;
  PixelGrid1->setChecked(PixelGrid);
  FormPaint();
}

void TEditForm::FormPaint() {
  update(0, 0, kDrawingSize, kDrawingSize);
}

void TEditForm::paintEvent(QPaintEvent*) {
  ++PaintCount;
  QPainter painter(this);
  painter.drawImage(QRect(0, 0, kDrawingSize, kDrawingSize), IndexedImage(EditSurface));
  if (!PixelGrid) return;
  // Each line covers the first screen column (or row) of the pixel to its right (or below).
  painter.setPen(QColor::fromRgb(kPixelGridColor));
  for (int k = 1; k < 8; ++k) {
    painter.drawLine(k * kPixelSize, 0, k * kPixelSize, kDrawingSize - 1);
    painter.drawLine(0, k * kPixelSize, kDrawingSize - 1, k * kPixelSize);
  }
}

void TEditForm::FormActivate() {
  TakeServedColors();
}

void TEditForm::TakeServedColors() {
  if (TChildForm* rom = ServedRom()) {
    LeftColor = rom->Doc.LeftColor;
    RightColor = rom->Doc.RightColor;
  } else if (ServingArranger()) {
    LeftColor = ClipForm->LeftColor;
    RightColor = ClipForm->RightColor;
  }
}

void TEditForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  QWidget::changeEvent(event);
}

TChildForm* TEditForm::Bound() const {
  TChildForm* rom = BoundRom.data();
  return rom && !rom->Closed ? rom : nullptr;
}

uint8_t TEditForm::PenColor(Qt::MouseButton button) const {
  return button == Qt::LeftButton ? LeftColor : RightColor;
}

void TEditForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
  if (!BoundTile) return;
  if (Tool == DrawingTool::ColorPicker) {
    PickColorAt(button, x, y);
    return;
  }
  DrawButton = button;
  Drawing = true;
  if (Tool == DrawingTool::Pen) {
    PutSurfacePixel(EditSurface, x / kPixelSize, y / kPixelSize, PenColor(button));
  } else {
    StrokeStart = PenPixelAt(x, y);
    std::copy_n(EditSurface.Pixels.begin(), StrokeBefore.size(), StrokeBefore.begin());
    DrawShapeTo(StrokeStart);
  }
  FormPaint();
}

void TEditForm::FormMouseMove(int x, int y) {
  if (!Drawing) return;
  const PenPixel pixel = PenPixelAt(x, y);
  if (Tool == DrawingTool::Pen) {
    PutSurfacePixel(EditSurface, pixel.X, pixel.Y, PenColor(DrawButton));
  } else {
    DrawShapeTo(pixel);
  }
  FormPaint();
}

void TEditForm::FormMouseUp(Qt::MouseButton, int x, int y) {
  if (!BoundTile || Tool == DrawingTool::ColorPicker) return;
  if (Tool != DrawingTool::Pen) {
    // A shape needs its press; the release's own place ends it, moves or none.
    if (!Drawing) return;
    DrawShapeTo(PenPixelAt(x, y));
    FormPaint();
  }
  Drawing = false;
  WriteBackTile();
}

void TEditForm::DrawShapeTo(PenPixel to) {
  // A fill stays where it was pressed; the other shapes follow the pointer from the press.
  if (Tool == DrawingTool::Fill && to != StrokeStart) return;
  std::copy(StrokeBefore.begin(), StrokeBefore.end(), EditSurface.Pixels.begin());
  DrawShape(TileOf(EditSurface), Tool, StrokeStart, to, PenColor(DrawButton));
}

void TEditForm::PickColorAt(Qt::MouseButton button, int x, int y) {
  const PenPixel pixel = PenPixelAt(x, y);
  const uint8_t index = EditSurface.Pixels[static_cast<size_t>(pixel.Y * 8 + pixel.X)];
  const bool background = button != Qt::LeftButton;
  // Through the palette editor, which shows the pick and hands it to the served window (and
  // from there back here); with nothing served the editor keeps it itself.
  if (PalForm && PalForm->PickSwatch(index, background)) return;
  (background ? RightColor : LeftColor) = index;
}

void TEditForm::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  FormMouseDown(event->button(), at.x(), at.y());
}

void TEditForm::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  FormMouseMove(at.x(), at.y());
}

void TEditForm::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  FormMouseUp(event->button(), at.x(), at.y());
}

void TEditForm::keyPressEvent(QKeyEvent* event) {
  FormKeyDown(event->key(), event->modifiers());
}

void TEditForm::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
  if (!BoundTile || !(shift & Qt::ShiftModifier)) return;
  switch (key) {
    case Qt::Key_Left:
      Transform(TileTransform::ShiftLeft);
      break;
    case Qt::Key_Right:
      Transform(TileTransform::ShiftRight);
      break;
    case Qt::Key_Up:
      Transform(TileTransform::ShiftUp);
      break;
    case Qt::Key_Down:
      Transform(TileTransform::ShiftDown);
      break;
    default:
      break;
  }
}

void TEditForm::SpeedButton1Click() {
  Transform(TileTransform::FlipHorizontal);
}

void TEditForm::SpeedButton2Click() {
  Transform(TileTransform::FlipVertical);
}

void TEditForm::SpeedButton3Click() {
  Transform(TileTransform::RotateClockwise);
}

void TEditForm::SpeedButton4Click() {
  UndoTileEdit();
}

void TEditForm::Transform(TileTransform transform) {
  if (!BoundTile) return;
  TransformTile(TileOf(EditSurface), transform);
  FormPaint();
  WriteBackTile(TransformName(transform));
}

void TEditForm::WriteBackTile(const QString& operation) {
  if (!BoundTile) return;
  TChildForm* rom = Bound();
  // A tile whose window is gone has nowhere to go; the editor lets go of it.
  if (!rom) {
    Unbind();
    return;
  }
  RomDocument& doc = rom->Doc;
  doc.PushUndo(BoundOffset, BoundFormat, BoundBitsPerPixel, BoundTileBytes);
  SpeedButton4->setEnabled(true);
  EditSurface.EncodeFormat = BoundFormat;
  EditSurface.EncodeTileBytes = BoundTileBytes;
  EditSurface.EncodeBits = BoundBitsPerPixel;
  const QString name =
      operation.isEmpty() ? QString::fromUtf8(kToolNames[static_cast<size_t>(Tool)]) : operation;
  {
    const HistoryStep step(doc, TileStepName(doc, name.toStdString(), BoundOffset));
    doc.EncodeIntoImage(EditSurface, BoundOffset);
  }
  if (ClipForm) ClipForm->RefreshCellsShowing(BoundTile, EditSurface);
  if (doc.OnShownPage(BoundOffset)) rom->RedrawPage();
}

void TEditForm::UndoTileEdit() {
  TChildForm* rom = Bound();
  const std::optional<UndoEntry> entry = rom ? rom->Doc.PopUndo() : std::nullopt;
  if (!entry) {
    SpeedButton4->setEnabled(false);
    return;
  }
  RomDocument& doc = rom->Doc;
  if (doc.OnShownPage(entry->ByteOffset)) rom->RedrawPage();
  const uint8_t* tile = doc.RomData + entry->TileOffset;
  if (ClipForm) {
    TileSurface restored;
    SetUpTileSurface(restored, 1, 1);
    restored.DecodeFormat = entry->Format;
    restored.DecodeBits = entry->BitsPerPixel;
    restored.DecodeTileBytes = entry->Length;
    DecodeTiles(doc.BytesFrom(entry->TileOffset), restored);
    ClipForm->RefreshCellsShowing(tile, restored);
  }
  if (tile == BoundTile) DecodeBoundTile(*rom);
  if (doc.UndoCount == 0) SpeedButton4->setEnabled(false);
  FormPaint();
}

void TEditForm::ReloadBoundTile(const TChildForm* rom) {
  if (!BoundTile || !rom || Bound() != rom) return;
  DecodeBoundTile(*rom);
  FormPaint();
}

void TEditForm::DecodeBoundTile(const TChildForm& rom) {
  EditSurface.DecodeFormat = BoundFormat;
  EditSurface.DecodeBits = BoundBitsPerPixel;
  EditSurface.DecodeTileBytes = BoundTileBytes;
  EditSurface.DecodeColumn = EditSurface.DecodeRow = 0;
  EditSurface.DecodeAcross = EditSurface.DecodeDown = 1;
  EditSurface.DecodeSkip = 0;
  DecodeTiles(rom.Doc.BytesFrom(BoundOffset), EditSurface);
}

void TEditForm::BindTile(TChildForm* rom, int32_t offset, TileFormat format, int32_t tileBytes,
                         int32_t bitsPerPixel) {
  BoundRom = rom;
  BoundTile = rom->Doc.RomData + offset;
  BoundOffset = offset;
  BoundFormat = format;
  BoundTileBytes = tileBytes;
  BoundBitsPerPixel = bitsPerPixel;
}

void TEditForm::ShowTile(const TileSurface& from, int column, int row) {
  CopySurfaceTile(EditSurface, 0, 0, from, column, row);
  // The whole table: an 8-bit tile uses every entry.
  EditSurface.Colors = from.Colors;
  FormPaint();
}

void TEditForm::Unbind() {
  BoundTile = nullptr;
  Drawing = false;
  FillSurfaceTile(EditSurface, 0, 0, 0);
  FormPaint();
}

}  // namespace varnock
