// One opened ROM file: its image, decoding settings, palette, scroll range and view page.
// The ROM window owns one of these and mirrors it in its widgets.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codec/tile_format.h"
#include "codec/tile_surface.h"
#include "document/modified_flag.h"
#include "document/stream_link.h"
#include "document/tile_arrangement.h"
#include "history/edit_history.h"
#include "io/file_io.h"
#include "palette/palette.h"

namespace varnock {

// LoadRom's answer. The first three values are the ones the frame has always distinguished.
enum LoadResult : int {
  kLoadCannotOpen = -1,  // missing, unreadable, not a regular file
  kLoadNoMemory = 0,     // no block of the file's size could be had
  kLoadLoaded = 1,
  kLoadTooLarge = 2,  // 2 GiB or more: offsets are 32-bit
};

struct SaveResult {
  bool Ok = false;
  std::string Reason;
  // Nothing was written: the file was no longer the one last read or written.
  bool ChangedOnDisk = false;
};

struct SaveRomOptions {
  // False leaves the header as the image holds it: no checksum rule at all.
  bool ApplyChecksums = true;
  // What the file at the known path must be when it is written, in place of the file last read
  // or written: what the user saw on disk when they chose to overwrite another program's change.
  std::optional<FileIdentity> AcceptedFile;
};

// Tile-editor undo entry: the bytes a tile had before an edit.
struct UndoEntry {
  int32_t TileOffset = 0;  // where the bytes go back to
  std::array<uint8_t, kMaxTileBytes> Bytes{};
  TileFormat Format = 0;
  int32_t BitsPerPixel = 0;
  int32_t ByteOffset = 0;
  int32_t Length = 0;
};

inline constexpr int32_t kUndoDepth = 64;
inline constexpr int32_t kMinGrid = 8;
inline constexpr int32_t kMaxGrid = 64;

class RomDocument {
 public:
  RomDocument();

  // Steps of opening that do not involve windows: reads the whole file in one block, chooses
  // the tile format from the extension, derives PalettePath, sets Zoom 3. In NES format the view
  // opens at the character ROM the header announces (NesFirstPage). The palette itself is the
  // window's business (palette file, or ApplyDefaultPalette).
  LoadResult LoadRom(const std::string& path);
  // A compressed stream's document: `bytes` are its image, with no file of its own, no
  // header to skip (the scroll range starts at 0) and no checksum rule. RomPath names the
  // source's file; format and palette are the caller's to set.
  void LoadStream(std::span<const uint8_t> bytes, StreamLink link, const std::string& sourcePath);

  // Format, bits per pixel, strides and the scroll range for `format` (any Tag with a table
  // row, fixed or described; anything else reads as 1BPP), with ViewOffset clamped into it and
  // the view surface's decode request. Neither decodes nor paints.
  void SetTileFormat(TileFormat format);
  // Where a file opening in the current format shows its first page: the character ROM for
  // NES (NesFirstPage), else the scroll minimum.
  int64_t OpeningOffset() const;

  // Applies the checksum rule of RomExt to the image, then writes the image with
  // WriteFileSafely (owner, group, mode, attributes and hard links kept). A save to the known
  // path writes only while the file is still the one last read or written (or the accepted
  // one): anything else on disk by then is left as it is and the result says ChangedOnDisk.
  // Only when the file was written does the image's state become the saved one (and Modified
  // clear); the history stays.
  SaveResult SaveRom(const std::string& path, const SaveRomOptions& options = {});

  // True when `path` is the file last read or written and something on disk changed it since
  // (replaced, rewritten, deleted, or swapped for a link to another file). Times are
  // compared to the nanosecond, and the change time too, which no program can set back. A save to
  // any other name has nothing to compare with.
  bool ChangedOnDisk(const std::string& path) const;

  // RowBytes and PageBytes for the current grid, then the scroll range, keeping ViewOffset in it.
  void UpdateStrides();
  // Recomputes the scroll range from the format's first viewable offset and the page size.
  // When no whole page fits past that offset the range is 0..0. ViewOffset is clamped into it.
  void UpdateScrollRange();
  // `offset` brought into [ScrollMinimum, ScrollMaximum].
  int32_t ClampOffset(int64_t offset) const;
  // First byte of the tile in grid row r, column c of the page, in the window's arrangement.
  int64_t TileOffset(int32_t row, int32_t column) const;

