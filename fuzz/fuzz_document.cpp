// Drives RomDocuments through loading, format and grid changes, scrolling, decoding, encoding
// and the checksum fixers, and traps as soon as the scroll range stops holding ViewOffset.
// Besides the first document, two more of odd sizes take part in picks, tile edits and their
// undos, drops between them, drop undos and closes, checked against copies of their images.
//
// Input: a few control bytes (extension, image size, operations), then the image's seed bytes.
// The image lives in a memory file; one symbolic link per extension points at it, so LoadRom
// runs on an ordinary path with the extension we want and nothing touches the disk.
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "codec/tile_codec.h"
#include "codec/tile_format.h"
#include "codec/tile_surface.h"
#include "document/checksum_rule.h"
#include "document/rom_document.h"
#include "document/tile_drop.h"

namespace {

using varnock::RomDocument;

constexpr std::array<const char*, 19> kExtensions = {
    ".NES", ".nes", ".SMC", ".GB", ".gbc", ".VB",  ".NGP", ".SMS", ".SMD", ".GBA",
    ".BIN", "",     ".GBX", ".",   ".sfc", ".GEN", ".md",  ".GG",  ".NGC"};

class MemoryRom {
 public:
  MemoryRom() {
    fd_ = ::memfd_create("varnock-fuzz", 0);
    if (fd_ < 0) std::abort();
    std::string pattern = (std::filesystem::temp_directory_path() / "varnock-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    const std::string target = "/proc/self/fd/" + std::to_string(fd_);
    for (size_t i = 0; i < kExtensions.size(); ++i) {
      paths_[i] = folder_ + "/rom" + std::to_string(i) + kExtensions[i];
      if (::symlink(target.c_str(), paths_[i].c_str()) != 0) std::abort();
    }
  }
  ~MemoryRom() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    ::close(fd_);
  }

  // Replaces the memory file's contents and returns the path with extension `which`.
  const std::string& Write(const std::vector<uint8_t>& bytes, size_t which) {
    if (::ftruncate(fd_, 0) != 0) std::abort();
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n =
          ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (n <= 0) std::abort();
      done += static_cast<size_t>(n);
    }
    return paths_[which];
  }

 private:
  int fd_ = -1;
  std::string folder_;
  std::array<std::string, kExtensions.size()> paths_;
};

void CheckRange(const RomDocument& doc) {
  if (doc.ScrollMinimum > doc.ScrollMaximum) __builtin_trap();
  if (doc.ViewOffset < doc.ScrollMinimum || doc.ViewOffset > doc.ScrollMaximum) __builtin_trap();
  if (doc.ScrollMinimum < 0) __builtin_trap();
  // A non-empty range always leaves a whole page before the end of the image.
  if (doc.ScrollMaximum != 0 &&
      static_cast<int64_t>(doc.ScrollMaximum) + doc.PageBytes > doc.RomSize)
    __builtin_trap();
}

// The image: `size` bytes, the seed repeated over it, so a short input still makes a ROM large
// enough for headers and many pages.
std::vector<uint8_t> MakeImage(FuzzedDataProvider& input) {
  const size_t size = input.ConsumeIntegralInRange<size_t>(0, 1 << 18);
  const bool nesHeader = input.ConsumeBool();
  std::vector<uint8_t> seed = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange(0, 4096));
  std::vector<uint8_t> image(size, 0);
  if (!seed.empty())
    for (size_t i = 0; i < size; ++i) image[i] = seed[i % seed.size()];
  if (nesHeader && size >= 4) {
    image[0] = 0x4E;
    image[1] = 0x45;
    image[2] = 0x53;
    image[3] = 0x1A;
  }
  return image;
}

