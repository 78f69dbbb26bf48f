#include "document/child_form.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QWheelEvent>

#include "codec/codec_registry.h"
#include "codec/tile_codec.h"
#include "codec/view_compose.h"
#include "document/history_form.h"
#include "document/stream_scan_form.h"
#include "document/tile_search_form.h"
#include "document/view_readout.h"
#include "palette/pal_form.h"
#include "shell/forms.h"
#include "shell/main_form.h"
#include "shell/prompts.h"
#include "tools/block_form.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

constexpr int kScrollBarWidth = 16;
constexpr uint32_t kGridColor = 0xFFC0C0C0;  // silver
constexpr int kSavedMessageMs = 2000;

QAction* AddItem(QMenu* menu, const char* name, const char* caption,
                 const QKeySequence& shortcut = {}) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(QString::fromUtf8(name));
  if (!shortcut.isEmpty()) {
    // Shown in the menu; the frame's shortcut runs it through the menu, like a click.
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WidgetShortcut);
  }
  return item;
}

QAction* AddRadio(QMenu* menu, QActionGroup* group, const char* name, const QString& caption,
                  int tag) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromUtf8(name));
  item->setCheckable(true);
  item->setData(tag);
  group->addAction(item);
  return item;
}

}  // namespace

TileViewWidget::TileViewWidget(TChildForm* owner) : QWidget(owner), owner_(owner) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Moves without a button update the readout of the tile under the pointer.
  setMouseTracking(true);
}

void TileViewWidget::paintEvent(QPaintEvent* event) {
  // Painting only copies the composed back buffer: no decode, no zoom.
  QPainter painter(this);
  painter.drawImage(event->rect(), owner_->ViewBitmap, event->rect());
}

void TileViewWidget::keyPressEvent(QKeyEvent* event) {
  owner_->FormKeyDown(event->key(), event->modifiers());
}

ChildClientArea::ChildClientArea(TChildForm* owner) : QWidget(owner), owner_(owner) {
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
}

void ChildClientArea::wheelEvent(QWheelEvent* event) {
  owner_->FormMouseWheel(event->angleDelta().y(), event->modifiers());
  event->accept();
}

bool ChildClientArea::eventFilter(QObject* watched, QEvent* event) {
  // The bar would scroll by its own steps, outside the clamp and the row rule of the keys; the
  // view takes the wheel here too, since only the window system's own wheel events travel up.
  // Only wheel events reach the window: the filter also sees the focus changes of the window's
  // own teardown, when the window is no longer a ROM window.
  if (event->type() == QEvent::Wheel && watched->parent() == this) {
    wheelEvent(static_cast<QWheelEvent*>(event));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void ChildClientArea::resizeEvent(QResizeEvent*) {
  owner_->ScrollBar->setGeometry(width() - kScrollBarWidth, 0, kScrollBarWidth, height());
  owner_->View->setGeometry(0, 0, owner_->ViewBitmap.width(), owner_->ViewBitmap.height());
  if (owner_->ResizeAttached) owner_->FormResize();
}

TChildForm::TChildForm(QWidget* parent) : QMdiSubWindow(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("ROM image"));
  // Ctrl+W is the File menu's Close, run through the menu; the window's own menu keeps Ctrl+F4.
  if (QMenu* menu = systemMenu()) {
    for (QAction* action : menu->actions()) {
      QList<QKeySequence> keys = action->shortcuts();
      keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W));
      action->setShortcuts(keys);
    }
  }

  ClientArea = new ChildClientArea(this);
  View = new TileViewWidget(this);
  View->setParent(ClientArea);
  ScrollBar = new QScrollBar(Qt::Vertical, ClientArea);
  ScrollBar->setRange(0, 2147483647);
  ScrollBar->setPageStep(0);
  ScrollBar->setFocusPolicy(Qt::NoFocus);
  ScrollBar->installEventFilter(ClientArea);
  View->installEventFilter(ClientArea);
  DragLabel = new QLabel(QStringLiteral("Trascina"), ClientArea);
  DragLabel->setStyleSheet(QStringLiteral("background: yellow"));
  DragLabel->hide();
  setWidget(ClientArea);
  setFocusProxy(View);

  connect(ScrollBar, &QScrollBar::valueChanged, this, &TChildForm::ScrollBarChange);
  connect(ScrollBar, &QScrollBar::actionTriggered, this, &TChildForm::ScrollBarScroll);

  Doc.TileWidth = 8;
  Doc.TileHeight = 8;
  Doc.Columns = 16;
  Doc.Rows = 16;
  Doc.LeftColor = 1;
  Doc.ClipSurface = MainForm ? &MainForm->ClipSurface : nullptr;
  // Every change of the image's state, wherever it is made, shows in the caption.
  Doc.Modified.OnChange = [this] { ShowModifiedMark(); };
  Doc.OnRestored = [this](std::span<const ByteRange> ranges) { HistoryRestored(ranges); };
  Doc.OnHistoryChange = [this] { HistoryChanged(); };
  BuildMenus();
  AttachDrops();
  resize(272 + kScrollBarWidth, 256);
}

