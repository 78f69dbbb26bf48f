#include "shell/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

#include "document/child_form.h"
#include "io/file_io.h"
#include "palette/pal_form.h"
#include "project/project_form.h"
#include "shell/about_form.h"
#include "shell/forms.h"
#include "shell/glyphs.h"
#include "shell/help_window.h"
#include "shell/prompts.h"
#include "shell/save_leftovers_note.h"
#include "shell/tile_drag.h"
#include "shell/window_places.h"
#include "tools/clip_form.h"
#include "tools/edit_form.h"

namespace varnock {
namespace {

const FileDialogInfo kOpenRomDialog{
    QStringLiteral("Apri una ROM"),
    // The names dumps carry today follow the older ones in each list.
    QStringLiteral("Tutti i tipi supportati|*.NES;*.SMC;*.GB;*.GBC;*.VB;*.SMS;*.SMD;*.NGP;*.GBA;"
                   "*.SFC;*.GEN;*.MD;*.GG;*.NGC|"
                   "NES (*.NES)|*.NES|SNES (*.SMC, *.SFC)|*.SMC;*.SFC|"
                   "Game Boy (*.GB, *.GBC)|*.GB;*.GBC|Virtual Boy (*.VB)|*.VB|"
                   "SMS (*.SMS, *.GG)|*.SMS;*.GG|"
                   "Genesis (*.SMD, *.BIN, *.GEN, *.MD)|*.SMD; *.BIN;*.GEN;*.MD)|"
                   "NGPC (*.NGP, *.NGC)|*.NGP;*.NGC|Game Boy Advance (*.GBA)|*.GBA|"
                   "Tutti i file (*.*)|*.*"),
    QString(), false, true};

const FileDialogInfo kOpenProjectDialog{
    QStringLiteral("Apri progetto"),
    QStringLiteral("Progetti Varnock (*.vrkproj)|*.vrkproj|Tutti i file (*.*)|*.*"), QString(),
    false, true};

const FileDialogInfo kSaveRomDialog{
    QStringLiteral("Salva una ROM"),
    QStringLiteral("NES (*.NES)|*.NES|SNES (*.SMC)|*.SMC|Game Boy (*.GB)|*.GB|Virtual Boy "
                   "(*.VB)|*.VB|SMS (*.SMS)|*.SMS|Genesis (*.SMD)|*.SMD|NGPC (*.NGP)|*.NGP|"
                   "Tutti i file (*.*)|*.*"),
    QString(), true, false};

QToolButton* MakeSpeedButton(QWidget* bar, const char* name, int left, int width,
                             const QString& hint, GlyphKind glyph) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromUtf8(name));
  button->setGeometry(left, 3, width, 24);
  button->setToolTip(hint);
  button->setIcon(Glyph(glyph));
  button->setIconSize(QSize(16, 16));
  button->setAutoRaise(true);
  return button;
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption,
                 const QKeySequence& shortcut = {}) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(QString::fromUtf8(name));
  if (!shortcut.isEmpty()) {
    item->setShortcut(shortcut);  // shown in the menu; the frame's shortcut runs it
    item->setShortcutContext(Qt::WidgetShortcut);
  }
  return item;
}

}  // namespace

TMainForm::TMainForm() {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Varnock Pro"));
  setGeometry(140, 78, 544, 375);
  setAcceptDrops(true);

  // PlaneTable is built at compile time; the frame only owns the two shared surfaces.
  SetUpTileSurface(DragSurface, 1, 1);
  HelpFile = QStringLiteral("qrc:/help/vnk.html");

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* bevel = new QFrame(central);
  bevel->setObjectName(QStringLiteral("Bevel1"));
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setFixedHeight(2);
  layout->addWidget(bevel);
  BuildToolBar(central);
  layout->addWidget(ToolBar);
  MdiArea = new QMdiArea(central);
  MdiArea->setBackground(palette().brush(QPalette::Dark));
  layout->addWidget(MdiArea, 1);
  BuildEmptyHint();
  setCentralWidget(central);
  connect(MdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::SubWindowActivated);

  BuildMenus();
  BuildStatusBar();
  ProjectForm = new TProjectForm(this);
  addDockWidget(Qt::RightDockWidgetArea, ProjectForm);
  ProjectForm->hide();
  BindMenuShortcuts(this);
  MergeMenus();
}