void EncodeRandomBlock(RomDocument& doc, FuzzedDataProvider& input) {
  varnock::TileSurface block;
  block.TilesAcross = input.ConsumeIntegralInRange(0, 8);
  block.TilesDown = input.ConsumeIntegralInRange(0, 8);
  varnock::RebuildSurface(block);
  const uint8_t ink = input.ConsumeIntegral<uint8_t>();
  for (size_t i = 0; i < block.Pixels.size(); ++i)
    block.Pixels[i] = static_cast<uint8_t>(ink + i * 7);
  block.EncodeFormat = input.ConsumeIntegral<int8_t>();
  block.EncodeTileBytes = input.ConsumeBool()
                              ? varnock::TileFormatInfo(block.EncodeFormat).TileBytes
                              : input.ConsumeIntegralInRange(-64, 64);
  block.EncodeBits = varnock::TileFormatInfo(block.EncodeFormat).BitsPerPixel;
  block.EncodeSkip = input.ConsumeIntegralInRange(-80, 80);
  block.EncodeColumn = input.ConsumeIntegralInRange(-2, 9);
  block.EncodeRow = input.ConsumeIntegralInRange(-2, 9);
  block.EncodeAcross = input.ConsumeIntegralInRange(-1, 10);
  block.EncodeDown = input.ConsumeIntegralInRange(-1, 10);
  const int64_t offset = input.ConsumeIntegralInRange<int64_t>(-64, int64_t{doc.RomSize} + 64);
  doc.EncodeIntoImage(block, offset);
  if (!doc.Modified) __builtin_trap();
}

// The tile a pick made current: its document and offset, with the format it was shown in.
struct CurrentTile {
  int Doc = -1;
  int32_t Offset = 0;
  varnock::TileFormat Format = 0;
  int32_t TileBytes = 0;
};

struct PendingUndo {
  int Doc = -1;
  varnock::DropUndo Undo;
  std::vector<uint8_t> Before;  // the whole image before the drop
  bool Untouched = false;       // nothing else wrote into that image since
};

std::vector<uint8_t> ImageOf(const RomDocument& doc) {
  return doc.RomData ? std::vector<uint8_t>(doc.RomData, doc.RomData + doc.RomSize)
                     : std::vector<uint8_t>();
}

// Only bytes in [from, from + count) may differ between the two images.
void CheckOnlyChanged(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                      int64_t from, int64_t count) {
  if (before.size() != after.size()) __builtin_trap();
  for (size_t i = 0; i < before.size(); ++i) {
    const int64_t at = static_cast<int64_t>(i);
    if ((at < from || at >= from + count) && before[i] != after[i]) __builtin_trap();
  }
}

class TileWork {
 public:
  explicit TileWork(MemoryRom& rom) : rom_(rom) {}

  void Open(int which, FuzzedDataProvider& input) {
    // Odd sizes, so the last tile of most formats is cut short by the image's end.
    const size_t size = input.ConsumeBool() ? input.ConsumeIntegralInRange<size_t>(0, 300)
                                            : input.ConsumeIntegralInRange<size_t>(0, 4099);
    std::vector<uint8_t> image(size);
    const uint8_t seed = input.ConsumeIntegral<uint8_t>();
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(seed + i * 13 + (i >> 5));
    RomDocument& doc = docs_[which];
    doc = RomDocument();
    if (doc.LoadRom(rom_.Write(image, input.ConsumeIntegralInRange<size_t>(
                                          0, kExtensions.size() - 1))) != varnock::kLoadLoaded)
      __builtin_trap();
    doc.SetTileFormat(input.ConsumeIntegralInRange(0, varnock::kFixedTileFormatCount - 1));
    doc.CellWidth = doc.CellHeight = 8 * doc.Zoom;
    open_[which] = true;
    Touch(which);
  }

  void Step(FuzzedDataProvider& input) {
    const int which = input.ConsumeIntegralInRange(0, 1);
    switch (input.ConsumeIntegralInRange(0, 6)) {
      case 0:
        Pick(which, input);
        break;
      case 1:
        Edit(input);
        break;
      case 2:
        Drop(which, input);
        break;
      case 3:
        UndoDrop();
        break;
      case 4:
        Close(which);
        break;
      case 5:
        if (!open_[which]) Open(which, input);
        break;
      case 6:
        UndoEdit(which);
        break;
    }
  }

 private:
  // A pick: any tile that starts inside the image.
  void Pick(int which, FuzzedDataProvider& input) {
    const RomDocument& doc = docs_[which];
    if (!open_[which] || doc.RomSize == 0) return;
    current_ = {which, input.ConsumeIntegralInRange<int32_t>(0, doc.RomSize - 1), doc.Format,
                doc.TileBytes};
    // A pick makes the last drop final.
    undo_.Doc = -1;
  }