  // Orders the page's tiles on the grid by `arrangement` (made Canonical) and snaps Columns and
  // Rows to whole blocks, then UpdateStrides. Neither decodes nor paints.
  void SetArrangement(const TileArrangement& arrangement);
  // Columns and Rows brought to whole blocks of the arrangement within kMinGrid..kMaxGrid.
  void SnapGridToBlocks();
  // Bytes of one row of blocks: what a step by a row moves the view.
  int32_t BlockRowBytes() const;

  // True when the tile at `offset` lies on the page the view shows.
  bool OnShownPage(int64_t offset) const;

  // The image from `offset` to its end; empty when the offset is outside it.
  std::span<const uint8_t> BytesFrom(int64_t offset) const;

  // Decodes the page at ViewOffset into ViewSurface (rebuilding it if the grid changed), each
  // tile in the cell the arrangement gives it.
  void DecodePage();
  // Makes ViewSurface Columns x Rows tiles when it is not, keeping its colours.
  void FitViewSurface();

  // --- the one write path ---
  // Every change of the image goes through WriteBytes: it is cut at the image's end, its
  // changed bytes are recorded in the open history step (or in a step of its own), and
  // Modified follows the history. Nothing else hands out writable bytes of the image.
  //
  // Copies `bytes` into the image at `offset`, clipped at its end; true when a byte changed.
  bool WriteBytes(int64_t offset, std::span<const uint8_t> bytes);
  // Encodes the surface's encode request into the image at `offset`, clipped at the image's
  // end, through WriteBytes. An encode is an edit even when it wrote only the bytes that were
  // there, or nothing (past the end): its step is kept, and Modified set, all the same.
  void EncodeIntoImage(const TileSurface& surface, int64_t offset);
  // A history step named `description` (HistoryStep opens and closes one for a scope): the
  // writes until the matching EndStep are one step; a pair inside an open step joins it.
  void BeginStep(std::string_view description, StepKeeping keeping = StepKeeping::WhenChanged);
  void EndStep();
  // Undo and redo of the newest step, and a move to the state after the first `position`
  // steps (0: as the history starts) undoing or redoing all between as one move. Each tells
  // OnRestored which bytes it wrote. True when the image moved.
  bool Undo();
  bool Redo();
  bool GoToStep(size_t position);
  const EditHistory& History() const { return history_; }
  // The image's state becomes the saved one without a file written: a stream window's save
  // puts its bytes into its source instead.
  void MarkSaved();
  // Bytes the history may keep (kDefaultHistoryBudget unless set).
  void SetHistoryBudget(int64_t bytes);
  // Makes `block`, of which the first `size` bytes count, the image: a new history whose start
  // counts as saved, Modified clear. Loading calls it; so do tests that build images by hand.
  void AdoptImage(std::unique_ptr<uint8_t[]> block, int32_t size);
  // Lets the image go (its window closes): RomData null, RomSize 0, the history empty.
  void ReleaseImage();
  // Writes the header checksums RomExt's rule gives (as SaveRom does before writing), as one
  // step of the history when they change.
  void WriteChecksumFields();
  // A stream's document is saved into its source; this says whether the source still holds
  // what it last saved there (an undo in the source may take it back). While not, Modified is
  // set whatever the history says.
  void SetSaveHeldBySource(bool held);
  // Run after Undo, Redo and GoToStep with the ranges they wrote, so that every window
  // showing those bytes draws them again.
  std::function<void(std::span<const ByteRange>)> OnRestored;
  // Run whenever the history may read differently: a step closed, an undo or redo, a save, a
  // new image. The history window and the Edit menu's items follow it.
  std::function<void()> OnHistoryChange;

  // Records the bytes of the tile at `offset` as the newest tile-editor undo entry: at most
  // `length` (and kMaxTileBytes) of them, and only those inside the image. Beyond 64 entries the
  // oldest is dropped.
  void PushUndo(int32_t offset, TileFormat format, int32_t bitsPerPixel, int32_t length);
  // Writes the newest entry's bytes back, as a step of the history, and removes the entry. The
  // entry, or nothing when the stack is empty.
  std::optional<UndoEntry> PopUndo();

  // PalFormat and PaletteEntryBytes; the window moves the menu marks.
  void SetPaletteFormat(PaletteFormat format);
  // RGB, 256 entries, the built-in colours: what a window gets without a palette file.
  void ApplyDefaultPalette();

