// A ROM window: one opened file shown as a grid of tiles, with its own menus.
#pragma once

#include <QActionGroup>
#include <QImage>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/block_transfer.h"
#include "document/rom_document.h"
#include "document/stream_move.h"
#include "document/view_mouse.h"
#include "palette/palette_file.h"
#include "palette/rom_palette.h"
#include "project/project_file.h"

namespace varnock {

class TChildForm;
class PasteImageWidget;
class TStreamScanForm;
class TStreamMoveForm;
class TTileSearchForm;

// The client area's picture: copies the back buffer to the screen and passes keys and mouse
// to the window.
class TileViewWidget : public QWidget {
  Q_OBJECT
 public:
  explicit TileViewWidget(TChildForm* owner);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  TChildForm* owner_;
};

// Holds the view and the scroll bar and reports its own resizes. The wheel, over the view or
// the scroll bar, lands here too.
class ChildClientArea : public QWidget {
  Q_OBJECT
 public:
  explicit ChildClientArea(TChildForm* owner);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TChildForm* owner_;
};

class TChildForm : public QMdiSubWindow {
  Q_OBJECT
 public:
  explicit TChildForm(QWidget* parent = nullptr);
  ~TChildForm() override;

  // Reads the file (its name as bytes) and sets up format, palette and zoom; the LoadResult
  // values.
  int LoadRom(const std::string& path);
  // Format, strides and scroll range, mirrored in the scroll bar, the menu and panel 1.
  void SetTileFormat(TileFormat format);
  // Saves to `path` (bytes); on failure tells the user and leaves Modified set. A file that
  // changed on disk since it was opened is overwritten only when the user agrees. True when
  // saved.
  bool SaveRomReporting(const std::string& path);

  void LayoutView();
  // Composes the back buffer (zoomed tiles, grid, selection) and shows it.
  void FormPaint();
  void ShowOffset();
  void FormActivate();
  // The close question and the detaching; false when the window must stay open.
  bool FormClose();
  void FormResize();
  void FormKeyDown(int key, Qt::KeyboardModifiers shift);
  // The wheel turned by `delta` eighths of a degree: rows as the desktop says per notch, or
  // with Ctrl the zoom, one step per notch.
  void FormMouseWheel(int delta, Qt::KeyboardModifiers modifiers);

  void N4x1Click(QAction* item);
  void Gridlines1Click();
  void Genesis1Click(QAction* item);
  // Shows the page in `format` (any Tag with a table row), as its Format menu item does; the
  // palette editor follows the new depth.
  void ChooseTileFormat(TileFormat format);
  // "Carica &codifica...": a description file chosen in the open dialog, loaded as LoadCodec
  // does.
  void LoadCodec1Click();
  // Reads and registers the description at `path` (bytes); a refused file is reported with its
  // line and reason. Every window lists it, windows showing an encoding it replaced decode
  // again, and this one shows its pages in it. True when registered.
  bool LoadCodec(const std::string& path);
  // Brings the Format menu's items of described encodings up to the registry: new ones are
  // added in the order they were registered, reloaded ones take their new names.
  void ListDescribedFormats();
  // The "&Disposizione" items: the three fixed arrangements choose at once, the two kinds of
  // blocks ask for their size first.
  void Arrangement1Click(QAction* item);
  // Orders the page's tiles by `arrangement`, snaps the grid to its blocks and lays the view
  // out again; the selection goes, since its cells now show other tiles.
  void ChooseArrangement(const TileArrangement& arrangement);
  // Puts the radio mark on the item of the current arrangement.
  void MirrorArrangement();
  void Edit1Click();
  void ScrollBarChange(int position);
  void ScrollBarScroll(int action);
  // The format key: the next of the ten formats, sub-palette 0.
  void NextTileFormat();
  void Goto1Click();
  void GotoAgain1Click();
  // Mouse work on the grid, in client pixels: the right button selects a block of tiles, any
  // other picks the tile under the pointer for the tile editor and as the drag source.
  void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void FormMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
  void FormMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  // Makes the tile at grid cell (column, row) the editor's tile and the current tile; a tile
  // that starts past the image's end is not picked. True when a tile was picked; the caller
  // then arms the drag of it.
  bool PickTile(int column, int row);
  // Inverts the selection's block of the back buffer; a second call takes it off again.
  void DrawSelection();
  // Copies `block` of the back buffer to the screen (and remembers it in PaintRect).
  void ShowViewBlock(const PixelRect& block);
  // Outlines the picked tile's cell in the back buffer (a frame, not the selection's inversion).
  void DrawPickMark();
  // The status bar's readout panel: `text`, or the picked tile of this window.
  void ShowReadout(const std::string& text);
  void ShowPickReadout();
  // Drops a pending paste without placing it.
  void CancelPaste();