TChildForm::~TChildForm() {
  // The scan and search dialogs go first, while the document their rows come from is here.
  delete ScanForm.data();
  delete SearchForm.data();
}

void TChildForm::BuildMenus() {
  Edit1 = new QMenu(QStringLiteral("&Modifica"), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  connect(Edit1, &QMenu::aboutToShow, this, &TChildForm::Edit1Click);
  Undodrop1 = AddItem(Edit1, "Undodrop1", "&Annulla Drop", QKeySequence(Qt::CTRL | Qt::Key_Z));
  Copy1 = AddItem(Edit1, "Copy1", "&Copia", QKeySequence(Qt::CTRL | Qt::Key_C));
  Paste1 = AddItem(Edit1, "Paste1", "&Incolla", QKeySequence(Qt::CTRL | Qt::Key_V));
  Edit1->addSeparator();
  Goto1 = AddItem(Edit1, "Goto1", "&Vai a...", QKeySequence(Qt::CTRL | Qt::Key_G));
  GotoAgain1 = AddItem(Edit1, "GotoAgain1", "Vai &Ancora", QKeySequence(Qt::Key_F3));
  connect(Goto1, &QAction::triggered, this, &TChildForm::Goto1Click);
  connect(GotoAgain1, &QAction::triggered, this, &TChildForm::GotoAgain1Click);
  Edit1->addSeparator();
  ImportBitmap1 = AddItem(Edit1, "ImportBitmap1", "&Importa Bitmap...");
  ExportBitmap1 = AddItem(Edit1, "ExportBitmap1", "&Esporta Bitmap...");
  Edit1->addSeparator();
  ClearArranger1 = AddItem(Edit1, "ClearArranger1", "Svuota Arranger");
  BuildProjectItems();
  BuildBlockItems();
  BuildHistoryItems();

  Window1 = new QMenu(QStringLiteral("&Vedi"), this);
  Window1->setObjectName(QStringLiteral("Window1"));
  Size1 = Window1->addMenu(QStringLiteral("&Zoom"));
  Size1->setObjectName(QStringLiteral("Size1"));
  ZoomGroup = new QActionGroup(this);
  static const char* const kZoomNames[] = {"N1x1", "N2x1", "N3x1", "N4x1"};
  for (int zoom = 1; zoom <= 4; ++zoom)
    ZoomItems[zoom - 1] =
        AddRadio(Size1, ZoomGroup, kZoomNames[zoom - 1], QStringLiteral("&%1x").arg(zoom), zoom);
  ZoomItems[1]->setChecked(true);
  connect(ZoomGroup, &QActionGroup::triggered, this, &TChildForm::N4x1Click);

  Format1 = Window1->addMenu(QStringLiteral("&Formato"));
  Format1->setObjectName(QStringLiteral("Format1"));
  FormatGroup = new QActionGroup(this);
  for (int format = 0; format < kFixedTileFormatCount; ++format) {
    // The formats after the ten stand apart, as the format key skips them.
    if (format == kTileFormatCount) Format1->addSeparator();
    FormatItems[format] = AddRadio(Format1, FormatGroup, kTileFormats[format].MenuItem,
                                   QString::fromUtf8(kTileFormats[format].Caption), format);
  }
  connect(FormatGroup, &QActionGroup::triggered, this, &TChildForm::Genesis1Click);
  // Described encodings go between these two separators (ListDescribedFormats).
  Format1->addSeparator();
  LoadCodecSeparator = Format1->addSeparator();
  LoadCodec1 = AddItem(Format1, "LoadCodec1", "Carica &codifica...");
  connect(LoadCodec1, &QAction::triggered, this, &TChildForm::LoadCodec1Click);
  // Encodings loaded in another window since this menu was built show up when it opens.
  connect(Format1, &QMenu::aboutToShow, this, &TChildForm::ListDescribedFormats);
  ListDescribedFormats();
  BuildArrangementMenu();

  Gridlines1 = AddItem(Window1, "Gridlines1", "&Griglia");
  Gridlines1->setCheckable(true);
  Gridlines1->setChecked(true);
  connect(Gridlines1, &QAction::triggered, this, [this] {
    // The item's own toggle is undone: the handler inverts the mark itself.
    Gridlines1->setChecked(!Gridlines1->isChecked());
    Gridlines1Click();
  });

  Palette1 = new QMenu(QStringLiteral("&Palette"), this);
  Palette1->setObjectName(QStringLiteral("Palette1"));
  Load1 = AddItem(Palette1, "Load1", "&Carica...");
  Save1 = AddItem(Palette1, "Save1", "&Salva");
  SaveAs1 = AddItem(Palette1, "SaveAs1", "Salva &Come...");
  Format2 = Palette1->addMenu(QStringLiteral("&Formato"));
  Format2->setObjectName(QStringLiteral("Format2"));
  PaletteFormatGroup = new QActionGroup(this);
  RGB1 = AddRadio(Format2, PaletteFormatGroup, "RGB1", QStringLiteral("&RGB"), 0);
  NES2 = AddRadio(Format2, PaletteFormatGroup, "NES2", QStringLiteral("&NES"), 1);
  GBC2 = AddRadio(Format2, PaletteFormatGroup, "GBC2", QStringLiteral("&GBC"), 2);
  GBA2 = AddRadio(Format2, PaletteFormatGroup, "GBA2", QStringLiteral("GB&A"), 2);
  SNES2 = AddRadio(Format2, PaletteFormatGroup, "SNES2", QStringLiteral("&SNES"), 2);
  connect(PaletteFormatGroup, &QActionGroup::triggered, this, &TChildForm::RGB1Click);
  Entries1 = Palette1->addMenu(QStringLiteral("&Numero colori"));
  Entries1->setObjectName(QStringLiteral("Entries1"));
  EntriesGroup = new QActionGroup(this);
  static const char* const kEntryNames[] = {"N161", "N321", "N641", "N1281", "N2561"};
  static const char* const kEntryCaptions[] = {"&16", "&32", "&64", "12&8", "&256"};
  for (int i = 0; i < 5; ++i)
    EntryItems[i] = AddRadio(Entries1, EntriesGroup, kEntryNames[i],
                             QString::fromUtf8(kEntryCaptions[i]), 16 << i);
  connect(EntriesGroup, &QActionGroup::triggered, this, &TChildForm::N161Click);
  Palette1->addSeparator();
  Transfertoclipboard1 = AddItem(Palette1, "Transfertoclipboard1", "&Trasferisci al Tile Arranger");
  connect(Transfertoclipboard1, &QAction::triggered, this, &TChildForm::Transfertoclipboard1Click);
  LoadFromRom1 = AddItem(Palette1, "LoadFromRom1", "Carica da R&OM...");
  connect(LoadFromRom1, &QAction::triggered, this, &TChildForm::LoadFromRom1Click);
  ConnectPaletteMenu();
  ConnectClipboardMenu();
  BuildToolsMenu();
}

int TChildForm::LoadRom(const std::string& path) {
  const LoadResult result = Doc.LoadRom(path);
  if (result != kLoadLoaded) return result;
  MirrorFormat();
  if (!LoadPalette(Doc.PalettePath)) {
    Doc.ApplyDefaultPalette();
    SetPaletteFormat(kPaletteRgb);
    EntryItems[4]->setChecked(true);
  }
  if (MainForm && MainForm->RomWindowCount() == 1 && ClipForm) ClipForm->TakePalette(Doc.Palette);
  return result;
}

void TChildForm::SetTileFormat(TileFormat format) {
  const int32_t before = Doc.ViewOffset;
  // The cell that was picked shows another tile's bytes now.
  PickMark.reset();
  Doc.SetTileFormat(format);
  MirrorFormat();
  OffsetPulled(before);
}

void TChildForm::MirrorFormat() {
  ListDescribedFormats();
  for (QAction* item : FormatGroup->actions())
    if (item->data().toInt() == Doc.Format) item->setChecked(true);
  SyncScrollBar();
  ShowOffset();
}

void TChildForm::OffsetPulled(int32_t before) {
  if (Doc.ViewOffset == before) return;
  Doc.HasSelection = false;
  PickMark.reset();
  ShowOffset();
}

void TChildForm::ShowFormatName() {
  const TileFormatRow* row = LookUpTileFormat(Doc.Format);
  if (MainForm && row) MainForm->StatusPanel(2)->setText(QString::fromUtf8(row->Name));
}

bool TChildForm::SaveRomReporting(const std::string& path) {
  const QString shown = PathForDisplay(path);
  SaveRomOptions options;
  if (Doc.ChangedOnDisk(path)) {
    if (CurrentPrompts().MessageBox(
            QStringLiteral("The file '%1' has changed on disk since it was opened. Overwrite it?")
                .arg(shown),
            QStringLiteral("Varnock Pro"), PromptButtons::YesNo,
            PromptIcon::Question) != PromptAnswer::Yes)
      return false;
    // What is there now may be overwritten; a further change before the write may not.
    options.AcceptedFile = IdentifyFile(path);
  }
  const SaveResult saved = Doc.SaveRom(path, options);
  if (saved.Ok) {
    RememberFileFolder(shown);
    if (MainForm)
      MainForm->statusBar()->showMessage(
          QStringLiteral("Saved %1.").arg(QFileInfo(shown).fileName()), kSavedMessageMs);
    return true;
  }
  ShowError(QStringLiteral("Error: Could not save the file '%1'.\n%2")
                .arg(shown, QString::fromStdString(saved.Reason)));
  return false;
}

void TChildForm::SyncScrollBar() {
  const QSignalBlocker blocker(ScrollBar);
  ScrollBar->setRange(Doc.ScrollMinimum, Doc.ScrollMaximum);
  ScrollBar->setValue(Doc.ViewOffset);
}

void TChildForm::MoveViewTo(int64_t offset) {
  Doc.ViewOffset = Doc.ClampOffset(offset);
  ScrollBar->setValue(Doc.ViewOffset);
}

void TChildForm::DecodeView() {
  Doc.DecodePage();
  ++DecodeCount;
}

void TChildForm::RedrawPage() {
  DecodeView();
  FormPaint();
  // The page is redrawn after every write into the image: the block editor follows too.
  if (TBlockForm* editor = BlockEditor(false)) editor->ImageChanged(this);
}

void TChildForm::ScrollBarChange(int position) {
  Doc.ViewOffset = Doc.ClampOffset(position);
  ShowOffset();
  Doc.HasSelection = false;
  PickMark.reset();
  RedrawPage();
}

void TChildForm::LayoutView() {
  ResizeAttached = false;
  const int32_t before = Doc.ViewOffset;
  // Whatever set the grid (a resize, the benchmark, a test), it shows whole blocks.
  Doc.SnapGridToBlocks();
  Doc.UpdateStrides();
  SyncScrollBar();
  OffsetPulled(before);
  Doc.CellWidth = Doc.Zoom * Doc.TileWidth;
  Doc.CellHeight = Doc.TileHeight * Doc.Zoom;
  ViewBitmap = QImage(Doc.CellWidth * Doc.Columns, Doc.Zoom * Doc.TileHeight * Doc.Rows,
                      QImage::Format_RGB32);
  // The page decode below fits the view surface to the grid (keeping its colours).
  if (Doc.Zoom >= 1 && Doc.Zoom <= 4) ZoomItems[Doc.Zoom - 1]->setChecked(true);
  SetClientSize(ViewBitmap.width() + kScrollBarWidth, ViewBitmap.height());
  DecodeView();
  FormPaint();
  ResizeAttached = true;
}

void TChildForm::SetClientSize(int width, int height) {
  // The frame around the client area is whatever the style draws: measure it and grow by it.
  for (int attempt = 0; attempt < 3 && ClientArea->size() != QSize(width, height); ++attempt)
    resize(size() - ClientArea->size() + QSize(width, height));
  ScrollBar->setGeometry(ClientArea->width() - kScrollBarWidth, 0, kScrollBarWidth,
                         ClientArea->height());
  View->setGeometry(0, 0, ViewBitmap.width(), ViewBitmap.height());
}

QSize TChildForm::ClientSize() const {
  return ClientArea->size();
}

void TChildForm::FormPaint() {
  if (ViewBitmap.isNull()) return;
  auto* pixels = reinterpret_cast<uint32_t*>(ViewBitmap.bits());
  const int stride = static_cast<int>(ViewBitmap.bytesPerLine() / 4);
  ComposeSurface(Doc.ViewSurface, Doc.Zoom, pixels, ViewBitmap.width(), ViewBitmap.height(), stride,
                 ComposeGrid{Gridlines1->isChecked(), kGridColor});
  DrawPickMark();
  if (Doc.HasSelection) DrawSelection();
  PaintRect = ViewBitmap.rect();
  View->update(PaintRect);
}

void TChildForm::ShowOffset() {
  if (MainForm) MainForm->StatusPanel(1)->setText(QString::fromStdString(Doc.OffsetText()));
}

void TChildForm::N4x1Click(QAction* item) {
  item->setChecked(true);
  Doc.Zoom = item->data().toInt();
  LayoutView();
}

void TChildForm::Gridlines1Click() {
  Gridlines1->setChecked(!Gridlines1->isChecked());
  FormPaint();
}

void TChildForm::FormResize() {
  if (Doc.CellWidth <= 0) return;
  Doc.Columns =
      std::clamp((ClientArea->width() - kScrollBarWidth) / Doc.CellWidth, kMinGrid, kMaxGrid);
  Doc.Rows = std::clamp(ClientArea->height() / Doc.CellWidth, kMinGrid, kMaxGrid);
  LayoutView();
}

void TChildForm::Edit1Click() {
  Undodrop1->setEnabled(MainForm && MainForm->UndoDropReady);
  Copy1->setEnabled(Doc.HasSelection);
  Paste1->setEnabled(MainForm && MainForm->ClipboardFull);
  ExportBitmap1->setEnabled(Doc.HasSelection);
  EditBlock1->setEnabled(BlockToEdit().has_value());
  for (QAction* item : {Goto1, GotoAgain1, ImportBitmap1, ClearArranger1}) item->setEnabled(true);
  MirrorHistoryItems();
}

void TChildForm::FormActivate() {
  if (!MainForm || !EditForm || !PalForm) return;
  // Tool windows have no close box, but a window manager may close one anyway: it comes back.
  MainForm->ShowToolWindows(true);
  MainForm->EmptyHint->hide();
  if (Doc.EditTile) {
    EditForm->BindTile(this, Doc.EditTileOffset, Doc.Format, Doc.TileBytes, Doc.BitsPerPixel);
    EditForm->ReloadBoundTile(this);
    // The whole table: an 8-bit tile uses every entry.
    EditForm->EditSurface.Colors = Doc.ViewSurface.Colors;
  } else {
    // The editor must never write into a tile it does not show: it lets go of its tile, and
    // its undo button now acts on this window's stack, as its enabling says.
    EditForm->BoundRom = this;
    EditForm->Unbind();
  }
  EditForm->FormPaint();
  EditForm->SpeedButton4->setEnabled(Doc.UndoCount != 0);
  MainForm->StatusPanel(0)->setText(QString::fromStdString(Doc.SizeText()));
  ShowOffset();
  ShowFormatName();
  // Written here whatever the frame counts as active yet: from now on the panel is this window's.
  MainForm->StatusPanel(3)->setText(QString::fromStdString(PickReadout(Doc)));
  MainForm->ActiveRom = this;
  if (MainForm->HistoryForm) MainForm->HistoryForm->ShowHistoryOf(this);
  PalForm->TargetSurface = &Doc.ViewSurface;
  PalForm->TargetPalette = &Doc.Palette;
  PalForm->LeftColor = Doc.LeftColor;
  PalForm->RightColor = Doc.RightColor;
  PalForm->BitsPerPixel = Doc.BitsPerPixel;
  PalForm->SubPalette = Doc.SubPalette;
  PalForm->PaletteSize = Doc.PaletteSize;
  PalForm->RefreshPalette();
  EditForm->TakeServedColors();
}

bool TChildForm::event(QEvent* event) {
  // A caption set from outside (the file's name, a stream's place) is the one the mark follows.
  if (event->type() == QEvent::WindowTitleChange && !MarkingCaption) {
    Caption = windowTitle();
    ShowModifiedMark();
  }
  return QMdiSubWindow::event(event);
}

void TChildForm::ShowModifiedMark() {
  const QString shown = Doc.Modified ? Caption + QLatin1Char('*') : Caption;
  if (windowTitle() == shown) return;
  MarkingCaption = true;
  setWindowTitle(shown);
  MarkingCaption = false;
}

QString TChildForm::RomFileName() const {
  // Names are bytes; what does not decode shows as replacement characters.
  return QFileInfo(PathForDisplay(Doc.RomPath)).fileName();
}

bool TChildForm::FormClose() {
  if (Closed) return true;
  // Stream windows write into this window's image: they close first, with their questions.
  if (!CloseStreamWindows()) {
    MainForm->CloseAllowed = false;
    return false;
  }
  if (Doc.Modified) {
    const PromptAnswer answer = CurrentPrompts().MessageBox(
        QStringLiteral("Save changes to %1?").arg(DocumentName()), QStringLiteral("Varnock Pro"),
        PromptButtons::YesNoCancel, PromptIcon::Question);
    if (answer == PromptAnswer::Cancel) {
      MainForm->CloseAllowed = false;
      return false;
    }
    // A save that failed keeps the window, as Cancel does: nothing unsaved is thrown away.
    if (answer == PromptAnswer::Yes && !SaveDocument()) {
      MainForm->CloseAllowed = false;
      return false;
    }
  }
  const bool last = MainForm->RomWindowCount() == 1;
  // A running scan or search ends here: nothing of it may reach a closed window.
  if (ScanForm) ScanForm->close();
  if (SearchForm) SearchForm->close();
  Closed = true;
  ViewBitmap = QImage();
  Doc.ViewSurface.Pixels.clear();
  Doc.ViewSurface.PixelCount = 0;
  Doc.EditTile = nullptr;
  MainForm->CloseAllowed = true;
  if (ClipForm) ClipForm->ForgetRom(this);
  if (TBlockForm* editor = BlockEditor(false)) editor->ForgetRom(this);
  ForgetDragState();
  if (EditForm && EditForm->BoundRom == this) {
    // Its undo stack goes with it: nothing is left to undo through the editor.
    EditForm->Unbind();
    EditForm->BoundRom = nullptr;
    EditForm->SpeedButton4->setEnabled(false);
  }
  if (MainForm->ActiveRom == this) MainForm->ActiveRom = nullptr;
  if (MainForm->HistoryForm && MainForm->HistoryForm->Rom == this)
    MainForm->HistoryForm->ShowHistoryOf(nullptr);
  if (last) MainForm->EnterEmptyState();
  // The image block goes last: nothing that could still read it refers to it any more.
  Doc.ReleaseImage();
  return true;
}

void TChildForm::closeEvent(QCloseEvent* event) {
  if (!FormClose()) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

}  // namespace varnock