  // Status bar texts: "1024K" ("944 B" for a stream below a kilobyte), "Offset: 00008000 (12%)".
  std::string SizeText() const;
  std::string OffsetText() const;
  // ViewOffset x 100 / RomSize, 0 for an empty image.
  int32_t OffsetPercent() const;

  // Checksum rules, exposed for tests and tools. Images too short for the fields stay as
  // they are.
  static void FixGameBoyChecksum(std::span<uint8_t> image);
  static void FixGbaChecksum(std::span<uint8_t> image);
  // The tile format an upper-cased extension selects.
  static TileFormat FormatForExtension(const std::string& upperExtension);
  // The default palette path: the ROM path with its extension replaced by ".VRK".
  static std::string DefaultPalettePath(const std::string& romPath);

  // --- the record's fields, under their own names ---
  int32_t UndoCount = 0;
  std::array<UndoEntry, kUndoDepth> UndoStack{};
  PaletteTable Palette{};
  bool PaletteModified = false;
  int32_t PaletteEntryBytes = 0;
  int32_t PaletteSize = 0;
  PaletteFormat PalFormat = 0;
  // The image's block, read only: writes go through WriteBytes.
  const uint8_t* RomData = nullptr;
  std::string RomPath;
  std::string RomExt;
  std::string PalettePath;
  int32_t SubPalette = 0;
  int32_t RomSize = 0;
  int32_t ViewOffset = 0;
  TileFormat Format = 0;
  int32_t Columns = 16;
  int32_t Rows = 16;
  int32_t RowBytes = 0;
  int32_t PageBytes = 0;
  int32_t TileBytes = 0;
  int32_t TileWidth = 8;
  int32_t TileHeight = 8;
  int32_t CellWidth = 0;
  int32_t CellHeight = 0;
  int32_t BitsPerPixel = 0;
  uint32_t IoCount = 0;
  int32_t Zoom = 0;
  ModifiedFlag Modified;
  TileSurface* ClipSurface = nullptr;
  TileSurface ViewSurface;
  uint8_t LeftColor = 1;
  uint8_t RightColor = 0;
  const uint8_t* EditTile = nullptr;  // tile picked for the tile editor; null when none
  int32_t EditTileOffset = 0;
  int32_t CopyOffset = 0;
  int32_t CopyColumns = 0;
  int32_t CopyRows = 0;
  int32_t SelTop = 0;
  int32_t SelLeft = 0;
  int32_t SelBottom = 0;
  int32_t SelRight = 0;
  bool Selecting = false;
  bool HasSelection = false;
  int32_t PasteColumn = 0;
  int32_t PasteRow = 0;
  int32_t PanelGrabX = 0;
  int32_t PanelGrabY = 0;
  bool PastePending = false;
  bool PanelDragging = false;

  // Why the last LoadRom answered kLoadCannotOpen, in a sentence; empty after a load.
  std::string LoadFailure;
  // The file last read or written, as it was then; a successful save refreshes both.
  std::string KnownPath;
  FileIdentity KnownFile;

  // The scroll range the window's scroll bar mirrors.
  int32_t ScrollMinimum = 0;
  int32_t ScrollMaximum = 0;

  // Set for a compressed stream's document: where its bytes go when it is saved.
  std::optional<StreamLink> Stream;

  // Which cell shows which tile of the page; SetArrangement changes it.
  TileArrangement Arrangement = kArrangement8x8;

 private:
  // Modified as the history and the source's copy of a stream say.
  void FollowHistory();
  // After Undo, Redo or GoToStep wrote `changed`.
  void Restored(const std::vector<ByteRange>& changed);

  std::unique_ptr<uint8_t[]> image_;  // one block, never moved while the window lives
  EditHistory history_;
  bool saveHeldBySource_ = true;
  std::vector<uint8_t> encodeScratch_;
};

// Opens a history step for the scope it lives in.
class HistoryStep {
 public:
  HistoryStep(RomDocument& doc, std::string_view description,
              StepKeeping keeping = StepKeeping::WhenChanged)
      : doc_(doc) {
    doc_.BeginStep(description, keeping);
  }
  ~HistoryStep() { doc_.EndStep(); }
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;

 private:
  RomDocument& doc_;
};

}  // namespace varnock