  // Blocks of tiles: the clipboard, the paste panel and bitmap files.
  void ConnectClipboardMenu();
  void Copy1Click();
  void Paste1Click();
  void ImportBitmap1Click();
  void ExportBitmap1Click();
  // Shows the clipboard in a new paste panel at the view's first cell; the panel keeps its
  // own copy of the block, which is what a later commit writes.
  void BeginPaste();
  // Writes the pending block at the panel's cell of the page shown, then refreshes the page.
  void CommitPaste();
  void PasteImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void PasteImageMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void PasteImageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  // The work of Export and Import after their dialogs. Failures are reported to the user;
  // false then.
  bool ExportBitmap(const QString& path);
  bool ImportBitmap(const QString& path);

  // Palette operations of the window; paths are bytes, the QString forms are for names the
  // dialogs chose.
  bool LoadPalette(const std::string& path);
  bool LoadPalette(const QString& path);
  // Writes the palette file; a failure is reported naming the file. True when written.
  bool SavePalette(const std::string& path);
  bool SavePalette(const QString& path);
  // The same, writing the file as `kind` rather than the kind its name gives.
  bool SavePalette(const std::string& path, PaletteFileKind kind);
  void Load1Click();
  void Save1Click();
  void SaveAs1Click();
  void ConnectPaletteMenu();
  void SetPaletteFormat(PaletteFormat format);
  void N161Click(QAction* item);
  void RGB1Click(QAction* item);
  void Transfertoclipboard1Click();
  // "Carica da R&OM...": the dialog, which calls LoadPaletteFromRom when the user chooses.
  void LoadFromRom1Click();
  // Reads `count` entries in `format` from the image at `offset`, as a palette file would give
  // them; where the image ends first, the whole entries before its end. The palette stays to
  // be saved beside the ROM and counts as modified. False, after telling the user, when not
  // one entry is there.
  bool LoadPaletteFromRom(int32_t offset, RomPaletteFormat format, int32_t count);

  // Tile drops: the view takes the program's own tile drags and hands files to the frame.
  void AttachDrops();
  // Whether a drag over the view may drop: one of the program's tiles, or files to open.
  static bool FormDragOver(const QMimeData* data);
  // Drops the data at client point (x, y) of the view.
  void FormDragDrop(const QMimeData* data, int x, int y);
  // Writes the current tile, re-encoded in this window's format, over the tile at (x, y).
  void DropOnRom(int x, int y);
  void Undodrop1Click();
  void ClearArranger1Click();
  // A closing window: the current tile and the drop undo no longer refer to it.
  void ForgetDragState();

  // "Cerca &tile...": the tile search dialog of this window.
  void FindTiles1Click();
  // Shows the tile at `offset` in `format` (any Tag with a table row): the format, then the
  // page that puts the tile in a cell, through the scroll bar's redraw, and the tile picked.
  void ShowTileAt(TileFormat format, int64_t offset);

