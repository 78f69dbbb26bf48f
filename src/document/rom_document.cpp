#include "document/rom_document.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "codec/codec_registry.h"
#include "codec/tile_codec.h"
#include "document/checksum_rule.h"
#include "document/rom_header.h"
#include "document/step_names.h"
#include "document/tile_block.h"
#include "io/file_io.h"

namespace varnock {
namespace {

constexpr uint64_t kLargestImage = 0x7FFFFFFF;  // RomSize is a signed 32-bit count

constexpr TileFormat kNesFormat = 1;

// A large image is read into memory that was never touched; asking for huge pages spares
// the reader one page fault per 4 KB, which otherwise costs more than the read itself.
void AdviseLargeBlock(uint8_t* block, uint64_t size) {
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  if (size < 4 * kHugePage) return;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + size) & ~(kHugePage - 1);
  if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

}  // namespace

RomDocument::RomDocument() = default;

TileFormat RomDocument::FormatForExtension(const std::string& ext) {
  if (ext == ".NES") return 1;
  if (ext == ".SMC") return 6;
  if (ext == ".GB" || ext == ".GBC") return 2;
  if (ext == ".VB") return 3;
  if (ext == ".NGP") return 4;
  if (ext == ".SMS") return 7;
  if (ext == ".SMD") return 8;
  if (ext == ".GBA") return 9;
  // The names dumps carry today, after the older ones; none of them has a checksum rule.
  if (ext == ".SFC") return 6;
  if (ext == ".GEN" || ext == ".MD") return 8;
  if (ext == ".GG") return 7;
  if (ext == ".NGC") return 4;
  return 0;
}

std::string RomDocument::DefaultPalettePath(const std::string& romPath) {
  const std::string ext = UpperExtension(romPath);
  if (ext.empty()) return romPath + ".VRK";
  return romPath.substr(0, romPath.size() - ext.size()) + ".VRK";
}

LoadResult RomDocument::LoadRom(const std::string& path) {
  RomPath = path;
  LoadFailure.clear();
  // Taken before the bytes are read: a change made while they are read is then a change made
  // since, and a save does not write over it.
  const FileIdentity identity = IdentifyFile(path);
  // Non-blocking, so a named pipe is refused below instead of waiting for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    LoadFailure = SystemReason(errno);
    return kLoadCannotOpen;
  }
  struct stat info {};
  const bool examined = ::fstat(fd, &info) == 0;
  if (!examined || !S_ISREG(info.st_mode)) {
    LoadFailure = examined ? NotRegularFileReason(info.st_mode) : SystemReason(errno);
    ::close(fd);
    return kLoadCannotOpen;
  }
  const uint64_t size = static_cast<uint64_t>(info.st_size);
  if (size > kLargestImage) {
    ::close(fd);
    return kLoadTooLarge;
  }
  // At least one byte, so an empty file still has a block to point at.
  std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[std::max<uint64_t>(size, 1)]);
  if (!block) {
    ::close(fd);
    return kLoadNoMemory;
  }
  AdviseLargeBlock(block.get(), size);
  uint64_t done = 0;
  int error = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, block.get() + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    done += static_cast<uint64_t>(got);
  }
  ::close(fd);
  if (done != size) {
    LoadFailure = error != 0 ? SystemReason(error) : "The file got shorter while it was read.";
    return kLoadCannotOpen;
  }
  KnownPath = path;
  KnownFile = identity;

  AdoptImage(std::move(block), static_cast<int32_t>(size));
  IoCount = static_cast<uint32_t>(done);
  RomExt = UpperExtension(path);
  SetTileFormat(FormatForExtension(RomExt));
  ViewOffset = ClampOffset(OpeningOffset());
  PalettePath = DefaultPalettePath(path);
  Zoom = 3;
  return kLoadLoaded;
}

