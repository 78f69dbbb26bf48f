// Random selections, grids and paste places through Copy, a paste commit and Export: whatever
// the geometry, nothing is read or written outside the image or the view surface (guard bytes
// past the image's end must survive), and the exported file matches its block.
//
// Input: format, grid, image size, view offset, selection and paste cell as control values,
// then the image's seed bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/bitmap_file.h"
#include "document/block_transfer.h"
#include "document/tile_arrangement.h"

namespace {

using varnock::RomDocument;

constexpr size_t kGuard = 64;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Mostly cells near the grid; now and then any 32-bit value.
int32_t Cell(FuzzedDataProvider& input) {
  if (input.ConsumeIntegralInRange<int>(0, 15) == 0) return input.ConsumeIntegral<int32_t>();
  return input.ConsumeIntegralInRange<int32_t>(-4, 80);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  RomDocument doc;
  doc.Columns = input.ConsumeIntegralInRange<int32_t>(8, 64);
  doc.Rows = input.ConsumeIntegralInRange<int32_t>(8, 64);
  const auto format = static_cast<varnock::TileFormat>(input.ConsumeIntegralInRange<int>(0, 9));
  const int32_t romSize = input.ConsumeIntegralInRange<int32_t>(0, 1 << 17);
  auto image = std::make_unique<uint8_t[]>(size_t(romSize) + kGuard);
  std::fill_n(image.get() + romSize, kGuard, 0xA5);
  uint8_t* bytes = image.get();
  doc.AdoptImage(std::move(image), romSize);
  doc.SetTileFormat(format);
  // Any arrangement, its sides sometimes out of range; the grid snaps to its blocks.
  doc.SetArrangement(
      {input.ConsumeBool() ? varnock::BlockOrder::Rows : varnock::BlockOrder::Columns,
       input.ConsumeIntegralInRange<int32_t>(-1, 10),
       input.ConsumeIntegralInRange<int32_t>(-1, 10)});
  Check(doc.Columns % doc.Arrangement.BlockWidth == 0 &&
        doc.Rows % doc.Arrangement.BlockHeight == 0);
  doc.ViewOffset = doc.ClampOffset(input.ConsumeIntegral<int32_t>());
  doc.SelLeft = Cell(input);
  doc.SelTop = Cell(input);
  doc.SelRight = Cell(input);
  doc.SelBottom = Cell(input);
  doc.PasteColumn = input.ConsumeIntegralInRange<int32_t>(0, doc.Columns - 1);
  doc.PasteRow = input.ConsumeIntegralInRange<int32_t>(0, doc.Rows - 1);
  const int zoom = input.ConsumeIntegralInRange<int>(1, 4);
  const int32_t panelLeft = input.ConsumeIntegral<int32_t>();
  const int32_t panelTop = input.ConsumeIntegral<int32_t>();
  const std::vector<uint8_t> seed = input.ConsumeRemainingBytes<uint8_t>();
  // Filled before any write, as a file's bytes would be.
  for (int32_t i = 0; i < romSize; ++i)
    bytes[i] = seed.empty() ? uint8_t(i) : seed[size_t(i) % seed.size()];
  doc.DecodePage();

  varnock::TileSurface clip;
  varnock::CopyBlock(doc, clip);
  Check(clip.PixelCount == 0 ||
        (int64_t{clip.Width()} * clip.Height() == clip.PixelCount &&
         clip.TilesAcross == doc.CopyColumns && clip.TilesDown == doc.CopyRows));

  const std::vector<uint8_t> before(doc.RomData, doc.RomData + romSize);
  varnock::CommitBlock(doc, clip);
  Check(std::all_of(doc.RomData + romSize, doc.RomData + romSize + kGuard,
                    [](uint8_t b) { return b == 0xA5; }));
  // Only the tiles of the cells under the block change. In byte order they all come after the
  // paste's first cell; with an arrangement, a block row that runs past the grid's right edge
  // goes on at the left of the next grid row, whose tiles may come before it in the image.
  // A clip without pixels (a selection too big to hold) writes nothing; its tile counts are
  // only what was asked for.
  std::vector<bool> underBlock(size_t(romSize), false);
  for (int32_t row = 0; clip.PixelCount > 0 && row < clip.TilesDown; ++row)
    varnock::ForEachTileRun(
        doc.Arrangement, doc.Columns, doc.Rows, doc.PasteColumn, doc.PasteRow + row,
        clip.TilesAcross, [&](int32_t column, int32_t count, int64_t) {
          const int64_t first = doc.TileOffset(doc.PasteRow + row, column);
          const int64_t end = first + int64_t{count} * doc.TileBytes;
          for (int64_t i = std::max<int64_t>(first, 0); i < std::min<int64_t>(end, romSize); ++i)
            underBlock[size_t(i)] = true;
        });
  for (int32_t i = 0; i < romSize; ++i)
    Check(underBlock[size_t(i)] || before[size_t(i)] == doc.RomData[i]);

  const varnock::PixelBlock block = varnock::ExportBlock(doc);
  Check(block.X >= 0 && block.Y >= 0 && block.Width >= 0 && block.Height >= 0);
  Check(block.X + block.Width <= doc.ViewSurface.Width() || block.Width == 0);
  Check(block.Y + block.Height <= doc.ViewSurface.Height() || block.Height == 0);
  const std::vector<uint8_t> file = varnock::EncodeBitmapFile(doc.ViewSurface, block);
  Check(file.size() == varnock::kBitmapPixelOffset + size_t(block.Width) * size_t(block.Height));
  if (block.Width > 0 && block.Height > 0) {
    // The file's first row is the block's bottom row of the view.
    const uint8_t* bottom = doc.ViewSurface.Pixels.data() +
                            size_t(block.Y + block.Height - 1) * size_t(doc.ViewSurface.Width()) +
                            size_t(block.X);
    Check(std::equal(bottom, bottom + block.Width, file.data() + varnock::kBitmapPixelOffset));
  }

  const int32_t cell = 8 * zoom;
  const varnock::PanelPlace place =
      varnock::SnapPastePanel(panelLeft, panelTop, doc.Columns * cell, doc.Rows * cell, cell, cell);
  Check(place.Column >= 0 && place.Column < doc.Columns && place.Row >= 0 && place.Row < doc.Rows &&
        place.Left == place.Column * cell && place.Top == place.Row * cell);
  return 0;
}