  // Compressed streams: the "&Strumenti" menu, stream windows and their saves.
  void BuildToolsMenu();
  void OpenStream1Click();
  void FindStreams1Click();
  // Shows a dialog of this window in front; one just `made` starts below the window.
  void PresentDialog(QDialog* dialog, bool made);
  // Decompresses the stream of `format` at `offset` of this window's image and opens it in a
  // window of its own, beside this one, with this window's format and palette. A stream that
  // does not decode is reported and nothing opens. A stream already open in a window of this
  // one is not opened again: that window becomes active. The stream's window, or null.
  // With `failure`, the reason a stream does not decode goes there instead of a message box.
  // With `room`, the stream gets the room and fill byte chosen (a room it cannot have is a
  // failure too).
  TChildForm* OpenStreamWindow(int64_t offset, CompressionFormat format, QString* failure = nullptr,
                               const StreamRoomChoice& room = {});
  // The open stream window of this window's stream of `format` at `offset`, or null.
  TChildForm* StreamWindowOf(int64_t offset, CompressionFormat format) const;
  bool IsStreamWindow() const { return Doc.Stream.has_value(); }
  // What Save does: a ROM window writes its file, a stream window its source's image. True
  // when saved or when there was nothing to save.
  bool SaveDocument();
  // Compresses the image and writes it into the source window at the stream's place; refuses
  // (telling why) when the source is gone, when the stream no longer fits its place, or when
  // the user does not want bytes another edit changed there overwritten.
  bool SaveStream();
  // Save As of a stream window: the decompressed bytes into a file the user picks. Neither
  // where Save writes nor Modified changes.
  bool SaveStreamAs();
  // After a stream window wrote `length` bytes at `offset`: the page, the tile editor's tile and
  // the arranger's cells show them.
  void StreamWrittenAt(int64_t offset, int64_t length);
  // Closes the stream windows opened from this one, each with its question; false when one
  // stays open.
  bool CloseStreamWindows();
  // The name the close question gives: the file's, or a stream window's caption.
  QString DocumentName() const;
  // A stream window's room (child_form_stream_room.cpp): "Spazio dello stream..." changes the
  // room and fill byte; the caption shows the place and the room.
  void StreamRoom1Click();
  // Gives this stream window's stream `choice`'s room and fill byte; why not, or empty.
  QString SetStreamRoom(const StreamRoomChoice& choice);
  void ShowStreamCaption();
  // "Sposta...": the dialog that moves the stream, whose graphics compress to `compressed`.
  void OfferStreamMove(std::vector<uint8_t> compressed);
  // Carries out `plan` in the source (one step of its history), the words of `repointed`
  // following the stream, and says where it now is. False when the source is gone.
  bool MoveStreamTo(const StreamMovePlan& plan, std::span<const int64_t> repointed);
  // The source's image a move plans in (empty when the source is gone), and whether it is a
  // GBA image, whose pointer words may follow the stream.
  struct StreamPlace {
    std::span<const uint8_t> Image;
    bool Gba = false;
  };
  StreamPlace StreamMovePlace() const;

  // Projects: "Aggiungi al progetto" (Ctrl+D) in the Edit menu adds what the window shows (the
  // view's page, the rows of the selection, or a stream window's whole stream), starting a
  // project first when none is open.
  void BuildProjectItems();
  void AddToProject1Click();
  ProjectResource ResourceOfView(const std::string& projectPath) const;
  // Shows `resource` of the project at `projectPath`, whose ROM is `rom`: its format,
  // arrangement, palette and sub-palette, and the view at its offset (a stream window's first).
  void ShowProjectResource(const ProjectResource& resource, const std::string& projectPath,
                           const RomDocument& rom);
  // Before a palette is replaced: edits not yet saved are saved when the user wants. False
  // when they could not be, so the palette must stay.
  bool KeepPaletteEdits();