TMainForm::~TMainForm() {
  // ROM windows first, while the tool windows they detach from still exist.
  for (QMdiSubWindow* window : MdiArea->subWindowList()) delete window;
}

void TMainForm::BuildToolBar(QWidget* central) {
  ToolBar = new QWidget(central);
  ToolBar->setObjectName(QStringLiteral("ToolBar"));
  ToolBar->setFixedHeight(31);
  ToolBar->setAutoFillBackground(true);
  QPalette silver = ToolBar->palette();
  silver.setColor(QPalette::Window, QColor(192, 192, 192));
  ToolBar->setPalette(silver);
  OpenSpdBtn = MakeSpeedButton(ToolBar, "OpenSpdBtn", 7, 22, QStringLiteral("Apri una rom"),
                               GlyphKind::Open);
  SaveSpdBtn = MakeSpeedButton(ToolBar, "SaveSpdBtn", 29, 23, QStringLiteral("Salva cambiamenti"),
                               GlyphKind::Save);
  ZoomInSpdBtn = MakeSpeedButton(ToolBar, "ZoomInSpdBtn", 62, 23, QStringLiteral("Zoom in"),
                                 GlyphKind::ZoomIn);
  ZoomOutSpdBtn = MakeSpeedButton(ToolBar, "ZoomOutSpdBtn", 85, 22, QStringLiteral("Zoom out"),
                                  GlyphKind::ZoomOut);
  GridSpdBtn = MakeSpeedButton(ToolBar, "GridSpdBtn", 107, 23, QStringLiteral("Togli Griglia"),
                               GlyphKind::Grid);
  connect(OpenSpdBtn, &QToolButton::clicked, this, &TMainForm::Open1Click);
  connect(SaveSpdBtn, &QToolButton::clicked, this, &TMainForm::Save1Click);
  connect(ZoomInSpdBtn, &QToolButton::clicked, this, &TMainForm::ZoomInSpdBtnClick);
  connect(ZoomOutSpdBtn, &QToolButton::clicked, this, &TMainForm::ZoomOutSpdBtnClick);
  connect(GridSpdBtn, &QToolButton::clicked, this, &TMainForm::GridSpdBtnClick);
  SetButtonsEnabled(false);
}