void RomDocument::LoadStream(std::span<const uint8_t> bytes, StreamLink link,
                             const std::string& sourcePath) {
  auto block = std::make_unique<uint8_t[]>(std::max<size_t>(bytes.size(), 1));
  std::copy(bytes.begin(), bytes.end(), block.get());
  Stream = std::move(link);
  AdoptImage(std::move(block), static_cast<int32_t>(bytes.size()));
  IoCount = 0;
  RomPath = sourcePath;
  RomExt.clear();
  KnownPath.clear();
  KnownFile = {};
  SetTileFormat(Format);
  Zoom = 3;
}

int64_t RomDocument::OpeningOffset() const {
  // Only opening looks for the graphics; a later format change leaves the view where it is.
  if (Format == kNesFormat) return NesFirstPage(BytesFrom(0));
  return ScrollMinimum;
}

void RomDocument::SetTileFormat(TileFormat format) {
  // A described tile need not be bits x 8 bytes: the row says how long it is.
  const TileFormatRow* row = LookUpTileFormat(format);
  Format = row ? format : 0;
  if (!row) row = &TileFormatInfo(0);
  BitsPerPixel = row->BitsPerPixel;
  TileBytes = row->TileBytes;
  UpdateStrides();
  ViewSurface.DecodeTileBytes = TileBytes;
  ViewSurface.DecodeFormat = Format;
  ViewSurface.DecodeBits = BitsPerPixel;
  ViewSurface.DecodeSkip = 0;
  ViewSurface.DecodeColumn = 0;
  ViewSurface.DecodeRow = 0;
  ViewSurface.DecodeAcross = Columns;
  ViewSurface.DecodeDown = Rows;
}

void RomDocument::UpdateStrides() {
  RowBytes = TileBytes * Columns;
  PageBytes = RowBytes * Rows;
  UpdateScrollRange();
}

void RomDocument::UpdateScrollRange() {
  const int64_t minimum = Stream ? 0 : FirstViewableOffset(Format, RomSize, RomExt);
  const int64_t maximum = static_cast<int64_t>(RomSize) - PageBytes;
  if (maximum < minimum) {
    ScrollMinimum = 0;
    ScrollMaximum = 0;
  } else {
    ScrollMinimum = static_cast<int32_t>(minimum);
    ScrollMaximum = static_cast<int32_t>(maximum);
  }
  ViewOffset = ClampOffset(ViewOffset);
}

int32_t RomDocument::ClampOffset(int64_t offset) const {
  if (offset < ScrollMinimum) return ScrollMinimum;
  if (offset > ScrollMaximum) return ScrollMaximum;
  return static_cast<int32_t>(offset);
}

int64_t RomDocument::TileOffset(int32_t row, int32_t column) const {
  return static_cast<int64_t>(ViewOffset) +
         TileIndexAt(Arrangement, Columns, Rows, column, row) * TileBytes;
}

void RomDocument::SetArrangement(const TileArrangement& arrangement) {
  Arrangement = Canonical(arrangement);
  SnapGridToBlocks();
  UpdateStrides();
}

void RomDocument::SnapGridToBlocks() {
  Columns = SnapGridCount(Columns, Arrangement.BlockWidth, kMinGrid, kMaxGrid);
  Rows = SnapGridCount(Rows, Arrangement.BlockHeight, kMinGrid, kMaxGrid);
}

int32_t RomDocument::BlockRowBytes() const {
  const int64_t bytes =
      int64_t{RowBytes} * std::clamp(Arrangement.BlockHeight, 1, std::max(Rows, 1));
  return static_cast<int32_t>(std::min<int64_t>(bytes, INT32_MAX));
}

bool RomDocument::OnShownPage(int64_t offset) const {
  return ViewOffset <= offset && offset < int64_t{ViewOffset} + PageBytes;
}

std::span<const uint8_t> RomDocument::BytesFrom(int64_t offset) const {
  if (!RomData || offset < 0 || offset > RomSize) return {};
  return {RomData + offset, static_cast<size_t>(RomSize - offset)};
}

void RomDocument::FitViewSurface() {
  if (ViewSurface.PixelCount != 0 && ViewSurface.TilesAcross == Columns &&
      ViewSurface.TilesDown == Rows)
    return;
  ViewSurface.TileWidth = 8;
  ViewSurface.TileHeight = 8;
  ViewSurface.TilesAcross = Columns;
  ViewSurface.TilesDown = Rows;
  RebuildSurface(ViewSurface);
}

