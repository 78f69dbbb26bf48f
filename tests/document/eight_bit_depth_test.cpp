// Tiles of 8 bits: 64 bytes and 256 colours reach every core store that held a tile or a
// sub-palette, where 32 bytes and 16 colours used to be the most.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "codec/bitmap_file.h"
#include "document/block_transfer.h"
#include "document/rom_document.h"
#include "document/tile_drop.h"
#include "support/document_bytes.h"
#include "support/test_files.h"

namespace varnock {
namespace {

// A 4 KB image of pattern bytes shown in Linear 8BPP from offset 0, as the document will once the
// format menu offers it.
RomDocument EightBitDoc() {
  RomDocument doc;
  const std::vector<uint8_t> bytes = test::PatternBytes(4096, 11);
  test::HoldImage(doc, bytes);
  doc.Columns = doc.Rows = 8;
  doc.Format = kLinear8Format;
  doc.BitsPerPixel = 8;
  doc.TileBytes = 64;
  doc.UpdateStrides();
  doc.CellWidth = doc.CellHeight = 16;
  return doc;
}

std::vector<uint8_t> Image(const RomDocument& doc) {
  return {doc.RomData, doc.RomData + doc.RomSize};
}

TEST(EightBitTiles, TheEditorUndoAndTheDropUndoGiveBackAll64Bytes) {
  RomDocument doc = EightBitDoc();
  const std::vector<uint8_t> before = Image(doc);
  doc.PushUndo(128, doc.Format, 8, 64);
  test::PokeBytes(doc, 128, 0xEE, 64);
  ASSERT_TRUE(doc.PopUndo());
  EXPECT_EQ(Image(doc), before);

  TileSurface tile;
  SetUpTileSurface(tile, 1, 1);
  std::fill(tile.Pixels.begin(), tile.Pixels.end(), 200);
  const auto undo = DropTileIntoImage(doc, tile, 192);
  ASSERT_TRUE(undo);
  EXPECT_EQ(undo->Length, 64);
  EXPECT_EQ(std::count(doc.RomData + 192, doc.RomData + 256, 200), 64);
  RestoreDroppedBytes(doc, *undo);
  EXPECT_EQ(Image(doc), before);
}

TEST(EightBitTiles, ACopyAndAnExportCarryAll256Colours) {
  RomDocument doc = EightBitDoc();
  for (int i = 0; i < 256; ++i) doc.ViewSurface.Colors[size_t(i)] = {uint8_t(i), 1, 2, 0};
  doc.SelLeft = doc.SelTop = 0;
  doc.SelRight = doc.SelBottom = 1;
  TileSurface clip;
  CopyBlock(doc, clip);
  EXPECT_EQ(clip.Colors, doc.ViewSurface.Colors);

  const std::vector<uint8_t> file = EncodeBitmapFile(clip, {0, 0, 8, 8}, 256);
  EXPECT_EQ(file[54 + 4 * 200], 200);
  EXPECT_EQ(EncodeBitmapFile(clip, {0, 0, 8, 8})[54 + 4 * 200], 0);  // 16 by default
  EXPECT_EQ(EncodeBitmapFile(clip, {0, 0, 8, 8}, 999), file);
}

}  // namespace
}  // namespace varnock
