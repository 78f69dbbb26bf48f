// The readout panel's texts from a document's numbers.
#include "document/view_readout.h"
#include "support/document_bytes.h"

#include <gtest/gtest.h>

namespace varnock {
namespace {

RomDocument MakeDoc(int32_t size, TileFormat format) {
  RomDocument doc;
  test::HoldImage(doc, std::vector<uint8_t>(static_cast<size_t>(size)));
  doc.SetTileFormat(format);
  doc.CellWidth = doc.CellHeight = 16;
  return doc;
}

TEST(ViewReadoutTest, DigitsGrowWithTheImageAndTheArrangementPlacesTheTile) {
  struct Case {
    const char* name;
    int32_t size;
    TileFormat format;
    TileArrangement arrangement;
    int32_t x, y;
    const char* text;
  };
  const Case cases[] = {
      {"small image", 65536, 7, kArrangement8x8, 33, 0, "0x00040 #0002"},
      {"four megabytes", 0x400000, 3, kArrangement8x8, 0, 16, "0x000100 #00010"},
      // In 8x16 blocks the cell right of the first shows the third tile.
      {"8x16 blocks", 65536, 7, kArrangement8x16, 17, 0, "0x00040 #0002"},
      {"second row of 8x16", 65536, 7, kArrangement8x16, 0, 17, "0x00020 #0001"},
      {"past the end", 64, 7, kArrangement8x8, 40, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RomDocument doc = MakeDoc(c.size, c.format);
    doc.SetArrangement(c.arrangement);
    EXPECT_EQ(PointerReadout(doc, c.x, c.y), c.text);
  }
}

}  // namespace
}  // namespace varnock
