#include "document/tile_arrangement.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "codec/surface_bounds.h"

namespace varnock {
namespace {

constexpr int kTileSide = 8;

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int32_t ToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

// A block one tile high or one tile wide reads the same in either order; each such pair gets
// the order that reads it straight.
TileArrangement Canonical(const TileArrangement& arrangement) {
  TileArrangement a =
      MakeArrangement(arrangement.Order, arrangement.BlockWidth, arrangement.BlockHeight);
  if (a.BlockHeight == 1)
    a.Order = BlockOrder::Rows;
  else if (a.BlockWidth == 1)
    a.Order = BlockOrder::Columns;
  return a;
}

namespace {

// For every cell of an `across` x `down` grid, row by row, the first pixel of the tile it shows
// in a bitmap of those tiles in byte order. A window asks for the same grid page after page, so
// the last one is kept rather than worked out cell by cell each time.
const std::vector<size_t>& CellTileStarts(const TileArrangement& arrangement, int32_t across,
                                          int32_t down) {
  thread_local TileArrangement keptArrangement;
  thread_local int32_t keptAcross = -1, keptDown = -1;
  thread_local std::vector<size_t> starts;
  if (keptArrangement == arrangement && keptAcross == across && keptDown == down) return starts;
  const int64_t width = int64_t{across} * kTileSide;
  starts.resize(static_cast<size_t>(across) * static_cast<size_t>(down));
  for (int32_t row = 0; row < down; ++row)
    for (int32_t column = 0; column < across; ++column) {
      const int64_t tile = TileIndexAt(arrangement, across, down, column, row);
      starts[static_cast<size_t>(row) * across + column] =
          static_cast<size_t>((tile / across) * kTileSide * width + (tile % across) * kTileSide);
    }
  keptArrangement = arrangement;
  keptAcross = across;
  keptDown = down;
  return starts;
}

template <bool ToCells>
void MoveSurfaceTiles(TileSurface& surface, const TileArrangement& arrangement) {
  if (IsByteOrder(arrangement) || surface.TileWidth != kTileSide || surface.TileHeight != kTileSide)
    return;
  const SurfaceBounds bounds = BoundsOf(surface);
  if (bounds.Empty()) return;
  const int32_t across = surface.TilesAcross, down = surface.TilesDown;
  const auto width = static_cast<size_t>(bounds.Width);
  const std::vector<size_t>& starts = CellTileStarts(arrangement, across, down);
  thread_local std::vector<uint8_t> linear;
  linear.assign(surface.Pixels.begin(), surface.Pixels.begin() + surface.PixelCount);
  const size_t* tile = starts.data();
  for (int32_t row = 0; row < down; ++row) {
    size_t at = static_cast<size_t>(row) * kTileSide * width;
    for (int32_t column = 0; column < across; ++column, ++tile, at += kTileSide) {
      const uint8_t* in = linear.data() + (ToCells ? *tile : at);
      uint8_t* out = surface.Pixels.data() + (ToCells ? at : *tile);
      for (int y = 0; y < kTileSide; ++y) std::memcpy(out + y * width, in + y * width, kTileSide);
    }
  }
}

}  // namespace

TileArrangement MakeArrangement(BlockOrder order, int32_t blockWidth, int32_t blockHeight) {
  return {order, std::clamp(blockWidth, 1, kMaxBlockSide),
          std::clamp(blockHeight, 1, kMaxBlockSide)};
}

bool IsByteOrder(const TileArrangement& a) {
  return a.BlockHeight <= 1;
}

ArrangementKind KindOf(const TileArrangement& arrangement) {
  const TileArrangement a = Canonical(arrangement);
  if (a == kArrangement8x8) return ArrangementKind::Tiles8x8;
  if (a == kArrangement8x16) return ArrangementKind::Tiles8x16;
  if (a == kArrangement16x16) return ArrangementKind::Tiles16x16;
  return a.Order == BlockOrder::Columns ? ArrangementKind::ColumnBlocks
                                        : ArrangementKind::RowBlocks;
}

int64_t TileIndexAt(const TileArrangement& arrangement, int32_t columns, int32_t rows,
                    int32_t column, int32_t row) {
  if (columns < 1 || rows < 1) return int64_t{row} * columns + column;
  const TileArrangement a =
      MakeArrangement(arrangement.Order, arrangement.BlockWidth, arrangement.BlockHeight);
  const int64_t c = columns, r = rows;
  const int64_t line = row + FloorDiv(column, c);  // a column past the edge goes on below
  const int64_t x = column - FloorDiv(column, c) * c;
  const int64_t page = FloorDiv(line, r);
  const int64_t y = line - page * r;
  const int64_t blockRow = y / a.BlockHeight;
  const int64_t height = std::min<int64_t>(a.BlockHeight, r - blockRow * a.BlockHeight);
  const int64_t blockColumn = x / a.BlockWidth;
  const int64_t width = std::min<int64_t>(a.BlockWidth, c - blockColumn * a.BlockWidth);
  const int64_t inX = x - blockColumn * a.BlockWidth, inY = y - blockRow * a.BlockHeight;
  const int64_t inside = a.Order == BlockOrder::Rows ? inY * width + inX : inX * height + inY;
  return page * c * r + blockRow * a.BlockHeight * c + blockColumn * a.BlockWidth * height + inside;
}

GridCell CellOfTile(const TileArrangement& arrangement, int32_t columns, int32_t rows,
                    int64_t index) {
  if (columns < 1 || rows < 1) return {};
  const TileArrangement a =
      MakeArrangement(arrangement.Order, arrangement.BlockWidth, arrangement.BlockHeight);
  const int64_t c = columns, r = rows;
  const int64_t page = FloorDiv(index, c * r);
  const int64_t k = index - page * c * r;
  const int64_t blockRow = k / (a.BlockHeight * c);
  const int64_t height = std::min<int64_t>(a.BlockHeight, r - blockRow * a.BlockHeight);
  const int64_t inRow = k - blockRow * a.BlockHeight * c;
  const int64_t blockColumn = inRow / (a.BlockWidth * height);
  const int64_t width = std::min<int64_t>(a.BlockWidth, c - blockColumn * a.BlockWidth);
  const int64_t inside = inRow - blockColumn * a.BlockWidth * height;
  const int64_t inX = a.Order == BlockOrder::Rows ? inside % width : inside / height;
  const int64_t inY = a.Order == BlockOrder::Rows ? inside / width : inside % height;
  return {ToInt32(blockColumn * a.BlockWidth + inX),
          ToInt32(page * r + blockRow * a.BlockHeight + inY)};
}

void ForEachTileRun(const TileArrangement& arrangement, int32_t columns, int32_t rows,
                    int32_t column, int32_t row, int32_t count,
                    const std::function<void(int32_t, int32_t, int64_t)>& run) {
  int32_t first = column;
  int64_t firstIndex = 0;
  int64_t next = 0;
  for (int64_t i = 0; i < count; ++i) {
    const auto at = static_cast<int32_t>(column + i);
    const int64_t index = TileIndexAt(arrangement, columns, rows, at, row);
    if (i == 0) {
      firstIndex = index;
    } else if (index != next) {
      run(first, at - first, firstIndex);
      first = at;
      firstIndex = index;
    }
    next = index + 1;
  }
  if (count > 0) run(first, static_cast<int32_t>(column + int64_t{count} - first), firstIndex);
}

void ArrangeSurfaceTiles(TileSurface& surface, const TileArrangement& arrangement) {
  MoveSurfaceTiles<true>(surface, arrangement);
}

void LinearizeSurfaceTiles(TileSurface& surface, const TileArrangement& arrangement) {
  MoveSurfaceTiles<false>(surface, arrangement);
}

int32_t SnapGridCount(int32_t count, int32_t block, int32_t least, int32_t most) {
  block = std::clamp(block, 1, kMaxBlockSide);
  const int32_t lowest = (least + block - 1) / block * block;
  const int32_t highest = most / block * block;
  if (highest < lowest) return std::clamp(count, least, most);  // no whole block fits
  return std::clamp(count / block * block, lowest, highest);
}

int32_t StepGridCount(int32_t count, int32_t block, int32_t direction, int32_t least,
                      int32_t most) {
  block = std::clamp(block, 1, kMaxBlockSide);
  const int32_t snapped = SnapGridCount(count, block, least, most);
  const int32_t step = direction > 0 ? block : direction < 0 ? -block : 0;
  const int32_t next = snapped + step;
  return next < least || next > most ? snapped : next;
}

}  // namespace varnock