  // A pen stroke on the current tile, encoded back where it came from.
  void Edit(FuzzedDataProvider& input) {
    if (current_.Doc < 0) return;
    RomDocument& doc = docs_[current_.Doc];
    const std::vector<uint8_t> before = ImageOf(doc);
    varnock::TileSurface tile = TileOf(current_);
    varnock::PutSurfacePixel(tile, input.ConsumeIntegralInRange(-1, 8),
                             input.ConsumeIntegralInRange(-1, 8), input.ConsumeIntegral<uint8_t>());
    tile.EncodeFormat = current_.Format;
    tile.EncodeTileBytes = current_.TileBytes;
    doc.PushUndo(current_.Offset, current_.Format,
                 varnock::TileFormatInfo(current_.Format).BitsPerPixel, current_.TileBytes);
    doc.EncodeIntoImage(tile, current_.Offset);
    CheckOnlyChanged(before, ImageOf(doc), current_.Offset, current_.TileBytes);
    Touch(current_.Doc);
    editBefore_[current_.Doc] = before;
    editUntouched_[current_.Doc] = true;
  }

  // The tile editor's undo: the newest entry's bytes go back, and nothing else changes.
  void UndoEdit(int which) {
    if (!open_[which]) return;
    RomDocument& doc = docs_[which];
    const std::vector<uint8_t> before = ImageOf(doc);
    const bool untouched = editUntouched_[which];
    const int32_t count = doc.UndoCount;
    const std::optional<varnock::UndoEntry> entry = doc.PopUndo();
    if (entry.has_value() != (count > 0) || doc.UndoCount != std::max(count - 1, 0))
      __builtin_trap();
    Touch(which);
    if (!entry) return;
    CheckOnlyChanged(before, ImageOf(doc), entry->TileOffset, entry->Length);
    if (untouched && ImageOf(doc) != editBefore_[which]) __builtin_trap();
  }

  void Drop(int which, FuzzedDataProvider& input) {
    if (current_.Doc < 0 || !open_[which]) return;
    RomDocument& doc = docs_[which];
    int32_t x = input.ConsumeIntegralInRange(-20, doc.CellWidth * doc.Columns + 20);
    int32_t y = input.ConsumeIntegralInRange(-20, doc.CellHeight * doc.Rows + 20);
    if (input.ConsumeBool() && doc.TileBytes > 0) {
      // Aim at one of the last tiles of the image, where a short last tile lies.
      const int64_t last = (int64_t{doc.RomSize} - 1 - doc.ViewOffset) / doc.TileBytes -
                           input.ConsumeIntegralInRange(-1, 2);
      x = static_cast<int32_t>(last % doc.Columns) * doc.CellWidth + doc.CellWidth / 2;
      y = static_cast<int32_t>(last / doc.Columns) * doc.CellHeight + doc.CellHeight / 2;
    }
    const std::optional<int32_t> offset = varnock::DropOffset(doc, x, y);
    if (!offset) return;
    if (*offset < 0 || *offset >= doc.RomSize) __builtin_trap();
    varnock::TileSurface tile = TileOf(current_);
    const std::vector<uint8_t> before = ImageOf(doc);
    const std::optional<varnock::DropUndo> undo = varnock::DropTileIntoImage(doc, tile, *offset);
    if (!undo || undo->Offset != *offset) __builtin_trap();
    if (undo->Length != std::min(doc.TileBytes, doc.RomSize - *offset)) __builtin_trap();
    CheckOnlyChanged(before, ImageOf(doc), *offset, undo->Length);
    Touch(which);
    undo_ = {which, *undo, before, true};
  }

  void UndoDrop() {
    if (undo_.Doc < 0) return;
    const int which = undo_.Doc;
    undo_.Doc = -1;
    if (!open_[which]) return;
    RomDocument& doc = docs_[which];
    const std::vector<uint8_t> before = ImageOf(doc);
    varnock::RestoreDroppedBytes(doc, undo_.Undo);
    CheckOnlyChanged(before, ImageOf(doc), undo_.Undo.Offset, undo_.Undo.Length);
    if (undo_.Untouched && ImageOf(doc) != undo_.Before) __builtin_trap();
    Touch(which);
  }

  // A window closes: its image goes, and the current tile and the drop undo forget it.
  void Close(int which) {
    if (!open_[which]) return;
    open_[which] = false;
    docs_[which] = RomDocument();
    if (current_.Doc == which) current_.Doc = -1;
    if (undo_.Doc == which) undo_.Doc = -1;
  }

  // The current tile decoded with its own format, as a drag carries it.
  varnock::TileSurface TileOf(const CurrentTile& current) const {
    varnock::TileSurface tile;
    varnock::SetUpTileSurface(tile, 1, 1);
    tile.DecodeFormat = current.Format;
    tile.DecodeTileBytes = current.TileBytes;
    varnock::DecodeTiles(docs_[current.Doc].BytesFrom(current.Offset), tile);
    return tile;
  }

