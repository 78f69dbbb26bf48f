#include "document/view_mouse.h"

#include <algorithm>

#include "document/rom_document.h"

namespace varnock {

GridCell CellAt(int32_t x, int32_t y, int32_t cellWidth, int32_t cellHeight) {
  if (cellWidth <= 0 || cellHeight <= 0) return {};
  return {x / cellWidth, y / cellHeight};
}

void ClampToGrid(int32_t& x, int32_t& y, int32_t clientWidth, int32_t clientHeight) {
  if (x >= clientWidth - 16) x = clientWidth - 17;
  if (y >= clientHeight) y = clientHeight - 1;
}

PixelRect SelectionPixels(const RomDocument& doc) {
  // 64-bit products: selection corners come from pointer positions and are small, but a
  // wild value must not wrap into a plausible rectangle.
  const auto scale = [](int32_t cells, int32_t size) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{cells} * size, INT32_MIN / 2, INT32_MAX / 2));
  };
  return {scale(doc.SelLeft, doc.CellWidth), scale(doc.SelTop, doc.CellHeight),
          scale(doc.SelRight, doc.CellWidth), scale(doc.SelBottom, doc.CellHeight)};
}

PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
  if (a.Empty()) return b.Empty() ? PixelRect{} : b;
  if (b.Empty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

void InvertBlock(uint32_t* image, int32_t width, int32_t height, int32_t stride,
                 const PixelRect& block) {
  const int32_t left = std::max(block.Left, 0);
  const int32_t right = std::min(block.Right, width);
  const int32_t top = std::max(block.Top, 0);
  const int32_t bottom = std::min(block.Bottom, height);
  if (!image || left >= right || top >= bottom) return;
  for (int32_t y = top; y < bottom; ++y) {
    uint32_t* line = image + int64_t{y} * stride;
    for (int32_t x = left; x < right; ++x) line[x] ^= 0x00FFFFFFu;
  }
}

void InvertChange(uint32_t* image, int32_t width, int32_t height, int32_t stride,
                  const PixelRect& before, const PixelRect& after) {
  if (before.Empty() || after.Empty()) {
    InvertBlock(image, width, height, stride, before);
    InvertBlock(image, width, height, stride, after);
    return;
  }
  // Rows of only one block invert its whole span. Rows of both invert [left1, left2) and
  // [right1, right2): whatever lies in both of those spans is inverted twice and stays.
  const int32_t top = std::min(before.Top, after.Top);
  const int32_t bottom = std::max(before.Bottom, after.Bottom);
  const auto rows = [](int32_t from, int32_t to) { return PixelRect{0, from, 0, to}; };
  for (const PixelRect& band : {rows(top, std::max(before.Top, after.Top)),
                                rows(std::min(before.Bottom, after.Bottom), bottom)}) {
    for (const PixelRect* block : {&before, &after}) {
      const PixelRect span{block->Left, std::max(band.Top, block->Top), block->Right,
                           std::min(band.Bottom, block->Bottom)};
      InvertBlock(image, width, height, stride, span);
    }
  }
  const int32_t bothTop = std::max(before.Top, after.Top);
  const int32_t bothBottom = std::min(before.Bottom, after.Bottom);
  const auto span = [&](int32_t a, int32_t b) {
    return PixelRect{std::min(a, b), bothTop, std::max(a, b), bothBottom};
  };
  InvertBlock(image, width, height, stride, span(before.Left, after.Left));
  InvertBlock(image, width, height, stride, span(before.Right, after.Right));
}

PixelRect CellPixels(const RomDocument& doc, GridCell cell) {
  const int64_t left = int64_t{cell.Column} * doc.CellWidth;
  const int64_t top = int64_t{cell.Row} * doc.CellHeight;
  const auto clamp = [](int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN / 2, INT32_MAX / 2));
  };
  return {clamp(left), clamp(top), clamp(left + doc.CellWidth), clamp(top + doc.CellHeight)};
}

void FrameBlock(uint32_t* image, int32_t width, int32_t height, int32_t stride,
                const PixelRect& block) {
  if (!image || block.Empty()) return;
  const auto put = [&](int32_t x, int32_t y) {
    if (x < 0 || x >= width || y < 0 || y >= height) return;
    image[int64_t{y} * stride + x] = (x + y) / 2 % 2 == 0 ? 0xFFFFFFFFu : 0xFF000000u;
  };
  for (int32_t x = std::max(block.Left, 0); x < std::min(block.Right, width); ++x) {
    put(x, block.Top);
    put(x, block.Bottom - 1);
  }
  for (int32_t y = std::max(block.Top, 0); y < std::min(block.Bottom, height); ++y) {
    put(block.Left, y);
    put(block.Right - 1, y);
  }
}

std::optional<int32_t> PickOffset(const RomDocument& doc, GridCell cell) {
  const int64_t offset = doc.TileOffset(cell.Row, cell.Column);
  if (offset < 0 || offset >= doc.RomSize) return std::nullopt;
  return static_cast<int32_t>(offset);
}

}  // namespace varnock
