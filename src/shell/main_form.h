// The frame window: menus, toolbar, status bar and the ROM windows inside it.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QToolButton>
#include <array>
#include <functional>

#include "codec/tile_surface.h"

namespace varnock {

class TChildForm;
class TProjectForm;
class HelpWindow;
class THistoryForm;

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  TMainForm();
  ~TMainForm() override;

  // Commands.
  void Open1Click();
  void OpenRom(const QString& path);
  // The same for a name given as bytes, as the command line gives it. True when it opened.
  // A failed open that leaves no window ends the program only when `endWhenAlone` is set.
  bool OpenRomFile(const QByteArray& path, bool endWhenAlone = true);
  // "&Nuovo...": a project for the active ROM window's file; "Apri progetto...": a project file.
  void New1Click();
  void OpenProject1Click();
  // The steps after a ROM window (or a stream window) has its document: layout, `caption`,
  // the activation handler run once, the toolbar enabled.
  void ShowLoadedRom(TChildForm* child, const QString& caption);
  void Save1Click();
  void SaveAs1Click();
  void Close1Click();
  void Exit1Click();
  void FileMenuClick();
  void ZoomInSpdBtnClick();
  void ZoomOutSpdBtnClick();
  void GridSpdBtnClick();
  void Tile1Click();
  void Cascade1Click();
  void ArrangeIcons1Click();
  void MinimizeAll1Click();
  bool CloseAllRoms();
  void CloseAll1Click();
  void Contents1Click();
  void About1Click();

  // The active ROM window, or null.
  TChildForm* ActiveChild() const;
  // ROM windows that are open (a window whose close was agreed no longer counts).
  QList<TChildForm*> RomWindows() const;
  int RomWindowCount() const { return static_cast<int>(RomWindows().size()); }
  // Buttons off, Window menu and tool windows hidden, panels empty, nothing served.
  void EnterEmptyState();
  // Shows (palette editor, tile arranger, tile editor) or hides the three tool windows.
  void ShowToolWindows(bool shown);
  // Shows `tool`'s window (a Window menu item) in front.
  static void ShowToolWindow(QWidget* tool);
  QLabel* StatusPanel(int index) const { return Panels[index]; }
  // Rebuilds the menu bar: File, the active ROM window's menus, Finestra, Aiuto.
  void MergeMenus();
  // Runs `opener` (a menu's opening handler) and then `item` only if that left it enabled,
  // so a shortcut acts exactly like a click through the menu.
  static void RunThroughMenu(const std::function<void()>& opener, QAction* item);
  // Gives `window` the shortcuts of the frame's menus and of the active ROM window's Edit
  // menu, each run through its menu. A tool window with an undo of its own passes it as
  // `ownUndo`: Ctrl+Z there is that undo.
  void BindMenuShortcuts(QWidget* window, const std::function<void()>& ownUndo = {});

  // Ctrl+Z: "&Annulla Drop" while a drop is ready, else the undo of the active window's history,
  // each through the Edit menu.
  void RunUndoKey();

  // Makes the tile at `offset` of `rom`'s image, encoded as given, the tile a drag carries and
  // the arranger stamps.
  void SetDragSource(TChildForm* rom, int32_t offset, TileFormat format, int32_t tileBytes,
                     int32_t bitsPerPixel);

  // --- fields ---
  QPointer<QWidget> ActiveRom;  // the ROM window or the arranger the tool windows serve
  QPointer<TChildForm> DragSourceRom;
  const uint8_t* DragSourceTile = nullptr;
  int32_t DragSourceOffset = 0;
  const uint8_t* UndoDropTarget = nullptr;
  std::array<uint8_t, kMaxTileBytes> UndoDropBytes{};  // as many as a drop can overwrite
  bool UndoDropReady = false;
  // The window dropped on, the tile's offset there and how many of UndoDropBytes lay inside
  // its image: the undo writes through that window, and only while it is open.
  QPointer<TChildForm> UndoDropRom;
  int32_t UndoDropOffset = 0;
  int32_t UndoDropLength = 0;
  TileSurface ClipSurface;
  TileSurface DragSurface;
  bool CloseAllowed = true;
  bool ClipboardFull = false;
  QString HelpFile;
  // Set when a failed open left no window and the program should end.
  bool TerminateRequested = false;

  // --- designed components ---
  QWidget* ToolBar = nullptr;
  QToolButton* OpenSpdBtn = nullptr;
  QToolButton* SaveSpdBtn = nullptr;
  QToolButton* ZoomInSpdBtn = nullptr;
  QToolButton* ZoomOutSpdBtn = nullptr;
  QToolButton* GridSpdBtn = nullptr;
  QMdiArea* MdiArea = nullptr;
  // The three designed panels, then the readout of the tile under the pointer.
  std::array<QLabel*, 4> Panels{};
  QMenu* FileMenu = nullptr;
  QAction* Open1 = nullptr;
  QAction* New1 = nullptr;
  QAction* OpenProject1 = nullptr;
  QAction* Close1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* SaveAs1 = nullptr;
  QAction* Exit1 = nullptr;
  QMenu* WindowMenu = nullptr;
  QAction* Tile1 = nullptr;
  QAction* Cascade1 = nullptr;
  QAction* ArrangeIcons1 = nullptr;
  QAction* MinimizeAll1 = nullptr;
  QAction* CloseAll1 = nullptr;
  QAction* ShowTileEditor1 = nullptr;
  QAction* ShowTileArranger1 = nullptr;
  QAction* ShowEditorPalette1 = nullptr;
  QMenu* HelpMenu = nullptr;
  QAction* Contents1 = nullptr;
  QAction* About1 = nullptr;
  // The open project's resources, docked at the frame's right; hidden until a project opens.
  TProjectForm* ProjectForm = nullptr;
  // "&Cronologia...": made when first asked for; it lists the active ROM window's steps.
  QPointer<THistoryForm> HistoryForm;
  // The one line the empty client area shows: how to open a ROM.
  QLabel* EmptyHint = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildToolBar(QWidget* central);
  void BuildMenus();
  void BuildStatusBar();
  void BuildEmptyHint();
  void SubWindowActivated(QMdiSubWindow* window);
  void ListWindows();
  void SetButtonsEnabled(bool enabled);
  // Runs the active window's Edit menu opener, then `name`'s item if enabled.
  void RunEditItem(const char* name);

  HelpWindow* Help = nullptr;
};

}  // namespace varnock