void RomDocument::DecodePage() {
  DecodeTileBlock(BytesFrom(0), {ViewOffset, Format, Arrangement, Columns, Rows}, ViewSurface);
}

void RomDocument::AdoptImage(std::unique_ptr<uint8_t[]> block, int32_t size) {
  image_ = std::move(block);
  RomData = image_.get();
  RomSize = image_ ? std::max(size, 0) : 0;
  history_.Clear();
  saveHeldBySource_ = true;
  FollowHistory();
}

void RomDocument::ReleaseImage() {
  image_.reset();
  RomData = nullptr;
  RomSize = 0;
  history_.Clear();
}

bool RomDocument::WriteBytes(int64_t offset, std::span<const uint8_t> bytes) {
  if (!image_ || offset < 0 || offset >= RomSize || bytes.empty()) return false;
  const bool ownStep = !history_.StepOpen();
  if (ownStep) BeginStep(WriteStepName(*this, offset));
  const bool changed = history_.Write({image_.get(), static_cast<size_t>(RomSize)}, offset, bytes);
  if (ownStep) EndStep();
  return changed;
}

void RomDocument::EncodeIntoImage(const TileSurface& surface, int64_t offset) {
  HistoryStep step(*this, WriteStepName(*this, offset), StepKeeping::Always);
  // The encoder writes into a copy of the bytes it may reach, so that the write path sees
  // what changed.
  const std::span<const uint8_t> inside = BytesFrom(offset);
  const size_t reach = static_cast<size_t>(
      std::min<int64_t>(static_cast<int64_t>(inside.size()), EncodeReach(surface)));
  if (reach == 0) return;
  encodeScratch_.assign(inside.begin(), inside.begin() + static_cast<std::ptrdiff_t>(reach));
  EncodeTiles(surface, encodeScratch_);
  WriteBytes(offset, encodeScratch_);
}

void RomDocument::BeginStep(std::string_view description, StepKeeping keeping) {
  history_.BeginStep(description, keeping);
}

void RomDocument::EndStep() {
  history_.EndStep();
  if (!history_.StepOpen()) FollowHistory();
}

void RomDocument::FollowHistory() {
  Modified = !history_.AtSavedState() || !saveHeldBySource_;
  if (OnHistoryChange) OnHistoryChange();
}

void RomDocument::MarkSaved() {
  history_.MarkSaved();
  saveHeldBySource_ = true;
  FollowHistory();
}

void RomDocument::SetSaveHeldBySource(bool held) {
  saveHeldBySource_ = held;
  FollowHistory();
}

void RomDocument::SetHistoryBudget(int64_t bytes) {
  history_.SetBudget(bytes);
  FollowHistory();
}

void RomDocument::Restored(const std::vector<ByteRange>& changed) {
  FollowHistory();
  if (OnRestored && !changed.empty()) OnRestored(changed);
}

bool RomDocument::Undo() {
  std::vector<ByteRange> changed;
  if (!image_ || !history_.Undo({image_.get(), static_cast<size_t>(RomSize)}, changed))
    return false;
  Restored(changed);
  return true;
}

bool RomDocument::Redo() {
  std::vector<ByteRange> changed;
  if (!image_ || !history_.Redo({image_.get(), static_cast<size_t>(RomSize)}, changed))
    return false;
  Restored(changed);
  return true;
}

bool RomDocument::GoToStep(size_t position) {
  if (!image_ || history_.StepOpen() || position > history_.StepCount() ||
      position == history_.Position())
    return false;
  const std::span<uint8_t> image(image_.get(), static_cast<size_t>(RomSize));
  std::vector<ByteRange> changed;
  while (history_.Position() > position && history_.Undo(image, changed)) {
  }
  while (history_.Position() < position && history_.Redo(image, changed)) {
  }
  Restored(changed);
  return true;
}

