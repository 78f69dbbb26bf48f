// The tile view of a ROM window: layout, painting and the status texts, on the real window.
#include <QApplication>
#include <QTest>

#include "support/app_fixture.h"
#include "tools/edit_form.h"

namespace varnock::test {
namespace {

using TileView = AppTest;

QRgb Pixel(const TChildForm* child, int x, int y) {
  return child->ViewBitmap.pixel(x, y) & 0xFFFFFF;
}

// Simulates the user dragging the window's border to a new client size.
void ResizeClient(TChildForm* child, int width, int height) {
  child->resize(child->size() - child->ClientSize() + QSize(width, height));
}

struct ResizeCase {
  const char* name;
  int zoom;
  QSize asked;
  int columns;
  int rows;
  QSize snapped;
};

class ResizeTest : public AppTest, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(ResizeTest, SnapsToWholeTilesWithinEightToSixtyFour) {
  const ResizeCase& c = GetParam();
  TChildForm* child = Open("game.bin", PatternBytes(1 << 20, 4));
  ASSERT_NE(child, nullptr);
  child->Doc.Zoom = c.zoom;
  child->LayoutView();
  ResizeClient(child, c.asked.width(), c.asked.height());
  EXPECT_EQ(child->Doc.Columns, c.columns);
  EXPECT_EQ(child->Doc.Rows, c.rows);
  EXPECT_EQ(child->ClientSize(), c.snapped);
  EXPECT_EQ(child->ViewBitmap.size(), QSize(c.snapped.width() - 16, c.snapped.height()));
}

INSTANTIATE_TEST_SUITE_P(
    TileView, ResizeTest,
    ::testing::Values(ResizeCase{"narrow_zoom3", 3, {200, 384}, 8, 16, {208, 384}},
                      ResizeCase{"tall_zoom1", 1, {144, 1000}, 16, 64, {144, 512}},
                      ResizeCase{"between_tiles_zoom2",
                                 2,
                                 {16 + 16 * 20 + 7, 16 * 12 + 5},
                                 20,
                                 12,
                                 {16 + 16 * 20, 16 * 12}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TileView, TilesGetTheirPaletteColoursZoomedWithSilverLinesBetweenThem) {
  // 1 bit per pixel: 0xFF rows are index 1 everywhere, 0x00 rows index 0.
  std::vector<uint8_t> bytes(4096, 0xFF);
  std::fill(bytes.begin() + 8, bytes.begin() + 16, 0x00);  // tile 1 is all index 0
  TChildForm* child = Open("game.bin", bytes);
  ASSERT_NE(child, nullptr);
  const QRgb green = qRgb(99, 207, 99) & 0xFFFFFF;  // default colour 1
  const QRgb silver = qRgb(192, 192, 192) & 0xFFFFFF;
  EXPECT_EQ(Pixel(child, 0, 0), green);
  EXPECT_EQ(Pixel(child, 23, 23), green);
  EXPECT_EQ(Pixel(child, 24, 5), silver) << "the line covers the first column of tile 1";
  EXPECT_EQ(Pixel(child, 25, 5), 0u) << "tile 1 is index 0, black";
  EXPECT_EQ(Pixel(child, 5, 24), silver);
  EXPECT_EQ(Pixel(child, 383, 383), green) << "no line on the outer edges";
}

TEST_F(TileView, TogglingTheGridRepaintsWithoutDecoding) {
  TChildForm* child = Open("game.bin", std::vector<uint8_t>(4096, 0xFF));
  ASSERT_NE(child, nullptr);
  const int decodes = child->DecodeCount;
  const int32_t offset = child->Doc.ViewOffset;
  MainForm->GridSpdBtn->click();
  EXPECT_FALSE(child->Gridlines1->isChecked());
  EXPECT_EQ(Pixel(child, 24, 5), qRgb(99, 207, 99) & 0xFFFFFF);
  child->Gridlines1->trigger();
  EXPECT_TRUE(child->Gridlines1->isChecked());
  EXPECT_EQ(Pixel(child, 24, 5), qRgb(192, 192, 192) & 0xFFFFFF);
  child->View->repaint();  // as after being covered
  EXPECT_EQ(child->DecodeCount, decodes);
  EXPECT_EQ(child->Doc.ViewOffset, offset);
}

TEST_F(TileView, ChoosingTheCurrentZoomStillLaysTheWindowOut) {
  TChildForm* child = Open("game.bin", std::vector<uint8_t>(4096, 0xFF));
  ASSERT_NE(child, nullptr);
  const int decodes = child->DecodeCount;
  child->ZoomItems[2]->trigger();
  EXPECT_EQ(child->DecodeCount, decodes + 1);
  child->ZoomItems[0]->trigger();
  EXPECT_EQ(child->Doc.Zoom, 1);
  EXPECT_EQ(child->ClientSize(), QSize(16 * 8 + 16, 16 * 8));
}

TEST_F(TileView, TilesPastTheEndOfAShortImageShowIndexZero) {
  TChildForm* child = Open("short.bin", std::vector<uint8_t>(100, 0xFF));
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->Doc.ScrollMinimum, 0);
  EXPECT_EQ(child->Doc.ScrollMaximum, 0);
  EXPECT_EQ(Pixel(child, 1, 1), qRgb(99, 207, 99) & 0xFFFFFF);  // byte 0 exists
  EXPECT_EQ(Pixel(child, 383, 383), 0u);                        // page byte 2047 does not
}

struct ReadoutCase {
  const char* name;
  size_t size;
  int64_t offset;
  const char* sizeText;
  const char* offsetText;
};

class ReadoutTest : public AppTest, public ::testing::WithParamInterface<ReadoutCase> {};

TEST_P(ReadoutTest, StatusPanelsShowSizeOffsetAndFormat) {
  const ReadoutCase& c = GetParam();
  TChildForm* child = Open("game.vb", PatternBytes(c.size, 9));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(c.offset);
  EXPECT_EQ(Panel(0), QString::fromUtf8(c.sizeText));
  EXPECT_EQ(Panel(1), QString::fromUtf8(c.offsetText));
  EXPECT_EQ(Panel(2), QStringLiteral("Virtual Boy [2BPP]"));
}

INSTANTIATE_TEST_SUITE_P(
    TileView, ReadoutTest,
    ::testing::Values(ReadoutCase{"start", 65536, 0, "64K", "Offset: 00000000 (0%)"},
                      ReadoutCase{"last_page", 65536, 0xF000, "64K", "Offset: 0000F000 (93%)"},
                      ReadoutCase{"one_megabyte", 1048576, 0x8000, "1024K",
                                  "Offset: 00008000 (3%)"},
                      ReadoutCase{"empty", 0, 0, "0K", "Offset: 00000000 (0%)"},
                      ReadoutCase{"under_a_kilobyte", 1000, 0, "0K", "Offset: 00000000 (0%)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TileView, ActivationSetsTheUndoButtonFromTheWindow) {
  TChildForm* first = Open("a.bin", PatternBytes(4096, 1));
  TChildForm* second = Open("b.bin", PatternBytes(4096, 2));
  ASSERT_TRUE(first && second);
  first->Doc.UndoCount = 3;
  MainForm->MdiArea->setActiveSubWindow(first);
  EXPECT_TRUE(EditForm->SpeedButton4->isEnabled());
  MainForm->MdiArea->setActiveSubWindow(second);
  EXPECT_FALSE(EditForm->SpeedButton4->isEnabled());
  EXPECT_EQ(MainForm->ActiveRom, second);
}

TEST_F(TileView, ClosingAWindowDetachesTheTileEditorBoundToIt) {
  TChildForm* child = Open("a.bin", PatternBytes(4096, 1));
  ASSERT_NE(child, nullptr);
  EditForm->BoundRom = child;
  EditForm->BoundTile = child->Doc.RomData;
  EditForm->EditSurface.Pixels.assign(64, 5);
  child->close();
  QApplication::processEvents();
  EXPECT_EQ(EditForm->BoundTile, nullptr);
  EXPECT_EQ(EditForm->EditSurface.Pixels, std::vector<uint8_t>(64, 0));
}

}  // namespace
}  // namespace varnock::test
