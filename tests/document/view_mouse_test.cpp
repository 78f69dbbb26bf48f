// Grid geometry of mouse work and the tile-editor undo stack, called with numbers.
#include "document/view_mouse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "document/rom_document.h"
#include "support/document_bytes.h"
#include "support/test_files.h"

namespace varnock {
namespace {

// A document holding `bytes` as its image, laid out as a `columns` x `rows` grid at `zoom`.
void Hold(RomDocument& doc, const std::vector<uint8_t>& bytes, TileFormat format = 0,
          int32_t columns = 16, int32_t rows = 16, int32_t zoom = 3) {
  test::HoldImage(doc, bytes);
  doc.Columns = columns;
  doc.Rows = rows;
  doc.Zoom = zoom;
  doc.CellWidth = doc.CellHeight = 8 * zoom;
  doc.SetTileFormat(format);
}

struct ClampCase {
  int32_t x, y, clientWidth, clientHeight, wantX, wantY;
};

TEST(ClampToGrid, MovesOverTheScrollBarOrBelowCountAsTheLastColumnOrRow) {
  // 16 columns at zoom 4: the view is 512 wide, the scroll bar 512..527, client 528 x 512.
  const ClampCase cases[] = {
      {511, 511, 528, 512, 511, 511}, {512, 100, 528, 512, 511, 100},
      {527, 100, 528, 512, 511, 100}, {900, 900, 528, 512, 511, 511},
      {100, 512, 528, 512, 100, 511}, {-3, -7, 528, 512, -3, -7},
  };
  for (const ClampCase& c : cases) {
    int32_t x = c.x, y = c.y;
    ClampToGrid(x, y, c.clientWidth, c.clientHeight);
    EXPECT_EQ(x, c.wantX) << c.x;
    EXPECT_EQ(y, c.wantY) << c.y;
  }
}

struct SelectionCase {
  const char* name;
  int32_t left, top, right, bottom;
  PixelRect pixels;
  bool empty;
};

TEST(SelectionPixels, BothFarEndsAreExclusiveAndAReversedDragCoversNothing) {
  const SelectionCase cases[] = {
      {"one cell", 1, 2, 2, 3, {32, 64, 64, 96}, false},
      {"block", 0, 0, 16, 16, {0, 0, 512, 512}, false},
      {"left of the anchor", 3, 1, 3, 2, {96, 32, 96, 64}, true},
      {"far left of the anchor", 3, 1, 1, 2, {96, 32, 32, 64}, true},
      {"above the anchor", 2, 2, 3, 1, {64, 64, 96, 32}, true},
  };
  RomDocument doc;
  doc.CellWidth = doc.CellHeight = 32;
  for (const SelectionCase& c : cases) {
    doc.SelLeft = c.left;
    doc.SelTop = c.top;
    doc.SelRight = c.right;
    doc.SelBottom = c.bottom;
    EXPECT_EQ(SelectionPixels(doc), c.pixels) << c.name;
    EXPECT_EQ(SelectionPixels(doc).Empty(), c.empty) << c.name;
  }
}

TEST(InvertBlock, FlipsColourBitsInsideAndClipsToTheImage) {
  constexpr int32_t kWidth = 6, kHeight = 4, kStride = 8;
  std::vector<uint32_t> image(kStride * kHeight, 0xFF102030u);
  InvertBlock(image.data(), kWidth, kHeight, kStride, {4, 2, 100, 100});
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kStride; ++x) {
      const bool inside = x >= 4 && x < kWidth && y >= 2;
      EXPECT_EQ(image[y * kStride + x], inside ? 0xFFEFDFCFu : 0xFF102030u) << x << "," << y;
    }
  InvertBlock(image.data(), kWidth, kHeight, kStride, {4, 2, 100, 100});
  EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](uint32_t p) { return p == 0xFF102030u; }))
      << "a second inversion restores the image";
  InvertBlock(image.data(), kWidth, kHeight, kStride, {5, 1, 2, 3});  // reversed
  InvertBlock(image.data(), kWidth, kHeight, kStride, {-20, -20, -1, -1});
  EXPECT_TRUE(std::all_of(image.begin(), image.end(), [](uint32_t p) { return p == 0xFF102030u; }));
}

TEST(InvertChange, EqualsTakingTheOldBlockOffAndPuttingTheNewOneOn) {
  // Every relation of two blocks: nested, crossing, side by side, apart, reversed, clipped.
  const PixelRect blocks[] = {{2, 2, 10, 10}, {2, 2, 12, 11},   {2, 2, 4, 4},  {5, 0, 14, 6},
                              {0, 7, 3, 16},  {11, 11, 16, 16}, {10, 3, 2, 9}, {-3, -3, 20, 5},
                              {6, 6, 6, 12},  {12, 1, 15, 3}};
  constexpr int32_t kWidth = 16, kHeight = 14, kStride = 18;
  for (const PixelRect& before : blocks) {
    for (const PixelRect& after : blocks) {
      std::vector<uint32_t> expected(kStride * kHeight);
      for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = 0xFF000000u | uint32_t(i * 2654435761u);
      std::vector<uint32_t> image = expected;
      InvertBlock(expected.data(), kWidth, kHeight, kStride, before);
      InvertBlock(expected.data(), kWidth, kHeight, kStride, after);
      InvertChange(image.data(), kWidth, kHeight, kStride, before, after);
      ASSERT_EQ(image, expected) << before.Left << "," << before.Top << "," << before.Right << ","
                                 << before.Bottom << " -> " << after.Left << "," << after.Top << ","
                                 << after.Right << "," << after.Bottom;
    }
  }
}

struct PickCase {
  const char* name;
  int32_t size;
  TileFormat format;
  GridCell cell;
  std::optional<int32_t> offset;
};