  void Touch(int which) {
    if (undo_.Doc == which) undo_.Untouched = false;
    editUntouched_[which] = false;
  }

  MemoryRom& rom_;
  std::array<RomDocument, 2> docs_;
  std::array<bool, 2> open_{};
  CurrentTile current_;
  PendingUndo undo_;
  // Each image as it was before its last edit, while nothing else has written into it since.
  std::array<std::vector<uint8_t>, 2> editBefore_;
  std::array<bool, 2> editUntouched_{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryRom rom;
  FuzzedDataProvider input(data, size);
  const size_t which = input.ConsumeIntegralInRange<size_t>(0, kExtensions.size() - 1);
  const int operations = input.ConsumeIntegralInRange(0, 64);
  const std::vector<uint8_t> image = MakeImage(input);

  RomDocument doc;
  if (doc.LoadRom(rom.Write(image, which)) != varnock::kLoadLoaded) __builtin_trap();
  if (doc.RomSize != static_cast<int32_t>(image.size())) __builtin_trap();
  CheckRange(doc);

  TileWork work(rom);
  work.Open(0, input);
  work.Open(1, input);
  for (int i = 0; i < operations && input.remaining_bytes() > 0; ++i) {
    switch (input.ConsumeIntegralInRange(0, 9)) {
      case 0:
        doc.SetTileFormat(input.ConsumeIntegral<int8_t>());
        break;
      case 7:
        doc.SetArrangement(
            {input.ConsumeBool() ? varnock::BlockOrder::Rows : varnock::BlockOrder::Columns,
             input.ConsumeIntegral<int32_t>(), input.ConsumeIntegral<int32_t>()});
        break;
      case 1:
        doc.Columns = input.ConsumeIntegralInRange(varnock::kMinGrid, varnock::kMaxGrid);
        doc.Rows = input.ConsumeIntegralInRange(varnock::kMinGrid, varnock::kMaxGrid);
        doc.UpdateStrides();
        break;
      case 2: {
        const int32_t clamped = doc.ClampOffset(input.ConsumeIntegral<int64_t>());
        if (clamped < doc.ScrollMinimum || clamped > doc.ScrollMaximum) __builtin_trap();
        doc.ViewOffset = clamped;
        break;
      }
      case 3:
        doc.DecodePage();
        if (doc.ViewSurface.Width() != doc.Columns * 8 || doc.ViewSurface.Height() != doc.Rows * 8)
          __builtin_trap();
        break;
      case 4:
        EncodeRandomBlock(doc, input);
        break;
      case 5: {
        const std::vector<uint8_t> before = ImageOf(doc);
        if (before.size() != static_cast<size_t>(doc.RomSize)) __builtin_trap();
        std::vector<uint8_t> fixed = before;
        varnock::ApplyChecksumRule(doc.RomExt, fixed);
        doc.WriteChecksumFields();
        if (ImageOf(doc) != fixed) __builtin_trap();
        // The fields are one step of the history: undo puts the old ones back.
        if (fixed != before && (!doc.Undo() || ImageOf(doc) != before)) __builtin_trap();
        break;
      }
      case 8:
      case 9: {
        // Undo and redo move the image between states it had: back and forth is no change.
        const std::vector<uint8_t> before = ImageOf(doc);
        const bool undo = input.ConsumeBool();
        if ((undo ? doc.Undo() : doc.Redo()) && !(undo ? doc.Redo() : doc.Undo())) __builtin_trap();
        if (ImageOf(doc) != before) __builtin_trap();
        break;
      }
      case 6: {
        const int32_t row = input.ConsumeIntegralInRange(0, doc.Rows);
        const int32_t column = input.ConsumeIntegralInRange(0, doc.Columns - 1);
        const int64_t at = doc.TileOffset(row, column);
        const auto rest = doc.BytesFrom(at);
        if (!rest.empty() && rest.size() != static_cast<size_t>(doc.RomSize - at)) __builtin_trap();
        break;
      }
    }
    CheckRange(doc);
  }
  const int steps = input.ConsumeIntegralInRange(0, 64);
  for (int i = 0; i < steps && input.remaining_bytes() > 0; ++i) work.Step(input);
  return 0;
}