void RomDocument::WriteChecksumFields() {
  const std::vector<ChecksumWrite> writes = ChecksumRuleWrites(RomExt, BytesFrom(0));
  if (writes.empty()) return;
  HistoryStep step(*this, ChecksumStepName());
  for (const ChecksumWrite& write : writes)
    WriteBytes(write.Offset, std::span(write.Bytes).first(static_cast<size_t>(write.Length)));
}

void RomDocument::PushUndo(int32_t offset, TileFormat format, int32_t bitsPerPixel,
                           int32_t length) {
  std::move_backward(UndoStack.begin(), UndoStack.end() - 1, UndoStack.end());
  UndoEntry& entry = UndoStack[0];
  entry = UndoEntry{};
  const std::span<const uint8_t> inside = BytesFrom(offset);
  const int32_t kept = static_cast<int32_t>(std::min<size_t>(
      {inside.size(), static_cast<size_t>(std::max(length, 0)), entry.Bytes.size()}));
  std::copy_n(inside.begin(), kept, entry.Bytes.begin());
  entry.TileOffset = offset;
  entry.Format = format;
  entry.BitsPerPixel = bitsPerPixel;
  entry.ByteOffset = offset;
  entry.Length = kept;
  if (UndoCount < kUndoDepth) ++UndoCount;
}

std::optional<UndoEntry> RomDocument::PopUndo() {
  if (UndoCount <= 0) return std::nullopt;
  const UndoEntry entry = UndoStack[0];
  const size_t count = static_cast<size_t>(std::clamp<int32_t>(entry.Length, 0, kMaxTileBytes));
  {
    HistoryStep step(*this, TileUndoStepName(*this, entry.TileOffset));
    WriteBytes(entry.TileOffset, std::span(entry.Bytes).first(count));
  }
  std::move(UndoStack.begin() + 1, UndoStack.end(), UndoStack.begin());
  UndoStack.back() = UndoEntry{};
  --UndoCount;
  return entry;
}

void RomDocument::SetPaletteFormat(PaletteFormat format) {
  PalFormat = format;
  PaletteEntryBytes = PaletteEntryBytesOf(format);
}

void RomDocument::ApplyDefaultPalette() {
  SetPaletteFormat(kPaletteRgb);
  PaletteSize = 256;
  Palette = DefaultPalette;
}

void RomDocument::FixGameBoyChecksum(std::span<uint8_t> image) {
  ApplyChecksumRule(".GB", image);
}

void RomDocument::FixGbaChecksum(std::span<uint8_t> image) {
  ApplyChecksumRule(".GBA", image);
}

SaveResult RomDocument::SaveRom(const std::string& path, const SaveRomOptions& options) {
  if (options.ApplyChecksums) WriteChecksumFields();
  const std::span<const uint8_t> image = BytesFrom(0);
  std::optional<FileIdentity> expected = options.AcceptedFile;
  if (!expected && path == KnownPath) expected = KnownFile;
  const FileWriteResult written = WriteFileSafely(path, image, expected);
  IoCount = written.Ok ? static_cast<uint32_t>(image.size()) : 0;
  if (!written.Ok) return {false, written.Reason, written.ChangedOnDisk};
  MarkSaved();
  KnownPath = path;
  KnownFile = IdentifyFile(path);
  return {true, {}};
}

bool RomDocument::ChangedOnDisk(const std::string& path) const {
  return path == KnownPath && IdentifyFile(path) != KnownFile;
}

std::string RomDocument::SizeText() const {
  // A stream may be only a few hundred bytes, which "0K" would hide.
  if (Stream && RomSize < 1024) return std::to_string(RomSize) + " B";
  return std::to_string(RomSize / 1024) + "K";
}

int32_t RomDocument::OffsetPercent() const {
  if (RomSize <= 0) return 0;
  return static_cast<int32_t>(static_cast<int64_t>(ViewOffset) * 100 / RomSize);
}

std::string RomDocument::OffsetText() const {
  char text[48];
  std::snprintf(text, sizeof text, "Offset: %08X (%d%%)", static_cast<uint32_t>(ViewOffset),
                OffsetPercent());
  return text;
}

}  // namespace varnock