  // The block editor: "Modifica &blocco" (Ctrl+E) in the Edit menu and a double click on the
  // view open it over the selection (a double click inside it), or over the arrangement's
  // block around the picked tile when nothing is selected.
  void BuildBlockItems();
  void EditBlock1Click();
  void FormDoubleClick(Qt::MouseButton button, int x, int y);
  // The cells the block editor opens over, or nothing (no selection and no picked tile).
  std::optional<TileRect> BlockToEdit() const;
  // The image's history: "Annulla &modifica" and "&Ripeti" (Ctrl+Y, Ctrl+Shift+Z) name the step
  // they take, "&Cronologia..." lists the steps in the history window.
  void BuildHistoryItems();
  // Enabling and captions of the history items, from the history as it stands.
  void MirrorHistoryItems();
  void UndoHistory1Click();
  void RedoHistory1Click();
  void History1Click();
  // Moves the image to the state after the first `position` steps of its history, undoing or
  // redoing all between as one move. True when the image moved.
  bool GoToHistoryStep(size_t position);
  // After an undo, a redo or a move wrote `ranges`: the page, the tile editor's tile, the
  // arranger's cells and the stream windows opened from this one follow the bytes.
  void HistoryRestored(std::span<const ByteRange> ranges);
  // The history window lists this window's steps again when it shows them.
  void HistoryChanged();

  // Mirrors the document's scroll range and ViewOffset in the bar without running its
  // change handler; callers decode and paint themselves.
  void SyncScrollBar();
  // Moves the page: clamps, then sets the bar, whose change handler redraws if it moved.
  void MoveViewTo(int64_t offset);
  // Re-decodes the page and paints it (after the image changed under it).
  void RedrawPage();
  // Client area size; the window frame grows around it.
  void SetClientSize(int width, int height);
  QSize ClientSize() const;
  // The file name of RomPath, without its folder.
  QString RomFileName() const;
  // The caption as last set, followed by an asterisk while the image has unsaved changes.
  void ShowModifiedMark();
  // Puts the radio mark on the "&Numero colori" item for `count`, if there is one.
  void MarkPaletteSize(int32_t count);
  // The palette came from an emulator save state and was not saved since: saving must not
  // write a palette file over the state.
  bool PaletteFromSaveState() const { return PaletteReadFromState; }

  RomDocument Doc;

  // --- designed components ---
  ChildClientArea* ClientArea = nullptr;
  TileViewWidget* View = nullptr;
  QScrollBar* ScrollBar = nullptr;
  QLabel* DragLabel = nullptr;
  QImage ViewBitmap;  // the back buffer
  QRect PaintRect;

  QMenu* Edit1 = nullptr;
  QAction* Undodrop1 = nullptr;
  QAction* Copy1 = nullptr;
  QAction* Paste1 = nullptr;
  QAction* Goto1 = nullptr;
  QAction* GotoAgain1 = nullptr;
  QAction* ImportBitmap1 = nullptr;
  QAction* ExportBitmap1 = nullptr;
  QAction* ClearArranger1 = nullptr;
  QAction* AddToProject1 = nullptr;
  QAction* EditBlock1 = nullptr;
  QAction* UndoHistory1 = nullptr;
  QAction* RedoHistory1 = nullptr;
  QAction* History1 = nullptr;
  QMenu* Window1 = nullptr;
  QMenu* Size1 = nullptr;
  std::array<QAction*, 4> ZoomItems{};  // N1x1 .. N4x1, Tag = zoom
  QActionGroup* ZoomGroup = nullptr;
  QMenu* Format1 = nullptr;
  std::array<QAction*, kFixedTileFormatCount> FormatItems{};  // Tag = TileFormat
  std::vector<QAction*> DescribedItems;  // Tag = TileFormat, in the registry's order
  QAction* LoadCodecSeparator = nullptr;
  QAction* LoadCodec1 = nullptr;
  QActionGroup* FormatGroup = nullptr;
  QMenu* Arrangement1 = nullptr;
  // N8x81, N8x161, N16x161, ColumnBlocks1, RowBlocks1; Tag = ArrangementKind
  std::array<QAction*, 5> ArrangementItems{};
  QActionGroup* ArrangementGroup = nullptr;
  QAction* Gridlines1 = nullptr;
  QMenu* Palette1 = nullptr;
  QAction* Load1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* SaveAs1 = nullptr;
  QMenu* Format2 = nullptr;
  QAction* RGB1 = nullptr;
  QAction* NES2 = nullptr;
  QAction* GBC2 = nullptr;
  QAction* GBA2 = nullptr;
  QAction* SNES2 = nullptr;
  QActionGroup* PaletteFormatGroup = nullptr;
  QMenu* Entries1 = nullptr;
  std::array<QAction*, 5> EntryItems{};  // N161 .. N2561, Tag = count
  QActionGroup* EntriesGroup = nullptr;
  QAction* Transfertoclipboard1 = nullptr;
  QAction* LoadFromRom1 = nullptr;
  QMenu* Tools1 = nullptr;
  QAction* OpenStream1 = nullptr;
  QAction* FindStreams1 = nullptr;
  QAction* StreamRoom1 = nullptr;  // stream windows only
  QAction* FindTiles1 = nullptr;
  QWidget* PastePanel = nullptr;  // child of the view; null until the first paste
  PasteImageWidget* PasteImage = nullptr;
  TileSurface PasteSurface;      // the block the panel shows and a commit writes
  bool PasteFromImport = false;  // the block came from a picture file: its commit is an import