void TMainForm::BuildEmptyHint() {
  EmptyHint = new QLabel(
      QStringLiteral("Per aprire una ROM scegli Apri... dal menu File, o trascina qui il file."),
      MdiArea->viewport());
  EmptyHint->setObjectName(QStringLiteral("EmptyHint"));
  EmptyHint->setAlignment(Qt::AlignCenter);
  EmptyHint->setAttribute(Qt::WA_TransparentForMouseEvents);
  QPalette light = EmptyHint->palette();
  light.setColor(QPalette::WindowText, palette().color(QPalette::Light));
  EmptyHint->setPalette(light);
  // The line stays centred in the client area, whatever its size.
  MdiArea->viewport()->installEventFilter(this);
  EmptyHint->setGeometry(MdiArea->viewport()->rect());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (EmptyHint && watched == MdiArea->viewport() && event->type() == QEvent::Resize)
    EmptyHint->setGeometry(MdiArea->viewport()->rect());
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::BuildMenus() {
  FileMenu = new QMenu(QStringLiteral("&File"), this);
  FileMenu->setObjectName(QStringLiteral("FileMenu"));
  connect(FileMenu, &QMenu::aboutToShow, this, &TMainForm::FileMenuClick);
  Open1 = AddItem(FileMenu, "Open1", "&Apri...", QKeySequence(Qt::CTRL | Qt::Key_O));
  // A ROM image is never made from nothing: "&Nuovo..." starts a project, of the ROM shown.
  New1 = AddItem(FileMenu, "New1", "&Nuovo...", QKeySequence(Qt::CTRL | Qt::Key_N));
  OpenProject1 = AddItem(FileMenu, "OpenProject1", "Apri &progetto...");
  Close1 = AddItem(FileMenu, "Close1", "&Chiudi", QKeySequence(Qt::CTRL | Qt::Key_W));
  Save1 = AddItem(FileMenu, "Save1", "&Salva", QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveAs1 = AddItem(FileMenu, "SaveAs1", "Salv&a Come...");
  Exit1 = AddItem(FileMenu, "Exit1", "E&sci", QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(Open1, &QAction::triggered, this, &TMainForm::Open1Click);
  connect(New1, &QAction::triggered, this, &TMainForm::New1Click);
  connect(OpenProject1, &QAction::triggered, this, &TMainForm::OpenProject1Click);
  connect(Close1, &QAction::triggered, this, &TMainForm::Close1Click);
  connect(Save1, &QAction::triggered, this, &TMainForm::Save1Click);
  connect(SaveAs1, &QAction::triggered, this, &TMainForm::SaveAs1Click);
  connect(Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);

  WindowMenu = new QMenu(QStringLiteral("&Finestra"), this);
  WindowMenu->setObjectName(QStringLiteral("WindowMenu"));
  Tile1 = AddItem(WindowMenu, "Tile1", "&Tile");
  Cascade1 = AddItem(WindowMenu, "Cascade1", "&Cascade");
  ArrangeIcons1 = AddItem(WindowMenu, "ArrangeIcons1", "&Arrangia Icone");
  MinimizeAll1 = AddItem(WindowMenu, "MinimizeAll1", "&Minimizza Tutte");
  CloseAll1 = AddItem(WindowMenu, "CloseAll1", "Ch&iudi Tutte");
  connect(Tile1, &QAction::triggered, this, &TMainForm::Tile1Click);
  connect(Cascade1, &QAction::triggered, this, &TMainForm::Cascade1Click);
  connect(ArrangeIcons1, &QAction::triggered, this, &TMainForm::ArrangeIcons1Click);
  connect(MinimizeAll1, &QAction::triggered, this, &TMainForm::MinimizeAll1Click);
  connect(CloseAll1, &QAction::triggered, this, &TMainForm::CloseAll1Click);
  // A tool window the window manager closed comes back from here too.
  WindowMenu->addSeparator();
  ShowTileEditor1 = AddItem(WindowMenu, "ShowTileEditor1", "Tile Editor");
  ShowTileArranger1 = AddItem(WindowMenu, "ShowTileArranger1", "Tile Arranger");
  ShowEditorPalette1 = AddItem(WindowMenu, "ShowEditorPalette1", "Editor Palette");
  connect(ShowTileEditor1, &QAction::triggered, this, [] { ShowToolWindow(EditForm); });
  connect(ShowTileArranger1, &QAction::triggered, this, [] { ShowToolWindow(ClipForm); });
  connect(ShowEditorPalette1, &QAction::triggered, this, [] { ShowToolWindow(PalForm); });
  connect(WindowMenu, &QMenu::aboutToShow, this, &TMainForm::ListWindows);
  WindowMenu->menuAction()->setVisible(false);

  HelpMenu = new QMenu(QStringLiteral("&Aiuto"), this);
  HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
  Contents1 = AddItem(HelpMenu, "Contents1", "&Contenuti", QKeySequence(Qt::Key_F1));
  About1 = AddItem(HelpMenu, "About1", "&Info su...");
  connect(Contents1, &QAction::triggered, this, &TMainForm::Contents1Click);
  connect(About1, &QAction::triggered, this, &TMainForm::About1Click);
}

void TMainForm::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar"));
  bar->setFixedHeight(18);
  bar->setSizeGripEnabled(false);
  QFont courier(QStringLiteral("Courier New"));
  courier.setStyleHint(QFont::Monospace);
  // The readout panel follows the three designed ones, as wide as its text needs.
  static const int kWidths[] = {60, 180, 50, 50};
  for (int i = 0; i < 4; ++i) {
    Panels[i] = new QLabel(bar);
    Panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
    Panels[i]->setFont(courier);
    Panels[i]->setFrameShape(QFrame::Panel);
    Panels[i]->setFrameShadow(QFrame::Sunken);
    Panels[i]->setMinimumWidth(kWidths[i]);
    if (i < 2) Panels[i]->setFixedWidth(kWidths[i]);
    bar->addWidget(Panels[i], i == 3 ? 1 : 0);  // the last panel reaches the right end
  }
}

void TMainForm::BindMenuShortcuts(QWidget* window, const std::function<void()>& ownUndo) {
  const auto bind = [this, window](const QKeySequence& keys, const std::function<void()>& run) {
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, run);
  };
  const auto file = [this] { FileMenuClick(); };
  bind(QKeySequence(Qt::CTRL | Qt::Key_O), [=, this] { RunThroughMenu(file, Open1); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_N), [=, this] { RunThroughMenu(file, New1); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_S), [=, this] { RunThroughMenu(file, Save1); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_W), [=, this] { RunThroughMenu(file, Close1); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_Q), [=, this] { RunThroughMenu(file, Exit1); });
  bind(QKeySequence(Qt::Key_F1), [this] { RunThroughMenu({}, Contents1); });
  if (ownUndo)
    bind(QKeySequence(Qt::CTRL | Qt::Key_Z), ownUndo);
  else
    bind(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { RunUndoKey(); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { RunEditItem("RedoHistory1"); });
  bind(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { RunEditItem("RedoHistory1"); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_C), [this] { RunEditItem("Copy1"); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_V), [this] { RunEditItem("Paste1"); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_G), [this] { RunEditItem("Goto1"); });
  bind(QKeySequence(Qt::Key_F3), [this] { RunEditItem("GotoAgain1"); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
    if (TChildForm* child = ActiveChild()) RunThroughMenu({}, child->FindTiles1);
  });
  bind(QKeySequence(Qt::CTRL | Qt::Key_D), [this] { RunEditItem("AddToProject1"); });
  bind(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { RunEditItem("EditBlock1"); });
}

void TMainForm::RunThroughMenu(const std::function<void()>& opener, QAction* item) {
  if (opener) opener();
  if (item && item->isEnabled()) item->trigger();
}

void TMainForm::RunEditItem(const char* name) {
  TChildForm* child = ActiveChild();
  if (!child) return;
  RunThroughMenu([child] { child->Edit1Click(); },
                 child->Edit1->findChild<QAction*>(QString::fromUtf8(name)));
}

void TMainForm::RunUndoKey() {
  TChildForm* child = ActiveChild();
  if (!child) return;
  child->Edit1Click();
  if (child->Undodrop1->isEnabled())
    child->Undodrop1->trigger();
  else if (child->UndoHistory1->isEnabled())
    child->UndoHistory1->trigger();
}

void TMainForm::MergeMenus() {
  QMenuBar* bar = menuBar();
  bar->clear();
  bar->addAction(FileMenu->menuAction());
  if (TChildForm* child = ActiveChild()) {
    bar->addAction(child->Edit1->menuAction());
    bar->addAction(child->Window1->menuAction());
    bar->addAction(child->Palette1->menuAction());
    bar->addAction(child->Tools1->menuAction());
  }
  bar->addAction(WindowMenu->menuAction());
  bar->addAction(HelpMenu->menuAction());
}

TChildForm* TMainForm::ActiveChild() const {
  auto* child = qobject_cast<TChildForm*>(MdiArea->currentSubWindow());
  return child && !child->Closed ? child : nullptr;
}

QList<TChildForm*> TMainForm::RomWindows() const {
  QList<TChildForm*> windows;
  for (QMdiSubWindow* window : MdiArea->subWindowList())
    if (auto* child = qobject_cast<TChildForm*>(window); child && !child->Closed) windows << child;
  return windows;
}

void TMainForm::SubWindowActivated(QMdiSubWindow* window) {
  MergeMenus();
  auto* child = qobject_cast<TChildForm*>(window);
  if (child && child->ActivateAttached && !child->Closed) child->FormActivate();
}

void TMainForm::SetButtonsEnabled(bool enabled) {
  SaveSpdBtn->setEnabled(enabled);
  ZoomInSpdBtn->setEnabled(enabled);
  ZoomOutSpdBtn->setEnabled(enabled);
  GridSpdBtn->setEnabled(enabled);
}

void TMainForm::ShowToolWindows(bool shown) {
  // Each tool is the client of its own frame, which is the window on the screen.
  for (QWidget* tool : {static_cast<QWidget*>(PalForm), static_cast<QWidget*>(ClipForm),
                        static_cast<QWidget*>(EditForm)})
    if (tool) tool->window()->setVisible(shown);
}

void TMainForm::ShowToolWindow(QWidget* tool) {
  if (!tool) return;
  tool->window()->show();
  tool->window()->raise();
}

void TMainForm::changeEvent(QEvent* event) {
  // Coming back to the frame is coming back to its active ROM window: the tool windows serve
  // it, so one the window manager closed meanwhile shows again, as at any other activation.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && ActiveChild())
    ShowToolWindows(true);
  QMainWindow::changeEvent(event);
}

void TMainForm::EnterEmptyState() {
  SetButtonsEnabled(false);
  WindowMenu->menuAction()->setVisible(false);
  ShowToolWindows(false);
  for (QLabel* panel : Panels) panel->clear();
  ActiveRom = nullptr;
  EmptyHint->show();
}

void TMainForm::Open1Click() {
  if (const auto path = CurrentPrompts().OpenFileName(kOpenRomDialog, QString())) OpenRom(*path);
}

void TMainForm::OpenRom(const QString& path) {
  OpenRomFile(QFile::encodeName(path));
}

void TMainForm::New1Click() {
  ProjectForm->NewProject(ActiveChild());
}

void TMainForm::OpenProject1Click() {
  if (const auto path = CurrentPrompts().OpenFileName(kOpenProjectDialog, QString()))
    ProjectForm->OpenProject(PathBytes(*path));
}

bool TMainForm::OpenRomFile(const QByteArray& bytes, bool endWhenAlone) {
  const QString path = QFile::decodeName(bytes);
  statusBar()->showMessage(QStringLiteral("Loading ROM..."));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  WindowMenu->menuAction()->setVisible(true);
  ShowToolWindows(true);
  MdiArea->setUpdatesEnabled(false);

  auto* child = new TChildForm();
  MdiArea->addSubWindow(child);
  child->show();
  const int result = child->LoadRom(bytes.toStdString());
  if (result == kLoadLoaded) {
    ShowLoadedRom(child, child->RomFileName());
    PlaceInFreePart(child);
  } else {
    QString message;
    if (result == kLoadCannotOpen)
      message = QStringLiteral("Error: Could not open the file '%1'.\n%2")
                    .arg(path, QString::fromStdString(child->Doc.LoadFailure));
    else if (result == kLoadTooLarge)
      message = QStringLiteral(
                    "Error: The file '%1' is 2 GB or larger; files that big can't be "
                    "opened.")
                    .arg(path);
    else
      message = QStringLiteral("Fatal error: Could not allocate memory for file.");
    ShowError(message);
    const bool onlyWindow = RomWindowCount() == 1;
    delete child;
    MergeMenus();
    if (onlyWindow) EnterEmptyState();
    if (onlyWindow && endWhenAlone) {
      TerminateRequested = true;
      // Before the event loop runs (files from the command line) the caller ends instead.
      if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
    }
  }
  MdiArea->setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
  statusBar()->clearMessage();
  if (result == kLoadLoaded) {
    RememberFileFolder(path);
    TellSaveLeftovers(bytes.toStdString());
  }
  return result == kLoadLoaded;
}

void TMainForm::ShowLoadedRom(TChildForm* child, const QString& caption) {
  child->LayoutView();
  child->setWindowTitle(caption);
  MdiArea->setUpdatesEnabled(true);
  child->ActivateAttached = true;
  MergeMenus();
  child->FormActivate();
  SetButtonsEnabled(true);
}

void TMainForm::Save1Click() {
  if (TChildForm* child = ActiveChild()) child->SaveDocument();
}

void TMainForm::SaveAs1Click() {
  TChildForm* child = ActiveChild();
  if (!child) return;
  // A stream window's own file is only a copy of its graphics; Save still writes the source.
  if (child->IsStreamWindow()) {
    child->SaveStreamAs();
    return;
  }
  const std::string& current = child->Doc.RomPath;
  const auto chosen = CurrentPrompts().SaveFileName(kSaveRomDialog, PathForDisplay(current));
  if (!chosen) return;
  std::string path = PathBytes(*chosen);
  if (UpperExtension(path).empty()) {
    // The extension as the current name spells it.
    path += current.substr(current.size() - UpperExtension(current).size());
  }
  // The window takes the new name only once the file is really there.
  if (!child->SaveRomReporting(path)) return;
  child->Doc.RomPath = path;
  child->setWindowTitle(child->RomFileName());
}

void TMainForm::Close1Click() {
  if (TChildForm* child = ActiveChild()) child->close();
}

void TMainForm::Exit1Click() {
  close();
}

void TMainForm::FileMenuClick() {
  TChildForm* child = ActiveChild();
  Save1->setEnabled(child && child->Doc.Modified);
  Close1->setEnabled(child != nullptr);
  SaveAs1->setEnabled(child != nullptr);
}

void TMainForm::ZoomInSpdBtnClick() {
  TChildForm* child = ActiveChild();
  if (!child || child->Doc.Zoom >= 4) return;
  ++child->Doc.Zoom;
  child->LayoutView();
}

void TMainForm::ZoomOutSpdBtnClick() {
  TChildForm* child = ActiveChild();
  if (!child || child->Doc.Zoom <= 1) return;
  --child->Doc.Zoom;
  child->LayoutView();
}

void TMainForm::SetDragSource(TChildForm* rom, int32_t offset, TileFormat format, int32_t tileBytes,
                              int32_t bitsPerPixel) {
  DragSourceRom = rom;
  DragSourceTile = rom->Doc.RomData + offset;
  DragSourceOffset = offset;
  DragSurface.DecodeFormat = format;
  DragSurface.DecodeTileBytes = tileBytes;
  DragSurface.DecodeBits = bitsPerPixel;
}

void TMainForm::GridSpdBtnClick() {
  if (TChildForm* child = ActiveChild()) child->Gridlines1Click();
}

void TMainForm::Tile1Click() {
  // Horizontal tiling: the windows stacked one above another, each the client area's full
  // width; minimised ones keep their place.
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* window : MdiArea->subWindowList())
    if (window->isVisible() && !window->isMinimized()) windows << window;
  if (windows.isEmpty()) return;
  const QRect area = MdiArea->viewport()->rect();
  const int count = static_cast<int>(windows.size());
  for (int i = 0; i < count; ++i) {
    if (windows[i]->isMaximized()) windows[i]->showNormal();
    const int top = area.height() * i / count;
    const int bottom = area.height() * (i + 1) / count;
    windows[i]->setGeometry(0, top, area.width(), bottom - top);
  }
}

void TMainForm::Cascade1Click() {
  MdiArea->cascadeSubWindows();
}

void TMainForm::ArrangeIcons1Click() {
  // Minimised windows line up along the bottom edge of the client area.
  int left = 0;
  for (QMdiSubWindow* window : MdiArea->subWindowList()) {
    if (!window->isMinimized()) continue;
    window->move(left, MdiArea->viewport()->height() - window->height());
    left += window->width();
  }
}

void TMainForm::MinimizeAll1Click() {
  for (TChildForm* child : RomWindows()) child->showMinimized();
}

bool TMainForm::CloseAllRoms() {
  // The list is taken first: windows that agree free themselves only afterwards.
  QList<QPointer<TChildForm>> windows;
  for (TChildForm* child : RomWindows()) windows << child;
  for (const QPointer<TChildForm>& child : windows) {
    // A stream window closes with its source, which may come before it in the list.
    if (!child || child->Closed) continue;
    CloseAllowed = true;
    if (!child->close() || !CloseAllowed) return false;
  }
  return true;
}

void TMainForm::CloseAll1Click() {
  if (CloseAllRoms()) EnterEmptyState();
}

void TMainForm::Contents1Click() {
  if (!Help) Help = new HelpWindow(this);
  Help->ShowTopic(HelpFile, QStringLiteral("contents"));
}

void TMainForm::About1Click() {
  if (!AboutForm) return;
  AboutForm->move(AboutForm->screen()->geometry().center() - AboutForm->rect().center());
  AboutForm->exec();
}

void TMainForm::ListWindows() {
  // The window list follows the fixed items, as a frame's Window menu does.
  for (QAction* item : WindowMenu->actions())
    if (item->property("windowItem").toBool()) WindowMenu->removeAction(item), item->deleteLater();
  const QList<TChildForm*> windows = RomWindows();
  if (windows.isEmpty()) return;
  QAction* separator = WindowMenu->addSeparator();
  separator->setProperty("windowItem", true);
  int number = 1;
  for (TChildForm* child : windows) {
    QAction* item =
        WindowMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(child->windowTitle()));
    item->setProperty("windowItem", true);
    item->setCheckable(true);
    item->setChecked(child == ActiveChild());
    QPointer<TChildForm> target = child;
    connect(item, &QAction::triggered, this, [this, target] {
      if (target) MdiArea->setActiveSubWindow(target);
    });
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!CloseAllRoms()) {
    event->ignore();
    return;
  }
  ShowToolWindows(false);
  if (Help) Help->close();
  event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (IsFileDrop(event->mimeData())) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  if (!IsFileDrop(event->mimeData())) return;
  event->acceptProposedAction();
  OpenDroppedFiles(event->mimeData());
}

}  // namespace varnock