TEST(PickOffset, ATileStartingInsideTheImageIsPickedOneStartingAtItsEndIsNot) {
  // 1 bit per pixel, 16 x 16 grid: 8 bytes per tile, 128 per row, 2048 per page.
  const PickCase cases[] = {
      {"first", 4096, 0, {0, 0}, 0},
      {"row and column", 4096, 0, {3, 2}, 2 * 128 + 3 * 8},
      {"last whole tile", 1000, 0, {12, 7}, 7 * 128 + 12 * 8},
      {"partial last tile", 1001, 0, {13, 7}, 1000},
      {"at the end", 1000, 0, {13, 7}, std::nullopt},
      {"past the end", 1000, 0, {15, 15}, std::nullopt},
      {"empty image", 0, 0, {0, 0}, std::nullopt},
      {"4 bits", 4096, 6, {1, 1}, 512 + 32},
  };
  for (const PickCase& c : cases) {
    RomDocument doc;
    Hold(doc, std::vector<uint8_t>(static_cast<size_t>(c.size), 0), c.format);
    EXPECT_EQ(PickOffset(doc, c.cell), c.offset) << c.name;
  }
}

TEST(OnShownPage, FromTheViewOffsetUpToThePageEnd) {
  RomDocument doc;
  Hold(doc, std::vector<uint8_t>(8192, 0));  // page 2048 bytes
  doc.ViewOffset = 1024;
  const std::pair<int64_t, bool> cases[] = {
      {1023, false}, {1024, true}, {3071, true}, {3072, false}, {0, false}};
  for (const auto& [offset, shown] : cases) EXPECT_EQ(doc.OnShownPage(offset), shown) << offset;
}

// --- the tile-editor undo stack ---

// Writes `value` over the 16-byte tile at `offset` as an edit would, recording it first.
void Edit(RomDocument& doc, int32_t offset, uint8_t value) {
  doc.PushUndo(offset, 2, 2, 16);
  test::PokeBytes(doc, offset, value, 16);
}

TEST(UndoStack, KeepsTheNewestSixtyFourAndRestoresThemNewestFirst) {
  RomDocument doc;
  Hold(doc, test::PatternBytes(4096, 7), 2);
  const std::vector<uint8_t> original(doc.RomData, doc.RomData + doc.RomSize);
  std::vector<uint8_t> beforeSeventh;
  for (int edit = 1; edit <= 70; ++edit) {
    if (edit == 7) beforeSeventh.assign(doc.RomData, doc.RomData + doc.RomSize);
    Edit(doc, 160, static_cast<uint8_t>(edit));
  }
  EXPECT_EQ(doc.UndoCount, 64);
  EXPECT_EQ(doc.UndoStack[0].Bytes[0], 69) << "newest first: the bytes before edit 70";
  EXPECT_EQ(doc.UndoStack[63].Bytes[0], 6) << "the bytes before edit 7";
  for (int undo = 0; undo < 64; ++undo) ASSERT_TRUE(doc.PopUndo().has_value());
  EXPECT_EQ(doc.UndoCount, 0);
  EXPECT_EQ(std::vector<uint8_t>(doc.RomData, doc.RomData + doc.RomSize), beforeSeventh);
  EXPECT_FALSE(doc.PopUndo().has_value()) << "an empty stack does nothing";
  EXPECT_EQ(std::vector<uint8_t>(doc.RomData, doc.RomData + doc.RomSize), beforeSeventh);
  EXPECT_NE(beforeSeventh, original);
}

TEST(UndoStack, EntriesOfOtherTilesComeBackInOrderAndModifiedStays) {
  RomDocument doc;
  Hold(doc, std::vector<uint8_t>(4096, 0xAA), 2);
  doc.Modified = true;
  Edit(doc, 0, 1);
  Edit(doc, 32, 2);
  Edit(doc, 0, 3);
  std::optional<UndoEntry> entry = doc.PopUndo();
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->ByteOffset, 0);
  EXPECT_EQ(entry->Format, 2);
  EXPECT_EQ(entry->BitsPerPixel, 2);
  EXPECT_EQ(entry->Length, 16);
  EXPECT_EQ(doc.RomData[0], 1);
  entry = doc.PopUndo();
  EXPECT_EQ(entry->ByteOffset, 32);
  EXPECT_EQ(doc.RomData[32], 0xAA);
  EXPECT_EQ(doc.RomData[0], 1) << "the other tile keeps its edit";
  EXPECT_TRUE(doc.Modified);
}

TEST(UndoStack, APartialLastTileSavesAndRestoresOnlyTheBytesInsideTheImage) {
  RomDocument doc;
  Hold(doc, std::vector<uint8_t>(1000, 0x55), 2);  // the last tile, at 992, has 8 bytes
  Edit(doc, 992, 0x11);
  EXPECT_EQ(doc.UndoStack[0].Length, 8);
  EXPECT_TRUE(std::all_of(doc.UndoStack[0].Bytes.begin() + 8, doc.UndoStack[0].Bytes.end(),
                          [](uint8_t b) { return b == 0; }));
  ASSERT_TRUE(doc.PopUndo().has_value());
  EXPECT_TRUE(std::all_of(doc.RomData, doc.RomData + 1000, [](uint8_t b) { return b == 0x55; }));
  // An entry can never reach past the image, even if asked for more than it has.
  doc.PushUndo(1000, 2, 2, 16);
  EXPECT_EQ(doc.UndoStack[0].Length, 0);
  doc.PushUndo(990, 9, 4, 64);
  EXPECT_EQ(doc.UndoStack[0].Length, 10);
}

}  // namespace
}  // namespace varnock