  // Handlers attached by the frame once the file has loaded.
  bool ResizeAttached = false;
  bool ActivateAttached = false;
  // Set once the close was agreed; the window then only waits to be freed.
  bool Closed = false;
  // Page decodes so far, for tests that check what does and does not decode.
  int DecodeCount = 0;
  // Set by reading a palette out of a save state, cleared by writing a palette file.
  bool PaletteReadFromState = false;
  // Wheel turn not yet worth a whole notch (high-resolution wheels and touchpads).
  int WheelRest = 0;
  // A stream window's source window and caption; null and empty for a ROM window.
  QPointer<TChildForm> StreamSource;
  QString StreamCaptionText;
  // The open scan dialog of this window, if any.
  QPointer<TStreamScanForm> ScanForm;
  // A stream window's open "Sposta..." dialog, if any.
  QPointer<TStreamMoveForm> MoveForm;
  // The open tile search dialog of this window, if any.
  QPointer<TTileSearchForm> SearchForm;
  // The ROM palette dialog's last choice in this window; it presets the next dialog.
  struct RomPaletteChoice {
    int32_t Offset = 0;
    RomPaletteFormat Format = 0;
    int32_t Count = 0;
  };
  std::optional<RomPaletteChoice> LastRomPalette;
  // Where the shown palette was read in the ROM, while it is the one shown.
  std::optional<RomPaletteChoice> PaletteInRom;
  // The cell outlined as the picked tile and the grid it was picked on, until the next pick,
  // scroll or format change.
  struct PickMarkPlace {
    GridCell Cell;
    int32_t Columns = 0;
    int32_t Rows = 0;
    TileArrangement Arrangement;
  };
  std::optional<PickMarkPlace> PickMark;
  // The selection the last left press took away, for a double click inside it.
  std::optional<TileRect> PressedSelection;
  uint32_t PressedSelectionTime = 0;
  // The caption without the unsaved-changes mark, and the guard for setting the marked one.
  QString Caption;
  bool MarkingCaption = false;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void BuildMenus();
  void BuildArrangementMenu();
  void DecodeView();
  // True when the palette editor is serving this window.
  bool ServesPaletteEditor() const;
  // What a successful palette read sets: encoding, size and its mark, sub-palette 0 (also the
  // editor's), and the entries read.
  void TakePaletteRead(const PaletteFileData& read);
  // The format's menu mark, the scroll bar and the offset readout, after a format change.
  void MirrorFormat();
  // After the range pulled ViewOffset elsewhere: the readout follows and the selection,
  // which named tiles of the old page, goes.
  void OffsetPulled(int32_t before);
  // Status panel 2: the format's name.
  void ShowFormatName();
  // After a format change: the palette editor takes the new depth and sub-palette, and the
  // page is composed.
  void ShowNewFormat();
  // A new stream window's settings from its source: format, palette and drawing colours.
  void TakeStreamSettings(const TChildForm& source);
  // Puts this window to the right of `source` or below it, clear of the tool windows where the
  // frame's client area has room for that.
  void PlaceBeside(const TChildForm& source);
};

}  // namespace varnock
