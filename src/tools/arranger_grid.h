// The tile arranger's board: 24 x 16 cells of one 8 x 8 tile each, drawn at twice the size,
// so a client point lies on cell (x div 16, y div 16).
#pragma once

#include <cstdint>
#include <optional>

namespace varnock {

inline constexpr int32_t kArrangerColumns = 24;
inline constexpr int32_t kArrangerRows = 16;
inline constexpr int32_t kArrangerCellPixels = 16;

struct BoardCell {
  int32_t Column = 0;
  int32_t Row = 0;
  friend bool operator==(const BoardCell&, const BoardCell&) = default;
};

// The cell under client point (x, y), or nothing when the point is off the board. A point a
// little left of or above the board is off it too, although truncating division would put it
// in column or row 0.
constexpr std::optional<BoardCell> ArrangerCellAt(int32_t x, int32_t y) {
  if (x < 0 || y < 0) return std::nullopt;
  const BoardCell cell{x / kArrangerCellPixels, y / kArrangerCellPixels};
  if (cell.Column >= kArrangerColumns || cell.Row >= kArrangerRows) return std::nullopt;
  return cell;
}

}  // namespace varnock
